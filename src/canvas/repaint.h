// The full repaint of the canvas from the picture model.
#pragma once

#include <cstdint>

#include "canvas/surface.h"
#include "model/picture.h"

namespace pasdraw {

// Wipes the canvas and draws the frame, then every list in the order of
// Kinds (lines, rectangles, ellipses, circles and finally the fills), each in
// slot order.
void drowob(const Picture& picture, Surface& surface);

}  // namespace pasdraw
