// One comparison of two 640 x 480 screens, for every test that holds the
// screen against another: how many pixels differ, and the first few of them
// described for the failure message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace pasdraw::testing {

struct PixelDiff {
    int count = 0;
    // " (x,y) <their name> <theirs> ours <ours>" for each of the first five.
    std::string first;
};

// Compares `theirs` with `ours`, both row-major, `width` pixels a row and
// `pixels` in all; colours are written in hex when `hex` is set.
template <class T>
PixelDiff diffPixels(const T* theirs, const T* ours, std::string_view theirName, bool hex = false,
                     std::size_t pixels = 640 * 480, std::size_t width = 640) {
    PixelDiff d;
    std::ostringstream first;
    if (hex) first << std::hex;
    for (std::size_t i = 0; i < pixels; ++i) {
        if (theirs[i] == ours[i]) continue;
        if (d.count++ < 5)
            first << " (" << std::dec << i % width << "," << i / width << (hex ? std::hex : std::dec) << ") "
                  << theirName << " " << uint64_t{theirs[i]} << " ours " << uint64_t{ours[i]};
    }
    d.first = first.str();
    return d;
}

template <class T>
PixelDiff diffPixels(const std::vector<T>& theirs, const std::vector<T>& ours, std::string_view theirName,
                     bool hex = false) {
    return diffPixels(theirs.data(), ours.data(), theirName, hex,
                      theirs.size() < ours.size() ? theirs.size() : ours.size());
}

}  // namespace pasdraw::testing
