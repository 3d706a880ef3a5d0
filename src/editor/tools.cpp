#include "editor/tools.h"

#include <cmath>
#include <type_traits>

#include "canvas/repaint.h"
#include "model/numeric.h"

namespace pasdraw {

double dragRadius(float startX, float startY, float x, float y) {
    const float dx = startX - x;
    const float dy = startY - y;
    const double sx = static_cast<double>(dx), sy = static_cast<double>(dy);
    return std::sqrt(sx * sx + sy * sy);
}

namespace {

// The two-corner shapes keep both points as dragged, unsorted.
template <class Record>
Record twoCornerRecord(const Picture& picture, float x, float y) {
    Record r{};
    r.X1 = toStored(picture.state.StartX);
    r.X2 = toStored(x);
    r.Y1 = toStored(picture.state.StartY);
    r.Y2 = toStored(y);
    if constexpr (std::is_same_v<Record, EllipseRecord>) {
        r.StartAngle = 0;  // the ellipse tool always draws the full outline
        r.EndAngle = 360;
    }
    return r;
}

CommitResult repaintIfCommitted(CommitResult result, const Picture& picture, Surface& surface) {
    if (result == CommitResult::Committed) drowob(picture, surface);
    return result;
}

// Lines, rectangles and ellipses store both corners as dragged and repaint.
template <class Record, Kind K, CommitResult (Picture::*Commit)(Record)>
class TwoCornerTool : public ShapeTool {
public:
    Kind kind() const override { return K; }
    std::optional<ShapeRecord> record(const Picture& p, float x, float y) const override {
        return twoCornerRecord<Record>(p, x, y);
    }
    CommitResult commit(Picture& p, Surface& s, const std::optional<ShapeRecord>& r, float,
                        float) const override {
        return repaintIfCommitted((p.*Commit)(std::get<Record>(*r)), p, s);
    }
};

class LineTool final : public TwoCornerTool<LineRecord, Kind::Line, &Picture::commitLine> {
public:
    bool preview(Surface& s, float sx, float sy, float x, float y, int32_t colour) const override {
        s.Line(sx, sy, x, y, colour);
        return true;
    }
};

class RectangleTool final
    : public TwoCornerTool<RectangleRecord, Kind::Rectangle, &Picture::commitRectangle> {
public:
    bool preview(Surface& s, float sx, float sy, float x, float y, int32_t colour) const override {
        s.LineBox(sx, sy, x, y, colour);
        return true;
    }
};

class EllipseTool final : public TwoCornerTool<EllipseRecord, Kind::Ellipse, &Picture::commitEllipse> {
public:
    bool preview(Surface& s, float sx, float sy, float x, float y, int32_t colour) const override {
        // Through the device context: pointer corner first, press corner second.
        s.setForeColor(colour);
        s.Ellipse(pxX(s, x), pxY(s, y), pxX(s, sx), pxY(s, sy));
        return true;
    }
    bool refreshAfterPreview() const override { return true; }
};

class CircleTool final : public ShapeTool {
public:
    Kind kind() const override { return Kind::Circle; }
    bool preview(Surface& s, float sx, float sy, float x, float y, int32_t colour) const override {
        s.Circle(sx, sy, static_cast<float>(dragRadius(sx, sy, x, y)), colour);
        return true;
    }
    std::optional<ShapeRecord> record(const Picture& p, float x, float y) const override {
        return circleRecord(p, x, y);
    }
    CommitResult commit(Picture& p, Surface& s, const std::optional<ShapeRecord>& r, float,
                        float) const override {
        return repaintIfCommitted(p.commitCircle(std::get<CircleRecord>(*r)), p, s);
    }

private:
    static CircleRecord circleRecord(const Picture& p, float x, float y) {
        CircleRecord r{};
        r.X = toStored(p.state.StartX);
        r.Y = toStored(p.state.StartY);
        r.Radius = toStored(dragRadius(p.state.StartX, p.state.StartY, x, y));
        return r;
    }
};

class FillTool final : public ShapeTool {
public:
    Kind kind() const override { return Kind::Fill; }
    bool preview(Surface&, float, float, float, float, int32_t) const override { return false; }
    std::optional<ShapeRecord> record(const Picture&, float, float) const override { return std::nullopt; }
    CommitResult commit(Picture& p, Surface& s, const std::optional<ShapeRecord>&, float x,
                        float y) const override {
        // The seed is the release point, and the fill goes straight onto the
        // current image: no repaint from the model.
        const CommitResult result = p.commitFill(toStored(x), toStored(y));
        if (result != CommitResult::Committed) return result;
        s.setFillStyle(FillSolid);
        s.setForeColor(p.state.CurrentColorRGB);
        s.setFillColor(p.state.CurrentColorRGB);
        s.FloodFill(pxX(s, x), pxY(s, y), p.state.LastColorRGB);
        s.Refresh();
        s.setFillStyle(FillTransparent);
        return result;
    }
};

const LineTool lineTool;
const RectangleTool rectangleTool;
const EllipseTool ellipseTool;
const CircleTool circleTool;
const FillTool fillTool;

}  // namespace

const ShapeTool* toolFor(int16_t tool) {
    switch (tool) {
        case 1: return &lineTool;
        case 2: return &rectangleTool;
        case 3: return &ellipseTool;
        case 4: return &circleTool;
        case 5: return &fillTool;
        default: return nullptr;
    }
}

}  // namespace pasdraw
