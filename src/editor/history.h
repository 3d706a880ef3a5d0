// The picture's one history: every step that undo and redo can walk, for
// every tool. The rules the user sees are two ways of walking it:
//
// - With a drawing tool, Undo drops the newest record of that tool's kind
//   and Redo brings it back, until a record of that kind is stored or edited.
//   The dropped records stay in their list's slots above the counter, so a
//   drawing undo costs nothing to keep.
// - With Select, Undo and Redo walk the edits of picked shapes (a move, a
//   handle drag, a new colour, a removal), one edit a step.
//
// Where the two meet: a drawing tool's undo, redo or new record changes a
// kind's list at its end only, so the edits stay as they are. An edit is
// undone only when its shape is still as the edit left it (or, for a
// removal, its slot can take it back). When it is not, because a drawing
// tool dropped or redrew that shape since, that edit and every older one no
// longer describe the picture: the history forgets them and says how many
// it forgot, so the user is told rather than finding Undo doing nothing.
// The same holds for Redo and the edits it would redo. An edit in turn ends
// the drawing redo of its kind, as a stored record does.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>

#include "model/picture.h"

namespace pasdraw {

// One edit of a picked shape: the record before and after it; no after for
// a removal.
struct Edit {
    ShapeRef ref;
    ShapeRecord before;
    std::optional<ShapeRecord> after;
};

// What walking the edits did.
struct EditStep {
    enum class Outcome {
        Nothing,  // no edit to walk, and none was forgotten
        Done,     // the edit was undone or redone
        NoRoom,   // a removed shape cannot go back: its list is full
        Forgot,   // the edit no longer fits the picture: forgotten, with the older ones
    };
    Outcome outcome = Outcome::Nothing;
    ShapeRef ref;               // the edit's shape
    bool present = false;       // Done: the shape is in the picture afterwards
    std::size_t forgotten = 0;  // Forgot: how many edits went
};

class History {
public:
    explicit History(Picture& picture) : picture_(picture) {}

    // A drawing tool's Undo and Redo: the newest record of the tool's kind
    // dropped or brought back; with Tool 0 (or Select) nothing. Each returns
    // whether a record was.
    bool undoDrawing(int16_t tool);
    bool redoDrawing(int16_t tool);

    // An edit already made to the picture. It ends what Redo could redo.
    void edited(Edit edit);
    // Select's Undo (forward false) and Redo (forward true).
    EditStep walkEdits(bool forward);
    // Other work was taken: no step of the old one can be walked.
    void forget();

    std::size_t edits() const { return edits_.size(); }
    std::size_t undoneEdits() const { return undone_.size(); }

    // Edits kept for undo; older ones go.
    static constexpr std::size_t KeptEdits = 10000;

private:
    // Makes the picture as one side of an edit says; false when the record
    // is not as the other side left it.
    bool apply(const Edit& edit, bool forward);

    Picture& picture_;
    std::deque<Edit> edits_;
    std::deque<Edit> undone_;
};

}  // namespace pasdraw
