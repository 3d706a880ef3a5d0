#include "document/document.h"

#include <ctime>

#include "canvas/repaint.h"
#include "codegen/codegen.h"
#include "document/file_text.h"
#include "model/numeric.h"
#include "model/palette.h"
#include "program/picture_import.h"

namespace pasdraw {

namespace {

// A screen coordinate exactly as a statement would carry it: stored twips,
// then divided by 10 truncating toward zero.
int screenOf(float twips) { return toScreen(toStored(twips)); }

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

std::string fileName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

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

void Document::replaceText(const std::string& text, TextForm form) {
    text_->setText(text);
    generatedVersion_ = pictureVersion_;
    lastForm_ = form;
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
    drowob(picture_, surface_);
    Changes changes = clearCapacityNote() | shapesChanged();
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
    notify(clearCapacityNote() | shapesChanged());
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
    const auto add = [&notes](const std::string& note) {
        if (!notes.empty()) notes += '\n';
        notes += note;
    };
    // Only while the file holds what the window shows: a later change to the
    // picture or the text makes "saved" untrue. isModified reads the whole
    // text, so it runs only when there is a save to speak of.
    if (!savedPath_.empty() && !isModified()) add("saved " + savedPath_);
    if (savedPath_.empty() && !sourcePath_.empty()) {
        add("opened " + sourcePath_ + (openedNote_.empty() ? "" : ", " + openedNote_));
    }
    if (!recoveryNote_.empty()) add(recoveryNote_);
    return notes;
}

}  // namespace pasdraw
