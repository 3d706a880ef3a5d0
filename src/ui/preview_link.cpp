#include "ui/preview_link.h"

#include <QPushButton>

#include "ui/preview_window.h"
#include "ui/text_box.h"

namespace pasdraw {

PreviewLink::PreviewLink(QWidget* owner, TextBox* text, QPushButton* button)
    : QObject(owner), owner_(owner), text_(text), button_(button) {
    connect(text_, &QPlainTextEdit::textChanged, this, [this] {
        if (preview_ != nullptr && preview_->isVisible()) preview_->showText(text_->text());
    });
}

PreviewWindow& PreviewLink::window() {
    if (preview_ == nullptr) {
        preview_ = new PreviewWindow(owner_);
        connect(preview_, &PreviewWindow::visibilityChanged, this, [this](bool visible) {
            button_->setChecked(visible);
            if (visible) {
                preview_->showText(text_->text());
            } else {
                text_->markLines({});
            }
        });
        connect(preview_, &PreviewWindow::shown, this,
                [this] { text_->markLines(preview_->problemLines()); });
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
