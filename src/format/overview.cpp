#include "format/overview.h"

#include "core/bytes.h"
#include "core/ifo_stream_usage.h"
#include "format/bcd_time.h"
#include "format/overview_lines.h"
#include "core/layout/pgc_layout.h"
#include "format/stream_attributes.h"
#include "core/text_printf.h"
#include "core/layout/title_tables_layout.h"

namespace navtab {
namespace {

using namespace pgc;

using StreamGroup = vts_atrt::StreamGroup;

// The menu streams of VMGI_MAT: one sub-picture record only.
constexpr StreamGroup kVmgMenuStreams{0x100, 0x102, 0x103, 0x104, 0x154, 0x155, 0x156, 8, 1};
constexpr std::uint32_t kVtsTitleVideo = 0x200;

// The stream lines of one attribute group: video, then its audio and sub-picture records as many
// as its counts say, but never more than the group has room for.
void addStreamLines(FieldList& list, const TableRows& block, const StreamGroup& g, int titleSet) {
    if (const std::uint8_t* v = block.bytes(g.video, kVideoAttrSize))
        list.addLine(videoLine(v, titleSet));
    const std::uint8_t* na = block.bytes(g.audioCount, 1);
    for (std::uint32_t n = 1; na && n <= *na && n <= g.audioSlots; ++n)
        if (const std::uint8_t* a = block.bytes(g.audio + kAudioAttrSize * (n - 1), kAudioAttrSize))
            list.addLine(audioText(a, static_cast<int>(n), titleSet));
    const std::uint8_t* ns = block.bytes(g.subpCount, 1);
    for (std::uint32_t n = 1; ns && n <= *ns && n <= g.subpSlots; ++n)
        if (const std::uint8_t* s =
                block.bytes(g.subpicture + kSubpAttrSize * (n - 1), kSubpAttrSize))
            list.addLine(subpictureText(s, static_cast<int>(n), titleSet));
}

int bcdValue(std::uint8_t b) {
    return (b >> 4) * 10 + (b & 0x0F);
}

// The position a title PGC has reached, advanced cell by cell.
struct RunningPosition {
    std::uint8_t hours = 0, minutes = 0, seconds = 0, frames = 0;
    std::uint32_t frameCount = 0;

