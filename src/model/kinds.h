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
// The row's place is its tool number (from 1). The order in which every
// reader walks the kinds is WalkOrder below.
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
    X(Fill, FillRecord, Fills, Flood, "fill", "fills", "Fill")                                 \
    X(Bar, BarRecord, Bars, Plain, "bar", "bars", "Bar")                                       \
    X(Arc, ArcRecord, Arcs, Outline, "arc", "arcs", "Arc")                                     \
    X(PieSlice, PieSliceRecord, PieSlices, Outline, "pie slice", "pie slices", "Pie slice")    \
    X(Polygon, PolygonRecord, Polygons, Outline, "polygon", "polygons", "Polygon")             \
    X(Label, LabelRecord, Labels, Plain, "label", "labels", "Label")

// How a kind takes its colours when it is drawn.
enum class KindRole {
    Outline,  // in the current colour, which becomes the last outline colour
    Flood,    // floods in the current colour up to the last outline colour
    Plain,    // in the current colour, leaving the last outline colour as it is
};

// The styles of the graph unit a record may carry. A record made before
// styles existed, or drawn in the defaults, carries these values, and its
// statement is the one written before styles existed.
inline constexpr int16_t SolidLine = 0;  // line styles 0..3: solid, dotted, centre, dashed
inline constexpr int16_t LastLineStyle = 3;
inline constexpr int16_t NormalWidth = 1;  // line widths: 1 normal, 3 thick
inline constexpr int16_t ThickWidth = 3;
inline constexpr int16_t SolidPattern = 1;  // fill patterns 0..11, 0 empty to 11 close dots
inline constexpr int16_t LastPattern = 11;
inline constexpr int16_t LastTextSize = 10;  // text sizes 1..10
// The styles' names as the menu and the readout show them.
inline constexpr std::array<const char*, LastPattern + 1> PatternNames{"empty",
                                                                       "solid",
                                                                       "lines",
                                                                       "light slashes",
                                                                       "thick slashes",
                                                                       "back slashes",
                                                                       "light back slashes",
                                                                       "hatch",
                                                                       "cross hatch",
                                                                       "interleave",
                                                                       "wide dots",
                                                                       "close dots"};
inline constexpr std::array<const char*, LastLineStyle + 1> LineStyleNames{"solid", "dotted", "centre",
                                                                           "dashed"};
inline constexpr int MaxPolygonCorners = 32;
inline constexpr int MinPolygonCorners = 3;
inline constexpr int MaxLabelLength = 80;

// Fields in their declared order and widths. X1 and X2 come before Y1 and Y2.
struct LineRecord {
    int16_t X1 = 0;
    int16_t X2 = 0;
    int16_t Y1 = 0;
    int16_t Y2 = 0;
    int16_t ColorIndex = 0;
    int32_t ColorRGB = 0;
    int16_t LineStyle = SolidLine;
    int16_t LineWidth = NormalWidth;
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
    int16_t LineStyle = SolidLine;
    int16_t LineWidth = NormalWidth;
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
    int16_t LineWidth = NormalWidth;  // the graph unit draws curves solid, in either width
    friend bool operator==(const EllipseRecord&, const EllipseRecord&) = default;
};

struct CircleRecord {
    int16_t X = 0;
    int16_t Y = 0;
    int16_t Radius = 0;
    int16_t ColorIndex = 0;
    int32_t ColorRGB = 0;
    int16_t LineWidth = NormalWidth;
    friend bool operator==(const CircleRecord&, const CircleRecord&) = default;
};

struct FillRecord {
    int16_t X = 0;
    int16_t Y = 0;
    int16_t ColorIndex = 0;
    int32_t ColorRGB = 0;
    int16_t BorderIndex = 0;
    int32_t BorderRGB = 0;
    int16_t Pattern = SolidPattern;
    friend bool operator==(const FillRecord&, const FillRecord&) = default;
};

// The kinds below came after the five above; their coordinates are twips
// too, so that the editor picks, moves and snaps them all alike.

