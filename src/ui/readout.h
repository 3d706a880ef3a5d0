// The readout in the free black area under the tool buttons: it shows the
// document's readout lines (the pointer, the statement a drag would store,
// the tool hint, the counts and origin, the notes about the text and the
// save). Each part is its own label, so a pointer move re-lays out the
// pointer's lines only.
//
// The area is narrow and fixed. The pointer's rows stay at the top, then the
// statement of a drag or a pick, which ends in an ellipsis when it is too
// long for three rows (the whole statement is in the tooltip). Below them the notes, the tool's
// hint and the counts are never cut: they wrap at blanks and separators (a
// path anywhere) in a pane that scrolls when they are more than it holds,
// and a new note scrolls it back to the top, where the notes come first. A
// dark panel behind the labels keeps them readable over whatever the canvas
// image holds there.
#pragma once

#include <QString>
#include <QWidget>
#include <array>

#include "document/document.h"
#include "document/sentences.h"

class QLabel;
class QScrollArea;
class QPlainTextEdit;

namespace pasdraw {

class Readout : public QWidget {
    Q_OBJECT
public:
    // `text` is the text box: the note about the save follows its edits.
    Readout(Document& document, const QPlainTextEdit* text, QWidget* parent = nullptr);

    // What each line says in full, for tests.
    QString pointerText() const { return lines_[Pointer].full; }
    QString dragText() const { return lines_[Drag].full; }
    QString statusText() const { return lines_[Status].full; }
    QString countsText() const { return lines_[Counts].full; }
    QString noteText() const { return lines_[Notes].full; }
    // The pane that scrolls the notes, the hint and the counts.
    QScrollArea* flowPane() const { return flow_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum LineIndex { Pointer, Drag, Status, Counts, Notes, LineTotal };
    struct Line {
        QLabel* label = nullptr;
        QString full;
    };

    void show(Changes changes);
    void textEdited();
    // Shows each line in its place: the pointer's and the drag's in rows
    // kept for them, the others one below the other in the rows left.
    void fitFixed(LineIndex index);
    int pointerRows() const;
    int flowTop() const;  // where the pane of the flowing lines begins
    void fitFlowing();
    // Lays the flowing lines out `width` wide; returns the height they take.
    int flowAt(int width);
    void fitLine(Line& line, int top, int rows);

    Document& document_;
    const QPlainTextEdit* text_;
    std::array<Line, LineTotal> lines_;
    QScrollArea* flow_ = nullptr;
    int pitch_ = 0;  // pixels per row of a label, for the readout's font
    bool savedNoteShown_ = false;
    int savedCharacters_ = -1;  // the text box's length when the saved note last showed
};

}  // namespace pasdraw
