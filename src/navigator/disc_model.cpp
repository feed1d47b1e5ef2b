#include "navigator/disc_model.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include "core/ifo_classes_mat.h"
#include "core/layout/pgc_layout.h"
#include "core/layout/title_tables_layout.h"
#include "core/text_printf.h"
#include "vob/vob_files.h"

namespace navtab::navigator {
namespace {

ByteSpan tableOf(const ifo_t* ifo, int id) {
    if (ifo == nullptr || !ifo->has(id)) return {};
    return ifo->table[id];
}

// The commands of one group: `count` commands from `at`, ending at the first that does not lie
// wholly inside.
std::vector<NavBytes> commands(const ByteReader& in, std::size_t at, std::size_t count) {
    std::vector<NavBytes> out;
    for (std::size_t i = 0; i < count && in.has(at, pgc::kCommandSize); ++i) {
        NavBytes c{};
        in.copy(at, c);
        out.push_back(c);
        at += pgc::kCommandSize;
    }
    return out;
}

// What a parsed PGC costs against the table's parse budget: the memory the navigator keeps for it.
std::size_t pgcCost(const Pgc& p) {
    return sizeof(PgcEntry) +
           sizeof(NavBytes) * (p.pre.size() + p.post.size() + p.cellCommands.size()) +
           p.programMap.size() + sizeof(Cell) * p.cells.size();
}

// A budget of 16 times the table's bytes for what the navigator makes of it: a PGC takes about
// twice its bytes in memory, so no sound table comes near it.
ParseBudget budgetFor(ByteSpan table) {
    return ParseBudget(table.size() / 4);
}

// The PGCs of a list of search pointers at `base` of `table` (VTS_PGCIT or a language unit). A
// damaged table can point thousands of pointers (in thousands of language units) at one large
// PGC; the budget, shared by the whole table, stops the list once the PGCs it made cost 16 times
// the table's bytes, so that such a table cannot make the navigator build gigabytes.
std::vector<PgcEntry> pgcList(ByteSpan table, std::size_t base, ParseBudget& budget) {
    const ByteReader in(table);
    std::vector<PgcEntry> out;
    const std::size_t count = in.u16(base + pgc::kListCount);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t srp = base + pgc::kListEntries + i * pgc::kListEntrySize;
        if (!in.has(srp, pgc::kListEntrySize)) break;
        PgcEntry e;
        e.category = in.u8(srp + pgc::kSrpCategory);
        e.parentalMask = in.u16(srp + pgc::kSrpParentalMask);
        e.pgc = ParsePgc(table, base + in.u32(srp + pgc::kSrpPgcStart));
        if (!budget.spend(pgcCost(e.pgc), 1)) break;
        out.push_back(std::move(e));
    }
    return out;
}

std::vector<MenuLanguage> menuTable(ByteSpan table) {
    const ByteReader in(table);
    ParseBudget budget = budgetFor(table);
    std::vector<MenuLanguage> out;
    const std::size_t count = in.u16(pgc::kListCount);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t lu = pgc::kListEntries + i * pgc::kListEntrySize;
        if (!in.has(lu, pgc::kListEntrySize)) break;
        MenuLanguage m;
        m.language = in.u16(lu + pgc::kLuLanguage);
        const std::size_t start = in.u32(lu + pgc::kLuStart);
        if (start < in.size()) m.pgcs = pgcList(table, start, budget);
        if (!budget.spend(pgc::kListEntrySize, 1)) break;
        out.push_back(std::move(m));
    }
    return out;
}

std::vector<Title> titleTable(ByteSpan table) {
    const ByteReader in(table);
    std::vector<Title> out;
    const std::size_t count = in.u16(vmg_ptt::kTitleCount);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = vmg_ptt::kFirstTitle + i * vmg_ptt::kTitleSize;
        if (!in.has(at, vmg_ptt::kTitleSize)) break;
        Title t;
        t.playbackType = in.u8(at + vmg_ptt::kPlaybackType);
        t.angles = in.u8(at + vmg_ptt::kAngles);
        t.parts = in.u16(at + vmg_ptt::kChapters);
        t.titleSet = in.u8(at + vmg_ptt::kVtsNumber);
        t.titleSetTitle = in.u8(at + vmg_ptt::kVtsTitle);
        t.parentalMask = in.u16(at + vmg_ptt::kParentalId);
        out.push_back(t);
    }
    return out;
}

