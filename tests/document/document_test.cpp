// The whole user story through the document, with no widget: drawing,
// Generate, typing, Value, a slider step, picture from text, undo and redo,
// the save bytes and the modified mark, and what each step announces.
#include "document/document.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "codegen/codegen.h"
#include "document/sentences.h"
#include "model/palette.h"

namespace pasdraw {
namespace {

// The text box as a plain string, typed into by the test.
struct Typed final : TextBuffer {
    std::string value;
    std::string text() const override { return value; }
    void setText(const std::string& text) override { value = text; }
};

struct Story {
    std::unique_ptr<Document> doc = std::make_unique<Document>();
    Typed box;
    std::vector<Changes> heard;
    std::vector<bool> staleWhenHeard;
    Story() {
        doc->attachText(&box);
        doc->subscribe([this](Changes c) {
            heard.push_back(c);
            staleWhenHeard.push_back(doc->textIsStale());
        });
    }
    // One drag with the pointer, the readout's statement read just before
    // the release.
    std::string drag(Kind kind, int colour, float x1, float y1, float x2, float y2) {
        doc->selectTool(static_cast<int16_t>(kind));
        const PaletteEntry& c = Palette.at(static_cast<std::size_t>(colour - 1));
        doc->selectColour(c.index, c.rgb);
        doc->pointerPress(1, 0, x1, y1);
        doc->pointerMove(1, 0, (x1 + x2) / 2, (y1 + y2) / 2);
        doc->pointerMove(1, 0, x2, y2);
        const std::string shown = dragLine(*doc);
        doc->pointerRelease(1, 0, x2, y2);
        return shown;
    }
    std::vector<Changes> take() { return std::exchange(heard, {}); }
};

TEST(Document, OneUserStoryWithoutAWidget) {
    Story s;
    EXPECT_FALSE(s.doc->isModified());
    EXPECT_EQ(statusLine(*s.doc), "choose a tool to draw");

    // 1. Draw: what the readout shows during a drag is what Generate writes.
    const struct {
        Kind kind;
        int colour;
        float x1, y1, x2, y2;
    } drags[] = {{Kind::Line, 4, 1500, 3000, 4515, 735},
                 {Kind::Rectangle, 2, 6000, 4500, 45, 30},
                 {Kind::Ellipse, 14, 4500, 3000, 1485, 1515},
                 {Kind::Circle, 1, 3000, 3000, 3900, 4200}};
    std::string shown;
    for (const auto& d : drags) shown += s.drag(d.kind, d.colour, d.x1, d.y1, d.x2, d.y2) + "\r\n";
    s.doc->selectTool(static_cast<int16_t>(Kind::Fill));
    s.doc->pointerRelease(1, 0, 3000, 3100);
    EXPECT_EQ(statusLine(*s.doc), "fills stop at BLUE (1)");
    EXPECT_TRUE(s.doc->textIsStale());
    EXPECT_TRUE(s.doc->isModified());
    EXPECT_EQ(pointerLine(*s.doc), "x 390, y 420");  // the last move, 3900 and 4200 twips
    EXPECT_EQ(dragLine(*s.doc), "");

    // 2. Generate.
    s.take();
    s.doc->generate();
    const std::string generated = s.box.value;
    EXPECT_EQ(generated.substr(0, shown.size()), shown);
    EXPECT_FALSE(s.doc->textIsStale());
    EXPECT_EQ(s.take(), std::vector<Changes>{TextReplaced | MarksChanged});

    // 3. Type; 4. Value; 5. a slider step.
    s.box.value += "{ mine }";
    s.doc->value();
    EXPECT_EQ(s.box.value, generateValueForm(s.doc->picture(), computeOrigin(s.doc->picture())));
    const int32_t xk = *s.doc->XK();
    s.doc->sliderStep(true, xk - 1);
    EXPECT_EQ(s.doc->XK(), xk - 1);
    EXPECT_EQ(s.box.value, generateSliderForm(s.doc->picture(), xk - 1, s.doc->YK()));
    EXPECT_NE(countsLines(*s.doc).find("origin XK " + std::to_string(xk - 1)), std::string::npos);

    // 6. Picture from text: the slider text gives back the same statements, and
    // the text is never older than the picture while the import announces.
    const auto before = std::make_unique<Picture>(s.doc->picture());
    int asked = 0;
    s.take();
    s.staleWhenHeard.clear();
    const auto outcome = s.doc->pictureFromText(s.box.value, [&](const std::string& q) {
        ++asked;
        EXPECT_EQ(q, "Replace the picture's 5 shapes with the 5 shapes the text draws?");
        return true;
    });
    EXPECT_TRUE(outcome.replaced);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(s.take().size(), 1u);
    EXPECT_EQ(s.staleWhenHeard, std::vector<bool>{false});
    EXPECT_EQ(generateAbsolute(s.doc->picture()), generateAbsolute(*before));
    const auto refused = s.doc->pictureFromText("bar3d(1,2,3,4,5,true);", [](const std::string&) { return true; });
    EXPECT_FALSE(refused.replaced);
    EXPECT_EQ(refused.refusal.rfind(
                  "The text cannot become a picture; nothing was changed.\n\nline 1, column 1", 0),
              0u)
        << refused.refusal;

    // 7. Undo and redo of the current kind (the fill tool is chosen).
    s.doc->undo();
    EXPECT_EQ(s.doc->picture().FillCount(), 0);
    EXPECT_TRUE(s.doc->textIsStale());
    EXPECT_TRUE(s.doc->redo());
    EXPECT_FALSE(s.doc->redo());
    EXPECT_EQ(s.doc->picture().Fills.records()[0], before->Fills.records()[0]);

    // 8. The save bytes, then the modified mark follows the picture and text.
    const std::string bytes = s.doc->saveBytes(s.box.value);
    EXPECT_EQ(bytes, programFileBytes(s.box.value));
    s.doc->saved("/tmp/test.pas", s.box.value);
    EXPECT_FALSE(s.doc->isModified());
    EXPECT_NE(notesLines(*s.doc).find("saved /tmp/test.pas"), std::string::npos);
    s.box.value += " ";
    EXPECT_TRUE(s.doc->isModified());
    s.box.value.pop_back();
    EXPECT_FALSE(s.doc->isModified());
    s.doc->undo();
    EXPECT_TRUE(s.doc->isModified());
}

// A save writes the text box as it is; when that text is older than the
// picture the note after the save says how many shapes the file lacks, and
// the caption's mark of unsaved work goes either way.
TEST(Document, ASaveOfAStaleTextSaysWhatTheFileLacks) {
    const auto drawTwo = [](Story& s) {
        s.drag(Kind::Circle, 2, 3000, 3000, 3300, 3000);
        s.drag(Kind::Line, 3, 100, 100, 900, 700);
    };
    const struct {
        const char* name;
        std::function<void(Story&)> afterGenerate;
        const char* says;  // after "saved /w/house.pas"
    } cases[] = {
        {"as generated", [](Story&) {}, ""},
        {"one more shape", [](Story& s) { s.drag(Kind::Rectangle, 4, 400, 400, 800, 900); },
         "; the text lacks the newest shape: Generate, then Save"},
        {"three more in Value's form",
         [&](Story& s) {
             s.doc->value();
             drawTwo(s);
             s.drag(Kind::Ellipse, 5, 2000, 2000, 2600, 2300);
         },
         "; the text lacks the newest 3 shapes: Generate, then Save"},
        {"a shape drawn twice",
         [&](Story& s) {
             s.doc->selectTool(static_cast<int16_t>(Kind::Circle));
             s.doc->undo();
             s.doc->generate();
             drawTwo(s);
         },
         "; the text lacks the newest 2 shapes: Generate, then Save"},
        {"a shape taken away",
         [](Story& s) {
             s.doc->selectTool(static_cast<int16_t>(Kind::Line));
             s.doc->undo();
         },
         "; the text does not show the newest picture: Generate, then Save"},
        {"a text that draws no picture",
         [](Story& s) {
             s.box.value = "bar3d(1,2,3,4,5,true);";
             s.drag(Kind::Rectangle, 4, 400, 400, 800, 900);
         },
         "; the text does not show the newest picture: Generate, then Save"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Story s;
        drawTwo(s);
        s.doc->generate();
        c.afterGenerate(s);
        EXPECT_EQ(shownTitle(*s.doc), "*pasdraw");
        s.doc->saved("/w/house.pas", s.box.value, true);
        EXPECT_EQ(notesLines(*s.doc), std::string("saved /w/house.pas") + c.says);
        EXPECT_EQ(shownTitle(*s.doc), "house.pas - pasdraw");
        s.box.value += ' ';
        EXPECT_EQ(shownTitle(*s.doc), "*house.pas - pasdraw");
        EXPECT_EQ(notesLines(*s.doc).find("saved"), std::string::npos);
    }
}

TEST(Document, AFullListIsNotedUntilTheNextStoredShape) {
    Story s;
    for (int i = 0; i < ListCapacity; ++i) s.doc->picture().commitCircle({100, 100, 10, 1, 0});
    s.doc->shapesReplaced();
    s.take();
    s.drag(Kind::Circle, 1, 300, 300, 400, 300);
    EXPECT_EQ(s.doc->picture().CircleCount(), ListCapacity);
    EXPECT_NE(s.take().back() & CapacityChanged, 0u);
    EXPECT_EQ(windowTitle(*s.doc), "pasdraw - 1001 circles, no room for another");
    EXPECT_NE(s.doc->capacityNote().find("Undo one"), std::string::npos);
    s.drag(Kind::Line, 1, 300, 300, 400, 300);
    EXPECT_EQ(windowTitle(*s.doc), "pasdraw");
    EXPECT_TRUE(s.doc->capacityNote().empty());
}

}  // namespace
}  // namespace pasdraw
