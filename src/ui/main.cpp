#include <QApplication>
#include <QIcon>

#include "ui/form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pasdraw"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pasdraw.png")));
    pasdraw::Form1 window;
    window.show();
    return QApplication::exec();
}
