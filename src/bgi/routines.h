// The graph unit's drawing routines, one row each, and everything that lists
// them is made from these rows: the BgiGraphics members, the interpreter's
// routine numbers, name and argument checks and calls, and the names that
// generated text and messages write.
//
// A row is X(Id, "pascal name", (parameters), (arguments)):
// - Id names the routine in C++: its GraphRoutine enumerator and its
//   BgiGraphics member. The Pascal spelling is only ever the string, so
//   what a program text says is written in one place.
// - The parameters are the unit's own, in order, with the Pascal types
//   below; the arguments repeat their names, for implementations that pass
//   every argument on. A string parameter is a ShortString.
//
// Header only: code generation writes the names without linking the screen.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>
#include <type_traits>

namespace pasdraw {

// The unit's parameter types: a coordinate is a smallint, a pattern, angle or
// radius a word (but pieslice's angles are smallints, as its compiler
// warnings show), a colour a longword (the program passes the low 32 bits), a
// yes or no (bar3d's top, setviewport's clip) a boolean. The functions that read a colour answer
// in 32 bits (measured with sizeof), which makes them int64 operands in
// arithmetic.
using Smallint = int16_t;
using Word = uint16_t;
using LongWord = uint32_t;

// A string parameter: the bytes of a shortstring, at most 255 of them, as the
// compiled program passes them (the text's own bytes, UTF-8 ones included).
struct ShortString {
    static constexpr std::size_t MaxLength = 255;
    std::string_view bytes;
};

#define PASDRAW_GRAPH_ROUTINES(X)                                                                            \
    X(SetColor, "setcolor", (LongWord color), (color))                                                       \
    X(SetBkColor, "setbkcolor", (LongWord color), (color))                                                   \
    X(SetFillStyle, "setfillstyle", (Word pattern, LongWord color), (pattern, color))                        \
    X(ClearDevice, "cleardevice", (), ())                                                                    \
    X(PutPixel, "putpixel", (Smallint x, Smallint y, LongWord color), (x, y, color))                         \
    X(MoveTo, "moveto", (Smallint x, Smallint y), (x, y))                                                    \
    X(LineTo, "lineto", (Smallint x, Smallint y), (x, y))                                                    \
    X(Line, "line", (Smallint x1, Smallint y1, Smallint x2, Smallint y2), (x1, y1, x2, y2))                  \
    X(Rectangle, "rectangle", (Smallint x1, Smallint y1, Smallint x2, Smallint y2), (x1, y1, x2, y2))        \
    X(Bar, "bar", (Smallint x1, Smallint y1, Smallint x2, Smallint y2), (x1, y1, x2, y2))                    \
    X(Circle, "circle", (Smallint x, Smallint y, Word radius), (x, y, radius))                               \
    X(Arc, "arc", (Smallint x, Smallint y, Word stAngle, Word endAngle, Word radius),                        \
      (x, y, stAngle, endAngle, radius))                                                                     \
    X(Ellipse, "ellipse", (Smallint x, Smallint y, Word stAngle, Word endAngle, Word xRadius, Word yRadius), \
      (x, y, stAngle, endAngle, xRadius, yRadius))                                                           \
    X(FloodFill, "floodfill", (Smallint x, Smallint y, LongWord border), (x, y, border))                     \
    X(LineRel, "linerel", (Smallint dx, Smallint dy), (dx, dy))                                              \
    X(MoveRel, "moverel", (Smallint dx, Smallint dy), (dx, dy))                                              \
    X(SetLineStyle, "setlinestyle", (Word lineStyle, Word pattern, Word thickness),                          \
      (lineStyle, pattern, thickness))                                                                       \
    X(Bar3D, "bar3d", (Smallint x1, Smallint y1, Smallint x2, Smallint y2, Word depth, bool top),            \
      (x1, y1, x2, y2, depth, top))                                                                          \
    X(OutTextXY, "outtextxy", (Smallint x, Smallint y, ShortString textString), (x, y, textString))          \
    X(OutText, "outtext", (ShortString textString), (textString))                                            \
    X(SetTextStyle, "settextstyle", (Word font, Word direction, Word charSize), (font, direction, charSize)) \
    X(SetTextJustify, "settextjustify", (Word horiz, Word vert), (horiz, vert))                              \
    X(PieSlice, "pieslice", (Smallint x, Smallint y, Smallint stAngle, Smallint endAngle, Word radius),      \
      (x, y, stAngle, endAngle, radius))                                                                     \
    X(Sector, "sector", (Smallint x, Smallint y, Word stAngle, Word endAngle, Word xRadius, Word yRadius),   \
      (x, y, stAngle, endAngle, xRadius, yRadius))                                                           \
    X(FillEllipse, "fillellipse", (Smallint x, Smallint y, Word xRadius, Word yRadius),                      \
      (x, y, xRadius, yRadius))                                                                              \
    X(SetViewPort, "setviewport", (Smallint x1, Smallint y1, Smallint x2, Smallint y2, bool clip),           \
      (x1, y1, x2, y2, clip))                                                                                \
    X(ClearViewPort, "clearviewport", (), ())

// The graph unit's functions a program may use in expressions, as
// X(Id, "pascal name", result type, (parameters), (arguments)).
#define PASDRAW_GRAPH_FUNCTIONS(X)                                      \
    X(GetMaxX, "getmaxx", Smallint, (), ())                             \
    X(GetMaxY, "getmaxy", Smallint, (), ())                             \
    X(GetX, "getx", Smallint, (), ())                                   \
    X(GetY, "gety", Smallint, (), ())                                   \
    X(GetColor, "getcolor", LongWord, (), ())                           \
    X(GetPixel, "getpixel", LongWord, (Smallint x, Smallint y), (x, y)) \
    X(GetMaxColor, "getmaxcolor", LongWord, (), ())

// Removes the parentheses around a row's parameter or argument list.
#define PASDRAW_UNPARENTHESIZED(...) __VA_ARGS__

enum class GraphRoutine : uint8_t {
#define PASDRAW_ENUMERATOR(id, name, params, args) id,
    PASDRAW_GRAPH_ROUTINES(PASDRAW_ENUMERATOR)
#undef PASDRAW_ENUMERATOR
};

inline constexpr std::size_t GraphRoutineCount = 0
#define PASDRAW_COUNT(id, name, params, args) +1
    PASDRAW_GRAPH_ROUTINES(PASDRAW_COUNT)
#undef PASDRAW_COUNT
    ;

// The values a parameter's type holds.
struct ParameterRange {
    int64_t low = 0;
    int64_t high = 0;
};

enum class GraphFunction : uint8_t {
#define PASDRAW_ENUMERATOR(id, name, result, params, args) id,
    PASDRAW_GRAPH_FUNCTIONS(PASDRAW_ENUMERATOR)
#undef PASDRAW_ENUMERATOR
};

inline constexpr std::size_t GraphFunctionCount = 0
#define PASDRAW_COUNT(id, name, result, params, args) +1
    PASDRAW_GRAPH_FUNCTIONS(PASDRAW_COUNT)
#undef PASDRAW_COUNT
    ;

// Room for a routine's parameters in the tables below: at least as many as
// any routine takes (MostRoutineArguments).
inline constexpr std::size_t MaxParameters = 8;

namespace detail {

// A string holds no numbers: its range is empty.
template <class P>
constexpr ParameterRange rangeOf() {
    if constexpr (std::is_arithmetic_v<P>)
        return {std::numeric_limits<P>::min(), std::numeric_limits<P>::max()};
    else
        return {};
}

template <class Signature>
struct Parameters;
template <class... P>
struct Parameters<void(P...)> {
    static constexpr std::size_t count = sizeof...(P);
    static_assert(count <= MaxParameters);
    // Empty past the last parameter.
    static constexpr std::array<ParameterRange, MaxParameters> ranges = [] {
        std::array<ParameterRange, MaxParameters> all{};
        std::size_t k = 0;
        ((all[k++] = rangeOf<P>()), ...);
        return all;
    }();
    // Bit k set when parameter k has type T.
    template <class T>
    static constexpr unsigned maskOf = [] {
        unsigned mask = 0, bit = 1;
        ((mask |= std::is_same_v<P, T> ? bit : 0u, bit <<= 1), ...);
        return mask;
    }();
    static constexpr unsigned booleans = maskOf<bool>;
    static constexpr unsigned texts = maskOf<ShortString>;
};

inline constexpr std::array<std::string_view, GraphRoutineCount> GraphRoutineNames{
#define PASDRAW_NAME(id, name, params, args) name,
    PASDRAW_GRAPH_ROUTINES(PASDRAW_NAME)
#undef PASDRAW_NAME
};

inline constexpr std::array<uint8_t, GraphRoutineCount> GraphRoutineArities{
#define PASDRAW_ARITY(id, name, params, args) Parameters<void params>::count,
    PASDRAW_GRAPH_ROUTINES(PASDRAW_ARITY)
#undef PASDRAW_ARITY
};

}  // namespace detail

// The most arguments any graph routine of the table takes.
inline constexpr std::size_t MostRoutineArguments = [] {
    std::size_t most = 0;
    for (const uint8_t n : detail::GraphRoutineArities) most = n > most ? n : most;
    return most;
}();

namespace detail {

inline constexpr std::array<uint8_t, GraphRoutineCount> GraphRoutineBooleans{
#define PASDRAW_BOOLEANS(id, name, params, args) Parameters<void params>::booleans,
    PASDRAW_GRAPH_ROUTINES(PASDRAW_BOOLEANS)
#undef PASDRAW_BOOLEANS
};

inline constexpr std::array<uint8_t, GraphRoutineCount> GraphRoutineTexts{
#define PASDRAW_TEXTS(id, name, params, args) Parameters<void params>::texts,
    PASDRAW_GRAPH_ROUTINES(PASDRAW_TEXTS)
#undef PASDRAW_TEXTS
};

// Looked up for every constant argument of a text, so a table rather than
// a switch.
inline constexpr std::array<std::array<ParameterRange, MaxParameters>, GraphRoutineCount> GraphRoutineRanges{
#define PASDRAW_RANGES(id, name, params, args) Parameters<void params>::ranges,
    PASDRAW_GRAPH_ROUTINES(PASDRAW_RANGES)
#undef PASDRAW_RANGES
};

inline constexpr std::array<std::string_view, GraphFunctionCount> GraphFunctionNames{
#define PASDRAW_NAME(id, name, result, params, args) name,
    PASDRAW_GRAPH_FUNCTIONS(PASDRAW_NAME)
#undef PASDRAW_NAME
};

inline constexpr std::array<uint8_t, GraphFunctionCount> GraphFunctionArities{
#define PASDRAW_ARITY(id, name, result, params, args) Parameters<void params>::count,
    PASDRAW_GRAPH_FUNCTIONS(PASDRAW_ARITY)
#undef PASDRAW_ARITY
};

// Whether the result is wider than 32 signed bits can hold, so that the
// compiler treats it as an int64 operand.
inline constexpr std::array<bool, GraphFunctionCount> GraphFunctionWide{
#define PASDRAW_WIDE(id, name, result, params, args) (sizeof(result) >= 4 && !(result(-1) < 0)),
    PASDRAW_GRAPH_FUNCTIONS(PASDRAW_WIDE)
#undef PASDRAW_WIDE
};

}  // namespace detail

// The name as a program text spells it, in lower case.
constexpr std::string_view pascalName(GraphRoutine r) {
    return detail::GraphRoutineNames[static_cast<std::size_t>(r)];
}

constexpr std::size_t parameterCount(GraphRoutine r) {
    return detail::GraphRoutineArities[static_cast<std::size_t>(r)];
}

// What parameter k (from 0) of routine r holds.
constexpr ParameterRange parameterRange(GraphRoutine r, std::size_t k) {
    return k < MaxParameters ? detail::GraphRoutineRanges[static_cast<std::size_t>(r)][k] : ParameterRange{};
}

// Bit k set when parameter k takes a boolean rather than a number.
constexpr unsigned booleanParameters(GraphRoutine r) {
    return detail::GraphRoutineBooleans[static_cast<std::size_t>(r)];
}

constexpr std::string_view pascalName(GraphFunction f) {
    return detail::GraphFunctionNames[static_cast<std::size_t>(f)];
}

constexpr std::size_t parameterCount(GraphFunction f) {
    return detail::GraphFunctionArities[static_cast<std::size_t>(f)];
}

// Whether the compiler types a call as int64 rather than a 32-bit integer.
constexpr bool widensToInt64(GraphFunction f) {
    return detail::GraphFunctionWide[static_cast<std::size_t>(f)];
}

// Bit k set when parameter k of routine r is a string.
constexpr unsigned textParameters(GraphRoutine r) {
    return detail::GraphRoutineTexts[static_cast<std::size_t>(r)];
}

// Whether parameter k (from 0) of routine r is a string.
constexpr bool isTextParameter(GraphRoutine r, std::size_t k) {
    return k < MaxParameters && ((textParameters(r) >> k) & 1);
}

}  // namespace pasdraw
