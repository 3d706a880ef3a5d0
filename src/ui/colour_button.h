// A palette button: a flat field of exactly its colour, with no caption and no
// style shading, so the user sees the very colour the canvas will get. The
// current colour is marked by a white frame with a dark gap inside it, which
// shows on every colour, white included.
#pragma once

#include <QPushButton>
#include <cstdint>

namespace pasdraw {

class ColourButton : public QPushButton {
    Q_OBJECT
public:
    ColourButton(int16_t colorIndex, int32_t backColor, QWidget* parent = nullptr);

    // The colour in 0x00BBGGRR, as the canvas stores it.
    int32_t BackColor() const { return backColor_; }
    int16_t colorIndex() const { return colorIndex_; }
    void setCurrent(bool current);
    bool isCurrent() const { return current_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int16_t colorIndex_;
    int32_t backColor_;
    bool current_ = false;
};

}  // namespace pasdraw
