// Which line of a generated text holds which shape's statement. Every form
// ("Generate", "Value", a slider step) writes one line per record, the kinds
// in the order of Kinds and each kind's records in slot order; the origin
// line of the relative forms shares its line with the first record.
#pragma once

#include <optional>

#include "model/picture.h"

namespace pasdraw {

// The 1-based line of a record's statement; 0 when the picture has no such
// record.
int lineOfShape(const Picture& picture, ShapeRef ref);
// The record whose statement stands on a 1-based line, if any.
std::optional<ShapeRef> shapeOnLine(const Picture& picture, int line);

}  // namespace pasdraw
