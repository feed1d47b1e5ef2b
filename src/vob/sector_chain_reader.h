// Reads one VOB file, or several read one after the other as one stream, as a sequence of
// 2048-byte sectors through a 1 MiB buffer, and lets a packet walker read, skip and peek at bytes
// without copying them. Sectors are numbered from 0 across the whole chain.
//
// Reads past the end of the input yield zeros and end the input; peeks never look outside the
// current sector (they yield 0 instead), so damaged lengths cannot make the walker read memory
// it does not own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace navtab::vob {

class SectorChainReader {
  public:
    static constexpr std::size_t kBufferSize = 0x100000;

    // Called with a line of text when a later file of the chain cannot be opened or read.
    using ErrorSink = std::function<void(const std::string& line)>;

    explicit SectorChainReader(std::vector<std::string> paths, ErrorSink onError = {});
    ~SectorChainReader();
    SectorChainReader(const SectorChainReader&) = delete;
    SectorChainReader& operator=(const SectorChainReader&) = delete;

    // Opens the first file; false when it cannot be opened.
    bool open();
    // Loads the first sector; false when there is none (an empty or unreadable file).
    bool readFirstSector();
    void close();

    // The next n bytes (n <= 4) as one big-endian number, continuing into the next sector.
    std::uint32_t read(unsigned n) {
        if (pos_ + n <= sectorLength_) {
            std::uint32_t v = 0;
            for (unsigned i = 0; i < n; ++i) v = (v << 8) | sector_[pos_ + i];
            pos_ += n;
            if (pos_ == sectorLength_) nextSector();
            return v;
        }
        return readAcross(n);
    }
    // Moves on n bytes, across as many sectors as needed.
    void skip(std::size_t n);
    // The byte k places from the current position in the current sector, or 0 outside it.
    std::uint8_t peek(long k) const {
        const long at = static_cast<long>(pos_) + k;
        return at >= 0 && static_cast<std::size_t>(at) < sectorLength_ ? sector_[at] : 0;
    }
    // n bytes (n <= 4) from k places on, as one number, or 0 when any lies outside the sector.
    std::uint32_t peek(long k, unsigned n) const;

    std::uint32_t lba() const { return lba_; }
    std::size_t sectorPos() const { return pos_; }
    bool ended() const { return ended_; }
    // True once a read asked for bytes beyond the end of the input (and got zeros).
    bool overrun() const { return overrun_; }
    // The chain position in bytes, for progress reports.
    std::uint64_t bytesDone() const { return bytesBefore_ + sectorOffset_ + pos_; }
    // Sum of the sizes of all files, taken when each was opened (later files count when met).
    std::uint64_t totalBytes() const { return totalBytes_; }

  private:
    std::uint32_t readAcross(unsigned n);
    void nextSector();
    bool fillBuffer();
    bool openFile(std::size_t index);
    void reserveFor(std::uint64_t fileSize);

    std::vector<std::string> paths_;
    ErrorSink onError_;
    std::size_t fileIndex_ = 0;
    int fd_ = -1;
    // Up to kBufferSize bytes, no larger than the largest file met needs; not cleared, as only
    // the bytes read into it are used.
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t bufferLength_ = 0;
    std::size_t sectorOffset_ = 0;  // start of the current sector in the buffer
    const std::uint8_t* sector_ = nullptr;
    std::size_t sectorLength_ = 0;
    std::size_t pos_ = 0;
    std::uint32_t lba_ = 0;
    bool ended_ = false;
    bool overrun_ = false;
    std::uint64_t bytesBefore_ = 0;  // bytes of the buffers before the current one
    std::uint64_t totalBytes_ = 0;
};

}  // namespace navtab::vob
