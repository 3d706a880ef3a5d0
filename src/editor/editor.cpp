#include "editor/editor.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "canvas/repaint.h"
#include "editor/selection.h"
#include "editor/tools.h"
#include "kinds/kinds.h"
#include "model/palette.h"

namespace pasdraw {

namespace {

// The end angle an arc or a pie slice takes from the pointer.
void setEndAngle(ShapeRecord& record, float x, float y) {
    std::visit(
        [&](auto& r) {
            if constexpr (requires {
                              r.EndAngle;
                              r.Radius;
                          })
                r.EndAngle = arc_shape::angleOf(r.X, r.Y, x, y);
        },
        record);
}

// The rim of an arc or pie slice from its start angle to its end angle.
void sweepBand(Surface& surface, const ShapeRecord& record, int32_t colour) {
    std::visit(
        [&](const auto& r) {
            if constexpr (requires {
                              r.EndAngle;
                              r.Radius;
                          }) {
                if (r.EndAngle == r.StartAngle) return;
                const float radius = std::abs(static_cast<float>(r.Radius));
                surface.setForeColor(colour);
                surface.EllipseArc(pxX(surface, r.X - radius), pxY(surface, r.Y - radius),
                                   pxX(surface, r.X + radius), pxY(surface, r.Y + radius),
                                   static_cast<uint16_t>(r.StartAngle), static_cast<uint16_t>(r.EndAngle));
            }
        },
        record);
}

}  // namespace

void Editor::Form_Load() {
    picture_.selectColour(Palette[0].index, Palette[0].rgb);
    picture_.state.MouseIsDown = 0;
    surface_.LineBox(0.0f, 0.0f, static_cast<float>(CanvasWidth), static_cast<float>(CanvasHeight), White);
}

void Editor::Form_MouseDown(int, int, float x, float y) {
    swallowRelease_ = false;
    if (outsideCanvas(x, y)) return;
    picture_.beginDrag(x, y);
}

ReleaseResult Editor::Form_DblClick(int button, int shift, float x, float y) {
    const ShapeTool* tool = toolFor(picture_.state.Tool);
    if (tool == nullptr || tool->gesture() != Gesture::Corners) {
        Form_MouseDown(button, shift, x, y);
        return {};
    }
    // Its first click added the corner under it; a double-click never
    // starts a polygon of its own.
    swallowRelease_ = true;
    if (!gestureUnderWay() || corners_.size() < static_cast<std::size_t>(MinPolygonCorners)) return {};
    return commitGesture(*tool, polygonSoFar(), x, y);
}

bool Editor::gestureUnderWay() const {
    return gestureKind_ && static_cast<int16_t>(*gestureKind_) == picture_.state.Tool;
}

void Editor::endGesture() {
    gestureKind_.reset();
    sweep_.reset();
    corners_.clear();
    labelAt_.reset();
}

bool Editor::cancelGesture() {
    if (!gestureKind_) return false;
    const bool drewBands = sweep_.has_value() || !corners_.empty();
    endGesture();
    picture_.state.MouseIsDown = 0;
    if (drewBands) drowob(picture_, surface_);
    return true;
}

bool Editor::takeBackCorner() {
    if (!gestureUnderWay() || corners_.empty()) return false;
    corners_.pop_back();
    if (corners_.empty()) return cancelGesture();
    drowob(picture_, surface_);
    const int32_t colour = picture_.state.CurrentColorRGB;
    for (std::size_t i = 1; i < corners_.size(); ++i)
        surface_.Line(corners_[i - 1].first, corners_[i - 1].second, corners_[i].first, corners_[i].second,
                      colour);
    gestureBand(picture_.state.PrevX, picture_.state.PrevY, colour);
    return true;
}

bool Editor::labelTextFits(std::string_view text) {
    return text.size() <= static_cast<std::size_t>(MaxLabelLength) &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= ' ' && c <= '~'; });
}

ReleaseResult Editor::finishLabel(std::string_view text) {
    if (!gestureUnderWay() || !labelAt_) return {};
    if (text.empty()) {
        cancelGesture();
        return {};
    }
    if (!labelTextFits(text)) return {};
    const ShapeTool* tool = toolFor(picture_.state.Tool);
    LabelRecord r = LabelKind::released(picture_.state, labelAt_->first, labelAt_->second);
    r.Length = static_cast<int16_t>(text.size());
    std::copy(text.begin(), text.end(), r.Text.begin());
    return commitGesture(*tool, r, labelAt_->first, labelAt_->second);
}

