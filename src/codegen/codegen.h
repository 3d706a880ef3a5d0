// Program text for the BGI graph unit, made from the picture model. Pure
// functions: no Qt, no I/O, no state. Every text uses CR LF line ends.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "kinds/statement.h"
#include "model/picture.h"

namespace pasdraw {

// The origin of the origin-relative forms, in screen pixels (canvas twips / 10).
// XK is 32 bits wide because a slider may store any position there.
struct Origin {
    int32_t XK = 0;
    int16_t YK = 0;
    friend bool operator==(const Origin&, const Origin&) = default;
};

// "Generate": one colour prefix and statement per record, absolute coordinates.
// An empty picture gives the empty text.
std::string generateAbsolute(const Picture& picture);

// The line "Generate" writes for one record (colour prefix and statement,
// without the line break).
std::string statementFor(const ShapeRecord& record);

// The origin "Value" finds: the smallest X and the smallest Y over the points
// that take part (an ellipse's release corner and a circle's radius do not),
// divided by 10. The minimum starts at 10000, so an empty picture gives 1000/1000.
Origin computeOrigin(const Picture& picture);

// "Value": the origin line "XK:=..; YK:=..;" with no line break, then the
// statements with offsets written bare (XK+-50).
std::string generateValueForm(const Picture& picture, Origin origin);

// A slider move: like the "Value" form, but every offset is parenthesised
// (XK+(-50)) and the origin is the one given, not the picture's. An XK that no
// slider or "Value" has set yet is written and subtracted as 0, so the text is
// always a valid program.
std::string generateSliderForm(const Picture& picture, std::optional<int32_t> XK, int16_t YK);

// The bytes of the saved program: the fixed header, one space, the text box
// content exactly as given (already in the 8-bit encoding of the file), the
// trailer and a final CR LF.
std::string programFileBytes(std::string_view text1Bytes);

// The text box's part of a program file that programFileBytes made, or of
// the same program after an editor turned its line ends into LF: what
// stands between the header (with its space) and the trailer line. None for
// any other text.
std::optional<std::string_view> programFileText(std::string_view file);

}  // namespace pasdraw
