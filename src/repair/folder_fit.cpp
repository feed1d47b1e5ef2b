#include "repair/folder_fit.h"

#include <algorithm>
#include <optional>
#include <set>

#include "core/ascii_case.h"
#include "core/bytes.h"
#include "core/layout/address_tables_layout.h"
#include "core/layout/title_tables_layout.h"
#include "core/text_printf.h"

namespace navtab::repair {
namespace {

// The title set a DVD-Video file name belongs to (0 for the VIDEO_TS files).
int titleSetOf(const std::string& upperName) {
    if (upperName.compare(0, 4, "VTS_") != 0 || upperName.size() < 6) return 0;
    return (upperName[4] - '0') * 10 + (upperName[5] - '0');
}

// The number m of VTS_nn_m.VOB, or -1 for any other name.
int vobNumberOf(const std::string& upperName) {
    if (titleSetOf(upperName) == 0 || upperName.substr(9) != "VOB") return -1;
    return upperName[7] - '0';
}

std::string vobName(int titleSet, int number) {
    return strprintf("VTS_%02d_%d.VOB", titleSet, number);
}

// The cell entries of a cell address table that lie before its end byte and inside the buffer.
std::size_t cellCount(const ifo_t& ifo, int id) {
    if (!ifo.has(id) || ifo.table[id].size() < c_adt::kFirstCell) return 0;
    const auto& t = ifo.table[id];
    const std::uint64_t end =
        std::min<std::uint64_t>(std::uint64_t{be32(&t[c_adt::kEndByte])} + 1, t.size());
    return end > c_adt::kFirstCell ? (end - c_adt::kFirstCell) / c_adt::kCellSize : 0;
}

// The title sets a video manager knows: one attribute record each, and those its titles play.
// Nothing when it holds neither table.
std::optional<std::set<int>> titleSetsListedBy(const ifo_t& vmg) {
    if (!vmg.has(ID_VMG_VTS_ATRT) && !vmg.has(ID_VMG_PTT_SRPT)) return std::nullopt;
    std::set<int> listed;
    if (vmg.has(ID_VMG_VTS_ATRT)) {
        const int count = be16(&vmg.table[ID_VMG_VTS_ATRT][vts_atrt::kTitleSetCount]);
        for (int n = 1; n <= count; ++n) listed.insert(n);
    }
    if (vmg.has(ID_VMG_PTT_SRPT)) {
        const auto& t = vmg.table[ID_VMG_PTT_SRPT];
        const unsigned titles = be16(&t[vmg_ptt::kTitleCount]);
        for (std::uint64_t i = 0; i < titles; ++i) {
            const std::uint64_t entry = vmg_ptt::kFirstTitle + i * vmg_ptt::kTitleSize;
            if (entry + vmg_ptt::kTitleSize > t.size()) break;
            listed.insert(t[entry + vmg_ptt::kVtsNumber]);
        }
    }
    return listed;
}

std::uint64_t lengthOf(const DiscListing& listing, const std::string& name) {
    const DiscListingEntry* e = listing.find(name);
    return e != nullptr ? e->length : 0;
}

}  // namespace

bool loadedAsIfo(const ifo_t& ifo) {
    return ifoKind(&ifo) != IfoKind::Unknown && ifo.loadProblems.empty();
}

std::string repairRefusal(const ifo_t& ifo, const std::string& name) {
    if (ifoKind(&ifo) == IfoKind::Unknown) return name + ": " + kNotAnIfoFileText;
    if (ifo.loadProblems.empty()) return {};
    return name + " did not load as a whole IFO file (" + ifo.loadProblems.front() +
           "), so it is not repaired; nothing is written. Its .BUP copy may still be intact.";
}

std::vector<std::string> FolderMisfits(const DiscListing& listing,
                                       const std::vector<FolderIfo>& ifos) {
    std::vector<std::string> out;
    std::optional<std::set<int>> listed;
    std::set<int> titleSets;  // those that have an IFO file
    for (const FolderIfo& f : ifos) {
        const int set = titleSetOf(upperAscii(f.name));
        if (ifoKind(f.ifo) == IfoKind::Unknown)
            out.push_back(f.name + ": " + kNotAnIfoFileText);
        else if (!f.ifo->loadProblems.empty())
            out.push_back(
                f.name + " did not load as a whole IFO file: " + f.ifo->loadProblems.front() + ".");
        else if (set == 0)
            listed = titleSetsListedBy(*f.ifo);
        titleSets.insert(set);
    }

    for (const FolderIfo& f : ifos) {
        if (!loadedAsIfo(*f.ifo)) continue;
        const int set = titleSetOf(upperAscii(f.name));
        if (set != 0 && listed && !listed->count(set))
            out.push_back(strprintf("%s: title set %d is not listed by the video manager.",
                                    f.name.c_str(), set));
        auto needVideo = [&](int table, const std::string& vob, std::uint64_t bytes,
                             const char* what) {
            if (cellCount(*f.ifo, table) > 0 && bytes == 0)
                out.push_back(listing.diskName(vob) + " is missing or empty, but the " + what +
                              " cells of " + f.name + " point into it.");
        };
        if (set == 0) {
            needVideo(ID_VMGM_C_ADT, "VIDEO_TS.VOB", lengthOf(listing, "VIDEO_TS.VOB"), "menu");
            continue;
        }
        needVideo(ID_VTSM_C_ADT, vobName(set, 0), lengthOf(listing, vobName(set, 0)), "menu");
        std::uint64_t titleBytes = 0;
        for (int m = 1; m <= 9; ++m) titleBytes += lengthOf(listing, vobName(set, m));
        needVideo(ID_VTS_C_ADT, vobName(set, 1), titleBytes, "title");
    }

    // Title VOB files count from 1 without a gap; one after a gap, or of a title set without an
    // IFO file, has no place on the disc.
    for (const DiscListingEntry& e : listing.entries()) {
        const std::string upper = upperAscii(e.name);
        const int m = vobNumberOf(upper);
        if (m < 0) continue;
        const int set = titleSetOf(upper);
        if (!titleSets.count(set)) {
            out.push_back(e.name + " belongs to no title set: there is no " + titleSetIfoName(set) +
                          ".");
            continue;
        }
        int last = 0;
        while (last < 9 && listing.exists(vobName(set, last + 1))) ++last;
        if (m >= 1 && m > last)
            out.push_back(strprintf(
                "%s is numbered past the title set's last VOB file (%s).", e.name.c_str(),
                last == 0 ? "there is none" : listing.diskName(vobName(set, last)).c_str()));
    }
    return out;
}

}  // namespace navtab::repair
