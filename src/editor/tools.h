// What each kind of shape does with a drag: its rubber band, and its commit.
// The mouse handlers look the current tool up here instead of switching on it.
#pragma once

#include <cstdint>
#include <optional>

#include "canvas/surface.h"
#include "model/picture.h"

namespace pasdraw {

// How a tool's shape is made with the mouse.
enum class Gesture {
    Drag,     // one drag from press to release
    Sweep,    // a drag sets centre, radius and start angle; a click fixes the end angle
    Corners,  // a click per corner, closed on the first corner or by a double-click
    Text,     // a click sets the anchor, the window asks for the text
};

class ShapeTool {
public:
    virtual ~ShapeTool() = default;
    virtual Kind kind() const = 0;
    virtual Gesture gesture() const { return Gesture::Drag; }
    // Draws the preview of a drag from the press point to (x, y) in `colour`;
    // drawing it again in black erases it. Returns false for tools without one.
    virtual bool preview(Surface& surface, float startX, float startY, float x, float y,
                         int32_t colour) const = 0;
    // Previews drawn through the device context show only at a Refresh.
    virtual bool refreshAfterPreview() const { return false; }
    // The record a release at (x, y) stores, before its colour is set; none
    // for the fill, which is a click rather than a drag.
    virtual std::optional<ShapeRecord> record(const Picture& picture, float x, float y) const = 0;
    // Stores the shape for a release at (x, y), whose record() is given, and
    // shows it on the canvas. A refused commit (full list) leaves model and
    // canvas alone.
    virtual CommitResult commit(Picture& picture, Surface& surface, const std::optional<ShapeRecord>& record,
                                float x, float y) const = 0;
};

// The tool for a `Tool` value, or nullptr for 0 (no tool) and anything unknown.
const ShapeTool* toolFor(int16_t tool);

}  // namespace pasdraw
