#include "vob/new_ifo_files.h"

#include <algorithm>

#include "core/bytes.h"
#include "core/ifo_builders.h"
#include "core/ifo_tables.h"
#include "core/layout/pgc_layout.h"
#include "vob/title_pgc_cells.h"

namespace navtab::vob {
namespace {

constexpr std::uint64_t kPtsTicksPerSecond = 90000;
constexpr std::uint8_t kTimeUnitSeconds = 4;
constexpr std::uint32_t kTimeMapLastInCell = 0x80000000u;
constexpr std::uint8_t kTitleEntry = 0x81;  // entry PGC of title 1
constexpr std::uint32_t kVtsCategory = 0x022;
constexpr std::uint32_t kVmgRegionMask = 0x023;
constexpr std::uint8_t kInterleavedCell = 0x04;

// Plain colours for sub-pictures that come without a palette (0, Y, Cr, Cb): black, white, mid
// grey, dark grey, then yellow, cyan, green, magenta, red, blue, and lighter greys.
constexpr std::array<std::uint32_t, 16> kPlainPalette = {
    0x00108080, 0x00EB8080, 0x007D8080, 0x00408080, 0x00D29210, 0x00AA10A6, 0x00912236, 0x006ADECA,
    0x0051F05A, 0x00296EF0, 0x00A08080, 0x00C08080, 0x00608080, 0x00308080, 0x00B48080, 0x00D28080};

std::uint32_t lastSectorOfIfo(const CIfoMat& m) {
    return be32(m.stored.data() + kMatLastSectorOfIfo);
}

template <typename Attr, std::size_t N>
void addRecords(std::vector<std::unique_ptr<Attr>>& list,
                const std::vector<std::array<std::uint8_t, N>>& records) {
    for (const auto& r : records) addAttrRecord(list)->bytes = r;
}

std::unique_ptr<CIfoPgc> titlePgc(const NewTitleSet& set, std::uint32_t rate) {
    auto pgc = std::make_unique<CIfoPgc>();
    pgc->rateFlag = rate == 25 ? kRateFlag25 : kRateFlag30;
    std::uint8_t* s = pgc->stored.data();
    for (std::size_t i = 0; i < set.streams.audioControl.size(); ++i)
        put16(s + pgc::kAudioControl + 2 * i, set.streams.audioControl[i]);
    for (std::size_t i = 0; i < set.streams.subpControl.size(); ++i)
        put32(s + pgc::kSubpControl + 4 * i, set.streams.subpControl[i]);
    for (std::size_t i = 0; i < set.streams.palette.size(); ++i)
        put32(s + pgc::kPalette + 4 * i, set.streams.palette[i]);
    for (std::size_t c = 0; c < set.cells.size(); ++c)
        pgc->AddCell(set.cells[c], c == 0 || (c < set.programStart.size() && set.programStart[c]));
    return pgc;
}

// VTSI_MAT, beyond what the object writes by itself (identifier "DVDVIDEO-VTS", version 1.1 at
// 0x21, the end address 0x7FF at 0x80, the attribute lists from 0x200) and what the layout writes
// (the last sector of the IFO at 0x1C and the table pointers 0xC8..0xE4):
//   0x00C  last sector of the title set: IFO, title VOBs and BUP, less one; libdvdread checks
//          that it holds twice the IFO, and players locate the BUP from it.
//   0x022  category 0: not a karaoke title set.
//   0x0C0  start of the menu VOBs 0: there are none (no VTS_01_0.VOB).
//   0x0C4  start of the title VOBs: right behind the IFO, where VTS_01_1.VOB follows it.
//   0x100  menu video attributes: those of the title, so that the TV system never changes.
void fillTitleSetMat(CIfoMat& m, const NewTitleSet& set) {
    const std::uint32_t ifoSectors = lastSectorOfIfo(m) + 1;
    const std::uint64_t last = std::uint64_t{ifoSectors} * 2 + set.titleSectors - 1;
    put32(m.stored.data() + kMatLastSector, static_cast<std::uint32_t>(last));
    put32(m.stored.data() + kVtsCategory, 0);
    put32(m.stored.data() + kMatMenuVobsStart, 0);
    put32(m.stored.data() + kVtsTitleVobsStart, ifoSectors);
    m.menuVideo = set.streams.video;
    m.titleVideo = set.streams.video;
    addRecords(m.titleAudio, set.streams.audio);
    addRecords(m.titleSubp, set.streams.subp);
}

// VMGI_MAT, beyond the new manager's fields (identifier "DVDVIDEO-VMG", version 1.1, one volume
// of one, side 1, one title set, provider id, the first-play PGC at byte 0x400 that jumps to
// title 1) and the layout:
//   0x00C  last sector of the VMG: IFO and BUP (no VIDEO_TS.VOB), less one.
//   0x023  region mask 0: the folder plays in every region (a new manager leaves out region 7).
//   0x0C0  start of the menu VOBs 0: no VMG menu.
//   0x100  menu video attributes: those of the title, which players use to set up the TV
//          system before the first title starts.
// The parental management and text data pointers stay 0: there are no such tables.
std::uint32_t fillManagerMat(CIfoMat& m, std::uint16_t video) {
    const std::uint32_t last = (lastSectorOfIfo(m) + 1) * 2 - 1;
    put32(m.stored.data() + kMatLastSector, last);
    m.stored[kVmgRegionMask] = 0;
    put32(m.stored.data() + kMatMenuVobsStart, 0);
    m.menuVideo = video;
    return last;
}

NewIfoFiles refused(std::string why) {
    NewIfoFiles out;
    out.error = std::move(why);
    return out;
}

}  // namespace

TitleSetStreams streamsFromCollection(const CollectedStreams& collected) {
    TitleSetStreams t;
    const StreamListing listing = listStreams(collected);
    t.video = collected.video.value_or(0);
    t.audio = listing.audio;
    t.subp = listing.subp;
    std::copy(listing.audioControl.begin(), listing.audioControl.end(), t.audioControl.begin());
    std::copy(listing.subpControl.begin(), listing.subpControl.end(), t.subpControl.begin());
    t.palette = kPlainPalette;
    return t;
}

TitleSetStreams streamsOfTitleSet(const ifo_t& vts) {
    TitleSetStreams t;
    const CIfoMat m(MatForm::TitleSet, vts.table[ID_MAT]);
    t.video = m.titleVideo;
    for (const auto& a : m.titleAudio) t.audio.push_back(a->bytes);
    for (const auto& s : m.titleSubp) t.subp.push_back(s->bytes);
    t.palette = kPlainPalette;
    const ByteReader pgcit(vts.table[ID_VTS_PGCITI]);
    if (titlePgcCount(pgcit) == 0) return t;
    const std::size_t at = pgcit.u32(pgc::kListEntries + pgc::kSrpPgcStart);
    if (!pgcit.has(at, pgc::kHeaderSize)) return t;
    for (std::size_t i = 0; i < t.audioControl.size(); ++i)
        t.audioControl[i] = pgcit.u16(at + pgc::kAudioControl + 2 * i);
    for (std::size_t i = 0; i < t.subpControl.size(); ++i)
        t.subpControl[i] = pgcit.u32(at + pgc::kSubpControl + 4 * i);
    for (std::size_t i = 0; i < t.palette.size(); ++i)
        t.palette[i] = pgcit.u32(at + pgc::kPalette + 4 * i);
    return t;
}

std::vector<std::uint32_t> timeMapEntries(const VobuList& vobus) {
    std::vector<std::uint32_t> entries;
    std::vector<std::size_t> at;  // the VOBU of each entry
    if (vobus.empty()) return entries;
    const std::uint64_t unit = std::uint64_t{kTimeUnitSeconds} * vobus.front().rate;
    std::uint64_t frames = 0, next = unit;
    for (std::size_t i = 0; i + 1 < vobus.size(); ++i) {
        const VobuInfo& v = vobus[i];
        if (v.ePtm > v.sPtm) frames += std::uint64_t{v.ePtm - v.sPtm} * v.rate / kPtsTicksPerSecond;
        for (; frames >= next; next += unit) {
            entries.push_back(v.sector & ~kTimeMapLastInCell);
            at.push_back(i);
        }
    }
    for (std::size_t e = 0; e < entries.size(); ++e) {
        const VobuInfo& v = vobus[at[e]];
        const bool last = e + 1 == entries.size();
        if (last || v.vobId != vobus[at[e + 1]].vobId || v.cellId != vobus[at[e + 1]].cellId)
            entries[e] |= kTimeMapLastInCell;
    }
    return entries;
}

std::vector<bool> programPerCell(const CellList& cells) {
    std::vector<bool> starts;
    for (std::size_t c = 0; c < cells.size(); ++c)
        starts.push_back(c == 0 || (cells[c].category[0] & kInterleavedCell) == 0);
    return starts;
}

std::vector<bool> programsOfTitleSet(const CellList& cells, const ifo_t& vts) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> firsts;
    const ByteReader pgcit(vts.table[ID_VTS_PGCITI]);
    for (unsigned p = 0; p < titlePgcCount(pgcit); ++p) {
        const std::size_t at =
            pgcit.u32(pgc::kListEntries + pgc::kListEntrySize * std::size_t{p} + pgc::kSrpPgcStart);
        const PgcCellEntries entries = pgcCellEntriesAt(pgcit, at);
        for (const std::uint8_t first : entries.programMap)
            if (first >= 1 && first <= entries.cells.size())
                firsts.emplace_back(entries.cells[first - 1u].vobId,
                                    entries.cells[first - 1u].cellId);
    }
    std::vector<bool> starts;
    for (std::size_t c = 0; c < cells.size(); ++c)
        starts.push_back(c == 0 ||
                         std::find(firsts.begin(), firsts.end(),
                                   std::pair{cells[c].vobId, cells[c].cellId}) != firsts.end());
    return starts;
}

