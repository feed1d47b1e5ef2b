// The reader of an MPEG-2 video elementary stream (.m2v) for the re-mux: it hands out the stream
// in chunks that each begin with a sequence header (normally one GOP each), with the frames each
// chunk shows, so that the re-mux can decide how many chunks fill one VOB unit, and the time
// stamps of each chunk's first frame. The chunks are cut ahead on a thread of their own (see
// M2vChunkCutter); a chunk longer than kMaxChunkBytes ends the stream with a message.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "vob/m2v_chunk_cutter.h"

namespace navtab {
class UserInteraction;
}

namespace navtab::vob {

// frame_rate_code of a sequence header (the low four bits of its byte 7) in frames per second;
// 0 for a code MPEG-2 does not define.
double frameRateOfCode(unsigned code);

class M2vReader {
  public:
    static constexpr std::size_t kMaxChunkBytes = M2vChunkCutter::kMaxChunkBytes;

    // Opens `path` read-only; on failure shows "Error opening Mpeg file" and opened() is false.
    M2vReader(const std::string& path, UserInteraction& ui);
    // Takes over an open descriptor (a pipe or an in-memory file will do).
    M2vReader(int fd, UserInteraction& ui);
    ~M2vReader();
    M2vReader(const M2vReader&) = delete;
    M2vReader& operator=(const M2vReader&) = delete;

    bool opened() const { return opened_; }

    // Takes the next chunk and returns its whole frames; 0 at the end of the stream or after an
    // error (shown to the user), and from then on.
    int ReadChunk();
    // The time code of the chunk's first GOP header as a frame count; 0 without one.
    int GopTimeFrames() const;

    // The bytes of the chunk not yet handed to a video pack.
    std::span<const std::uint8_t> remaining() const {
        return {chunk_.data() + chunkPos_, chunkEnd_ - chunkPos_};
    }
    void consume(std::size_t n) {
        chunkPos_ += n < chunkEnd_ - chunkPos_ ? n : chunkEnd_ - chunkPos_;
    }
    // True while no byte of the chunk was handed out.
    bool untouched() const { return chunkPos_ == 0; }

    int chunkFrames() const { return chunkFrames_; }
    double lastChunkFrames() const { return lastChunkFrames_; }
    double totalFrames() const { return totalFrames_; }
    void setTotalFrames(double frames) { totalFrames_ = frames; }
    // Presentation and decoding time of the chunk's first frame, 90 kHz, counted from the first
    // chunk (or the last restart).
    std::uint32_t pts() const { return pts_; }
    std::uint32_t dts() const { return dts_; }
    void restartTime() { pts_ = dts_ = 0; }
    bool atEnd() const { return atEnd_; }
    // Frame rate of the sequence header that opens the current chunk; 0 before the first.
    double chunkRate() const;

  private:
    void closeFile();
    // Ends the stream for good after an error.
    int fail(const std::string& message);

    UserInteraction& ui_;
    int fd_ = -1;
    std::unique_ptr<M2vChunkCutter> cutter_;
    std::vector<std::uint8_t> chunk_;
    std::size_t chunkEnd_ = 0;
    std::size_t chunkPos_ = 0;
    int chunkFrames_ = 0;
    double lastChunkFrames_ = 0;
    double totalFrames_ = 0;
    std::uint32_t pts_ = 0;
    std::uint32_t dts_ = 0;
    bool atEnd_ = false;
    bool opened_ = false;
};

}  // namespace navtab::vob
