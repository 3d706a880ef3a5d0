// The Select tool: a press picks the shape under the pointer (again at the
// same place, the next one under it) and a drag moves it or the handle
// pressed; keys nudge, recolour or remove it. Every change is one edit on the
// picture's history, and the canvas is repainted from the model after it.
#pragma once

#include <optional>
#include <utility>

#include "canvas/surface.h"
#include "editor/editor.h"
#include "editor/history.h"
#include "editor/pointer_aid.h"
#include "model/picture.h"

namespace pasdraw {

// What one step of the tool did; nothing of it when the step did nothing.
struct SelectStep {
    bool handled = false;  // the pointer or the pick changed in some way
    bool picked = false;   // the picked shape, or where it is while it moves
    bool edited = false;   // an edit was recorded in the history
};

class SelectionTool {
public:
    SelectionTool(Picture& picture, Surface& surface, History& history)
        : picture_(picture), surface_(surface), history_(history) {}

    // How near a press must come to what is drawn, in twips.
    void setTolerance(float twips) { tolerance_ = twips; }
    float tolerance() const { return tolerance_; }

    SelectStep press(float x, float y);
    // While a press holds a shape or a handle: moves it with the pointer.
    // With the grid, the handle (or the shape's first point) lands on it;
    // with Shift, a shape moves along one axis only.
    SelectStep drag(float x, float y, PointerAid aid = {});
    // Ends the drag; a shape that moved is one edit.
    SelectStep release();
    bool dragging() const { return drag_.has_value(); }
    // Past the few pixels a click may wobble: the shape is being moved.
    bool moving() const { return drag_ && drag_->moving; }

    SelectStep nudge(int dx, int dy);  // twips
    SelectStep recolour(int16_t index, int32_t rgb, bool border);
    SelectStep remove();
    // The picked shape in another style, where its kind has it.
    SelectStep restyle(Style style, int16_t value);

    const std::optional<ShapeRef>& selection() const { return selection_; }
    // Picks a shape, or none; true when the pick changed. forgetPress makes
    // the next press pick afresh rather than go on to the shape below.
    bool pick(std::optional<ShapeRef> ref, bool forgetPress);
    // Other work or another tool: no pick, no drag.
    void reset();

private:
    // The record a press picked or whose handle it took, as it was.
    struct Drag {
        ShapeRef ref;
        ShapeRecord before;
        float x, y;   // the press
        int handle;   // -1: the whole shape
        bool moving;  // past the few pixels a click may wobble
    };
    // Changes the picked record as an edit; nothing when it stays as it is.
    SelectStep change(const ShapeRecord& record);
    // Records an edit already made to the picture, and repaints.
    SelectStep edited(Edit edit);

    Picture& picture_;
    Surface& surface_;
    History& history_;
    float tolerance_ = 45.0f;
    std::optional<ShapeRef> selection_;
    std::optional<Drag> drag_;
    std::optional<std::pair<float, float>> lastPick_;  // where a press at the same place cycles
};

}  // namespace pasdraw
