// One run of the text box's statements as the program preview shows it: the
// 640 x 480 screen the program drew, the sixteen colours it shows them in, and
// the sentence that says what the run did. No Qt: the preview window only
// turns this into an image and a label.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bgi/bgi_screen.h"
#include "program/program.h"

namespace pasdraw {

struct PreviewRun {
    static constexpr int Width = BgiScreen::Width;
    static constexpr int Height = BgiScreen::Height;

    std::string text;  // the text that ran, UTF-8
    // Colour numbers 0..15, row by row, Width * Height of them.
    std::vector<uint8_t> pixels;
    // 0xRRGGBB for each colour number. Entry 0 is the background colour the
    // program chose.
    std::array<uint32_t, 16> palette{};
    RunResult result;
};

// Runs a UTF-8 text as the preview does: its statements on a fresh screen.
PreviewRun runPreview(std::string_view utf8);

// The sentence under the picture.
std::string describeRun(const RunResult& result);

}  // namespace pasdraw
