// Opening files, Save as, the close prompt over stale text and recovered
// work, as a user meets them in the window.
#include "ui/work_files.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "codegen/codegen.h"
#include "qt_print.h"
#include "read_file.h"
#include "ui/caption_mark.h"
#include "ui/form1.h"
#include "ui/program_text.h"
#include "ui/readout.h"
#include "ui/recovery_keeper.h"
#include "ui/text_box.h"

namespace pasdraw {
namespace {

struct Window {
    std::unique_ptr<Form1> form = std::make_unique<Form1>();
    QTemporaryDir dir;
    QStringList told;
    Window() {
        form->programText().setApplicationDirectory(dir.path());
        form->files().setTell([this](const QString& m) { told << m; });
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void draw(CircleRecord r) {
        form->picture().commitCircle(r);
        form->document().shapesReplaced();
    }
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(ClosePrompt, SaveOverStaleTextWritesTheNewestPicture) {
    const struct {
        int answer;
        bool newest;
    } cases[] = {{QMessageBox::Save, true}, {QMessageBox::Apply, false}};
    for (const auto& c : cases) {
        Window w;
        w.draw({1000, 1000, 300, 1, 0});
        w.form->Command24->click();  // Value
        const QString old = w.form->Text1->text();
        w.draw({3000, 2000, 500, 1, 0});
        ASSERT_TRUE(w.form->document().textIsStale());
        w.form->setCloseQuestion([&] { return c.answer; });
        EXPECT_TRUE(w.form->close());
        const std::string newest = generateValueForm(w.form->picture(), computeOrigin(w.form->picture()));
        EXPECT_EQ(readFile(w.path("test.pas")).toStdString(),
                  programFileBytes(c.newest ? newest : old.toStdString()));
    }
}

TEST(SaveAs, TheChosenFileTakesLaterSavesAndNamesTheWindow) {
    Window w;
    w.draw({1000, 1000, 300, 1, 0});
    w.form->Command22->click();
    ASSERT_TRUE(w.form->programText().saveAs(w.path("house.pas")));
    EXPECT_EQ(w.form->windowTitle(), "house.pas - pasdraw");
    w.form->Text1->setText("circle(1,2,3);");
    w.form->Command23->click();
    EXPECT_EQ(readFile(w.path("house.pas")), QByteArray::fromStdString(programFileBytes("circle(1,2,3);")));
    EXPECT_FALSE(QFile::exists(w.path("test.pas")));
}

TEST(Open, ASavedProgramAndFilesThatChangeNothing) {
    Window w;
    w.draw({1000, 1000, 300, 4, 0});
    w.form->Command24->click();
    ASSERT_TRUE(w.form->programText().save());
    const QString saved = w.form->Text1->text();
    QDir(w.dir.path()).mkdir("folder.pas");
    writeFile(w.path("nul.pas"), QByteArray("line(1,2,3,4);\0", 15));
    QFile big(w.path("big.pas"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(50 * 1024 * 1024));
    big.close();
    for (const char* bad : {"missing.pas", "folder.pas", "nul.pas", "big.pas"}) {
        EXPECT_FALSE(w.form->openFile(w.path(bad))) << bad;
        EXPECT_EQ(w.form->Text1->text(), saved) << bad;
    }
    EXPECT_EQ(w.told.size(), 4);

    Window other;
    ASSERT_TRUE(other.form->openFile(w.path("test.pas")));
    EXPECT_EQ(other.form->Text1->text(), saved);
    EXPECT_EQ(other.form->picture().CircleCount(), 1);
    EXPECT_FALSE(other.form->hasUnsavedWork());
}

TEST(Caption, AMarkShowsUnsavedWorkUntilSave) {
    Window w;
    w.form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.form.get()));
    const struct {
        const char* step;
        std::function<void()> act;
        const char* shown;
    } steps[] = {
        {"start", [] {}, "pasdraw"},
        {"a circle",
         [&] {
             w.draw({1000, 1000, 300, 1, 0});
         },
         "*pasdraw"},
        {"Save", [&] { w.form->Command23->click(); }, "pasdraw"},
        {"a letter typed", [&] { QTest::keyClicks(w.form->Text1, "x"); }, "*pasdraw"},
        {"the letter taken back", [&] { QTest::keyClick(w.form->Text1, Qt::Key_Backspace); }, "pasdraw"},
        {"Value", [&] { w.form->Command24->click(); }, "*pasdraw"},
        {"Save as", [&] { w.form->programText().saveAs(w.path("house.pas")); }, "house.pas - pasdraw"},
        {"a second circle",
         [&] {
             w.draw({3000, 1000, 300, 1, 0});
         },
         "*house.pas - pasdraw"},
    };
    for (const auto& s : steps) {
        s.act();
        EXPECT_EQ(w.form->captionMark().shown(), s.shown) << s.step;
    }
    // The widget's own title stays unmarked, as the toolkit's "[*]" keeps it.
    EXPECT_EQ(w.form->windowTitle(), "house.pas - pasdraw");
}

// Opening over unsaved work asks first, in words of its own that name the
// file when it is known, and the file dialog comes only after the answer.
TEST(Open, OverUnsavedWorkAsksBeforeTheDialog) {
    Window w;
    w.draw({1000, 1000, 300, 4, 0});
    w.form->Command22->click();
    ASSERT_TRUE(w.form->programText().saveAs(w.path("house.pas")));
    w.draw({3000, 1000, 300, 4, 0});
    QStringList events;
    int answer = QMessageBox::Cancel;
    w.form->files().setOpenQuestion([&](const QString& name) {
        events << "asked " + name;
        return answer;
    });
    // A modal dialog is noted and closed from inside its own loop.
    const auto closeDialog = [&events] {
        QTimer::singleShot(0, [&events] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                events << "dialog " + dialog->windowTitle();
                dialog->close();
            }
        });
    };
    const struct {
        int answer;
        bool dialog;  // the file dialog, or a named file
        QStringList events;
        bool opened;
    } cases[] = {
        {QMessageBox::Cancel, true, {"asked "}, false},
        {QMessageBox::Discard, true, {"asked ", "dialog Open a program"}, false},
        {QMessageBox::Cancel, false, {"asked house.pas"}, false},
        {QMessageBox::Discard, false, {"asked house.pas"}, true},
    };
    for (const auto& c : cases) {
        events.clear();
        answer = c.answer;
        if (c.dialog) {
            closeDialog();
            w.form->files().openDialog();
            QApplication::processEvents();
        } else {
            EXPECT_EQ(w.form->openFile(w.path("house.pas")), c.opened);
        }
        EXPECT_EQ(events, c.events) << events.join(u'|').toStdString();
        EXPECT_EQ(w.form->picture().CircleCount(), c.opened ? 1 : 2);
    }
}

TEST(Recovery, WorkAWindowLeftIsOfferedAndRestored) {
    QString left;
    std::string generated;
    {
        Window crashed;
        crashed.draw({1000, 1000, 300, 4, 0});
        crashed.form->Command22->click();
        crashed.form->Text1->setText(crashed.form->Text1->text() + "{ typed }");
        crashed.form->files().recovery().write();
        generated = generateAbsolute(crashed.form->picture());
        // A window that runs keeps its copy to itself.
        Window running;
        running.form->files().recovery().lookForLeftWork();
        EXPECT_FALSE(running.form->readout().noteText().contains("Ctrl+Shift+R"));
        // A window that died leaves its file with no live lock.
        left = RecoveryKeeper::folder() + "/recovery-999999-0.pasdraw";
        QFile::remove(left);
        ASSERT_TRUE(QFile::copy(crashed.form->files().recovery().path(), left));
    }
    // A damaged one beside it is set aside, not deleted.
    writeFile(RecoveryKeeper::folder() + "/recovery-999998-0.pasdraw", "pasdraw recovery 1\nbroken");
    Window next;
    EXPECT_TRUE(next.form->picture().empty());
    next.form->files().recovery().lookForLeftWork();
    EXPECT_TRUE(next.form->readout().noteText().contains("could not be recovered"));
    EXPECT_TRUE(QFile::exists(RecoveryKeeper::folder() + "/recovery-999998-0.pasdraw.damaged"));
    EXPECT_TRUE(next.form->readout().noteText().contains("Ctrl+Shift+R"))
        << next.form->readout().noteText().toStdString();
    EXPECT_TRUE(next.form->files().restore());
    EXPECT_TRUE(next.form->Text1->text().endsWith("{ typed }"));
    EXPECT_EQ(generateAbsolute(next.form->picture()), generated);
    EXPECT_TRUE(next.form->hasUnsavedWork());
    EXPECT_FALSE(QFile::exists(left));
}

}  // namespace
}  // namespace pasdraw
