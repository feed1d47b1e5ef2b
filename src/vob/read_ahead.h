// Reading the VOB files of a pass on a thread of its own: while the pass analyses and writes one
// chunk, the next ones are already being read. The chunks come in file order, each file's until a
// short read ends it; a few small buffers are used again and again.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace navtab::vob {

class ReadAhead {
  public:
    struct Chunk {
        enum class Kind { Data, OpenFailed, ReadFailed } kind = Kind::Data;
        std::size_t file = 0;
        std::uint8_t* data = nullptr;
        std::size_t size = 0;
        bool lastOfFile = false;  // the read was short: the file ends with this chunk
    };

    ReadAhead(std::vector<std::string> files, std::size_t chunkBytes);
    ~ReadAhead();  // stops the reading wherever it is
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next chunk, waiting for it; after a failure no more come.
    Chunk next();
    // Gives a chunk's buffer back for reading into again.
    void recycle(const Chunk& chunk);

  private:
    void run();
    bool readFile(int fd, std::size_t file);  // false when the reading ends here
    bool deliver(Chunk chunk);                // false when stopped

    std::vector<std::string> files_;
    std::size_t chunkBytes_;
    std::vector<std::vector<std::uint8_t>> buffers_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Chunk> ready_;
    std::vector<std::uint8_t*> free_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace navtab::vob
