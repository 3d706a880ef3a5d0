// The "More" button's menu: the tools added after the first five, with
// their keys, and the styles new shapes take (fill pattern, line style and
// width, text size and direction), each shown as a small picture of itself.
// While one of its tools is chosen the button shows pressed and names it.
#pragma once

#include <QObject>
#include <array>
#include <utility>
#include <vector>

#include "document/document.h"

class QAction;
class QMenu;
class QPushButton;

namespace pasdraw {

// A tool of the menu and the key that chooses it.
struct NewTool {
    Kind kind;
    char key;
};
inline constexpr std::array<NewTool, 5> NewTools{{
    {Kind::Bar, 'B'},
    {Kind::Arc, 'A'},
    {Kind::PieSlice, 'W'},
    {Kind::Polygon, 'P'},
    {Kind::Label, 'T'},
}};

class MoreMenu : public QObject {
    Q_OBJECT
public:
    // The menu goes on `button`, which is one of the window's exclusive tool buttons.
    MoreMenu(Document& document, QPushButton* button);

    QMenu* menu() const { return menu_; }
    QAction* toolAction(Kind kind) const;
    QAction* styleAction(Style style, int16_t value) const;
    void chooseTool(Kind kind);

private:
    // The button's caption: the chosen tool's when it is one of the menu's.
    void followTool();
    // Ticks the styles in use.
    void showCurrent();

    Document& document_;
    QPushButton* button_;
    QMenu* menu_ = nullptr;
    std::vector<QAction*> toolActions_;
    std::vector<std::pair<Style, QAction*>> styleActions_;
};

}  // namespace pasdraw
