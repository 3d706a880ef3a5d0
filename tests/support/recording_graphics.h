// A BgiGraphics that logs each call with the arguments as the routine
// receives them, e.g. "circle(5,5,65535)" for a radius of -1 passed to the
// word parameter. Work counts one per call unless a test sets another cost.
// It keeps the viewport and the text size as the screen does, with the
// screen's own rules, since the interpreter asks for them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "bgi/graphics.h"
#include "bgi/text.h"
#include "bgi/viewport.h"

namespace pasdraw::testing {

class RecordingGraphics : public BgiGraphics {
public:
    std::vector<std::string> calls;
    uint64_t costPerCall = 1;
    // When false only the work is counted, for runs whose calls would not fit
    // in memory.
    bool keep = true;

#define PASDRAW_ARGUMENTS_AFTER(...) __VA_OPT__(, ) __VA_ARGS__
#define PASDRAW_RECORD_ROUTINE(id, name, params, args)         \
    void id params override {                                  \
        log(name PASDRAW_ARGUMENTS_AFTER args);                \
        follow(GraphRoutine::id PASDRAW_ARGUMENTS_AFTER args); \
    }
    PASDRAW_GRAPH_ROUTINES(PASDRAW_RECORD_ROUTINE)
#undef PASDRAW_RECORD_ROUTINE
    // Functions are logged like routines; they describe the 640 x 480
    // sixteen-colour screen and answer 0 otherwise.
#define PASDRAW_RECORD_FUNCTION(id, name, result, params, args) \
    result id params override {                                 \
        log(name PASDRAW_ARGUMENTS_AFTER args);                 \
        return static_cast<result>(answer(name));               \
    }
    PASDRAW_GRAPH_FUNCTIONS(PASDRAW_RECORD_FUNCTION)
#undef PASDRAW_RECORD_FUNCTION
#undef PASDRAW_ARGUMENTS_AFTER
    uint64_t work() const override { return work_; }
    Viewport viewport() const override { return viewport_; }
    int textSize() const override { return textSize_; }

    // All calls as one text, one call per line.
    std::string joined() const {
        std::string s;
        for (const std::string& c : calls) s += c + "\n";
        return s;
    }

private:
    static int answer(std::string_view name) {
        return name == "getmaxx" ? 639 : name == "getmaxy" ? 479 : name == "getmaxcolor" ? 15 : 0;
    }
    // A string argument is logged in quotes, its bytes as they are.
    static std::string logged(int64_t a) { return std::to_string(a); }
    static std::string logged(ShortString a) { return "'" + std::string(a.bytes) + "'"; }
    template <class... A>
    void log(const char* name, const A&... args) {
        work_ += costPerCall;
        if (!keep) return;
        std::string s = name;
        s += '(';
        bool first = true;
        ((s += (first ? "" : ","), s += logged(args), first = false), ...);
        calls.push_back(s + ')');
    }
    // The routines that change the viewport or the text size; the rest
    // change neither.
    template <class... A>
    void follow(GraphRoutine, const A&...) {}
    void follow(GraphRoutine r) {
        if (r == GraphRoutine::ClearDevice) viewport_ = viewportAfterClearDevice(viewport_);
    }
    void follow(GraphRoutine, int16_t x1, int16_t y1, int16_t x2, int16_t y2, bool clip) {
        if (validViewport(x1, y1, x2, y2)) viewport_ = {x1, y1, x2, y2, clip};
    }
    void follow(GraphRoutine r, uint16_t font, uint16_t, uint16_t charSize) {
        if (r == GraphRoutine::SetTextStyle) textSize_ = textSizeAfter(textSize_, font, charSize);
    }
    uint64_t work_ = 0;
    Viewport viewport_;
    int textSize_ = 1;
};

}  // namespace pasdraw::testing
