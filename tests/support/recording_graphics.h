// A BgiGraphics that logs each call with the arguments as the routine
// receives them, e.g. "circle(5,5,65535)" for a radius of -1 passed to the
// word parameter. Work counts one per call unless a test sets another cost.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "bgi/graphics.h"

namespace pasdraw::testing {

class RecordingGraphics : public BgiGraphics {
public:
    std::vector<std::string> calls;
    uint64_t costPerCall = 1;
    // When false only the work is counted, for runs whose calls would not fit
    // in memory.
    bool keep = true;

    void setcolor(uint16_t c) override { log("setcolor", {c}); }
    void setbkcolor(uint16_t c) override { log("setbkcolor", {c}); }
    void setfillstyle(uint16_t p, uint16_t c) override { log("setfillstyle", {p, c}); }
    void cleardevice() override { log("cleardevice", {}); }
    void putpixel(int16_t x, int16_t y, uint16_t c) override { log("putpixel", {x, y, c}); }
    void moveto(int16_t x, int16_t y) override { log("moveto", {x, y}); }
    void lineto(int16_t x, int16_t y) override { log("lineto", {x, y}); }
    void line(int16_t a, int16_t b, int16_t c, int16_t d) override { log("line", {a, b, c, d}); }
    void rectangle(int16_t a, int16_t b, int16_t c, int16_t d) override { log("rectangle", {a, b, c, d}); }
    void bar(int16_t a, int16_t b, int16_t c, int16_t d) override { log("bar", {a, b, c, d}); }
    void circle(int16_t x, int16_t y, uint16_t r) override { log("circle", {x, y, r}); }
    void arc(int16_t x, int16_t y, uint16_t s, uint16_t e, uint16_t r) override {
        log("arc", {x, y, s, e, r});
    }
    void ellipse(int16_t x, int16_t y, uint16_t s, uint16_t e, uint16_t rx, uint16_t ry) override {
        log("ellipse", {x, y, s, e, rx, ry});
    }
    void floodfill(int16_t x, int16_t y, uint16_t b) override { log("floodfill", {x, y, b}); }
    uint64_t work() const override { return work_; }

    // All calls as one text, one call per line.
    std::string joined() const {
        std::string s;
        for (const std::string& c : calls) s += c + "\n";
        return s;
    }

private:
    void log(const char* name, std::initializer_list<int32_t> args) {
        work_ += costPerCall;
        if (!keep) return;
        std::string s = name;
        s += '(';
        bool first = true;
        for (int32_t a : args) {
            if (!first) s += ',';
            s += std::to_string(a);
            first = false;
        }
        calls.push_back(s + ')');
    }
    uint64_t work_ = 0;
};

}  // namespace pasdraw::testing
