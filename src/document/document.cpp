#include "document/document.h"

#include <algorithm>
#include <cmath>
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
    generatedText_ = text;
    generatedVersion_ = pictureVersion_;
    lastForm_ = form;
}

void Document::pointerPress(int button, int shift, float x, float y) {
    if (selecting_) {
        pressSelect(x, y);
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
    if (drag_) {
        dragSelect(x, y);
        return;
    }
    notify(PointerChanged);
}

void Document::pointerRelease(int button, int shift, float x, float y) {
    if (drag_) {
        const SelectDrag drag = *drag_;
        drag_.reset();
        const ShapeRecord now = recordOf(picture_, drag.ref);
        if (now != drag.before) {
            edited({drag.ref, drag.before, now});
        } else {
            notify(PointerChanged);
        }
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
    selecting_ = tool == SelectTool;
    // The editor's drawing stays inert while shapes are picked.
    editor_.selectTool(selecting_ ? int16_t{0} : tool);
    drag_.reset();
    notify(ToolChanged | (selecting_ ? 0 : setSelection(std::nullopt)));
}

void Document::selectColour(int16_t index, int32_t rgb, bool asBorder) {
    editor_.selectColour(index, rgb);
    notify(ToolChanged);
    if (selection_ && !drag_)
        editSelection(recoloured(recordOf(picture_, *selection_), index, rgb, asBorder));
}

void Document::undo() {
    if (selecting_) {
        undoEdit(false);
        return;
    }
    const bool dropped = editor_.Command5_Click();
    // An undo with nothing to drop leaves the picture as it was: the text is
    // no older and nothing new needs saving.
    notify(clearCapacityNote() | (dropped ? shapesChanged() : 0));
}

bool Document::redo() {
    if (selecting_) return undoEdit(true);
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
    // Other work: the picks and edits of the old one mean nothing here.
    Changes changes = setSelection(std::nullopt);
    drag_.reset();
    edits_.clear();
    undoneEdits_.clear();
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
    drag_.reset();
    edits_.clear();
    undoneEdits_.clear();
    notify(clearCapacityNote() | shapesChanged() | setSelection(std::nullopt));
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

std::string Document::dragLine() const {
    if (selection_) return statementFor(recordOf(picture_, *selection_));
    return pending_ ? statementFor(*pending_) : std::string();
}

std::string Document::statusLine() const {
    const EditorState& s = picture_.state;
    if (selecting_) {
        if (!selection_) return "press on a shape to pick it";
        return std::string("picked ") + kindName(selection_->kind) + " " +
               std::to_string(selection_->index + 1) + " of " +
               std::to_string(picture_.count(selection_->kind)) +
               ": drag it or a handle, arrows nudge, Delete removes";
    }
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

// Picking and editing shapes.

float Document::pickTolerance() const {
    return 3.0f * std::max(surface_.TwipsPerPixelX(), surface_.TwipsPerPixelY());
}

Changes Document::setSelection(std::optional<ShapeRef> ref) {
    if (ref == selection_) return 0;
    selection_ = ref;
    return SelectionChanged | PointerChanged;
}

void Document::clearSelection() {
    lastPick_.reset();
    notify(setSelection(std::nullopt));
}

void Document::pressSelect(float x, float y) {
    if (Editor::outsideCanvas(x, y)) return;
    const float tolerance = pickTolerance();
    const auto near = [tolerance](float ax, float ay, float bx, float by) {
        return std::abs(ax - bx) <= tolerance && std::abs(ay - by) <= tolerance;
    };
    if (selection_) {
        const ShapeRecord record = recordOf(picture_, *selection_);
        const std::vector<HandlePoint> handles = handlesOf(record);
        for (std::size_t h = 0; h < handles.size(); ++h) {
            if (!near(x, y, static_cast<float>(handles[h].x), static_cast<float>(handles[h].y))) continue;
            drag_ = SelectDrag{*selection_, record, x, y, static_cast<int>(h), true};
            notify(PointerChanged);
            return;
        }
    }
    const std::vector<ShapeRef> hits = shapesAt(picture_, x, y, tolerance);
    std::optional<ShapeRef> pick;
    if (!hits.empty()) {
        pick = hits.front();
        // The picked shape stays picked under a press, so it can be dragged;
        // a press at the very place of the last one goes on to the next below.
        const auto at = selection_ ? std::find(hits.begin(), hits.end(), *selection_) : hits.end();
        if (at != hits.end()) {
            const bool again = lastPick_ && near(x, y, lastPick_->first, lastPick_->second);
            pick = again ? hits[static_cast<std::size_t>(at - hits.begin() + 1) % hits.size()] : *at;
        }
    }
    lastPick_ = pick ? std::optional(std::pair(x, y)) : std::nullopt;
    const Changes changes = setSelection(pick);
    if (pick) drag_ = SelectDrag{*pick, recordOf(picture_, *pick), x, y, -1, false};
    notify(changes | PointerChanged);
}

void Document::dragSelect(float x, float y) {
    SelectDrag& drag = *drag_;
    const float tolerance = pickTolerance();
    if (!drag.moving && std::abs(x - drag.x) <= tolerance && std::abs(y - drag.y) <= tolerance) {
        notify(PointerChanged);
        return;
    }
    drag.moving = true;
    const int dx = toStored(x) - toStored(drag.x), dy = toStored(y) - toStored(drag.y);
    const ShapeRecord record =
        drag.handle < 0 ? movedBy(drag.before, dx, dy) : handleMovedBy(drag.before, drag.handle, dx, dy);
    Changes changes = PointerChanged;
    if (record != recordOf(picture_, drag.ref)) {
        storeRecord(picture_, drag.ref, record);
        drowob(picture_, surface_);
        changes |= SelectionChanged;
    }
    notify(changes);
}

void Document::edited(Edit edit) {
    constexpr std::size_t kept = 10000;  // edits undo can take back
    edits_.push_back(std::move(edit));
    if (edits_.size() > kept) edits_.pop_front();
    undoneEdits_.clear();
    lastPick_.reset();  // the next press picks afresh
    drowob(picture_, surface_);
    notify(clearCapacityNote() | shapesChanged() | SelectionChanged | PointerChanged);
}

void Document::editSelection(const ShapeRecord& record) {
    const ShapeRef ref = *selection_;
    const ShapeRecord before = recordOf(picture_, ref);
    if (record == before || !storeRecord(picture_, ref, record)) return;
    edited({ref, before, record});
}

void Document::nudge(int dx, int dy) {
    if (selection_ && !drag_) editSelection(movedBy(recordOf(picture_, *selection_), dx, dy));
}

void Document::deleteSelection() {
    if (!selection_ || drag_) return;
    const ShapeRef ref = *selection_;
    const ShapeRecord before = recordOf(picture_, ref);
    picture_.withList(ref.kind, [&](auto& list) { list.removeAt(ref.index); });
    selection_.reset();
    edited({ref, before, std::nullopt});
}

bool Document::applyEdit(const Edit& edit, bool forward) {
    const ShapeRef ref = edit.ref;
    const int count = picture_.count(ref.kind);
    const std::optional<ShapeRecord>& from = forward ? std::optional(edit.before) : edit.after;
    const std::optional<ShapeRecord>& to = forward ? edit.after : std::optional(edit.before);
    if (from) {
        if (ref.index >= count || recordOf(picture_, ref) != *from) return false;
        if (to) return storeRecord(picture_, ref, *to);
        return picture_.withList(ref.kind, [&](auto& list) { return list.removeAt(ref.index); });
    }
    // Putting a removed record back in its slot.
    if (ref.index > count) return false;
    return picture_.withList(ref.kind, [&](auto& list) {
        using Record = typename std::decay_t<decltype(list)>::value_type;
        return list.insertAt(ref.index, std::get<Record>(*to));
    });
}

bool Document::undoEdit(bool forward) {
    std::deque<Edit>& from = forward ? undoneEdits_ : edits_;
    std::deque<Edit>& to = forward ? edits_ : undoneEdits_;
    if (from.empty() || drag_) return false;
    const Edit edit = from.back();
    if (!applyEdit(edit, forward)) {
        const bool full = !forward && !edit.after &&
                          picture_.withList(edit.ref.kind, [](const auto& list) { return list.full(); });
        if (full) {
            capacityNote_ = std::string("No room to put the ") + kindName(edit.ref.kind) +
                            " back: the picture holds " + std::to_string(ListCapacity) + " " +
                            kindPlural(edit.ref.kind) + ", the most it can. Delete one first.";
            notify(CapacityChanged);
            return false;
        }
        // Drawing or per-kind undo changed the shape since: the edits before
        // it no longer describe the picture.
        edits_.clear();
        undoneEdits_.clear();
        return false;
    }
    from.pop_back();
    to.push_back(edit);
    lastPick_.reset();
    drowob(picture_, surface_);
    const bool present = forward ? edit.after.has_value() : true;
    notify(clearCapacityNote() | shapesChanged() |
           setSelection(present ? std::optional(edit.ref) : std::nullopt) | SelectionChanged);
    return true;
}

int Document::selectedLine() const {
    if (!selection_ || textIsStale() || (drag_ && drag_->moving) || generatedText_.empty()) return 0;
    if (text_->text() != generatedText_) return 0;
    // Every form writes one line per record, in kind order; the origin line
    // of the relative forms shares its line with the first record.
    int line = 1;
    for (const KindInfo& k : Kinds) {
        if (k.kind == selection_->kind) return line + selection_->index;
        line += picture_.count(k.kind);
    }
    return 0;
}

void Document::selectLine(int line) {
    if (!selecting_ || drag_ || textIsStale() || generatedText_.empty() || line < 1) return;
    if (text_->text() != generatedText_) return;
    int first = 1;
    for (const KindInfo& k : Kinds) {
        const int count = picture_.count(k.kind);
        if (line < first + count) {
            notify(setSelection(ShapeRef{k.kind, line - first}));
            return;
        }
        first += count;
    }
}

}  // namespace pasdraw