// VTS_PTT_SRPT: the chapters of each title of the set. A title's run of entries lasts up to the
// next title's start, the last one up to the table's end byte, and no run leaves the table.
std::vector<std::vector<Part>> partTable(ByteSpan table) {
    const ByteReader in(table);
    ParseBudget budget(table.size());  // titles may share their runs of chapters
    std::vector<std::vector<Part>> out;
    const std::size_t count = in.u16(vts_ptt::kTtuCount);
    const std::size_t end = std::min<std::size_t>(in.u32(vts_ptt::kEndByte) + 1, in.size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t pointer = vts_ptt::kFirstTtu + 4 * i;
        if (!in.has(pointer, 4)) break;
        const std::size_t start = in.u32(pointer);
        std::size_t stop = end;
        if (i + 1 < count && in.has(pointer + 4, 4))
            stop = std::min(stop, std::size_t{in.u32(pointer + 4)});
        std::vector<Part> parts;
        for (std::size_t at = start; at + vts_ptt::kPttSize <= stop && parts.size() < 999;
             at += vts_ptt::kPttSize)
            parts.push_back(
                {in.u16(at + vts_ptt::kPgcNumber), in.u16(at + vts_ptt::kProgramNumber)});
        if (!budget.spend(vts_ptt::kPttSize * parts.size(), 1)) break;
        out.push_back(std::move(parts));
    }
    return out;
}

// The audio and sub-picture attributes of one domain: the counts (each capped at the slots the
// table has) and the records.
StreamAttributes streamsOf(const ifo_t* ifo, std::uint32_t audioCount, std::size_t audioSlots,
                           std::uint32_t subpCount, std::size_t subpSlots) {
    StreamAttributes out;
    const ByteReader in(tableOf(ifo, ID_MAT));
    const std::size_t audio = std::min<std::size_t>(in.u8(audioCount), audioSlots);
    for (std::size_t i = 0; i < audio && in.has(audioCount + 1 + 8 * i, 8); ++i)
        in.copy(audioCount + 1 + 8 * i, out.audio.emplace_back());
    const std::size_t subp = std::min<std::size_t>(in.u8(subpCount), subpSlots);
    for (std::size_t i = 0; i < subp && in.has(subpCount + 1 + 6 * i, 6); ++i)
        in.copy(subpCount + 1 + 6 * i, out.subpictures.emplace_back());
    return out;
}

StreamAttributes menuStreamsOf(const ifo_t* ifo) {
    return streamsOf(ifo, mat::kMenuAudioCount, mat::kMenuAudioSlots, mat::kMenuSubpCount,
                     mat::kMenuSubpSlots);
}

TitleSet titleSetOf(const ifo_t* vts) {
    TitleSet set;
    if (vts == nullptr) return set;
    set.loaded = true;
    ParseBudget budget = budgetFor(tableOf(vts, ID_VTS_PGCITI));
    set.titlePgcs = pgcList(tableOf(vts, ID_VTS_PGCITI), 0, budget);
    set.parts = partTable(tableOf(vts, ID_PTT_SRPTI));
    set.menus = menuTable(tableOf(vts, ID_VTSM_PGCI_UT));
    set.menuStreams = menuStreamsOf(vts);
    set.titleStreams = streamsOf(vts, mat::kTitleAudioCount, mat::kTitleAudioSlots,
                                 mat::kTitleSubpCount, mat::kTitleSubpSlots);
    const ByteReader mat(vts->table[ID_MAT]);
    set.menuVideo = mat.u16(kMatMenuVideoAttributes);
    set.titleVideo = mat.u16(kVtsTitleVideoAttributes);
    return set;
}

