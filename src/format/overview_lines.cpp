#include "format/overview_lines.h"

#include "core/bytes.h"
#include "format/language.h"
#include "core/layout/pgc_layout.h"
#include "format/stream_attributes.h"
#include "format/table_describer.h"
#include "core/text_printf.h"

namespace navtab {
namespace {

using namespace pgc;

std::string nameOf(std::string_view name) {
    return std::string(name);
}

std::string_view menuTypeText(MenuTable kind, int bits) {
    if (kind == MenuTable::Vmgm) {
        switch (bits) {
            case 0:
                return "[entry only]        ";
            case 2:
                return "[Title-Menu]        ";
            default:
                return "[invalid]";
        }
    }
    switch (bits) {
        case 0:
            return "[entry only]        ";
        case 3:
            return "[Root-Menu]         ";
        case 4:
            return "[Sub-picture Menu]  ";
        case 5:
            return "[Audio Menu]        ";
        case 6:
            return "[Angle Menu]        ";
        case 7:
            return "[Chapter (PTT) Menu]";
        default:
            return "[invalid]";
    }
}

}  // namespace

std::string videoLine(const std::uint8_t* v, int titleSet) {
    const int tvSystem = (v[0] >> 4) & 3;
    const std::string resolution = nameOf(VideoResolutionName((v[1] >> 2) & 3, tvSystem));
    const char* standard = tvSystem != 0 ? "PAL 625/50" : "NTSC 525/60";
    const std::string aspect = nameOf(AspectRatioName((v[0] >> 2) & 3));
    const std::string display = nameOf(DisplayModeName(v[0] & 3));
    const int mpeg = (v[0] >> 6) + 1;
    if (titleSet > 0)
        return strprintf("  VTS_%d Video: MPEG-%d %s (%s) (%s) (%s)", titleSet, mpeg,
                         resolution.c_str(), standard, aspect.c_str(), display.c_str());
    return strprintf("  Video: MPEG-%d %s (%s) (%s) (%s)", mpeg, resolution.c_str(), standard,
                     aspect.c_str(), display.c_str());
}

std::string audioText(const std::uint8_t* a, int stream, int titleSet, bool withIds) {
    const std::string language = nameOf(LanguageName(be16(a + 2)));
    const std::string coding = nameOf(AudioCodingName(a[0] >> 5));
    const int channels = (a[1] & 7) + 1;
    const std::string rate = nameOf(AudioSampleRateName((a[1] >> 4) & 3));
    const std::string quantization = nameOf(AudioQuantizationName(a[1] >> 6));
    std::string extension = nameOf(AudioExtensionName(a[5]));
    if (extension == "unspecified language extesion") extension.clear();
    std::string text = titleSet > 0 ? strprintf("  VTS_%d Audio %d: ", titleSet, stream)
                                    : strprintf("  Audio %d: ", stream);
    text += strprintf("%s (%s %dch %s %s %s)", language.c_str(), coding.c_str(), channels,
                      rate.c_str(), quantization.c_str(), extension.c_str());
    return withIds ? text + " (ID: " : text;
}

std::string subpictureText(const std::uint8_t* s, int stream, int titleSet, bool withIds) {
    const std::string language = nameOf(LanguageName(be16(s + 2)));
    const std::string coding = nameOf(SubpictureCodingName(s[0] >> 5));
    std::string extension = nameOf(SubpictureExtensionName(s[4]));
    if (extension == "unspecified sub-picture extension") extension.clear();
    std::string text = titleSet > 0 ? strprintf("  VTS_%d SubPicture %d: ", titleSet, stream)
                                    : strprintf("  SubPicture %d: ", stream);
    text += strprintf("%s (%s %s)", language.c_str(), coding.c_str(), extension.c_str());
    return withIds ? text + " (ID: " : text;
}

std::string programsAndCells(const TableRows& pgc) {
    const std::uint8_t* counts = pgc.bytes(kProgramCount, 2);
    return counts ? strprintf("(Programs: %d) (Cells: %d)", counts[0], counts[1])
                  : "(Programs: ?) (Cells: ?)";
}

std::string vobIdList(const TableRows& pgc) {
    const std::uint8_t* cells = pgc.bytes(kCellCount, 1);
    const std::uint8_t* start = pgc.bytes(kCellPositionStart, 2);
    if (cells == nullptr || *cells == 0 || start == nullptr || be16(start) == 0) return {};
    std::string list = " (uses VOB-IDs: ";
    std::uint16_t previous = 0;
    for (std::uint32_t c = 0; c < *cells; ++c) {
        const std::uint8_t* entry =
            pgc.bytes(be16(start) + kCellPositionSize * c, kCellPositionSize);
        if (entry == nullptr) break;
        const std::uint16_t vob = be16(entry + kCellVobId);
        if (vob != previous) list += strprintf("%d,", vob);
        previous = vob;
    }
    while (list.back() == ',') list.pop_back();
    return list + ")";
}

void addMenuSection(FieldList& list, const ifo_t& ifo, int slot, MenuTable kind) {
    list.setTableBase(ifo, ByteRef{slot, 0});
    const TableRows table(list, ByteRef{slot, 0});
    const std::uint8_t* count = table.bytes(kListCount, 2);
    if (count == nullptr) return;
    // Only the language units whose search pointers lie inside the table.
    std::uint32_t units = be16(count);
    while (units > 0 && !table.inside(kListEntries + kListEntrySize * (units - 1), kListEntrySize))
        --units;
    auto unitLine = [&](std::uint32_t n) {
        const std::uint8_t* pointer =
            table.bytes(kListEntries + kListEntrySize * (n - 1), kListEntrySize);
        return strprintf("  Language Menu Unit %u: [%s]", n,
                         nameOf(LanguageName(be16(pointer + kLuLanguage))).c_str());
    };
    // Units whose menu lists overlap would list the same menus again and again.
    EntryBudget budget(ifo.table[slot].size(), kListEntrySize);
    list.addLine("");
    list.addLine(strprintf("Menu Language Units: %d", be16(count)));
    for (std::uint32_t n = 1; n <= units; ++n) list.addLine(unitLine(n));
    for (std::uint32_t n = 1; n <= units; ++n) {
        list.addLine("");
        list.addLine(unitLine(n));
        const std::uint32_t lu =
            be32(table.bytes(kListEntries + kListEntrySize * (n - 1) + kLuStart, 4));
        const std::uint8_t* menuCount = table.bytes(lu + kListCount, 2);
        if (menuCount == nullptr) continue;
        for (std::uint32_t m = 1; m <= be16(menuCount) && budget.take(); ++m) {
            const std::uint8_t* srp =
                table.bytes(lu + kListEntries + kListEntrySize * (m - 1), kListEntrySize);
            if (srp == nullptr) break;
            const std::uint64_t pgcStart = std::uint64_t{lu} + be32(srp + kSrpPgcStart);
            if (pgcStart > 0xFFFFFFFFu) continue;
            const ByteRef pgcRef{slot, static_cast<std::uint32_t>(pgcStart)};
            const TableRows pgc(list, pgcRef);
            std::string line = strprintf("    Menu %u: ", m);
            line += menuTypeText(kind, srp[kSrpCategory] & 0x0F);
            line += (srp[kSrpCategory] & 0x80) ? " (entry PGC)" : "            ";
            line += " " + programsAndCells(pgc) + vobIdList(pgc);
            list.addLine(std::move(line), pgcRef);
        }
    }
}

}  // namespace navtab
