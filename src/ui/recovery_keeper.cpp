#include "ui/recovery_keeper.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <atomic>

namespace pasdraw {

namespace {

// Windows of one process (the tests make many) each get their own file.
std::atomic<int> windowsMade{0};

QString lockOf(const QString& path) {
    return path.chopped(int(sizeof("pasdraw") - 1)) + QStringLiteral("lock");
}

}  // namespace

QString RecoveryKeeper::folder() {
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/pasdraw");
}

RecoveryKeeper::RecoveryKeeper(Document& document, QObject* parent) : QObject(parent), document_(document) {
    path_ = QStringLiteral("%1/recovery-%2-%3.pasdraw")
                .arg(folder())
                .arg(QCoreApplication::applicationPid())
                .arg(windowsMade++);
    timer_.setSingleShot(true);
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &RecoveryKeeper::write);
    // Looked for once the window shows: the start-up does not wait for the disk.
    QTimer::singleShot(LookDelayMs, this, &RecoveryKeeper::lookForLeftWork);
}

// An orderly end (the window closed, the program quit) leaves nothing to
// recover; only a crash or a kill skips this.
RecoveryKeeper::~RecoveryKeeper() { discard(); }

void RecoveryKeeper::changed() {
    if (!timer_.isActive()) timer_.start();
}

void RecoveryKeeper::write() {
    timer_.stop();
    if (!document_.isModified()) {
        QFile::remove(path_);
        return;
    }
    if (!lock_) {
        // Held while the window runs, so that no other window offers this
        // copy as left work.
        QDir().mkpath(folder());
        lock_ = std::make_unique<QLockFile>(lockOf(path_));
        lock_->setStaleLockTime(0);
        lock_->tryLock(0);
    }
    const std::string bytes = recoveryBytes(recoverableWork(document_, QDateTime::currentSecsSinceEpoch()));
    QSaveFile file(path_);
    // Nothing to tell the user when it fails: the work itself is unharmed,
    // and the next change tries again.
    if (file.open(QIODevice::WriteOnly) &&
        file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size())) {
        file.commit();
    }
}

void RecoveryKeeper::discard() {
    timer_.stop();
    QFile::remove(path_);
}

void RecoveryKeeper::lookForLeftWork() {
    if (looked_) return;
    looked_ = true;
    QFileInfoList left;
    for (const QFileInfo& f :
         QDir(folder()).entryInfoList({QStringLiteral("recovery-*.pasdraw")}, QDir::Files)) {
        if (f.absoluteFilePath() == path_) continue;
        // A lock that can be taken belongs to no running window.
        QLockFile other(lockOf(f.absoluteFilePath()));
        if (!other.tryLock(0)) continue;
        other.unlock();
        left.push_back(f);
    }
    std::sort(left.begin(), left.end(),
              [](const QFileInfo& a, const QFileInfo& b) { return a.lastModified() > b.lastModified(); });
    std::optional<RecoveredWork> offer;
    QStringList notes;
    for (const QFileInfo& f : left) {
        QFile file(f.absoluteFilePath());
        QByteArray bytes;
        if (file.open(QIODevice::ReadOnly)) bytes = file.read(qint64(MaxRecoveryBytes) + 1);
        RecoveryRead read = readRecovery(std::string_view(bytes.constData(), std::size_t(bytes.size())));
        if (!read.work) {
            // Kept aside, not deleted: it may still hold something worth a look.
            const QString aside = f.absoluteFilePath() + QStringLiteral(".damaged");
            QFile::remove(aside);
            QFile::rename(f.absoluteFilePath(), aside);
            notes << QStringLiteral("left work could not be recovered (%1); kept as %2")
                         .arg(QString::fromStdString(read.problem), aside);
        } else if (!offer) {
            // The newest; older ones wait for a later start.
            const int shapes = read.work->picture->recordCount();
            notes.prepend(QStringLiteral("unsaved work from %1, %2 %3: Ctrl+Shift+R restores it")
                              .arg(QDateTime::fromSecsSinceEpoch(read.work->savedAt)
                                       .toString(QStringLiteral("yyyy-MM-dd hh:mm")))
                              .arg(shapes)
                              .arg(shapes == 1 ? QStringLiteral("shape") : QStringLiteral("shapes")));
            offeredPath_ = f.absoluteFilePath();
            offer = std::move(read.work);
        }
    }
    if (!notes.isEmpty())
        document_.offerRecovery(std::move(offer), notes.join(QLatin1Char('\n')).toStdString());
}

bool RecoveryKeeper::restore() {
    lookForLeftWork();
    if (!document_.restoreRecovery()) return false;
    // The work is this window's now, and its own file keeps it.
    QFile::remove(offeredPath_);
    QFile::remove(lockOf(offeredPath_));
    write();
    return true;
}

}  // namespace pasdraw
