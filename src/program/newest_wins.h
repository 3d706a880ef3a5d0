// The rule of a job slot where the newest request wins, as the preview uses
// it for its runs, its cuts and its search for a pixel's statement: at most
// one job runs and at most one request waits. A request made while a job runs
// waits, replacing an older waiting one; when the job finishes, the waiting
// request starts and the finished job's result is stale. No threads here:
// whoever owns the slot starts the jobs and says when one finished, so the
// rule is tested without timing.
#pragma once

#include <optional>
#include <utility>

namespace pasdraw {

template <class Request>
class NewestWins {
public:
    // The request to start now, or nothing when a job runs (it waits).
    std::optional<Request> request(Request r) {
        if (running_) {
            waiting_ = std::move(r);
            return std::nullopt;
        }
        running_ = true;
        return r;
    }

    // The running job finished. Returns the waiting request, which starts
    // now (the slot stays busy and the finished job's result is dropped), or
    // nothing: the result is the newest and the slot is free.
    std::optional<Request> finished() {
        if (!waiting_) {
            running_ = false;
            return std::nullopt;
        }
        std::optional<Request> next = std::move(waiting_);
        waiting_.reset();
        return next;
    }

    // Forgets the waiting request, if any; a running job runs on.
    void dropWaiting() { waiting_.reset(); }

    bool busy() const { return running_; }

private:
    bool running_ = false;
    std::optional<Request> waiting_;
};

}  // namespace pasdraw
