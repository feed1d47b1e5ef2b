// Writing a run's destination files on a thread of their own, so that the kernel's work for the
// destination (freeing the pages of a file being overwritten, copying the written blocks into
// the page cache) overlaps the reading and analysing of the source. Files are created and blocks
// appended in the order they are queued; after the first failure nothing more is written (the
// file is still closed) and the failure is kept for the run to report.
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
    // Small blocks, used again and again: the kernel copies from a few hot pages far faster
    // than from megabytes of them (on virtual machines many times faster).
    static constexpr std::size_t kBlockBytes = std::size_t{128} << 10;

    BackgroundWriter();
    ~BackgroundWriter();  // writes what was queued, closes the file and ends the thread
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // A block of kBlockBytes to fill, a used one when there is one.
    std::uint8_t* takeBlock();
    // Gives a block back unwritten.
    void returnBlock(std::uint8_t* block);

    // Queues the creation (or truncation) of a file that the appends after it go to.
    void open(const std::string& path);
    // Queues `size` bytes of the block; the block comes back to takeBlock() once written. Waits
    // while the queue is full, so that the writes cannot fall behind by more than a few blocks.
    void append(std::uint8_t* block, std::size_t size);
    // Queues the closing of the file.
    void close();

    // Waits until everything queued is done. The first failure ("path: reason"), empty when
    // there was none.
    std::string finish();
    // True once a creation, write or close has failed.
    bool failed();

  private:
    struct Job {
        enum class Kind { Open, Append, Close } kind;
        std::string path;
        std::uint8_t* block = nullptr;
        std::size_t size = 0;
    };
    void queue(Job job);
    void run();
    void perform(const Job& job);
    int createEmpty(const std::string& path);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> queue_;
    std::vector<std::uint8_t*> spare_;
    bool busy_ = false;
    bool draining_ = false;  // finish() waits: write whatever is queued
    bool stopping_ = false;
    std::string failure_;
    // Used by the thread alone.
    int fd_ = -1;
    std::string path_;
    std::vector<std::thread> releasing_;  // closing the replaced files
    std::thread thread_;
};

}  // namespace navtab::vob
