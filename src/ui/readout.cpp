#include "ui/readout.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QStringList>
#include <QTextDocument>
#include <algorithm>

namespace pasdraw {

namespace {

constexpr int Gap = 4;  // pixels between two parts
constexpr int DragRows = 3;

bool breaksAfter(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char(',') || c == QLatin1Char(';') || c == QLatin1Char('/');
}

QString withoutTrailingBlanks(QString s) {
    while (s.endsWith(QLatin1Char(' '))) s.chop(1);
    return s;
}

// The row cut short so that an ellipsis after it still fits.
QString endingInEllipsis(QString row, const QFontMetrics& metrics, int width) {
    const QString ellipsis(QChar(0x2026));
    while (!row.isEmpty() && metrics.horizontalAdvance(row + ellipsis) > width) row.chop(1);
    return row + ellipsis;
}

// One line in rows no wider than `width`, wrapped after blanks and the
// separators of statements and paths. A piece wider than a row (a folder's
// long name) is broken between any two characters, so nothing is lost.
QStringList wrapped(const QString& line, const QFontMetrics& metrics, int width) {
    QStringList rows;
    QString row;
    const auto fits = [&](const QString& s) {
        return metrics.horizontalAdvance(withoutTrailingBlanks(s)) <= width;
    };
    qsizetype start = 0;
    for (qsizetype i = 0; i <= line.size(); ++i) {
        if (i < line.size() && !breaksAfter(line[i])) continue;
        QString piece = line.mid(start, i + 1 - start);
        start = i + 1;
        if (fits(row + piece)) {
            row += piece;
            continue;
        }
        if (!row.isEmpty()) rows << withoutTrailingBlanks(row);
        row.clear();
        // Character by character, at least one a row however narrow the room.
        for (const QChar c : piece) {
            if (!row.isEmpty() && !fits(row + c)) {
                rows << withoutTrailingBlanks(row);
                row.clear();
            }
            row += c;
        }
    }
    rows << withoutTrailingBlanks(row);
    return rows;
}

struct Fitted {
    QStringList rows;
    bool elided = false;
};

// The text in at most maxRows rows no wider than `width`. Each line keeps
// its wrapped rows while they fit, and at least one row while there are
// rows (the first lines, when there are fewer rows than lines): a line
// squeezed into one row loses its middle (a path keeps its
// file name), into more rows its end. Whatever is cut shows an ellipsis.
Fitted fit(const QString& text, const QFontMetrics& metrics, int width, int maxRows) {
    Fitted out;
    if (text.isEmpty()) return out;
    const QStringList lines = text.split(QLatin1Char('\n'));
    int left = maxRows;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        int room = left - static_cast<int>(lines.size() - 1 - i);  // a row for each later line
        // Fewer rows than lines: the first lines take the rows there are.
        if (room <= 0 && left > 0) room = 1;
        if (room <= 0) {
            out.elided = true;
            if (!out.rows.isEmpty() && !out.rows.back().endsWith(QChar(0x2026)))
                out.rows.back() = endingInEllipsis(out.rows.back(), metrics, width);
            break;
        }
        QStringList rows = wrapped(lines[i], metrics, width);
        if (rows.size() > room) {
            out.elided = true;
            if (room == 1) {
                rows = {metrics.elidedText(lines[i], Qt::ElideMiddle, width)};
            } else {
                rows.resize(room);
                rows.back() = endingInEllipsis(rows.back(), metrics, width);
            }
        }
        for (QString& row : rows) {
            if (metrics.horizontalAdvance(row) <= width) continue;
            row = metrics.elidedText(row, Qt::ElideRight, width);
            out.elided = true;
        }
        left -= static_cast<int>(rows.size());
        out.rows << rows;
    }
    return out;
}

// The height a label takes per row, as the label measures its text: neither
// lineSpacing nor height says it for every font (a negative leading, rounding).
int rowPitch(const QFontMetrics& metrics) {
    const QRect room(0, 0, 1 << 16, 1 << 16);
    const int one = metrics.boundingRect(room, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("X")).height();
    const int two = metrics.boundingRect(room, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("X\nX")).height();
    return std::max(one, two - one);
}

QLabel* makeLabel(QWidget* parent, const char* name, const QColor& colour) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
    return l;
}

}  // namespace

Readout::Readout(Document& document, const QPlainTextEdit* text, QWidget* parent)
    : QWidget(parent), document_(document), text_(text) {
    setObjectName(QStringLiteral("readout"));
    // A leaking flood colours the canvas image behind the readout too; the
    // panel keeps the pale and yellow text on a dark ground whatever it is.
    setAutoFillBackground(true);
    QPalette panel = palette();
    panel.setColor(QPalette::Window, QColor(16, 16, 16));
    setPalette(panel);
    const QColor plain(200, 200, 200);
    lines_[Pointer].label = makeLabel(this, "pointer", plain);
    lines_[Drag].label = makeLabel(this, "drag", QColor(255, 255, 255));
    flow_ = new QScrollArea(this);
    flow_->setObjectName(QStringLiteral("readoutPane"));
    flow_->setFrameShape(QFrame::NoFrame);
    flow_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    flow_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The pane scrolls by wheel and bar only: the picture's keys stay the picture's.
    flow_->setFocusPolicy(Qt::NoFocus);
    auto* content = new QWidget;
    content->setAutoFillBackground(true);
    content->setPalette(panel);
    flow_->viewport()->setPalette(panel);
    flow_->setWidget(content);
    lines_[Status].label = makeLabel(content, "status", plain);
    lines_[Counts].label = makeLabel(content, "counts", plain);
    lines_[Notes].label = makeLabel(content, "notes", QColor(255, 255, 85));
    // The readout takes the pointer over it, for the tooltips of cut lines;
    // it lies right of the drawing area, where the canvas has nothing to track.
    pitch_ = rowPitch(QFontMetrics(font()));
    document_.subscribe([this](Changes changes) { show(changes); });
    if (text_ != nullptr) connect(text_, &QPlainTextEdit::textChanged, this, &Readout::textEdited);
    show(~0u);
}

