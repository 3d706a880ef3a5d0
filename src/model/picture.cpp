#include "model/picture.h"

namespace pasdraw {

bool isKind(int16_t tool) { return tool >= 1 && tool <= 5; }

const char* kindName(Kind kind) {
    switch (kind) {
        case Kind::Line: return "line";
        case Kind::Rectangle: return "rectangle";
        case Kind::Ellipse: return "ellipse";
        case Kind::Circle: return "circle";
        case Kind::Fill: return "fill";
    }
    return "shape";
}

int16_t Picture::count(Kind kind) const {
    switch (kind) {
        case Kind::Line: return LineCount();
        case Kind::Rectangle: return RectangleCount();
        case Kind::Ellipse: return EllipseCount();
        case Kind::Circle: return CircleCount();
        case Kind::Fill: return FillCount();
    }
    return 0;
}

bool Picture::empty() const {
    return LineCount() == 0 && RectangleCount() == 0 && EllipseCount() == 0 && CircleCount() == 0 &&
           FillCount() == 0;
}

template <class Record>
CommitResult Picture::commitOutline(ShapeList<Record>& list, Record record) {
    record.ColorIndex = state.CurrentColorIndex;
    record.ColorRGB = state.CurrentColorRGB;
    if (!list.append(record)) return CommitResult::Refused;
    state.MouseIsDown = 0;
    state.LastColorIndex = state.CurrentColorIndex;
    state.LastColorRGB = state.CurrentColorRGB;
    return CommitResult::Committed;
}

CommitResult Picture::commitLine(LineRecord record) { return commitOutline(Lines, record); }
CommitResult Picture::commitRectangle(RectangleRecord record) { return commitOutline(Rectangles, record); }
CommitResult Picture::commitEllipse(EllipseRecord record) {
    record.StartAngle = 0;
    record.EndAngle = 360;
    return commitOutline(Ellipses, record);
}
CommitResult Picture::commitCircle(CircleRecord record) { return commitOutline(Circles, record); }

CommitResult Picture::commitFill(int16_t x, int16_t y) {
    FillRecord record;
    record.X = x;
    record.Y = y;
    record.ColorIndex = state.CurrentColorIndex;
    record.ColorRGB = state.CurrentColorRGB;
    record.BorderIndex = state.LastColorIndex;
    record.BorderRGB = state.LastColorRGB;
    if (!Fills.append(record)) return CommitResult::Refused;
    state.MouseIsDown = 0;
    return CommitResult::Committed;
}

bool Picture::undo() {
    if (!isKind(state.Tool)) return false;
    switch (static_cast<Kind>(state.Tool)) {
        case Kind::Line: return Lines.dropLast();
        case Kind::Rectangle: return Rectangles.dropLast();
        case Kind::Ellipse: return Ellipses.dropLast();
        case Kind::Circle: return Circles.dropLast();
        case Kind::Fill: return Fills.dropLast();
    }
    return false;
}

}  // namespace pasdraw
