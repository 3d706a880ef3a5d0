// The kinds of shape a picture holds, one row each, and their records. Every
// walk over the picture is made from these rows: the picture's lists, the
// tool numbers, the kind names, the order in which the canvas paints, the
// text lists them and recovery writes them. What a kind does (its paint, its
// statement, its picking, its handles, its mouse tool) lives in its own file
// under kinds/.
//
// A row is X(Id, Record, list, role, "name", "plural", "Caption"):
// - Id names the kind in C++: its Kind enumerator, and IdKind its behaviour
//   in kinds/.
// - Record is the record type, list the Picture member that holds them.
// - role says how the kind takes its colours (KindRole below).
// - name and plural are what the user reads; Caption is its tool button's.
// The row's place is its tool number (from 1) and its place in every walk:
// fills come last so that every outline is drawn before they flood.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pasdraw {

#define PASDRAW_KINDS(X)                                                                       \
    X(Line, LineRecord, Lines, Outline, "line", "lines", "Line")                               \
    X(Rectangle, RectangleRecord, Rectangles, Outline, "rectangle", "rectangles", "Rectangle") \
    X(Ellipse, EllipseRecord, Ellipses, Outline, "ellipse", "ellipses", "Ellipse")             \
    X(Circle, CircleRecord, Circles, Outline, "circle", "circles", "Circle")                   \
    X(Fill, FillRecord, Fills, Flood, "fill", "fills", "Fill")

// How a kind takes its colours when it is drawn.
enum class KindRole {
    Outline,  // in the current colour, which becomes the last outline colour
    Flood,    // floods in the current colour up to the last outline colour
};

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

// What the model makes of a record it stores, beyond its colours: the
// ellipse tool always draws the whole outline, so a drawn ellipse runs from 0
// to 360 degrees whatever the record said.
template <class Record>
constexpr Record asCommitted(Record record) {
    return record;
}
template <>
constexpr EllipseRecord asCommitted(EllipseRecord record) {
    record.StartAngle = 0;
    record.EndAngle = 360;
    return record;
}

namespace kind_rows {
enum Row : int16_t {
#define PASDRAW_KIND_ROW(Id, Record, list, role, name, plural, caption) Id,
    PASDRAW_KINDS(PASDRAW_KIND_ROW)
#undef PASDRAW_KIND_ROW
        Count
};
}  // namespace kind_rows

inline constexpr std::size_t KindCount = kind_rows::Count;

// Shape kinds; the numbers are the tool numbers (0 is "no tool").
enum class Kind : int16_t {
#define PASDRAW_KIND_ENUMERATOR(Id, Record, list, role, name, plural, caption) Id = kind_rows::Id + 1,
    PASDRAW_KINDS(PASDRAW_KIND_ENUMERATOR)
#undef PASDRAW_KIND_ENUMERATOR
};

// The kinds in the order every reader walks them, with their names as the
// user reads them.
struct KindInfo {
    Kind kind;
    const char* name;     // "line"
    const char* plural;   // "lines"
    const char* caption;  // "Line", on its tool button
    KindRole role;
};
inline constexpr std::array<KindInfo, KindCount> Kinds{{
#define PASDRAW_KIND_INFO(Id, Record, list, role, name, plural, caption) \
    {Kind::Id, name, plural, caption, KindRole::role},
    PASDRAW_KINDS(PASDRAW_KIND_INFO)
#undef PASDRAW_KIND_INFO
}};

constexpr const KindInfo& kindInfo(Kind kind) {
    for (const KindInfo& info : Kinds) {
        if (info.kind == kind) return info;
    }
    return Kinds.back();  // unreachable for a valid Kind
}
constexpr const char* kindName(Kind kind) { return kindInfo(kind).name; }
constexpr const char* kindPlural(Kind kind) { return kindInfo(kind).plural; }

// The record type of a kind, and the kind of a record type.
template <Kind K>
struct KindRecord;
template <class Record>
struct RecordKind;
#define PASDRAW_KIND_RECORD(Id, Record, list, role, name, plural, caption) \
    template <>                                                            \
    struct KindRecord<Kind::Id> {                                          \
        using type = Record;                                               \
    };                                                                     \
    template <>                                                            \
    struct RecordKind<Record> {                                            \
        static constexpr Kind kind = Kind::Id;                             \
    };
PASDRAW_KINDS(PASDRAW_KIND_RECORD)
#undef PASDRAW_KIND_RECORD
template <Kind K>
using RecordOfKind = typename KindRecord<K>::type;
template <class Record>
inline constexpr Kind kindOfRecord = RecordKind<Record>::kind;
template <class Record>
inline constexpr KindRole roleOfRecord = kindInfo(kindOfRecord<Record>).role;

// One record of the picture: its kind and its slot.
struct ShapeRef {
    Kind kind = Kind::Line;
    int index = 0;
    friend bool operator==(const ShapeRef&, const ShapeRef&) = default;
};

}  // namespace pasdraw
