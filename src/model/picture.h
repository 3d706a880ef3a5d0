// The picture model: one fixed-size shape list per kind with 16-bit counters and the
// editor state (tool, colours, mouse drag). Plain data, no Qt, no I/O.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <utility>
#include <variant>

#include "model/kinds.h"

namespace pasdraw {

inline constexpr int CanvasWidth = 6400;   // twips
inline constexpr int CanvasHeight = 4800;  // twips
inline constexpr int MaxShapeIndex = 1000;
inline constexpr int ListCapacity = MaxShapeIndex + 1;  // slots 0..1000

// A fixed array of 1001 slots and the counter of the records in use. The counter
// is also the slot the next record goes to. Slots at or above the counter may
// still hold records that undo dropped; records() never shows them.
template <class Record>
class ShapeList {
public:
    using value_type = Record;

    int16_t count() const { return count_; }
    bool full() const { return count_ >= ListCapacity; }
    std::span<const Record> records() const { return {slots_.data(), static_cast<std::size_t>(count_)}; }
    const Record& operator[](int i) const { return slots_.at(static_cast<std::size_t>(i)); }

    // Writes into slot count() and raises the counter. A full list refuses:
    // nothing is written and false is returned. A new record ends what redo
    // could bring back.
    bool append(const Record& record) {
        if (full()) return false;
        slots_[static_cast<std::size_t>(count_)] = record;
        ++count_;
        redoable_ = 0;
        return true;
    }

    // Drops the newest record; an empty list stays empty. The record stays in
    // its slot, so redo can bring it back.
    bool dropLast() {
        if (count_ <= 0) return false;
        --count_;
        ++redoable_;
        return true;
    }

    // Brings back the newest record dropLast dropped, as long as nothing was
    // appended since.
    bool restoreDropped() {
        if (redoable_ <= 0) return false;
        ++count_;
        --redoable_;
        return true;
    }
    int16_t redoable() const { return redoable_; }

    // Edits of a record in place, for changing what was drawn. Each ends
    // what redo could bring back, as a new record does: the dropped records
    // above the counter no longer follow on from what the list holds.
    // Replaces record i (0 <= i < count()); false when there is none.
    bool replace(int i, const Record& record) {
        if (i < 0 || i >= count_) return false;
        slots_[static_cast<std::size_t>(i)] = record;
        redoable_ = 0;
        return true;
    }
    // Removes record i; the later records move down one slot, in order.
    bool removeAt(int i) {
        if (i < 0 || i >= count_) return false;
        const auto at = slots_.begin() + i;
        std::copy(at + 1, slots_.begin() + count_, at);
        --count_;
        redoable_ = 0;
        return true;
    }
    // Puts a record in at slot i (0 <= i <= count()), the later ones moving
    // up one slot; a full list refuses.
    bool insertAt(int i, const Record& record) {
        if (i < 0 || i > count_ || full()) return false;
        const auto at = slots_.begin() + i;
        std::copy_backward(at, slots_.begin() + count_, slots_.begin() + count_ + 1);
        *at = record;
        ++count_;
        redoable_ = 0;
        return true;
    }

    // The raw slot, including dropped ones (tests look at what undo leaves behind).
    const Record& slot(int i) const { return slots_.at(static_cast<std::size_t>(i)); }

private:
    std::array<Record, ListCapacity> slots_{};
    int16_t count_ = 0;
    int16_t redoable_ = 0;  // dropped records above count_ that redo may restore
};

struct EditorState {
    int16_t Tool = 0;  // 0 none, else a Kind
    int16_t CurrentColorIndex = 0;
    int32_t CurrentColorRGB = 0;
    int16_t LastColorIndex = 0;  // colour of the newest committed outline shape
    int32_t LastColorRGB = 0;
    int16_t MouseIsDown = 0;
    float StartX = 0, StartY = 0;  // last press inside the canvas
    float PrevX = 0, PrevY = 0;    // pointer at the last preview
    // The styles new shapes are drawn in; each kind takes those it has.
    int16_t FillPattern = SolidPattern;
    int16_t LineStyle = SolidLine;
    int16_t LineWidth = NormalWidth;
    int16_t TextSize = 1;
    int16_t TextVertical = 0;
};

namespace detail {
template <class First, class... Records>
struct VariantOfRest {
    using type = std::variant<Records...>;
};
}  // namespace detail

// Any one record, e.g. the one a drag would store if released now.
#define PASDRAW_KIND_ALTERNATIVE(Id, Record, list, role, name, plural, caption) , Record
using ShapeRecord = detail::VariantOfRest<void PASDRAW_KINDS(PASDRAW_KIND_ALTERNATIVE)>::type;
#undef PASDRAW_KIND_ALTERNATIVE

// What a commit did. Refused means the list of that kind already holds 1001
// records: nothing was written and the model is unchanged.
enum class CommitResult { Committed, Refused };

class Picture {
public:
#define PASDRAW_KIND_LIST(Id, Record, list, role, name, plural, caption) ShapeList<Record> list;
    PASDRAW_KINDS(PASDRAW_KIND_LIST)
#undef PASDRAW_KIND_LIST
    EditorState state;

    // LineCount() and the others: the counter of each list.
#define PASDRAW_KIND_COUNT(Id, Record, list, role, name, plural, caption) \
    int16_t Id##Count() const { return list.count(); }
    PASDRAW_KINDS(PASDRAW_KIND_COUNT)
#undef PASDRAW_KIND_COUNT
    int16_t count(Kind kind) const;
    // Records in all the lists together.
    int recordCount() const;
    bool empty() const;

