#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

#include "ui/canvas_widget.h"
#include "ui/form1.h"
#include "ui/key_sheet.h"
#include "ui/more_menu.h"
#include "ui/picture_keys.h"
#include "ui/text_box.h"

namespace pasdraw {

// The window's keys and the tooltips that name them, kept together so that
// a key and what the user reads about it change in one place.
void Form1::connectKeys() {
    // Shortcuts; inside the text box its own editing keys take precedence.
    const auto shortcut = [this](const QKeySequence& keys, auto handler) {
        auto* s = new QShortcut(keys, this);
        connect(s, &QShortcut::activated, this, handler);
        return s;
    };
    shortcut(QKeySequence::Undo, &Form1::Command5_Click);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_G), &Form1::Command22_Click);
    shortcut(QKeySequence::Save, &Form1::Command23_Click);
    for (const QKeyCombination keys : RedoKeys) shortcut(keys, &Form1::redo);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_I), &Form1::pictureFromText);
    shortcut(QKeySequence(Qt::Key_NumberSign), [this] { document_->toggleGrid(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G), &Form1::Command24_Click);
    shortcut(QKeySequence(Qt::Key_F1), [this] { showKeySheet(this); });
    // One letter a tool; inside the text box and the label editor typing wins.
    struct ToolKey {
        QPushButton* button;
        char key;
        const char* tip;
    };
    const ToolKey toolKeys[] = {
        {Command1, 'L', "Draw lines"},
        {Command2, 'R', "Draw rectangles"},
        {Command3, 'E', "Draw ellipses"},
        {Command4, 'C', "Draw circles"},
        {Command6, 'F', "Fill an area up to the last outline's colour"},
        {selectButton, 'S', "Pick a shape to move, resize, recolour, restyle or delete it"},
    };
    for (const ToolKey& k : toolKeys) {
        shortcut(QKeySequence(QString(QChar::fromLatin1(k.key))), [b = k.button] { b->click(); });
        k.button->setToolTip(QStringLiteral("%1 (%2)").arg(QLatin1String(k.tip), QChar::fromLatin1(k.key)));
    }
    for (const NewTool& t : NewTools)
        shortcut(QKeySequence(QString(QChar::fromLatin1(t.key))),
                 [this, k = t.kind] { more_->chooseTool(k); });
    // Also from the preview window itself.
    shortcut(QKeySequence(Qt::Key_F9 | Qt::CTRL), &Form1::togglePreview)->setContext(Qt::ApplicationShortcut);
    previewButton->setCheckable(true);
    previewButton->setToolTip(QStringLiteral("Show what the saved program draws (Ctrl+F9)"));
    fromTextButton->setToolTip(
        QStringLiteral("Make the picture the shapes the text box's statements draw (Ctrl+I)"));
    Command22->setToolTip(QStringLiteral("Write the picture's statements into the text box (Ctrl+G)"));
    Command24->setToolTip(
        QStringLiteral("Write the statements relative to an origin XK, YK and move the sliders there "
                       "(Ctrl+Shift+G)"));
    Command23->setToolTip(
        QStringLiteral("Save the text box as a whole program (Ctrl+S); F1 lists every key"));
    Command25->setToolTip(QStringLiteral("Labels are drawn with the label tool under More (T)"));
    // Clicking a button leaves the arrows, Delete and Escape to the picture.
    new PictureKeys(this, canvas_);
    Command5->setToolTip(
        QStringLiteral("Undo the newest shape of the chosen tool, or with Select the last edit (Ctrl+Z); "
                       "Ctrl+Y brings it back"));
}

}  // namespace pasdraw
