// The two tables that find a title's start: the video manager's title search table, one entry per
// title of the disc, and a title set's chapter table, one run of chapter entries per title.
#include <string>

#include "format/table_describer.h"
#include "core/layout/title_tables_layout.h"

namespace navtab {
namespace {

// Where jump, link and call commands occur in a title, from the playback type byte shifted right
// by 2: bit 0 says commands exist, bits 1 to 3 that they are in buttons, pre/post commands and
// cell commands. Any other combination, and any value with bit 6 or 7 of the byte set, is invalid.
std::string_view commandPlacesText(unsigned places) {
    switch (places) {
        case 0:
            return "none";
        case 3:
            return "only in button";
        case 5:
            return "only in pre/post";
        case 7:
            return "in button and pre/post";
        case 9:
            return "only in cell";
        case 11:
            return "in cell and button";
        case 13:
            return "in cell and pre/post";
        case 15:
            return "in all places";
        default:
            return "invalid";
    }
}

void describePlaybackType(TableRows& rows, std::uint8_t type) {
    using namespace vmg_ptt;
    rows.note("  type details:");
    rows.note(
        (type & kOneSequentialPgc) != 0
            ? "    one_sequential_pgc"
            : "    not one_sequential (random, shuffle, stills, loops, or more than one pgc)");
    rows.note("    Jump/Link/Call commands " + std::string(commandPlacesText(type >> 2u)), 0, "0");
    rows.note("    Prohibited user op. PTT play or search", 0,
              yesNo((type & kPttUopProhibited) != 0));
    rows.note("    Prohibited user op. Time play or search", 0,
              yesNo((type & kTimeUopProhibited) != 0));
}

void describeTitle(FieldList& list, int title, std::uint32_t entry, std::uint8_t type) {
    using namespace vmg_ptt;
    TableRows rows(list, ByteRef{ID_VMG_PTT_SRPT, entry});
    rows.byte("Title_%d: Title playback type", title, kPlaybackType);
    describePlaybackType(rows, type);
    rows.byte("Title_%d: Number of angles", title, kAngles);
    rows.word("Title_%d: Number of PTTs (Chapters/PGs)", title, kChapters);
    rows.word("Title_%d: Parental ID field", title, kParentalId);
    rows.byte("Title_%d: Title set number (VTS#)", title, kVtsNumber);
    rows.byte("Title_%d: VTS_TTN (PGC)", title, kVtsTitle);
    rows.dword("Title_%d: Title set starting sector", title, kVtsStart);
}

// The chapter entries of one title unit: from its start byte up to (not including) `limit`.
// The last unit of the table has labels of its own.
void describeTtuPtts(TableRows& rows, std::uint32_t start, std::uint64_t limit, bool last,
                     EntryBudget& budget) {
    using namespace vts_ptt;
    const char* pgcLabel = last ? "    PTT_%d: Programm Chain number PGCN"
                                : "    PTT_%d: Programm Chain number (PGCN)";
    const char* pgLabel =
        last ? "    PTT_%d: Programm number PG" : "    PTT_%d: Programm number (PGN)";
    int ptt = 1;
    for (std::uint64_t at = start; at < limit; at += kPttSize, ++ptt) {
        if (!rows.inside(static_cast<std::uint32_t>(at), kPttSize) || !budget.take()) return;
        const auto offset = static_cast<std::uint32_t>(at);
        rows.word(pgcLabel, ptt, offset + kPgcNumber);
        rows.word(pgLabel, ptt, offset + kProgramNumber);
    }
}

}  // namespace

void DescribeVmgPttSrpt(DescribeContext& ctx) {
    using namespace vmg_ptt;
    if (!beginTable(ctx, ID_VMG_PTT_SRPT, "There is no VMG_PTT_SRPT table")) return;
    TableRows rows(ctx.list, ByteRef{ID_VMG_PTT_SRPT, 0});
    rows.word("Number of Title play Maps", 0, kTitleCount);
    rows.word("Unknown", 0, kReserved);
    rows.dword("length of table", 0, kEndByte);

    const std::uint32_t titles = readNumber(rows, kTitleCount, 2).value_or(0);
    for (std::uint32_t t = 1; t <= titles; ++t) {
        const std::uint32_t entry = kFirstTitle + (t - 1) * kTitleSize;
        // Entries past the loaded bytes end the list, however many titles the count claims.
        if (!rows.inside(entry, kTitleSize)) break;
        const auto type = static_cast<std::uint8_t>(*readNumber(rows, entry + kPlaybackType, 1));
        describeTitle(ctx.list, static_cast<int>(t), entry, type);
    }
}

void DescribeVtsPttSrpt(DescribeContext& ctx) {
    using namespace vts_ptt;
    if (!beginTable(ctx, ID_PTT_SRPTI, "There is no VTS_PTT_SRPT table")) return;
    TableRows rows(ctx.list, ByteRef{ID_PTT_SRPTI, 0});
    rows.word("Number of Title Unit Search Pointers (TTUs) in the VTS", 0, kTtuCount);
    rows.word("Reserved", 0, kReserved);
    rows.dword("End byte of PTT_SRPT table", 0, kEndByte);
    rows.note("");

    const std::uint32_t count = readNumber(rows, kTtuCount, 2).value_or(0);
    const std::uint32_t endByte = readNumber(rows, kEndByte, 4).value_or(0);
    const std::uint32_t readable =
        describeStartBytes(rows, "  TTU_%d: Starting byte", kFirstTtu, count);
    rows.note("");

    EntryBudget budget(ctx.ifo.table[ID_PTT_SRPTI].size(), kPttSize);
    for (std::uint32_t u = 1; u <= readable; ++u) {
        const bool last = u == count;
        rows.note("  TTU_%d PTTs:", u);
        // A unit runs up to the next unit's start; the last one (or one whose successor cannot
        // be read) up to the end byte.
        const std::uint64_t limit =
            last || u == readable ? endByte : *readStartByte(rows, kFirstTtu, u + 1);
        describeTtuPtts(rows, *readStartByte(rows, kFirstTtu, u), limit, last, budget);
    }
}

}  // namespace navtab
