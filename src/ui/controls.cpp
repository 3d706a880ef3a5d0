#include "ui/controls.h"

#include <QFontDatabase>
#include <QFrame>
#include <QPushButton>
#include <QSlider>
#include <algorithm>
#include <cmath>

#include "ui/text_box.h"

namespace pasdraw {

QRect TwipsScale::rect(int left, int top, int width, int height) const {
    const auto px = [](int twips, float per) {
        return static_cast<int>(std::lround(static_cast<float>(twips) / per));
    };
    return {px(left, x), px(top, y), px(width, x), px(height, y)};
}

int TwipsScale::fontPixels(float twips, int minimum) const {
    return std::max(minimum, static_cast<int>(std::lround(twips / y)));
}

QPushButton* makeButton(const char* caption, QWidget* parent) {
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setAutoDefault(false);
    return b;
}

TextBox* makeTextBox(const TwipsScale& scale, QWidget* parent) {
    auto* text = new TextBox(parent);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPixelSize(scale.fontPixels(180.0f, 9));
    text->setFont(mono);
    return text;
}

QSlider* makeSlider(int maximum, QWidget* parent) {
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setRange(0, maximum);
    s->setSingleStep(1);
    s->setPageStep(5);
    s->setValue(0);
    return s;
}

QFrame* makeGreyLine(const char* name, const QRect& rect, QWidget* parent) {
    auto* l = new QFrame(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(rect);
    QPalette linePalette = l->palette();
    linePalette.setColor(QPalette::Window, QColor(128, 128, 128));
    l->setPalette(linePalette);
    l->setAutoFillBackground(true);
    return l;
}

}  // namespace pasdraw
