// The baseline for the start-up figure: the least a Qt Widgets program can
// show, one plain window of the editor's size that paints itself white. What
// pasdraw takes beyond this is its own start-up.
#include <QApplication>
#include <QPalette>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.setFixedSize(643, 531);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::white);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    window.show();
    return QApplication::exec();
}
