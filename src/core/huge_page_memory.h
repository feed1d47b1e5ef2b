// Memory for the large, short-lived buffers of the VOB passes. On virtual machines a first touch
// of each 4 KB page of fresh memory can cost microseconds, which over the tens of megabytes a
// title set's records and write buffers take adds up to a noticeable part of a copy. Large
// blocks are therefore mapped on their own, 2 MB aligned, and offered to the kernel for
// transparent huge pages, so that a block is faulted in a few times instead of hundreds.
#pragma once

#include <cstddef>
#include <new>

namespace navtab {

// Blocks of at least this size are mapped with huge-page advice; smaller ones come from the heap.
inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

// Throws std::bad_alloc when the memory cannot be had.
void* allocateLargeBlock(std::size_t bytes);
void freeLargeBlock(void* block, std::size_t bytes) noexcept;

// A standard allocator over those blocks, for vectors that grow to megabytes.
template <typename T>
struct LargeBlockAllocator {
    using value_type = T;
    LargeBlockAllocator() = default;
    template <typename U>
    LargeBlockAllocator(const LargeBlockAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        return static_cast<T*>(allocateLargeBlock(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { freeLargeBlock(p, n * sizeof(T)); }

    template <typename U>
    bool operator==(const LargeBlockAllocator<U>&) const noexcept {
        return true;
    }
};

}  // namespace navtab
