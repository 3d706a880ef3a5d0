#include "ui/caption_mark.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QWidget>
#include <QWindow>

#include "document/sentences.h"

namespace pasdraw {

CaptionMark::CaptionMark(Document& document, QWidget* window, const QPlainTextEdit* text)
    : QObject(window), document_(document), window_(window), text_(text) {
    // The widget sets its unmarked title on the window when it is made and
    // at every change of the title; the mark goes on after it.
    window_->installEventFilter(this);
    document_.subscribe([this](Changes changes) {
        if ((changes & (ShapesChanged | TextReplaced | MarksChanged | TitleChanged | CapacityChanged)) != 0)
            apply();
    });
    connect(text_, &QPlainTextEdit::textChanged, this, &CaptionMark::textEdited);
}

QString CaptionMark::shown() const {
    const QWindow* handle = window_->windowHandle();
    return handle != nullptr ? handle->title() : QString();
}

bool CaptionMark::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && (event->type() == QEvent::WindowTitleChange || event->type() == QEvent::Show))
        apply();
    return QObject::eventFilter(watched, event);
}

void CaptionMark::apply() {
    // isModified reads the whole text only when the picture is as saved.
    marked_ = document_.isModified();
    if (!marked_) cleanCharacters_ = text_->document()->characterCount();
    QWindow* handle = window_->windowHandle();
    if (handle == nullptr) return;
    const QString title = QString::fromStdString(shownTitle(document_));
    if (handle->title() != title) handle->setTitle(title);
}

void CaptionMark::textEdited() {
    // A marked caption stays marked while the text's length differs from the
    // unmodified text's, so typing in a long text need not read it all.
    if (marked_ && text_->document()->characterCount() != cleanCharacters_) return;
    apply();
}

}  // namespace pasdraw
