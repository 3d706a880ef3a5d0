// The readout in the free black area under the tool buttons: it shows the
// document's readout lines (the pointer, the statement a drag would store,
// the tool hint, the counts and origin, the notes about the text and the
// save). Each part is its own label, so a pointer move re-lays out the
// pointer's lines only.
#pragma once

#include <QString>
#include <QWidget>

#include "document/document.h"

class QLabel;

namespace pasdraw {

class Readout : public QWidget {
    Q_OBJECT
public:
    explicit Readout(Document& document, QWidget* parent = nullptr);

    // What each line shows, for tests.
    QString pointerText() const;
    QString dragText() const;
    QString statusText() const;
    QString countsText() const;
    QString noteText() const;

private:
    void show(Changes changes);

    Document& document_;
    QLabel* pointer_;
    QLabel* drag_;
    QLabel* status_;
    QLabel* counts_;
    QLabel* notes_;
};

}  // namespace pasdraw
