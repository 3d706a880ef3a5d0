#include "document/document.h"

#include "canvas/repaint.h"
#include "codegen/codegen.h"
#include "model/numeric.h"
#include "model/palette.h"
#include "program/picture_import.h"

namespace pasdraw {

namespace {

// A screen coordinate exactly as a statement would carry it: stored twips,
// then divided by 10 truncating toward zero.
int screenOf(float twips) { return toScreen(toStored(twips)); }

}  // namespace

Document::Document(float twipsPerPixelX, float twipsPerPixelY)
    : surface_(twipsPerPixelX, twipsPerPixelY), editor_(picture_, surface_) {
    editor_.Form_Load();
}

void Document::notify(Changes changes) {
    if (surface_.takeChanged()) changes |= CanvasChanged;
    if (changes == 0) return;
    for (const Listener& listener : listeners_) listener(changes);
}

Changes Document::shapesChanged() {
    ++pictureVersion_;
    return ShapesChanged | MarksChanged;
}

Changes Document::clearCapacityNote() {
    if (capacityNote_.empty()) return 0;
    capacityNote_.clear();
    fullKind_.reset();
    return CapacityChanged;
}

void Document::replaceText(const std::string& text) {
    text_->setText(text);
    generatedVersion_ = pictureVersion_;
}

void Document::pointerPress(int button, int shift, float x, float y) {
    editor_.Form_MouseDown(button, shift, x, y);
    notify(0);
}

void Document::pointerMove(int button, int shift, float x, float y) {
    editor_.Form_MouseMove(button, shift, x, y);
    const bool over = !Editor::outsideCanvas(x, y) && x >= 0.0f && y >= 0.0f;
    pointer_ = over ? std::optional(std::pair(x, y)) : std::nullopt;
    pending_ = editor_.pendingRecord(x, y);
    notify(PointerChanged);
}

void Document::pointerRelease(int button, int shift, float x, float y) {
    const ReleaseResult result = editor_.Form_MouseUp(button, shift, x, y);
    pending_.reset();
    Changes changes = PointerChanged;
    if (result.refused) {
        const Kind kind = *result.refused;
        fullKind_ = kind;
        capacityNote_ = std::string("No room for another ") + kindName(kind) +
                        ": the picture already holds " + std::to_string(ListCapacity) + " " +
                        kindPlural(kind) + ", the most it can. Undo one to make room.";
        changes |= CapacityChanged;
    } else if (result.committed) {
        changes |= clearCapacityNote() | shapesChanged();
    }
    notify(changes);
}

void Document::pointerLeft() {
    pointer_.reset();
    notify(PointerChanged);
}

void Document::selectTool(int16_t tool) {
    editor_.selectTool(tool);
    notify(ToolChanged);
}

void Document::selectColour(int16_t index, int32_t rgb) {
    editor_.selectColour(index, rgb);
    notify(ToolChanged);
}

void Document::undo() {
    const bool dropped = editor_.Command5_Click();
    // An undo with nothing to drop leaves the picture as it was: the text is
    // no older and nothing new needs saving.
    notify(clearCapacityNote() | (dropped ? shapesChanged() : 0));
}

bool Document::redo() {
    if (!editor_.redo()) return false;
    notify(shapesChanged());
    return true;
}

void Document::generate() {
    replaceText(generateAbsolute(picture_));
    notify(TextReplaced | MarksChanged);
}

void Document::value() {
    const Origin origin = computeOrigin(picture_);
    XK_ = origin.XK;
    YK_ = origin.YK;
    replaceText(generateValueForm(picture_, origin));
    notify(OriginChanged | TextReplaced | MarksChanged);
}

void Document::sliderStep(bool x, int position) {
    if (x) {
        XK_ = position;
    } else {
        YK_ = static_cast<int16_t>(position);  // a slider's 0..480 fits
    }
    replaceText(generateSliderForm(picture_, XK_, YK_));
    notify(OriginChanged | TextReplaced | MarksChanged);
}

Document::ImportOutcome Document::pictureFromText(
    std::string_view text, const std::function<bool(const std::string&)>& confirmReplace) {
    const PictureImport result = importPicture(text);
    if (!result.picture) {
        std::string message = "The text cannot become a picture; nothing was changed.\n";
        constexpr std::size_t shown = 20;
        for (std::size_t i = 0; i < result.problems.size() && i < shown; ++i) {
            const ImportProblem& p = result.problems[i];
            message += "\nline " + std::to_string(p.line) + ", column " + std::to_string(p.column) + ": " +
                       p.message;
        }
        if (result.problems.size() > shown) {
            message += "\n\n" + std::to_string(result.problems.size() - shown) + " more problems.";
        }
        return {false, message};
    }
    if (!picture_.empty() &&
        !confirmReplace("Replace the picture's " + std::to_string(picture_.recordCount()) +
                        " shapes with the " + std::to_string(result.picture->recordCount()) +
                        " shapes the text draws?")) {
        return {};
    }
    picture_.replaceShapes(*result.picture);
    Changes changes = 0;
    if (result.assignedOrigin) {
        XK_ = result.XK;
        YK_ = result.YK;
        changes |= OriginChanged;
    }
    drowob(picture_, surface_);
    changes |= clearCapacityNote() | shapesChanged();
    // The text is the one the picture came from.
    generatedVersion_ = pictureVersion_;
    notify(changes);
    return {true, {}};
}

void Document::shapesReplaced() {
    drowob(picture_, surface_);
    notify(clearCapacityNote() | shapesChanged());
}

std::string Document::saveBytes(std::string_view textUtf8) const { return programFileBytes(textUtf8); }

void Document::saved(const std::string& path, std::string textUtf8) {
    savedVersion_ = pictureVersion_;
    savedText_ = std::move(textUtf8);
    savedPath_ = path;
    notify(MarksChanged);
}

bool Document::isModified() const {
    if (!savedVersion_) return !picture_.empty() || !text().empty();
    return *savedVersion_ != pictureVersion_ || text() != savedText_;
}

std::string Document::windowTitle() const {
    if (!fullKind_) return "pasdraw";
    return "pasdraw - " + std::to_string(ListCapacity) + " " + kindPlural(*fullKind_) +
           ", no room for another";
}

std::string Document::pointerLine() const {
    if (!pointer_) return {};
    const int x = screenOf(pointer_->first), y = screenOf(pointer_->second);
    std::string line = "x " + std::to_string(x) + ", y " + std::to_string(y);
    if (XK_) {
        // As "Value" writes a point: XK+dx, YK+dy with the sign inside.
        line += "\nXK+" + std::to_string(static_cast<int64_t>(x) - *XK_) + ", YK+" +
                std::to_string(static_cast<int64_t>(y) - YK_);
    }
    return line;
}

std::string Document::dragLine() const { return pending_ ? statementFor(*pending_) : std::string(); }

std::string Document::statusLine() const {
    const EditorState& s = picture_.state;
    if (s.Tool == 0) return "choose a tool to draw";
    if (s.Tool != static_cast<int16_t>(Kind::Fill)) return {};
    // The border is the colour of the newest outline, black before any.
    const PaletteEntry* border = paletteEntry(s.LastColorIndex);
    const std::string name = border != nullptr && border->rgb == s.LastColorRGB ? border->name : "BLACK";
    return "fills stop at " + name + " (" + std::to_string(s.LastColorIndex) + ")";
}

std::string Document::countsLines() const {
    std::string counts;
    for (const KindInfo& k : Kinds) {
        if (!counts.empty()) counts += '\n';
        counts +=
            std::to_string(picture_.count(k.kind)) + "/" + std::to_string(ListCapacity) + " " + k.plural;
    }
    if (XK_) counts += "\norigin XK " + std::to_string(*XK_) + ", YK " + std::to_string(YK_);
    return counts;
}

std::string Document::notesLines() const {
    std::string notes;
    if (textIsStale()) notes = "the text does not show the newest shapes: Generate or Value";
    if (!savedPath_.empty()) {
        if (!notes.empty()) notes += '\n';
        notes += "saved " + savedPath_;
    }
    return notes;
}

}  // namespace pasdraw
