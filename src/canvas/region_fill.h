// Flood fills replayed on an image cut into regions: 4-connected areas of one
// colour. A flood bounded by colour B from a seed covers the pixels that are
// not B and 4-connected to it; every region lies wholly inside or wholly
// outside that area, so the flood is a walk over the regions instead of the
// pixels, and the area it covered becomes one region of the brush colour.
// A picture whose fills leak floods the whole image at every fill; here the
// first such flood merges the image into a few regions and the next ones
// cost a walk over those few.
#pragma once

#include <cstdint>
#include <vector>

namespace pasdraw {

class RegionFill {
public:
    // Cuts the image (width x height pixels, row by row) into regions.
    void take(const uint32_t* pixels, int width, int height);
    // The flood fill of RasterSurface::FloodFill on the image taken; the seed
    // must lie inside it. False when the seed has the border colour and
    // nothing is filled.
    bool flood(int x, int y, uint32_t border, uint32_t brush);
    // Writes the colours the floods gave back into the image taken.
    void put(uint32_t* pixels);

private:
    uint32_t find(uint32_t region);
    template <class F>
    void forEachNeighbour(uint32_t region, F&& f) const;

    int width_ = 0;
    int height_ = 0;
    // Runs: row pieces of one colour. Row y holds runs rowStart_[y] up to
    // rowStart_[y + 1]; a run ends where the next one in its row starts.
    std::vector<uint32_t> rowStart_;
    std::vector<int32_t> runX_;
    std::vector<uint32_t> runColour_;
    std::vector<uint32_t> runRegion_;
    // Regions: the ones a flood merged point to the one that took them over.
    std::vector<uint32_t> parent_;
    std::vector<uint32_t> colour_;
    // Neighbours as found in the image (compressed rows), and for a region
    // that took others over, the list that replaces them. Entries may name
    // merged regions; find() gives the one that stands for them now.
    std::vector<uint32_t> neighbourStart_;
    std::vector<uint32_t> neighbours_;
    std::vector<uint32_t> mergedList_;  // index into mergedNeighbours_, or none
    std::vector<std::vector<uint32_t>> mergedNeighbours_;
    // Per-flood bookkeeping: a region is seen in the current flood when its
    // stamp equals generation_.
    std::vector<uint32_t> stamp_;
    uint32_t generation_ = 0;
    std::vector<uint32_t> stack_;
    std::vector<uint32_t> covered_;
    std::vector<uint32_t> boundary_;
};

}  // namespace pasdraw
