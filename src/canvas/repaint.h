// The full repaint of the canvas from the picture model.
#pragma once

#include <cstdint>

#include "canvas/surface.h"
#include "model/picture.h"

namespace pasdraw {

// Twips to a device pixel for the device-context calls, with the screen factor
// read afresh at each conversion.
int32_t pxX(const Surface& surface, float twips);
int32_t pxY(const Surface& surface, float twips);

// Wipes the canvas and draws the frame, then lines, rectangles, ellipses,
// circles and finally the fills, each list in slot order.
void drowob(const Picture& picture, Surface& surface);

}  // namespace pasdraw
