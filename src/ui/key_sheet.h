// Every key and mouse gesture of the window, in one table: F1 shows it as a
// sheet, and the README's list of keys is the same table (a test compares
// them), so what the user can find is what the window does.
#pragma once

class QWidget;

namespace pasdraw {

struct KeyRow {
    const char* keys;  // the key or the gesture, as the user does it
    const char* what;  // what it does
};

inline constexpr KeyRow KeySheet[] = {
    {"L, R, E, C, F", "Choose the line, rectangle, ellipse, circle or fill tool"},
    {"B, A, W, P, T", "Choose the bar, arc, pie slice, polygon or label tool (also under More)"},
    {"S", "Choose Select, to change what is drawn"},
    {"Drag on the canvas",
     "Draw a line, rectangle, ellipse, bar (corner to corner) or circle (from its centre)"},
    {"Click on the canvas", "Fill: flood the area around the point; Label: open the text editor there"},
    {"Press, release, click",
     "Arc, pie slice: press at the centre, release where it starts, click where it ends"},
    {"Click, double-click",
     "Polygon: click each corner; a double-click or a click on the first corner closes it"},
    {"Enter", "Label: store the text typed"},
    {"Escape", "Cancel the shape under way; Select: drop the pick"},
    {"Backspace", "Polygon: take back the last corner; Select: remove the picked shape"},
    {"Press on a shape", "Select: pick it; again at the same place, the next one under it"},
    {"Drag a shape or a handle", "Select: move the shape, or that point of it"},
    {"#", "Show or hide the grid every 10 pixels; while it shows, points snap to it"},
    {"Shift while dragging", "Keep a line straight or at 45°, a rectangle, bar or ellipse square, a move on one axis"},
    {"Arrows, Shift+arrows", "Select: move the picked shape by one pixel, or by ten"},
    {"Delete", "Select: remove the picked shape"},
    {"Click a colour", "Make it current; Select: recolour the picked shape"},
    {"Shift+click a colour", "Select: the colour at which the picked fill stops"},
    {"Ctrl+Z", "Undo the newest shape of the chosen tool's kind; Select: the last edit"},
    {"Ctrl+Y, Ctrl+Shift+Z", "Bring back what Undo took"},
    {"Ctrl+G", "Generate: write the statements into the text box"},
    {"Ctrl+Shift+G", "Value: write them relative to the origin XK, YK"},
    {"Ctrl+S", "Save the program"},
    {"Ctrl+Shift+S", "Save the program as another file"},
    {"Ctrl+O", "Open a program"},
    {"Drop a .pas file", "Open it"},
    {"Ctrl+Shift+R", "Restore the unsaved work a crash left"},
    {"Ctrl+I", "Picture from text: make the picture what the text draws"},
    {"Ctrl+Z in the text box", "Undo typing; after Generate, Value or a slider, bring your edits back"},
    {"Text cursor on a statement", "Select: pick the shape it draws, while the text is the generated one"},
    {"Wheel over the readout", "Scroll its notes, hint and counts when they are more than it shows"},
    {"Ctrl+F9", "Show or hide the program preview"},
    {"Left, Right, Home, End", "Preview: one statement back or on, before the first, the finished picture"},
    {"Click on the preview", "Preview: which statement painted that pixel"},
    {"Ctrl+S in the preview", "Save image: the picture as a PNG"},
    {"F1", "This sheet"},
};

// Shows the sheet beside `window`, or raises it when it is open.
void showKeySheet(QWidget* window);

}  // namespace pasdraw
