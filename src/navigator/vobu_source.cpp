#include "navigator/vobu_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "vob/nav_pack_layout.h"

namespace navtab::navigator {
namespace {

namespace nav = vob::nav;

std::uint16_t u16(const std::uint8_t* s, std::uint32_t at) {
    return static_cast<std::uint16_t>(s[at] << 8 | s[at + 1]);
}
std::uint32_t u32(const std::uint8_t* s, std::uint32_t at) {
    return std::uint32_t{s[at]} << 24 | std::uint32_t{s[at + 1]} << 16 |
           std::uint32_t{s[at + 2]} << 8 | s[at + 3];
}

bool isNavPack(const std::uint8_t* s) {
    return s[0] == 0 && s[1] == 0 && s[2] == 1 && s[3] == vob::kPackStartCode &&
           s[vob::kStreamIdByte] == vob::kSystemHeaderCode &&
           s[nav::kPciSubstream] == nav::kPciSubstreamId &&
           s[nav::kDsiSubstream] == nav::kDsiSubstreamId;
}

void readButtons(const std::uint8_t* s, Vobu& v) {
    v.highlightStatus = u16(s, nav::kHliStatus) & 3;
    if (v.highlightStatus == 0) return;
    // With two or three button groups (for different display modes), each group has an equal
    // share of the 36 records; the navigator shows the first group.
    const int groups = std::max(1, (u16(s, nav::kButtonMode) >> 12) & 3);
    const int slots = static_cast<int>(nav::kMaxButtons) / groups;
    const int count = std::min<int>(s[nav::kButtonCount], slots);
    auto number = [&](std::uint8_t b) { return (b & 0x3F) <= count ? (b & 0x3F) : 0; };
    for (int i = 0; i < count; ++i) {
        const std::uint32_t at = nav::kButtons + static_cast<std::uint32_t>(i) * nav::kButtonSize;
        Button b;
        b.autoAction = (s[at + nav::kButtonAutoAction] >> 6) == 1;
        // Bytes 0..2: colour table (2 bits), first and last column (10 bits each, 2 bits
        // apart); bytes 3..5 the same form for the rows after the auto-action bits.
        const std::uint8_t* r = s + at;
        b.x0 = (r[0] & 0x3F) << 4 | r[1] >> 4;
        b.x1 = (r[1] & 0x03) << 8 | r[2];
        b.y0 = (r[3] & 0x3F) << 4 | r[4] >> 4;
        b.y1 = (r[4] & 0x03) << 8 | r[5];
        b.up = number(s[at + nav::kButtonUp]);
        b.down = number(s[at + nav::kButtonUp + 1]);
        b.left = number(s[at + nav::kButtonUp + 2]);
        b.right = number(s[at + nav::kButtonUp + 3]);
        std::copy_n(s + at + nav::kButtonCommand, b.command.size(), b.command.begin());
        v.buttons.push_back(b);
    }
    v.forcedSelect = s[nav::kForcedSelect] <= count ? s[nav::kForcedSelect] : 0;
    v.forcedActivate = s[nav::kForcedActivate] <= count ? s[nav::kForcedActivate] : 0;
}

}  // namespace

Vobu ParseNavPack(const std::uint8_t* s, std::uint32_t lba) {
    Vobu v;
    v.sector = lba;
    if (!isNavPack(s)) return v;
    v.prohibitedUops = u32(s, nav::kPciUopCtl);
    readButtons(s, v);
    // The last VOBU of an interleaved unit continues at the next unit of the same angle; any
    // other continues at its next VOBU, unless that is the end of the cell.
    const std::uint16_t ilvu = u16(s, nav::kIlvuCategory);
    std::uint32_t next = u32(s, nav::kNextVobu);
    if ((ilvu & nav::kIlvuFlag) && (ilvu & nav::kIlvuUnitEnd)) next = u32(s, nav::kIlvuSa);
    if (next != nav::kSearchNone && (next & nav::kSearchDistanceMask) != 0 &&
        (next & nav::kSearchDistanceMask) != nav::kSearchNone)
        v.next = lba + (next & nav::kSearchDistanceMask);
    return v;
}

VobGroup::VobGroup(std::vector<std::string> paths) : paths_(std::move(paths)) {}

VobGroup::~VobGroup() {
    closeAll();
}

VobGroup::VobGroup(VobGroup&& other) noexcept {
    *this = std::move(other);
}

VobGroup& VobGroup::operator=(VobGroup&& other) noexcept {
    if (this != &other) {
        closeAll();
        paths_ = std::move(other.paths_);
        fds_ = std::move(other.fds_);
        sectors_ = std::move(other.sectors_);
        opened_ = other.opened_;
        other.fds_.clear();
        other.opened_ = false;
    }
    return *this;
}

void VobGroup::closeAll() {
    for (int fd : fds_)
        if (fd >= 0) ::close(fd);
    fds_.clear();
}

bool VobGroup::read(std::uint32_t lba, std::array<std::uint8_t, 2048>& out, std::string& error) {
    if (paths_.empty()) {
        // The folder has no VOB file for this group at all.
        error = "Could not open a VOB file for sector " + std::to_string(lba);
        return false;
    }
    if (!opened_) {
        opened_ = true;
        for (const std::string& p : paths_) {
            const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
            struct stat st {};
            const bool ok = fd >= 0 && fstat(fd, &st) == 0;
            fds_.push_back(fd);
            sectors_.push_back(ok ? static_cast<std::uint64_t>(st.st_size) / 2048 : 0);
            if (!ok) {
                error = "Could not open " + p;
                break;  // sectors after a missing file cannot be placed
            }
        }
    }
    std::uint64_t at = lba;
    for (std::size_t i = 0; i < fds_.size(); ++i) {
        if (at < sectors_[i]) {
            const ssize_t got =
                pread(fds_[i], out.data(), out.size(), static_cast<off_t>(at * 2048));
            if (got == static_cast<ssize_t>(out.size())) return true;
            error = "Could not read " + paths_[i];
            return false;
        }
        at -= sectors_[i];
    }
    if (error.empty()) error = "Could not read sector " + std::to_string(lba);
    return false;
}

}  // namespace navtab::navigator
