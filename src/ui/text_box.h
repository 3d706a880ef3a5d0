// Text1: a multi-line text box whose text reads back exactly as it was set.
// QPlainTextEdit splits text into blocks and drops the CR of CR LF, so the box
// keeps the text it was given and hands it back unchanged; once the user edits,
// the text is rebuilt from the document with every line break as CR LF.
//
// The generators rebuild the whole text. When that replaces text the user
// typed, the typed text is kept, and the box's own undo (Ctrl+Z, or Undo in
// its context menu) brings it back as one step; redo goes forward again.
// Replacing generated text keeps no copy, so a slider drag costs no memory.
#pragma once

#include <QKeyCombination>
#include <QPlainTextEdit>
#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace pasdraw {

// The redo keys, spelled out: the platform's redo sequence is only one of
// them on most desktops, and the text box and the window must agree on both.
inline constexpr QKeyCombination RedoKeys[] = {Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z};

class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    bool editedByUser() const { return edited_; }
    // Whether Ctrl+Z would bring back hand edits that a setText replaced.
    bool canRestoreHandEdits() const { return handEdits_.has_value(); }
    // Marks whole lines (1-based) with what is said of them, without touching
    // the text: a problem shades its line, a warning (the program still
    // compiles) underlines it, and the pointer resting on the line shows what
    // was said there. An empty list clears the marks.
    struct LineNote {
        int line = 0;
        QString text;
        bool warning = false;
    };
    void markLines(std::vector<LineNote> notes);
    // What is said of a line (1-based), one note a row; empty for none.
    QString notesAt(int line) const;
    // Whole-line marks of other kinds, each kind kept apart from the others so
    // that one part of the window cannot clear another's: the line of the
    // picked shape, the line a stepped program stands at. Line 0 clears the
    // kind's mark. When scroll is true the line is brought into view.
    enum class LineMark { Picked, Running };
    void markLine(LineMark kind, int line, bool scroll = false);

signals:
    // The whole text is about to be replaced by `text` (a generator's or an
    // undo's); textChanged follows once the box holds it. Filling a box with
    // thousands of lines takes several milliseconds, which a listener can
    // use.
    void replacing(const QString& text);

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Undo and redo across a replacement; false when there is none to cross.
    bool restoreHandEdits();
    bool reapplyReplacement();
    void setExact(const QString& text, bool edited);

    void showMarks();

    std::vector<LineNote> notes_;
    std::array<int, 2> markedLines_{};
    QString exact_;
    bool edited_ = false;
    bool settingText_ = false;
    std::optional<QString> handEdits_;    // what the last replacement of typed text removed
    std::optional<QString> replacement_;  // what a restore took away again, for redo
};

}  // namespace pasdraw
