// A job slot on a worker pool where the newest request wins (NewestWins):
// the work runs on the pool, and the result of a job that nothing newer waits
// behind is handed to `done` on the thread the slot was made in (the GUI
// thread), with the request it answers.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <functional>
#include <utility>

#include "program/newest_wins.h"

namespace pasdraw {

template <class Request, class Result>
class JobSlot {
public:
    using Work = std::function<Result(const Request&)>;
    using Done = std::function<void(const Request&, Result)>;

    JobSlot(QThreadPool& pool, Work work, Done done)
        : pool_(pool), work_(std::move(work)), done_(std::move(done)) {
        QObject::connect(&watcher_, &QFutureWatcher<Result>::finished, &watcher_, [this] { finished(); });
    }
    // A job still running reads the slot's request and work: wait for it.
    ~JobSlot() { watcher_.waitForFinished(); }
    JobSlot(const JobSlot&) = delete;
    JobSlot& operator=(const JobSlot&) = delete;

    void request(Request r) {
        if (std::optional<Request> now = rule_.request(std::move(r))) start(std::move(*now));
    }
    void dropWaiting() { rule_.dropWaiting(); }
    // From the start of a job until its result is handed over or dropped.
    bool busy() const { return rule_.busy(); }
    // Blocks until the running job's work is done; its result comes with
    // the next turn of the event loop.
    void waitForFinished() { watcher_.waitForFinished(); }

private:
    void start(Request r) {
        // Only this job reads running_ until it finishes: a new one starts
        // only after that.
        running_ = std::move(r);
        watcher_.setFuture(QtConcurrent::run(&pool_, [this] { return work_(running_); }));
    }
    void finished() {
        if (std::optional<Request> next = rule_.finished()) {
            start(std::move(*next));
            return;
        }
        // `done` may make the next request, which replaces running_.
        const Request answered = std::move(running_);
        done_(answered, watcher_.result());
    }

    QThreadPool& pool_;
    Work work_;
    Done done_;
    NewestWins<Request> rule_;
    Request running_{};
    QFutureWatcher<Result> watcher_;
};

}  // namespace pasdraw
