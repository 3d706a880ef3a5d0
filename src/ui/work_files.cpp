#include "ui/work_files.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>

#include "document/file_text.h"
#include "ui/command_line.h"
#include "ui/dialogs.h"
#include "ui/program_text.h"
#include "ui/recovery_keeper.h"
#include "ui/text_box.h"

namespace pasdraw {

namespace {

const QString PascalFilter = QStringLiteral("Pascal programs (*.pas *.pp *.p);;All files (*)");

// The one Pascal file a drag carries, if it carries exactly that.
QString droppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl url = data->urls().front();
    if (!url.isLocalFile()) return {};
    const QString path = url.toLocalFile();
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("pas") || suffix == QLatin1String("pp") || suffix == QLatin1String("p")
               ? path
               : QString();
}

int askBeforeLosing(QWidget* parent, bool stale) {
    if (!stale) {
        return static_cast<int>(QMessageBox::question(
            parent, QStringLiteral("pasdraw"),
            QStringLiteral("The picture or the program text has changed since it was last saved. "
                           "Save the program first?"),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save));
    }
    QMessageBox box(
        QMessageBox::Question, QStringLiteral("pasdraw"),
        QStringLiteral("The text does not show the newest shapes of the picture, and the work has "
                       "changed since it was last saved.\n\n"
                       "Save writes the program of the newest picture: the text is written anew "
                       "from it, as Generate or Value would. \"Save the text as it is\" keeps the "
                       "text box unchanged, without the newest shapes."),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    QPushButton* asItIs = box.addButton(QStringLiteral("Save the text as it is"), QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::Save);
    box.exec();
    if (box.clickedButton() == asItIs) return QMessageBox::Apply;
    return static_cast<int>(box.standardButton(box.clickedButton()));
}

// Asked before the file dialog, or before a file named on the command line
// or dropped on the window replaces the work; `name` is empty for the dialog.
int askBeforeOpening(QWidget* parent, bool stale, const QString& name) {
    QString question = name.isEmpty()
                           ? QStringLiteral(
                                 "Open another program? It takes the place of the picture and the text, "
                                 "which have changes that are not saved. The file dialog comes next.")
                           : QStringLiteral(
                                 "Open %1? It takes the place of the picture and the text, which have "
                                 "changes that are not saved.")
                                 .arg(name);
    if (stale) {
        question += QStringLiteral(
            "\n\nThe text does not show the newest shapes. \"Save first\" writes the program of the "
            "newest picture, in the text's form; \"Save the text as it is\" writes the text box "
            "unchanged.");
    }
    QMessageBox box(QMessageBox::Question, QStringLiteral("pasdraw"), question,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.button(QMessageBox::Save)->setText(QStringLiteral("Save first"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("Open without saving"));
    QPushButton* asItIs =
        stale ? box.addButton(QStringLiteral("Save the text as it is"), QMessageBox::AcceptRole) : nullptr;
    box.setDefaultButton(QMessageBox::Save);
    box.exec();
    if (asItIs != nullptr && box.clickedButton() == asItIs) return QMessageBox::Apply;
    return static_cast<int>(box.standardButton(box.clickedButton()));
}

}  // namespace

WorkFiles::WorkFiles(Document& document, ProgramText& programText, TextBox* text, QPushButton* menuButton,
                     QWidget* window)
    : QObject(window),
      document_(document),
      programText_(programText),
      window_(window),
      keeper_(new RecoveryKeeper(document, this)),
      ask_([this] { return askBeforeLosing(window_, document_.textIsStale()); }),
      askOpen_(
          [this](const QString& name) { return askBeforeOpening(window_, document_.textIsStale(), name); }),
      tell_([this](const QString& message) {
          QMessageBox::information(window_, QStringLiteral("pasdraw"), message);
      }),
      showPreview_([] {}) {
    programText_.setFailureHandler(
        [this](const QString& m, bool other) { return askWhereElse(window_, m, other); });
    // Only what changes the work; a pointer moving over the canvas does not.
    document_.subscribe([this](Changes changes) {
        if ((changes & (ShapesChanged | TextReplaced | OriginChanged | MarksChanged | TitleChanged)) != 0) {
            keeper_->changed();
        }
    });
    connect(text, &QPlainTextEdit::textChanged, keeper_, &RecoveryKeeper::changed);

    auto* menu = new QMenu(menuButton);
    const auto item = [this, menu](const QString& caption, const QKeySequence& keys, auto run) {
        // The key shows in the menu and works anywhere in the window.
        connect(menu->addAction(caption + QLatin1Char('\t') + keys.toString(QKeySequence::NativeText)),
                &QAction::triggered, this, run);
        connect(new QShortcut(keys, window_), &QShortcut::activated, this, run);
    };
    item(QStringLiteral("Open\u2026"), QKeySequence(Qt::CTRL | Qt::Key_O), [this] { openDialog(); });
    item(QStringLiteral("Save as\u2026"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
         [this] { saveAsDialog(); });
    item(QStringLiteral("Restore unsaved work"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R),
         [this] { restore(); });
    menuButton->setMenu(menu);
    menuButton->setToolTip(QStringLiteral(
        "Open a program (Ctrl+O), save it as another file (Ctrl+Shift+S), restore unsaved work "
        "(Ctrl+Shift+R)"));

    // A Pascal file dropped anywhere on the window, the text box included.
    window_->setAcceptDrops(true);
    window_->installEventFilter(this);
    text->viewport()->installEventFilter(this);
}

bool WorkFiles::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (droppedFile(drag->mimeData()).isEmpty()) return false;
        drag->acceptProposedAction();
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = droppedFile(drop->mimeData());
        if (path.isEmpty()) return false;
        drop->acceptProposedAction();
        open(path);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool WorkFiles::mayDiscard() { return !document_.isModified() || settle(ask_()); }

bool WorkFiles::mayOpenOver(const QString& name) { return !document_.isModified() || settle(askOpen_(name)); }

bool WorkFiles::settle(int answer) {
    // The buttons of the question, as the document's choices.
    using Choice = Document::CloseChoice;
    Choice choice = Choice::Cancel;
    switch (answer) {
        case QMessageBox::Save: choice = Choice::SaveNewest; break;
        case QMessageBox::Apply: choice = Choice::SaveTextAsItIs; break;
        case QMessageBox::Discard: choice = Choice::Discard; break;
        default: break;
    }
    switch (document_.closeWith(choice)) {
        case Document::CloseAction::Save: return programText_.save();
        case Document::CloseAction::Go: return true;
        case Document::CloseAction::Stay: break;
    }
    return false;
}

bool WorkFiles::open(const QString& path) { return open(path, true); }

bool WorkFiles::open(const QString& path, bool ask) {
    const QString name = QDir::toNativeSeparators(path);
    QByteArray bytes;
    QString why;
    FileText text;
    if (readProgramFile(path, bytes, why)) {
        text = readFileText(std::string_view(bytes.constData(), std::size_t(bytes.size())));
        why = QString::fromStdString(text.problem);
    }
    if (!why.isEmpty()) {
        tell_(QStringLiteral("%1 cannot be opened: %2\n\nNothing was changed.").arg(name, why));
        return false;
    }
    if (ask && !mayOpenOver(QFileInfo(path).fileName())) return false;
    const Document::OpenOutcome outcome =
        document_.open(std::move(text), QFileInfo(path).absoluteFilePath().toStdString());
    if (!outcome.pictureFromText) {
        showPreview_();
        tell_(QString::fromStdString(outcome.message));
    }
    return true;
}

void WorkFiles::openDialog() {
    // Asked before the dialog, so the user's choice of a file is the last step.
    if (!mayOpenOver(QString())) return;
    const QString source = QString::fromStdString(document_.sourcePath());
    const QString path = QFileDialog::getOpenFileName(
        window_, QStringLiteral("Open a program"),
        source.isEmpty() ? QDir::homePath() : QFileInfo(source).path(), PascalFilter);
    if (!path.isEmpty()) open(path, false);
}

void WorkFiles::saveAsDialog() {
    const QString source = QString::fromStdString(document_.sourcePath());
    const QString path = QFileDialog::getSaveFileName(
        window_, QStringLiteral("Save the program as"),
        source.isEmpty() ? QDir::home().filePath(QStringLiteral("test.pas")) : source, PascalFilter);
    if (!path.isEmpty()) programText_.saveAs(path);
}

void WorkFiles::closed() { keeper_->discard(); }

bool WorkFiles::restore() { return keeper_->restore(); }

}  // namespace pasdraw
