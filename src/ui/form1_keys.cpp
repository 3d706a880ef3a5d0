#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

#include "ui/form1.h"
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
    shortcut(QKeySequence(Qt::Key_S), [this] { selectButton->click(); });
    // Also from the preview window itself.
    shortcut(QKeySequence(Qt::Key_F9 | Qt::CTRL), &Form1::togglePreview)->setContext(Qt::ApplicationShortcut);
    previewButton->setCheckable(true);
    previewButton->setToolTip(QStringLiteral("Show what the saved program draws (Ctrl+F9)"));
    fromTextButton->setToolTip(
        QStringLiteral("Make the picture the shapes the text box's statements draw (Ctrl+I)"));
    Command5->setToolTip(
        QStringLiteral("Undo the newest shape of the chosen tool, or with Select the last edit (Ctrl+Z); "
                       "Ctrl+Y brings it back"));
    selectButton->setToolTip(QStringLiteral("Pick a shape to move, resize, recolour or delete it (S)"));
}

}  // namespace pasdraw
