// A Surface that only logs the calls made on it, so tests can check the order
// and the arguments of what the editor and the repaint draw.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "canvas/surface.h"

namespace pasdraw::testing {

class RecordingSurface : public Surface {
public:
    explicit RecordingSurface(float tppX = 15.0f, float tppY = 15.0f) : tppX_(tppX), tppY_(tppY) {}

    std::vector<std::string> calls;

    void Line(float x1, float y1, float x2, float y2, int32_t c) override {
        log("Line", {x1, y1, x2, y2}, c);
    }
    void LineBox(float x1, float y1, float x2, float y2, int32_t c) override {
        log("Box", {x1, y1, x2, y2}, c);
    }
    void Circle(float x, float y, float r, int32_t c) override { log("Circle", {x, y, r}, c); }
    void Cls() override { calls.push_back("Cls"); }
    void Refresh() override { calls.push_back("Refresh"); }
    void setForeColor(int32_t rgb) override { calls.push_back("ForeColor " + hex(rgb)); }
    void setFillColor(int32_t rgb) override { calls.push_back("FillColor " + hex(rgb)); }
    void setFillStyle(int16_t s) override { calls.push_back("FillStyle " + std::to_string(s)); }
    void Ellipse(int32_t l, int32_t t, int32_t r, int32_t b) override {
        calls.push_back("Ellipse " + std::to_string(l) + " " + std::to_string(t) + " " + std::to_string(r) +
                        " " + std::to_string(b));
    }
    void EllipseArc(int32_t l, int32_t t, int32_t r, int32_t b, uint16_t start, uint16_t end) override {
        calls.push_back("EllipseArc " + std::to_string(l) + " " + std::to_string(t) + " " +
                        std::to_string(r) + " " + std::to_string(b) + " " + std::to_string(start) + " " +
                        std::to_string(end));
    }
    void FloodFill(int32_t x, int32_t y, int32_t border) override {
        calls.push_back("FloodFill " + std::to_string(x) + " " + std::to_string(y) + " " + hex(border));
    }
    float TwipsPerPixelX() const override { return tppX_; }
    float TwipsPerPixelY() const override { return tppY_; }

    static std::string hex(int32_t v) {
        std::ostringstream o;
        o << std::hex << std::uppercase << static_cast<uint32_t>(v);
        return o.str();
    }

private:
    void log(const char* name, std::initializer_list<float> values, int32_t colour) {
        std::ostringstream o;
        o << name;
        for (float v : values) o << ' ' << v;
        o << ' ' << hex(colour);
        calls.push_back(o.str());
    }
    float tppX_, tppY_;
};

}  // namespace pasdraw::testing
