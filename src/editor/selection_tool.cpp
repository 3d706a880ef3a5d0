#include "editor/selection_tool.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <variant>
#include <vector>

#include "canvas/repaint.h"
#include "editor/editor.h"
#include "editor/selection.h"
#include "kinds/kinds.h"
#include "model/numeric.h"

namespace pasdraw {

namespace {

// The point of a record that a move puts on the grid: its first origin
// point (a circle's centre, a box's first corner).
HandlePoint firstPointOf(const ShapeRecord& record) {
    HandlePoint first;
    bool taken = false;
    std::visit(
        [&](const auto& r) {
            KindFor<std::decay_t<decltype(r)>>::originPoints(r, [&](int16_t x, int16_t y) {
                if (!std::exchange(taken, true)) first = {x, y};
            });
        },
        record);
    return first;
}

}  // namespace

bool SelectionTool::pick(std::optional<ShapeRef> ref, bool forgetPress) {
    if (forgetPress) lastPick_.reset();
    if (ref == selection_) return false;
    selection_ = ref;
    return true;
}

void SelectionTool::reset() {
    selection_.reset();
    drag_.reset();
    lastPick_.reset();
}

SelectStep SelectionTool::press(float x, float y) {
    if (Editor::outsideCanvas(x, y)) return {};
    const float tolerance = tolerance_;
    const auto near = [tolerance](float ax, float ay, float bx, float by) {
        return std::abs(ax - bx) <= tolerance && std::abs(ay - by) <= tolerance;
    };
    if (selection_) {
        const ShapeRecord record = recordOf(picture_, *selection_);
        const std::vector<HandlePoint> handles = handlesOf(record);
        for (std::size_t h = 0; h < handles.size(); ++h) {
            if (!near(x, y, static_cast<float>(handles[h].x), static_cast<float>(handles[h].y))) continue;
            drag_ = Drag{*selection_, record, x, y, static_cast<int>(h), true};
            return {true, false, false};
        }
    }
    const std::vector<ShapeRef> hits = shapesAt(picture_, x, y, tolerance);
    std::optional<ShapeRef> picked;
    if (!hits.empty()) {
        picked = hits.front();
        // The picked shape stays picked under a press, so it can be dragged;
        // a press at the very place of the last one goes on to the next below.
        const auto at = selection_ ? std::find(hits.begin(), hits.end(), *selection_) : hits.end();
        if (at != hits.end()) {
            const bool again = lastPick_ && near(x, y, lastPick_->first, lastPick_->second);
            picked = again ? hits[static_cast<std::size_t>(at - hits.begin() + 1) % hits.size()] : *at;
        }
    }
    lastPick_ = picked ? std::optional(std::pair(x, y)) : std::nullopt;
    const bool changed = pick(picked, false);
    if (picked) drag_ = Drag{*picked, recordOf(picture_, *picked), x, y, -1, false};
    return {true, changed, false};
}

SelectStep SelectionTool::drag(float x, float y, PointerAid aid) {
    Drag& drag = *drag_;
    if (!drag.moving && std::abs(x - drag.x) <= tolerance_ && std::abs(y - drag.y) <= tolerance_) {
        return {true, false, false};
    }
    drag.moving = true;
    if (aid.grid || aid.shift) {
        // Measured from the press in whole twips, so that the grip lands
        // exactly where the grid says.
        const AidPoint press{static_cast<float>(toStored(drag.x)), static_cast<float>(toStored(drag.y))};
        const HandlePoint grip = drag.handle < 0
                                     ? firstPointOf(drag.before)
                                     : handlesOf(drag.before)[static_cast<std::size_t>(drag.handle)];
        const AidFrame frame{press,
                             drag.handle < 0 ? Keep::Axis : Keep::Nothing,
                             {static_cast<float>(grip.x) - press.x, static_cast<float>(grip.y) - press.y}};
        const AidPoint at = aided({x, y}, frame, aid);
        x = at.x;
        y = at.y;
    }
    const int dx = toStored(x) - toStored(drag.x), dy = toStored(y) - toStored(drag.y);
    const ShapeRecord record =
        drag.handle < 0 ? movedBy(drag.before, dx, dy) : handleMovedBy(drag.before, drag.handle, dx, dy);
    if (record == recordOf(picture_, drag.ref)) return {true, false, false};
    storeRecord(picture_, drag.ref, record);
    drowob(picture_, surface_);
    return {true, true, false};
}

SelectStep SelectionTool::release() {
    const Drag drag = *drag_;
    drag_.reset();
    const ShapeRecord now = recordOf(picture_, drag.ref);
    if (now == drag.before) return {true, false, false};
    return edited({drag.ref, drag.before, now});
}

SelectStep SelectionTool::edited(Edit edit) {
    history_.edited(std::move(edit));
    lastPick_.reset();  // the next press picks afresh
    drowob(picture_, surface_);
    return {true, true, true};
}

SelectStep SelectionTool::change(const ShapeRecord& record) {
    const ShapeRef ref = *selection_;
    const ShapeRecord before = recordOf(picture_, ref);
    if (record == before || !storeRecord(picture_, ref, record)) return {};
    return edited({ref, before, record});
}

SelectStep SelectionTool::nudge(int dx, int dy) {
    if (!selection_ || drag_) return {};
    return change(movedBy(recordOf(picture_, *selection_), dx, dy));
}

SelectStep SelectionTool::recolour(int16_t index, int32_t rgb, bool border) {
    if (!selection_ || drag_) return {};
    return change(recoloured(recordOf(picture_, *selection_), index, rgb, border));
}

SelectStep SelectionTool::restyle(Style style, int16_t value) {
    if (!selection_ || drag_) return {};
    return change(restyled(recordOf(picture_, *selection_), style, value));
}

SelectStep SelectionTool::remove() {
    if (!selection_ || drag_) return {};
    const ShapeRef ref = *selection_;
    const ShapeRecord before = recordOf(picture_, ref);
    picture_.withList(ref.kind, [&](auto& list) { list.removeAt(ref.index); });
    selection_.reset();
    return edited({ref, before, std::nullopt});
}

}  // namespace pasdraw
