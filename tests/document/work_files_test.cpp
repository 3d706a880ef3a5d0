// Files back into the editor: a saved program's statements, the encodings
// and bad bytes a file may bring, and the recovery copy of unsaved work.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "codegen/codegen.h"
#include "codegen/picture_builder.h"
#include "document/document.h"
#include "document/file_text.h"
#include "document/recovery.h"
#include "document/sentences.h"
#include "support/env_count.h"

namespace pasdraw {
namespace {

std::string randomText(std::mt19937& rng, std::size_t most) {
    static constexpr std::string_view pieces[] = {
        "\r\n", "\n", "line(1,2,3,4);", " ", "end.", "\xC3\xA9", "repeat until keypressed; end.", "XK:=5;",
        "{",    "\t"};
    std::uniform_int_distribution<std::size_t> count(0, most), piece(0, std::size(pieces) - 1);
    std::string s;
    for (std::size_t n = count(rng); n > 0; --n) s += pieces[piece(rng)];
    return s;
}

void replaceAll(std::string& s, std::string_view from, std::string_view to) {
    for (std::size_t at = 0; (at = s.find(from, at)) != std::string::npos; at += to.size())
        s.replace(at, from.size(), to);
}

TEST(ProgramFileText, WhatSaveWritesComesBackExactlyAlsoWithLfLineEnds) {
    std::mt19937 rng(5);
    for (int i = 0; i < 500; ++i) {
        const std::string text = randomText(rng, 12);
        std::string file = programFileBytes(text);
        ASSERT_EQ(programFileText(file), text);
        const FileText read = readFileText(file);
        EXPECT_TRUE(read.savedProgram);
        EXPECT_EQ(read.text, text);
        replaceAll(file, "\r\n", "\n");
        std::string lf = text;
        replaceAll(lf, "\r\n", "\n");
        EXPECT_EQ(programFileText(file), lf) << file;
    }
}

TEST(FileText, EncodingsAndBytesThatAreNoProgram) {
    struct Case {
        std::string bytes;
        const char* text;  // nullptr: refused
        const char* encoding;
    };
    const Case cases[] = {
        {"line(1,2,3,4);", "line(1,2,3,4);", "UTF-8"},
        {"\xEF\xBB\xBF{ \xC3\xA9 }", "{ \xC3\xA9 }", "UTF-8"},
        {"{ \xE9t\xE9 }", "{ \xC3\xA9t\xC3\xA9 }", "Latin-1"},
        {"{ \xED\xA0\x80 }", "{ \xC3\xAD\xC2\xA0\xC2\x80 }", "Latin-1"},  // a surrogate is no UTF-8
        {"circle(1,1,1);\x1A", "circle(1,1,1);", "UTF-8"},
        {std::string("line\0(", 6), nullptr, ""},
        {"\x7F"
         "ELF\x02\x01\x01\x03\x04\x05\x06\x07\x08",
         nullptr, ""},
        {std::string(MaxProgramFileBytes + 1, ' '), nullptr, ""},
    };
    for (const Case& c : cases) {
        const FileText read = readFileText(c.bytes);
        EXPECT_EQ(read.problem.empty(), c.text != nullptr) << read.problem;
        if (c.text == nullptr) continue;
        EXPECT_EQ(read.text, c.text);
        EXPECT_STREQ(read.encoding, c.encoding);
    }
}

TEST(Recovery, WorkComesBackExactlyAndDamageIsRefused) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> any(-32768, 32767), colour(1, 15);
    for (int i = 0; i < 50; ++i) {
        RecoveredWork work;
        Picture& p = *work.picture;
        for (int n = i % 7; n > 0; --n) {
            const auto v = [&] { return static_cast<int16_t>(any(rng)); };
            testing::addLine(p, static_cast<int16_t>(colour(rng)), {v(), v(), v(), v(), 0, 0});
            testing::addEllipse(p, 3, {.X1 = v(), .X2 = v(), .Y1 = v(), .Y2 = v()});
            testing::addCircle(p, 4, {v(), v(), v(), 0, 0});
            testing::addFill(p, 5, v(), v(), 9);
            for (const KindInfo& k : Kinds)
                testing::addRandom(p, k.kind, static_cast<int16_t>(colour(rng)), rng, v);
        }
        work.text = randomText(rng, 20);
        if (i % 2 == 1) work.XK = any(rng) * 3;
        work.YK = static_cast<int16_t>(any(rng));
        work.sourcePath = i % 3 == 0 ? "" : "/home/me/h\xC3\xA4us\n.pas";
        work.savedAt = 1'800'000'000 + i;
        work.textIsStale = i % 2 == 0;
        const std::string bytes = recoveryBytes(work);
        const RecoveryRead back = readRecovery(bytes);
        ASSERT_TRUE(back.work.has_value()) << back.problem;
        EXPECT_EQ(recoveryBytes(*back.work), bytes);
        EXPECT_EQ(generateAbsolute(*back.work->picture), generateAbsolute(p));
        // Every cut of the file is refused, never half read.
        const std::size_t cut = std::uniform_int_distribution<std::size_t>(0, bytes.size() - 1)(rng);
        EXPECT_FALSE(readRecovery(bytes.substr(0, cut)).work.has_value()) << cut;
    }
    const RecoveryRead newer =
        readRecovery("pasdraw recovery " + std::to_string(RecoveryVersion + 1) + "\nwhatever\n");
    EXPECT_NE(newer.problem.find("newer"), std::string::npos) << newer.problem;
}

// A file written before the styles and the later kinds: its five lists
// with their old fields, every style at its default, the other lists empty.
TEST(Recovery, AVersionOneFileIsStillRead) {
    const std::string v1 =
        "pasdraw recovery 1\nsaved-at 1800000000\norigin none 0\nstale 0\nlast-colour 4 192\n"
        "source 0\n\ntext 14\nline(1,2,3,4);\n"
        "lines 1\n10 30 20 40 4 192\nrectangles 1\n-5 6 7 8 2 3\nellipses 1\n1 2 3 4 5 6 0 360\n"
        "circles 1\n100 200 30 9 10\nfills 1\n5 6 12 13 4 192\nend\n";
    const RecoveryRead read = readRecovery(v1);
    ASSERT_TRUE(read.work.has_value()) << read.problem;
    const Picture& p = *read.work->picture;
    EXPECT_EQ(p.Lines[0], (LineRecord{10, 30, 20, 40, 4, 192}));
    EXPECT_EQ(p.Rectangles[0], (RectangleRecord{-5, 6, 7, 8, 2, 3}));
    EXPECT_EQ(p.Ellipses[0], (EllipseRecord{1, 2, 3, 4, 5, 6, 0, 360}));
    EXPECT_EQ(p.Circles[0], (CircleRecord{100, 200, 30, 9, 10}));
    EXPECT_EQ(p.Fills[0], (FillRecord{5, 6, 12, 13, 4, 192}));
    EXPECT_EQ(p.recordCount(), 5);
    EXPECT_EQ(read.work->text, "line(1,2,3,4);");
    // Written again, it is a file of this version that reads back the same.
    const std::string now = recoveryBytes(*read.work);
    EXPECT_TRUE(now.starts_with("pasdraw recovery " + std::to_string(RecoveryVersion) + "\n"));
    EXPECT_EQ(generateAbsolute(*readRecovery(now).work->picture), generateAbsolute(p));
    // A version-1 record with the style fields of this version is damaged.
    std::string longer = v1;
    longer.replace(longer.find("10 30 20 40 4 192"), 17, "10 30 20 40 4 192 0 1");
    EXPECT_FALSE(readRecovery(longer).work.has_value());
}

// Save after a restore writes what it would have written before the crash:
// the close prompt's Save brings the stale text up to the newest picture in
// the form the text was in, Value's or the sliders' with their origin.
TEST(Recovery, RestoredWorkKeepsTheFormOfItsText) {
    const auto restored = [](const std::string& bytes) {
        auto after = std::make_unique<Document>();
        RecoveryRead read = readRecovery(bytes);
        EXPECT_TRUE(read.work.has_value()) << read.problem;
        after->offerRecovery(std::move(read.work), "");
        EXPECT_TRUE(after->restoreRecovery());
        EXPECT_EQ(after->closeWith(Document::CloseChoice::SaveNewest), Document::CloseAction::Save);
        return after;
    };
    const struct {
        const char* name;
        std::function<void(Document&)> write;
    } forms[] = {
        {"typed", [](Document& d) { d.pictureFromText("circle(30,40,5);", [](auto&) { return true; }); }},
        {"Generate", [](Document& d) { d.generate(); }},
        {"Value", [](Document& d) { d.value(); }},
        {"sliders", [](Document& d) { d.value(), d.sliderStep(true, 37), d.sliderStep(false, 420); }},
        {"the X slider alone", [](Document& d) { d.sliderStep(true, 5); }},
    };
    for (const auto& f : forms) {
        SCOPED_TRACE(f.name);
        Document before;
        testing::addCircle(before.picture(), 4, {.X = 3000, .Y = 2000, .Radius = 300});
        before.shapesReplaced();
        f.write(before);
        // A shape the text does not show yet.
        testing::addRectangle(before.picture(), 2, {.X1 = 500, .X2 = 1500, .Y1 = 600, .Y2 = 1700});
        before.shapesReplaced();
        ASSERT_TRUE(before.textIsStale());
        const std::string bytes = recoveryBytes(recoverableWork(before, 1'800'000'000));
        const std::unique_ptr<Document> after = restored(bytes);
        before.closeWith(Document::CloseChoice::SaveNewest);
        EXPECT_EQ(after->text(), before.text());

        // A copy made before the form was kept reads as Generate's text.
        const std::size_t form = bytes.find("\nform ");
        if (form == std::string::npos) continue;
        const std::string older = bytes.substr(0, form) + bytes.substr(bytes.find('\n', form + 1));
        EXPECT_EQ(restored(older)->text(), generateAbsolute(before.picture()));
        std::string unknown = bytes;
        unknown.replace(form + 6, 1, "x");
        EXPECT_NE(readRecovery(unknown).problem.find("form"), std::string::npos) << unknown.substr(form, 20);
    }
}

// Random bytes and damaged copies of real files through both readers: no
// crash, no hang, and every refusal has a reason. Run under the sanitizers.
TEST(Recovery, FuzzedFilesAreReadOrRefusedWithAReason) {
    const std::optional<long> rounds = testing::envCount("PASDRAW_FUZZ_FILES", 20000);
    ASSERT_TRUE(rounds.has_value()) << "PASDRAW_FUZZ_FILES is not a count";
    std::mt19937 rng(static_cast<unsigned>(testing::envCount("PASDRAW_FUZZ_SEED", 11).value_or(11)));
    RecoveredWork work;
    testing::addCircle(*work.picture, 2, {10, 20, 30, 0, 0});
    testing::addFill(*work.picture, 5, 1, 2, 2);
    work.text = "circle(1,2,3);\r\n";
    const std::string seeds[] = {recoveryBytes(work), programFileBytes(work.text)};
    std::uniform_int_distribution<int> byte(0, 255), op(0, 3);
    for (long r = 0; r < *rounds; ++r) {
        std::string s = seeds[r % 2];
        for (int edits = 1 + static_cast<int>(r % 8); edits > 0; --edits) {
            const std::size_t at = std::uniform_int_distribution<std::size_t>(0, s.size())(rng);
            switch (op(rng)) {
                case 0: s.insert(at, 1, static_cast<char>(byte(rng))); break;
                case 1:
                    if (at < s.size()) s[at] = static_cast<char>(byte(rng));
                    break;
                case 2: s.erase(at, 3); break;
                default: s.insert(at, std::to_string(byte(rng) * 1'000'003)); break;
            }
        }
        const RecoveryRead recovered = readRecovery(s);
        ASSERT_TRUE(recovered.work.has_value() || !recovered.problem.empty());
        if (recovered.work) {
            ASSERT_LE(recovered.work->picture->recordCount(), 5 * ListCapacity);
        }
        const FileText text = readFileText(s);
        ASSERT_TRUE(text.problem.empty() == (*text.encoding != '\0'));
    }
}

TEST(DocumentOpen, ASavedProgramOpensAsItWasAndAnotherTextStillOpens) {
    Document saved;
    saved.picture().selectColour(4, 0);
    saved.picture().commitRectangle({600, 3000, 600, 2250, 0, 0});
    saved.picture().commitCircle({3000, 3000, 455, 0, 0});
    saved.value();
    const std::string text = saved.text();

    Document opened;
    const Document::OpenOutcome outcome = opened.open(saved.saveBytes(text), "/work/house.pas");
    EXPECT_TRUE(outcome.opened && outcome.pictureFromText) << outcome.message;
    EXPECT_EQ(opened.text(), text);
    EXPECT_FALSE(opened.isModified());
    EXPECT_EQ(windowTitle(opened), "house.pas - pasdraw");
    opened.generate();
    saved.generate();
    EXPECT_EQ(opened.text(), saved.text());
    opened.value();

    // A whole saved program pasted before "Picture from text" keeps only
    // its statements.
    EXPECT_TRUE(
        opened.pictureFromText(saved.saveBytes(text), [](const std::string&) { return true; }).replaced);
    EXPECT_EQ(opened.text(), text);

    const Document::OpenOutcome partly =
        opened.open("line(1,2,3,4);\nbar3d(1,2,3,4,5,true);\n", "/work/bar.pas");
    EXPECT_TRUE(partly.opened && !partly.pictureFromText);
    EXPECT_NE(partly.message.find("line 2, column 1"), std::string::npos) << partly.message;
    EXPECT_TRUE(opened.picture().empty());
    EXPECT_EQ(opened.text(), "line(1,2,3,4);\nbar3d(1,2,3,4,5,true);\n");

    const Document::OpenOutcome binary = opened.open(std::string("\x01\x02\x03\0", 4), "/work/a.out");
    EXPECT_FALSE(binary.opened);
    EXPECT_EQ(opened.text(), "line(1,2,3,4);\nbar3d(1,2,3,4,5,true);\n");
}

}  // namespace
}  // namespace pasdraw
