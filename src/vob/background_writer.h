// Appending blocks of bytes to files on a thread of its own, so that a run's copying of the
// kernel's page cache into the destination files overlaps its reading and analysing of the
// source. Blocks are written in the order they are handed over; after the first failure nothing
// more is written (the files are still closed) and the failure is kept for the run to report.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace navtab::vob {

class BackgroundWriter {
  public:
    static constexpr std::size_t kBlockBytes = std::size_t{2} << 20;

    BackgroundWriter();
    ~BackgroundWriter();  // writes what was handed over, closes the files and ends the thread
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // A block of kBlockBytes to fill, a used one when there is one.
    std::uint8_t* takeBlock();
    // Gives a block back unwritten.
    void returnBlock(std::uint8_t* block);
    // Queues `size` bytes of the block to be appended to the file; the block comes back to
    // takeBlock() once written. With `closeAfter` the file is closed behind them. Waits while the
    // queue is full, so that the writes cannot fall behind by more than a few blocks.
    void append(int fd, const std::string& path, std::uint8_t* block, std::size_t size,
                bool closeAfter);
    // Waits until everything queued is written and closed. The first failure ("path: reason"),
    // empty when there was none.
    std::string finish();
    // True once a write or close has failed.
    bool failed();

  private:
    struct Job {
        int fd;
        std::string path;
        std::uint8_t* block;
        std::size_t size;
        bool closeAfter;
    };
    void run();
    void perform(Job& job);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> queue_;
    std::vector<std::uint8_t*> spare_;
    bool busy_ = false;
    bool stopping_ = false;
    std::string failure_;
    std::thread thread_;
};

}  // namespace navtab::vob
