// Statements back into a picture: runs a text with the interpreter and turns
// every drawing call into a record of its kind, in call order, coordinates
// times 10 as twips. All or nothing: a text that has problems, or draws
// anything the picture cannot hold, gives the reasons line by line instead.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/picture.h"

namespace pasdraw {

struct ImportProblem {
    int line = 0;
    int column = 0;
    std::string message;
};

struct PictureImport {
    // The shapes, set when nothing stands in the way; LastColor* is the
    // colour of the last outline drawn.
    std::optional<Picture> picture;
    std::vector<ImportProblem> problems;  // in text order
    // The origin the text assigned last, when it assigned XK or YK.
    bool assignedOrigin = false;
    int16_t XK = 0;
    int16_t YK = 0;
};

PictureImport importPicture(std::string_view text);

}  // namespace pasdraw
