#include "ui/text_box.h"

#include <QChar>
#include <QTextDocument>

namespace pasdraw {

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!settingText_) edited_ = true;
    });
}

void TextBox::setText(const QString& text) {
    exact_ = text;
    settingText_ = true;
    setPlainText(text);
    settingText_ = false;
    edited_ = false;
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

}  // namespace pasdraw
