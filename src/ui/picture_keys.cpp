#include "ui/picture_keys.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

namespace pasdraw {

namespace {

bool isPictureKey(int key) {
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Delete:
        case Qt::Key_Backspace:
        case Qt::Key_Escape: return true;
        default: return false;
    }
}

bool isArrow(int key) { return key >= Qt::Key_Left && key <= Qt::Key_Down; }

}  // namespace

PictureKeys::PictureKeys(QWidget* window, QWidget* canvas)
    : QObject(window), window_(window), canvas_(canvas) {
    // A clicked button keeps the focus it takes, so Tab goes on from it, but
    // not the arrows: they would walk its focus frame along the column.
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) b->installEventFilter(this);
    // Keys nobody took (a slider's Escape, none focused) come up to the window.
    window->installEventFilter(this);
}

bool PictureKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || forwarding_) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (!isPictureKey(key->key())) return false;
    const QWidget* focus = QApplication::focusWidget();
    // Typing places keep their keys, and the canvas has had its turn.
    if (focus == canvas_ || qobject_cast<const QPlainTextEdit*>(focus) != nullptr ||
        qobject_cast<const QLineEdit*>(focus) != nullptr)
        return false;
    if (watched == window_ && qobject_cast<const QAbstractSlider*>(focus) != nullptr && isArrow(key->key()))
        return false;
    QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(),
                   static_cast<quint16>(key->count()));
    forwarding_ = true;
    QCoreApplication::sendEvent(canvas_, &copy);
    forwarding_ = false;
    return true;
}

}  // namespace pasdraw
