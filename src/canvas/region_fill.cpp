#include "canvas/region_fill.h"

#include <algorithm>
#include <array>
#include <utility>

namespace pasdraw {

namespace {

constexpr uint32_t none = 0xFFFFFFFFu;

uint32_t findRoot(std::vector<uint32_t>& parent, uint32_t i) {
    while (parent[i] != i) {
        parent[i] = parent[parent[i]];
        i = parent[i];
    }
    return i;
}

// Calls f(upper, lower) for every pair of runs of rows y and y + 1 that share
// a column, i.e. touch 4-connectedly.
template <class F>
void forEachOverlap(const std::vector<uint32_t>& rowStart, const std::vector<int32_t>& runX, int width, int y,
                    F&& f) {
    uint32_t i = rowStart[static_cast<std::size_t>(y)], j = rowStart[static_cast<std::size_t>(y) + 1];
    const uint32_t iEnd = j, jEnd = rowStart[static_cast<std::size_t>(y) + 2];
    while (i < iEnd && j < jEnd) {
        f(i, j);
        const int32_t iLast = i + 1 < iEnd ? runX[i + 1] : width;
        const int32_t jLast = j + 1 < jEnd ? runX[j + 1] : width;
        if (iLast <= jLast) ++i;
        if (jLast <= iLast) ++j;
    }
}

}  // namespace

void RegionFill::take(const uint32_t* pixels, int width, int height) {
    width_ = width;
    height_ = height;
    rowStart_.assign(static_cast<std::size_t>(height) + 1, 0);
    runX_.clear();
    runColour_.clear();
    for (int y = 0; y < height; ++y) {
        rowStart_[static_cast<std::size_t>(y)] = static_cast<uint32_t>(runX_.size());
        const uint32_t* row = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width;) {
            const uint32_t c = row[x];
            runX_.push_back(x);
            runColour_.push_back(c);
            while (x < width && row[x] == c) ++x;
        }
    }
    rowStart_[static_cast<std::size_t>(height)] = static_cast<uint32_t>(runX_.size());
    const std::size_t runs = runX_.size();

    // Runs of one colour that share a column are one region. The smaller run
    // index is the root, so a run's root comes before it.
    std::vector<uint32_t>& runParent = runRegion_;
    runParent.resize(runs);
    for (std::size_t i = 0; i < runs; ++i) runParent[i] = static_cast<uint32_t>(i);
    for (int y = 0; y + 1 < height; ++y) {
        forEachOverlap(rowStart_, runX_, width, y, [&](uint32_t i, uint32_t j) {
            if (runColour_[i] != runColour_[j]) return;
            const uint32_t a = findRoot(runParent, i), b = findRoot(runParent, j);
            if (a != b) runParent[std::max(a, b)] = std::min(a, b);
        });
    }
    colour_.clear();
    // Parents come before their runs, so in run order a run's parent already
    // holds the region number when the run is reached.
    for (std::size_t i = 0; i < runs; ++i) {
        if (runParent[i] == i) {
            runParent[i] = static_cast<uint32_t>(colour_.size());
            colour_.push_back(runColour_[i]);
        } else {
            runParent[i] = runParent[runParent[i]];
        }
    }
    const std::size_t regions = colour_.size();
    parent_.resize(regions);
    for (std::size_t r = 0; r < regions; ++r) parent_[r] = static_cast<uint32_t>(r);