bool Editor::setStyle(Style style, int16_t value) {
    EditorState& s = picture_.state;
    switch (style) {
        case Style::FillPattern:
            if (value < 0 || value > LastPattern) return false;
            s.FillPattern = value;
            return true;
        case Style::LineStyle:
            if (value < SolidLine || value > LastLineStyle) return false;
            s.LineStyle = value;
            return true;
        case Style::LineWidth:
            if (value != NormalWidth && value != ThickWidth) return false;
            s.LineWidth = value;
            return true;
        case Style::TextSize:
            if (value < 1 || value > LastTextSize) return false;
            s.TextSize = value;
            return true;
        case Style::TextVertical:
            if (value != 0 && value != 1) return false;
            s.TextVertical = value;
            return true;
    }
    return false;
}

ShapeRecord Editor::polygonSoFar() const {
    PolygonRecord r{};
    r.Count = static_cast<int16_t>(corners_.size());
    for (std::size_t i = 0; i < corners_.size(); ++i) {
        r.X[i] = corners_[i].first;
        r.Y[i] = corners_[i].second;
    }
    return r;
}

bool Editor::nearFirstCorner(float x, float y) const {
    const float reach = 4.0f * std::max(surface_.TwipsPerPixelX(), surface_.TwipsPerPixelY());
    return std::abs(x - static_cast<float>(corners_.front().first)) <= reach &&
           std::abs(y - static_cast<float>(corners_.front().second)) <= reach;
}

void Editor::gestureBand(float x, float y, int32_t colour) {
    if (sweep_) {
        ShapeRecord band = *sweep_;
        setEndAngle(band, x, y);
        sweepBand(surface_, band, colour);
    } else if (!corners_.empty()) {
        surface_.Line(corners_.back().first, corners_.back().second, x, y, colour);
    }
}

ReleaseResult Editor::commitGesture(const ShapeTool& tool, const ShapeRecord& record, float x, float y) {
    const CommitResult result = tool.commit(picture_, surface_, record, x, y);
    endGesture();
    if (result == CommitResult::Committed) return {true, std::nullopt};
    // The list is full: the shape is dropped, and the bands with it.
    drowob(picture_, surface_);
    return {false, tool.kind()};
}

void Editor::Form_MouseMove(int, int, float x, float y) {
    surface_.setFillColor(Black);
    surface_.setFillStyle(FillTransparent);
    if (outsideCanvas(x, y)) return;
    if (picture_.state.MouseIsDown != 1) return;
    const ShapeTool* tool = toolFor(picture_.state.Tool);
    if (tool == nullptr) return;
    const EditorState& s = picture_.state;
    if (tool->gesture() != Gesture::Drag) {
        // The band follows the pointer from what the clicks made so far.
        if (gestureUnderWay() && (sweep_ || !corners_.empty())) {
            gestureBand(s.PrevX, s.PrevY, Black);
            gestureBand(x, y, s.CurrentColorRGB);
            picture_.notePreview(x, y);
            return;
        }
        // Before its first release an arc or pie slice drags a rubber circle.
        if (tool->gesture() != Gesture::Sweep) return;
    }
    // Erase the previous band by drawing it again in black, then the new one.
    if (!tool->preview(surface_, s.StartX, s.StartY, s.PrevX, s.PrevY, Black)) return;
    tool->preview(surface_, s.StartX, s.StartY, x, y, s.CurrentColorRGB);
    if (tool->refreshAfterPreview()) surface_.Refresh();
    picture_.notePreview(x, y);
}

