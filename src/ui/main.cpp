#include <QApplication>
#include <QIcon>
#include <iostream>

#include "ui/command_line.h"
#include "ui/form1.h"

int main(int argc, char* argv[]) {
    using pasdraw::CommandLine;
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
    // Everything is decided before an application object exists: rendering,
    // help and a wrong option need no display, and without one the toolkit
    // would abort rather than say why. Its own options are its to read.
    const CommandLine line = pasdraw::parseCommandLine(pasdraw::withoutToolkitOptions(arguments));
    if (line.action != CommandLine::Action::Edit) return pasdraw::runCommandLine(line, std::cout, std::cerr);
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN) && !defined(Q_OS_ANDROID)
    const QString noDisplay = pasdraw::missingDisplay(arguments, pasdraw::currentDisplayEnvironment());
    if (!noDisplay.isEmpty()) {
        std::cerr << "pasdraw: " << noDisplay.toLocal8Bit().toStdString() << "\n";
        return pasdraw::ExitFailure;
    }
#endif

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pasdraw"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pasdraw.png")));
    pasdraw::Form1 window;
    window.show();
    // Opened once the window shows, so that any message about the file
    // stands over it.
    if (!line.openPath.isEmpty()) window.openFile(line.openPath);
    return QApplication::exec();
}
