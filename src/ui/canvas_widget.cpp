#include "ui/canvas_widget.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <bit>

#include "canvas/repaint.h"

// The canvas buffer holds 0x00BBGGRR words, which is QImage::Format_RGBX8888
// byte for byte only on little-endian machines.
static_assert(std::endian::native == std::endian::little, "the canvas image layout assumes little-endian");

namespace pasdraw {

namespace {

int mouseButton(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton: return 1;
        case Qt::RightButton: return 2;
        case Qt::MiddleButton: return 4;
        default: return 0;
    }
}

int shiftState(Qt::KeyboardModifiers m) {
    return (m.testFlag(Qt::ShiftModifier) ? 1 : 0) | (m.testFlag(Qt::ControlModifier) ? 2 : 0) |
           (m.testFlag(Qt::AltModifier) ? 4 : 0);
}

}  // namespace

CanvasWidget::CanvasWidget(Picture& picture, float twipsPerLogicalX, float twipsPerLogicalY, QWidget* parent)
    : QWidget(parent),
      twipsPerLogicalX_(twipsPerLogicalX),
      twipsPerLogicalY_(twipsPerLogicalY),
      devicePixelRatio_(devicePixelRatioF()) {
    setObjectName(QStringLiteral("canvas"));
    const auto ratio = static_cast<float>(devicePixelRatio_);
    surface_ = std::make_unique<RasterSurface>(twipsPerLogicalX_ / ratio, twipsPerLogicalY_ / ratio);
    // A Refresh during a repaint only schedules one update; Qt coalesces them.
    surface_->setRefreshHandler([this] { update(); });
    editor_ = std::make_unique<Editor>(picture, *surface_);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CanvasWidget::~CanvasWidget() = default;

void CanvasWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // At a fractional device pixel ratio the image can fall a fraction of a
    // pixel short of the widget; that sliver stays black like the window.
    painter.fillRect(rect(), Qt::black);
    // Wrap the canvas buffer as it is: no copy, no conversion. RGBX keeps the
    // unused top byte out of any alpha handling.
    QImage image(reinterpret_cast<const uchar*>(surface_->bits()), surface_->width(), surface_->height(),
                 static_cast<qsizetype>(surface_->width()) * 4, QImage::Format_RGBX8888);
    image.setDevicePixelRatio(devicePixelRatio_);
    painter.drawImage(QPointF(0, 0), image);
}

void CanvasWidget::afterCanvasEvent() {
    if (surface_->takeChanged()) update();
}

void CanvasWidget::mousePressEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    editor_->Form_MouseDown(mouseButton(event->button()), shiftState(event->modifiers()), toTwipsX(p.x()),
                            toTwipsY(p.y()));
    afterCanvasEvent();
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    const float x = toTwipsX(p.x()), y = toTwipsY(p.y());
    editor_->Form_MouseMove(mouseButton(event->button()), shiftState(event->modifiers()), x, y);
    // A cross-hair where a press would draw, the usual arrow elsewhere.
    const Qt::CursorShape shape = Editor::outsideCanvas(x, y) ? Qt::ArrowCursor : Qt::CrossCursor;
    if (cursor().shape() != shape) setCursor(shape);
    afterCanvasEvent();
    emit pointerMoved(x, y);
}

void CanvasWidget::leaveEvent(QEvent*) { emit pointerLeft(); }

void CanvasWidget::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    const ReleaseResult result = editor_->Form_MouseUp(
        mouseButton(event->button()), shiftState(event->modifiers()), toTwipsX(p.x()), toTwipsY(p.y()));
    if (result.refused) {
        tellListFull(*result.refused);
    } else if (result.committed) {
        clearCapacityNote();
    }
    afterCanvasEvent();
    emit dragEnded();
    if (result.committed) emit pictureChanged();
}

void CanvasWidget::undo() {
    const bool dropped = editor_->Command5_Click();
    clearCapacityNote();
    afterCanvasEvent();
    // An undo with nothing to drop leaves the picture as it was: the text
    // is no older and nothing new needs saving.
    if (dropped) emit pictureChanged();
}

void CanvasWidget::repaintFromModel() {
    drowob(editor_->picture(), *surface_);
    clearCapacityNote();
    afterCanvasEvent();
    emit pictureChanged();
}

bool CanvasWidget::redo() {
    if (!editor_->redo()) return false;
    afterCanvasEvent();
    emit pictureChanged();
    return true;
}

void CanvasWidget::tellListFull(Kind kind) {
    // No dialog: a beep, the caption and a tooltip at the pointer say it at once
    // and leave every control where it is.
    QApplication::beep();
    capacityNote_ = QStringLiteral(
                        "No room for another %1: the picture already holds %2 %3, the most it can. "
                        "Undo one to make room.")
                        .arg(QString::fromLatin1(kindName(kind)))
                        .arg(ListCapacity)
                        .arg(QString::fromLatin1(kindPlural(kind)));
    window()->setWindowTitle(
        QStringLiteral("pasdraw - %1 %2, no room for another").arg(ListCapacity).arg(kindPlural(kind)));
    QToolTip::showText(QCursor::pos(), capacityNote_, this);
}

void CanvasWidget::clearCapacityNote() {
    if (capacityNote_.isEmpty()) return;
    capacityNote_.clear();
    window()->setWindowTitle(QStringLiteral("pasdraw"));
    QToolTip::hideText();
}

}  // namespace pasdraw
