#include "canvas/raster_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "bgi/bgi_screen.h"
#include "canvas/arc_angles.h"
#include "canvas/region_fill.h"
#include "model/numeric.h"

namespace pasdraw {

namespace {

// Round half up; used for outline geometry inside this file, where only
// consistency (the same call gives the same pixels) and symmetry matter.
int64_t roundCoord(double v) { return static_cast<int64_t>(std::floor(v + 0.5)); }

}  // namespace

RasterSurface::RasterSurface(float twipsPerPixelX, float twipsPerPixelY)
    : twipsPerPixelX_(twipsPerPixelX), twipsPerPixelY_(twipsPerPixelY) {
    if (!(twipsPerPixelX > 0.0f) || !(twipsPerPixelY > 0.0f)) {
        throw std::invalid_argument("twips per pixel must be positive");
    }
    width_ = std::max(1, twipsToPixel(static_cast<float>(ClientWidthTwips), twipsPerPixelX));
    height_ = std::max(1, twipsToPixel(static_cast<float>(ClientHeightTwips), twipsPerPixelY));
    const auto size = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    pixels_ = PixelBuffer(size);
    // The unit's pixel u covers twips 10u up to 10(u + 1), the device pixel
    // d those that round to d: so u shows on the device pixels from where
    // its first twip rounds to just before where the next pixel's does, and
    // at least on the first.
    const auto unitsToDevice = [](int pixels, float twipsPerPixel) {
        std::vector<std::pair<int32_t, int32_t>> map;
        const int units = static_cast<int>(std::ceil(static_cast<double>(pixels) * twipsPerPixel / 10.0)) + 1;
        for (int u = 0; u < units; ++u) {
            const int32_t first = twipsToPixel(static_cast<float>(10 * u), twipsPerPixel);
            const int32_t next = twipsToPixel(static_cast<float>(10 * u + 10), twipsPerPixel);
            if (first > pixels - 1) break;  // off the image: the unit pixels from here on are not shown
            map.emplace_back(first, std::min(std::max(first, next - 1), pixels - 1));
        }
        return map;
    };
    unitToDeviceX_ = unitsToDevice(width_, twipsPerPixelX);
    unitToDeviceY_ = unitsToDevice(height_, twipsPerPixelY);
    // A device pixel stands for the unit pixel that holds its middle.
    const auto unitOf = [](int d, float twipsPerPixel) {
        return static_cast<int>(std::floor(static_cast<double>(d) * twipsPerPixel / 10.0));
    };
    for (int x = 0; x < width_; ++x)
        patternBitX_.push_back(static_cast<uint8_t>(7 - (unitOf(x, twipsPerPixelX) & 7)));
    for (int y = 0; y < height_; ++y)
        patternRowY_.push_back(static_cast<uint8_t>(unitOf(y, twipsPerPixelY) & 7));
    const auto deviceToUnits = [](const std::vector<std::pair<int32_t, int32_t>>& map, int pixels) {
        std::vector<std::pair<int32_t, int32_t>> back(static_cast<std::size_t>(pixels), {-1, -1});
        for (int32_t u = 0; u < static_cast<int32_t>(map.size()); ++u) {
            for (int32_t d = map[static_cast<std::size_t>(u)].first;
                 d <= map[static_cast<std::size_t>(u)].second; ++d) {
                auto& [first, last] = back[static_cast<std::size_t>(d)];
                if (first < 0) first = u;
                last = u;
            }
        }
        return back;
    };
    deviceToUnitX_ = deviceToUnits(unitToDeviceX_, width_);
    deviceToUnitY_ = deviceToUnits(unitToDeviceY_, height_);
    for (const auto& [first, last] : deviceToUnitX_) {
        uint8_t bits = 0;
        for (int32_t u = first; u <= last && u >= 0 && u - first < 8; ++u)
            bits = static_cast<uint8_t>(bits | (0x80u >> (u & 7)));
        unitBitsX_.push_back(bits);
    }
}

RasterSurface::~RasterSurface() = default;
RasterSurface::RasterSurface(RasterSurface&&) noexcept = default;
RasterSurface& RasterSurface::operator=(RasterSurface&&) noexcept = default;

uint32_t RasterSurface::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) throw std::out_of_range("pixel outside the image");
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)];
}

