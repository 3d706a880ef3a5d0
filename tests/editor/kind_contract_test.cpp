// What every row of the kind table must keep, whatever the kind: its tool
// draws its own kind, and its handles follow the record when it moves. A new
// kind passes these without a line here.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>

#include "canvas/raster_surface.h"
#include "canvas/repaint.h"
#include "editor/editor.h"
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

// Through the editor, as the mouse does it: every tool's whole gesture
// stores one record of its own kind, and a gesture cut short by Escape
// stores none and leaves the canvas as a repaint of the model.
TEST(KindContract, EachToolsGestureStoresOneOfItsKind) {
    forEachKind([]<Kind K>() {
        SCOPED_TRACE(kindName(K));
        for (const bool cancelled : {false, true}) {
            Picture p;
            RasterSurface surface(15.0f, 15.0f), fresh(15.0f, 15.0f);
            Editor e(p, surface);
            e.Form_Load();
            e.selectTool(static_cast<int16_t>(K));
            const auto click = [&](float x, float y) {
                e.Form_MouseDown(1, 0, x, y);
                return e.Form_MouseUp(1, 0, x, y);
            };
            ReleaseResult last;
            bool tookSteps = true;
            switch (toolFor(static_cast<int16_t>(K))->gesture()) {
                case Gesture::Drag:
                    tookSteps = false;
                    e.Form_MouseDown(1, 0, 2000, 2000);
                    e.Form_MouseMove(1, 0, 2600, 2300);
                    last = e.Form_MouseUp(1, 0, 2900, 2600);
                    break;
                case Gesture::Sweep:
                    e.Form_MouseDown(1, 0, 2000, 2000);
                    e.Form_MouseMove(1, 0, 2300, 2000);
                    EXPECT_FALSE(e.Form_MouseUp(1, 0, 2600, 2000).committed);  // the start, at 0 degrees
                    e.Form_MouseMove(0, 0, 2000, 1500);
                    if (!cancelled) last = click(2000, 1400);  // the end, at 90
                    break;
                case Gesture::Corners:
                    for (const auto& [x, y] : {std::pair(2000, 2000), {3000, 2000}, {3000, 3000}})
                        EXPECT_FALSE(click(static_cast<float>(x), static_cast<float>(y)).committed);
                    e.Form_MouseMove(0, 0, 2500, 2500);
                    if (!cancelled) last = click(2010, 1995);  // on the first corner: closed
                    break;
                case Gesture::Text:
                    EXPECT_FALSE(click(2000, 2000).committed);
                    if (!cancelled) last = e.finishLabel("It's 8 o'clock");
                    break;
            }
            if (cancelled) {
                if (!tookSteps) continue;
                EXPECT_TRUE(e.cancelGesture());
                EXPECT_EQ(p.count(K), 0);
                EXPECT_EQ(p.state.MouseIsDown, 0);
                drowob(p, fresh);
                EXPECT_EQ(std::memcmp(surface.bits(), fresh.bits(),
                                      sizeof(uint32_t) *
                                          static_cast<std::size_t>(surface.width() * surface.height())),
                          0);
                continue;
            }
            EXPECT_TRUE(last.committed);
            ASSERT_EQ(p.count(K), 1);
            const auto& r = p.list<K>()[0];
            if constexpr (K == Kind::Arc || K == Kind::PieSlice) {
                EXPECT_EQ(r.X, 2000);
                EXPECT_EQ(r.Radius, 600);
                EXPECT_EQ(r.StartAngle, 0);
                EXPECT_EQ(r.EndAngle, 90);
            }
            if constexpr (K == Kind::Polygon) {
                EXPECT_EQ(r.Count, 3);
            }
            if constexpr (K == Kind::Label) {
                EXPECT_EQ(LabelKind::text(r), "It's 8 o'clock");
            }
            EXPECT_FALSE(e.gestureUnderWay());
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
