#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>

// Memory for large arrays that are filled once and kept: a walk's records,
// the result rows. From 2 MiB on it is taken in whole huge pages where the
// system offers them, so filling it costs one page fault per 2 MiB instead
// of one per 4 KiB; new memory is mostly that cost, above all in a virtual
// machine. Throws std::bad_alloc when there is no memory.
void* AllocateLargeBlock(size_t bytes);
void FreeLargeBlock(void* block) noexcept;

struct LargeBlockDeleter {
    void operator()(void* block) const noexcept { FreeLargeBlock(block); }
};

template <class T>
using LargeArray = std::unique_ptr<T[], LargeBlockDeleter>;

// Room for `count` plain objects, not initialised.
template <class T>
LargeArray<T> MakeLargeArray(size_t count)
{
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);
    return LargeArray<T>(static_cast<T*>(AllocateLargeBlock(count * sizeof(T))));
}

// For containers of plain objects that can grow large.
template <class T>
struct LargeBlockAllocator {
    using value_type = T;

    LargeBlockAllocator() = default;
    template <class U>
    LargeBlockAllocator(const LargeBlockAllocator<U>&) noexcept
    {
    }
    T* allocate(size_t count) { return static_cast<T*>(AllocateLargeBlock(count * sizeof(T))); }
    void deallocate(T* block, size_t) noexcept { FreeLargeBlock(block); }
    friend bool operator==(const LargeBlockAllocator&, const LargeBlockAllocator&) { return true; }
};
