#include "vob/background_writer.h"
#include "core/misc.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace navtab::vob {
namespace {

// Blocks queued but not yet written. Waking a thread costs far more than queuing a block, so the
// writing thread is woken for half the queue at a time, and the queuing side when half is free.
constexpr std::size_t kMaxQueued = 16;
constexpr std::size_t kBatch = kMaxQueued / 2;

}  // namespace

BackgroundWriter::BackgroundWriter() : thread_([this] { run(); }) {}

BackgroundWriter::~BackgroundWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
    if (fd_ >= 0) ::close(fd_);
    for (std::thread& t : releasing_) t.join();
    for (std::uint8_t* block : spare_) delete[] block;
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
    return new std::uint8_t[kBlockBytes];
}

void BackgroundWriter::returnBlock(std::uint8_t* block) {
    std::lock_guard lock(mutex_);
    spare_.push_back(block);
}

void BackgroundWriter::open(const std::string& path) {
    queue({Job::Kind::Open, path, nullptr, 0});
}

void BackgroundWriter::append(std::uint8_t* block, std::size_t size) {
    queue({Job::Kind::Append, {}, block, size});
}

void BackgroundWriter::close() {
    queue({Job::Kind::Close, {}, nullptr, 0});
}

void BackgroundWriter::queue(Job job) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < kMaxQueued; });
    queue_.push_back(std::move(job));
    const bool wake = queue_.size() == kBatch;
    lock.unlock();
    if (wake) changed_.notify_all();
}

std::string BackgroundWriter::finish() {
    std::unique_lock lock(mutex_);
    draining_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return queue_.empty() && !busy_; });
    return failure_;
}

bool BackgroundWriter::failed() {
    std::lock_guard lock(mutex_);
    return !failure_.empty();
}

// Creates the file, empty. Truncating a large file that is there already frees its pages and
// blocks, which takes long; a regular file that has no other name is therefore unlinked and its
// last descriptor closed on a thread of its own while the new file is written. Anything else (a
// file with more names, a link, a file the user may not write) is truncated in place, or refused
// as before.
int BackgroundWriter::createEmpty(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1 &&
        st.st_size > 0 && ::access(path.c_str(), W_OK) == 0) {
        const int old = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (old >= 0) {
            bool handedOver = false;
            if (::unlink(path.c_str()) == 0) {
                try {
                    releasing_.emplace_back([old] { ::close(old); });
                    handedOver = true;
                } catch (const std::system_error&) {
                }
            }
            if (!handedOver) ::close(old);
        }
    }
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

// Runs on the thread. After a failure only closing goes on.
void BackgroundWriter::perform(const Job& job) {
    bool failedBefore = false;
    {
        std::lock_guard lock(mutex_);
        failedBefore = !failure_.empty();
    }
    std::string why;
    switch (job.kind) {
        case Job::Kind::Open:
            if (fd_ >= 0) ::close(fd_);
            fd_ = -1;
            path_ = job.path;
            if (!failedBefore) {
                fd_ = createEmpty(path_);
                if (fd_ < 0) why = path_ + ": " + std::strerror(errno);
            }
            break;
        case Job::Kind::Append:
            if (!failedBefore && fd_ >= 0 && writeAll(fd_, job.size, job.block) < 0)
                why = path_ + ": " + std::strerror(errno);
            break;
        case Job::Kind::Close:
            if (fd_ >= 0 && ::close(fd_) != 0 && !failedBefore)
                why = path_ + ": " + std::strerror(errno);
            fd_ = -1;
            break;
    }
    std::lock_guard lock(mutex_);
    if (failure_.empty()) failure_ = why;
    if (job.block != nullptr) spare_.push_back(job.block);
}

void BackgroundWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] {
            return stopping_ || queue_.size() >= kBatch || (draining_ && !queue_.empty());
        });
        if (queue_.empty()) return;  // stopping, and everything is done
        const Job job = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        const bool roomMade = queue_.size() == kBatch;
        lock.unlock();
        if (roomMade) changed_.notify_all();
        perform(job);
        lock.lock();
        busy_ = false;
        if (draining_ && queue_.empty()) changed_.notify_all();
    }
}

}  // namespace navtab::vob
