// The command line as a user meets it: the real executable, started with no
// display and no platform chosen, and "Save image…" of the preview.
#include "ui/command_line.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "codegen/codegen.h"
#include "program/preview_run.h"
#include "ui/form1.h"
#include "ui/preview_window.h"
#include "ui/program_text.h"

namespace pasdraw {
namespace {

struct Outcome {
    int exitCode = -1;  // -1: it crashed
    QString out, err;
};

// `platform`: QT_QPA_PLATFORM for the run, none when empty.
Outcome pasdraw(const QStringList& arguments, const QString& folder, const QString& platform = {}) {
    QProcess process;
    process.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Rendering must not need what only a window needs.
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    if (!platform.isEmpty()) env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(PASDRAW_EXECUTABLE), arguments);
    process.waitForFinished(-1);
    Outcome o;
    if (process.exitStatus() == QProcess::NormalExit) o.exitCode = process.exitCode();
    o.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    o.err = QString::fromLocal8Bit(process.readAllStandardError());
    return o;
}

void write(const QString& path, const std::string& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// Every pixel of the PNG in the colour the run shows it in.
void expectPicture(const QString& png, const PreviewRun& run) {
    const QImage image(png);
    ASSERT_EQ(image.size(), QSize(PreviewRun::Width, PreviewRun::Height)) << png.toStdString();
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    int wrong = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const uint8_t colour = run.pixels[static_cast<std::size_t>(y * PreviewRun::Width + x)];
            wrong += (image.pixel(x, y) & 0xFFFFFFu) != run.palette[colour];
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(CommandLine, RenderWritesWhatTheProgramDrawsAndSaysWhereItStops) {
    struct Case {
        std::string statements;
        bool saved;  // as Save wrote it, between the header and the trailer
        int exitCode;
        const char* where;  // the text at the reported line and column; none when it ran to its end
    };
    const std::string picture =
        "setbkcolor(1);setcolor(14);rectangle(10,10,300,200);\r\n"
        "setfillstyle(1,4);floodfill(20,20,14);setcolor(15);circle(400,300,60);\r\n";
    const Case cases[] = {
        {picture, true, 0, nullptr},
        {picture, false, 0, nullptr},
        {picture + "lin(1,2,3,4);\r\n", true, 1, "lin("},
        {picture + "lin(1,2,3,4);\r\n", false, 1, "lin("},
        // On the header's own line in a saved program.
        {"setcolor(4);line(0,0,10,10); XK:=0; YK:=5 div XK;\r\nline(1,1,5,5);\r\n", true, 1, "div"},
        {"setcolor(4);line(0,0,10,10); XK:=0; YK:=5 div XK;\r\nline(1,1,5,5);\r\n", false, 1, "div"},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.statements + (c.saved ? " (saved)" : ""));
        const std::string file = c.saved ? programFileBytes(c.statements) : c.statements;
        write(dir.filePath("house.pas"), file);
        QFile::remove(dir.filePath("house.png"));
        const Outcome o = pasdraw({"--render", "house.pas", "house.png"}, dir.path());
        EXPECT_EQ(o.exitCode, c.exitCode) << o.err.toStdString();
        // A user wants the picture of what ran before a problem too.
        expectPicture(dir.filePath("house.png"), runPreview(c.statements));
        if (!c.where) {
            EXPECT_EQ(o.err, QString());
            continue;
        }
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^house.pas: line (\\d+), column (\\d+): ")).match(o.err);
        ASSERT_TRUE(m.hasMatch()) << o.err.toStdString();
        const QStringList lines = QString::fromStdString(file).split(u'\n');
        const int line = m.captured(1).toInt(), column = m.captured(2).toInt();
        ASSERT_TRUE(line >= 1 && line <= lines.size()) << line;
        EXPECT_TRUE(lines[line - 1].mid(column - 1).startsWith(QString::fromLatin1(c.where)))
            << lines[line - 1].toStdString() << " at column " << column;
    }
}

TEST(CommandLine, RefusesWhatItCannotDoWithStatusTwo) {
    QTemporaryDir dir;
    write(dir.filePath("ok.pas"), "setcolor(2);line(0,0,9,9);\r\n");
    write(dir.filePath("data.pas"), std::string("setcolor(2);\0line", 17));
    QDir(dir.path()).mkdir(QStringLiteral("folder.pas"));
    const struct {
        QStringList arguments;
        const char* says;
    } cases[] = {
        {{"--render", "missing.pas", "out.png"}, "missing.pas"},
        {{"--render", "folder.pas", "out.png"}, "folder"},
        {{"--render", "data.pas", "out.png"}, "NUL"},
        {{"--render", "ok.pas", "no/such/folder/out.png"}, "cannot write"},
        {{"--render", "ok.pas", "ok.pas"}, "replace"},
        {{"--render", "ok.pas"}, "--render"},
        {{"--render", "ok.pas", "out.png", "more"}, "more"},
        {{"--bogus"}, "--bogus"},
        {{"one.pas", "two.pas"}, "one file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const Outcome o = pasdraw(c.arguments, dir.path());
        EXPECT_EQ(o.exitCode, ExitFailure);
        EXPECT_TRUE(o.err.contains(QString::fromLatin1(c.says))) << o.err.toStdString();
        EXPECT_EQ(o.out, QString());
        EXPECT_FALSE(QFile::exists(dir.filePath("out.png")));
    }
    EXPECT_TRUE(QFile::exists(dir.filePath("ok.pas")));
}

TEST(CommandLine, HelpAndVersionGoToStandardOutput) {
    QTemporaryDir dir;
    const Outcome help = pasdraw({"--help"}, dir.path());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out, usageText());
    EXPECT_TRUE(help.out.contains("--render PROGRAM IMAGE"));
    const Outcome version = pasdraw({"--version"}, dir.path());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "pasdraw " PASDRAW_VERSION "\n");
    EXPECT_EQ(help.err + version.err, QString());
}

// What a user meets with no display and with mistyped options: a message
// and status 2, before any toolkit could abort (134) or open a window.
TEST(CommandLine, OptionsAndAMissingDisplayAnswerWithoutAWindow) {
    QTemporaryDir dir;
    const struct {
        QStringList arguments;
        const char* platform;
        int exitCode;
        const char* says;  // on standard error, or on standard output for status 0
    } cases[] = {
        {{"-x"}, "", ExitFailure, "unknown option '-x'\nUsage: pasdraw [FILE]"},
        {{"-v"}, "", ExitFailure, "unknown option '-v'"},
        {{"-x"}, "offscreen", ExitFailure, "unknown option '-x'"},
        {{"-platform", "offscreen", "-x"}, "", ExitFailure, "unknown option '-x'"},
        {{"-V"}, "", ExitOk, "pasdraw " PASDRAW_VERSION "\n"},
        {{"-h"}, "", ExitOk, "--render PROGRAM IMAGE"},
        {{}, "", ExitFailure, "no display"},
        {{"house.pas"}, "", ExitFailure, "neither DISPLAY nor WAYLAND_DISPLAY"},
        {{}, "xcb", ExitFailure, "no display"},
        {{}, "wayland;xcb", ExitFailure, "no display"},
        {{"-style", "fusion", "house.pas"}, "", ExitFailure, "no display"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString() + " on '" + c.platform + "'");
        const Outcome o = pasdraw(c.arguments, dir.path(), QString::fromLatin1(c.platform));
        EXPECT_EQ(o.exitCode, c.exitCode) << o.err.toStdString();
        EXPECT_TRUE((c.exitCode == ExitOk ? o.out : o.err).contains(QString::fromLatin1(c.says)))
            << o.out.toStdString() << o.err.toStdString();
    }
}

// The toolkit's own options are left for it; a platform that needs no
// display, or a display named anywhere, lets the window open.
TEST(CommandLine, AWindowOpensWhereTheToolkitFindsADisplay) {
    const struct {
        QStringList arguments;
        DisplayEnvironment environment;
        bool opens;
    } cases[] = {
        {{}, {}, false},
        {{}, {"", ":0", ""}, true},
        {{}, {"", "", "wayland-0"}, true},
        {{}, {"offscreen", "", ""}, true},
        {{}, {"minimal:enable_fonts", "", ""}, true},
        {{}, {"xcb", "", "wayland-0"}, false},
        {{}, {"wayland-egl", ":0", ""}, false},
        {{}, {"wayland;xcb", ":0", ""}, true},
        {{}, {"xcb;offscreen", "", ""}, true},
        {{"-platform", "offscreen"}, {"xcb", "", ""}, true},
        {{"-platform", "xcb"}, {"offscreen", "", ""}, false},
        {{"-display", ":1"}, {}, true},
        {{"--", "-platform", "offscreen"}, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString() + " with QT_QPA_PLATFORM '" +
                     c.environment.platform.toStdString() + "', DISPLAY '" +
                     c.environment.display.toStdString() + "', WAYLAND_DISPLAY '" +
                     c.environment.waylandDisplay.toStdString() + "'");
        EXPECT_EQ(missingDisplay(c.arguments, c.environment).isEmpty(), c.opens);
    }
    const struct {
        QStringList arguments, left;
    } options[] = {
        {{"-platform", "xcb", "-reverse", "house.pas"}, {"house.pas"}},
        {{"-style=fusion", "-x"}, {"-x"}},
        {{"house.pas", "--", "-style", "x"}, {"house.pas", "--", "-style", "x"}},
        {{"-stylesheet"}, {}},
    };
    for (const auto& o : options) EXPECT_EQ(withoutToolkitOptions(o.arguments), o.left);
}

TEST(CommandLine, AFileArgumentIsForTheWindow) {
    using A = CommandLine::Action;
    const struct {
        QStringList arguments;
        A action;
        const char* openPath;
        bool maybeToolkitOption;
    } cases[] = {
        {{}, A::Edit, "", false},
        {{"house.pas"}, A::Edit, "house.pas", false},
        {{"--", "-house.pas"}, A::Edit, "-house.pas", false},
        {{"-platform", "offscreen"}, A::UsageError, "", true},
        {{"--platform"}, A::UsageError, "", false},
        {{"--render", "a.pas", "a.png", "--help"}, A::Help, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CommandLine line = parseCommandLine(c.arguments);
        EXPECT_EQ(line.action, c.action);
        EXPECT_EQ(line.openPath, QString::fromLatin1(c.openPath));
        EXPECT_EQ(line.maybeToolkitOption, c.maybeToolkitOption);
    }
}

TEST(PreviewSaveImage, WritesThePixelsThePreviewShows) {
    PreviewWindow preview;
    preview.showText(
        QStringLiteral("setbkcolor(2);setcolor(13);circle(320,240,100);\r\n"
                       "setfillstyle(1,9);floodfill(320,240,13);\r\n"));
    preview.waitUntilShown();
    QTemporaryDir dir;
    const QString path = dir.filePath("picture.png");
    EXPECT_EQ(preview.saveImage(path), QString());
    const QImage saved(path);
    EXPECT_EQ(saved.format(), QImage::Format_Indexed8);
    EXPECT_EQ(saved.colorCount(), 16);
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), preview.image());
    EXPECT_NE(preview.saveImage(dir.path()), QString());
}