    void selectTool(int16_t tool) { state.Tool = tool; }
    void selectColour(int16_t index, int32_t rgb) {
        state.CurrentColorIndex = index;
        state.CurrentColorRGB = rgb;
    }
    void beginDrag(float x, float y) {
        state.MouseIsDown = 1;
        state.StartX = x;
        state.StartY = y;
    }
    void notePreview(float x, float y) {
        state.PrevX = x;
        state.PrevY = y;
    }

    // Gives a record the current styles among those its kind has.
    template <class Record>
    void withCurrentStyles(Record& record) const {
        if constexpr (requires { record.Pattern; }) record.Pattern = state.FillPattern;
        if constexpr (requires { record.LineStyle; }) record.LineStyle = state.LineStyle;
        if constexpr (requires { record.LineWidth; }) record.LineWidth = state.LineWidth;
        if constexpr (requires { record.TextSize; }) record.TextSize = state.TextSize;
        if constexpr (requires { record.Vertical; }) record.Vertical = state.TextVertical;
    }

    // Stores a record of any kind. Its colour and style fields are
    // overwritten with the current colour and styles. An outline makes the current colour the last outline
    // colour; a fill takes the last outline colour as its border and leaves
    // LastColor* as they are. Either clears MouseIsDown; a refused commit
    // changes nothing at all.
    template <class Record>
    CommitResult commit(Record record);
    // commitLine, commitCircle and the others, one per kind, taking its record.
#define PASDRAW_KIND_COMMIT(Id, Record, list, role, name, plural, caption) \
    CommitResult commit##Id(const Record& record) { return commit(record); }
    PASDRAW_KINDS(PASDRAW_KIND_COMMIT)
#undef PASDRAW_KIND_COMMIT
    // The fill tool's click: a fill seeded at (x, y).
    CommitResult commitFill(int16_t x, int16_t y);

    // Takes the lists and the last outline colour of another picture;
    // the tool, the current colour and the drag state stay.
    void replaceShapes(const Picture& other) {
#define PASDRAW_KIND_COPY(Id, Record, list, role, name, plural, caption) list = other.list;
        PASDRAW_KINDS(PASDRAW_KIND_COPY)
#undef PASDRAW_KIND_COPY
        state.LastColorIndex = other.state.LastColorIndex;
        state.LastColorRGB = other.state.LastColorRGB;
        state.MouseIsDown = 0;
    }

    // Calls f with the list of one kind, so per-kind operations need no switch.
    template <class F>
    decltype(auto) withList(Kind kind, F&& f) {
        switch (kind) {
#define PASDRAW_KIND_CASE(Id, Record, list, role, name, plural, caption) \
    case Kind::Id: return f(list);
            PASDRAW_KINDS(PASDRAW_KIND_CASE)
#undef PASDRAW_KIND_CASE
        }
        return f(this->list<Kinds.back().kind>());  // unreachable for a valid Kind
    }
    template <class F>
    decltype(auto) withList(Kind kind, F&& f) const {
        return const_cast<Picture*>(this)->withList(
            kind, [&f](const auto& list) -> decltype(auto) { return f(list); });
    }

    // The list of a kind known at compile time.
    template <Kind K>
    ShapeList<RecordOfKind<K>>& list() {
        return this->*listMember<K>();
    }
    template <Kind K>
    const ShapeList<RecordOfKind<K>>& list() const {
        return this->*listMember<K>();
    }

    // Calls f(kind, list) for the lists in the order of Kinds, the
    // order every reader walks them. Each call gets the list with its own
    // record type, so what differs between kinds is an overload on the record
    // rather than a loop of its own per list.
    template <class F>
    void forEachList(F&& f) const;
    template <class F>
    void forEachList(F&& f);

private:
    template <Kind K>
    static constexpr ShapeList<RecordOfKind<K>> Picture::*listMember() {
#define PASDRAW_KIND_MEMBER(Id, Record, list, role, name, plural, caption) \
    if constexpr (K == Kind::Id) return &Picture::list;
        PASDRAW_KINDS(PASDRAW_KIND_MEMBER)
#undef PASDRAW_KIND_MEMBER
    }
};

template <class Record>
CommitResult Picture::commit(Record record) {
    record = asCommitted(record);
    record.ColorIndex = state.CurrentColorIndex;
    record.ColorRGB = state.CurrentColorRGB;
    withCurrentStyles(record);
    if constexpr (roleOfRecord<Record> == KindRole::Flood) {
        record.BorderIndex = state.LastColorIndex;
        record.BorderRGB = state.LastColorRGB;
    }
    if (!list<kindOfRecord<Record>>().append(record)) return CommitResult::Refused;
    state.MouseIsDown = 0;
    if constexpr (roleOfRecord<Record> == KindRole::Outline) {
        state.LastColorIndex = state.CurrentColorIndex;
        state.LastColorRGB = state.CurrentColorRGB;
    }
    return CommitResult::Committed;
}

template <class F>
void Picture::forEachList(F&& f) const {
    [&]<std::size_t... I>(std::index_sequence<I...>) { (f(Kinds[I].kind, list<Kinds[I].kind>()), ...); }
    (std::make_index_sequence<Kinds.size()>{});
}
template <class F>
void Picture::forEachList(F&& f) {
    [&]<std::size_t... I>(std::index_sequence<I...>) { (f(Kinds[I].kind, list<Kinds[I].kind>()), ...); }
    (std::make_index_sequence<Kinds.size()>{});
}

bool isKind(int16_t tool);

}  // namespace pasdraw
