#include "ui/command_line.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "codegen/codegen.h"
#include "document/file_text.h"
#include "program/preview_run.h"
#include "ui/run_image.h"

#ifndef PASDRAW_VERSION
#error "PASDRAW_VERSION comes from the project's version in CMake"
#endif

namespace pasdraw {

// A file too large is not read at all: its size alone refuses it.
bool readProgramFile(const QString& path, QByteArray& bytes, QString& why) {
    const QFileInfo info(path);
    if (!info.exists()) {
        why = QStringLiteral("there is no such file");
        return false;
    }
    if (info.isDir()) {
        why = QStringLiteral("it is a folder, not a program file");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString();
        return false;
    }
    why = QString::fromStdString(sizeProblem(static_cast<uint64_t>(file.size())));
    if (!why.isEmpty()) return false;
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        why = file.errorString();
        return false;
    }
    return true;
}

namespace {

// The options QApplication takes out of the arguments on X11 and Wayland:
// those followed by a value, then those without one.
constexpr std::string_view ToolkitOptionsWithValue[] = {"-platform",
                                                        "-platformpluginpath",
                                                        "-platformtheme",
                                                        "-plugin",
                                                        "-qwindowgeometry",
                                                        "-geometry",
                                                        "-qwindowicon",
                                                        "-icon",
                                                        "-qwindowtitle",
                                                        "-title",
                                                        "-session",
                                                        "-display",
                                                        "-name",
                                                        "-style",
                                                        "-stylesheet",
                                                        "-visual"};
constexpr std::string_view ToolkitFlags[] = {"-reverse", "-widgetcount", "-testability",
                                             "-nograb",  "-dograb",      "-sync"};
// The options given as "-style=NAME".
constexpr std::string_view ToolkitAssignments[] = {"-style=", "-stylesheet=", "-qmljsdebugger="};

// 0 for no toolkit option, else how many arguments it takes with its value.
int toolkitOptionLength(const QString& argument) {
    const std::string a = argument.toStdString();
    for (std::string_view o : ToolkitOptionsWithValue)
        if (a == o) return 2;
    for (std::string_view o : ToolkitFlags)
        if (a == o) return 1;
    for (std::string_view o : ToolkitAssignments)
        if (a.starts_with(o)) return 1;
    return 0;
}

}  // namespace

QStringList withoutToolkitOptions(const QStringList& arguments) {
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == u"--") {
            kept += arguments.mid(i);
            break;
        }
        const int length = toolkitOptionLength(arguments[i]);
        if (length == 0) kept.append(arguments[i]);
        i += std::max(length, 1) - 1;
    }
    return kept;
}

DisplayEnvironment currentDisplayEnvironment() {
    const auto get = [](const char* name) { return qEnvironmentVariable(name); };
    return {get("QT_QPA_PLATFORM"), get("DISPLAY"), get("WAYLAND_DISPLAY")};
}

QString missingDisplay(const QStringList& arguments, const DisplayEnvironment& environment) {
    QString platforms = environment.platform;
    bool displayOption = false;
    for (qsizetype i = 0; i + 1 < arguments.size() && arguments[i] != u"--"; ++i) {
        if (arguments[i] == u"-platform") platforms = arguments[i + 1];
        if (arguments[i] == u"-display") displayOption = !arguments[i + 1].isEmpty();
    }
    const bool x11 = displayOption || !environment.display.isEmpty();
    const bool wayland = !environment.waylandDisplay.isEmpty();
    // The toolkit tries each platform of a list separated by ';', each
    // written NAME or NAME:OPTIONS; without one it takes X11 or Wayland.
    bool onlyDisplays = true, found = false;
    for (const QString& entry : platforms.split(u';', Qt::SkipEmptyParts)) {
        const QString name = entry.section(u':', 0, 0).trimmed();
        if (name == u"xcb") {
            found = found || x11;
        } else if (name.startsWith(u"wayland")) {
            found = found || wayland;
        } else {
            onlyDisplays = false;
        }
    }
    if (platforms.trimmed().isEmpty()) found = x11 || wayland;
    if (!onlyDisplays || found) return {};
    return QStringLiteral(
        "no display to open the window on: neither DISPLAY nor WAYLAND_DISPLAY is set.\n"
        "Start pasdraw in a desktop session, or use 'pasdraw --render PROGRAM IMAGE', which needs "
        "no display.");
}

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine line;
    const auto fail = [&line](const QString& error) {
        line.action = CommandLine::Action::UsageError;
        line.error = error;
        return line;
    };
    bool render = false;
    bool optionsEnded = false;
    QStringList positional;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (optionsEnded || !a.startsWith(u'-') || a == u"-") {
            positional.append(a);
        } else if (a == u"--") {
            optionsEnded = true;
        } else if (a == u"--help" || a == u"-h") {
            line.action = CommandLine::Action::Help;
            return line;
        } else if (a == u"--version" || a == u"-V") {
            line.action = CommandLine::Action::Version;
            return line;
        } else if (a == u"--render") {
            if (render) return fail(QStringLiteral("--render is given twice"));
            if (i + 2 >= arguments.size()) {
                return fail(QStringLiteral("--render needs a program file and an image file"));
            }
            render = true;
            line.input = arguments[++i];
            line.output = arguments[++i];
        } else {
            line.maybeToolkitOption = toolkitOptionLength(a) != 0;
            return fail(QStringLiteral("unknown option '%1'").arg(a));
        }
    }
    if (render) {
        if (!positional.isEmpty()) return fail(QStringLiteral("unexpected argument '%1'").arg(positional[0]));
        line.action = CommandLine::Action::Render;
        return line;
    }
    if (positional.size() > 1) return fail(QStringLiteral("the window opens one file at a time"));
    if (!positional.isEmpty()) line.openPath = positional[0];
    return line;
}

