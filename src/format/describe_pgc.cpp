// The rows of one program chain record: header, stream control, links, palette, and its four
// sub-tables (commands, program map, cell playback, cell position).
#include "core/bytes.h"
#include "format/bcd_time.h"
#include "format/describe.h"
#include "core/layout/pgc_layout.h"
#include "format/table_rows.h"
#include "format/value_format.h"
#include "navcmd/nav_command.h"

namespace navtab {
namespace {

using namespace pgc;

constexpr std::string_view kUopNames[32] = {"Time play or search",
                                            "PTT play or search",
                                            "Title play",
                                            "Stop",
                                            "GoUp",
                                            "Time or PTT search",
                                            "TopPG or PrevPG search",
                                            "NextPG search",
                                            "Forward scan",
                                            "Backward scan",
                                            "Menu call - Title",
                                            "Menu call - Root",
                                            "Menu call - Subpicture",
                                            "Menu call - Audio",
                                            "Menu call - Angle",
                                            "Menu call - PTT",
                                            "Resume",
                                            "Button select or activate",
                                            "Still off",
                                            "Pause on",
                                            "Audio stream change",
                                            "Subpicture stream change",
                                            "Angle change",
                                            "Karaoke audio mix change",
                                            "Video presentation mode change",
                                            "UnkownOp26",
                                            "UnkownOp27",
                                            "UnkownOp28",
                                            "UnkownOp29",
                                            "UnkownOp30",
                                            "UnkownOp31",
                                            "UnkownOp32"};

std::string number(int value) {
    return formatWithInt("%d", value);
}

void describeHeader(TableRows& r) {
    r.note("PGC (program chain):");
    r.word("  Reserved", 0, 0x00);
    r.byte("  Number of Programs", 0, kProgramCount);
    r.byte("  Number of Cells", 0, kCellCount);
    if (r.dword("  Playback time (BCD)", 0, kPlaybackTime))
        r.note("       Playback time (hh:mm:ss.frame)", 0,
               FormatBcdTime(r.bytes(kPlaybackTime, 4)));
    if (r.dword("  Prohibited user operations", 0, kProhibitedUops)) {
        const std::uint32_t uops = be32(r.bytes(kProhibitedUops, 4));
        for (int bit = 0; bit < 32; ++bit)
            if (uops & (1u << bit)) r.note("       operation", 0, kUopNames[bit]);
    }
}

void describeStreamControl(TableRows& r) {
    for (std::uint32_t n = 1; n <= kAudioControlCount; ++n) {
        const std::uint32_t at = kAudioControl + 2 * (n - 1);
        if (!r.word("  Audio stream %d status", n, at)) return;
        const std::uint8_t first = *r.bytes(at, 1);
        if (first & 0x80) r.note("    Audio stream %d uses stream nr.: ", n, number(first & 7));
    }
    static constexpr std::string_view kModes[4] = {
        "    Sub-picture stream %d uses stream nr.(4:3): ",
        "    Sub-picture stream %d uses stream nr.(wide): ",
        "    Sub-picture stream %d uses stream nr.(letterbox): ",
        "    Sub-picture stream %d uses stream nr.(pan&scan): "};
    for (std::uint32_t n = 1; n <= kSubpControlCount; ++n) {
        const std::uint32_t at = kSubpControl + 4 * (n - 1);
        if (!r.dword("  Sub-picture stream %d status", n, at)) return;
        const std::uint8_t* control = r.bytes(at, 4);
        if (control[0] & 0x80)
            for (int mode = 0; mode < 4; ++mode)
                r.note(kModes[mode], n, number(control[mode] & 0x1F));
    }
}

void describeLinksAndPalette(TableRows& r) {
    r.word("  Next PGC number", 0, kNextPgc);
    r.word("  Previous PGC number", 0, kPrevPgc);
    r.word("  Go Up PGC number", 0, kGoUpPgc);
    if (r.byte("  Still time in seconds", 0, kStillTime) && *r.bytes(kStillTime, 1) == 0xFF)
        r.note("    Still time = infinite", 0, "infinite");
    if (r.byte("  PG Playback mode", 0, kPlaybackMode)) {
        const std::uint8_t mode = *r.bytes(kPlaybackMode, 1);
        if (mode == 0)
            r.note("    PG Playback mode = sequential");
        else if (mode & 0x80)
            r.note("shuffle, program count =%d", mode & 0x3F);
        else
            r.note("random, program count =%d", mode & 0x3F);
    }
    // Only the first palette entry's reserved byte gets a row; each entry shows Y, Cr, Cb.
    r.byte("  Reserved", 0, kPalette);
    for (std::uint32_t c = 0; c < kPaletteEntries; ++c)
        r.run("  Color %d Y Cr CB", c, kPalette + 1 + 4 * c, 3);
    r.note("");
    r.word("  PGC Command Table start byte", 0, kCommandTableStart);
    r.word("  PGC Program Map start byte", 0, kProgramMapStart);
    r.word("  Cell Playback Information Table start byte", 0, kCellPlaybackStart);
    r.word("  Cell Position Information Table start byte", 0, kCellPositionStart);
    r.note("");
}

// The start of a sub-table, or 0 when the PGC has none (or its header lies outside the buffer).
std::uint32_t subTableStart(const TableRows& r, std::uint32_t field) {
    const std::uint8_t* p = r.bytes(field, 2);
    return p ? be16(p) : 0;
}

void describeCommands(TableRows& r, std::uint32_t table) {
    r.note("PGC Command Table:");
    r.word("  Number of Pre Commands", 0, table + kPreCommandCount);
    r.word("  Number of Post Commands", 0, table + kPostCommandCount);
    r.word("  Number of Cell Commands", 0, table + kCellCommandCount);
    r.word("  Size of Command table in bytes", 0, table + kCommandTableSize);
    if (!r.inside(table, kCommandsStart)) return;
    const std::uint32_t counts[3] = {be16(r.bytes(table + kPreCommandCount, 2)),
                                     be16(r.bytes(table + kPostCommandCount, 2)),
                                     be16(r.bytes(table + kCellCommandCount, 2))};
    static constexpr std::string_view kLabels[3] = {"    %d.Pre Command", "    %d.Post Command",
                                                    "    %d.Cell Command"};
    std::uint32_t at = table + kCommandsStart;
    for (int group = 0; group < 3; ++group) {
        for (std::uint32_t i = 1; i <= counts[group]; ++i, at += kCommandSize) {
            const std::uint8_t* command = r.bytes(at, kCommandSize);
            if (command == nullptr) return;  // the counts reach past the buffer
            r.run(kLabels[group], i, at, kCommandSize, DecodeNavCommand(command));
        }
    }
}

void describeProgramMap(TableRows& r, std::uint32_t map, int programs) {
    r.note("PGC Program Map:");
    for (int p = 1; p <= programs; ++p)
        if (!r.byte("    Program_%d: Entry cell number ", p,
                    map + static_cast<std::uint32_t>(p - 1)))
            return;
}

void describeCellPlayback(TableRows& r, std::uint32_t table, int cells) {
    static constexpr std::string_view kTypes[4] = {"normal", "first of angle block",
                                                   "middle of angle block", "last of angle block"};
    static constexpr std::string_view kBlocks[4] = {"normal", "angle block", "invalid", "invalid"};
    r.note("Cell Playback:");
    for (int c = 1; c <= cells; ++c) {
        const std::uint32_t e = table + kCellPlaybackSize * static_cast<std::uint32_t>(c - 1);
        if (!r.inside(e, kCellPlaybackSize)) return;
        const std::uint8_t* cell = r.bytes(e, kCellPlaybackSize);
        r.note("");
        r.byte("  Cell_%d: Cell type (Angle)", c, e + kCellCategory);
        r.note("    type", 0, kTypes[cell[0] >> 6]);
        r.note("    Block type", 0, kBlocks[(cell[0] >> 4) & 3]);
        r.note("    seamless playback linked in PCI:", 0, yesNo(cell[0] & 0x08));
        r.note("    interleaved:", 0, yesNo(cell[0] & 0x04));
        r.note("    STC discontinuity:", 0, yesNo(cell[0] & 0x02));
        r.note("    seamless angle linked in DSI:", 0, yesNo(cell[0] & 0x01));
        r.byte("  Cell_%d: Cell restricted?", c, e + kCellRestricted);
        r.note("    restricted:", 0, (cell[1] & 0x40) ? "yes (stops trick play)" : "no");
        r.byte("  Cell_%d: still time (seconds, 0xFF = Infinite)", c, e + kCellStillTime);
        r.byte("  Cell_%d: command Nr (0 = no command)", c, e + kCellCommand);
        r.dword("  Cell_%d: playback time (BCD)", c, e + kCellPlaybackTime);
        r.note("     playback time (hh:mm:ss.frame)", 0, FormatBcdTime(cell + kCellPlaybackTime));
        r.dword("  Cell_%d: entry point sector", c, e + kCellFirstSector);
        r.dword("  Cell_%d: first ILVU VOBU end sector", c, e + kCellFirstIlvuEnd);
        r.dword("  Cell_%d: start sector of last VOBU", c, e + kCellLastVobuStart);
        r.dword("  Cell_%d: last sector of this cell", c, e + kCellLastSector);
    }
}

void describeCellPosition(TableRows& r, std::uint32_t table, int cells) {
    r.note("Cell Position in VOB:");
    for (int c = 1; c <= cells; ++c) {
        const std::uint32_t e = table + kCellPositionSize * static_cast<std::uint32_t>(c - 1);
        if (!r.inside(e, kCellPositionSize)) return;
        r.word("  Cell_%d: has VOB ID", c, e + kCellVobId);
        r.byte("  Cell_%d: Reserved", c, e + 2);
        r.byte("  Cell_%d: has Cell ID", c, e + kCellId);
    }
}

}  // namespace

void DescribePgc(DescribeContext& ctx, ByteRef pgcStart) {
    ctx.list.ClearFieldList();
    ctx.list.setTableBase(ctx.ifo, pgcStart);
    TableRows r(ctx.list, pgcStart);
    describeHeader(r);
    describeStreamControl(r);
    describeLinksAndPalette(r);

    const std::uint8_t* counts = r.bytes(kProgramCount, 2);
    const int programs = counts ? counts[0] : 0;
    const int cells = counts ? counts[1] : 0;

    if (const std::uint32_t start = subTableStart(r, kCommandTableStart))
        describeCommands(r, start);
    else
        r.note("There is no PGC Command Table");
    r.note("");
    if (const std::uint32_t start = subTableStart(r, kProgramMapStart))
        describeProgramMap(r, start, programs);
    else
        r.note("There is no PGC Program Map");
    r.note("");
    if (const std::uint32_t start = subTableStart(r, kCellPlaybackStart))
        describeCellPlayback(r, start, cells);
    else
        r.note("There is no Cell Playback Information Table");
    r.note("");
    if (const std::uint32_t start = subTableStart(r, kCellPositionStart))
        describeCellPosition(r, start, cells);
    else
        r.note("There is no Cell Position Information Table");
}

}  // namespace navtab