    void add(const std::uint8_t* t) {
        const int rate = (t[3] >> 6) == 1 ? 25 : 30;
        hours = static_cast<std::uint8_t>(hours + bcdValue(t[0]));
        minutes = static_cast<std::uint8_t>(minutes + bcdValue(t[1]));
        seconds = static_cast<std::uint8_t>(seconds + bcdValue(t[2]));
        frames = static_cast<std::uint8_t>(frames + bcdValue(t[3] & 0x3F));
        if (frames >= rate) frames = static_cast<std::uint8_t>(frames - rate), ++seconds;
        if (seconds >= 60) seconds = static_cast<std::uint8_t>(seconds - 60), ++minutes;
        if (minutes >= 60) minutes = static_cast<std::uint8_t>(minutes - 60), ++hours;
        frameCount =
            static_cast<std::uint32_t>(((hours * 60 + minutes) * 60 + seconds) * rate + frames);
    }
};

void addTitlePgc(DescribeContext& ctx, int p, ByteRef pgcRef, std::uint8_t& angle) {
    FieldList& list = ctx.list;
    const TableRows pgc(list, pgcRef);
    list.addLine("");
    list.addLine(
        strprintf("PGC_%d (program chain):     ", p) + programsAndCells(pgc) + vobIdList(pgc),
        pgcRef);

    const std::uint8_t* counts = pgc.bytes(kProgramCount, 2);
    if (counts == nullptr) return;
    const std::uint8_t* mapStart = pgc.bytes(kProgramMapStart, 2);
    const std::uint32_t map = mapStart ? be16(mapStart) : 0;
    const std::uint8_t* playStart = pgc.bytes(kCellPlaybackStart, 2);
    const std::uint8_t* positionStart = pgc.bytes(kCellPositionStart, 2);
    if (playStart == nullptr || positionStart == nullptr) return;

    RunningPosition position;
    int program = 1;
    for (int c = 1; c <= counts[1]; ++c) {
        const std::uint8_t* cell =
            pgc.bytes(be16(playStart) + kCellPlaybackSize * (c - 1), kCellPlaybackSize);
        const std::uint8_t* where =
            pgc.bytes(be16(positionStart) + kCellPositionSize * (c - 1), kCellPositionSize);
        if (cell == nullptr || where == nullptr) break;

        // Angle cells: the first of a block is angle 1, each later one the next angle.
        const int type = cell[kCellCategory] >> 6;
        angle = type == 0 ? 0 : type == 1 ? 1 : static_cast<std::uint8_t>(angle + 1);
        if (ctx.angles != nullptr) {
            if (angle > ctx.angles->highestAngle) ctx.angles->highestAngle = angle;
            if (angle >= 1 && angle <= AngleTable::kMaxListedAngle)
                ctx.angles->vobIds[angle - 1].push_back(be16(where + kCellVobId));
        }
        // Only one cell of an angle block counts towards the playing time.
        if ((cell[kCellCategory] & 0x80) == 0) position.add(cell + kCellPlaybackTime);

        std::string label;
        const std::uint8_t* entry =
            map != 0 && program <= counts[0]
                ? pgc.bytes(map + static_cast<std::uint32_t>(program - 1), 1)
                : nullptr;
        if (entry != nullptr && *entry == c) {
            const int chapter = ChapterOfProgram(ctx.ifo, p, program);
            label = chapter != 0
                        ? strprintf("  [Ch %02d] [Pg %02d] [Cell %02d]", chapter, program, c)
                        : strprintf("          [Pg %02d] [Cell %02d]", program, c);
            ++program;
        } else {
            label = strprintf("                  [Cell %02d]", c);
        }
        label += angle != 0 ? strprintf(" (Angle %d)", angle) : std::string(10, ' ');
        list.addLine(strprintf("%s: time: %s     [Pos: %02d:%02d:%02d.%02d] [Frames: %u]",
                               label.c_str(), FormatBcdTime(cell + kCellPlaybackTime).c_str(),
                               position.hours, position.minutes, position.seconds, position.frames,
                               position.frameCount));
    }
}

// "0x81,0x82)" of a stream's ids.
std::string idList(const std::vector<std::uint8_t>& ids) {
    std::string text;
    for (std::uint8_t id : ids) text += strprintf("0x%02x,", id);
    while (!text.empty() && text.back() == ',') text.pop_back();
    return text + ")";
}

// The title streams that some PGC makes available, each with the MPEG ids it plays from.
void addStreamUsageLines(DescribeContext& ctx) {
    const CIfoStreamUsage usage(ctx.ifo);
    for (std::size_t n = 0; n < kAudioStreamCount; ++n) {
        const auto& a = usage.audio()[n];
        if (a.available)
            ctx.list.addLine(audioText(a.attr.bytes.data(), static_cast<int>(n + 1), 0, true) +
                             idList(a.ids));
    }
    ctx.list.addLine("");
    for (std::size_t n = 0; n < kSubpStreamCount; ++n) {
        const auto& s = usage.subpictures()[n];
        if (s.available)
            ctx.list.addLine(subpictureText(s.attr.bytes.data(), static_cast<int>(n + 1), 0, true) +
                             idList(s.ids));
    }
}

}  // namespace

std::uint8_t ChapterOfProgram(const ifo_t& ifo, int pgcNumber, int programNumber) {
    const auto& t = ifo.table[ID_PTT_SRPTI];
    if (t.size() < 8) return 0;
    const std::uint32_t titles = be16(&t[0]);
    const std::uint64_t end = std::min<std::uint64_t>(std::uint64_t{be32(&t[4])} + 1, t.size());
    for (std::uint32_t ttu = 0; ttu < titles && 8 + 4 * (ttu + 1) <= t.size(); ++ttu) {
        const std::uint64_t from = be32(&t[8 + 4 * ttu]);
        const std::uint64_t to =
            ttu + 1 < titles && 8 + 4 * (ttu + 2) <= t.size() ? be32(&t[8 + 4 * (ttu + 1)]) : end;
        int chapter = 1;
        for (std::uint64_t at = from; at + 4 <= std::min<std::uint64_t>(to, t.size());
             at += 4, ++chapter) {
            if (be16(&t[at]) == pgcNumber && be16(&t[at + 2]) == programNumber)
                return static_cast<std::uint8_t>(chapter);
        }
    }
    return 0;
}

void ShowVmgOverview(DescribeContext& ctx) {
    FieldList& list = ctx.list;
    const ifo_t& ifo = ctx.ifo;
    list.ClearFieldList();
    list.setTableBase(ifo, ByteRef{ID_MAT, 0});
    const TableRows mat(list, ByteRef{ID_MAT, 0});
    list.addLine("VMG Overview:");
    list.addLine("");
    addStreamLines(list, mat, kVmgMenuStreams, 0);

    list.addLine("");
    if (!ifo.has(ID_VMG_PTT_SRPT)) return;
    list.setTableBase(ifo, ByteRef{ID_VMG_PTT_SRPT, 0});
    const TableRows titles(list, ByteRef{ID_VMG_PTT_SRPT, 0});
    const std::uint32_t titleCount = be16(titles.bytes(0, 2));
    list.addLine(strprintf("Number of Title Play Maps: %u   (VMG_PTT_SRPT)", titleCount));
    for (std::uint32_t t = 1; t <= titleCount; ++t) {
        using namespace vmg_ptt;
        const std::uint8_t* e = titles.bytes(kFirstTitle + kTitleSize * (t - 1), kTitleSize);
        if (e == nullptr) break;
        list.addLine(strprintf(
            "  Title %3u: VTS_%d, PGC-Nr.:_%d (Angles: %d) (Chapters: %d) (Start Sector %d)", t,
            e[kVtsNumber], e[kVtsTitle], e[kAngles], be16(e + kChapters),
            static_cast<int>(be32(e + kVtsStart))));
    }

    list.addLine("");
    if (!ifo.has(ID_VMG_VTS_ATRT)) return;
    list.setTableBase(ifo, ByteRef{ID_VMG_VTS_ATRT, 0});
    const TableRows atrt(list, ByteRef{ID_VMG_VTS_ATRT, 0});
    const std::uint32_t sets = be16(atrt.bytes(0, 2));
    list.addLine(strprintf("Number of Video Title Sets on this DVD: %u   (VMG_VTS_ATRT)", sets));
    for (std::uint32_t v = 1; v <= sets; ++v) {
        const std::uint8_t* pointer = atrt.bytes(vts_atrt::kFirstRecord + 4 * (v - 1), 4);
        if (pointer == nullptr) break;
        list.addLine(strprintf(" Title Set %u:", v));
        const TableRows record(list, ByteRef{ID_VMG_VTS_ATRT, be32(pointer)});
        addStreamLines(list, record, vts_atrt::kTitle, static_cast<int>(v));
        list.addLine("");
    }

    if (!ifo.has(ID_MAT)) return;
    list.setTableBase(ifo, ByteRef{ID_MAT, 0});
    const ByteRef firstPlay{ID_MAT, be32(mat.bytes(kVmgFirstPlayPgc, 4))};
    const TableRows fp(list, firstPlay);
    list.addLine("");
    list.addLine("First play PGC:      " + programsAndCells(fp) + vobIdList(fp), firstPlay);

    if (ifo.has(ID_VMGM_PGCI_UT)) addMenuSection(list, ifo, ID_VMGM_PGCI_UT, MenuTable::Vmgm);
}

void ShowVtsOverview(DescribeContext& ctx) {
    FieldList& list = ctx.list;
    const ifo_t& ifo = ctx.ifo;
    list.ClearFieldList();
    if (ctx.angles != nullptr) ctx.angles->clear();
    list.setTableBase(ifo, ByteRef{ID_MAT, 0});
    const TableRows mat(list, ByteRef{ID_MAT, 0});
    list.addLine("VTS overview:");
    list.addLine("");
    list.addLine(videoLine(mat.bytes(kVtsTitleVideo, kVideoAttrSize)));
    list.addLine("");
    addStreamUsageLines(ctx);

    if (!ifo.has(ID_VTS_PGCITI)) return;
    list.setTableBase(ifo, ByteRef{ID_VTS_PGCITI, 0});
    const TableRows pgcit(list, ByteRef{ID_VTS_PGCITI, 0});
    const std::uint32_t count = be16(pgcit.bytes(0, 2));
    std::uint8_t angle = 0;
    for (std::uint32_t p = 1; p <= count; ++p) {
        const std::uint8_t* srp =
            pgcit.bytes(kListEntries + kListEntrySize * (p - 1), kListEntrySize);
        if (srp == nullptr) break;
        addTitlePgc(ctx, static_cast<int>(p), ByteRef{ID_VTS_PGCITI, be32(srp + kSrpPgcStart)},
                    angle);
    }

    if (ifo.has(ID_VTSM_PGCI_UT)) addMenuSection(list, ifo, ID_VTSM_PGCI_UT, MenuTable::Vtsm);
}

void ShowOverview(DescribeContext& ctx) {
    switch (ifoKind(&ctx.ifo)) {
        case IfoKind::Vmg:
            ShowVmgOverview(ctx);
            break;
        case IfoKind::Vts:
            ShowVtsOverview(ctx);
            break;
        case IfoKind::Unknown:
            ctx.list.ClearFieldList();
            break;
    }
}

}  // namespace navtab
