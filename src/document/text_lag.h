// How far a program text lags behind the picture: the picture's shapes that
// the text does not draw. It says so after a save of a text older than the
// picture, so the user learns what the file lacks.
#pragma once

#include <optional>
#include <string_view>

#include "model/picture.h"

namespace pasdraw {

// The picture's shapes whose statement the text does not draw, counting a
// shape drawn twice twice; none when the text cannot become a picture (the
// user edited it into something else). A moved or recoloured shape counts,
// as the text draws it where and how it was.
std::optional<int> shapesTheTextLacks(const Picture& picture, std::string_view text);

}  // namespace pasdraw
