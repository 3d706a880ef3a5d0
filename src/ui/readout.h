// The readout in the free black area under the tool buttons: the pointer in
// screen pixels as the statements write it, the same relative to XK, YK once
// an origin is set, the statement a drag would store, the shape counts, the
// origin, where the next fill stops, and notes about the text and the save.
// Each part is its own label, so a pointer move re-lays out one line only.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>

#include "model/picture.h"

class QLabel;

namespace pasdraw {

class Readout : public QWidget {
    Q_OBJECT
public:
    explicit Readout(QWidget* parent = nullptr);

    // The pointer in twips while it is over the canvas, none elsewhere.
    void setPointer(std::optional<std::pair<float, float>> twips);
    // The record the drag under way would store, none without a drag.
    void setDrag(const std::optional<ShapeRecord>& record);
    void setOrigin(std::optional<int32_t> XK, int16_t YK);
    // Counts, tool hint and fill border from the picture.
    void showPicture(const Picture& picture);
    void setTextStale(bool stale);
    void setSaved(const QString& path);  // empty: no note

    // What each line shows, for tests.
    QString pointerText() const;
    QString dragText() const;
    QString statusText() const;
    QString countsText() const;
    QString noteText() const;

private:
    void updatePointer();
    void updateNotes();

    QLabel* pointer_;
    QLabel* drag_;
    QLabel* status_;
    QLabel* counts_;
    QLabel* notes_;
    std::optional<std::pair<float, float>> twips_;
    std::optional<int32_t> XK_;
    int16_t YK_ = 0;
    bool stale_ = false;
    QString savedPath_;
};

}  // namespace pasdraw