// Two opposite corners as dragged, filled in the pattern and colour, with
// no outline.
struct BarRecord {
    int16_t X1 = 0;
    int16_t X2 = 0;
    int16_t Y1 = 0;
    int16_t Y2 = 0;
    int16_t ColorIndex = 0;
    int32_t ColorRGB = 0;
    int16_t Pattern = SolidPattern;
    friend bool operator==(const BarRecord&, const BarRecord&) = default;
};

// A circular arc counter-clockwise from StartAngle to EndAngle, in degrees
// 0..359 with 0 to the right.
struct ArcRecord {
    int16_t X = 0;
    int16_t Y = 0;
    int16_t Radius = 0;
    int16_t StartAngle = 0;
    int16_t EndAngle = 0;
    int16_t ColorIndex = 0;
    int32_t ColorRGB = 0;
    int16_t LineWidth = NormalWidth;
    friend bool operator==(const ArcRecord&, const ArcRecord&) = default;
};

// An arc closed by two radii and filled: the outline and the fill both in
// the colour, the fill in the pattern. Its outline is always thin and solid.
struct PieSliceRecord {
    int16_t X = 0;
    int16_t Y = 0;
    int16_t Radius = 0;
    int16_t StartAngle = 0;
    int16_t EndAngle = 0;
    int16_t ColorIndex = 0;
    int32_t ColorRGB = 0;
    int16_t Pattern = SolidPattern;
    friend bool operator==(const PieSliceRecord&, const PieSliceRecord&) = default;
};

// A closed outline through Count corners (3..32), the first Count entries
// of X and Y; the rest stay 0.
struct PolygonRecord {
    int16_t Count = 0;
    std::array<int16_t, MaxPolygonCorners> X{};
    std::array<int16_t, MaxPolygonCorners> Y{};
    int16_t ColorIndex = 0;
    int32_t ColorRGB = 0;
    int16_t LineStyle = SolidLine;
    int16_t LineWidth = NormalWidth;
    friend bool operator==(const PolygonRecord&, const PolygonRecord&) = default;
};

// Text in the 8 x 8 default font with its top left corner at (X, Y): Length
// printable characters (1..80) at the front of Text, the rest 0.
struct LabelRecord {
    int16_t X = 0;
    int16_t Y = 0;
    int16_t Length = 0;
    std::array<char, MaxLabelLength> Text{};
    int16_t ColorIndex = 0;
    int32_t ColorRGB = 0;
    int16_t TextSize = 1;
    int16_t Vertical = 0;  // 1: read bottom to top, as the unit's VertDir
    friend bool operator==(const LabelRecord&, const LabelRecord&) = default;
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

// The order every reader walks the kinds in: the blocks of the text, the
// canvas's paint and recovery's lists. Bars are backgrounds and come first;
// fills come after every outline they stop at; pie slices and labels come
// last, on top.
inline constexpr std::array<Kind, KindCount> WalkOrder{
    Kind::Bar, Kind::Line,    Kind::Rectangle, Kind::Ellipse,  Kind::Circle,
    Kind::Arc, Kind::Polygon, Kind::Fill,      Kind::PieSlice, Kind::Label,
};

// The kinds with their names as the user reads them.
struct KindInfo {
    Kind kind;
    const char* name;     // "line"
    const char* plural;   // "lines"
    const char* caption;  // "Line", on its tool button
    KindRole role;
};
// In tool order.
inline constexpr std::array<KindInfo, KindCount> KindsByTool{{
#define PASDRAW_KIND_INFO(Id, Record, list, role, name, plural, caption) \
    {Kind::Id, name, plural, caption, KindRole::role},
    PASDRAW_KINDS(PASDRAW_KIND_INFO)
#undef PASDRAW_KIND_INFO
}};
// In WalkOrder.
inline constexpr std::array<KindInfo, KindCount> Kinds = [] {
    std::array<KindInfo, KindCount> walked{};
    for (std::size_t i = 0; i < KindCount; ++i) {
        walked[i] = KindsByTool[static_cast<std::size_t>(WalkOrder[i]) - 1];
    }
    return walked;
}();

constexpr const KindInfo& kindInfo(Kind kind) { return KindsByTool[static_cast<std::size_t>(kind) - 1]; }
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