TEST(PreviewSaveImage, TheStatusLineSaysWhereTheImageWent) {
    PreviewWindow preview;
    preview.showText(QStringLiteral("setcolor(14);circle(320,240,100);\r\n"));
    preview.waitUntilShown();
    QTemporaryDir dir;
    const QString path = dir.filePath("a picture.png");
    ASSERT_FALSE(preview.status().contains(QDir::toNativeSeparators(path)));
    EXPECT_TRUE(preview.saveImageTo(path));
    EXPECT_EQ(preview.status(), "image saved to " + QDir::toNativeSeparators(path));
    EXPECT_FALSE(QImage(path).isNull());
}

TEST(PreviewSaveImage, CtrlSSavesInTheWindowItIsPressedIn) {
    Form1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTemporaryDir dir;
    form.programText().setApplicationDirectory(dir.path());
    const QString program = dir.filePath("test.pas");
    form.togglePreview();
    PreviewWindow& preview = form.preview();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));

    preview.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&preview));
    QString asked;
    // The dialog is modal: note its title and close it from inside its loop.
    QTimer::singleShot(0, [&asked] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            asked = dialog->windowTitle();
            dialog->close();
        }
    });
    QTest::keyClick(&preview, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(asked, "Save image");
    EXPECT_FALSE(QFile::exists(program));

    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(QFile::exists(program));
}

}  // namespace
}  // namespace pasdraw
