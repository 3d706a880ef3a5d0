#include "model/picture.h"

namespace pasdraw {

bool isKind(int16_t tool) { return tool >= 1 && tool <= 5; }

const KindInfo& kindInfo(Kind kind) {
    for (const KindInfo& info : Kinds) {
        if (info.kind == kind) return info;
    }
    return Kinds.back();  // unreachable for a valid Kind
}

int16_t Picture::count(Kind kind) const {
    return withList(kind, [](const auto& list) { return list.count(); });
}

int Picture::recordCount() const {
    int n = 0;
    forEachList([&n](Kind, const auto& list) { n += list.count(); });
    return n;
}

bool Picture::empty() const { return recordCount() == 0; }

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

}  // namespace pasdraw
