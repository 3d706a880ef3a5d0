#include "editor/editor.h"

#include "canvas/repaint.h"
#include "editor/tools.h"
#include "model/palette.h"

namespace pasdraw {

void Editor::Form_Load() {
    picture_.selectColour(Palette[0].index, Palette[0].rgb);
    picture_.state.MouseIsDown = 0;
    surface_.LineBox(0.0f, 0.0f, static_cast<float>(CanvasWidth), static_cast<float>(CanvasHeight), White);
}

void Editor::Form_MouseDown(int, int, float x, float y) {
    if (outsideCanvas(x, y)) return;
    picture_.beginDrag(x, y);
}

void Editor::Form_MouseMove(int, int, float x, float y) {
    surface_.setFillColor(Black);
    surface_.setFillStyle(FillTransparent);
    if (outsideCanvas(x, y)) return;
    if (picture_.state.MouseIsDown != 1) return;
    const ShapeTool* tool = toolFor(picture_.state.Tool);
    if (tool == nullptr) return;
    const EditorState& s = picture_.state;
    // Erase the previous band by drawing it again in black, then the new one.
    if (!tool->preview(surface_, s.StartX, s.StartY, s.PrevX, s.PrevY, Black)) return;
    tool->preview(surface_, s.StartX, s.StartY, x, y, s.CurrentColorRGB);
    if (tool->refreshAfterPreview()) surface_.Refresh();
    picture_.notePreview(x, y);
}

ReleaseResult Editor::Form_MouseUp(int, int, float x, float y) {
    surface_.setFillStyle(FillTransparent);
    if (outsideCanvas(x, y)) return {};
    const ShapeTool* tool = toolFor(picture_.state.Tool);
    if (tool == nullptr) return {};
    if (tool->commit(picture_, surface_, recordAt(*tool, x, y), x, y) == CommitResult::Committed) {
        return {true, std::nullopt};
    }
    // The list is full: nothing was stored. Repaint from the model so the
    // rubber band does not look like a stored shape.
    drowob(picture_, surface_);
    return {false, tool->kind()};
}

bool Editor::Command5_Click() {
    const bool dropped = history_.undoDrawing(picture_.state.Tool);
    drowob(picture_, surface_);
    return dropped;
}

bool Editor::redo() {
    if (!history_.redoDrawing(picture_.state.Tool)) return false;
    drowob(picture_, surface_);
    return true;
}

std::optional<ShapeRecord> Editor::pendingRecord(float x, float y) const {
    if (picture_.state.MouseIsDown != 1 || outsideCanvas(x, y)) return std::nullopt;
    const ShapeTool* tool = toolFor(picture_.state.Tool);
    if (tool == nullptr) return std::nullopt;
    return recordAt(*tool, x, y);
}

std::optional<ShapeRecord> Editor::recordAt(const ShapeTool& tool, float x, float y) const {
    std::optional<ShapeRecord> record = tool.record(picture_, x, y);
    if (record) {
        std::visit(
            [this](auto& r) {
                r.ColorIndex = picture_.state.CurrentColorIndex;
                r.ColorRGB = picture_.state.CurrentColorRGB;
            },
            *record);
    }
    return record;
}

}  // namespace pasdraw
