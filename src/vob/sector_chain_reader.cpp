#include "vob/sector_chain_reader.h"

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>

#include "core/bytes.h"

namespace navtab::vob {

SectorChainReader::SectorChainReader(std::vector<std::string> paths, ErrorSink onError)
    : paths_(std::move(paths)), onError_(std::move(onError)) {}

SectorChainReader::~SectorChainReader() {
    close();
}

bool SectorChainReader::openFile(std::size_t index) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    fileIndex_ = index;
    if (index >= paths_.size()) return false;
    fd_ = ::open(paths_[index].c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return false;
    // The size, taken by seeking to the end and back.
    const off_t size = lseek(fd_, 0, SEEK_END);
    if (size > 0) totalBytes_ += static_cast<std::uint64_t>(size);
    lseek(fd_, 0, SEEK_SET);
    reserveFor(size > 0 ? static_cast<std::uint64_t>(size) : 0);
    posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

// A small file does not need the whole buffer; a later, larger file of the chain gets a larger
// one (only ever between two fills, when nothing in the old one is in use).
void SectorChainReader::reserveFor(std::uint64_t fileSize) {
    const std::size_t wanted = static_cast<std::size_t>(
        std::min<std::uint64_t>(kBufferSize, roundToSector(std::max<std::uint64_t>(fileSize, 1))));
    if (wanted <= capacity_) return;
    buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(wanted);
    capacity_ = wanted;
}

bool SectorChainReader::open() {
    close();
    bufferLength_ = 0;
    sectorOffset_ = 0;
    sector_ = buffer_.get();
    sectorLength_ = 0;
    pos_ = 0;
    lba_ = 0;
    ended_ = overrun_ = false;
    bytesBefore_ = 0;
    totalBytes_ = 0;
    return openFile(0);
}

void SectorChainReader::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool SectorChainReader::fillBuffer() {
    bufferLength_ = 0;
    while (fd_ >= 0) {
        // One buffer holds bytes of one file only, so a file's last sector stays its own.
        while (bufferLength_ < capacity_) {
            const ssize_t got =
                ::read(fd_, buffer_.get() + bufferLength_, capacity_ - bufferLength_);
            if (got > 0) {
                bufferLength_ += static_cast<std::size_t>(got);
                continue;
            }
            if (got == 0) break;  // the end of this file
            if (errno == EINTR) continue;
            if (onError_) onError_("* Unable to read from \"" + paths_[fileIndex_] + "\"\n");
            close();
            return bufferLength_ > 0;
        }
        if (bufferLength_ > 0) return true;
        // The file is used up: on to the next one of the chain.
        const std::size_t next = fileIndex_ + 1;
        if (next >= paths_.size()) {
            close();
            return false;
        }
        if (!openFile(next)) {
            if (onError_) onError_("* Unable to open \"" + paths_[next] + "\" for input\n");
            return false;
        }
    }
    return false;
}

bool SectorChainReader::readFirstSector() {
    if (!fillBuffer()) {
        ended_ = true;
        return false;
    }
    sector_ = buffer_.get();
    sectorLength_ = std::min(kSectorSize, bufferLength_);
    return true;
}

void SectorChainReader::nextSector() {
    // A short sector is the last one of the input.
    if (sectorLength_ < kSectorSize) {
        ended_ = true;
        sectorLength_ = pos_ = 0;
        return;
    }
    sectorOffset_ += sectorLength_;
    if (sectorOffset_ >= bufferLength_) {
        bytesBefore_ += bufferLength_;
        sectorOffset_ = 0;
        if (!fillBuffer()) {
            ended_ = true;
            sectorLength_ = pos_ = 0;
            return;
        }
    }
    sector_ = buffer_.get() + sectorOffset_;
    sectorLength_ = std::min(kSectorSize, bufferLength_ - sectorOffset_);
    pos_ = 0;
    ++lba_;
}

std::uint32_t SectorChainReader::readAcross(unsigned n) {
    std::uint32_t v = 0;
    for (unsigned i = 0; i < n; ++i) {
        std::uint8_t b = 0;
        if (!ended_ && pos_ < sectorLength_) {
            b = sector_[pos_++];
            if (pos_ == sectorLength_) nextSector();
        } else {
            ended_ = overrun_ = true;
        }
        v = (v << 8) | b;
    }
    return v;
}

void SectorChainReader::skip(std::size_t n) {
    while (n > 0 && !ended_) {
        const std::size_t take = std::min(n, sectorLength_ - pos_);
        pos_ += take;
        n -= take;
        if (pos_ == sectorLength_) nextSector();
    }
}

std::uint32_t SectorChainReader::peek(long k, unsigned n) const {
    const long at = static_cast<long>(pos_) + k;
    if (at < 0 || static_cast<std::size_t>(at) + n > sectorLength_) return 0;
    std::uint32_t v = 0;
    for (unsigned i = 0; i < n; ++i) v = (v << 8) | sector_[static_cast<std::size_t>(at) + i];
    return v;
}

}  // namespace navtab::vob
