// Puts records into a Picture the way the editor does: through the model's
// commit operations, with the colour chosen first.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>

#include "model/picture.h"

namespace pasdraw::testing {

// A Picture holds five arrays of 1001 records; keep it off the stack.
inline std::unique_ptr<Picture> newPicture() { return std::make_unique<Picture>(); }

// The RGB half is never written into program text; a distinct value per index
// makes sure nothing picks it up by mistake.
inline void choose(Picture& p, int16_t colour) { p.selectColour(colour, 0x00010101 * colour + 0x00400000); }

inline void addLine(Picture& p, int16_t colour, LineRecord r) {
    choose(p, colour);
    EXPECT_EQ(p.commitLine(r), CommitResult::Committed);
}

inline void addRectangle(Picture& p, int16_t colour, RectangleRecord r) {
    choose(p, colour);
    EXPECT_EQ(p.commitRectangle(r), CommitResult::Committed);
}

inline void addEllipse(Picture& p, int16_t colour, EllipseRecord r) {
    choose(p, colour);
    EXPECT_EQ(p.commitEllipse(r), CommitResult::Committed);
}

inline void addCircle(Picture& p, int16_t colour, CircleRecord r) {
    choose(p, colour);
    EXPECT_EQ(p.commitCircle(r), CommitResult::Committed);
}

// The border is the last outline colour; setting it directly lets a test pick
// any border without drawing an outline for it.
inline void addFill(Picture& p, int16_t colour, int16_t x, int16_t y, int16_t border) {
    p.state.LastColorIndex = border;
    choose(p, colour);
    EXPECT_EQ(p.commitFill(x, y), CommitResult::Committed);
}

// The six records of the absolute-generation example, committed kind by kind
// in reverse, so that a generator following drawing order would be caught.
inline void addSixRecordExample(Picture& p) {
    addFill(p, 12, 3209, 2415, 9);
    addCircle(p, 9, {.X = 3205, .Y = 2410, .Radius = 1234});
    addEllipse(p, 2, {.X1 = 1000, .X2 = 1530, .Y1 = 2000, .Y2 = 1490});
    addEllipse(p, 2, {.X1 = 1530, .X2 = 1000, .Y1 = 1490, .Y2 = 2000});
    addRectangle(p, 14, {.X1 = 1200, .X2 = 400, .Y1 = 900, .Y2 = 300});
    addLine(p, 4, {.X1 = 105, .X2 = 3019, .Y1 = 2000, .Y2 = -15});
}

// One record of each kind, as in the origin examples. The two examples differ
// only in the line's release Y (1500 for "Value", 150 for the sliders).
inline void addOneOfEachKind(Picture& p, int16_t lineY2) {
    addLine(p, 4, {.X1 = 1000, .X2 = 2005, .Y1 = 500, .Y2 = lineY2});
    addRectangle(p, 2, {.X1 = 3000, .X2 = 1500, .Y1 = 2500, .Y2 = 800});
    addEllipse(p, 14, {.X1 = 2010, .X2 = 1005, .Y1 = 3000, .Y2 = 3600});
    addCircle(p, 1, {.X = 4000, .Y = 2000, .Radius = 755});
    addFill(p, 4, 1200, 700, 2);
}

// Every kind at the ends of the 16-bit range.
inline void addExtremes(Picture& p) {
    addLine(p, 15, {.X1 = -32768, .X2 = 32767, .Y1 = 32767, .Y2 = -32768});
    addRectangle(p, 1, {.X1 = 32767, .X2 = -32768, .Y1 = -32768, .Y2 = 32767});
    addEllipse(p, 2, {.X1 = -32768, .X2 = 32767, .Y1 = 32767, .Y2 = -32768});
    addCircle(p, 3, {.X = 32767, .Y = -32768, .Radius = 32767});
    addFill(p, 4, -32768, 32767, 3);
}

// Random styles for the next commits; each kind takes the ones it has.
template <class Rng>
void chooseRandomStyles(Picture& p, Rng& rng) {
    const auto pick = [&rng](int lo, int hi) {
        return static_cast<int16_t>(std::uniform_int_distribution<int>(lo, hi)(rng));
    };
    p.state.FillPattern = pick(0, LastPattern);
    p.state.LineStyle = pick(SolidLine, LastLineStyle);
    p.state.LineWidth = pick(0, 1) == 0 ? NormalWidth : ThickWidth;
    p.state.TextSize = pick(1, LastTextSize);
    p.state.TextVertical = pick(0, 1);
}

// One record of `kind` in the colour and random styles, its points from
// `coord`: the kinds that came after the first five are made here, with
// every field in the range the editor makes (angles 0..359, 3..32 corners,
// 1..80 printable characters, quotes among them).
template <class Rng, class Coord>
void addRandom(Picture& p, Kind kind, int16_t colour, Rng& rng, Coord&& coord) {
    const auto pick = [&rng](int lo, int hi) {
        return static_cast<int16_t>(std::uniform_int_distribution<int>(lo, hi)(rng));
    };
    const auto radius = [&] { return static_cast<int16_t>(std::abs(static_cast<int>(coord())) / 2); };
    chooseRandomStyles(p, rng);
    choose(p, colour);
    CommitResult r = CommitResult::Refused;
    switch (kind) {
        case Kind::Bar:
            r = p.commit(BarRecord{.X1 = coord(), .X2 = coord(), .Y1 = coord(), .Y2 = coord()});
            break;
        case Kind::Arc:
            r = p.commit(ArcRecord{.X = coord(),
                                   .Y = coord(),
                                   .Radius = radius(),
                                   .StartAngle = pick(0, 359),
                                   .EndAngle = pick(0, 359)});
            break;
        case Kind::PieSlice:
            r = p.commit(PieSliceRecord{.X = coord(),
                                        .Y = coord(),
                                        .Radius = radius(),
                                        .StartAngle = pick(0, 359),
                                        .EndAngle = pick(0, 359)});
            break;
        case Kind::Polygon: {
            PolygonRecord g{};
            g.Count = pick(MinPolygonCorners, MaxPolygonCorners);
            for (std::size_t i = 0; i < static_cast<std::size_t>(g.Count); ++i) {
                g.X[i] = coord();
                g.Y[i] = coord();
            }
            r = p.commit(g);
            break;
        }
        case Kind::Label: {
            LabelRecord l{.X = coord(), .Y = coord()};
            l.Length = pick(1, MaxLabelLength);
            for (std::size_t i = 0; i < static_cast<std::size_t>(l.Length); ++i)
                l.Text[i] = pick(0, 9) == 0 ? '\'' : static_cast<char>(pick(' ', '~'));
            r = p.commit(l);
            break;
        }
        case Kind::Line:
            r = p.commit(LineRecord{.X1 = coord(), .X2 = coord(), .Y1 = coord(), .Y2 = coord()});
            break;
        case Kind::Rectangle:
            r = p.commit(RectangleRecord{.X1 = coord(), .X2 = coord(), .Y1 = coord(), .Y2 = coord()});
            break;
        case Kind::Ellipse:
            r = p.commit(EllipseRecord{.X1 = coord(), .X2 = coord(), .Y1 = coord(), .Y2 = coord()});
            break;
        case Kind::Circle: r = p.commit(CircleRecord{.X = coord(), .Y = coord(), .Radius = radius()}); break;
        case Kind::Fill:
            p.state.LastColorIndex = pick(0, 15);
            r = p.commitFill(coord(), coord());
            break;
    }
    EXPECT_EQ(r, CommitResult::Committed) << kindName(kind);
}

}  // namespace pasdraw::testing
