// The picture model: five fixed-size shape lists with 16-bit counters and the
// editor state (tool, colours, mouse drag). Plain data, no Qt, no I/O.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <utility>
#include <variant>

namespace pasdraw {

inline constexpr int CanvasWidth = 6400;   // twips
inline constexpr int CanvasHeight = 4800;  // twips
inline constexpr int MaxShapeIndex = 1000;
inline constexpr int ListCapacity = MaxShapeIndex + 1;  // slots 0..1000

// Shape kinds; the numbers are the tool numbers (0 is "no tool").
enum class Kind : int16_t { Line = 1, Rectangle = 2, Ellipse = 3, Circle = 4, Fill = 5 };

// Fields in their declared order and widths. X1 and X2 come before Y1 and Y2.
struct LineRecord {
    int16_t X1 = 0;
    int16_t X2 = 0;
    int16_t Y1 = 0;
    int16_t Y2 = 0;
    int16_t ColorIndex = 0;
    int32_t ColorRGB = 0;
    friend bool operator==(const LineRecord&, const LineRecord&) = default;
};

// Same layout as a line: two opposite corners as dragged, not sorted.
struct RectangleRecord {
    int16_t X1 = 0;
    int16_t X2 = 0;
    int16_t Y1 = 0;
    int16_t Y2 = 0;
    int16_t ColorIndex = 0;
    int32_t ColorRGB = 0;
    friend bool operator==(const RectangleRecord&, const RectangleRecord&) = default;
};

struct EllipseRecord {
    int16_t X1 = 0;
    int16_t X2 = 0;
    int16_t Y1 = 0;
    int16_t Y2 = 0;
    int16_t ColorIndex = 0;
    int32_t ColorRGB = 0;
    int16_t StartAngle = 0;
    int16_t EndAngle = 0;
    friend bool operator==(const EllipseRecord&, const EllipseRecord&) = default;
};

struct CircleRecord {
    int16_t X = 0;
    int16_t Y = 0;
    int16_t Radius = 0;
    int16_t ColorIndex = 0;
    int32_t ColorRGB = 0;
    friend bool operator==(const CircleRecord&, const CircleRecord&) = default;
};

struct FillRecord {
    int16_t X = 0;
    int16_t Y = 0;
    int16_t ColorIndex = 0;
    int32_t ColorRGB = 0;
    int16_t BorderIndex = 0;
    int32_t BorderRGB = 0;
    friend bool operator==(const FillRecord&, const FillRecord&) = default;
};

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
};

// Any one record, e.g. the one a drag would store if released now.
using ShapeRecord = std::variant<LineRecord, RectangleRecord, EllipseRecord, CircleRecord, FillRecord>;

// One record of the picture: its kind and its slot.
struct ShapeRef {
    Kind kind = Kind::Line;
    int index = 0;
    friend bool operator==(const ShapeRef&, const ShapeRef&) = default;
};

// What a commit did. Refused means the list of that kind already holds 1001
// records: nothing was written and the model is unchanged.
enum class CommitResult { Committed, Refused };

class Picture {
public:
    ShapeList<LineRecord> Lines;
    ShapeList<RectangleRecord> Rectangles;
    ShapeList<EllipseRecord> Ellipses;
    ShapeList<CircleRecord> Circles;
    ShapeList<FillRecord> Fills;
    EditorState state;

    int16_t LineCount() const { return Lines.count(); }
    int16_t RectangleCount() const { return Rectangles.count(); }
    int16_t EllipseCount() const { return Ellipses.count(); }
    int16_t CircleCount() const { return Circles.count(); }
    int16_t FillCount() const { return Fills.count(); }
    int16_t count(Kind kind) const;
    // Records in all five lists together.
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

    // Outline commits: append, clear MouseIsDown, and make the current colour the
    // last outline colour. The record's colour fields are overwritten with the
    // current colour. A refused commit changes nothing at all.
    CommitResult commitLine(LineRecord record);
    CommitResult commitRectangle(RectangleRecord record);
    CommitResult commitEllipse(EllipseRecord record);
    CommitResult commitCircle(CircleRecord record);
    // The fill takes the current colour and the last outline colour as border;
    // LastColor* stay as they are.
    CommitResult commitFill(int16_t x, int16_t y);

    // Takes the five lists and the last outline colour of another picture;
    // the tool, the current colour and the drag state stay.
    void replaceShapes(const Picture& other) {
        Lines = other.Lines;
        Rectangles = other.Rectangles;
        Ellipses = other.Ellipses;
        Circles = other.Circles;
        Fills = other.Fills;
        state.LastColorIndex = other.state.LastColorIndex;
        state.LastColorRGB = other.state.LastColorRGB;
        state.MouseIsDown = 0;
    }

    // Calls f with the list of one kind, so per-kind operations need no switch.
    template <class F>
    decltype(auto) withList(Kind kind, F&& f) {
        switch (kind) {
            case Kind::Line: return f(Lines);
            case Kind::Rectangle: return f(Rectangles);
            case Kind::Ellipse: return f(Ellipses);
            case Kind::Circle: return f(Circles);
            case Kind::Fill: break;
        }
        return f(Fills);
    }
    template <class F>
    decltype(auto) withList(Kind kind, F&& f) const {
        return const_cast<Picture*>(this)->withList(
            kind, [&f](const auto& list) -> decltype(auto) { return f(list); });
    }

    // The list of a kind known at compile time.
    template <Kind K>
    const auto& list() const {
        if constexpr (K == Kind::Line)
            return Lines;
        else if constexpr (K == Kind::Rectangle)
            return Rectangles;
        else if constexpr (K == Kind::Ellipse)
            return Ellipses;
        else if constexpr (K == Kind::Circle)
            return Circles;
        else
            return Fills;
    }

    // Calls f(kind, list) for the five lists in the order of Kinds below, the
    // order every reader walks them. Each call gets the list with its own
    // record type, so what differs between kinds is an overload on the record
    // rather than a loop of its own per list.
    template <class F>
    void forEachList(F&& f) const;

private:
    template <class Record>
    CommitResult commitOutline(ShapeList<Record>& list, Record record);
};

// The kinds in the order every reader walks them, with their names as the
// user reads them.
struct KindInfo {
    Kind kind;
    const char* name;    // "line"
    const char* plural;  // "lines"
};
inline constexpr std::array<KindInfo, 5> Kinds{{
    {Kind::Line, "line", "lines"},
    {Kind::Rectangle, "rectangle", "rectangles"},
    {Kind::Ellipse, "ellipse", "ellipses"},
    {Kind::Circle, "circle", "circles"},
    {Kind::Fill, "fill", "fills"},
}};

template <class F>
void Picture::forEachList(F&& f) const {
    [&]<std::size_t... I>(std::index_sequence<I...>) { (f(Kinds[I].kind, list<Kinds[I].kind>()), ...); }
    (std::make_index_sequence<Kinds.size()>{});
}

bool isKind(int16_t tool);
const KindInfo& kindInfo(Kind kind);
inline const char* kindName(Kind kind) { return kindInfo(kind).name; }
inline const char* kindPlural(Kind kind) { return kindInfo(kind).plural; }

}  // namespace pasdraw
