// Play on a thread of its own: the played run (playRun) waits through its
// delays there, and hands its frames to the thread that shows them. Only the
// newest frame is kept: the shower is told once that a frame is ready, and
// takes whatever is newest when it gets to it (older ones are dropped). No
// Qt: the preview window turns the two announcements into queued calls.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "program/preview_run.h"

namespace pasdraw {

class PlayThread {
public:
    // Both are called on the play's thread.
    struct Announce {
        // A frame is ready; not called again until it has been taken.
        std::function<void()> frameReady;
        // The play ran to its end (or stopped itself): pass the generation to
        // ended() from the showing thread.
        std::function<void(int generation)> ended;
    };

    PlayThread() = default;
    ~PlayThread() { stop(); }
    PlayThread(const PlayThread&) = delete;
    PlayThread& operator=(const PlayThread&) = delete;

    // Plays the UTF-8 text from its start; a play still running is stopped.
    void start(std::string text, Announce announce);
    // Ends a play: a wait is cut short and the run stops at its next
    // statement, and a frame not taken yet is dropped. False when no play's
    // thread was left to stop.
    bool stop();
    // The play of `generation` ended by itself: joins its thread. False for
    // a play that was stopped or replaced since, whose end is no news.
    bool ended(int generation);
    // The newest frame, if one came since the last take.
    std::optional<PreviewRun> takeFrame();
    // From start until stop or the end of the current play.
    bool playing() const { return playing_; }

private:
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<PreviewRun> frame_;
    bool frameAnnounced_ = false;
    bool playing_ = false;
    int generation_ = 0;
};

}  // namespace pasdraw