void Readout::show(Changes changes) {
    // Blocking the readout's signals pauses it (a benchmark drags without it).
    if (signalsBlocked()) return;
    if ((changes & (PointerChanged | OriginChanged)) != 0) {
        lines_[Pointer].full = QString::fromStdString(pointerLine(document_));
        fitFixed(Pointer);
    }
    if ((changes & (PointerChanged | SelectionChanged | OriginChanged)) != 0) {
        lines_[Drag].full = QString::fromStdString(dragLine(document_));
        fitFixed(Drag);
    }
    bool flowing = false;
    bool scrollToNotes = false;
    if ((changes & (ShapesChanged | OriginChanged | ToolChanged | SelectionChanged)) != 0) {
        lines_[Status].full = QString::fromStdString(statusLine(document_));
        lines_[Counts].full = QString::fromStdString(countsLines(document_));
        flowing = true;
    }
    if ((changes & (MarksChanged | CapacityChanged)) != 0) {
        // The full list's note, in the caption and a tooltip too, stays here.
        std::string notes = notesLines(document_);
        const std::string& full = document_.capacityNote();
        if (!full.empty()) notes += (notes.empty() ? "" : "\n") + full;
        const QString before = lines_[Notes].full;
        lines_[Notes].full = QString::fromStdString(notes);
        // As notesLines has it: a save to speak of, and nothing changed since.
        savedNoteShown_ = !document_.savedPath().empty() && !document_.isModified();
        if (savedNoteShown_ && text_ != nullptr) savedCharacters_ = text_->document()->characterCount();
        flowing = true;
        if (lines_[Notes].full != before && !lines_[Notes].full.isEmpty()) scrollToNotes = true;
    }
    if (flowing) fitFlowing();
    // A new note comes into sight, whatever the pane was scrolled to.
    if (scrollToNotes) flow_->verticalScrollBar()->setValue(0);
}

void Readout::textEdited() {
    // Any edit ends a showing saved note; only a text as long as the saved
    // one can bring it back. Other keys skip reading the whole text.
    if (document_.savedPath().empty()) return;
    if (savedNoteShown_ || text_->document()->characterCount() == savedCharacters_) show(MarksChanged);
}

int Readout::pointerRows() const { return document_.XK() ? 2 : 1; }

void Readout::fitFixed(LineIndex index) {
    if (index == Pointer) {
        fitLine(lines_[Pointer], 0, pointerRows());
        // The pointer's rows stay, empty or not, so the lines below do not
        // move as the pointer leaves the canvas for a button.
        lines_[Pointer].label->resize(width(), pointerRows() * pitch_);
        return;
    }
    const int before = lines_[Drag].label->height();
    fitLine(lines_[Drag], pointerRows() * pitch_ + Gap, DragRows);
    // The pane below takes the rows a drag's statement leaves free.
    if (lines_[Drag].label->height() != before) fitFlowing();
}

int Readout::flowTop() const {
    const int drag = lines_[Drag].label->height();
    return pointerRows() * pitch_ + Gap + (drag > 0 ? drag + Gap : 0);
}

void Readout::fitFlowing() {
    const int top = flowTop();
    flow_->setGeometry(0, top, width(), std::max(0, height() - top));
    // Without a bar while everything fits; with one, the rows wrap narrower.
    const int room = flow_->height();
    int used = flowAt(width());
    const bool scrolls = used > room;
    // A thin bar: every pixel of the narrow area is worth a word.
    const int bar = std::max(6, pitch_ / 2);
    if (scrolls) used = flowAt(width() - bar);
    flow_->verticalScrollBar()->setStyleSheet(
        QStringLiteral("QScrollBar:vertical { width: %1px; background: #202020; margin: 0; }"
                       "QScrollBar::handle:vertical { background: #909090; min-height: %2px; }"
                       "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }")
            .arg(bar)
            .arg(pitch_));
    flow_->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    flow_->widget()->resize(scrolls ? width() - bar : width(), std::max(used, room));
}

int Readout::flowAt(int width) {
    const QFontMetrics metrics(font());
    int top = 0;
    // The notes first: they are what the user must not miss.
    for (const LineIndex index : {Notes, Status, Counts}) {
        Line& line = lines_.at(index);
        QStringList rows;
        if (!line.full.isEmpty())
            for (const QString& l : line.full.split(QLatin1Char('\n'))) rows << wrapped(l, metrics, width);
        line.label->setText(rows.join(QLatin1Char('\n')));
        line.label->setToolTip(QString());
        line.label->setGeometry(0, top, width, static_cast<int>(rows.size()) * pitch_);
        if (!rows.isEmpty()) top += static_cast<int>(rows.size()) * pitch_ + Gap;
    }
    return std::max(0, top - Gap);
}

void Readout::fitLine(Line& line, int top, int rows) {
    const Fitted fitted = fit(line.full, QFontMetrics(font()), width(), rows);
    line.label->setText(fitted.rows.join(QLatin1Char('\n')));
    line.label->setToolTip(fitted.elided ? line.full : QString());
    line.label->setGeometry(0, top, width(), static_cast<int>(fitted.rows.size()) * pitch_);
}

void Readout::resizeEvent(QResizeEvent*) {
    pitch_ = rowPitch(QFontMetrics(font()));
    fitFixed(Pointer);
    fitFixed(Drag);
    fitFlowing();
}

void Readout::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) resizeEvent(nullptr);
    QWidget::changeEvent(event);
}

}  // namespace pasdraw