bool RasterSurface::takeChanged() {
    const bool was = changed_;
    changed_ = false;
    return was;
}

int64_t RasterSurface::toPixelX(float twips) const { return twipsToPixel(twips, twipsPerPixelX_); }
int64_t RasterSurface::toPixelY(float twips) const { return twipsToPixel(twips, twipsPerPixelY_); }

void RasterSurface::hspan(int64_t y, int64_t x0, int64_t x1, uint32_t colour) {
    if (y < 0 || y >= height_) return;
    if (x0 > x1) std::swap(x0, x1);
    x0 = std::max<int64_t>(x0, 0);
    x1 = std::min<int64_t>(x1, width_ - 1);
    if (x0 > x1) return;
    uint32_t* row = pixels_.data() + y * width_;
    std::fill(row + x0, row + x1 + 1, colour);
}

void RasterSurface::fillRect(int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t colour) {
    if (y0 > y1) std::swap(y0, y1);
    const int64_t top = std::max<int64_t>(y0, 0);
    const int64_t bottom = std::min<int64_t>(y1, height_ - 1);
    for (int64_t y = top; y <= bottom; ++y) hspan(y, x0, x1, colour);
}

void RasterSurface::plotSegment(int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t colour) {
    const auto inside = [this](int64_t x, int64_t y) {
        return x >= 0 && y >= 0 && x < width_ && y < height_;
    };
    if (!inside(x0, y0) || !inside(x1, y1)) {
        // Liang-Barsky against the image grown by one pixel, so a far-off end
        // costs nothing and the visible part keeps its slope.
        double ax = static_cast<double>(x0), ay = static_cast<double>(y0);
        const double dx = static_cast<double>(x1) - ax, dy = static_cast<double>(y1) - ay;
        double t0 = 0.0, t1 = 1.0;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {ax + 1.0, static_cast<double>(width_) - ax, ay + 1.0,
                             static_cast<double>(height_) - ay};
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0.0) {
                if (q[i] < 0.0) return;
                continue;
            }
            const double r = q[i] / p[i];
            if (p[i] < 0.0) {
                if (r > t1) return;
                t0 = std::max(t0, r);
            } else {
                if (r < t0) return;
                t1 = std::min(t1, r);
            }
        }
        x0 = roundCoord(ax + t0 * dx);
        y0 = roundCoord(ay + t0 * dy);
        x1 = roundCoord(ax + t1 * dx);
        y1 = roundCoord(ay + t1 * dy);
    }
    // Bresenham: every step moves to one of the 8 neighbours, so the segment is
    // 8-connected and a 4-connected fill cannot cross it.
    const int64_t dx = std::llabs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int64_t dy = -std::llabs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int64_t err = dx + dy;
    for (;;) {
        if (inside(x0, y0)) pixels_[static_cast<std::size_t>(y0 * width_ + x0)] = colour;
        if (x0 == x1 && y0 == y1) break;
        const int64_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

// The ellipse inscribed in the pixel box [left, right] x [top, bottom] (both
// ends included). Each row gets the run of pixels the curve passes through
// between the row's upper and lower edges; neighbouring rows share those edges,
// so the runs overlap column-wise and the outline has no gaps. The left half
// mirrors the right exactly, and the rows mirror about the centre, so the
// corners may come in any order and give the same pixels.
template <class RowFn>
static void forEachConicRow(int64_t left, int64_t top, int64_t right, int64_t bottom, int height,
                            RowFn rowFn) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    const double cx = (static_cast<double>(left) + static_cast<double>(right)) / 2.0;
    const double cy = (static_cast<double>(top) + static_cast<double>(bottom)) / 2.0;
    const double a = (static_cast<double>(right) - static_cast<double>(left)) / 2.0;
    const double b = (static_cast<double>(bottom) - static_cast<double>(top)) / 2.0;
    const auto halfWidth = [a, b](double d) {
        if (d <= 0.0) return a;
        if (d >= b) return 0.0;
        const double k = d / b;
        return a * std::sqrt(1.0 - k * k);
    };
    const int64_t firstRow = std::max<int64_t>(top, 0);
    const int64_t lastRow = std::min<int64_t>(bottom, height - 1);
    for (int64_t y = firstRow; y <= lastRow; ++y) {
        const double d = std::fabs(static_cast<double>(y) - cy);
        const int64_t rightInner = roundCoord(cx + halfWidth(d + 0.5));
        const int64_t rightOuter = roundCoord(cx + halfWidth(d - 0.5));
        const int64_t mirror = left + right;
        rowFn(y, mirror - rightOuter, mirror - rightInner, rightInner, rightOuter);
    }
}

