// Reads generated program text back and compares it with the picture it came
// from: one CR LF line per record, kinds in their fixed order, every number in
// plain decimal within 16 bits, and every number the one the record implies.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/picture.h"

namespace pasdraw::fuzz {

enum class TextForm {
    Absolute,  // setcolor(4);line(10,200,301,-1);
    Value,     // XK:=..; YK:=..;  then line(XK+0,YK+0,...)
    Slider,    // XK:=..; YK:=..;  then line(XK+(0),YK+(0),...)
};

// The origin the text was generated for, as written on its first line and
// subtracted from every coordinate (both 0 for the absolute form, which has
// no origin line).
struct TextOrigin {
    int64_t XK = 0;
    int64_t YK = 0;
};

// Empty when `text` is exactly what the picture implies in that form, else a
// description of the first difference, naming the line.
std::string checkProgramText(const Picture& picture, TextForm form, TextOrigin origin, std::string_view text);

// The origin "Value" must find: a tenth (truncated) of the smallest X and the
// smallest Y over the points that take part, starting from 10000.
TextOrigin expectedValueOrigin(const Picture& picture);

}  // namespace pasdraw::fuzz