ReleaseResult Editor::Form_MouseUp(int, int, float x, float y) {
    surface_.setFillStyle(FillTransparent);
    if (outsideCanvas(x, y)) return {};
    const ShapeTool* tool = toolFor(picture_.state.Tool);
    if (tool == nullptr) return {};
    if (std::exchange(swallowRelease_, false)) return {};
    if (tool->gesture() != Gesture::Drag) {
        if (!gestureUnderWay()) endGesture();
        gestureKind_ = tool->kind();
    }
    const int32_t colour = picture_.state.CurrentColorRGB;
    switch (tool->gesture()) {
        case Gesture::Drag: break;
        case Gesture::Sweep:
            if (sweep_) {
                ShapeRecord record = *sweep_;
                setEndAngle(record, x, y);
                return commitGesture(*tool, record, x, y);
            }
            // Centre and radius are set: the rubber circle goes, and the end
            // angle follows the pointer from here.
            tool->preview(surface_, picture_.state.StartX, picture_.state.StartY, picture_.state.PrevX,
                          picture_.state.PrevY, Black);
            sweep_ = recordAt(*tool, x, y);
            picture_.notePreview(x, y);
            return {};
        case Gesture::Corners: {
            const std::size_t n = corners_.size();
            if (n >= static_cast<std::size_t>(MinPolygonCorners) && nearFirstCorner(x, y))
                return commitGesture(*tool, polygonSoFar(), x, y);
            gestureBand(picture_.state.PrevX, picture_.state.PrevY, Black);
            corners_.emplace_back(toStored(x), toStored(y));
            if (n > 0)
                surface_.Line(corners_[n - 1].first, corners_[n - 1].second, corners_[n].first,
                              corners_[n].second, colour);
            picture_.notePreview(x, y);
            if (corners_.size() == static_cast<std::size_t>(MaxPolygonCorners))
                return commitGesture(*tool, polygonSoFar(), x, y);
            return {};
        }
        case Gesture::Text: labelAt_ = std::pair(x, y); return {};
    }
    if (tool->commit(picture_, surface_, recordAt(*tool, x, y), x, y) == CommitResult::Committed) {
        return {true, std::nullopt};
    }
    // The list is full: nothing was stored. Repaint from the model so the
    // rubber band does not look like a stored shape.
    drowob(picture_, surface_);
    return {false, tool->kind()};
}

bool Editor::Command5_Click() {
    // Mid-gesture, Undo takes back the gesture rather than a stored shape.
    if (gestureUnderWay()) {
        cancelGesture();
        return false;
    }
    const bool dropped = history_.undoDrawing(picture_.state.Tool);
    drowob(picture_, surface_);
    return dropped;
}

bool Editor::redo() {
    if (!history_.redoDrawing(picture_.state.Tool)) return false;
    drowob(picture_, surface_);
    return true;
}

AidPoint Editor::aided(float x, float y, PointerAid aid, bool press) const {
    if (outsideCanvas(x, y)) return {x, y};
    const ShapeTool* tool = toolFor(picture_.state.Tool);
    const EditorState& s = picture_.state;
    // An arc's end and a polygon's next corner are seen from the centre and
    // the last corner; a drag from its press.
    AidFrame frame;
    if (gestureUnderWay() && sweep_) {
        const HandlePoint centre = handlesOf(*sweep_).front();
        frame = {AidPoint{static_cast<float>(centre.x), static_cast<float>(centre.y)}, Keep::Octant, {}};
    } else if (gestureUnderWay() && !corners_.empty()) {
        const auto [cx, cy] = corners_.back();
        frame = {AidPoint{static_cast<float>(cx), static_cast<float>(cy)}, Keep::Octant, {}};
    } else if (tool != nullptr && !press && s.MouseIsDown == 1 && tool->gesture() != Gesture::Corners) {
        frame = {AidPoint{s.StartX, s.StartY}, keepOf(tool->kind()), {}};
    }
    return pasdraw::aided({x, y}, frame, aid);
}

std::optional<ShapeRecord> Editor::pendingRecord(float x, float y) const {
    if (picture_.state.MouseIsDown != 1 || outsideCanvas(x, y)) return std::nullopt;
    const ShapeTool* tool = toolFor(picture_.state.Tool);
    if (tool == nullptr) return std::nullopt;
    switch (tool->gesture()) {
        case Gesture::Drag: break;
        case Gesture::Sweep:
            if (!gestureUnderWay() || !sweep_) break;
            {
                ShapeRecord record = *sweep_;
                setEndAngle(record, x, y);
                return record;
            }
        case Gesture::Corners: {
            if (!gestureUnderWay() || corners_.empty()) return std::nullopt;
            ShapeRecord record = polygonSoFar();
            auto& r = std::get<PolygonRecord>(record);
            if (r.Count < MaxPolygonCorners) {
                r.X[static_cast<std::size_t>(r.Count)] = toStored(x);
                r.Y[static_cast<std::size_t>(r.Count)] = toStored(y);
                ++r.Count;
            }
            return withColour(record);
        }
        case Gesture::Text: return std::nullopt;
    }
    return recordAt(*tool, x, y);
}

std::optional<ShapeRecord> Editor::recordAt(const ShapeTool& tool, float x, float y) const {
    std::optional<ShapeRecord> record = tool.record(picture_, x, y);
    if (record) record = withColour(*record);
    return record;
}

ShapeRecord Editor::withColour(ShapeRecord record) const {
    std::visit(
        [this](auto& r) {
            r.ColorIndex = picture_.state.CurrentColorIndex;
            r.ColorRGB = picture_.state.CurrentColorRGB;
            picture_.withCurrentStyles(r);
        },
        record);
    return record;
}

}  // namespace pasdraw
