#include "vob/destination_writer.h"
#include "core/path_parts.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "core/bytes.h"

namespace navtab::vob {
namespace {

// Sectors gathered before one write call: a run writes as fast as a plain copy.
constexpr std::size_t kBufferBytes = 1 << 20;

}  // namespace

std::string titleDestinationPath(const std::string& destination, int number) {
    return folderPart(destination) + fileNameOf(destination).substr(0, 6) + "_" +
           std::to_string(number) + ".VOB";
}

std::string menuDestinationPath(const std::string& destination) {
    return folderPart(destination) + fileNameOf(destination).substr(0, 8) + ".VOB";
}

DestinationWriter::DestinationWriter(std::string destination, bool menu, std::uint32_t maxSectors)
    : destination_(std::move(destination)), menu_(menu), maxSectors_(maxSectors) {
    buffer_.reserve(kBufferBytes);
}

DestinationWriter::~DestinationWriter() {
    close();
}

bool DestinationWriter::fail(const std::string& path) {
    error_ = path + ": " + std::strerror(errno);
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    buffer_.clear();
    return false;
}

bool DestinationWriter::flush() {
    std::size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return fail(current_);
        }
        done += static_cast<std::size_t>(n);
    }
    buffer_.clear();
    return true;
}

bool DestinationWriter::close() {
    if (fd_ < 0) return error_.empty();
    const bool flushed = flush();
    if (!flushed) return false;
    if (::close(fd_) != 0) {
        fd_ = -1;
        return fail(current_);
    }
    fd_ = -1;
    return true;
}

bool DestinationWriter::WriteDestinationSector(std::span<const std::uint8_t> sector) {
    if (!error_.empty() || sector.size() != kSectorSize) return false;
    if (fd_ < 0 || (!menu_ && sectorsInFile_ >= maxSectors_)) {
        if (fd_ >= 0 && !close()) return false;
        if (menu_ && !files_.empty()) {
            errno = EFBIG;
            return fail(current_);
        }
        current_ = menu_ ? menuDestinationPath(destination_)
                         : titleDestinationPath(destination_, number_++);
        fd_ = ::open(current_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd_ < 0) return fail(current_);
        files_.push_back(current_);
        sectorsInFile_ = 0;
    }
    buffer_.insert(buffer_.end(), sector.begin(), sector.end());
    ++sectorsInFile_;
    return buffer_.size() < kBufferBytes || flush();
}

}  // namespace navtab::vob
