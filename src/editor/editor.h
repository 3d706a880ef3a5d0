// The editor's behaviour behind the window: mouse drawing with rubber bands,
// tool and colour choice, undo and start-up. It works on the picture model and
// a Surface only; the window feeds it events converted to twips.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "canvas/surface.h"
#include "editor/history.h"
#include "editor/pointer_aid.h"
#include "model/picture.h"

namespace pasdraw {

class ShapeTool;

// What a release did, so the window can tell the user about a refused commit.
struct ReleaseResult {
    bool committed = false;
    std::optional<Kind> refused;  // set when the list of this kind was full
};

// The styles the "More" menu chooses, each a field of EditorState.
enum class Style { FillPattern, LineStyle, LineWidth, TextSize, TextVertical };

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

    // A double-click: with the polygon tool it closes the corners so far (3
    // or more); otherwise it is a press. The release that follows it is
    // taken by the double-click.
    ReleaseResult Form_DblClick(int button, int shift, float x, float y);

    // The shapes made in more than one step (arcs, pie slices, polygons,
    // labels) keep what was done so far here until the last step stores
    // them. Escape cancels it, and so does another tool or an Undo.
    bool gestureUnderWay() const;
    // Drops the gesture under way and repaints; false when there was none.
    bool cancelGesture();
    // Backspace while drawing a polygon: its last corner goes; with none
    // left the polygon is cancelled. False when there was no corner.
    bool takeBackCorner();
    // The polygon's corners so far, in twips.
    const std::vector<std::pair<int16_t, int16_t>>& corners() const { return corners_; }
    // Where the label tool's click put the text, while the window asks for it.
    const std::optional<std::pair<float, float>>& labelAnchor() const { return labelAt_; }
    // Stores a label with `text` at the anchor. Empty text stores nothing and
    // ends the label; text that a label cannot hold (more than 80
    // characters, or any outside ' '..'~') is refused and the label stays open.
    ReleaseResult finishLabel(std::string_view text);
    static bool labelTextFits(std::string_view text);

    void selectTool(int16_t tool) {
        cancelGesture();
        picture_.selectTool(tool);
    }
    // The style new shapes are drawn in; values out of range are ignored.
    bool setStyle(Style style, int16_t value);
    void selectColour(int16_t index, int32_t rgb) { picture_.selectColour(index, rgb); }
    // Undo: drop the newest record of the current tool's kind, then repaint.
    // Returns whether a record was dropped.
    bool Command5_Click();
    // Redo: bring back what undo dropped from the current tool's kind, then
    // repaint. Returns whether there was anything to bring back.
    bool redo();

    // The point the pointer at (x, y) stands for, with the grid and Shift as
    // `aid` says, measured from the drag or the edge under way; a press
    // starts afresh. Beyond the canvas the pointer stays as it is.
    AidPoint aided(float x, float y, PointerAid aid, bool press) const;

    // The record a release at (x, y) would store for the drag under way, if
    // one of an outline tool is.
    std::optional<ShapeRecord> pendingRecord(float x, float y) const;

    Picture& picture() { return picture_; }
    Surface& surface() { return surface_; }
    // The one history of the picture, which every tool's undo and redo walk.
    History& history() { return history_; }

private:
    // Stores a record the gesture under way made and ends the gesture.
    ReleaseResult commitGesture(const ShapeTool& tool, const ShapeRecord& record, float x, float y);
    void endGesture();
    ShapeRecord polygonSoFar() const;
    // The band of the gesture under way to (x, y), in `colour`.
    void gestureBand(float x, float y, int32_t colour);
    // The near end of a polygon closes it: a few pixels of the canvas image.
    bool nearFirstCorner(float x, float y) const;

    // The one place a drag's record is made, with the current colour: the
    // readout shows it and the release stores it.
    std::optional<ShapeRecord> recordAt(const ShapeTool& tool, float x, float y) const;
    // The record in the current colour and styles, as a commit stores it.
    ShapeRecord withColour(ShapeRecord record) const;

    Picture& picture_;
    Surface& surface_;
    History history_;
    // The gesture under way: the kind it makes, and what it has so far.
    std::optional<Kind> gestureKind_;
    std::optional<ShapeRecord> sweep_;                  // an arc or pie slice, its end to come
    std::vector<std::pair<int16_t, int16_t>> corners_;  // a polygon's corners
    std::optional<std::pair<float, float>> labelAt_;    // a label's anchor
    bool swallowRelease_ = false;                       // a double-click took the next release
};

}  // namespace pasdraw
