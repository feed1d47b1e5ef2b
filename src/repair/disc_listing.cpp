#include "repair/disc_listing.h"

#include <dirent.h>
#include <sys/stat.h>
#include <algorithm>
#include <memory>

#include "core/ascii_case.h"
#include "core/bytes.h"
#include "core/document.h"
#include "core/text_printf.h"

namespace navtab::repair {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// IFO files first, then VOB files, then everything else (the BUP copy).
int extensionRank(const std::string& upperName) {
    const std::string ext = upperName.size() >= 3 ? upperName.substr(upperName.size() - 3) : "";
    if (ext == "IFO") return 1;
    if (ext == "VOB") return 2;
    return 3;
}

bool endsWith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

bool isDvdVideoFileName(const std::string& name) {
    const std::string n = upperAscii(name);
    if (n == "VIDEO_TS.IFO" || n == "VIDEO_TS.VOB" || n == "VIDEO_TS.BUP") return true;
    // VTS_nn_m.EXT
    if (n.size() != 12 || n.compare(0, 4, "VTS_") != 0 || n[6] != '_' || n[8] != '.') return false;
    if (!isDigit(n[4]) || !isDigit(n[5]) || (n[4] == '0' && n[5] == '0') || !isDigit(n[7]))
        return false;
    const std::string ext = n.substr(9);
    if (ext == "VOB") return true;
    return (ext == "IFO" || ext == "BUP") && n[7] == '0';
}

bool listingOrderBefore(const std::string& a, const std::string& b) {
    const std::string ua = upperAscii(a), ub = upperAscii(b);
    const bool aVideoTs = ua.compare(0, 8, "VIDEO_TS") == 0;
    const bool bVideoTs = ub.compare(0, 8, "VIDEO_TS") == 0;
    if (aVideoTs != bVideoTs) return aVideoTs;
    if (aVideoTs) return extensionRank(ua) < extensionRank(ub);
    // A title set's files: its IFO, then its VOBs in index order, then its BUP.
    if (ua.compare(0, 6, ub, 0, 6) != 0) return ua < ub;
    if (endsWith(ua, "VOB") && endsWith(ub, "VOB")) return ua < ub;
    return extensionRank(ua) < extensionRank(ub);
}

std::optional<DiscListing> DiscListing::read(const std::string& folder) {
    const std::string dir = folder.empty() ? "." : folder;
    std::unique_ptr<DIR, int (*)(DIR*)> handle(opendir(dir.c_str()), closedir);
    if (!handle) return std::nullopt;
    std::vector<DiscListingEntry> entries;
    while (const dirent* e = readdir(handle.get())) {
        const std::string name = e->d_name;
        if (!isDvdVideoFileName(name)) continue;
        struct stat st {};
        if (stat((dir + "/" + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        entries.push_back({name, static_cast<std::uint64_t>(st.st_size)});
    }
    if (entries.empty()) return std::nullopt;
    return DiscListing(std::move(entries));
}

DiscListing::DiscListing(std::vector<DiscListingEntry> entries) : entries_(std::move(entries)) {
    // Names that differ only in case keep a fixed order between them, whatever readdir gave.
    std::sort(entries_.begin(), entries_.end(),
              [](const DiscListingEntry& a, const DiscListingEntry& b) {
                  if (listingOrderBefore(a.name, b.name)) return true;
                  if (listingOrderBefore(b.name, a.name)) return false;
                  return a.name < b.name;
              });
}

const DiscListingEntry* DiscListing::find(const std::string& name) const {
    const std::string wanted = upperAscii(name);
    for (const auto& e : entries_)
        if (upperAscii(e.name) == wanted) return &e;
    return nullptr;
}

std::string DiscListing::diskName(const std::string& name) const {
    const DiscListingEntry* e = find(name);
    return e != nullptr ? e->name : name;
}

std::int64_t DiscListing::ListingSector(const std::string& name, bool last) const {
    const std::string wanted = upperAscii(name);
    std::int64_t sector = 0;
    for (const auto& e : entries_) {
        const auto sectors = static_cast<std::int64_t>(e.length / kSectorSize);
        if (upperAscii(e.name) == wanted) return last ? sector + sectors - 1 : sector;
        sector += sectors;
    }
    return sector;
}

DiscListing DiscListing::withMissingBackups() const {
    std::vector<DiscListingEntry> entries = entries_;
    for (const auto& e : entries_) {
        const std::string backup = backupPathFor(e.name);
        if (!backup.empty() && !exists(backup)) entries.push_back({backup, e.length});
    }
    return DiscListing(std::move(entries));
}

int DiscListing::titleSetCount() const {
    if (entries_.empty()) return 0;
    const std::string n = upperAscii(entries_.back().name);
    if (n.size() < 6 || !isDigit(n[4])) return 0;
    return isDigit(n[5]) ? (n[4] - '0') * 10 + (n[5] - '0') : n[4] - '0';
}

std::string titleSetIfoName(int titleSet) {
    return strprintf("VTS_%02d_0.IFO", titleSet);
}

}  // namespace navtab::repair
