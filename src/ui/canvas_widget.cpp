#include "ui/canvas_widget.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QToolTip>
#include <bit>
#include <cmath>

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

CanvasWidget::CanvasWidget(Document& document, float twipsPerLogicalX, float twipsPerLogicalY,
                           QWidget* parent)
    : QWidget(parent),
      document_(document),
      twipsPerLogicalX_(twipsPerLogicalX),
      twipsPerLogicalY_(twipsPerLogicalY),
      devicePixelRatio_(devicePixelRatioF()) {
    setObjectName(QStringLiteral("canvas"));
    // A Refresh during a repaint only schedules one update; Qt coalesces them.
    document_.surface().setRefreshHandler([this] { update(); });
    document_.subscribe([this](Changes changes) { documentChanged(changes); });
    setMouseTracking(true);
    // A press takes the keyboard from the text box, so the picture's keys
    // (undo, redo) act on the picture that was just drawn.
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CanvasWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // At a fractional device pixel ratio the image can fall a fraction of a
    // pixel short of the widget; that sliver stays black like the window.
    painter.fillRect(rect(), Qt::black);
    // Wrap the canvas buffer as it is: no copy, no conversion. RGBX keeps the
    // unused top byte out of any alpha handling.
    const RasterSurface& s = document_.surface();
    QImage image(reinterpret_cast<const uchar*>(s.bits()), s.width(), s.height(),
                 static_cast<qsizetype>(s.width()) * 4, QImage::Format_RGBX8888);
    image.setDevicePixelRatio(devicePixelRatio_);
    painter.drawImage(QPointF(0, 0), image);
    if (document_.gridShown()) paintGrid(painter);
    // The picked shape's handles go over the image, never into it: the image
    // stays what the repaint makes.
    const std::optional<ShapeRef>& picked = document_.selection();
    if (!picked) return;
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(255, 255, 255));
    constexpr qreal half = 3.5;
    for (const HandlePoint& h : handlesOf(recordOf(document_.picture(), *picked))) {
        const QPointF at(static_cast<qreal>(h.x) / twipsPerLogicalX_,
                         static_cast<qreal>(h.y) / twipsPerLogicalY_);
        painter.drawRect(QRectF(at.x() - half, at.y() - half, 2 * half, 2 * half));
    }
}

void CanvasWidget::paintGrid(QPainter& painter) const {
    // A dot at every crossing of the grid, over the image and never into
    // it, and only on the black ground, so that no drawn pixel is hidden.
    const RasterSurface& s = document_.surface();
    QPolygonF dots;
    for (int ty = 0; ty <= CanvasHeight; ty += GridStep) {
        const int py = static_cast<int>(std::nearbyint(static_cast<float>(ty) / s.TwipsPerPixelY()));
        for (int tx = 0; tx <= CanvasWidth; tx += GridStep) {
            const int px = static_cast<int>(std::nearbyint(static_cast<float>(tx) / s.TwipsPerPixelX()));
            if (px >= s.width() || py >= s.height()) continue;
            if (s.pixel(px, py) != 0) continue;
            dots << QPointF(px / devicePixelRatio_, py / devicePixelRatio_);
        }
    }
    painter.setPen(QPen(QColor(96, 96, 96), 0));
    painter.drawPoints(dots);
}

void CanvasWidget::keyPressEvent(QKeyEvent* event) {
    if (!document_.selecting()) {
        // Escape and Backspace act on a shape made in steps, when one is under way.
        const bool taken = (event->key() == Qt::Key_Escape && document_.cancelGesture()) ||
                           (event->key() == Qt::Key_Backspace && document_.takeBackCorner());
        if (!taken) QWidget::keyPressEvent(event);
        return;
    }
    // One BGI pixel is 10 twips; Shift moves ten of them.
    const int step = event->modifiers().testFlag(Qt::ShiftModifier) ? 100 : 10;
    switch (event->key()) {
        case Qt::Key_Left: document_.nudge(-step, 0); break;
        case Qt::Key_Right: document_.nudge(step, 0); break;
        case Qt::Key_Up: document_.nudge(0, -step); break;
        case Qt::Key_Down: document_.nudge(0, step); break;
        case Qt::Key_Delete:
        case Qt::Key_Backspace: document_.deleteSelection(); break;
        case Qt::Key_Escape: document_.clearSelection(); break;
        default: QWidget::keyPressEvent(event); return;
    }
}

