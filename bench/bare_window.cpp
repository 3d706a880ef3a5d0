// The baselines for the start-up figure: the least a Qt Widgets program can
// show, one plain window of the editor's size that paints itself white; and,
// with --controls, the same window holding stock controls like the editor's
// (captioned buttons, a text box, two sliders), which is what any window of
// this kind pays for fonts, text layout and styling. What pasdraw takes beyond
// the second is its own start-up.
#include <QApplication>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QWidget>
#include <cstring>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.setFixedSize(643, 531);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::white);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    if (argc > 1 && std::strcmp(argv[1], "--controls") == 0) {
        const char* captions[] = {"Line", "Rectangle", "Ellipse", "Circle", "Fill", "Text", "Undo"};
        int y = 8;
        for (const char* caption : captions) {
            (new QPushButton(QString::fromLatin1(caption), &window))->setGeometry(432, y, 105, 17);
            y += 24;
        }
        for (int i = 0; i < 15; ++i) (new QPushButton(&window))->setGeometry(552, 8 + 24 * i, 81, 17);
        y = 392;
        for (const char* caption : {"Value", "Generate", "Save"}) {
            (new QPushButton(QString::fromLatin1(caption), &window))->setGeometry(552, y, 81, 17);
            y += 24;
        }
        (new QPlainTextEdit(&window))->setGeometry(8, 328, 409, 193);
        (new QSlider(Qt::Horizontal, &window))->setGeometry(432, 472, 193, 17);
        (new QSlider(Qt::Horizontal, &window))->setGeometry(432, 504, 193, 17);
    }
    window.show();
    return QApplication::exec();
}
