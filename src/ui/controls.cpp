#include "ui/controls.h"

#include <QFontDatabase>
#include <QFrame>
#include <QPushButton>
#include <QSlider>
#include <algorithm>
#include <cmath>

#include "model/palette.h"
#include "ui/colour_button.h"
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

void setBlackWithFont(QWidget* window, int fontPixels) {
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, Qt::black);
    window->setPalette(pal);
    window->setFont(fontOfSize(window->font(), fontPixels));
}

QFont fontOfSize(QFont font, int pixels) {
    font.setPixelSize(pixels);
    return font;
}

ColourButton* makeColourButton(const PaletteEntry& entry, const QRect& rect, QWidget* parent) {
    auto* b = new ColourButton(entry.index, entry.rgb, parent);
    b->setAutoDefault(false);
    b->setToolTip(QString::fromLatin1(entry.name));
    b->setGeometry(rect);
    return b;
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

namespace {

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

}  // namespace

std::pair<QFrame*, QFrame*> makePaletteFrame(const TwipsScale& scale, QWidget* parent) {
    const QRect corner = scale.rect(8160, 5520, 0, 0);
    const int top = scale.rect(0, 120, 0, 0).y();
    const int right = scale.rect(9600, 0, 0, 0).x();
    return {makeGreyLine("Line1", QRect(corner.x(), top, 1, corner.y() - top + 1), parent),
            makeGreyLine("Line2", QRect(corner.x(), corner.y(), right - corner.x() + 1, 1), parent)};
}

}  // namespace pasdraw
