#include "ui/text_box.h"

#include <QAction>
#include <QChar>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTextBlock>
#include <QTextDocument>

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

void TextBox::markLines(const std::vector<int>& lines) {
    QList<QTextEdit::ExtraSelection> marks;
    int last = 0;
    for (const int line : lines) {
        if (line == last) continue;  // problems come in text order, several may share a line
        last = line;
        const QTextBlock block = document()->findBlockByNumber(line - 1);
        if (!block.isValid()) continue;
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(block);
        mark.format.setBackground(QColor(255, 200, 200));
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks.append(mark);
    }
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
