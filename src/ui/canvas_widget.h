// The canvas: a widget over the whole client area that paints the document's
// canvas image, turns the pointer into twips for the document, sets the
// cursor, shows the picked shape's handles and its keys, and tells the user at
// once when a shape list is full.
#pragma once

#include <QString>
#include <QWidget>

#include "document/document.h"

class QLineEdit;
class QPainter;

namespace pasdraw {

class CanvasWidget : public QWidget {
    Q_OBJECT
public:
    // twipsPerLogical*: twips per logical pixel of the screen the window is on.
    CanvasWidget(Document& document, float twipsPerLogicalX, float twipsPerLogicalY, QWidget* parent);

    Editor& editor() { return document_.editor(); }
    RasterSurface& surface() { return document_.surface(); }

    void undo() { document_.undo(); }
    bool redo() { return document_.redo(); }
    // The picture was replaced: repaint it all from the model.
    void repaintFromModel() { document_.shapesReplaced(); }

    // The note shown when a list is full; empty when there is none.
    QString capacityNote() const { return QString::fromStdString(document_.capacityNote()); }
    // The small line editor the label tool opens at its click; null while
    // none is open.
    QLineEdit* labelEditor() const { return labelEditor_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void documentChanged(Changes changes);
    void paintGrid(QPainter& painter) const;
    // Opens, moves or closes the label editor as the document's anchor says.
    void followLabelAnchor();
    float toTwipsX(qreal logical) const { return static_cast<float>(logical) * twipsPerLogicalX_; }
    float toTwipsY(qreal logical) const { return static_cast<float>(logical) * twipsPerLogicalY_; }

    Document& document_;
    float twipsPerLogicalX_;
    float twipsPerLogicalY_;
    qreal devicePixelRatio_;
    QLineEdit* labelEditor_ = nullptr;
};

}  // namespace pasdraw
