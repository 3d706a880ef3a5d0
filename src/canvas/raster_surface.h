// A Surface drawn into our own persistent 32-bit image: aliased one-pixel pen
// that overwrites pixels, hollow or solid boxes, conic outlines that are
// 8-connected (so a 4-connected fill cannot slip through a diagonal step), and
// a span flood fill bounded by pixels of exactly one colour.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "canvas/pixel_buffer.h"
#include "canvas/surface.h"

namespace pasdraw {

// Client area of the window in twips.
inline constexpr int ClientWidthTwips = 9645;
inline constexpr int ClientHeightTwips = 7965;

class RegionFill;
class BgiScreen;

class RasterSurface final : public Surface {
public:
    // The image covers the whole client area at device-pixel resolution.
    RasterSurface(float twipsPerPixelX, float twipsPerPixelY);
    // Out of line: inlined into every user, the members' destructors made
    // GCC 12 see a free of a non-heap pointer in a test's own vector.
    ~RasterSurface() override;
    RasterSurface(RasterSurface&&) noexcept;
    RasterSurface& operator=(RasterSurface&&) noexcept;

    void Line(float x1, float y1, float x2, float y2, int32_t colour) override;
    void LineBox(float x1, float y1, float x2, float y2, int32_t colour) override;
    void Circle(float x, float y, float radius, int32_t colour) override;
    void Cls() override;
    void Refresh() override;

    void setForeColor(int32_t rgb) override { foreColor_ = rgb; }
    void setFillColor(int32_t rgb) override { fillColor_ = rgb; }
    void setFillStyle(int16_t style) override { fillStyle_ = style; }

    void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void EllipseArc(int32_t left, int32_t top, int32_t right, int32_t bottom, uint16_t startAngle,
                    uint16_t endAngle) override;
    void FloodFill(int32_t x, int32_t y, int32_t border) override;
    void setFillPattern(int16_t pattern) override { fillPattern_ = pattern; }

    void GraphLine(int x1, int y1, int x2, int y2, int32_t colour, int16_t lineStyle,
                   int16_t lineWidth) override;
    void GraphPolygon(const int* xs, const int* ys, int n, int32_t colour, int16_t lineStyle,
                      int16_t lineWidth) override;
    void GraphRectangle(int x1, int y1, int x2, int y2, int32_t colour, int16_t lineStyle,
                        int16_t lineWidth) override;
    void GraphBar(int x1, int y1, int x2, int y2, int32_t colour, int16_t pattern) override;
    void GraphCircle(int x, int y, int radius, int32_t colour, int16_t lineWidth) override;
    void GraphArc(int x, int y, int startAngle, int endAngle, int radius, int32_t colour,
                  int16_t lineWidth) override;
    void GraphEllipse(int x, int y, int startAngle, int endAngle, int xRadius, int yRadius, int32_t colour,
                      int16_t lineWidth) override;
    void GraphPieSlice(int x, int y, int startAngle, int endAngle, int radius, int32_t colour,
                       int16_t pattern) override;
    void GraphText(int x, int y, std::string_view text, int32_t colour, int16_t size, bool vertical) override;
    // Floods replayed between these may be made on regions rather than
    // pixels; bits() and pixel() show them from the end on.
    void beginFillReplay() override;
    void endFillReplay() override;

    float TwipsPerPixelX() const override { return twipsPerPixelX_; }
    float TwipsPerPixelY() const override { return twipsPerPixelY_; }

    int width() const { return width_; }
    int height() const { return height_; }
    // Pixels in 0x00BBGGRR, row by row; the top byte is always 0.
    const uint32_t* bits() const { return pixels_.data(); }
    uint32_t pixel(int x, int y) const;

    int32_t foreColor() const { return foreColor_; }
    int32_t fillColor() const { return fillColor_; }
    int16_t fillStyle() const { return fillStyle_; }

    // Bars straight on the image (the default), or through the scratch
    // screen as the other shapes of the graph unit go, which gives the same
    // pixels; the second is kept to hold the first to it.
    void setBarsOnImage(bool on) { barsOnImage_ = on; }

