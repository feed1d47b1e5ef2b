// Reads and writes scattered 2048-byte sectors of one file in batches. The NAV-pack correction
// touches one sector in every VOBU, tens of thousands per title set; one system call for each
// costs more than the copying itself. Where the kernel offers io_uring, a whole batch goes in one
// call; elsewhere (an older kernel, a sandbox that forbids it) each sector is read or written
// with pread and pwrite.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace navtab::vob {

class SectorBatchIo {
  public:
    // The largest batch one call takes.
    static constexpr std::size_t kDepth = 128;

    // `useRing` false keeps to pread and pwrite.
    explicit SectorBatchIo(bool useRing = true);
    ~SectorBatchIo();
    SectorBatchIo(const SectorBatchIo&) = delete;
    SectorBatchIo& operator=(const SectorBatchIo&) = delete;

    // Reads the sectors at `offsets` (at most kDepth) of `fd` into `sectors`, 2048 bytes each
    // in the same order. Returns how many of them, from the first, were read whole; on a
    // failure errno tells why.
    std::size_t read(int fd, std::span<const off_t> offsets, std::span<std::uint8_t> sectors);
    // Writes them back; the same counting.
    std::size_t write(int fd, std::span<const off_t> offsets,
                      std::span<const std::uint8_t> sectors);

    bool usesRing() const { return ring_ != nullptr; }

  private:
    struct Ring;
    std::size_t transfer(bool writing, int fd, std::span<const off_t> offsets,
                         std::uint8_t* sectors);
    std::unique_ptr<Ring> ring_;
};

}  // namespace navtab::vob
