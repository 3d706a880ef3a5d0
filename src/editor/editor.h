// The editor's behaviour behind the window: mouse drawing with rubber bands,
// tool and colour choice, undo and start-up. It works on the picture model and
// a Surface only; the window feeds it events converted to twips.
#pragma once

#include <cstdint>
#include <optional>

#include "canvas/surface.h"
#include "editor/history.h"
#include "model/picture.h"

namespace pasdraw {

class ShapeTool;

// What a release did, so the window can tell the user about a refused commit.
struct ReleaseResult {
    bool committed = false;
    std::optional<Kind> refused;  // set when the list of this kind was full
};

class Editor {
public:
    Editor(Picture& picture, Surface& surface) : picture_(picture), surface_(surface), history_(picture) {}

    // Points right of x = 6400 or below y = 4800 are off the canvas; there is no
    // test at the left or top, so a pointer captured beyond them still draws.
    static bool outsideCanvas(float x, float y) {
        return x > static_cast<float>(CanvasWidth) || y > static_cast<float>(CanvasHeight);
    }

    // Start-up: current colour 1, no tool, the white frame drawn.
    void Form_Load();

    // Any mouse button draws, so button and shift are accepted and ignored.
    void Form_MouseDown(int button, int shift, float x, float y);
    void Form_MouseMove(int button, int shift, float x, float y);
    ReleaseResult Form_MouseUp(int button, int shift, float x, float y);

    void selectTool(int16_t tool) { picture_.selectTool(tool); }
    void selectColour(int16_t index, int32_t rgb) { picture_.selectColour(index, rgb); }
    // Undo: drop the newest record of the current tool's kind, then repaint.
    // Returns whether a record was dropped.
    bool Command5_Click();
    // Redo: bring back what undo dropped from the current tool's kind, then
    // repaint. Returns whether there was anything to bring back.
    bool redo();

    // The record a release at (x, y) would store for the drag under way, if
    // one of an outline tool is.
    std::optional<ShapeRecord> pendingRecord(float x, float y) const;

    Picture& picture() { return picture_; }
    Surface& surface() { return surface_; }
    // The one history of the picture, which every tool's undo and redo walk.
    History& history() { return history_; }

private:
    // The one place a drag's record is made, with the current colour: the
    // readout shows it and the release stores it.
    std::optional<ShapeRecord> recordAt(const ShapeTool& tool, float x, float y) const;

    Picture& picture_;
    Surface& surface_;
    History history_;
};

}  // namespace pasdraw
