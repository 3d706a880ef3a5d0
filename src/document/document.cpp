#include "document/document.h"

#include <algorithm>

#include "canvas/repaint.h"
#include "codegen/codegen.h"
#include "codegen/shape_lines.h"
#include "document/sentences.h"
#include "program/picture_import.h"

namespace pasdraw {

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

void Document::selectTool(int16_t tool) {
    // A shape moved with the pointer still down is an edit like any other.
    if (select_.dragging()) selected(select_.release());
    selecting_ = tool == SelectTool;
    // The editor's drawing stays inert while shapes are picked.
    editor_.selectTool(selecting_ ? int16_t{0} : tool);
    notify(ToolChanged | (selecting_ ? 0 : unpick()));
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
    if (x)
        XK_ = position;
    else
        YK_ = static_cast<int16_t>(position);  // a slider's 0..480 fits
    replaceText(generateSliderForm(picture_, XK_, YK_), TextForm::Slider);
    notify(OriginChanged | TextReplaced | MarksChanged);
}

Document::ImportOutcome Document::pictureFromText(
    std::string_view text, const std::function<bool(const std::string&)>& confirmReplace) {
    const PictureImport result = importPicture(statementsOf(text));
    if (!result.picture) return {false, refusalOf(result, TextRefused)};
    if (!picture_.empty() &&
        !confirmReplace(replaceQuestion(picture_.recordCount(), result.picture->recordCount()))) {
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
    if (!result.picture) outcome.message = refusalOf(result, OpenedWithoutPicture);
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
    if (lastForm_ == TextForm::Value) return value();
    if (lastForm_ != TextForm::Slider) return generate();
    replaceText(generateSliderForm(picture_, XK_, YK_), TextForm::Slider);
    notify(TextReplaced | MarksChanged);
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
    lastForm_ = work.form;
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
    notify(forgetEdits() | clearCapacityNote() | shapesChanged());
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

// Picking and editing shapes.

Changes Document::unpick() {
    const bool picked = select_.selection().has_value();
    select_.reset();
    return picked ? SelectionChanged | PointerChanged : 0;
}

Changes Document::forgetEdits() {
    editor_.history().forget();
    return unpick();
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
            capacityNote_ = noRoomToPutBackNote(step.ref.kind);
            notify(CapacityChanged);
            return false;
        case EditStep::Outcome::Forgot:
            historyNote_ = forgottenEditsNote(step.forgotten, step.ref.kind);
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

bool Document::textAsGenerated() const {
    return !textIsStale() && !generatedText_.empty() && text_->text() == generatedText_;
}

int Document::selectedLine() const {
    const std::optional<ShapeRef>& picked = select_.selection();
    if (!picked || select_.moving() || !textAsGenerated()) return 0;
    return lineOfShape(picture_, *picked);
}

void Document::selectLine(int line) {
    if (!selecting_ || select_.dragging() || line < 1 || !textAsGenerated()) return;
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