    // Neighbouring regions: runs side by side in a row, and runs of
    // different colours that share a column. A small cache drops most of the
    // pairs met again along the same border; the rest only cost a look.
    std::vector<std::pair<uint32_t, uint32_t>> pairs;
    std::array<uint64_t, 4096> seen;
    seen.fill(~uint64_t{0});
    const auto link = [&](uint32_t a, uint32_t b) {
        if (a > b) std::swap(a, b);
        const uint64_t key = (uint64_t{a} << 32) | b;
        uint64_t& slot = seen[(key * 0x9E3779B97F4A7C15ull) >> 52];
        if (slot == key) return;
        slot = key;
        pairs.emplace_back(a, b);
    };
    for (int y = 0; y < height; ++y) {
        const uint32_t first = rowStart_[static_cast<std::size_t>(y)];
        const uint32_t last = rowStart_[static_cast<std::size_t>(y) + 1];
        for (uint32_t i = first; i + 1 < last; ++i) link(runRegion_[i], runRegion_[i + 1]);
        if (y + 1 < height) {
            forEachOverlap(rowStart_, runX_, width, y, [&](uint32_t i, uint32_t j) {
                if (runColour_[i] != runColour_[j]) link(runRegion_[i], runRegion_[j]);
            });
        }
    }
    neighbourStart_.assign(regions + 1, 0);
    for (const auto& [a, b] : pairs) {
        ++neighbourStart_[a + 1];
        ++neighbourStart_[b + 1];
    }
    for (std::size_t r = 0; r < regions; ++r) neighbourStart_[r + 1] += neighbourStart_[r];
    neighbours_.resize(pairs.size() * 2);
    std::vector<uint32_t> next(neighbourStart_.begin(), neighbourStart_.end() - 1);
    for (const auto& [a, b] : pairs) {
        neighbours_[next[a]++] = b;
        neighbours_[next[b]++] = a;
    }
    mergedList_.assign(regions, none);
    mergedNeighbours_.clear();
    stamp_.assign(regions, 0);
    generation_ = 0;
}

uint32_t RegionFill::find(uint32_t region) { return findRoot(parent_, region); }

template <class F>
void RegionFill::forEachNeighbour(uint32_t region, F&& f) const {
    if (mergedList_[region] != none) {
        for (const uint32_t n : mergedNeighbours_[mergedList_[region]]) f(n);
    } else {
        for (uint32_t i = neighbourStart_[region]; i < neighbourStart_[region + 1]; ++i) f(neighbours_[i]);
    }
}

bool RegionFill::flood(int x, int y, uint32_t border, uint32_t brush) {
    const auto rowFirst = runX_.begin() + rowStart_[static_cast<std::size_t>(y)];
    const auto rowLast = runX_.begin() + rowStart_[static_cast<std::size_t>(y) + 1];
    const auto run = static_cast<std::size_t>(std::upper_bound(rowFirst, rowLast, x) - runX_.begin() - 1);
    const uint32_t seed = find(runRegion_[run]);
    if (colour_[seed] == border) return false;

    if (++generation_ == 0) {
        std::fill(stamp_.begin(), stamp_.end(), 0u);
        generation_ = 1;
    }
    stamp_[seed] = generation_;
    stack_.assign(1, seed);
    covered_.assign(1, seed);
    boundary_.clear();
    std::size_t listed = 0;  // entries in the seed's own list, to tell whether it is worth tidying
    while (!stack_.empty()) {
        const uint32_t region = stack_.back();
        stack_.pop_back();
        forEachNeighbour(region, [&](uint32_t n) {
            if (region == seed) ++listed;
            const uint32_t r = find(n);
            if (stamp_[r] == generation_) return;
            stamp_[r] = generation_;
            if (colour_[r] == border) {
                boundary_.push_back(r);
            } else {
                covered_.push_back(r);
                stack_.push_back(r);
            }
        });
    }

    // The area covered is connected and now of one colour: one region, whose
    // neighbours are exactly the border regions met around it.
    colour_[seed] = brush;
    for (std::size_t i = 1; i < covered_.size(); ++i) {
        const uint32_t r = covered_[i];
        parent_[r] = seed;
        if (mergedList_[r] != none) std::vector<uint32_t>().swap(mergedNeighbours_[mergedList_[r]]);
    }
    if (covered_.size() == 1 && boundary_.size() == listed) return true;
    if (mergedList_[seed] == none) {
        mergedList_[seed] = static_cast<uint32_t>(mergedNeighbours_.size());
        mergedNeighbours_.emplace_back();
    }
    mergedNeighbours_[mergedList_[seed]].assign(boundary_.begin(), boundary_.end());
    return true;
}

void RegionFill::put(uint32_t* pixels) {
    for (int y = 0; y < height_; ++y) {
        uint32_t* row = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
        const uint32_t first = rowStart_[static_cast<std::size_t>(y)];
        const uint32_t last = rowStart_[static_cast<std::size_t>(y) + 1];
        for (uint32_t i = first; i < last; ++i) {
            const uint32_t c = colour_[find(runRegion_[i])];
            if (c == runColour_[i]) continue;
            const int32_t end = i + 1 < last ? runX_[i + 1] : width_;
            std::fill(row + runX_[i], row + end, c);
        }
    }
}

}  // namespace pasdraw
