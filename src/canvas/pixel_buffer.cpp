#include "canvas/pixel_buffer.h"

#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace pasdraw {

PixelBuffer::PixelBuffer(std::size_t count) : size_(count) {
    if (count == 0) return;
    const std::size_t bytes = count * sizeof(uint32_t);
    void* block = nullptr;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::size_t hugePage = std::size_t{2} << 20;
    if (bytes >= hugePage / 2) {
        const std::size_t rounded = (bytes + hugePage - 1) / hugePage * hugePage;
        block = std::aligned_alloc(hugePage, rounded);
        // Only advice: where huge pages are off, this changes nothing.
        if (block != nullptr) madvise(block, rounded, MADV_HUGEPAGE);
    }
#endif
    if (block == nullptr) block = std::malloc(bytes);
    if (block == nullptr) throw std::bad_alloc();
    std::memset(block, 0, bytes);
    words_.reset(static_cast<uint32_t*>(block));
}

}  // namespace pasdraw
