#include "ui/readout.h"

#include <QLabel>
#include <QVBoxLayout>

namespace pasdraw {

namespace {

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

Readout::Readout(Document& document, QWidget* parent) : QWidget(parent), document_(document) {
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
    document_.subscribe([this](Changes changes) { show(changes); });
    show(~0u);
}

void Readout::show(Changes changes) {
    // Blocking the readout's signals pauses it (a benchmark drags without it).
    if (signalsBlocked()) return;
    if ((changes & (PointerChanged | OriginChanged)) != 0) {
        pointer_->setText(QString::fromStdString(document_.pointerLine()));
    }
    if ((changes & PointerChanged) != 0)
        drag_->setText(breakable(QString::fromStdString(document_.dragLine())));
    if ((changes & (ShapesChanged | OriginChanged | ToolChanged)) != 0) {
        status_->setText(QString::fromStdString(document_.statusLine()));
        counts_->setText(QString::fromStdString(document_.countsLines()));
    }
    if ((changes & MarksChanged) != 0) {
        notes_->setText(breakable(QString::fromStdString(document_.notesLines())));
        notes_->setToolTip(QString::fromStdString(document_.savedPath()));
    }
}

QString Readout::pointerText() const { return pointer_->text(); }
QString Readout::dragText() const { return unbreakable(drag_->text()); }
QString Readout::statusText() const { return status_->text(); }
QString Readout::countsText() const { return counts_->text(); }
QString Readout::noteText() const { return unbreakable(notes_->text()); }

}  // namespace pasdraw
