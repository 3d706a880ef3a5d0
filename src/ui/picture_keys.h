// Keeps the picture's keys on the picture. The arrows, Delete, Backspace and
// Escape nudge, delete, take back and cancel on the canvas whenever the
// keyboard is not in a place that types (the text box, the label editor):
// also when a click on Generate or a colour gave that button the focus. A
// slider keeps its arrows while it has the focus (a click or Tab gives it),
// as they are how it steps by one.
#pragma once

#include <QObject>

class QWidget;

namespace pasdraw {

class PictureKeys : public QObject {
    Q_OBJECT
public:
    // Watches `window`'s buttons and sliders and the window itself.
    PictureKeys(QWidget* window, QWidget* canvas);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    QWidget* canvas_;
    bool forwarding_ = false;  // a key the canvas left goes up to the window again
};

}  // namespace pasdraw
