// The window's controls as the layout table describes them: each kind made
// with the look it always has, placed in twips of the client area.
#pragma once

#include <QRect>

class QFrame;
class QPushButton;
class QSlider;
class QWidget;

namespace pasdraw {

class TextBox;

// Twips per logical pixel of the screen the window starts on.
struct TwipsScale {
    float x = 15.0f;
    float y = 15.0f;
    // A rectangle in twips as logical pixels, each edge rounded to nearest.
    QRect rect(int left, int top, int width, int height) const;
    // A font size given in twips, never below `minimum` pixels.
    int fontPixels(float twips, int minimum) const;
};

QPushButton* makeButton(const char* caption, QWidget* parent);
// Program text reads best one statement to a line: no wrapping, a fixed font.
TextBox* makeTextBox(const TwipsScale& scale, QWidget* parent);
QSlider* makeSlider(int maximum, QWidget* parent);
// A grey line one pixel wide, as the palette column's frame.
QFrame* makeGreyLine(const char* name, const QRect& rect, QWidget* parent);

}  // namespace pasdraw
