// Random pictures, written in the absolute, "Value" and slider forms and
// wrapped as the saved program, must all be accepted by Free Pascal. The
// pictures range from empty to a few hundred records of every kind (well
// below the size at which the compiler gives up on a too complex main block).
//
// PASDRAW_FPC_PROGRAMS: how many programs to compile (default 30, three per
// picture). PASDRAW_FPC_SEED: the seed of the pictures (default 1).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "codegen/codegen.h"
#include "fuzz/program_text_check.h"
#include "model/palette.h"
#include "support/env_count.h"
#include "support/free_pascal.h"

namespace pasdraw {
namespace {

namespace fs = std::filesystem;
using fuzz::TextForm;
using fuzz::TextOrigin;

using testing::envCount;

class PictureMaker {
public:
    explicit PictureMaker(uint64_t seed) : rng_(seed) {}

    // `perKind` records of every kind, committed in random kind order so that
    // fills get the borders a real session would give them.
    std::unique_ptr<Picture> make(int perKind) { return make({perKind, perKind, perKind, perKind, perKind}); }

    std::unique_ptr<Picture> makeRandom() {
        std::array<int, 5> counts{};
        for (int& n : counts) {
            const int r = uniform(0, 9);
            n = r < 2 ? 0 : r < 7 ? uniform(1, 6) : uniform(7, 40);
        }
        return make(counts);
    }

    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

private:
    std::unique_ptr<Picture> make(std::array<int, 5> counts) {
        auto p = std::make_unique<Picture>();
        std::vector<int> order;
        for (int k = 0; k < 5; ++k)
            order.insert(order.end(), static_cast<std::size_t>(counts[static_cast<std::size_t>(k)]), k);
        std::shuffle(order.begin(), order.end(), rng_);
        for (int k : order) {
            const PaletteEntry& e =
                Palette[static_cast<std::size_t>(uniform(0, static_cast<int>(Palette.size()) - 1))];
            p->selectColour(e.index, e.rgb);
            CommitResult r = CommitResult::Refused;
            switch (k) {
                case 0: r = p->commitLine({x(), x(), y(), y(), 0, 0}); break;
                case 1: r = p->commitRectangle({x(), x(), y(), y(), 0, 0}); break;
                case 2: r = p->commitEllipse({x(), x(), y(), y(), 0, 0, 0, 0}); break;
                case 3: r = p->commitCircle({x(), y(), radius(), 0, 0}); break;
                default: r = p->commitFill(x(), y()); break;
            }
            EXPECT_EQ(r, CommitResult::Committed);
        }
        return p;
    }

    // Mostly on the canvas, some negative (a pointer dragged beyond the left or
    // top edge), a few anywhere in 16 bits.
    int16_t coordinate(int limit) {
        const int r = uniform(0, 99);
        if (r < 85) return static_cast<int16_t>(uniform(0, limit));
        if (r < 97) return static_cast<int16_t>(uniform(-32768, -1));
        return static_cast<int16_t>(uniform(-32768, 32767));
    }
    int16_t x() { return coordinate(CanvasWidth); }
    int16_t y() { return coordinate(CanvasHeight); }
    int16_t radius() {
        return static_cast<int16_t>(uniform(0, 9) == 0 ? uniform(0, 32767) : uniform(0, 3000));
    }

