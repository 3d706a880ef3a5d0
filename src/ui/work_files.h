// The window's dealings with files beyond "Save": "Open…" of a Pascal file
// (also named on the command line or dropped on the window), "Save as…",
// the question before unsaved work would be lost (closing, opening another
// file), and the recovery copy of unsaved work. The "File" button's menu
// lists them with their keys.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "document/document.h"

class QPushButton;
class QWidget;

namespace pasdraw {

class ProgramText;
class RecoveryKeeper;
class TextBox;

class WorkFiles : public QObject {
    Q_OBJECT
public:
    WorkFiles(Document& document, ProgramText& programText, TextBox* text, QPushButton* menuButton,
              QWidget* window);

    // Opens a file into the text box and the picture; asks first, naming
    // the file, when there is unsaved work. Returns whether it opened.
    bool open(const QString& path);
    // Asks about unsaved work first, then shows the file dialog.
    void openDialog();
    void saveAsDialog();
    // Whether unsaved work may go (closing, opening another file): asks
    // Save, Discard or Cancel when there is some, and saves on Save. When
    // the text is older than the picture, Save writes the newest picture.
    bool mayDiscard();
    // The window closes for good: the recovery copy goes.
    void closed();
    bool restore();
    RecoveryKeeper& recovery() { return *keeper_; }

    // How the questions reach the user: QMessageBox's Save, Discard, Cancel,
    // or Apply for "save the text as it is"; dialogs unless replaced (tests).
    // The question before opening has words of its own and names the file
    // when it is known (empty before the file dialog); setQuestion answers
    // both.
    using Question = std::function<int()>;
    using OpenQuestion = std::function<int(const QString& fileName)>;
    void setQuestion(Question question) {
        ask_ = question;
        askOpen_ = [question](const QString&) { return question(); };
    }
    void setOpenQuestion(OpenQuestion question) { askOpen_ = std::move(question); }
    void setTell(std::function<void(const QString&)> tell) { tell_ = std::move(tell); }
    // The picture could not come from an opened file: the window shows the
    // program's preview instead.
    void setShowPreview(std::function<void()> show) { showPreview_ = std::move(show); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool open(const QString& path, bool ask);
    bool mayOpenOver(const QString& fileName);
    // Carries out the answer to either question; false to keep the work.
    bool settle(int answer);

    Document& document_;
    ProgramText& programText_;
    QWidget* window_;
    RecoveryKeeper* keeper_;
    Question ask_;
    OpenQuestion askOpen_;
    std::function<void(const QString&)> tell_;
    std::function<void()> showPreview_;
};

}  // namespace pasdraw
