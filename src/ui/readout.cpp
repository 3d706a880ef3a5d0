#include "ui/readout.h"

#include <QLabel>
#include <QVBoxLayout>

#include "codegen/codegen.h"
#include "model/numeric.h"
#include "model/palette.h"

namespace pasdraw {

namespace {

// A screen coordinate exactly as a statement would carry it: stored twips,
// then divided by 10 truncating toward zero.
int screenOf(float twips) { return toScreen(toStored(twips)); }

// Long statements and paths wrap at their separators, not only at blanks.
QString breakable(QString s) {
    s.replace(QLatin1Char(','), QStringLiteral(",\u200B"));
    s.replace(QLatin1Char(';'), QStringLiteral(";\u200B"));
    s.replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
    return s;
}

QString unbreakable(QString s) { return s.remove(QChar(0x200B)); }

QLabel* makeLabel(QWidget* parent, const QColor& colour) {
    auto* l = new QLabel(parent);
    l->setWordWrap(true);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
    return l;
}

}  // namespace

Readout::Readout(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("readout"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    const QColor plain(200, 200, 200);
    pointer_ = makeLabel(this, plain);
    drag_ = makeLabel(this, QColor(255, 255, 255));
    status_ = makeLabel(this, plain);
    counts_ = makeLabel(this, plain);
    notes_ = makeLabel(this, QColor(255, 255, 85));
    for (QLabel* l : {pointer_, drag_, status_, counts_, notes_}) layout->addWidget(l);
    layout->addStretch(1);
    // Rows that come and go must not move the ones below them.
    pointer_->setMinimumHeight(2 * fontMetrics().height());
    drag_->setMinimumHeight(3 * fontMetrics().height());
    // The readout only reports; the canvas below it keeps the pointer.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    updatePointer();
}

void Readout::setPointer(std::optional<std::pair<float, float>> twips) {
    twips_ = twips;
    updatePointer();
}

void Readout::setOrigin(std::optional<int32_t> XK, int16_t YK) {
    XK_ = XK;
    YK_ = YK;
    updatePointer();
}

void Readout::updatePointer() {
    QString text;
    if (twips_) {
        const int x = screenOf(twips_->first), y = screenOf(twips_->second);
        text = QStringLiteral("x %1, y %2").arg(x).arg(y);
        if (XK_) {
            // As "Value" writes a point: XK+dx, YK+dy with the sign inside.
            text += QStringLiteral("\nXK+%1, YK+%2")
                        .arg(static_cast<qint64>(x) - *XK_)
                        .arg(static_cast<qint64>(y) - YK_);
        }
    }
    pointer_->setText(text);
}

void Readout::setDrag(const std::optional<ShapeRecord>& record) {
    drag_->setText(record ? breakable(QString::fromLatin1(statementFor(*record))) : QString());
}

void Readout::showPicture(const Picture& picture) {
    const EditorState& s = picture.state;
    QString status;
    if (s.Tool == 0) {
        status = QStringLiteral("choose a tool to draw");
    } else if (s.Tool == static_cast<int16_t>(Kind::Fill)) {
        // The border is the colour of the newest outline, black before any.
        const PaletteEntry* border = paletteEntry(s.LastColorIndex);
        const QString name = border && border->rgb == s.LastColorRGB ? QString::fromLatin1(border->name)
                                                                     : QStringLiteral("BLACK");
        status = QStringLiteral("fills stop at %1 (%2)").arg(name).arg(s.LastColorIndex);
    }
    status_->setText(status);

    QString counts;
    for (const KindInfo& k : Kinds) {
        if (!counts.isEmpty()) counts += QLatin1Char('\n');
        counts += QStringLiteral("%1/%2 %3").arg(picture.count(k.kind)).arg(ListCapacity).arg(k.plural);
    }
    if (XK_) counts += QStringLiteral("\norigin XK %1, YK %2").arg(*XK_).arg(YK_);
    counts_->setText(counts);
}

void Readout::setTextStale(bool stale) {
    stale_ = stale;
    updateNotes();
}

void Readout::setSaved(const QString& path) {
    savedPath_ = path;
    updateNotes();
}

void Readout::updateNotes() {
    QString notes;
    if (stale_) notes = QStringLiteral("the text does not show the newest shapes: Generate or Value");
    if (!savedPath_.isEmpty()) {
        if (!notes.isEmpty()) notes += QLatin1Char('\n');
        notes += QStringLiteral("saved ") + breakable(savedPath_);
    }
    notes_->setText(notes);
    notes_->setToolTip(savedPath_);
}

QString Readout::pointerText() const { return pointer_->text(); }
QString Readout::dragText() const { return unbreakable(drag_->text()); }
QString Readout::statusText() const { return status_->text(); }
QString Readout::countsText() const { return counts_->text(); }
QString Readout::noteText() const { return unbreakable(notes_->text()); }

}  // namespace pasdraw
