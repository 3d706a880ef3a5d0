#include "bgi/screen_state.h"

#include <cstring>

namespace pasdraw {

// A row of the pattern repeats every eight pixels, so the eight colours from
// x1 on are worked out once and written eight at a time. Nothing of the state
// is read inside the loops, where any pixel written could, as far as the
// compiler knows, have changed it. Out of line: inlined into the flood fill
// it costs that fill's solid spans registers.
void fillSpan(const ScreenState& s, uint8_t* row, int x1, int x2, int y, uint8_t mark) {
    const unsigned bits = FillPatterns[s.fillPattern][y & 7];
    const auto on = static_cast<uint8_t>((s.fillColor & 15) | mark);
    const auto off = static_cast<uint8_t>((s.bkColor & 15) | mark);
    uint8_t tile[8];
    for (int k = 0; k < 8; ++k) tile[k] = (bits >> (7 - ((x1 + k) & 7))) & 1 ? on : off;
    int x = x1;
    for (; x + 8 <= x2 + 1; x += 8) std::memcpy(row + x, tile, sizeof tile);
    for (; x <= x2; ++x) row[x] = tile[(x - x1) & 7];
}

}  // namespace pasdraw
