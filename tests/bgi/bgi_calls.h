// One graph-unit call as data: written out as a Pascal statement for the
// reference program and applied to a BgiScreen, so both see the same call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bgi/bgi_screen.h"

namespace pasdraw::testing {

enum class Op {
    SetColor,
    SetBkColor,
    SetFillStyle,
    ClearDevice,
    PutPixel,
    MoveTo,
    LineTo,
    Line,
    Rectangle,
    Bar,
    Circle,
    Arc,
    Ellipse,
    FloodFill
};

struct BgiCall {
    Op op;
    std::vector<int> args;  // in the order of the Pascal routine's parameters
};

inline std::string pascal(const BgiCall& c) {
    static const char* const names[] = {"setcolor", "setbkcolor", "setfillstyle", "cleardevice", "putpixel",
                                        "moveto",   "lineto",     "line",         "rectangle",   "bar",
                                        "circle",   "arc",        "ellipse",      "floodfill"};
    std::string s = names[static_cast<int>(c.op)];
    if (c.args.empty()) return s;
    s += '(';
    for (std::size_t i = 0; i < c.args.size(); ++i) s += (i ? "," : "") + std::to_string(c.args[i]);
    return s + ')';
}

inline std::string pascal(const std::vector<BgiCall>& calls) {
    std::string s;
    for (const BgiCall& c : calls) s += pascal(c) + ";";
    return s;
}

inline void apply(BgiScreen& screen, const BgiCall& c) {
    auto s = [&](std::size_t i) { return static_cast<int16_t>(c.args[i]); };
    auto w = [&](std::size_t i) { return static_cast<uint16_t>(c.args[i]); };
    switch (c.op) {
        case Op::SetColor: screen.setcolor(w(0)); break;
        case Op::SetBkColor: screen.setbkcolor(w(0)); break;
        case Op::SetFillStyle: screen.setfillstyle(w(0), w(1)); break;
        case Op::ClearDevice: screen.cleardevice(); break;
        case Op::PutPixel: screen.putpixel(s(0), s(1), w(2)); break;
        case Op::MoveTo: screen.moveto(s(0), s(1)); break;
        case Op::LineTo: screen.lineto(s(0), s(1)); break;
        case Op::Line: screen.line(s(0), s(1), s(2), s(3)); break;
        case Op::Rectangle: screen.rectangle(s(0), s(1), s(2), s(3)); break;
        case Op::Bar: screen.bar(s(0), s(1), s(2), s(3)); break;
        case Op::Circle: screen.circle(s(0), s(1), w(2)); break;
        case Op::Arc: screen.arc(s(0), s(1), w(2), w(3), w(4)); break;
        case Op::Ellipse: screen.ellipse(s(0), s(1), w(2), w(3), w(4), w(5)); break;
        case Op::FloodFill: screen.floodfill(s(0), s(1), w(2)); break;
    }
}

inline void apply(BgiScreen& screen, const std::vector<BgiCall>& calls) {
    for (const BgiCall& c : calls) apply(screen, c);
}

}  // namespace pasdraw::testing
