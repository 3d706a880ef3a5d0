#include "editor/history.h"

#include "editor/selection.h"

namespace pasdraw {

bool History::undoDrawing(int16_t tool) {
    if (!isKind(tool)) return false;
    return picture_.withList(static_cast<Kind>(tool), [](auto& list) { return list.dropLast(); });
}

bool History::redoDrawing(int16_t tool) {
    if (!isKind(tool)) return false;
    return picture_.withList(static_cast<Kind>(tool), [](auto& list) { return list.restoreDropped(); });
}

void History::edited(Edit edit) {
    edits_.push_back(std::move(edit));
    if (edits_.size() > KeptEdits) edits_.pop_front();
    undone_.clear();
}

void History::forget() {
    edits_.clear();
    undone_.clear();
}

bool History::apply(const Edit& edit, bool forward) {
    const ShapeRef ref = edit.ref;
    const int count = picture_.count(ref.kind);
    const std::optional<ShapeRecord>& from = forward ? std::optional(edit.before) : edit.after;
    const std::optional<ShapeRecord>& to = forward ? edit.after : std::optional(edit.before);
    if (from) {
        if (ref.index >= count || recordOf(picture_, ref) != *from) return false;
        if (to) return storeRecord(picture_, ref, *to);
        return picture_.withList(ref.kind, [&](auto& list) { return list.removeAt(ref.index); });
    }
    // Putting a removed record back in its slot.
    if (ref.index > count) return false;
    return picture_.withList(ref.kind, [&](auto& list) {
        using Record = typename std::decay_t<decltype(list)>::value_type;
        return list.insertAt(ref.index, std::get<Record>(*to));
    });
}

EditStep History::walkEdits(bool forward) {
    std::deque<Edit>& from = forward ? undone_ : edits_;
    std::deque<Edit>& to = forward ? edits_ : undone_;
    if (from.empty()) return {};
    const Edit edit = from.back();
    EditStep step;
    step.ref = edit.ref;
    if (!apply(edit, forward)) {
        const bool full = !forward && !edit.after &&
                          picture_.withList(edit.ref.kind, [](const auto& list) { return list.full(); });
        if (full) {
            step.outcome = EditStep::Outcome::NoRoom;
            return step;
        }
        step.outcome = EditStep::Outcome::Forgot;
        step.forgotten = edits_.size() + undone_.size();
        forget();
        return step;
    }
    from.pop_back();
    to.push_back(edit);
    step.outcome = EditStep::Outcome::Done;
    step.present = forward ? edit.after.has_value() : true;
    return step;
}

}  // namespace pasdraw
