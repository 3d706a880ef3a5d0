#include "model/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace pasdraw {
namespace {

struct StoredCase {
    float in;
    int16_t out;
};

TEST(ToStored, RoundsHalvesToEvenAndSaturates) {
    const StoredCase cases[] = {
        {0.5f, 0},           {1.5f, 2},
        {2.5f, 2},           {-0.5f, 0},
        {-1.5f, -2},         {-2.5f, -2},
        {1500.4f, 1500},     {1500.6f, 1501},
        {32767.0f, 32767},   {32767.4f, 32767},
        {40000.0f, 32767},   {-40000.0f, -32768},
        {-32768.0f, -32768}, {1e30f, 32767},
        {-1e30f, -32768},    {std::numeric_limits<float>::infinity(), 32767},
    };
    for (const auto& c : cases) EXPECT_EQ(toStored(c.in), c.out) << "input " << c.in;
    EXPECT_EQ(toStored(std::nanf("")), 0);
    // The radius of the worked circle: sqrt(2925) = 54.08.
    EXPECT_EQ(toStored(std::sqrt(2925.0)), 54);
}

struct PixelCase {
    float twips;
    float perPixel;
    int32_t px;
};

TEST(TwipsToPixel, DividesInSinglePrecisionAndRoundsHalvesToEven) {
    const PixelCase cases[] = {
        {6, 12, 0},
        {18, 12, 2},
        {30, 12, 2},
        {-6, 12, 0},
        {-18, 12, -2},
        {1000, 15, 67},
        {6400, 15, 427},
        {4800, 15, 320},
        {9645, 15, 643},
        {7965, 15, 531},
        {6400, 10, 640},
        {4800, 10, 480},
        {7.5f, 15, 0},
        {22.5f, 15, 2},
        {1e30f, 15, 2147483647},
        {-1e30f, 15, -2147483647 - 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(twipsToPixel(c.twips, c.perPixel), c.px) << c.twips << " at " << c.perPixel;
    }
}

}  // namespace
}  // namespace pasdraw
