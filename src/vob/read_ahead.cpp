#include "vob/read_ahead.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

#include "core/misc.h"
#include "core/unique_fd.h"

namespace navtab::vob {
namespace {

constexpr std::size_t kBuffers = 16;
// Waking a thread costs far more than handing over a chunk, so each side is woken for half the
// buffers at a time rather than for every one.
constexpr std::size_t kBatch = kBuffers / 2;

}  // namespace

ReadAhead::ReadAhead(std::vector<std::string> files, std::size_t chunkBytes)
    : files_(std::move(files)), chunkBytes_(chunkBytes), buffers_(kBuffers) {
    for (auto& b : buffers_) {
        b.resize(chunkBytes_);
        free_.push_back(b.data());
    }
    thread_ = std::thread([this] { run(); });
}

ReadAhead::~ReadAhead() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

ReadAhead::Chunk ReadAhead::next() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !ready_.empty(); });
    Chunk chunk = ready_.front();
    ready_.pop_front();
    return chunk;
}

void ReadAhead::recycle(const Chunk& chunk) {
    if (chunk.data == nullptr) return;
    std::size_t free = 0;
    {
        std::lock_guard lock(mutex_);
        free_.push_back(chunk.data);
        free = free_.size();
    }
    if (free == kBatch) changed_.notify_all();
}

// The reader holds back its wake-up until half the buffers wait, or the file or the reading
// ends: the consumer holds one chunk at most, so the reader never waits for free buffers
// while fewer than half are ready.
bool ReadAhead::deliver(Chunk chunk) {
    bool wake = false;
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return false;
        ready_.push_back(chunk);
        wake = ready_.size() >= kBatch || chunk.lastOfFile || chunk.kind != Chunk::Kind::Data;
    }
    if (wake) changed_.notify_all();
    return true;
}

void ReadAhead::run() {
    for (std::size_t f = 0; f < files_.size(); ++f) {
        const UniqueFd fd(::open(files_[f].c_str(), O_RDONLY | O_CLOEXEC));
        if (fd.get() < 0) {
            deliver({Chunk::Kind::OpenFailed, f});
            return;
        }
        posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
        if (!readFile(fd.get(), f)) return;
    }
}

bool ReadAhead::readFile(int fd, std::size_t file) {
    for (;;) {
        std::uint8_t* buffer = nullptr;
        {
            std::unique_lock lock(mutex_);
            // Waits for half the buffers unless the consumer has nothing left to read.
            changed_.wait(lock, [this] {
                return stopping_ || free_.size() >= kBatch || (!free_.empty() && ready_.empty());
            });
            if (stopping_) return false;
            buffer = free_.back();
            free_.pop_back();
        }
        const long long got = readFully(fd, chunkBytes_, buffer);
        if (got < 0) {
            recycle({Chunk::Kind::Data, file, buffer});
            deliver({Chunk::Kind::ReadFailed, file});
            return false;
        }
        const bool last = static_cast<std::size_t>(got) < chunkBytes_;
        if (!deliver({Chunk::Kind::Data, file, buffer, static_cast<std::size_t>(got), last}))
            return false;
        if (last) return true;
    }
}

}  // namespace navtab::vob
