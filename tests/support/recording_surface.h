// A Surface that only logs the calls made on it, so tests can check the order
// and the arguments of what the editor and the repaint draw.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
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
    void setFillPattern(int16_t pattern) override {
        calls.push_back("FillPattern " + std::to_string(pattern));
    }
    void GraphLine(int x1, int y1, int x2, int y2, int32_t c, int16_t style, int16_t width) override {
        graph("GraphLine", {x1, y1, x2, y2, style, width}, c);
    }
    void GraphRectangle(int x1, int y1, int x2, int y2, int32_t c, int16_t style, int16_t width) override {
        graph("GraphRectangle", {x1, y1, x2, y2, style, width}, c);
    }
    void GraphBar(int x1, int y1, int x2, int y2, int32_t c, int16_t pattern) override {
        graph("GraphBar", {x1, y1, x2, y2, pattern}, c);
    }
    void GraphCircle(int x, int y, int r, int32_t c, int16_t width) override {
        graph("GraphCircle", {x, y, r, width}, c);
    }
    void GraphArc(int x, int y, int start, int end, int r, int32_t c, int16_t width) override {
        graph("GraphArc", {x, y, start, end, r, width}, c);
    }
    void GraphEllipse(int x, int y, int start, int end, int rx, int ry, int32_t c, int16_t width) override {
        graph("GraphEllipse", {x, y, start, end, rx, ry, width}, c);
    }
    void GraphPieSlice(int x, int y, int start, int end, int r, int32_t c, int16_t pattern) override {
        graph("GraphPieSlice", {x, y, start, end, r, pattern}, c);
    }
    void GraphText(int x, int y, std::string_view text, int32_t c, int16_t size, bool vertical) override {
        graph("GraphText", {x, y, size, vertical ? 1 : 0}, c);
        calls.back() += " '" + std::string(text) + "'";
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
    void graph(const char* name, std::initializer_list<int> values, int32_t colour) {
        std::ostringstream o;
        o << name;
        for (int v : values) o << ' ' << v;
        o << ' ' << hex(colour);
        calls.push_back(o.str());
    }
    float tppX_, tppY_;
};

}  // namespace pasdraw::testing
