// Pictures the benchmarks share.
#pragma once

#include <memory>
#include <random>

#include "model/picture.h"

namespace pasdraw::bench {

// 1001 records of every kind spanning the whole canvas in all fifteen
// colours, rectangles and ellipses dragged both ways, every fill seeded away
// from its circle: numbers of every width in the text, and fills that flood
// the screen when the program runs.
inline std::unique_ptr<Picture> spanningPicture() {
    auto p = std::make_unique<Picture>();
    for (int i = 0; i < ListCapacity; ++i) {
        const auto colour = static_cast<int16_t>(i % 15 + 1);
        const auto x = static_cast<int16_t>((i * 37) % 6400);
        const auto y = static_cast<int16_t>((i * 53) % 4800);
        const auto x2 = static_cast<int16_t>(6400 - x);
        const auto y2 = static_cast<int16_t>(4800 - y);
        p->selectColour(colour, 0x00C00000);
        p->commitLine({.X1 = x, .X2 = x2, .Y1 = y, .Y2 = y2});
        p->commitRectangle({.X1 = x2, .X2 = x, .Y1 = y2, .Y2 = y});
        p->commitEllipse({.X1 = x, .X2 = x2, .Y1 = y2, .Y2 = y});
        p->commitCircle({.X = x, .Y = y, .Radius = static_cast<int16_t>(i % 900 + 10)});
        p->commitFill(x2, y2);
    }
    return p;
}

// A full picture as a user might draw it: 1001 shapes of each kind, 4 to 60
// pixels across, spread over the screen, and each fill inside a circle. The
// program draws every outline before any fill, so a circle cut open by a
// later circle would let its fill flood the screen; here the circles sit in
// cells of a 16-pixel grid, so each fill stays inside its own.
inline std::unique_ptr<Picture> spreadPicture() {
    auto p = std::make_unique<Picture>();
    std::mt19937 gen(7);
    const auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
    const auto twips = [](int v) { return static_cast<int16_t>(v * 10); };
    for (int i = 0; i < ListCapacity; ++i) {
        const auto colour = static_cast<int16_t>(any(1, 15));
        p->selectColour(colour, 0x00C00000);
        const int x = any(0, 639), y = any(0, 479), w = any(4, 60), h = any(4, 60);
        p->commitLine({.X1 = twips(x), .X2 = twips(x + w), .Y1 = twips(y), .Y2 = twips(y + h)});
        const int rx = any(0, 639), ry = any(0, 479);
        p->commitRectangle({.X1 = twips(rx), .X2 = twips(rx + w), .Y1 = twips(ry), .Y2 = twips(ry + h)});
        const int ex = any(0, 639), ey = any(0, 479);
        p->commitEllipse({.X1 = twips(ex), .X2 = twips(ex + w), .Y1 = twips(ey), .Y2 = twips(ey + h)});
        const int cx = 8 + 16 * (i % 40), cy = 8 + 16 * (i / 40);
        p->commitCircle({.X = twips(cx), .Y = twips(cy), .Radius = twips(any(3, 7))});
        p->selectColour(static_cast<int16_t>(any(1, 15)), 0x00C00000);
        p->commitFill(twips(cx), twips(cy));
    }
    return p;
}

// spreadPicture's 1001 shapes of the first five kinds, every third line,
// rectangle and circle and ellipse styled, and 1001 of each later kind as
// small as those: bars, arcs, pie slices and fills in every pattern,
// polygons in every line style and width, labels of 1 to 12 characters in
// every text size and both directions.
inline std::unique_ptr<Picture> everyKindPicture() {
    const auto spread = spreadPicture();
    auto p = std::make_unique<Picture>();
    std::mt19937 gen(11);
    const auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
    const auto twips = [](int v) { return static_cast<int16_t>(v * 10); };
    const auto thickOrNot = [&] { return any(0, 2) == 0 ? ThickWidth : NormalWidth; };
    for (auto r : spread->Lines.records()) {
        if (any(0, 2) == 0) r.LineStyle = static_cast<int16_t>(any(1, LastLineStyle));
        p->Lines.append(r);
    }
    for (auto r : spread->Rectangles.records()) {
        r.LineWidth = thickOrNot();
        p->Rectangles.append(r);
    }
    for (auto r : spread->Ellipses.records()) {
        r.LineWidth = thickOrNot();
        p->Ellipses.append(r);
    }
    for (auto r : spread->Circles.records()) {
        r.LineWidth = thickOrNot();
        p->Circles.append(r);
    }
    for (auto r : spread->Fills.records()) {
        r.Pattern = static_cast<int16_t>(any(0, LastPattern));
        p->Fills.append(r);
    }
    for (int i = 0; i < ListCapacity; ++i) {
        p->selectColour(static_cast<int16_t>(any(1, 15)), 0x00C00000);
        EditorState& s = p->state;
        s.FillPattern = static_cast<int16_t>(any(0, LastPattern));
        s.LineStyle = static_cast<int16_t>(any(SolidLine, LastLineStyle));
        s.LineWidth = any(0, 1) ? ThickWidth : NormalWidth;
        s.TextSize = static_cast<int16_t>(any(1, 3));
        s.TextVertical = static_cast<int16_t>(any(0, 1));
        const int x = any(0, 639), y = any(0, 479), w = any(4, 60), h = any(4, 60);
        p->commitBar({.X1 = twips(x), .X2 = twips(x + w), .Y1 = twips(y), .Y2 = twips(y + h)});
        const auto radius = twips(any(2, 30));
        p->commitArc({.X = twips(any(0, 639)),
                      .Y = twips(any(0, 479)),
                      .Radius = radius,
                      .StartAngle = static_cast<int16_t>(any(0, 359)),
                      .EndAngle = static_cast<int16_t>(any(0, 359))});
        p->commitPieSlice({.X = twips(any(0, 639)),
                           .Y = twips(any(0, 479)),
                           .Radius = radius,
                           .StartAngle = static_cast<int16_t>(any(0, 359)),
                           .EndAngle = static_cast<int16_t>(any(0, 359))});
        PolygonRecord polygon{};
        polygon.Count = static_cast<int16_t>(any(MinPolygonCorners, 8));
        const int px = any(0, 639), py = any(0, 479);
        for (int k = 0; k < polygon.Count; ++k) {
            polygon.X[static_cast<std::size_t>(k)] = twips(px + any(0, 60));
            polygon.Y[static_cast<std::size_t>(k)] = twips(py + any(0, 60));
        }
        p->commitPolygon(polygon);
        LabelRecord label{.X = twips(any(0, 639)), .Y = twips(any(0, 479))};
        label.Length = static_cast<int16_t>(any(1, 12));
        for (int k = 0; k < label.Length; ++k)
            label.Text[static_cast<std::size_t>(k)] = static_cast<char>(any(32, 126));
        p->commitLabel(label);
    }
    return p;
}

// 1001 records of every kind on the canvas: small boxes on a grid, a line, an
// ellipse and a circle of other colours in each box, and one fill inside each
// box bounded by the boxes' colour, in palette colours, so the picture is the
// same after its text comes back into the editor.
inline std::unique_ptr<Picture> boxedPicture() {
    auto p = std::make_unique<Picture>();
    const auto at = [](int v) { return static_cast<int16_t>(v); };
    for (int i = 0; i < ListCapacity; ++i) {
        const int x = 10 + (i % 40) * 159, y = 10 + (i / 40) * 190;
        p->selectColour(4, 0x000000C0);
        p->commitLine({at(x), at(x + 60), at(y + 20), at(y + 40), 0, 0});
        p->selectColour(14, 0x0000FFFF);
        p->commitEllipse({.X1 = at(x + 70), .X2 = at(x + 130), .Y1 = at(y + 20), .Y2 = at(y + 60)});
        p->selectColour(2, 0x00008000);
        p->commitCircle({at(x + 70), at(y + 120), 30, 0, 0});
        p->selectColour(9, 0x00FF0000);
        p->commitRectangle({at(x), at(x + 150), at(y), at(y + 180), 0, 0});
    }
    p->selectColour(12, 0x008080FF);
    for (int i = 0; i < ListCapacity; ++i) {
        p->commitFill(at(10 + (i % 40) * 159 + 120), at(10 + (i / 40) * 190 + 150));
    }
    return p;
}

}  // namespace pasdraw::bench
