#include "ui/preview_link.h"

#include <QPushButton>
#include <QTextBlock>

#include "ui/preview_window.h"
#include "ui/text_box.h"

namespace pasdraw {

namespace {

// What the text box says of a run's lines: each problem and warning, who
// says it, its column and the status line's words for it.
std::vector<TextBox::LineNote> notesOf(const RunResult& run) {
    const auto who = [](ProgramProblem::Kind kind) {
        switch (kind) {
            case ProgramProblem::Kind::Compile: return QStringLiteral("The compiler would refuse this");
            case ProgramProblem::Kind::Runtime: return QStringLiteral("The program stops here");
            case ProgramProblem::Kind::Unsupported: return QStringLiteral("The preview cannot show this");
            case ProgramProblem::Kind::Limit: return QStringLiteral("The preview stops here");
            case ProgramProblem::Kind::Warning: break;
        }
        return QStringLiteral("The compiler warns");
    };
    std::vector<TextBox::LineNote> notes;
    for (const std::vector<ProgramProblem>* list : {&run.problems, &run.warnings}) {
        for (const ProgramProblem& p : *list) {
            const bool warning = list == &run.warnings;
            notes.push_back({p.line,
                             QStringLiteral("%1, column %2: %3")
                                 .arg(who(warning ? ProgramProblem::Kind::Warning : p.kind))
                                 .arg(p.column)
                                 .arg(QString::fromStdString(p.message)),
                             warning});
        }
    }
    return notes;
}

}  // namespace

PreviewLink::PreviewLink(QWidget* owner, TextBox* text, QPushButton* button)
    : QObject(owner), owner_(owner), text_(text), button_(button) {
    // A replaced text starts running while the box is still being filled
    // with it, on the other core; the change that follows is then no news.
    connect(text_, &TextBox::replacing, this, &PreviewLink::follow);
    connect(text_, &QPlainTextEdit::textChanged, this, [this] { follow(text_->text()); });
}

void PreviewLink::follow(const QString& text) {
    if (preview_ == nullptr || !preview_->isVisible() || text == given_) return;
    given_ = text;
    preview_->showText(text);
}

PreviewWindow& PreviewLink::window() {
    if (preview_ == nullptr) {
        preview_ = new PreviewWindow(owner_);
        connect(preview_, &PreviewWindow::visibilityChanged, this, [this](bool visible) {
            button_->setChecked(visible);
            if (visible) {
                given_ = text_->text();
                preview_->showText(given_);
            } else {
                text_->markLines({});
                text_->markLine(TextBox::LineMark::Running, 0);
            }
        });
        connect(preview_, &PreviewWindow::runningLine, this,
                [this](int line) { text_->markLine(TextBox::LineMark::Running, line, true); });
        // A picked statement: the text cursor goes to it, ready for editing.
        connect(preview_, &PreviewWindow::statementPicked, this, [this](int line, int column) {
            const QTextBlock block = text_->document()->findBlockByNumber(line - 1);
            if (!block.isValid()) return;
            QTextCursor cursor(block);
            cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor,
                                std::min(column - 1, std::max(0, block.length() - 1)));
            text_->setTextCursor(cursor);
            text_->ensureCursorVisible();
        });
        connect(preview_, &PreviewWindow::shown, this,
                [this] { text_->markLines(notesOf(preview_->shownResult())); });
    }
    return *preview_;
}

void PreviewLink::open() {
    if (!window().isVisible()) toggle();
}

void PreviewLink::close() {
    if (preview_ != nullptr) preview_->close();
}

void PreviewLink::toggle() {
    window();
    if (preview_->isVisible()) {
        close();
        return;
    }
    if (!placed_) {
        // The first time beside the editor, where it covers nothing of it.
        preview_->move(owner_->frameGeometry().topRight() + QPoint(8, 0));
        placed_ = true;
    }
    preview_->show();
    preview_->raise();
}

}  // namespace pasdraw
