#include "vob/destination_writer.h"
#include "core/path_parts.h"

#include <algorithm>
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

// What is still held is not written any more; the file being written is closed once its
// queued blocks are done.
bool DestinationWriter::fail(const std::string& why) {
    if (error_.empty()) error_ = why;
    for (Block& b : held_) writes_->returnBlock(b.bytes);
    held_.clear();
    fileOpen_ = false;
    writes_->close();
    writes_->finish();
    return false;
}

bool DestinationWriter::full(const Block& b) const {
    return b.lastOfFile || b.count == kSectorsPerBlock;
}

bool DestinationWriter::handOn() {
    Block& b = held_.front();
    if (!b.newFile.empty()) writes_->open(b.newFile);
    writes_->append(b.bytes, std::size_t{b.count} * kSectorSize);
    if (b.lastOfFile) writes_->close();
    held_.pop_front();
    return !writes_->failed() || fail(writes_->finish());
}

// The file is created by the writing thread when its first block goes there: creating a file
// over a large one frees that one's pages, which takes a while.
bool DestinationWriter::openNext() {
    if (fileOpen_) held_.back().lastOfFile = true;
    if (menu_ && !files_.empty()) {
        errno = EFBIG;
        return fail(current_ + ": " + std::strerror(errno));
    }
    current_ =
        menu_ ? menuDestinationPath(destination_) : titleDestinationPath(destination_, number_++);
    files_.push_back(current_);
    fileOpen_ = true;
    sectorsInFile_ = 0;
    held_.push_back({writes_->takeBlock(), written_, 0, current_});
    return true;
}

bool DestinationWriter::WriteDestinationSector(std::span<const std::uint8_t> sector) {
    if (!error_.empty() || sector.size() != kSectorSize) return false;
    if (!fileOpen_ || (!menu_ && sectorsInFile_ >= maxSectors_)) {
        if (!openNext()) return false;
    } else if (full(held_.back())) {
        held_.push_back({writes_->takeBlock(), written_, 0, {}});
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
    const auto after =
        std::upper_bound(held_.begin(), held_.end(), number,
                         [](std::uint64_t n, const Block& b) { return n < b.first; });
    const Block& b = *(after - 1);
    return b.bytes + (number - b.first) * kSectorSize;
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
