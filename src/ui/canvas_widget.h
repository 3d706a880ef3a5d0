// The canvas: a widget over the whole client area that owns the canvas image
// and the editor, paints the image, turns the pointer into twips for the
// editor, sets the cursor and tells the user when a shape list is full.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>

#include "canvas/raster_surface.h"
#include "editor/editor.h"
#include "model/picture.h"

namespace pasdraw {

class CanvasWidget : public QWidget {
    Q_OBJECT
public:
    // twipsPerLogical*: twips per logical pixel of the screen the window is on;
    // the image gets device-pixel resolution from the device pixel ratio.
    CanvasWidget(Picture& picture, float twipsPerLogicalX, float twipsPerLogicalY, QWidget* parent);
    ~CanvasWidget() override;

    Editor& editor() { return *editor_; }
    RasterSurface& surface() { return *surface_; }

    // Undo of the current tool's kind, then the repaint the editor asked for.
    void undo();
    // The picture was replaced: repaint it all from the model.
    void repaintFromModel();
    // Redo of the current tool's kind; returns whether anything came back.
    bool redo();

    // The note shown when a list is full; empty when there is none.
    const QString& capacityNote() const { return capacityNote_; }

signals:
    // A shape was stored or dropped: the picture differs from before.
    void pictureChanged();
    // The pointer in twips after the editor has seen the move; the drag ended.
    void pointerMoved(float x, float y);
    void pointerLeft();
    void dragEnded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void afterCanvasEvent();
    void tellListFull(Kind kind);
    void clearCapacityNote();
    float toTwipsX(qreal logical) const { return static_cast<float>(logical) * twipsPerLogicalX_; }
    float toTwipsY(qreal logical) const { return static_cast<float>(logical) * twipsPerLogicalY_; }

    float twipsPerLogicalX_;
    float twipsPerLogicalY_;
    qreal devicePixelRatio_;
    std::unique_ptr<RasterSurface> surface_;
    std::unique_ptr<Editor> editor_;
    QString capacityNote_;
};

}  // namespace pasdraw
