// One owner of the user's work: the picture and the editor with its canvas
// image, the origin XK, YK, the program text's marks (older than the picture,
// saved, changed since the save) and the file it was saved to. The window
// turns clicks and keys into the calls below and listens to one notification
// that says what changed; it asks isModified() before closing. No Qt here, so
// every use case runs headless in the tests.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "canvas/raster_surface.h"
#include "document/file_text.h"
#include "document/recovery.h"
#include "editor/editor.h"
#include "editor/selection.h"
#include "editor/selection_tool.h"
#include "model/picture.h"

namespace pasdraw {

// What one notification says changed; a listener looks at the bits it shows.
enum Change : unsigned {
    CanvasChanged = 1u << 0,     // the canvas image has new pixels
    ShapesChanged = 1u << 1,     // shapes stored, dropped or replaced
    TextReplaced = 1u << 2,      // Generate, Value or a slider step rewrote the text
    OriginChanged = 1u << 3,     // XK, YK
    MarksChanged = 1u << 4,      // the text is older than the picture; saved
    PointerChanged = 1u << 5,    // the pointer or the drag under way
    ToolChanged = 1u << 6,       // the tool or the current colour
    CapacityChanged = 1u << 7,   // the note about a full list came or went
    TitleChanged = 1u << 8,      // the file the work belongs to
    SelectionChanged = 1u << 9,  // the picked shape, or where it is while it changes
    GridChanged = 1u << 10,      // the grid shown or hidden
};
using Changes = unsigned;

// The program text as the document sees the text box, which keeps what the
// user typed: read and replaced as UTF-8 (the generators write ASCII).
class TextBuffer {
public:
    virtual ~TextBuffer() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
};

class Document {
public:
    // Twips per device pixel of the canvas image.
    explicit Document(float twipsPerPixelX = 15.0f, float twipsPerPixelY = 15.0f);
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    using Listener = std::function<void(Changes)>;
    void subscribe(Listener listener) { listeners_.push_back(std::move(listener)); }

    // Where the generators write and the save reads; a plain string of the
    // document's own until the window attaches its text box.
    void attachText(TextBuffer* text) { text_ = text != nullptr ? text : &ownText_; }
    std::string text() const { return text_->text(); }

    Picture& picture() { return picture_; }
    const Picture& picture() const { return picture_; }
    Editor& editor() { return editor_; }
    RasterSurface& surface() { return surface_; }

    // The grid every 10 BGI pixels: while it shows, the pointer snaps to it.
    // Shift (bit 1 of `shift` below) keeps a drag straight or square.
    bool gridShown() const { return grid_; }
    void toggleGrid() {
        grid_ = !grid_;
        notify(GridChanged | ToolChanged);
    }

    // The pointer over the window, in twips; any button draws.
    void pointerPress(int button, int shift, float x, float y);
    void pointerMove(int button, int shift, float x, float y);
    void pointerRelease(int button, int shift, float x, float y);
    void pointerLeft();
    // A double-click: it closes a polygon under way, else it is a press.
    void pointerDoubleClick(int button, int shift, float x, float y);
    // The shapes made in more than one step: Escape cancels the one under
    // way, Backspace takes back a polygon's last corner; each returns
    // whether there was one.
    bool cancelGesture();
    bool takeBackCorner();
    // The label tool's click asks for a text at this point (twips) until
    // finishLabel or cancelGesture.
    std::optional<std::pair<float, float>> labelAnchor() const;
    // Stores the label typed at the anchor; an empty text stores nothing.
    // False when the text cannot be a label (the editor stays open).
    bool finishLabel(std::string_view text);
    // The current style for new shapes. With a shape picked it also
    // restyles that shape, where its kind has the style, as an edit.
    void selectStyle(Style style, int16_t value);
    // A drawing tool (a Kind's number), 0, or SelectTool.
    void selectTool(int16_t tool);
    // The current colour. With a shape picked it also recolours that shape:
    // its outline, or a fill's fill colour, or with asBorder the colour the
    // fill stops at.
    void selectColour(int16_t index, int32_t rgb, bool asBorder = false);
    // With a drawing tool: per-kind undo and redo of that tool's kind. With
    // Select: the edits of picked shapes, one step each. Redo returns
    // whether anything came back.
    void undo();
    bool redo();

