// The window's controls as the layout table describes them: each kind made
// with the look it always has, placed in twips of the client area.
#pragma once

#include <QFont>
#include <QRect>
#include <utility>

class QFrame;
class QPushButton;
class QSlider;
class QWidget;

namespace pasdraw {

class ColourButton;
class TextBox;
struct PaletteEntry;

// Twips per logical pixel of the screen the window starts on.
struct TwipsScale {
    float x = 15.0f;
    float y = 15.0f;
    // A rectangle in twips as logical pixels, each edge rounded to nearest.
    QRect rect(int left, int top, int width, int height) const;
    // A font size given in twips, never below `minimum` pixels.
    int fontPixels(float twips, int minimum) const;
};

// The window's look: black behind everything, text of the given pixel size.
void setBlackWithFont(QWidget* window, int fontPixels);
QFont fontOfSize(QFont font, int pixels);

QPushButton* makeButton(const char* caption, QWidget* parent);
// A palette button with its colour and, as its tooltip, the BGI name.
ColourButton* makeColourButton(const PaletteEntry& entry, const QRect& rect, QWidget* parent);
// Program text reads best one statement to a line: no wrapping, a fixed font.
TextBox* makeTextBox(const TwipsScale& scale, QWidget* parent);
QSlider* makeSlider(int maximum, QWidget* parent);
// The two grey lines, one pixel wide, that frame the palette column: from the
// corner at (8160, 5520) twips up to y = 120 ("Line1") and right to x = 9600
// ("Line2").
std::pair<QFrame*, QFrame*> makePaletteFrame(const TwipsScale& scale, QWidget* parent);

}  // namespace pasdraw
