// The command line: `pasdraw [FILE]` opens the window, `pasdraw --render
// PROGRAM IMAGE` writes what a program draws as a PNG without any window,
// `--help` and `--version` say what they say. Only QtCore and QtGui, so that
// rendering works where no display is.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

namespace pasdraw {

struct CommandLine {
    enum class Action {
        Edit,        // open the window
        Render,      // run `input`, write its picture to `output`
        Help,        // usage on standard output
        Version,     // "pasdraw <version>" on standard output
        UsageError,  // `error` says what is wrong with the arguments, a usage line follows
    };
    Action action = Action::Edit;
    QString openPath;  // Edit: a file to open in the window, empty for none
    QString input;     // Render: the program file
    QString output;    // Render: the PNG to write
    QString error;     // UsageError
    // UsageError: the offending argument is one of the toolkit's own options
    // (-platform, -style ...), which only a GUI application takes.
    bool maybeToolkitOption = false;
};

// The arguments after the program's name.
CommandLine parseCommandLine(const QStringList& arguments);

// The arguments without the options the window's toolkit takes for itself
// (-platform NAME, -style NAME, -reverse ...) and their values, which are
// the toolkit's to read once it starts; after "--" nothing is taken out.
QStringList withoutToolkitOptions(const QStringList& arguments);

// What the toolkit would need to open a window, as the environment gives it.
struct DisplayEnvironment {
    QString platform;        // QT_QPA_PLATFORM
    QString display;         // DISPLAY
    QString waylandDisplay;  // WAYLAND_DISPLAY
};
DisplayEnvironment currentDisplayEnvironment();
// Why no window can open here, or an empty string when one may: the toolkit
// would try only the X11 or Wayland platforms and neither names a display.
// The toolkit itself would end the program with an abort instead.
QString missingDisplay(const QStringList& arguments, const DisplayEnvironment& environment);

QString usageText();

// Reads a program file's bytes for opening or rendering; false with the
// reason when it is missing, a folder, too large or unreadable.
bool readProgramFile(const QString& path, QByteArray& bytes, QString& why);

// Exit statuses of the actions that need no window.
inline constexpr int ExitOk = 0;
inline constexpr int ExitProgramProblems = 1;  // the image is written, the problems listed
inline constexpr int ExitFailure = 2;          // bad usage, or a file that cannot be read or written

// Carries out any action but Edit and returns the exit status.
int runCommandLine(const CommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace pasdraw
