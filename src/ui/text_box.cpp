#include "ui/text_box.h"

#include <QAction>
#include <QChar>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolTip>

namespace pasdraw {

namespace {

// The platform's own redo sequence stays a redo key too.
bool isRedoKey(const QKeyEvent* key) {
    if (key->matches(QKeySequence::Redo)) return true;
    for (const QKeyCombination redo : RedoKeys) {
        if (key->keyCombination() == redo) return true;
    }
    return false;
}

}  // namespace

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (settingText_) return;
        edited_ = true;
        // New typing starts a new history; what a restore took away stays away.
        replacement_.reset();
    });
}

void TextBox::setExact(const QString& text, bool edited) {
    exact_ = text;
    emit replacing(text);
    settingText_ = true;
    // setPlainText also clears the document's own undo history, which is what
    // keeps repeated replacements from piling up copies of the text.
    setPlainText(text);
    settingText_ = false;
    edited_ = edited;
}

void TextBox::setText(const QString& text) {
    // Typed text that is about to go is kept as one undo step. Text that only
    // a generator wrote is never kept: it can be generated again.
    if (edited_) handEdits_ = this->text();
    replacement_.reset();
    setExact(text, false);
}

QString TextBox::text() const {
    if (!edited_) return exact_;
    // toRawText keeps what toPlainText would alter (non-breaking spaces); the
    // block, paragraph and line separators all become CR LF.
    QString raw = document()->toRawText();
    QString out;
    out.reserve(raw.size() + raw.size() / 16);
    for (const QChar c : raw) {
        const char16_t u = c.unicode();
        if (u == QChar::ParagraphSeparator || u == QChar::LineSeparator || u == u'\n') {
            out += QStringLiteral("\r\n");
        } else if (u != u'\r') {
            out += c;
        }
    }
    return out;
}

void TextBox::markLines(std::vector<LineNote> notes) {
    notes_ = std::move(notes);
    showMarks();
}

void TextBox::markLine(LineMark kind, int line, bool scroll) {
    markedLines_[static_cast<std::size_t>(kind)] = line;
    showMarks();
    if (!scroll || line <= 0) return;
    const QTextBlock block = document()->findBlockByNumber(line - 1);
    if (!block.isValid()) return;
    // Scroll without moving the text cursor: putting the cursor on a line is
    // how the user asks for that line's shape, so it must stay theirs.
    const QTextCursor keep = textCursor();
    QSignalBlocker quiet(this);
    setTextCursor(QTextCursor(block));
    ensureCursorVisible();
    setTextCursor(keep);
}

void TextBox::showMarks() {
    QList<QTextEdit::ExtraSelection> marks;
    const auto add = [&](int line, const QColor& colour) {
        const QTextBlock block = document()->findBlockByNumber(line - 1);
        if (line <= 0 || !block.isValid()) return;
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(block);
        mark.format.setBackground(colour);
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks.append(mark);
    };
    // One mark a line and kind; notes come in text order, so a line's notes
    // of one kind stand together.
    int lastProblem = 0, lastWarning = 0;
    for (const LineNote& note : notes_) {
        int& last = note.warning ? lastWarning : lastProblem;
        if (note.line == last) continue;
        last = note.line;
        if (!note.warning) {
            add(note.line, QColor(255, 200, 200));
            continue;
        }
        const QTextBlock block = document()->findBlockByNumber(note.line - 1);
        if (note.line <= 0 || !block.isValid()) continue;
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(block);
        mark.cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        mark.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        mark.format.setUnderlineColor(QColor(230, 130, 0));
        marks.append(mark);
    }
    // Added after the problems, so they show on top of a problem's mark.
    add(markedLines_[static_cast<std::size_t>(LineMark::Picked)], QColor(200, 225, 255));
    add(markedLines_[static_cast<std::size_t>(LineMark::Running)], QColor(255, 240, 170));
    setExtraSelections(marks);
}

bool TextBox::restoreHandEdits() {
    // The document's own history comes first: typing after the replacement is
    // undone before the replacement itself.
    if (!handEdits_ || document()->isUndoAvailable()) return false;
    replacement_ = text();
    const QString edits = *handEdits_;
    handEdits_.reset();
    setExact(edits, true);
    return true;
}

bool TextBox::reapplyReplacement() {
    if (!replacement_ || document()->isRedoAvailable()) return false;
    handEdits_ = text();
    const QString generated = *replacement_;
    replacement_.reset();
    setExact(generated, false);
    return true;
}

bool TextBox::event(QEvent* event) {
    // Claim the undo and both redo keys before the window's shortcuts (undo
    // and redo of a shape): in the box they act on the typing.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || isRedoKey(key)) {
            event->accept();
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

QString TextBox::notesAt(int line) const {
    QStringList said;
    for (const LineNote& note : notes_)
        if (note.line == line) said.append(note.text);
    return said.join(QLatin1Char('\n'));
}

bool TextBox::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString said = notesAt(cursorForPosition(help->pos()).blockNumber() + 1);
        if (said.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), said, viewport());
        }
        return true;
    }
    return QPlainTextEdit::viewportEvent(event);
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Undo) && restoreHandEdits()) return;
    if (isRedoKey(event)) {
        // The box's own redo knows only the platform's sequence.
        if (!reapplyReplacement()) redo();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TextBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu(event->pos());
    // The standard Undo and Redo entries know only the document's history;
    // make them cross a replacement too.
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-undo") && handEdits_ &&
            !document()->isUndoAvailable()) {
            action->setEnabled(true);
            disconnect(action, nullptr, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this] { restoreHandEdits(); });
        } else if (action->objectName() == QLatin1String("edit-redo") && replacement_ &&
                   !document()->isRedoAvailable()) {
            action->setEnabled(true);
            disconnect(action, nullptr, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this] { reapplyReplacement(); });
        }
    }
    menu->exec(event->globalPos());
    delete menu;
}

}  // namespace pasdraw
