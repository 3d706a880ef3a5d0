// Keeps a copy of unsaved work in the user's state folder
// ($XDG_STATE_HOME/pasdraw, ~/.local/state/pasdraw by default), written
// atomically a moment after each change, so that a crash, a killed session or
// a power cut loses nothing. Each window has a file of its own, locked while
// it runs, so two windows never overwrite each other's copy; at start-up a
// copy whose window no longer runs is offered in the readout, never forced.
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

#include "document/document.h"

namespace pasdraw {

class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    RecoveryKeeper(Document& document, QObject* parent);
    ~RecoveryKeeper() override;

    static QString folder();
    // How long after the window is made it looks for work a crashed window left.
    static constexpr int LookDelayMs = 200;
    // This window's file.
    const QString& path() const { return path_; }
    // The work changed: write it aside soon, or drop the copy when nothing
    // is left unsaved.
    void changed();
    // Writes now (tests, and the timer).
    void write();
    // The work was saved or thrown away on purpose: no copy is needed.
    void discard();
    // Takes the offered copy of a window that no longer runs.
    bool restore();

    // Offers the newest copy that no running window holds, once (after
    // LookDelayMs, or at a restore that comes sooner).
    void lookForLeftWork();

private:
    Document& document_;
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    QTimer timer_;
    QString offeredPath_;
    bool looked_ = false;
};

}  // namespace pasdraw
