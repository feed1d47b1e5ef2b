#include "vob/background_writer.h"

#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "core/huge_page_memory.h"

namespace navtab::vob {
namespace {

// Blocks handed over but not yet written.
constexpr std::size_t kMaxQueued = 4;

// Appends all of the bytes, retrying interrupted and partial writes; errno tells why not.
bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

BackgroundWriter::BackgroundWriter() : thread_([this] { run(); }) {}

BackgroundWriter::~BackgroundWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
    for (std::uint8_t* block : spare_) freeLargeBlock(block, kBlockBytes);
}

std::uint8_t* BackgroundWriter::takeBlock() {
    {
        std::lock_guard lock(mutex_);
        if (!spare_.empty()) {
            std::uint8_t* block = spare_.back();
            spare_.pop_back();
            return block;
        }
    }
    return static_cast<std::uint8_t*>(allocateLargeBlock(kBlockBytes));
}

void BackgroundWriter::returnBlock(std::uint8_t* block) {
    std::lock_guard lock(mutex_);
    spare_.push_back(block);
}

void BackgroundWriter::append(int fd, const std::string& path, std::uint8_t* block,
                              std::size_t size, bool closeAfter) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < kMaxQueued; });
    queue_.push_back({fd, path, block, size, closeAfter});
    lock.unlock();
    changed_.notify_all();
}

std::string BackgroundWriter::finish() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.empty() && !busy_; });
    return failure_;
}

bool BackgroundWriter::failed() {
    std::lock_guard lock(mutex_);
    return !failure_.empty();
}

void BackgroundWriter::perform(Job& job) {
    bool ok = true;
    {
        std::lock_guard lock(mutex_);
        ok = failure_.empty();
    }
    std::string why;
    if (ok && job.size > 0 && !writeAll(job.fd, job.block, job.size))
        why = job.path + ": " + std::strerror(errno);
    if (job.closeAfter && ::close(job.fd) != 0 && why.empty() && ok)
        why = job.path + ": " + std::strerror(errno);
    std::lock_guard lock(mutex_);
    if (failure_.empty()) failure_ = why;
    if (job.block != nullptr) spare_.push_back(job.block);
}

void BackgroundWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) return;  // stopping, and everything is written
        Job job = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        lock.unlock();
        changed_.notify_all();
        perform(job);
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

}  // namespace navtab::vob
