// What every row of the kind table must keep, whatever the kind: its tool
// draws its own kind, and its handles follow the record when it moves. A new
// kind passes these without a line here.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <random>
#include <utility>

#include "editor/selection.h"
#include "editor/tools.h"
#include "kinds/kinds.h"

namespace pasdraw {
namespace {

template <class F>
void forEachKind(F&& f) {
    [&]<std::size_t... I>(std::index_sequence<I...>) { (f.template operator()<Kinds[I].kind>(), ...); }
    (std::make_index_sequence<KindCount>{});
}

TEST(KindContract, EachRowsToolDrawsItsOwnKind) {
    forEachKind([]<Kind K>() {
        SCOPED_TRACE(kindName(K));
        const ShapeTool* tool = toolFor(static_cast<int16_t>(K));
        ASSERT_NE(tool, nullptr);
        EXPECT_EQ(tool->kind(), K);
        Picture p;
        p.beginDrag(1000, 1000);
        const std::optional<ShapeRecord> r = tool->record(p, 2000, 1500);
        if (r) {
            EXPECT_TRUE(std::holds_alternative<RecordOfKind<K>>(*r));
        }
    });
}

TEST(KindContract, HandlesFollowAMove) {
    std::mt19937 rng(22);
    // Far enough from the 16-bit limits that nothing saturates.
    std::uniform_int_distribution<int> value(-10000, 10000), step(-3000, 3000);
    forEachKind([&]<Kind K>() {
        SCOPED_TRACE(kindName(K));
        for (int n = 0; n < 200; ++n) {
            RecordOfKind<K> r{};
            KindFor<RecordOfKind<K>>::fields(
                r, [&](auto& v) { v = static_cast<std::decay_t<decltype(v)>>(value(rng)); });
            // A polygon has 3 to 32 corners, as every one drawn or read from text.
            if constexpr (requires { r.Count; })
                r.Count = static_cast<int16_t>(
                    MinPolygonCorners + std::abs(r.Count) % (MaxPolygonCorners - MinPolygonCorners + 1));
            const int dx = step(rng), dy = step(rng);
            const std::vector<HandlePoint> before = handlesOf(r), after = handlesOf(movedBy(r, dx, dy));
            ASSERT_EQ(after.size(), before.size());
            ASSERT_FALSE(before.empty());
            for (std::size_t h = 0; h < before.size(); ++h) {
                EXPECT_EQ(after[h].x, before[h].x + dx) << "handle " << h;
                EXPECT_EQ(after[h].y, before[h].y + dy) << "handle " << h;
            }
        }
    });
}

}  // namespace
}  // namespace pasdraw
