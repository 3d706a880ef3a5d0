// Picking a drawn shape and changing it: which records lie under a point,
// the handles a picked record shows, and the records a move, a handle drag or
// a new colour make. Pure functions on the model, in twips; the document
// keeps the selection and the history of the edits.
#pragma once

#include <cstdint>
#include <vector>

#include "editor/editor.h"
#include "kinds/shape_geometry.h"
#include "model/picture.h"

namespace pasdraw {

// The records whose drawing passes within `tolerance` twips of (x, y), in
// the order a press picks them: the one painted last first. That is fills,
// then circles, ellipses, rectangles and lines, the newest first in each.
// A line is near along its length, a rectangle along its four edges, an
// ellipse or a circle along the part of its outline that is drawn, and a
// fill at its seed point.
std::vector<ShapeRef> shapesAt(const Picture& picture, float x, float y, float tolerance);

ShapeRecord recordOf(const Picture& picture, ShapeRef ref);
// Replaces the record at ref; false when the slot holds no record.
bool storeRecord(Picture& picture, ShapeRef ref, const ShapeRecord& record);

// The points of a record that can be dragged, in twips: a line's two ends, a
// rectangle's or ellipse's four corners (the press corner first, then round
// the box), a point on a circle's rim (right of the centre), a fill's seed.
std::vector<HandlePoint> handlesOf(const ShapeRecord& record);

// The record moved by (dx, dy) twips; every coordinate saturates at 16 bits.
ShapeRecord movedBy(const ShapeRecord& record, int dx, int dy);
// The record with handle h (an index into handlesOf) moved by (dx, dy)
// twips. The circle's rim handle sets the radius to its distance from the
// centre; the fill's seed moves the fill.
ShapeRecord handleMovedBy(const ShapeRecord& record, int h, int dx, int dy);
// The record in another colour: an outline's colour, or a fill's fill colour,
// or with `border` a fill's border colour. An outline ignores `border`.
ShapeRecord recoloured(const ShapeRecord& record, int16_t index, int32_t rgb, bool border);

// The record in another style, where its kind has that style: a fill's,
// bar's or pie slice's pattern; a line's, rectangle's or polygon's line
// style; the width of every outline but a pie slice's; a label's text size
// and direction. Other records come back as they were.
ShapeRecord restyled(const ShapeRecord& record, Style style, int16_t value);

}  // namespace pasdraw
