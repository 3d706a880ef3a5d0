#include "ui/more_menu.h"

#include <QActionGroup>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QPushButton>
#include <array>

#include "bgi/screen_state.h"

namespace pasdraw {

namespace {

constexpr int IconWidth = 48;
constexpr int IconHeight = 16;

QPixmap blankIcon() {
    QPixmap pixmap(IconWidth, IconHeight);
    pixmap.fill(Qt::black);
    return pixmap;
}

// A fill pattern's 8 x 8 tile repeated, white on black, two screen pixels
// to a tile pixel so that the close patterns still tell apart.
QIcon patternIcon(int pattern) {
    QImage image(IconWidth, IconHeight, QImage::Format_RGB32);
    const auto& rows = FillPatterns[pattern];
    for (int y = 0; y < IconHeight; ++y) {
        for (int x = 0; x < IconWidth; ++x) {
            const bool on = ((rows[(y / 2) % 8] >> (7 - (x / 2) % 8)) & 1) != 0;
            image.setPixel(x, y, on ? 0xFFFFFFFFu : 0xFF000000u);
        }
    }
    return QIcon(QPixmap::fromImage(image));
}

// The graph unit's 16-pixel line patterns, the first pixel in the high bit:
// solid, dotted, centre, dashed. Here only to draw the menu's pictures.
constexpr std::array<uint16_t, 4> LinePatterns{0xFFFF, 0xCCCC, 0xFC78, 0xF8F8};

QIcon lineIcon(int style, int width) {
    QImage image(IconWidth, IconHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    const int thickness = width == ThickWidth ? 3 : 1;
    for (int x = 2; x < IconWidth - 2; ++x) {
        if (((LinePatterns[static_cast<std::size_t>(style)] >> (15 - (x - 2) % 16)) & 1) == 0) continue;
        for (int t = 0; t < thickness; ++t)
            image.setPixel(x, IconHeight / 2 - thickness / 2 + t, 0xFFFFFFFFu);
    }
    return QIcon(QPixmap::fromImage(image));
}

QIcon textIcon(int size, bool vertical) {
    QPixmap pixmap = blankIcon();
    QPainter painter(&pixmap);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(vertical ? 9 : 5 + size);
    painter.setFont(font);
    if (vertical) {
        // Read bottom to top, as the unit's VertDir draws it.
        painter.translate(IconWidth / 2 + 4, IconHeight - 1);
        painter.rotate(-90);
        painter.drawText(QRect(0, -12, IconHeight, 12), Qt::AlignCenter, QStringLiteral("Ab"));
    } else {
        painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("Ab"));
    }
    return QIcon(pixmap);
}

}  // namespace

MoreMenu::MoreMenu(Document& document, QPushButton* button)
    : QObject(button), document_(document), button_(button) {
    menu_ = new QMenu(button);
    menu_->setObjectName(QStringLiteral("moreMenu"));
    for (const NewTool& t : NewTools) {
        QAction* a = menu_->addAction(
            QStringLiteral("%1\t%2").arg(QLatin1String(kindInfo(t.kind).caption), QChar::fromLatin1(t.key)));
        a->setObjectName(QStringLiteral("tool%1").arg(static_cast<int>(t.kind)));
        connect(a, &QAction::triggered, this, [this, k = t.kind] { chooseTool(k); });
        toolActions_.push_back(a);
    }
    menu_->addSeparator();
    struct Choice {
        QString caption;
        int16_t value;
        QIcon icon;
    };
    const auto section = [this](const QString& title, Style style, const std::vector<Choice>& choices) {
        QMenu* sub = menu_->addMenu(title);
        auto* group = new QActionGroup(sub);
        for (const Choice& c : choices) {
            QAction* a = sub->addAction(c.icon, c.caption);
            a->setCheckable(true);
            a->setData(c.value);
            group->addAction(a);
            connect(a, &QAction::triggered, this,
                    [this, style, v = c.value] { document_.selectStyle(style, v); });
            styleActions_.push_back({style, a});
        }
    };
    std::vector<Choice> patterns;
    for (int16_t p = 0; p <= LastPattern; ++p)
        patterns.push_back(
            {QStringLiteral("%1 %2").arg(p).arg(QLatin1String(PatternNames[static_cast<std::size_t>(p)])), p,
             patternIcon(p)});
    section(QStringLiteral("Fill pattern"), Style::FillPattern, patterns);
    std::vector<Choice> lines;
    for (int16_t s = SolidLine; s <= LastLineStyle; ++s)
        lines.push_back(
            {QLatin1String(LineStyleNames[static_cast<std::size_t>(s)]), s, lineIcon(s, NormalWidth)});
    section(QStringLiteral("Line style"), Style::LineStyle, lines);
    section(QStringLiteral("Line width"), Style::LineWidth,
            {{QStringLiteral("normal"), NormalWidth, lineIcon(SolidLine, NormalWidth)},
             {QStringLiteral("thick"), ThickWidth, lineIcon(SolidLine, ThickWidth)}});
    std::vector<Choice> sizes;
    for (int16_t s = 1; s <= LastTextSize; ++s) sizes.push_back({QString::number(s), s, textIcon(s, false)});
    section(QStringLiteral("Text size"), Style::TextSize, sizes);
    section(QStringLiteral("Text direction"), Style::TextVertical,
            {{QStringLiteral("horizontal"), 0, textIcon(4, false)},
             {QStringLiteral("vertical"), 1, textIcon(4, true)}});
    connect(menu_, &QMenu::aboutToShow, this, &MoreMenu::showCurrent);
    button_->setMenu(menu_);
    button_->setCheckable(true);
    button_->setToolTip(
        QStringLiteral("More tools: bar (B), arc (A), pie slice (W), polygon (P), label (T); "
                       "and the fill pattern, line style and text style new shapes take"));
    document_.subscribe([this](Changes changes) {
        if ((changes & ToolChanged) != 0) followTool();
    });
    showCurrent();
}

QAction* MoreMenu::toolAction(Kind kind) const {
    for (std::size_t i = 0; i < NewTools.size(); ++i)
        if (NewTools[i].kind == kind) return toolActions_[i];
    return nullptr;
}

QAction* MoreMenu::styleAction(Style style, int16_t value) const {
    for (const auto& [s, a] : styleActions_)
        if (s == style && a->data().toInt() == value) return a;
    return nullptr;
}

void MoreMenu::chooseTool(Kind kind) {
    document_.selectTool(static_cast<int16_t>(kind));
    // In the tool buttons' exclusive group: the old tool's button comes up.
    button_->setChecked(true);
    followTool();
}

void MoreMenu::followTool() {
    const int16_t tool = document_.selecting() ? Document::SelectTool : document_.picture().state.Tool;
    QString caption = QStringLiteral("More");
    for (const NewTool& t : NewTools) {
        if (static_cast<int16_t>(t.kind) == tool) caption = QLatin1String(kindInfo(t.kind).caption);
    }
    button_->setText(caption);
}

void MoreMenu::showCurrent() {
    const EditorState& s = document_.picture().state;
    const auto current = [&s](Style style) -> int16_t {
        switch (style) {
            case Style::FillPattern: return s.FillPattern;
            case Style::LineStyle: return s.LineStyle;
            case Style::LineWidth: return s.LineWidth;
            case Style::TextSize: return s.TextSize;
            case Style::TextVertical: return s.TextVertical;
        }
        return 0;
    };
    for (const auto& [style, a] : styleActions_) a->setChecked(a->data().toInt() == current(style));
}

}  // namespace pasdraw
