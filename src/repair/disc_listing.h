// The files of a DVD-Video folder in the order they lie on a disc, and the sector at which each
// one starts. A disc's VIDEO_TS folder is laid out file after file: VIDEO_TS.IFO, VIDEO_TS.VOB,
// VIDEO_TS.BUP, then every title set as VTS_nn_0.IFO, VTS_nn_0.VOB, VTS_nn_1.VOB, ...,
// VTS_nn_0.BUP. The management tables keep sector addresses that count along this layout, so the
// sizes of the files give back every such address.
//
// Folders copied to Linux may spell the names in lower case (a disc mounted without Joliet shows
// video_ts.ifo), so names are compared, ordered and looked up upper-cased; an entry keeps its name
// as the folder spells it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace navtab::repair {

struct DiscListingEntry {
    std::string name;  // as on disk, without the folder
    std::uint64_t length = 0;
};

// True when `name` (any case) is one of the files of a DVD-Video folder: VIDEO_TS.IFO/.VOB/.BUP,
// VTS_nn_0.IFO/.BUP or VTS_nn_m.VOB with nn 01..99 and m 0..9.
bool isDvdVideoFileName(const std::string& name);

// The disc order of two names (a before b).
bool listingOrderBefore(const std::string& a, const std::string& b);

class DiscListing {
  public:
    // The DVD-Video files of `folder` in disc order. Other files and folders have no place on a
    // disc's VIDEO_TS layout and are left out, so a stray text file cannot shift the addresses.
    // Nothing when the folder cannot be read or holds no such file.
    static std::optional<DiscListing> read(const std::string& folder);
    // A listing of the entries given, put in disc order (for tests and callers that know sizes).
    explicit DiscListing(std::vector<DiscListingEntry> entries);

    const std::vector<DiscListingEntry>& entries() const { return entries_; }

    // The entry named `name` ignoring case, or null.
    const DiscListingEntry* find(const std::string& name) const;
    bool exists(const std::string& name) const { return find(name) != nullptr; }
    // The name as the folder spells it; `name` itself when there is no such file.
    std::string diskName(const std::string& name) const;

    // The disc sector of the named file's first sector, or with `last` of its last one: the
    // whole sectors of every file before it, plus its own sectors less one. Sector 0 is the first
    // sector of the first file of the listing.
    std::int64_t ListingSector(const std::string& name, bool last) const;

    // The listing as it will be once every IFO file has its .BUP copy: a missing copy is added
    // with the size of its IFO file (a saved IFO and its copy hold the same bytes).
    DiscListing withMissingBackups() const;

    // The number of title sets: the title set number of the last file of the listing (0 when it
    // is a VIDEO_TS file).
    int titleSetCount() const;

  private:
    std::vector<DiscListingEntry> entries_;
};

// "VTS_01_0.IFO" for 1.
std::string titleSetIfoName(int titleSet);

}  // namespace navtab::repair
