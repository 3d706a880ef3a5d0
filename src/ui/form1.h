// The editor's one window: the canvas in its client area, tool and palette
// buttons, undo, the program-text controls and the origin sliders. It owns the
// picture, the canvas image and the origin, and binds Qt events to the editor
// and the text generators.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "canvas/raster_surface.h"
#include "editor/editor.h"
#include "model/picture.h"

class QFrame;
class QPushButton;
class QSlider;

namespace pasdraw {

class ColourButton;
class TextBox;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // Twips per logical pixel (control geometry, mouse) and per device pixel
    // (the canvas image), both from the screen the window starts on.
    float twipsPerLogicalPixelX() const { return twipsPerLogicalX_; }
    float twipsPerLogicalPixelY() const { return twipsPerLogicalY_; }

    Picture& picture() { return picture_; }
    RasterSurface& surface() { return *surface_; }
    const std::optional<int32_t>& XK() const { return XK_; }
    int16_t YK() const { return YK_; }

    // Where "Save" writes test.pas; the executable's folder unless a test
    // points it elsewhere.
    void setApplicationDirectory(const QString& dir) { appDir_ = dir; }
    QString programFilePath() const;
    // How failures reach the user; a message box unless replaced (tests).
    void setErrorReporter(std::function<void(const QString&)> reporter) {
        reportError_ = std::move(reporter);
    }
    // The note shown when a list is full; empty when there is none.
    const QString& capacityNote() const { return capacityNote_; }

    // Controls, by their given names.
    QPushButton* Command1 = nullptr;                 // Line
    QPushButton* Command2 = nullptr;                 // Rectangle
    QPushButton* Command3 = nullptr;                 // Ellipse
    QPushButton* Command4 = nullptr;                 // Circle
    QPushButton* Command5 = nullptr;                 // Undo
    QPushButton* Command6 = nullptr;                 // Fill
    std::array<ColourButton*, 15> paletteButtons{};  // Command7..Command21
    QPushButton* Command22 = nullptr;                // Generate
    QPushButton* Command23 = nullptr;                // Save
    QPushButton* Command24 = nullptr;                // Value
    QPushButton* Command25 = nullptr;                // Text
    TextBox* Text1 = nullptr;
    QSlider* Slider1 = nullptr;
    QSlider* Slider2 = nullptr;
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;

    // Handlers, named after control and event.
    void Command22_Click();  // Generate
    void Command23_Click();  // Save
    void Command24_Click();  // Value
    void Slider1_Change();
    void Slider2_Change();
    void Command5_Click();  // Undo

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void buildControls();
    QRect twipsRect(int left, int top, int width, int height) const;
    QPushButton* addButton(const char* name, const QString& caption, int left, int top, int width,
                           int height);
    void selectTool(int16_t tool);
    void selectColour(ColourButton* button);
    void sliderChanged(bool x);
    void afterCanvasEvent();
    void tellListFull(Kind kind);
    void clearCapacityNote();
    float toTwipsX(qreal logical) const { return static_cast<float>(logical) * twipsPerLogicalX_; }
    float toTwipsY(qreal logical) const { return static_cast<float>(logical) * twipsPerLogicalY_; }

    float twipsPerLogicalX_ = 15.0f;
    float twipsPerLogicalY_ = 15.0f;
    qreal devicePixelRatio_ = 1.0;
    Picture picture_;
    std::unique_ptr<RasterSurface> surface_;
    std::unique_ptr<Editor> editor_;
    // The origin: XK has no value until "Value" or Slider1 sets it.
    std::optional<int32_t> XK_;
    int16_t YK_ = 0;
    QString appDir_;
    QString capacityNote_;
    std::function<void(const QString&)> reportError_;
};

}  // namespace pasdraw