void RasterSurface::conicOutline(int64_t left, int64_t top, int64_t right, int64_t bottom, uint32_t colour) {
    forEachConicRow(left, top, right, bottom, height_,
                    [&](int64_t y, int64_t l0, int64_t l1, int64_t r0, int64_t r1) {
                        hspan(y, l0, l1, colour);
                        hspan(y, r0, r1, colour);
                    });
}

void RasterSurface::Line(float x1, float y1, float x2, float y2, int32_t colour) {
    settleFills();
    plotSegment(toPixelX(x1), toPixelY(y1), toPixelX(x2), toPixelY(y2), toPixelColour(colour));
    changed_ = true;
}

void RasterSurface::LineBox(float x1, float y1, float x2, float y2, int32_t colour) {
    settleFills();
    int64_t ax = toPixelX(x1), ay = toPixelY(y1), bx = toPixelX(x2), by = toPixelY(y2);
    if (ax > bx) std::swap(ax, bx);
    if (ay > by) std::swap(ay, by);
    if (fillStyle_ == FillSolid && bx - ax > 1 && by - ay > 1) {
        fillRect(ax + 1, ay + 1, bx - 1, by - 1, toPixelColour(fillColor_));
    }
    const uint32_t c = toPixelColour(colour);
    hspan(ay, ax, bx, c);
    hspan(by, ax, bx, c);
    const int64_t top = std::max<int64_t>(ay, 0), bottom = std::min<int64_t>(by, height_ - 1);
    for (int64_t y = top; y <= bottom; ++y) {
        if (ax >= 0 && ax < width_) pixels_[static_cast<std::size_t>(y * width_ + ax)] = c;
        if (bx >= 0 && bx < width_) pixels_[static_cast<std::size_t>(y * width_ + bx)] = c;
    }
    changed_ = true;
}

void RasterSurface::Circle(float x, float y, float radius, int32_t colour) {
    settleFills();
    const int64_t cx = toPixelX(x), cy = toPixelY(y);
    const float r = std::fabs(radius);
    const int64_t rx = toPixelX(r), ry = toPixelY(r);
    conicOutline(cx - rx, cy - ry, cx + rx, cy + ry, toPixelColour(colour));
    changed_ = true;
}

void RasterSurface::Cls() {
    onRegions_ = false;  // whatever the floods made is wiped anyway
    std::fill(pixels_.begin(), pixels_.end(), 0u);
    changed_ = true;
}

void RasterSurface::Refresh() {
    changed_ = true;
    if (onRefresh_) onRefresh_();
}

void RasterSurface::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    settleFills();
    if (fillStyle_ == FillSolid) {
        const uint32_t brush = toPixelColour(fillColor_);
        forEachConicRow(left, top, right, bottom, height_,
                        [&](int64_t y, int64_t, int64_t l1, int64_t r0, int64_t) {
                            if (r0 - l1 > 1) hspan(y, l1 + 1, r0 - 1, brush);
                        });
    }
    conicOutline(left, top, right, bottom, toPixelColour(foreColor_));
    changed_ = true;
}

