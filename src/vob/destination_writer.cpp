#include "vob/destination_writer.h"
#include "core/path_parts.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "core/bytes.h"

namespace navtab::vob {
namespace {

constexpr std::uint32_t kSectorsPerBlock = BackgroundWriter::kBlockBytes / kSectorSize;

}  // namespace

std::string titleDestinationPath(const std::string& destination, int number) {
    return folderPart(destination) + fileNameOf(destination).substr(0, 6) + "_" +
           std::to_string(number) + ".VOB";
}

std::string menuDestinationPath(const std::string& destination) {
    return folderPart(destination) + fileNameOf(destination).substr(0, 8) + ".VOB";
}

DestinationWriter::DestinationWriter(std::string destination, bool menu, std::uint32_t maxSectors)
    : destination_(std::move(destination)),
      menu_(menu),
      maxSectors_(maxSectors),
      writes_(std::make_unique<BackgroundWriter>()) {}

DestinationWriter::~DestinationWriter() {
    close();
}

bool DestinationWriter::fail(const std::string& why) {
    if (error_.empty()) error_ = why;
    // What is still held is not written any more; the files are closed once their queued
    // blocks are done.
    for (Block& b : held_) {
        if (b.lastOfFile || &b == &held_.back()) {
            writes_->append(b.fd, b.path, nullptr, 0, true);
        }
        writes_->returnBlock(b.bytes);
    }
    held_.clear();
    fileOpen_ = false;
    writes_->finish();
    return false;
}

bool DestinationWriter::checkWrites() {
    if (!writes_->failed()) return true;
    return fail(writes_->finish());
}

bool DestinationWriter::full(const Block& b) const {
    return b.lastOfFile || b.count == kSectorsPerBlock;
}

bool DestinationWriter::handOn() {
    Block& b = held_.front();
    writes_->append(b.fd, b.path, b.bytes, std::size_t{b.count} * kSectorSize, b.lastOfFile);
    held_.pop_front();
    return checkWrites();
}

bool DestinationWriter::openNext() {
    if (fileOpen_) {
        held_.back().lastOfFile = true;
        fileOpen_ = false;
    }
    if (menu_ && !files_.empty()) {
        errno = EFBIG;
        return fail(current_ + ": " + std::strerror(errno));
    }
    current_ =
        menu_ ? menuDestinationPath(destination_) : titleDestinationPath(destination_, number_++);
    const int fd = ::open(current_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return fail(current_ + ": " + std::strerror(errno));
    files_.push_back(current_);
    fileOpen_ = true;
    sectorsInFile_ = 0;
    held_.push_back({writes_->takeBlock(), written_, 0, fd, current_});
    return true;
}

bool DestinationWriter::WriteDestinationSector(std::span<const std::uint8_t> sector) {
    if (!error_.empty() || sector.size() != kSectorSize) return false;
    if (!fileOpen_ || (!menu_ && sectorsInFile_ >= maxSectors_)) {
        if (!openNext()) return false;
    } else if (full(held_.back())) {
        const Block& last = held_.back();
        held_.push_back({writes_->takeBlock(), written_, 0, last.fd, last.path});
    }
    Block& b = held_.back();
    std::memcpy(b.bytes + std::size_t{b.count} * kSectorSize, sector.data(), kSectorSize);
    ++b.count;
    ++sectorsInFile_;
    ++written_;
    // Complete blocks beyond the hold limit go on to their file.
    while (held_.size() > 1 && full(held_.front()) &&
           (held_.size() - 1) * BackgroundWriter::kBlockBytes > holdLimit_)
        if (!handOn()) return false;
    return true;
}

std::uint8_t* DestinationWriter::heldSector(std::uint64_t number) {
    if (held_.empty() || number < held_.front().first || number >= written_) return nullptr;
    // Blocks are full except the last of a file; search from the newest, where NAV packs being
    // corrected mostly are.
    for (auto b = held_.rbegin(); b != held_.rend(); ++b)
        if (number >= b->first) return b->bytes + (number - b->first) * kSectorSize;
    return nullptr;
}

void DestinationWriter::releaseBefore(std::uint64_t number) {
    while (error_.empty() && !held_.empty() && full(held_.front()) &&
           held_.front().first + held_.front().count <= number && (held_.size() > 1 || !fileOpen_))
        if (!handOn()) return;
}

bool DestinationWriter::close() {
    if (!error_.empty()) return false;
    if (fileOpen_) {
        held_.back().lastOfFile = true;
        fileOpen_ = false;
    }
    while (!held_.empty())
        if (!handOn()) return false;
    if (const std::string why = writes_->finish(); !why.empty()) return fail(why);
    return true;
}

}  // namespace navtab::vob
