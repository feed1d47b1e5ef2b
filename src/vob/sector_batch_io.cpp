#include "vob/sector_batch_io.h"

#include <liburing.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "core/bytes.h"

namespace navtab::vob {
namespace {

// Reads or writes all 2048 bytes of one sector, retrying interrupted and partial transfers.
bool transferSector(bool writing, int fd, std::uint8_t* data, off_t offset) {
    std::size_t done = 0;
    while (done < kSectorSize) {
        const off_t at = offset + static_cast<off_t>(done);
        const ssize_t n = writing ? ::pwrite(fd, data + done, kSectorSize - done, at)
                                  : ::pread(fd, data + done, kSectorSize - done, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

struct SectorBatchIo::Ring {
    io_uring ring{};
};

SectorBatchIo::SectorBatchIo(bool useRing) {
    if (!useRing) return;
    auto r = std::make_unique<Ring>();
    if (io_uring_queue_init(kDepth, &r->ring, 0) == 0) ring_ = std::move(r);
}

SectorBatchIo::~SectorBatchIo() {
    if (ring_) io_uring_queue_exit(&ring_->ring);
}

std::size_t SectorBatchIo::read(int fd, std::span<const off_t> offsets,
                                std::span<std::uint8_t> sectors) {
    if (sectors.size() < offsets.size() * kSectorSize) return 0;
    return transfer(false, fd, offsets, sectors.data());
}

std::size_t SectorBatchIo::write(int fd, std::span<const off_t> offsets,
                                 std::span<const std::uint8_t> sectors) {
    if (sectors.size() < offsets.size() * kSectorSize) return 0;
    return transfer(true, fd, offsets, const_cast<std::uint8_t*>(sectors.data()));
}

std::size_t SectorBatchIo::transfer(bool writing, int fd, std::span<const off_t> offsets,
                                    std::uint8_t* sectors) {
    const std::size_t count = std::min(offsets.size(), kDepth);
    // Whole sectors done by the ring; anything short, failed or not submitted is done again
    // one by one, so a partial transfer never counts as done.
    std::array<bool, kDepth> whole{};
    if (ring_) {
        std::size_t queued = 0;
        for (; queued < count; ++queued) {
            io_uring_sqe* sqe = io_uring_get_sqe(&ring_->ring);
            if (sqe == nullptr) break;
            std::uint8_t* data = sectors + queued * kSectorSize;
            if (writing)
                io_uring_prep_write(sqe, fd, data, kSectorSize,
                                    static_cast<__u64>(offsets[queued]));
            else
                io_uring_prep_read(sqe, fd, data, kSectorSize, static_cast<__u64>(offsets[queued]));
            io_uring_sqe_set_data64(sqe, queued);
        }
        int rc = io_uring_submit_and_wait(&ring_->ring, static_cast<unsigned>(queued));
        while (rc == -EINTR) rc = io_uring_submit_and_wait(&ring_->ring, 0);
        const std::size_t submitted = rc > 0 ? static_cast<std::size_t>(rc) : 0;
        bool sound = submitted == queued;
        for (std::size_t seen = 0; seen < submitted; ++seen) {
            io_uring_cqe* cqe = nullptr;
            int wait = io_uring_wait_cqe(&ring_->ring, &cqe);
            while (wait == -EINTR) wait = io_uring_wait_cqe(&ring_->ring, &cqe);
            if (wait != 0) {
                sound = false;
                break;
            }
            const std::uint64_t i = io_uring_cqe_get_data64(cqe);
            if (i < count) whole[i] = cqe->res == static_cast<int>(kSectorSize);
            io_uring_cqe_seen(&ring_->ring, cqe);
        }
        // A ring that did not take or answer the whole batch is given up (its exit waits for
        // what is still in flight); the sectors go the plain way from here on.
        if (!sound) {
            io_uring_queue_exit(&ring_->ring);
            ring_.reset();
        }
    }
    for (std::size_t i = 0; i < count; ++i)
        if (!whole[i] && !transferSector(writing, fd, sectors + i * kSectorSize, offsets[i]))
            return i;
    return count;
}

}  // namespace navtab::vob