// Loads an IFO file, or its backup copy when the file cannot be read.
IfoHandle loadIfo(const std::string& folder, const std::string& base,
                  std::vector<std::string>& problems, std::string* usedPath) {
    for (const char* ext : {".IFO", ".BUP"}) {
        const auto path = vob::findFileIgnoringCase(folder, base + ext);
        if (!path) continue;
        const int fd = open(path->c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            problems.push_back("Could not open " + *path);
            continue;
        }
        IfoHandle ifo = ifoOpen(fd, 0, 0);
        close(fd);
        if (ifo) {
            ifo->fd = -1;
            if (usedPath) *usedPath = *path;
            return ifo;
        }
        problems.push_back("Could not read " + *path);
    }
    return nullptr;
}

}  // namespace

// A country's block holds eight rows of masks, level 8 first, each with one mask for the video
// manager and one for every title set.
std::optional<std::uint16_t> ParentalAllowance(ByteSpan table, std::uint16_t country, int level,
                                               int titleSet) {
    const ByteReader in(table);
    if (level < 1 || level > 8 || titleSet < 0) return std::nullopt;
    const std::size_t countries = in.u16(ptl_mait::kCountryCount);
    const std::size_t row = std::size_t{in.u16(ptl_mait::kTitleSetCount)} + 1;
    if (static_cast<std::size_t>(titleSet) >= row) return std::nullopt;
    for (std::size_t c = 0; c < countries; ++c) {
        const std::size_t entry = ptl_mait::kFirstCountry + c * ptl_mait::kCountrySize;
        if (!in.has(entry, ptl_mait::kCountrySize)) break;
        if (in.u16(entry + ptl_mait::kCountryCode) != country) continue;
        const std::size_t at = in.u16(entry + ptl_mait::kPtlMaiStart) +
                               ((8 - level) * row + titleSet) * ptl_mait::kMaskSize;
        if (!in.has(at, ptl_mait::kMaskSize)) return std::nullopt;
        return in.u16(at);
    }
    return std::nullopt;
}

Pgc ParsePgc(ByteSpan table, std::size_t offset) {
    const ByteReader in(table);
    Pgc p;
    if (!in.has(offset, pgc::kHeaderSize)) return p;
    p.prohibitedUops = in.u32(offset + pgc::kProhibitedUops);
    for (std::size_t i = 0; i < p.audioControl.size(); ++i)
        p.audioControl[i] = in.u16(offset + pgc::kAudioControl + 2 * i);
    for (std::size_t i = 0; i < p.subpictureControl.size(); ++i)
        p.subpictureControl[i] = in.u32(offset + pgc::kSubpControl + 4 * i);
    p.nextPgc = in.u16(offset + pgc::kNextPgc);
    p.prevPgc = in.u16(offset + pgc::kPrevPgc);
    p.upPgc = in.u16(offset + pgc::kGoUpPgc);
    p.stillTime = in.u8(offset + pgc::kStillTime);
    p.playbackMode = in.u8(offset + pgc::kPlaybackMode);
    for (std::size_t i = 0; i < p.palette.size(); ++i)
        p.palette[i] = in.u32(offset + pgc::kPalette + 4 * i);

    if (const std::size_t rel = in.u16(offset + pgc::kCommandTableStart)) {
        const std::size_t at = offset + rel;
        const std::size_t pre = in.u16(at + pgc::kPreCommandCount);
        const std::size_t post = in.u16(at + pgc::kPostCommandCount);
        const std::size_t cell = in.u16(at + pgc::kCellCommandCount);
        const std::size_t first = at + pgc::kCommandsStart;
        p.pre = commands(in, first, pre);
        p.post = commands(in, first + pre * pgc::kCommandSize, post);
        p.cellCommands = commands(in, first + (pre + post) * pgc::kCommandSize, cell);
    }
    const std::size_t programs = in.u8(offset + pgc::kProgramCount);
    const std::size_t cells = in.u8(offset + pgc::kCellCount);
    if (const std::size_t rel = in.u16(offset + pgc::kProgramMapStart))
        for (std::size_t i = 0; i < programs && in.has(offset + rel + i, 1); ++i)
            p.programMap.push_back(in.u8(offset + rel + i));
    if (const std::size_t rel = in.u16(offset + pgc::kCellPlaybackStart)) {
        for (std::size_t i = 0; i < cells; ++i) {
            const std::size_t at = offset + rel + i * pgc::kCellPlaybackSize;
            if (!in.has(at, pgc::kCellPlaybackSize)) break;
            Cell c;
            in.copy(at, c.category);
            c.playbackTime = in.u32(at + pgc::kCellPlaybackTime);
            c.first = in.u32(at + pgc::kCellFirstSector);
            c.firstIlvuEnd = in.u32(at + pgc::kCellFirstIlvuEnd);
            c.lastVobuStart = in.u32(at + pgc::kCellLastVobuStart);
            c.last = in.u32(at + pgc::kCellLastSector);
            p.cells.push_back(c);
        }
    }
    return p;
}

