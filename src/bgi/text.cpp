#include "bgi/text.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace pasdraw {
namespace {

constexpr uint8_t DefaultFont[256][8] = {
#include "bgi/default_font.inc"
};

}  // namespace

int textSizeAfter(int current, uint16_t font, uint16_t charSize) {
    if (font > 10) return current;
    if (charSize == 0) return 1;
    return font == 0 ? std::min<int>(charSize, 10) : charSize;
}

void drawText(ScreenState& st, int x, int y, std::string_view bytes) {
    const int s = st.textSize;
    const int w = static_cast<int>(bytes.size()) * GlyphSize * s, h = GlyphSize * s;
    const uint8_t c = st.drawColour();
    st.work += 1 + bytes.size();
    // Glyph pixel (gx, gy) of the glyph at `index` is a square of s x s; a
    // run of them along a glyph row is one rectangle, and `rect` gets its
    // offsets along the string (first and last square) and across it and
    // fills what of it falls on the screen, so a huge size costs no more
    // than the screen.
    const auto drawGlyphs = [&](auto rect) {
        for (std::size_t index = 0; index < bytes.size(); ++index) {
            const uint8_t* glyph = DefaultFont[static_cast<uint8_t>(bytes[index])];
            const int along = static_cast<int>(index) * h;
            for (int gy = 0; gy < GlyphSize; ++gy) {
                const unsigned bits = glyph[gy];
                for (int gx = 0; gx < GlyphSize;) {
                    if (!(bits & (0x80u >> gx))) {
                        ++gx;
                        continue;
                    }
                    const int first = gx;
                    while (gx + 1 < GlyphSize && (bits & (0x80u >> (gx + 1)))) ++gx;
                    rect(along + first * s, along + gx * s, gy * s);
                    ++gx;
                }
            }
        }
    };
    const Box box = clipBox(st);
    const auto fill = [&](int x1, int y1, int x2, int y2) {
        x1 = std::max(x1, static_cast<int>(box.left));
        y1 = std::max(y1, static_cast<int>(box.top));
        x2 = std::min(x2, static_cast<int>(box.right));
        y2 = std::min(y2, static_cast<int>(box.bottom));
        if (x1 > x2 || y1 > y2) return;
        for (int py = y1; py <= y2; ++py)
            std::memset(&st.at(x1, py), c, static_cast<std::size_t>(x2 - x1 + 1));
        st.work += static_cast<uint64_t>(x2 - x1 + 1) * static_cast<uint64_t>(y2 - y1 + 1);
    };
    if (!st.verticalText) {
        const int left = x - (st.justifyH == 0 ? 0 : st.justifyH == 1 ? w / 2 : w);
        const int top = y - (st.justifyV == 0 ? h : st.justifyV == 1 ? h / 2 : 0);
        drawGlyphs([&](int first, int last, int across) {
            fill(left + first, top + across, left + last + s - 1, top + across + s - 1);
        });
    } else {
        const int left = x - (s - 1) - (st.justifyH == 1 ? h / 2 : h);
        const int bottom = y + (s - 1) + (st.justifyV == 0 ? 0 : st.justifyV == 1 ? w / 2 : w);
        drawGlyphs([&](int first, int last, int across) {
            fill(left + across, bottom - last - s + 1, left + across + s - 1, bottom - first);
        });
    }
}

}  // namespace pasdraw
