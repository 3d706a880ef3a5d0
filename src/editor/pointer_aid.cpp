#include "editor/pointer_aid.h"

#include <algorithm>
#include <cmath>

#include "model/picture.h"

namespace pasdraw {

namespace {

// tan(22.5 degrees): a direction nearer an axis than this is that axis.
constexpr float AxisSlope = 0.41421356f;

float sign(float v) { return v < 0.0f ? -1.0f : 1.0f; }

bool beyondCanvas(AidPoint p) {
    return p.x > static_cast<float>(CanvasWidth) || p.y > static_cast<float>(CanvasHeight);
}

// `length` from the anchor towards (sx, sy), cut back so that it stays left
// of the right edge and above the bottom one: beyond them a release draws
// nothing, which Shift must not bring about.
float keptOnCanvas(float length, AidPoint anchor, float sx, float sy) {
    if (sx > 0.0f) length = std::min(length, static_cast<float>(CanvasWidth) - anchor.x);
    if (sy > 0.0f) length = std::min(length, static_cast<float>(CanvasHeight) - anchor.y);
    return std::max(length, 0.0f);
}

}  // namespace

float snapToGrid(float twips) {
    return std::nearbyint(twips / static_cast<float>(GridStep)) * static_cast<float>(GridStep);
}

Keep keepOf(Kind kind) {
    switch (kind) {
        case Kind::Line:
        case Kind::Polygon: return Keep::Octant;
        case Kind::Rectangle:
        case Kind::Ellipse:
        case Kind::Bar: return Keep::Square;
        case Kind::Circle:
        case Kind::Arc:
        case Kind::PieSlice: return Keep::Radius;
        case Kind::Fill:
        case Kind::Label: return Keep::Nothing;
    }
    return Keep::Nothing;
}

AidPoint aided(AidPoint pointer, const AidFrame& frame, PointerAid aid) {
    if (!aid.grid && !aid.shift) return pointer;
    const auto free = [&](float v, float grip) { return aid.grid ? snapToGrid(v + grip) - grip : v; };
    const AidPoint loose{free(pointer.x, frame.grip.x), free(pointer.y, frame.grip.y)};
    if (!frame.anchor) return loose;
    const AidPoint a = *frame.anchor;
    const float dx = pointer.x - a.x, dy = pointer.y - a.y;
    const float across = std::abs(dx), down = std::abs(dy);
    // The same distance across and down, from the anchor towards the pointer.
    const auto diagonal = [&](float length) {
        if (aid.grid) length = snapToGrid(length);
        length = keptOnCanvas(length, a, dx, dy);
        return AidPoint{a.x + sign(dx) * length, a.y + sign(dy) * length};
    };
    switch (frame.keep) {
        case Keep::Nothing: return loose;
        case Keep::Radius: {
            const float distance = std::hypot(dx, dy);
            if (!aid.grid || distance == 0.0f) return pointer;
            float radius = snapToGrid(distance);
            const auto rim = [&] {
                const float scale = radius / distance;
                return AidPoint{a.x + dx * scale, a.y + dy * scale};
            };
            // Rounded up past an edge, the radius takes the step below.
            if (radius > distance && beyondCanvas(rim())) radius -= static_cast<float>(GridStep);
            return rim();
        }
        case Keep::Axis:
            if (!aid.shift) return loose;
            return across >= down ? AidPoint{loose.x, a.y} : AidPoint{a.x, loose.y};
        case Keep::Octant:
            if (!aid.shift) return loose;
            if (down <= across * AxisSlope) return {loose.x, a.y};
            if (across <= down * AxisSlope) return {a.x, loose.y};
            return diagonal((across + down) / 2.0f);
        case Keep::Square:
            if (!aid.shift) return loose;
            return diagonal(std::max(across, down));
    }
    return loose;
}

}  // namespace pasdraw
