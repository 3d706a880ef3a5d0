// Playing a run in real time: the statements run as the compiled program runs
// them, delay(ms) waits, and the screen is shown at every delay, as the
// program's window shows it at that moment, and at the end. delay receives a
// word, as measured with Free Pascal's crt unit: delay(256 * 256 + 300) waits
// 300 ms, and delay(0) returns at once.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "program/preview_run.h"

namespace pasdraw {

struct PlayHooks {
    // Shows the screen now. `statements` simple statements have run;
    // atDelay says whether a delay is about to wait (otherwise the run has
    // ended, or has drawn for a while without waiting).
    std::function<void(PreviewRun frame, uint64_t statements, bool atDelay)> show;
    // Waits ms milliseconds; false stops the play.
    std::function<bool(uint16_t ms)> wait;
    // Asked before every statement; true stops the play.
    std::function<bool()> stopped;
    // Between delays, a frame at most this often (0: only at delays and at
    // the end), so a long drawing without delays is seen as it grows.
    uint32_t drawingFrameMs = 0;
};

// Bounds of a played run: a thousand times the still run's, since the user
// can stop it.
RunLimits playLimits();

RunResult playRun(std::string_view utf8, const PlayHooks& hooks);

}  // namespace pasdraw
