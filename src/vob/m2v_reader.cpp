#include "vob/m2v_reader.h"

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <new>

#include "core/user_interaction.h"
#include "vob/picture_scan.h"

namespace navtab::vob {
namespace {

constexpr std::uint8_t kGroupStartCode = 0xB8;
constexpr std::uint8_t kSequenceEndCode = 0xB7;
// A start code needs this many bytes from its first 00 for everything counted here: a picture
// coding extension's flags lie in its byte 7.
constexpr std::size_t kLook = 8;
constexpr double kClock = 90000.0;

bool isStartCode(const std::uint8_t* p, std::uint8_t code) {
    return p[0] == 0 && p[1] == 0 && p[2] == 1 && p[3] == code;
}

}  // namespace

double frameRateOfCode(unsigned code) {
    static constexpr double kRates[] = {0,  24000.0 / 1001, 24, 25, 30000.0 / 1001, 30,
                                        50, 60000.0 / 1001, 60};
    return code < std::size(kRates) ? kRates[code] : 0;
}

M2vReader::M2vReader(const std::string& path, UserInteraction& ui)
    : M2vReader(::open(path.c_str(), O_RDONLY | O_CLOEXEC), ui) {
    if (!opened_) {
        atEnd_ = true;
        ui_.message("Error opening Mpeg file");
    }
}

M2vReader::M2vReader(int fd, UserInteraction& ui) : ui_(ui), fd_(fd), opened_(fd >= 0) {
    if (fd_ >= 0) {
        posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
        file_ = std::make_unique<ReadAhead>(fd_, kReadAhead);
    }
    Ensure(kReadAhead);
}

M2vReader::~M2vReader() {
    closeFile();
}

void M2vReader::closeFile() {
    if (file_ && pending_.data) file_->recycle(pending_);
    pending_ = {};
    file_.reset();  // ends the reading thread before its descriptor goes
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

double M2vReader::chunkRate() const {
    if (chunkEnd_ < kLook || !isStartCode(chunk_.data(), kSequenceHeaderCode)) return 0;
    return frameRateOfCode(chunk_[7] & 0x0Fu);
}

void M2vReader::Ensure(std::size_t n) {
    if (readEnd_ - readPos_ >= n || fd_ < 0) return;
    if (n > kReadAhead) {
        ui_.message("Error! Readbuffer size is too small");
        return;
    }
    const std::size_t left = readEnd_ - readPos_;
    std::memmove(readBuffer_.data(), readBuffer_.data() + readPos_, left);
    readPos_ = 0;
    readEnd_ = left;
    // The file is read on a thread of its own; its chunks are taken in part as room allows.
    while (readEnd_ < kReadAhead) {
        if (pendingUsed_ == pending_.size) {
            if (pending_.data != nullptr) file_->recycle(pending_);
            pending_ = {};
            if (atFileEnd_) break;
            pending_ = file_->next();
            pendingUsed_ = 0;
            if (pending_.kind != ReadAhead::Chunk::Kind::Data) break;
            atFileEnd_ = pending_.lastOfFile;
            continue;
        }
        const std::size_t take = std::min(kReadAhead - readEnd_, pending_.size - pendingUsed_);
        std::memcpy(readBuffer_.data() + readEnd_, pending_.data + pendingUsed_, take);
        pendingUsed_ += take;
        readEnd_ += take;
    }
    if (readEnd_ < kReadAhead) closeFile();
}

bool M2vReader::append(std::size_t from, std::size_t to) {
    const std::size_t n = to - from;
    if (chunkEnd_ + n > chunk_.size()) {
        // The next size: what the chunk has, what it lacks, and 64 KB more for the next bytes.
        const std::size_t grown =
            chunk_.size() + (chunkEnd_ + n - chunk_.size()) + kFirstChunkBytes;
        if (grown > kMaxChunkBytes) return false;
        try {
            chunk_.resize(grown);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    std::memcpy(chunk_.data() + chunkEnd_, readBuffer_.data() + from, n);
    chunkEnd_ += n;
    return true;
}

int M2vReader::fail(const char* message) {
    ui_.message(message);
    closeFile();
    atEnd_ = true;
    chunkEnd_ = chunkPos_ = 0;
    chunkFrames_ = 0;
    lastChunkFrames_ = 0;
    return 0;
}

void M2vReader::countStartCode(std::size_t at, int& halfFrames) {
    const std::uint8_t* p = readBuffer_.data() + at;
    const std::size_t have = readEnd_ - at;  // at least 4; 8 unless the file has ended
    switch (p[3]) {
        case kPictureStartCode:
            ++chunkFrames_;
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
                if (repeatFirstField && progressive_) chunkFrames_ += (p[7] & 0x80) ? 2 : 1;
                // Of the two field pictures of a frame one is the bottom field: the pair counts
                // once.
                if ((p[6] & 0x03) == kBottomField) --chunkFrames_;
            }
            break;
        }
        default:
            break;
    }
}

int M2vReader::ReadChunk() {
    const double rate = chunkRate();
    pts_ = dts_ =
        rate > 0 ? static_cast<std::uint32_t>(std::trunc(totalFrames_) * kClock / rate) : 0;
    if (atEnd_) return 0;
    chunkFrames_ = 0;
    int halfFrames = 0;
    Ensure(4);
    if (readEnd_ - readPos_ < 4 || !isStartCode(readBuffer_.data() + readPos_, kSequenceHeaderCode))
        return fail("Synchronization Error on MPeg file!");
    chunkEnd_ = chunkPos_ = 0;
    append(readPos_, readPos_ + 4);
    readPos_ += 4;
    for (bool done = false; !done;) {
        Ensure(kLook);
        const bool fileEnded = fd_ < 0;
        if (readPos_ == readEnd_) {
            atEnd_ = true;
            break;
        }
        // While the file goes on, positions are examined once their eight bytes are at hand; the
        // last seven wait for the next read.
        const std::size_t limit = fileEnded ? readEnd_ : readEnd_ - (kLook - 1);
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
            if (fileEnded && base[at + 3] == kSequenceEndCode) {
                stop = at + 4;
                done = atEnd_ = true;
                break;
            }
            countStartCode(at, halfFrames);
        }
        if (!append(readPos_, stop)) return fail("Error, could not realloc enough memory!");
        readPos_ = stop;
        if (!done && fileEnded && readPos_ == readEnd_) done = atEnd_ = true;
    }
    if (chunkFrames_ < 0) chunkFrames_ = 0;  // a damaged chunk of bottom fields alone
    lastChunkFrames_ = chunkFrames_ + halfFrames * 0.5;
    totalFrames_ += lastChunkFrames_;
    chunkFrames_ += halfFrames / 2;
    chunkPos_ = 0;
    return chunkFrames_;
}

int M2vReader::GopTimeFrames() const {
    const std::uint8_t* c = chunk_.data();
    const std::uint8_t* const end = c + chunkEnd_;
    for (const std::uint8_t* q = c + 2; end - q >= static_cast<std::ptrdiff_t>(kLook - 2); ++q) {
        q = static_cast<const std::uint8_t*>(
            std::memchr(q, 1, static_cast<std::size_t>(end - q) - (kLook - 3)));
        if (q == nullptr) break;
        if (!isStartCode(q - 2, kGroupStartCode)) continue;
        const std::uint8_t* b = q + 2;
        const unsigned hours = (b[0] >> 2) & 0x1Fu;
        const unsigned minutes = ((b[0] & 0x03u) << 4) | (b[1] >> 4);
        const unsigned seconds = ((b[1] & 0x07u) << 3) | (b[2] >> 5);
        const unsigned pictures = ((b[2] & 0x1Fu) << 1) | (b[3] >> 7);
        const double rate = chunkRate();
        return static_cast<int>(
            std::trunc(pictures + seconds * rate + minutes * 60 * rate + hours * 3600 * rate));
    }
    return 0;
}

}  // namespace navtab::vob