    // The Select tool: a press picks the shape under the pointer (again at
    // the same place, the next one under it) and a drag moves it or the
    // handle pressed; the keys below change it. Every change is one edit.
    static constexpr int16_t SelectTool = -1;
    bool selecting() const { return selecting_; }
    const std::optional<ShapeRef>& selection() const { return select_.selection(); }
    // How near a press must come to what is drawn: 3 pixels of the canvas image.
    float pickTolerance() const { return select_.tolerance(); }
    void nudge(int dx, int dy);  // twips
    void deleteSelection();
    void clearSelection();
    // The line of the picked shape's statement (1-based), when the text is
    // the one last generated from the picture as it stands; else 0.
    int selectedLine() const;
    // The text cursor went to a line: with Select chosen and the text as
    // generated, its statement's shape is picked.
    void selectLine(int line);

    void generate();                        // "Generate": absolute statements
    void value();                           // "Value": the picture's origin, relative statements
    void sliderStep(bool x, int position);  // one slider moved: that coordinate of the origin
    // "Picture from text": the shapes the text draws replace the picture, all
    // or nothing. confirmReplace is asked before shapes are thrown away. The
    // outcome says whether the picture changed, or why the text cannot be one.
    struct ImportOutcome {
        bool replaced = false;
        std::string refusal;  // empty unless the text cannot become a picture
    };
    ImportOutcome pictureFromText(std::string_view text,
                                  const std::function<bool(const std::string& question)>& confirmReplace);
    // The shapes were changed from outside the editor (a loader, a test):
    // repaint them all and count the change.
    void shapesReplaced();

    // The bytes of the program file for a text, and the note that they were
    // written to `path`. A path the user chose (Save as, Save elsewhere)
    // becomes the work's file, which later saves write to.
    std::string saveBytes(std::string_view textUtf8) const;
    void saved(const std::string& path, std::string textUtf8, bool chosenByUser = false);
    // The file the work came from or was saved as; empty: test.pas beside
    // the program.
    const std::string& sourcePath() const { return sourcePath_; }

    // Opens a Pascal file's bytes read from `path`: its statements go into
    // the text box and the picture comes from them, all or nothing. A text
    // that cannot become a picture is still opened, with an empty picture;
    // the outcome names the lines at fault. Bytes that are no program text
    // change nothing and the outcome says why.
    struct OpenOutcome {
        bool opened = false;
        bool pictureFromText = false;
        std::string message;  // a refusal, or why the picture stays empty
    };
    OpenOutcome open(std::string_view bytes, const std::string& path) {
        return open(readFileText(bytes), path);
    }
    // The same for a file already read with readFileText.
    OpenOutcome open(FileText file, const std::string& path);

    // The text form the generators last wrote, so that the close prompt can
    // write the newest picture in the form the user works in.
    using TextForm = GeneratedForm;
    TextForm lastForm() const { return lastForm_; }
    // Rewrites the text from the picture in the last form (Generate when
    // there was none), keeping the origin the user set.
    void regenerate();

    // The question before unsaved work would be lost (closing, opening
    // another file) and what the answer asks of the document: save the
    // newest picture (bringing a text older than the picture up to it
    // first), save the text as it stands, let the work go, or keep it open.
    enum class CloseChoice { SaveNewest, SaveTextAsItIs, Discard, Cancel };
    enum class CloseAction { Save, Go, Stay };
    CloseAction closeWith(CloseChoice choice);

