#include "document/document.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "canvas/repaint.h"
#include "codegen/codegen.h"
#include "codegen/shape_lines.h"
#include "document/file_text.h"
#include "model/numeric.h"
#include "model/palette.h"
#include "program/picture_import.h"

namespace pasdraw {

namespace {

std::string shapes(int n) { return std::to_string(n) + (n == 1 ? " shape" : " shapes"); }

// The refusal of a text, its first twenty problems line by line.
std::string refusalOf(const PictureImport& result, const std::string& opening) {
    std::string message = opening;
    constexpr std::size_t shown = 20;
    for (std::size_t i = 0; i < result.problems.size() && i < shown; ++i) {
        const ImportProblem& p = result.problems[i];
        message +=
            "\nline " + std::to_string(p.line) + ", column " + std::to_string(p.column) + ": " + p.message;
    }
    if (result.problems.size() > shown) {
        message += "\n\n" + std::to_string(result.problems.size() - shown) + " more problems.";
    }
    return message;
}

// Why Select's Undo or Redo stopped: the edits it would walk no longer
// describe the picture.
std::string forgottenEditsNote(const EditStep& step) {
    const std::string n = std::to_string(step.forgotten);
    return n + (step.forgotten == 1 ? " edit" : " edits") +
           " of picked shapes can no longer be undone: the " + kindName(step.ref.kind) +
           " the last one changed was undone or drawn again with a drawing tool since.";
}

std::string fileName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

Document::Document(float twipsPerPixelX, float twipsPerPixelY)
    : surface_(twipsPerPixelX, twipsPerPixelY),
      editor_(picture_, surface_),
      select_(picture_, surface_, editor_.history()) {
    editor_.Form_Load();
    select_.setTolerance(3.0f * std::max(surface_.TwipsPerPixelX(), surface_.TwipsPerPixelY()));
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
    Changes changes = 0;
    if (!historyNote_.empty()) {
        historyNote_.clear();
        changes |= MarksChanged;
    }
    if (capacityNote_.empty()) return changes;
    capacityNote_.clear();
    fullKind_.reset();
    return changes | CapacityChanged;
}

void Document::replaceText(const std::string& text, TextForm form) {
    text_->setText(text);
    generatedText_ = text;
    generatedVersion_ = pictureVersion_;
    lastForm_ = form;
}

void Document::pointerPress(int button, int shift, float x, float y) {
    if (selecting_) {
        selected(select_.press(x, y));
        return;
    }
    editor_.Form_MouseDown(button, shift, x, y);
    notify(0);
}

void Document::pointerMove(int button, int shift, float x, float y) {
    editor_.Form_MouseMove(button, shift, x, y);
    const bool over = !Editor::outsideCanvas(x, y) && x >= 0.0f && y >= 0.0f;
    pointer_ = over ? std::optional(std::pair(x, y)) : std::nullopt;
    pending_ = editor_.pendingRecord(x, y);
    if (select_.dragging()) {
        selected(select_.drag(x, y));
        return;
    }
    notify(PointerChanged);
}

void Document::pointerRelease(int button, int shift, float x, float y) {
    if (select_.dragging()) {
        selected(select_.release());
        return;
    }
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
    // A shape moved with the pointer still down is an edit like any other.
    if (select_.dragging()) selected(select_.release());
    selecting_ = tool == SelectTool;
    // The editor's drawing stays inert while shapes are picked.
    editor_.selectTool(selecting_ ? int16_t{0} : tool);
    const bool unpicked = !selecting_ && select_.selection().has_value();
    if (!selecting_) select_.reset();
    notify(ToolChanged | (unpicked ? SelectionChanged | PointerChanged : 0));
}

void Document::selectColour(int16_t index, int32_t rgb, bool asBorder) {
    editor_.selectColour(index, rgb);
    notify(ToolChanged);
    selected(select_.recolour(index, rgb, asBorder));
}

void Document::undo() {
    if (selecting_) {
        walkEdits(false);
        return;
    }
    const bool dropped = editor_.Command5_Click();
    // An undo with nothing to drop leaves the picture as it was: the text is
    // no older and nothing new needs saving.
    notify(clearCapacityNote() | (dropped ? shapesChanged() : 0));
}

bool Document::redo() {
    if (selecting_) return walkEdits(true);
    if (!editor_.redo()) return false;
    notify(shapesChanged());
    return true;
}

void Document::generate() {
    replaceText(generateAbsolute(picture_), TextForm::Absolute);
    notify(TextReplaced | MarksChanged);
}

void Document::value() {
    const Origin origin = computeOrigin(picture_);
    XK_ = origin.XK;
    YK_ = origin.YK;
    replaceText(generateValueForm(picture_, origin), TextForm::Value);
    notify(OriginChanged | TextReplaced | MarksChanged);
}

void Document::sliderStep(bool x, int position) {
    if (x) {
        XK_ = position;
    } else {
        YK_ = static_cast<int16_t>(position);  // a slider's 0..480 fits
    }
    replaceText(generateSliderForm(picture_, XK_, YK_), TextForm::Slider);
    notify(OriginChanged | TextReplaced | MarksChanged);
}

Document::ImportOutcome Document::pictureFromText(
    std::string_view text, const std::function<bool(const std::string&)>& confirmReplace) {
    const PictureImport result = importPicture(statementsOf(text));
    if (!result.picture) {
        const std::string message =
            refusalOf(result, "The text cannot become a picture; nothing was changed.\n");
        return {false, message};
    }
    if (!picture_.empty() &&
        !confirmReplace("Replace the picture's " + shapes(picture_.recordCount()) + " with the " +
                        shapes(result.picture->recordCount()) + " the text draws?")) {
        return {};
    }
    // A whole saved program pasted in keeps only its statements, as Save
    // adds the header and trailer again.
    Changes changes = takeWork(*result.picture, std::string(statementsOf(text)));
    if (result.assignedOrigin) {
        XK_ = result.XK;
        YK_ = result.YK;
        changes |= OriginChanged;
    }
    notify(changes);
    return {true, {}};
}

Changes Document::takeWork(const Picture& shapes, const std::string& text) {
    picture_.replaceShapes(shapes);
    Changes changes = forgetEdits();
    generatedText_.clear();
    drowob(picture_, surface_);
    changes |= clearCapacityNote() | shapesChanged();
    if (text != text_->text()) {
        text_->setText(text);
        changes |= TextReplaced;
    }
    // The text is the one the picture came from.
    generatedVersion_ = pictureVersion_;
    return changes;
}

Document::OpenOutcome Document::open(std::string_view bytes, const std::string& path) {
    return open(readFileText(bytes), path);
}

Document::OpenOutcome Document::open(FileText file, const std::string& path) {
    if (!file.problem.empty()) return {false, false, file.problem};
    const PictureImport result = importPicture(file.text);
    OpenOutcome outcome{true, result.picture.has_value(), {}};
    const auto empty = std::make_unique<Picture>();
    Changes changes = takeWork(result.picture ? *result.picture : *empty, file.text) | OriginChanged;
    XK_.reset();
    YK_ = 0;
    if (result.assignedOrigin) {
        XK_ = result.XK;
        YK_ = result.YK;
    }
    if (!result.picture) {
        outcome.message = refusalOf(result,
                                    "The program is open, but its picture cannot be drawn here, so the "
                                    "picture is empty; the preview shows what the program draws.\n");
    }
    lastForm_ = TextForm::None;
    sourcePath_ = path;
    savedPath_.clear();
    openedNote_ =
        std::string(file.encoding) == "UTF-8" ? std::string() : std::string("read as ") + file.encoding;
    // What was opened is what the file holds: nothing to save yet.
    savedVersion_ = pictureVersion_;
    savedText_ = file.text;
    notify(changes | MarksChanged | TitleChanged);
    return outcome;
}

void Document::regenerate() {
    switch (lastForm_) {
        case TextForm::Value: value(); return;
        case TextForm::Slider:
            replaceText(generateSliderForm(picture_, XK_, YK_), TextForm::Slider);
            notify(TextReplaced | MarksChanged);
            return;
        case TextForm::None:
        case TextForm::Absolute: break;
    }
    generate();
}

RecoveredWork Document::recoverable(int64_t now) const {
    RecoveredWork work;
    work.picture->replaceShapes(picture_);
    work.text = text_->text();
    work.XK = XK_;
    work.YK = YK_;
    work.sourcePath = sourcePath_;
    work.savedAt = now;
    work.textIsStale = textIsStale();
    return work;
}

void Document::offerRecovery(std::optional<RecoveredWork> work, std::string note) {
    offered_ = std::move(work);
    recoveryNote_ = std::move(note);
    notify(MarksChanged);
}

bool Document::restoreRecovery() {
    if (!offered_) return false;
    const RecoveredWork work = std::move(*offered_);
    offered_.reset();
    recoveryNote_.clear();
    Changes changes = takeWork(*work.picture, work.text) | OriginChanged | MarksChanged;
    if (work.textIsStale) ++pictureVersion_;
    XK_ = work.XK;
    YK_ = work.YK;
    sourcePath_ = work.sourcePath;
    // The recovered work was never saved as it stands.
    savedVersion_.reset();
    savedText_.clear();
    savedPath_.clear();
    openedNote_.clear();
    notify(changes | TitleChanged);
    return true;
}

void Document::shapesReplaced() {
    drowob(picture_, surface_);
    const Changes forgotten = forgetEdits();
    notify(clearCapacityNote() | shapesChanged() | forgotten);
}

std::string Document::saveBytes(std::string_view textUtf8) const { return programFileBytes(textUtf8); }

void Document::saved(const std::string& path, std::string textUtf8, bool chosenByUser) {
    savedVersion_ = pictureVersion_;
    savedText_ = std::move(textUtf8);
    savedPath_ = path;
    Changes changes = MarksChanged;
    if (chosenByUser && path != sourcePath_) {
        sourcePath_ = path;
        changes |= TitleChanged;
    }
    notify(changes);
}

bool Document::isModified() const {
    if (!savedVersion_) return !picture_.empty() || !text().empty();
    return *savedVersion_ != pictureVersion_ || text() != savedText_;
}

std::string Document::windowTitle() const {
    std::string title = sourcePath_.empty() ? "pasdraw" : fileName(sourcePath_) + " - pasdraw";
    if (fullKind_) {
        title +=
            " - " + std::to_string(ListCapacity) + " " + kindPlural(*fullKind_) + ", no room for another";
    }
    return title;
}

// Picking and editing shapes.

Changes Document::forgetEdits() {
    const bool unpicked = select_.selection().has_value();
    select_.reset();
    editor_.history().forget();
    return unpicked ? SelectionChanged | PointerChanged : 0;
}

void Document::selected(SelectStep step) {
    if (!step.handled) return;
    Changes changes = PointerChanged | (step.picked ? Changes{SelectionChanged} : 0u);
    if (step.edited) changes |= clearCapacityNote() | shapesChanged();
    notify(changes);
}

void Document::clearSelection() {
    notify(select_.pick(std::nullopt, true) ? SelectionChanged | PointerChanged : 0);
}

void Document::nudge(int dx, int dy) { selected(select_.nudge(dx, dy)); }

void Document::deleteSelection() { selected(select_.remove()); }

bool Document::walkEdits(bool forward) {
    if (select_.dragging()) return false;
    const EditStep step = editor_.history().walkEdits(forward);
    switch (step.outcome) {
        case EditStep::Outcome::Nothing: return false;
        case EditStep::Outcome::NoRoom:
            capacityNote_ = std::string("No room to put the ") + kindName(step.ref.kind) +
                            " back: the picture holds " + std::to_string(ListCapacity) + " " +
                            kindPlural(step.ref.kind) + ", the most it can. Delete one first.";
            notify(CapacityChanged);
            return false;
        case EditStep::Outcome::Forgot:
            historyNote_ = forgottenEditsNote(step);
            notify(MarksChanged);
            return false;
        case EditStep::Outcome::Done: break;
    }
    drowob(picture_, surface_);
    const bool picked = select_.pick(step.present ? std::optional(step.ref) : std::nullopt, true);
    notify(clearCapacityNote() | shapesChanged() | SelectionChanged |
           (picked ? Changes{PointerChanged} : 0u));
    return true;
}

int Document::selectedLine() const {
    const std::optional<ShapeRef>& picked = select_.selection();
    if (!picked || textIsStale() || select_.moving() || generatedText_.empty()) return 0;
    if (text_->text() != generatedText_) return 0;
    return lineOfShape(picture_, *picked);
}

void Document::selectLine(int line) {
    if (!selecting_ || select_.dragging() || textIsStale() || generatedText_.empty() || line < 1) return;
    if (text_->text() != generatedText_) return;
    const std::optional<ShapeRef> ref = shapeOnLine(picture_, line);
    if (ref) notify(select_.pick(ref, false) ? SelectionChanged | PointerChanged : 0);
}

Document::CloseAction Document::closeWith(CloseChoice choice) {
    switch (choice) {
        case CloseChoice::SaveNewest:
            // What the user expects to keep is the picture they see.
            if (textIsStale()) regenerate();
            return CloseAction::Save;
        case CloseChoice::SaveTextAsItIs: return CloseAction::Save;
        case CloseChoice::Discard: return CloseAction::Go;
        case CloseChoice::Cancel: break;
    }
    return CloseAction::Stay;
}

}  // namespace pasdraw
