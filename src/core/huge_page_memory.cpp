#include "core/huge_page_memory.h"

#include <sys/mman.h>
#include <cstdint>
#include <cstdlib>

namespace navtab {
namespace {

std::size_t mappedBytes(std::size_t bytes) {
    return (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
}

}  // namespace

// A block is mapped with one huge page to spare, so that an aligned start can be cut out of it;
// the unaligned head and tail are unmapped again.
void* allocateLargeBlock(std::size_t bytes) {
    if (bytes < kHugePageBytes) {
        if (void* p = std::malloc(bytes == 0 ? 1 : bytes)) return p;
        throw std::bad_alloc();
    }
    const std::size_t length = mappedBytes(bytes);
    if (length < bytes) throw std::bad_alloc();
    void* raw = ::mmap(nullptr, length + kHugePageBytes, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
    if (aligned > start) ::munmap(raw, aligned - start);
    const std::size_t tail = kHugePageBytes - (aligned - start);
    if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + length), tail);
    void* block = reinterpret_cast<void*>(aligned);
    ::madvise(block, length, MADV_HUGEPAGE);  // advice only: without huge pages it still works
    return block;
}

void freeLargeBlock(void* block, std::size_t bytes) noexcept {
    if (block == nullptr) return;
    if (bytes < kHugePageBytes) {
        std::free(block);
        return;
    }
    ::munmap(block, mappedBytes(bytes));
}

}  // namespace navtab