    std::mt19937_64 rng_;
};

struct Program {
    std::string name;
    std::string bytes;
    bool broken = false;  // must be rejected
};

struct Outcome {
    const Program* program;
    testing::CompileResult result;
};

TEST(FreePascalSamples, RandomPicturesCompileInEveryForm) {
    const std::optional<fs::path> fpc = testing::findOnPath("fpc");
    const std::string problem = testing::freePascalProblem(fpc);
    ASSERT_EQ(problem, "");
    const std::optional<long> wanted = envCount("PASDRAW_FPC_PROGRAMS", 30);
    const std::optional<long> seed = envCount("PASDRAW_FPC_SEED", 1);
    ASSERT_TRUE(wanted.has_value()) << "PASDRAW_FPC_PROGRAMS must be a non-negative number";
    ASSERT_TRUE(seed.has_value()) << "PASDRAW_FPC_SEED must be a non-negative number";

    PictureMaker maker(static_cast<uint64_t>(*seed));
    std::vector<Program> programs;
    long records = 0;
    for (long k = 0; static_cast<long>(programs.size()) < std::max(*wanted, 3L); ++k) {
        // The first picture is the large one, so even a short run has it.
        const std::unique_ptr<Picture> p = k == 0   ? maker.make(300)
                                           : k == 1 ? maker.make(0)
                                                    : maker.makeRandom();
        records +=
            p->LineCount() + p->RectangleCount() + p->EllipseCount() + p->CircleCount() + p->FillCount();
        const Origin origin = computeOrigin(*p);
        std::optional<int32_t> XK;
        switch (maker.uniform(0, 3)) {
            case 0: break;  // no slider or "Value" yet
            case 1: XK = origin.XK; break;
            default: XK = maker.uniform(0, 640); break;
        }
        const auto YK = static_cast<int16_t>(maker.uniform(0, 480));
        struct Form {
            const char* name;
            TextForm form;
            TextOrigin origin;
            std::string text;
        };
        const Form forms[] = {
            {"absolute", TextForm::Absolute, {}, generateAbsolute(*p)},
            {"value", TextForm::Value, {origin.XK, origin.YK}, generateValueForm(*p, origin)},
            {"slider", TextForm::Slider, {XK.value_or(0), YK}, generateSliderForm(*p, XK, YK)},
        };
        for (const Form& f : forms) {
            const std::string fault = fuzz::checkProgramText(*p, f.form, f.origin, f.text);
            ASSERT_EQ(fault, "") << "picture " << k << ", " << f.name << " form";
            // Appended, not `"p" + std::string&&`: GCC 12 at -O3 reports a false
            // overlapping copy (-Wrestrict) in the inlined operator+.
            std::string name = "p";
            name += std::to_string(k);
            name += '_';
            name += f.name;
            name += ".pas";
            programs.push_back({name, testing::forFreePascal(f.text)});
            ASSERT_TRUE(programs.back().bytes.starts_with("uses ptcgraph,ptccrt;\r\n"));
        }
    }
    // One program fpc must reject, somewhere among the others: proof that each
    // verdict belongs to its own program and is actually read.
    const auto brokenAt = static_cast<std::size_t>(maker.uniform(0, static_cast<int>(programs.size())));
    programs.insert(programs.begin() + static_cast<std::ptrdiff_t>(brokenAt),
                    {"broken.pas", testing::forFreePascal("setcolor(4);line(1,2,3);\r\n"), true});

    // fpc spends most of its time loading the graph unit, so two run side by
    // side, each in a folder of its own (fpc rewrites its script file in the
    // folder it works in).
    testing::ScratchDir dir;
    ASSERT_FALSE(dir.path().empty());
    constexpr std::size_t Workers = 2;
    std::vector<Outcome> outcomes(programs.size());
    std::vector<std::thread> threads;
    for (std::size_t w = 0; w < Workers; ++w) {
        const fs::path folder = dir.path() / ("worker" + std::to_string(w));
        fs::create_directory(folder);
        threads.emplace_back([&, w, folder] {
            for (std::size_t i = w; i < programs.size(); i += Workers) {
                outcomes[i] = {&programs[i],
                               testing::compileIn(*fpc, folder, programs[i].name, programs[i].bytes)};
            }
        });
    }
    for (std::thread& t : threads) t.join();

    long compiled = 0;
    for (const Outcome& o : outcomes) {
        if (o.program->broken) {
            EXPECT_NE(o.result.exitCode, 0) << "fpc accepted a broken program:\n" << o.result.output;
            EXPECT_NE(o.result.output.find("Error"), std::string::npos) << o.result.output;
            continue;
        }
        ++compiled;
        EXPECT_EQ(o.result.exitCode, 0) << o.program->name << " was rejected:\n"
                                        << o.program->bytes.substr(0, 2000) << "\nfpc said:\n"
                                        << o.result.output;
    }
    std::printf("%ld programs (%ld records over all pictures) compiled\n", compiled, records);
    RecordProperty("programs", static_cast<int>(compiled));
}

}  // namespace
}  // namespace pasdraw