void CanvasWidget::followLabelAnchor() {
    const std::optional<std::pair<float, float>> anchor = document_.labelAnchor();
    if (!anchor) {
        if (labelEditor_ != nullptr) {
            const bool hadFocus = labelEditor_->hasFocus();
            labelEditor_->deleteLater();
            labelEditor_ = nullptr;
            if (hadFocus) setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    if (labelEditor_ == nullptr) {
        labelEditor_ = new QLineEdit(this);
        labelEditor_->setObjectName(QStringLiteral("labelEditor"));
        labelEditor_->setMaxLength(MaxLabelLength);
        // Printable ASCII only, as the 8 x 8 font draws it: others are refused as typed.
        labelEditor_->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[ -~]{0,%1}").arg(MaxLabelLength)), labelEditor_));
        labelEditor_->setToolTip(QStringLiteral("The label's text: Enter stores it, Escape cancels"));
        QLineEdit* editor = labelEditor_;
        connect(editor, &QLineEdit::returnPressed, this,
                [this, editor] { document_.finishLabel(editor->text().toStdString()); });
        // Escape inside the editor: a QLineEdit passes it on to its parent.
        editor->installEventFilter(this);
    }
    const QPoint at(qRound(static_cast<qreal>(anchor->first) / twipsPerLogicalX_),
                    qRound(static_cast<qreal>(anchor->second) / twipsPerLogicalY_));
    const int h = labelEditor_->sizeHint().height();
    labelEditor_->setGeometry(QRect(at, QSize(std::min(240, width() - at.x()), h)));
    labelEditor_->show();
    labelEditor_->setFocus(Qt::OtherFocusReason);
}

bool CanvasWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == labelEditor_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        document_.cancelGesture();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CanvasWidget::documentChanged(Changes changes) {
    followLabelAnchor();
    if ((changes & (CanvasChanged | SelectionChanged | GridChanged)) != 0) update();
    if ((changes & CapacityChanged) == 0) return;
    if (document_.capacityNote().empty()) {
        QToolTip::hideText();
        return;
    }
    // No dialog: a beep, the caption and a tooltip at the pointer say it at
    // once and leave every control where it is.
    QApplication::beep();
    QToolTip::showText(QCursor::pos(), capacityNote(), this);
}

void CanvasWidget::mousePressEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    document_.pointerPress(mouseButton(event->button()), shiftState(event->modifiers()), toTwipsX(p.x()),
                           toTwipsY(p.y()));
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    const float x = toTwipsX(p.x()), y = toTwipsY(p.y());
    // A cross-hair where a press would draw, the usual arrow elsewhere and
    // for picking.
    const bool draws = !Editor::outsideCanvas(x, y) && !document_.selecting();
    const Qt::CursorShape shape = draws ? Qt::CrossCursor : Qt::ArrowCursor;
    if (cursor().shape() != shape) setCursor(shape);
    document_.pointerMove(mouseButton(event->button()), shiftState(event->modifiers()), x, y);
}

void CanvasWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    document_.pointerDoubleClick(mouseButton(event->button()), shiftState(event->modifiers()),
                                 toTwipsX(p.x()), toTwipsY(p.y()));
}

void CanvasWidget::leaveEvent(QEvent*) { document_.pointerLeft(); }

void CanvasWidget::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    document_.pointerRelease(mouseButton(event->button()), shiftState(event->modifiers()), toTwipsX(p.x()),
                             toTwipsY(p.y()));
}

}  // namespace pasdraw
