#include "program/play_run.h"

#include <chrono>
#include <memory>

namespace pasdraw {

namespace {

class Player : public StatementWatch {
public:
    Player(const BgiScreen& screen, const PlayHooks& hooks) : screen_(screen), hooks_(hooks) {}

    bool before(uint64_t index, int, int) override {
        ran_ = index;
        // A refused wait ends the run here too.
        if (stopped_ || (hooks_.stopped && hooks_.stopped())) {
            stopped_ = true;
            return false;
        }
        // The clock is read only now and then: it costs more than a statement.
        if (hooks_.drawingFrameMs > 0 && (index & 1023) == 0 &&
            Clock::now() - lastFrame_ >= std::chrono::milliseconds(hooks_.drawingFrameMs))
            show(false);
        return true;
    }
    void after(uint64_t index) override { ran_ = index + 1; }
    void delay(uint16_t ms) override {
        // The delay statement itself has not finished: the frame is the
        // screen after the statements before it.
        show(true);
        if (hooks_.wait && !hooks_.wait(ms)) stopped_ = true;
    }
    void show(bool atDelay) {
        PreviewRun frame;
        frame.pixels.assign(
            screen_.pixels(),
            screen_.pixels() + static_cast<std::ptrdiff_t>(PreviewRun::Width) * PreviewRun::Height);
        frame.palette = StandardPalette;
        const uint16_t background = screen_.backgroundColour();
        frame.palette[0] = background < 16 ? StandardPalette[background] : backgroundRgb(background);
        lastFrame_ = Clock::now();
        if (hooks_.show) hooks_.show(std::move(frame), ran_, atDelay);
    }
    bool wasStopped() const { return stopped_; }

private:
    using Clock = std::chrono::steady_clock;
    const BgiScreen& screen_;
    const PlayHooks& hooks_;
    uint64_t ran_ = 0;
    bool stopped_ = false;
    Clock::time_point lastFrame_ = Clock::now();
};

}  // namespace

RunLimits playLimits() {
    RunLimits limits;
    limits.maxStatements *= 1000;
    limits.maxWork *= 1000;
    limits.maxOperations *= 1000;
    return limits;
}

RunResult playRun(std::string_view utf8, const PlayHooks& hooks) {
    auto screen = std::make_unique<BgiScreen>();
    Player player(*screen, hooks);
    RunResult result = runProgram(utf8, *screen, playLimits(), &player);
    if (!player.wasStopped()) player.show(false);
    return result;
}

}  // namespace pasdraw
