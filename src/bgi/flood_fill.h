// FloodFill as the graph unit fills: 4-connected runs from the seed, with
// the unit's bounded list of pending seeds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "bgi/screen_state.h"

namespace pasdraw {

// The fill's work list, kept between fills to save its allocation, and the
// runs found above and below a span.
struct FloodScratch {
    struct Seed {
        int16_t x, y;
    };
    // The most pending seeds the unit keeps; a push onto a full list is dropped.
    static constexpr std::size_t SeedCapacity = 1023;
    std::vector<Seed> seeds;
    std::vector<int16_t> below;
    std::vector<int16_t> above;
};

// Fills from (seedX, seedY), relative to the viewport, up to pixels of the
// border word's colour, within the clipping box, in the fill style.
void floodFill(ScreenState& s, FloodScratch& scratch, int16_t seedX, int16_t seedY, uint32_t border);

}  // namespace pasdraw
