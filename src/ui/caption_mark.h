// The '*' before the window's caption while there is unsaved work, as desktop
// programs show it ("*house.pas - pasdraw"); Save takes it away.
//
// The widget's own title stays the document's title, unmarked, and the mark
// goes on the window the desktop shows: the same split as the toolkit's
// "[*]" placeholder, whose marked caption is also the shown one only.
#pragma once

#include <QObject>
#include <QString>

#include "document/document.h"

class QPlainTextEdit;
class QWidget;

namespace pasdraw {

class CaptionMark : public QObject {
    Q_OBJECT
public:
    // `text` is the text box: its edits change what is unsaved too.
    CaptionMark(Document& document, QWidget* window, const QPlainTextEdit* text);
    // The caption the desktop shows; empty before the window is made.
    QString shown() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply();
    void textEdited();

    Document& document_;
    QWidget* window_;
    const QPlainTextEdit* text_;
    bool marked_ = false;
    int cleanCharacters_ = -1;  // the text box's length when the mark last went
};

}  // namespace pasdraw
