#include "vob/m2v_chunk_cutter.h"

#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "core/misc.h"
#include "vob/picture_scan.h"

namespace navtab::vob {
namespace {

// A start code needs this many bytes from its first 00 for everything counted here: a picture
// coding extension's flags lie in its byte 7.
constexpr std::size_t kLook = 8;
// Chunks cut ahead of the one being used.
constexpr std::size_t kChunksAhead = 3;

}  // namespace

M2vChunkCutter::M2vChunkCutter(int fd) : fd_(fd), thread_([this] { run(); }) {}

M2vChunkCutter::~M2vChunkCutter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

M2vChunk M2vChunkCutter::next() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !ready_.empty(); });
    M2vChunk chunk = std::move(ready_.front());
    ready_.pop_front();
    lock.unlock();
    changed_.notify_all();
    return chunk;
}

void M2vChunkCutter::recycle(std::vector<std::uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    spare_.push_back(std::move(bytes));
}

void M2vChunkCutter::run() {
    for (bool more = true; more;) {
        M2vChunk chunk = cut();
        more = !chunk.endsStream && chunk.failure.empty();
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopping_ || ready_.size() < kChunksAhead; });
        if (stopping_) return;
        ready_.push_back(std::move(chunk));
        lock.unlock();
        changed_.notify_all();
    }
}

void M2vChunkCutter::Ensure(std::size_t n) {
    if (readEnd_ - readPos_ >= n || fileEnded_) return;
    const std::size_t left = readEnd_ - readPos_;
    std::memmove(readBuffer_.data(), readBuffer_.data() + readPos_, left);
    readPos_ = 0;
    readEnd_ = left;
    const long long got = readFully(fd_, kReadAhead - readEnd_, readBuffer_.data() + readEnd_);
    if (got > 0) readEnd_ += static_cast<std::size_t>(got);
    if (readEnd_ < kReadAhead) fileEnded_ = true;  // the end, or a read error that ends it
}

bool M2vChunkCutter::append(M2vChunk& chunk, std::size_t from, std::size_t to) {
    const std::size_t n = to - from;
    std::vector<std::uint8_t>& bytes = chunk.bytes;
    if (chunk.size + n > bytes.size()) {
        // The next size: what the chunk has, what it lacks, and 64 KB more for the next bytes.
        const std::size_t grown = bytes.size() + (chunk.size + n - bytes.size()) + kFirstChunkBytes;
        if (grown > kMaxChunkBytes) return false;
        try {
            bytes.resize(grown);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    std::memcpy(bytes.data() + chunk.size, readBuffer_.data() + from, n);
    chunk.size += n;
    return true;
}

void M2vChunkCutter::countStartCode(std::size_t at, int& frames, int& halfFrames) {
    const std::uint8_t* p = readBuffer_.data() + at;
    const std::size_t have = readEnd_ - at;  // at least 4; 8 unless the file has ended
    switch (p[3]) {
        case kPictureStartCode:
            ++frames;
            break;
        case kExtensionStartCode: {
            if (have < kLook) break;
            const unsigned id = p[4] >> 4;
            if (id == kSequenceExtensionId) {
                progressive_ = (p[5] & 0x08) != 0;
            } else if (id == kPictureCodingExtensionId) {
                const bool repeatFirstField = (p[7] & 0x02) != 0;
                // An interlaced frame with repeat_first_field shows a third field, half a frame;
                // a progressive sequence shows the frame two or three times.
                if (repeatFirstField && !progressive_) ++halfFrames;
                if (repeatFirstField && progressive_) frames += (p[7] & 0x80) ? 2 : 1;
                // Of the two field pictures of a frame one is the bottom field: the pair counts
                // once.
                if ((p[6] & 0x03) == kBottomField) --frames;
            }
            break;
        }
        default:
            break;
    }
}

M2vChunk M2vChunkCutter::cut() {
    M2vChunk chunk;
    {
        std::lock_guard lock(mutex_);
        if (!spare_.empty()) {
            chunk.bytes = std::move(spare_.back());
            spare_.pop_back();
        }
    }
    if (chunk.bytes.empty()) chunk.bytes.resize(kFirstChunkBytes);
    int frames = 0, halfFrames = 0;
    Ensure(4);
    if (readEnd_ - readPos_ < 4 ||
        !isStartCode(readBuffer_.data() + readPos_, kSequenceHeaderCode)) {
        chunk.failure = "Synchronization Error on MPeg file!";
        return chunk;
    }
    append(chunk, readPos_, readPos_ + 4);
    readPos_ += 4;
    for (bool done = false; !done;) {
        Ensure(kLook);
        if (readPos_ == readEnd_) {
            chunk.endsStream = true;
            break;
        }
        // While the file goes on, positions are examined once their eight bytes are at hand; the
        // last seven wait for the next read.
        const std::size_t limit = fileEnded_ ? readEnd_ : readEnd_ - (kLook - 1);
        std::size_t stop = limit;
        const std::uint8_t* base = readBuffer_.data();
        const std::uint8_t* q = base + readPos_ + 2;
        const std::uint8_t* const end = base + std::min(limit + 2, readEnd_);
        while (q < end) {
            q = static_cast<const std::uint8_t*>(
                std::memchr(q, 1, static_cast<std::size_t>(end - q)));
            if (q == nullptr) break;
            const std::size_t at = static_cast<std::size_t>(q - base) - 2;
            ++q;
            if (base[at] != 0 || base[at + 1] != 0 || at + 4 > readEnd_) continue;
            if (base[at + 3] == kSequenceHeaderCode) {
                stop = at;  // the next chunk begins here
                done = true;
                break;
            }
            if (fileEnded_ && base[at + 3] == kSequenceEndCode) {
                stop = at + 4;
                done = chunk.endsStream = true;
                break;
            }
            countStartCode(at, frames, halfFrames);
        }
        if (!append(chunk, readPos_, stop)) {
            chunk.failure = "Error, could not realloc enough memory!";
            return chunk;
        }
        readPos_ = stop;
        if (!done && fileEnded_ && readPos_ == readEnd_) done = chunk.endsStream = true;
    }
    if (frames < 0) frames = 0;  // a damaged chunk of bottom fields alone
    chunk.exactFrames = frames + halfFrames * 0.5;
    chunk.frames = frames + halfFrames / 2;
    return chunk;
}

}  // namespace navtab::vob
