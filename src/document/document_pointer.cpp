// The document's side of the pointer and the keys that act on a shape under
// way: presses, moves and releases with the grid's and Shift's aids, the
// steps of the shapes made in several clicks, the label's text, and a style
// chosen for the picked shape.
#include "document/document.h"
#include "document/sentences.h"

namespace pasdraw {

void Document::pointerPress(int button, int shift, float x, float y) {
    if (selecting_) {
        selected(select_.press(x, y));
        return;
    }
    const AidPoint at = editor_.aided(x, y, aid(shift), true);
    editor_.Form_MouseDown(button, shift, at.x, at.y);
    notify(0);
}

void Document::pointerMove(int button, int shift, float pointerX, float pointerY) {
    const auto [x, y] = editor_.aided(pointerX, pointerY, aid(shift), false);
    editor_.Form_MouseMove(button, shift, x, y);
    const bool over = !Editor::outsideCanvas(x, y) && x >= 0.0f && y >= 0.0f;
    pointer_ = over ? std::optional(std::pair(x, y)) : std::nullopt;
    pending_ = editor_.pendingRecord(x, y);
    if (select_.dragging()) {
        selected(select_.drag(pointerX, pointerY, aid(shift)));
        return;
    }
    notify(PointerChanged);
}

void Document::pointerRelease(int button, int shift, float x, float y) {
    if (select_.dragging()) {
        selected(select_.release());
        return;
    }
    const AidPoint at = editor_.aided(x, y, aid(shift), false);
    released(editor_.Form_MouseUp(button, shift, at.x, at.y));
}

void Document::released(const ReleaseResult& result) {
    pending_.reset();
    Changes changes = PointerChanged;
    if (result.refused) {
        const Kind kind = *result.refused;
        fullKind_ = kind;
        capacityNote_ = fullListNote(kind);
        changes |= CapacityChanged;
    } else if (result.committed) {
        changes |= clearCapacityNote() | shapesChanged();
    }
    notify(changes);
}

void Document::pointerDoubleClick(int button, int shift, float x, float y) {
    if (selecting_) {
        selected(select_.press(x, y));
        return;
    }
    const AidPoint at = editor_.aided(x, y, aid(shift), true);
    released(editor_.Form_DblClick(button, shift, at.x, at.y));
}

bool Document::cancelGesture() {
    if (!editor_.cancelGesture()) return false;
    pending_.reset();
    notify(PointerChanged);
    return true;
}

bool Document::takeBackCorner() {
    if (!editor_.takeBackCorner()) return false;
    if (const auto& p = pointer_) pending_ = editor_.pendingRecord(p->first, p->second);
    notify(PointerChanged);
    return true;
}

std::optional<std::pair<float, float>> Document::labelAnchor() const {
    return editor_.gestureUnderWay() ? editor_.labelAnchor() : std::nullopt;
}

bool Document::finishLabel(std::string_view text) {
    if (!text.empty() && !Editor::labelTextFits(text)) return false;
    released(editor_.finishLabel(text));
    return true;
}

void Document::selectStyle(Style style, int16_t value) {
    if (!editor_.setStyle(style, value)) return;
    notify(ToolChanged);
    selected(select_.restyle(style, value));
}

void Document::pointerLeft() {
    pointer_.reset();
    notify(PointerChanged);
}

}  // namespace pasdraw
