#include "ui/colour_button.h"

#include <QColor>
#include <QPainter>

namespace pasdraw {

namespace {
QColor toQColor(int32_t rgb) {
    const auto u = static_cast<uint32_t>(rgb);
    return QColor(static_cast<int>(u & 0xFF), static_cast<int>((u >> 8) & 0xFF),
                  static_cast<int>((u >> 16) & 0xFF));
}
}  // namespace

ColourButton::ColourButton(int16_t colorIndex, int32_t backColor, QWidget* parent)
    : QPushButton(parent), colorIndex_(colorIndex), backColor_(backColor) {}

void ColourButton::setCurrent(bool current) {
    if (current_ == current) return;
    current_ = current;
    update();
}

void ColourButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, toQColor(backColor_));
    p.setBrush(Qt::NoBrush);
    if (current_) {
        p.setPen(QColor(255, 255, 255));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setPen(QColor(0, 0, 0));
        p.drawRect(r.adjusted(1, 1, -2, -2));
        p.setPen(QColor(255, 255, 255));
        p.drawRect(r.adjusted(2, 2, -3, -3));
    } else {
        p.setPen(QColor(48, 48, 48));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    if (hasFocus()) {
        // Keyboard focus: a dotted line just inside, in a contrasting shade.
        const bool light = qGray(toQColor(backColor_).rgb()) > 128;
        p.setPen(QPen(light ? Qt::black : Qt::white, 1, Qt::DotLine));
        p.drawRect(r.adjusted(4, 4, -5, -5));
    }
    if (isDown()) {
        p.setPen(QColor(128, 128, 128));
        p.drawRect(r.adjusted(1, 1, -2, -2));
    }
}

}  // namespace pasdraw