Disc DiscFromIfos(const ifo_t* vmg, const std::vector<const ifo_t*>& titleSets) {
    Disc disc;
    if (vmg == nullptr) return disc;
    // The first-play PGC lies inside the management table's sector or just after it.
    const std::size_t fp = ByteReader(vmg->table[ID_MAT]).u32(kVmgFirstPlayPgc);
    if (fp != 0) {
        if (ByteReader(vmg->table[ID_MAT]).has(fp, pgc::kHeaderSize))
            disc.firstPlay = ParsePgc(vmg->table[ID_MAT], fp);
        else if (ByteReader(vmg->image).has(fp, pgc::kHeaderSize))
            disc.firstPlay = ParsePgc(vmg->image, fp);
    }
    disc.menus = menuTable(tableOf(vmg, ID_VMGM_PGCI_UT));
    disc.menuStreams = menuStreamsOf(vmg);
    disc.titles = titleTable(tableOf(vmg, ID_VMG_PTT_SRPT));
    const ByteSpan parental = tableOf(vmg, ID_VMG_PTL_MAIT);
    disc.parentalTable.assign(parental.begin(), parental.end());
    disc.menuVideo = ByteReader(vmg->table[ID_MAT]).u16(kMatMenuVideoAttributes);
    for (const ifo_t* vts : titleSets) disc.titleSets.push_back(titleSetOf(vts));
    return disc;
}

Disc LoadDisc(const std::string& folder) {
    std::vector<std::string> problems;
    std::string vmgPath;
    IfoHandle vmg = loadIfo(folder, "VIDEO_TS", problems, &vmgPath);
    if (!vmg || ifoIsVMG(vmg.get()) != 0) {
        Disc disc;
        disc.folder = folder;
        disc.problems = problems;
        disc.problems.push_back("Could not open VIDEO_TS.IFO in " + folder);
        return disc;
    }
    // At most 99 title sets.
    const std::size_t count =
        std::min<std::size_t>(ByteReader(vmg->table[ID_MAT]).u16(kVmgTitleSetCount), 99);
    std::vector<IfoHandle> sets;
    std::vector<std::string> paths;
    for (std::size_t n = 1; n <= count; ++n) {
        std::string path;
        IfoHandle vts = loadIfo(folder, strprintf("VTS_%02zu_0", n), problems, &path);
        if (vts && ifoIsVTS(vts.get()) != 0) vts.reset();
        if (!vts) problems.push_back(strprintf("Could not open VTS_%02zu_0.IFO", n));
        sets.push_back(std::move(vts));
        paths.push_back(path);
    }
    std::vector<const ifo_t*> raw;
    for (const auto& s : sets) raw.push_back(s.get());
    Disc disc = DiscFromIfos(vmg.get(), raw);
    disc.folder = folder;
    disc.problems = std::move(problems);
    disc.menuVob = vob::menuVobPath(vmgPath);
    for (std::size_t i = 0; i < disc.titleSets.size(); ++i) {
        if (paths[i].empty()) continue;
        disc.titleSets[i].titleVobs = vob::titleVobPaths(paths[i]);
        disc.titleSets[i].menuVob = vob::menuVobPath(paths[i]);
    }
    return disc;
}

}  // namespace navtab::navigator