QString usageText() {
    return QStringLiteral(
        "Usage: pasdraw [FILE]\n"
        "       pasdraw --render PROGRAM IMAGE | --help | --version\n"
        "\n"
        "Without arguments pasdraw opens its drawing window; with FILE, a program\n"
        "to open in it.\n"
        "\n"
        "  --render PROGRAM IMAGE  run PROGRAM (a program that Save wrote, or any\n"
        "                          text of graph statements) on the 640 x 480\n"
        "                          sixteen-colour screen and write what it draws\n"
        "                          to IMAGE as a PNG, without opening a window\n"
        "  -h, --help              show this text\n"
        "  -V, --version           show the version\n"
        "\n"
        "Exit status of --render: 0 when the program runs to its end; 1 when it\n"
        "does not (its problems, with line and column in PROGRAM, go to standard\n"
        "error, and IMAGE still shows what it drew before them); 2 when a file\n"
        "cannot be read or written, or the arguments are wrong.\n");
}

namespace {

std::string local(const QString& s) { return s.toLocal8Bit().toStdString(); }

// Where the statements of a saved program stand in its file: after the
// header's lines, and after the header's last line's own text on the first.
struct StatementsStart {
    int lines = 0;
    int columns = 0;
};

StatementsStart savedStatementsStart() {
    const std::string file = programFileBytes("\x01");
    const std::size_t at = file.find('\x01');
    const std::size_t lineStart = file.rfind('\n', at);
    return {static_cast<int>(std::count(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(at), '\n')),
            static_cast<int>(lineStart == std::string::npos ? at : at - lineStart - 1)};
}

int render(const CommandLine& line, std::ostream& err) {
    const std::string input = local(line.input), output = local(line.output);
    const QFileInfo in(line.input), out(line.output);
    if (in.exists() && out.exists() && in.canonicalFilePath() == out.canonicalFilePath()) {
        err << "pasdraw: the image would replace the program " << input << "\n";
        return ExitFailure;
    }
    QByteArray bytes;
    QString unread;
    std::string why;
    FileText text;
    if (readProgramFile(line.input, bytes, unread)) {
        text = readFileText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        why = text.problem;
    } else {
        why = local(unread);
    }
    if (!why.empty()) {
        err << "pasdraw: cannot read " << input << ": " << why << "\n";
        return ExitFailure;
    }

    const PreviewRun run = runPreview(text.text);
    // Positions as a text editor shows the file: a saved program's header
    // comes before its statements.
    const StatementsStart start = text.savedProgram ? savedStatementsStart() : StatementsStart{};
    for (const ProgramProblem& p : run.result.problems) {
        err << input << ": line " << p.line + start.lines << ", column "
            << p.column + (p.line == 1 ? start.columns : 0) << ": " << p.message << "\n";
    }
    const bool toTheEnd = run.result.problems.empty() && !run.result.stoppedEarly;
    // The picture of what ran before a problem is what a user looks at to
    // find it, so the image is written either way.
    const QString failure = writePng(indexedImage(run), line.output);
    if (!failure.isEmpty()) {
        err << "pasdraw: cannot write " << output << ": " << local(failure) << "\n";
        return ExitFailure;
    }
    if (toTheEnd) return ExitOk;
    err << "pasdraw: " << output
        << (run.result.compilerWouldRefuse ? " shows what the statements before the first problem draw; the "
                                             "compiler would refuse the program\n"
                                           : " shows what the program drew before it stopped\n");
    return ExitProgramProblems;
}

}  // namespace

int runCommandLine(const CommandLine& line, std::ostream& out, std::ostream& err) {
    switch (line.action) {
        case CommandLine::Action::Help: out << local(usageText()); return ExitOk;
        case CommandLine::Action::Version: out << "pasdraw " PASDRAW_VERSION "\n"; return ExitOk;
        case CommandLine::Action::Render: return render(line, err);
        case CommandLine::Action::UsageError:
            err << "pasdraw: " << local(line.error) << "\n"
                << local(usageText().section(u'\n', 0, 1))
                << "\nTry 'pasdraw --help' for more information.\n";
            return ExitFailure;
        case CommandLine::Action::Edit: break;
    }
    err << "pasdraw: the window is not opened from here\n";
    return ExitFailure;
}

}  // namespace pasdraw
