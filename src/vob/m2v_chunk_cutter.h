// Cutting an MPEG-2 video elementary stream into the chunks of the re-mux, on a thread of its own:
// each chunk begins with a sequence header (normally one GOP each), and its frames are counted as
// it is cut. The chunks depend on the stream alone, so they are cut ahead while the re-mux fills
// the VOB's video packs with the ones before; the time stamps, which depend on what the re-mux
// did with earlier chunks, are left to the reader that hands the chunks out.
//
// The file is read ahead 64 KB at a time; a chunk's buffer grows as the chunk needs, but only up
// to kMaxChunkBytes (16 MB, many seconds of DVD video, far more than one VOB unit can take): a
// stream that never repeats its sequence header would otherwise make one chunk of the whole file.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace navtab::vob {

struct M2vChunk {
    std::vector<std::uint8_t> bytes;  // the first `size` are the chunk's
    std::size_t size = 0;
    int frames = 0;           // whole frames shown
    double exactFrames = 0;   // with the half frame of each repeated field
    bool endsStream = false;  // nothing follows this chunk
    std::string failure;      // a message that ends the stream instead of a chunk
};

class M2vChunkCutter {
  public:
    static constexpr std::size_t kReadAhead = 65536;
    static constexpr std::size_t kFirstChunkBytes = 65536;
    static constexpr std::size_t kMaxChunkBytes = 16u << 20;

    // Reads from `fd`, which stays the caller's and must outlive the cutter.
    explicit M2vChunkCutter(int fd);
    ~M2vChunkCutter();
    M2vChunkCutter(const M2vChunkCutter&) = delete;
    M2vChunkCutter& operator=(const M2vChunkCutter&) = delete;

    // The next chunk, waiting for it. After one that ends the stream or fails, none follow.
    M2vChunk next();
    // A used chunk buffer, to be filled again.
    void recycle(std::vector<std::uint8_t> bytes);

  private:
    void run();
    M2vChunk cut();
    // Makes at least `n` bytes (at most kReadAhead) available after readPos_ unless the file has
    // ended.
    void Ensure(std::size_t n);
    // Appends readBuffer_[from, to) to the chunk; false when the chunk may not grow that far.
    bool append(M2vChunk& chunk, std::size_t from, std::size_t to);
    // Counts the frames of a start code found at readBuffer_[at].
    void countStartCode(std::size_t at, int& frames, int& halfFrames);

    // Used by the thread alone.
    int fd_;
    bool fileEnded_ = false;
    bool streamEnded_ = false;
    bool progressive_ = false;
    std::vector<std::uint8_t> readBuffer_ = std::vector<std::uint8_t>(kReadAhead);
    std::size_t readPos_ = 0;
    std::size_t readEnd_ = 0;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<M2vChunk> ready_;
    std::vector<std::vector<std::uint8_t>> spare_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace navtab::vob
