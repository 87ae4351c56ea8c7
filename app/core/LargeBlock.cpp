#include "app/core/LargeBlock.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

void* AllocateLargeBlock(size_t bytes)
{
    void* block = nullptr;
#ifdef MADV_HUGEPAGE
    constexpr size_t kHugePage = size_t(2) << 20;
    if (bytes >= kHugePage) {
        if (bytes > SIZE_MAX - kHugePage)
            throw std::bad_alloc();
        const size_t rounded = (bytes + kHugePage - 1) & ~(kHugePage - 1);
        block = std::aligned_alloc(kHugePage, rounded);
        // Advice only: where it is refused the block is used as it is.
        if (block)
            madvise(block, rounded, MADV_HUGEPAGE);
    } else
#endif
        block = std::malloc(std::max<size_t>(bytes, 1));
    if (!block)
        throw std::bad_alloc();
    return block;
}

void FreeLargeBlock(void* block) noexcept
{
    std::free(block);
}
