// The program preview as the main window uses it: made at the first use (most
// sessions never open it, and the window starts faster without it), placed
// beside the window the first time it opens, run on every change of the text
// while it shows, and marking the text's problem lines meanwhile. The button
// shows whether it is open.
#pragma once

#include <QObject>

class QPushButton;
class QWidget;

namespace pasdraw {

class PreviewWindow;
class TextBox;

class PreviewLink : public QObject {
    Q_OBJECT
public:
    PreviewLink(QWidget* owner, TextBox* text, QPushButton* button);

    PreviewWindow& window();
    void toggle();
    void open();
    void close();

private:
    // Runs `text` in the preview unless it is what the preview was last given.
    void follow(const QString& text);

    QWidget* owner_;
    TextBox* text_;
    QPushButton* button_;
    PreviewWindow* preview_ = nullptr;
    bool placed_ = false;
    QString given_;  // the text the preview was last given
};

}  // namespace pasdraw