void RasterSurface::EllipseArc(int32_t left, int32_t top, int32_t right, int32_t bottom, uint16_t startAngle,
                               uint16_t endAngle) {
    settleFills();
    const ArcAngles arc(startAngle, endAngle);
    const uint32_t pen = toPixelColour(foreColor_);
    const double cx = (static_cast<double>(left) + static_cast<double>(right)) / 2.0;
    const double cy = (static_cast<double>(top) + static_cast<double>(bottom)) / 2.0;
    // At least half a pixel, so that a flat ellipse still tells its two ends,
    // or its upper and lower halves, apart.
    const double a = std::max(std::fabs(static_cast<double>(right) - static_cast<double>(left)) / 2.0, 0.5);
    const double b = std::max(std::fabs(static_cast<double>(bottom) - static_cast<double>(top)) / 2.0, 0.5);
    constexpr double DegreesPerRadian = 180.0 / 3.14159265358979323846;
    // The program plots each point (a cos t, -b sin t) of the arc at the pixel
    // whose square holds it. So a pixel of the outline belongs to the arc when
    // the curve passes through its square at some angle on the arc. Per
    // quadrant the curve's x and y are monotone in t, so the angles at which it
    // is inside the square are those of its column band met with those of its
    // row band. Offsets from the centre here have y upwards.
    const auto onArc = [&](int64_t x, int64_t y) {
        const double u = static_cast<double>(x) - cx, v = cy - static_cast<double>(y);
        bool crossed = false;
        for (const int quadrant : {0, 1, 2, 3}) {
            const double su = quadrant == 1 || quadrant == 2 ? -1.0 : 1.0;
            const double sv = quadrant >= 2 ? -1.0 : 1.0;
            // The square mirrored into the first quadrant and cut to it.
            const double u0 = std::max(std::min(su * (u - 0.5), su * (u + 0.5)), 0.0);
            const double u1 = std::max(su * (u - 0.5), su * (u + 0.5));
            const double v0 = std::max(std::min(sv * (v - 0.5), sv * (v + 0.5)), 0.0);
            const double v1 = std::max(sv * (v - 0.5), sv * (v + 0.5));
            if (u1 < 0.0 || v1 < 0.0 || u0 > a || v0 > b) continue;
            const double q0 =
                std::max(std::acos(std::min(u1 / a, 1.0)), std::asin(v0 / b)) * DegreesPerRadian;
            const double q1 =
                std::min(std::acos(u0 / a), std::asin(std::min(v1 / b, 1.0))) * DegreesPerRadian;
            if (q0 > q1) continue;
            crossed = true;
            const bool mirrored = quadrant == 1 || quadrant == 3;
            const double base = quadrant == 0 ? 0.0 : quadrant == 3 ? 360.0 : 180.0;
            if (mirrored ? arc.meets(base - q1, base - q0) : arc.meets(base + q0, base + q1)) return true;
        }
        if (crossed) return false;
        // The outline's rounding may take a pixel the curve only passes by;
        // that one goes by the angle of its middle, scaled so that
        // (cos t, sin t) goes as (u / a, v / b).
        double t = std::atan2(v * a, u * b) * DegreesPerRadian;
        if (t < 0.0) t += 360.0;
        return arc.meets(t, t);
    };
    const auto run = [&](int64_t y, int64_t x0, int64_t x1) {
        x0 = std::max<int64_t>(x0, 0);
        x1 = std::min<int64_t>(x1, width_ - 1);
        for (int64_t x = x0; x <= x1; ++x) {
            if (onArc(x, y)) pixels_[static_cast<std::size_t>(y * width_ + x)] = pen;
        }
    };
    forEachConicRow(left, top, right, bottom, height_,
                    [&](int64_t y, int64_t l0, int64_t l1, int64_t r0, int64_t r1) {
                        run(y, l0, l1);
                        run(y, r0, r1);
                    });
    changed_ = true;
}

void RasterSurface::FloodFill(int32_t x, int32_t y, int32_t border) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    if (fillStyle_ != FillSolid) return;  // a hollow brush paints nothing
    const uint32_t borderColour = toPixelColour(border);
    const uint32_t brush = toPixelColour(fillColor_);
    if (fillPattern_ != SolidPattern) {
        patternFlood(x, y, borderColour, brush);
        return;
    }
    if (onRegions_) {
        if (regions_->flood(x, y, borderColour, brush)) changed_ = true;
        return;
    }
    const std::size_t painted = floodPixels(x, y, borderColour, brush);
    if (painted > 0) changed_ = true;
    if (!replaying_) return;
    replayedPixels_ += painted;
    if (replayedPixels_ > pixels_.size()) {
        if (!regions_) regions_ = std::make_shared<RegionFill>();
        regions_->take(pixels_.data(), width_, height_);
        onRegions_ = true;
    }
}

