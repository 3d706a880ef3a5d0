#include "program/play_thread.h"

#include <chrono>

#include "program/play_run.h"

namespace pasdraw {

void PlayThread::start(std::string text, Announce announce) {
    stop();
    stop_ = false;
    playing_ = true;
    const int generation = ++generation_;
    thread_ = std::thread([this, generation, text = std::move(text), announce = std::move(announce)] {
        PlayHooks hooks;
        // A drawing that takes long without delays is seen as it grows.
        hooks.drawingFrameMs = 40;
        hooks.stopped = [this] { return stop_.load(); };
        hooks.wait = [this](uint16_t ms) {
            std::unique_lock lock(mutex_);
            return !wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop_.load(); });
        };
        hooks.show = [this, &announce](PreviewRun frame, uint64_t, bool) {
            bool tell = false;
            {
                const std::lock_guard lock(mutex_);
                frame_ = std::move(frame);
                tell = !frameAnnounced_;
                frameAnnounced_ = true;
            }
            if (tell) announce.frameReady();
        };
        playRun(text, hooks);
        announce.ended(generation);
    });
}

bool PlayThread::stop() {
    if (!thread_.joinable()) return false;
    {
        // Set under the lock, so that a wait about to begin sees it rather
        // than missing the wake-up and sleeping through its delay.
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
    {
        const std::lock_guard lock(mutex_);
        frame_.reset();
    }
    playing_ = false;
    return true;
}

bool PlayThread::ended(int generation) {
    if (generation != generation_ || !playing_) return false;
    if (thread_.joinable()) thread_.join();
    playing_ = false;
    return true;
}

std::optional<PreviewRun> PlayThread::takeFrame() {
    std::optional<PreviewRun> frame;
    const std::lock_guard lock(mutex_);
    frame.swap(frame_);
    frameAnnounced_ = false;
    return frame;
}

}  // namespace pasdraw