    // Recovery of unsaved work: the state to write aside, the offer of work a
    // crashed window left (shown in the readout), and taking it.
    void offerRecovery(std::optional<RecoveredWork> work, std::string note);
    bool hasRecoveryOffer() const { return offered_.has_value(); }
    bool restoreRecovery();

    const std::optional<int32_t>& XK() const { return XK_; }  // none until Value or the X slider
    int16_t YK() const { return YK_; }
    bool textIsStale() const { return pictureVersion_ != generatedVersion_; }
    // Whether closing would lose work: the picture or the text changed since
    // the last save, or nothing was saved yet and either holds something.
    bool isModified() const;
    const std::string& savedPath() const { return savedPath_; }
    const std::string& capacityNote() const { return capacityNote_; }
    // The kind whose list was found full, until the next stored shape.
    const std::optional<Kind>& fullKind() const { return fullKind_; }
    // The record a release would store now, while a drag is under way.
    const std::optional<ShapeRecord>& pendingRecord() const { return pending_; }

    // What the readout says beyond the marks above (document/sentences.h
    // makes the sentences): the pointer over the canvas, in twips; how the
    // last opened file was read; the offer of recovered work; what the
    // history last had to forget.
    const std::optional<std::pair<float, float>>& pointer() const { return pointer_; }
    const std::string& openedNote() const { return openedNote_; }
    const std::string& recoveryNote() const { return recoveryNote_; }
    const std::string& historyNote() const { return historyNote_; }

private:
    void notify(Changes changes);
    PointerAid aid(int shift) const { return {grid_, (shift & 1) != 0}; }
    // One more version of the picture; returns the changes to announce.
    Changes shapesChanged();
    // Ends the notes of a full list and of forgotten edits: the shapes changed.
    Changes clearCapacityNote();
    void replaceText(const std::string& text, TextForm form);
    // The shapes, text and origin of other work, as one change.
    Changes takeWork(const Picture& shapes, const std::string& text);

    // Announces what a step of the Select tool did.
    void selected(SelectStep step);
    // Announces what a release or another last step of a shape did.
    void released(const ReleaseResult& result);
    // Select's Undo (forward false) and Redo on the history.
    bool walkEdits(bool forward);
    // No shape picked, none dragged.
    Changes unpick();
    // Other work: the picks and edits of the old one mean nothing here.
    Changes forgetEdits();
    // The text is the one the generators last wrote from the picture as it
    // stands, so its lines are the shapes' statements.
    bool textAsGenerated() const;

    class OwnText final : public TextBuffer {
    public:
        std::string text() const override { return text_; }
        void setText(const std::string& text) override { text_ = text; }

    private:
        std::string text_;
    };

    Picture picture_;
    RasterSurface surface_;
    Editor editor_;
    SelectionTool select_;
    OwnText ownText_;
    TextBuffer* text_ = &ownText_;
    std::vector<Listener> listeners_;

    std::optional<int32_t> XK_;
    int16_t YK_ = 0;
    std::optional<std::pair<float, float>> pointer_;  // over the canvas, twips
    std::optional<ShapeRecord> pending_;
    std::string capacityNote_;
    std::optional<Kind> fullKind_;

    // Versions of the picture: one more at every stored, dropped or replaced
    // shape.
    uint64_t pictureVersion_ = 0;
    uint64_t generatedVersion_ = 0;  // the picture the text was generated from
    std::optional<uint64_t> savedVersion_;
    std::string savedText_;
    std::string savedPath_;
    std::string sourcePath_;
    std::string openedNote_;  // how the last opened file was read, when worth saying
    TextForm lastForm_ = TextForm::None;
    std::string generatedText_;  // what the generators last wrote

    bool selecting_ = false;
    bool grid_ = false;
    std::string historyNote_;  // edits the history had to forget, until the next change
    std::optional<RecoveredWork> offered_;
    std::string recoveryNote_;
};

}  // namespace pasdraw
