// Long random sessions of the Select tool through the document: presses on
// shapes, handles and nothing, drags to anywhere including far beyond the
// 16-bit range, arrow keys, palette clicks, Delete, Escape, and undo and redo
// at random (drawing between edits is the editor fuzz test's part). Every edit is one step, so undoing walks
// back through the pictures the edits made and redo walks forward again; the canvas always equals a fresh
// repaint of the model (handles never reach it) and the text Generate writes reads back as the picture.
//
// PASDRAW_FUZZ_EVENTS: events (default 200000, a fiftieth of them here).
// PASDRAW_FUZZ_SEED: the seed (default 1).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "canvas/repaint.h"
#include "codegen/codegen.h"
#include "document/document.h"
#include "document/sentences.h"
#include "fuzz/program_text_check.h"
#include "model/palette.h"
#include "support/env_count.h"

namespace pasdraw {
namespace {

template <class Record>
std::vector<Record> all(const ShapeList<Record>& list) {
    return {list.records().begin(), list.records().end()};
}
using Lists = std::tuple<std::vector<LineRecord>, std::vector<RectangleRecord>, std::vector<EllipseRecord>,
                         std::vector<CircleRecord>, std::vector<FillRecord>>;
Lists lists(const Picture& p) {
    return {all(p.Lines), all(p.Rectangles), all(p.Ellipses), all(p.Circles), all(p.Fills)};
}

TEST(SelectFuzz, EditsUndoAndRedoStepByStep) {
    const long events = testing::envCount("PASDRAW_FUZZ_EVENTS", 200000).value_or(200000) / 50;
    std::mt19937_64 rng(static_cast<uint64_t>(testing::envCount("PASDRAW_FUZZ_SEED", 1).value_or(1)));
    const auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    // Mostly on the canvas, sometimes anywhere a captured pointer can go.
    const auto coordinate = [&](int size) {
        return static_cast<float>(uniform(0, 9) == 0 ? uniform(-80000, 80000) : uniform(0, size));
    };

    auto doc = std::make_unique<Document>();
    for (int i = 0; i < 60; ++i) {
        doc->selectTool(static_cast<int16_t>(uniform(1, 5)));
        const float x = coordinate(6400), y = coordinate(4800);
        doc->pointerPress(1, 0, x, y);
        doc->pointerRelease(1, 0, x + coordinate(600) - 300, y + coordinate(600) - 300);
    }
    doc->selectTool(Document::SelectTool);
    RasterSurface fresh(15.0f, 15.0f);
    std::vector<Lists> done{lists(doc->picture())}, undone;
    long edits = 0, undos = 0;

    for (long e = 0; e < events; ++e) {
        const std::string at = "event " + std::to_string(e);
        const Lists before = lists(doc->picture());
        const int op = uniform(0, 8);
        if (op <= 1) {
            // The picture is always done.back(); undo and redo move one step.
            if (op == 0 && done.size() > 1) {
                undone.push_back(done.back());
                done.pop_back();
                ++undos;
            } else if (op == 1 && !undone.empty()) {
                done.push_back(undone.back());
                undone.pop_back();
            }
            op == 0 ? doc->undo() : static_cast<void>(doc->redo());
            ASSERT_EQ(lists(doc->picture()), done.back()) << at;
            continue;
        }
        const std::optional<ShapeRef> picked = doc->selection();
        switch (op) {
            case 2:
            case 3: {
                // Press on a shape's handle or near its outline, or anywhere.
                float x = coordinate(6400), y = coordinate(4800);
                if (picked && uniform(0, 1) == 0) {
                    const std::vector<HandlePoint> h = handlesOf(recordOf(doc->picture(), *picked));
                    const HandlePoint& p =
                        h[static_cast<std::size_t>(uniform(0, static_cast<int>(h.size()) - 1))];
                    x = static_cast<float>(p.x + uniform(-40, 40));
                    y = static_cast<float>(p.y + uniform(-40, 40));
                }
                doc->pointerPress(1, 0, x, y);
                for (int m = uniform(0, 3); m > 0; --m)
                    doc->pointerMove(1, 0, coordinate(6400), coordinate(4800));
                doc->pointerRelease(1, 0, coordinate(6400), coordinate(4800));
                break;
            }
            case 4:
            case 5: doc->nudge(uniform(-1, 1) * (uniform(0, 1) ? 10 : 100), uniform(-1, 1) * 10); break;
            case 6: {
                const PaletteEntry& c = Palette.at(static_cast<std::size_t>(uniform(0, 14)));
                doc->selectColour(c.index, c.rgb, uniform(0, 1) == 0);
                break;
            }
            case 7: doc->deleteSelection(); break;
            default: doc->clearSelection(); break;
        }
        if (lists(doc->picture()) != before) {
            done.push_back(lists(doc->picture()));
            undone.clear();
            ++edits;
        }
        if (const auto& s = doc->selection()) {
            ASSERT_LT(s->index, doc->picture().count(s->kind)) << at;
            ASSERT_EQ(dragLine(*doc), statementFor(recordOf(doc->picture(), *s))) << at;
        }
        if (e % 50 == 0) {
            drowob(doc->picture(), fresh);
            const RasterSurface& canvas = doc->surface();
            ASSERT_TRUE(
                std::equal(canvas.bits(), canvas.bits() + canvas.width() * canvas.height(), fresh.bits()))
                << at << ": the canvas is not a repaint of the model";
            doc->generate();
            ASSERT_EQ(fuzz::checkProgramText(doc->picture(), fuzz::TextForm::Absolute, {}, doc->text()), "")
                << at;
            // A line of the generated text picks its statement's shape, and back.
            const int line = uniform(1, std::max(1, doc->picture().recordCount()));
            doc->selectLine(line);
            ASSERT_EQ(doc->selectedLine(), doc->picture().recordCount() > 0 ? line : 0) << at;
        }
    }
    std::printf("%ld events: %ld edits, %ld undone\n", events, edits, undos);
    if (events >= 1000) {
        EXPECT_GT(edits, events / 20);
        EXPECT_GT(undos, events / 100);
    }
}

}  // namespace
}  // namespace pasdraw