NewIfoFiles BuildNewIfoFiles(const NewTitleSet& set, const VobuList& vobus) {
    if (set.cells.empty() || vobus.empty()) return refused("No VOBU was found in the VOB files.");
    CIfoVtsBuilder vts;
    auto pgc = titlePgc(set, vobus.front().rate);
    const auto programs = static_cast<std::uint16_t>(pgc->programMap.size());
    vts.pttSrpt = std::make_unique<CIfoPttSrpt>();
    CIfoPttTitle* chapters = vts.pttSrpt->AddTitle();
    for (std::uint16_t p = 1; p <= programs; ++p) chapters->AddPtt(1, p);
    vts.pgcit = std::make_unique<CIfoPgcit>();
    vts.pgcit->AddSrp(std::move(pgc))->entry = kTitleEntry;
    vts.tmapt = std::make_unique<CIfoTmapt>();
    CIfoTmap* map = vts.tmapt->AddMap();
    map->timeUnit = kTimeUnitSeconds;
    map->entries = timeMapEntries(vobus);
    vts.cadt = std::make_unique<CIfoCadt>();
    for (const CIfoCellPlayback& c : set.cells)
        vts.cadt->AddCell(static_cast<std::uint16_t>(c.vobId), static_cast<std::uint8_t>(c.cellId),
                          c.firstSector, c.lastSector);
    vts.cadt->SortByVob();
    vts.vobuAdmap = std::make_unique<CIfoVobuAdmap>();
    for (const VobuInfo& v : vobus) vts.vobuAdmap->AddVobu(v.sector);
    vts.Layout();
    fillTitleSetMat(*vts.mat, set);

    CIfoVmgBuilder vmg;
    vmg.ttSrpt = std::make_unique<CIfoTtSrpt>();
    CIfoTitle* title = vmg.ttSrpt->AddTitle();
    title->parts = programs;
    // One sequential PGC, no jump, link or call command anywhere, title and chapter search
    // allowed: every bit of the playback type clear.
    title->playbackType = 0;
    vmg.vtsAtrt = std::make_unique<CIfoVtsAtrt>();
    CIfoVtsAttributes* attributes = vmg.vtsAtrt->AddTitleSet();
    attributes->menuVideo = set.streams.video;
    attributes->titleVideo = set.streams.video;
    addRecords(attributes->titleAudio, set.streams.audio);
    addRecords(attributes->titleSubp, set.streams.subp);
    vmg.Layout();
    // The title set follows the VMG's IFO and BUP on the disc.
    title->titleSetSector = fillManagerMat(*vmg.mat, set.streams.video) + 1;

    NewIfoFiles out;
    out.titleSet = vts.BuildIfo(&out.error);
    if (out.titleSet) out.manager = vmg.BuildIfo(&out.error);
    if (!out.manager) out.titleSet.reset();
    return out;
}

}  // namespace navtab::vob
