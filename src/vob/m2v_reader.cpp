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

// A sequence header's frame rate code lies in its byte 7.
constexpr std::size_t kLook = 8;
constexpr double kClock = 90000.0;

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
    if (fd_ < 0) return;
    posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    cutter_ = std::make_unique<M2vChunkCutter>(fd_);
}

M2vReader::~M2vReader() {
    closeFile();
}

void M2vReader::closeFile() {
    cutter_.reset();  // ends the cutting thread before its descriptor goes
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

double M2vReader::chunkRate() const {
    if (chunkEnd_ < kLook || !isStartCode(chunk_.data(), kSequenceHeaderCode)) return 0;
    return frameRateOfCode(chunk_[7] & 0x0Fu);
}

int M2vReader::fail(const std::string& message) {
    ui_.message(message);
    closeFile();
    atEnd_ = true;
    chunkEnd_ = chunkPos_ = 0;
    chunkFrames_ = 0;
    lastChunkFrames_ = 0;
    return 0;
}

// The time stamps come from the frames handed out before the chunk, at the rate of the chunk
// before it: they depend on the re-mux (which restarts them), so they are worked out here.
int M2vReader::ReadChunk() {
    const double rate = chunkRate();
    pts_ = dts_ =
        rate > 0 ? static_cast<std::uint32_t>(std::trunc(totalFrames_) * kClock / rate) : 0;
    if (atEnd_ || !cutter_) {
        atEnd_ = true;
        return 0;
    }
    M2vChunk next = cutter_->next();
    if (!next.failure.empty()) return fail(next.failure);
    if (!chunk_.empty()) cutter_->recycle(std::move(chunk_));
    chunk_ = std::move(next.bytes);
    chunkEnd_ = next.size;
    chunkPos_ = 0;
    chunkFrames_ = next.frames;
    lastChunkFrames_ = next.exactFrames;
    totalFrames_ += lastChunkFrames_;
    if (next.endsStream) {
        atEnd_ = true;
        closeFile();
    }
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