    // Called by Refresh so the window can schedule one repaint of its own.
    void setRefreshHandler(std::function<void()> handler) { onRefresh_ = std::move(handler); }
    // True when the image changed since the last call; the window uses it to
    // schedule a single update after an event handler.
    bool takeChanged();

private:
    // A palette colour as the image stores it.
    static uint32_t toPixelColour(int32_t rgb) { return static_cast<uint32_t>(rgb) & 0x00FFFFFFu; }
    // Pixel-space primitives; coordinates in 64 bits so that far-off values
    // neither overflow nor cost time (everything is clipped first).
    void plotSegment(int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t colour);
    void fillRect(int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t colour);
    void hspan(int64_t y, int64_t x0, int64_t x1, uint32_t colour);
    void conicOutline(int64_t left, int64_t top, int64_t right, int64_t bottom, uint32_t colour);
    int64_t toPixelX(float twips) const;
    int64_t toPixelY(float twips) const;
    // The span flood; returns the pixels it painted.
    std::size_t floodPixels(int32_t x, int32_t y, uint32_t border, uint32_t brush,
                            std::vector<std::pair<std::size_t, std::size_t>>* spans = nullptr);
    // The patterned flood: the area of a solid one, then each of its pixels
    // coloured by the pattern bit of the unit's pixel it stands for.
    void patternFlood(int32_t x, int32_t y, uint32_t border, uint32_t brush);
    // The graph unit's drawing: `draw` draws on a scratch screen of the
    // unit's pixels, once for each 640 x 480 tile of them that the image
    // shows and `bounds` (unit pixels, edges included) meets, and what it
    // drew there is shown on the image and cleared again, so the cost
    // follows the shape's size. A device pixel several unit pixels fall on
    // takes the shape's colour if any of them is drawn, else black if any
    // is a pattern's 0 bit (the unit paints those in the background);
    // blackToo: the shape paints such bits.
    struct GraphBounds {
        int64_t left, top, right, bottom;
    };
    template <class Draw>
    void graph(GraphBounds bounds, int32_t colour, bool blackToo, Draw&& draw);
    void showGraphTile(GraphBounds onTile, int tileX, int tileY, uint32_t colour, bool blackToo);
    // A bar straight on the image: each device pixel from the pattern bits
    // of the unit pixels it stands for. False for a pattern the unit
    // rejects, which the scratch screen then draws as the unit does.
    bool barOnImage(int x1, int y1, int x2, int y2, uint32_t colour, int16_t pattern);
    // Writes back what floods made on regions, before anything else draws.
    void settleFills() {
        if (onRegions_) putRegions();
    }
    void putRegions();

    float twipsPerPixelX_;
    float twipsPerPixelY_;
    int width_;
    int height_;
    PixelBuffer pixels_;
    // Flood fill bookkeeping: a pixel is visited in the current fill when its
    // stamp equals fillGeneration_, so nothing has to be cleared between fills.
    // Made at the first fill: a window that never fills never pays for it.
    PixelBuffer visitStamp_;
    uint32_t fillGeneration_ = 0;
    std::vector<std::pair<int, int>> fillStack_;
    // During a replay, once the floods have painted more pixels than the image
    // holds (fills that leak), the rest are made on regions: repeating a
    // flood of the whole image a thousand times took most of a second.
    bool replaying_ = false;
    std::size_t replayedPixels_ = 0;
    bool onRegions_ = false;
    // Made at the first replay that leaks; shared_ptr only so that the
    // destructor needs no complete RegionFill here (the image makes the
    // surface move-only anyway).
    std::shared_ptr<RegionFill> regions_;

    // The scratch screen of the graph unit's drawing, made at its first use;
    // shared_ptr for the same reason as regions_.
    std::shared_ptr<BgiScreen> graph_;
    // Device pixels a unit pixel covers, per axis: the first and the last,
    // for unit pixels 0 up to where the image ends.
    std::vector<std::pair<int32_t, int32_t>> unitToDeviceX_, unitToDeviceY_;
    // The bit of a fill pattern's row (7 - x % 8) and the row (y % 8) of the
    // unit pixel a device pixel stands for, per device column and row.
    std::vector<uint8_t> patternBitX_, patternRowY_;
    // The other way: the first and the last unit pixel shown on each device
    // column and row, and per column the pattern bits (1 << (7 - u % 8)) of
    // all the units u shown on it.
    std::vector<std::pair<int32_t, int32_t>> deviceToUnitX_, deviceToUnitY_;
    std::vector<uint8_t> unitBitsX_;
    // showGraphTile's scratch: a row of several unit rows met, and the drawn
    // runs of a row (first and last unit pixel), shown after its black ones.
    std::vector<uint8_t> metRow_;
    std::vector<std::pair<int64_t, int64_t>> drawnRuns_;
    std::vector<std::pair<std::size_t, std::size_t>> floodSpans_;  // first and last index of each span
    int16_t fillPattern_ = SolidPattern;
    bool barsOnImage_ = true;

    int32_t foreColor_ = 0;
    int32_t fillColor_ = 0;
    int16_t fillStyle_ = FillTransparent;
    bool changed_ = false;
    std::function<void()> onRefresh_;
};

}  // namespace pasdraw