void RasterSurface::beginFillReplay() {
    settleFills();
    replaying_ = true;
    replayedPixels_ = 0;
}

void RasterSurface::endFillReplay() {
    settleFills();
    replaying_ = false;
}

void RasterSurface::putRegions() {
    regions_->put(pixels_.data());
    onRegions_ = false;
    replayedPixels_ = 0;
}

void RasterSurface::patternFlood(int32_t x, int32_t y, uint32_t borderColour, uint32_t brush) {
    // Regions hold areas of one colour, which a pattern breaks up.
    settleFills();
    floodSpans_.clear();
    const std::size_t painted = floodPixels(x, y, borderColour, brush, &floodSpans_);
    if (painted == 0) return;
    changed_ = true;
    const uint8_t* pattern = FillPatterns[std::clamp<int>(fillPattern_, 0, LastPattern)];
    const auto w = static_cast<std::size_t>(width_);
    for (const auto& [first, last] : floodSpans_) {
        const unsigned bits = pattern[patternRowY_[first / w]];
        for (std::size_t i = first; i <= last; ++i) {
            if (!((bits >> patternBitX_[i % w]) & 1u)) pixels_[i] = 0u;
        }
    }
    if (replaying_) replayedPixels_ += painted;
}

std::size_t RasterSurface::floodPixels(int32_t x, int32_t y, uint32_t borderColour, uint32_t brush,
                                       std::vector<std::pair<std::size_t, std::size_t>>* spans) {
    const auto w = static_cast<std::size_t>(width_);
    if (pixels_[static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x)] == borderColour) return 0;

    if (visitStamp_.empty()) visitStamp_ = PixelBuffer(pixels_.size());
    if (++fillGeneration_ == 0) {
        std::fill(visitStamp_.begin(), visitStamp_.end(), 0u);
        fillGeneration_ = 1;
    }
    const uint32_t gen = fillGeneration_;
    uint32_t* px = pixels_.data();
    uint32_t* stamp = visitStamp_.data();
    const auto fillable = [&](std::size_t i) { return px[i] != borderColour && stamp[i] != gen; };

    std::size_t painted = 0;
    fillStack_.clear();
    fillStack_.emplace_back(x, y);
    while (!fillStack_.empty()) {
        const auto [sx, sy] = fillStack_.back();
        fillStack_.pop_back();
        const std::size_t rowStart = static_cast<std::size_t>(sy) * w;
        if (!fillable(rowStart + static_cast<std::size_t>(sx))) continue;
        int xl = sx, xr = sx;
        while (xl > 0 && fillable(rowStart + static_cast<std::size_t>(xl - 1))) --xl;
        while (xr < width_ - 1 && fillable(rowStart + static_cast<std::size_t>(xr + 1))) ++xr;
        for (int i = xl; i <= xr; ++i) {
            px[rowStart + static_cast<std::size_t>(i)] = brush;
            stamp[rowStart + static_cast<std::size_t>(i)] = gen;
        }
        painted += static_cast<std::size_t>(xr - xl + 1);
        if (spans != nullptr)
            spans->emplace_back(rowStart + static_cast<std::size_t>(xl),
                                rowStart + static_cast<std::size_t>(xr));
        for (const int ny : {sy - 1, sy + 1}) {
            if (ny < 0 || ny >= height_) continue;
            const std::size_t nrow = static_cast<std::size_t>(ny) * w;
            int i = xl;
            while (i <= xr) {
                if (fillable(nrow + static_cast<std::size_t>(i))) {
                    fillStack_.emplace_back(i, ny);
                    while (i <= xr && fillable(nrow + static_cast<std::size_t>(i))) ++i;
                } else {
                    ++i;
                }
            }
        }
    }
    return painted;
}

}  // namespace pasdraw
