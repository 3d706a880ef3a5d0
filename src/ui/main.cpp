#include <QApplication>
#include <QIcon>
#include <iostream>

#include "ui/command_line.h"
#include "ui/form1.h"

int main(int argc, char* argv[]) {
    using pasdraw::CommandLine;
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
    CommandLine line = pasdraw::parseCommandLine(arguments);
    // Everything but the window runs before an application object exists:
    // rendering needs no display.
    const bool needsWindow = line.action == CommandLine::Action::Edit ||
                             (line.action == CommandLine::Action::UsageError && line.maybeToolkitOption);
    if (!needsWindow) return pasdraw::runCommandLine(line, std::cout, std::cerr);

    QApplication app(argc, argv);
    if (line.action == CommandLine::Action::UsageError) {
        // The application took the toolkit's own options (-platform, -style,
        // ...) out of the arguments; what is left must be ours.
        line = pasdraw::parseCommandLine(QCoreApplication::arguments().mid(1));
        if (line.action != CommandLine::Action::Edit)
            return pasdraw::runCommandLine(line, std::cout, std::cerr);
    }
    QApplication::setApplicationName(QStringLiteral("pasdraw"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pasdraw.png")));
    pasdraw::Form1 window;
    window.show();
    // Opened once the window shows, so that any message about the file
    // stands over it.
    if (!line.openPath.isEmpty()) window.openFile(line.openPath);
    return QApplication::exec();
}
