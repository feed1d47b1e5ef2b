// The tables through which program chains are reached: the menu PGCI unit tables of the video
// manager and of a title set (grouped by language unit), and the title PGC table of a title set.
// The first time a table is shown, each PGC it points to becomes a node of the tree.
#include "core/bytes.h"
#include "format/describe.h"
#include "format/language.h"
#include "core/layout/pgc_layout.h"
#include "format/table_describer.h"
#include "format/table_rows.h"
#include "format/value_format.h"

namespace navtab {
namespace {

using namespace pgc;

struct MenuType {
    std::string_view value;
    std::string_view suffix;  // the tree label's ending
};

MenuType vtsmMenuType(int bits) {
    switch (bits) {
        case 0:
            return {"entry only", ""};
        case 3:
            return {"root", "(Root Menu)"};
        case 4:
            return {"sub-picture", "(Subpicture Menu)"};
        case 5:
            return {"audio", "(Audio Menu)"};
        case 6:
            return {"angle", "(Angle Menu)"};
        case 7:
            return {"PTT (chapter)", "(Chapter Menu)"};
        default:
            return {"invalid", ""};
    }
}

std::string_view vmgmMenuType(int bits) {
    return bits == 0 ? "entry only" : bits == 2 ? "Title-Menu" : "invalid";
}

// Adds a PGC node under the table's node when the PGC's first byte lies inside the table.
void addPgcNode(DescribeContext& ctx, int slot, std::uint64_t offset, std::string caption) {
    if (offset >= ctx.ifo.table[slot].size()) return;
    TreeNode& node = ctx.node.addChild(NodeKind::Pgc, std::move(caption));
    node.pgcSlot = slot;
    node.pgcOffset = static_cast<std::uint32_t>(offset);
}

// Rows of one language unit's search pointer (the first part of each unit-table listing).
struct LuLabels {
    std::string_view code, reserved, mask, start, startFormat;
};

void describeLuPointer(TableRows& r, int n, std::uint32_t at, const LuLabels& labels) {
    r.note("");
    r.text(labels.code, n, at + kLuLanguage, 2, "%2s");
    r.note("    language_%d:", n, LanguageName(be16(r.bytes(at + kLuLanguage, 2))));
    r.byte(labels.reserved, n, at + 2);
    r.byte(labels.mask, n, at + kLuMenuMask);
    const std::uint8_t mask = *r.bytes(at + kLuMenuMask, 1);
    r.note("    existant menus:");
    r.note("      Root Menu:", 0, yesNo(mask & 0x80));
    r.note("      Sub-picture Menu:", 0, yesNo(mask & 0x40));
    r.note("      Audio Menu:", 0, yesNo(mask & 0x20));
    r.note("      Angle Menu:", 0, yesNo(mask & 0x10));
    r.note("      Chapter (PTT) Menu:", 0, yesNo(mask & 0x08));
    r.dword(labels.start, n, at + kLuStart, labels.startFormat);
}

// Number of entries of a list whose count word is at `at`, limited to those inside the buffer.
std::uint32_t entriesInside(const TableRows& r, std::uint32_t at) {
    const std::uint8_t* count = r.bytes(at + kListCount, 2);
    if (count == nullptr) return 0;
    std::uint32_t n = be16(count);
    while (n > 0 && !r.inside(at + kListEntries + kListEntrySize * (n - 1), kListEntrySize)) --n;
    return n;
}

// Rows of a list header: the entry count, a reserved (or unknown) word and the end byte.
struct ListLabels {
    std::string_view count, reserved, endByte, format;
};

void describeListHeader(TableRows& r, std::uint32_t at, const ListLabels& labels) {
    r.word(labels.count, 0, at + kListCount, labels.format);
    r.word(labels.reserved, 0, at + 2, labels.format);
    r.dword(labels.endByte, 0, at + kListEndByte, labels.format);
}

// Rows of one menu PGC search pointer of a language unit.
struct MenuLabels {
    std::string_view mask, category, parental, start;
    std::string_view maskFormat, parentalFormat;
};

void describeMenuPointer(TableRows& r, std::uint32_t m, std::uint32_t srp, const MenuLabels& labels,
                         std::string_view menuType) {
    const std::uint8_t category = *r.bytes(srp + kSrpCategory, 1);
    r.note("");
    r.byte(labels.mask, m, srp + kSrpCategory, labels.maskFormat);
    r.note("        details:");
    r.note("          entry PGC:", 0, yesNo(category & 0x80));
    r.note("          Menu Type:", 0, menuType);
    r.byte(labels.category, m, srp + kSrpCategory2, labels.maskFormat);
    r.word(labels.parental, m, srp + kSrpParentalMask, labels.parentalFormat);
    r.dword(labels.start, m, srp + kSrpPgcStart, "%d");
}

std::uint32_t luStart(const TableRows& r, std::uint32_t luPointer) {
    return be32(r.bytes(luPointer + kLuStart, 4));
}

constexpr MenuLabels kVmgmMenu{"    Menu_%d: VMGM_PGC Category Menu mask",
                               "    Menu_%d: VMGM_PGC Category",
                               "    Menu_%d: VMGM_PGC Category Parental ID mask",
                               "    Menu_%d: VMGM_PGCI start byte",
                               "%02x",
                               "%04x"};
constexpr MenuLabels kVtsmMenu{"        Menu_%d: VTSM_PGC Category Menu mask",
                               "        Menu_%d: VTSM_PGC Category",
                               "        Menu_%d: VTSM_PGC Category Parental ID mask",
                               "        Menu_%d: VTSM_PGCI start byte",
                               {},
                               {}};

}  // namespace

void DescribeVmgmPgciUt(DescribeContext& ctx) {
    if (!beginTable(ctx, ID_VMGM_PGCI_UT, "There is no VMGM_PGCI_UT table")) return;
    const bool makeNodes = ctx.node.children.empty();
    TableRows r(ctx.list, ByteRef{ID_VMGM_PGCI_UT, 0});
    // Language units whose menu lists overlap would list the same search pointers again and again.
    EntryBudget budget(ctx.ifo.table[ID_VMGM_PGCI_UT].size(), kListEntrySize);
    describeListHeader(r, 0,
                       {"Number of VMGM_PGCI_LUs (Language Units)", "Unknown",
                        "End byte of VMGM_PGCI_LUs table", "%d"});
    const LuLabels labels{"  LU_%d: Video Manager Menu Language Code (ISO9660)",
                          "  LU_%d: Reserved", "  LU_%d: Video Manager Menu Existence mask",
                          "  LU_%d: Video Manager Menu Language start byte", "%d"};
    const std::uint32_t lus = entriesInside(r, 0);
    for (std::uint32_t n = 1; n <= lus; ++n) {
        const std::uint32_t pointer = kListEntries + kListEntrySize * (n - 1);
        describeLuPointer(r, static_cast<int>(n), pointer, labels);
        const std::uint32_t lu = luStart(r, pointer);
        if (!r.inside(lu, kListEntries)) continue;
        describeListHeader(r, lu,
                           {"   Number of Menu's for this LU (VMGM_PGCI_SRP)", "   Unknown",
                            "   End byte of VMGM_LU_EA table", "%d"});
        const std::string language(LanguageName(be16(r.bytes(pointer + kLuLanguage, 2))));
        const std::uint32_t menus = entriesInside(r, lu);
        for (std::uint32_t m = 1; m <= menus && budget.take(); ++m) {
            const std::uint32_t srp = lu + kListEntries + kListEntrySize * (m - 1);
            describeMenuPointer(r, m, srp, kVmgmMenu, vmgmMenuType(*r.bytes(srp, 1) & 0x0F));
            if (makeNodes)
                addPgcNode(
                    ctx, ID_VMGM_PGCI_UT, std::uint64_t{lu} + be32(r.bytes(srp + kSrpPgcStart, 4)),
                    formatWithInt("LU_%d (", n) + language + formatWithInt(") PGC-Menu_%d", m));
        }
    }
}

void DescribeVtsmPgciUt(DescribeContext& ctx) {
    if (!beginTable(ctx, ID_VTSM_PGCI_UT, "There is no VTSM_PGCI_UT table")) return;
    const bool makeNodes = ctx.node.children.empty();
    TableRows r(ctx.list, ByteRef{ID_VTSM_PGCI_UT, 0});
    EntryBudget budget(ctx.ifo.table[ID_VTSM_PGCI_UT].size(), kListEntrySize);
    describeListHeader(r, 0,
                       {"Number of VTSM_PGCI_LUs (Language Units)",
                        "Reserved",
                        "End byte of VTSM_PGCI_LUs table",
                        {}});
    const LuLabels labels{"  LU_%d: Video Title Set Menu Language Code", "  LU_%d: Reserved",
                          "  LU_%d: Video Title Set Menu Existence mask",
                          "  LU_%d: Video Title Set Menu Language start byte", "%d"};
    const std::uint32_t lus = entriesInside(r, 0);
    for (std::uint32_t n = 1; n <= lus; ++n)
        describeLuPointer(r, static_cast<int>(n), kListEntries + kListEntrySize * (n - 1), labels);

    for (std::uint32_t n = 1; n <= lus; ++n) {
        const std::uint32_t pointer = kListEntries + kListEntrySize * (n - 1);
        const std::uint32_t lu = luStart(r, pointer);
        r.note("");
        r.note(" [LU %d] Menu's:", n);
        if (!r.inside(lu, kListEntries)) continue;
        describeListHeader(r, lu,
                           {"    Number of Menu's for this LU (VTSM_PGCI_SRP)",
                            "    Reserved",
                            "    End byte of VTSM_LU_EA table",
                            {}});
        const std::string language(LanguageName(be16(r.bytes(pointer + kLuLanguage, 2))));
        const std::uint32_t menus = entriesInside(r, lu);
        for (std::uint32_t m = 1; m <= menus && budget.take(); ++m) {
            const std::uint32_t srp = lu + kListEntries + kListEntrySize * (m - 1);
            const MenuType type = vtsmMenuType(*r.bytes(srp, 1) & 0x0F);
            describeMenuPointer(r, m, srp, kVtsmMenu, type.value);
            if (makeNodes)
                addPgcNode(ctx, ID_VTSM_PGCI_UT,
                           std::uint64_t{lu} + be32(r.bytes(srp + kSrpPgcStart, 4)),
                           formatWithInt("LU_%d (", n) + language +
                               formatWithInt(") PGC-Menu_%d ", m) + std::string(type.suffix));
        }
    }
}

void DescribeVtsPgcit(DescribeContext& ctx) {
    if (!beginTable(ctx, ID_VTS_PGCITI, "There is no VTS_PGCITI table")) return;
    const bool makeNodes = ctx.node.children.empty();
    TableRows r(ctx.list, ByteRef{ID_VTS_PGCITI, 0});
    describeListHeader(
        r, 0, {"Number of VTS_PGCI_SRP", "Reserved", "End byte of VTS_PGCI_SRP table", {}});
    const std::uint32_t pgcs = entriesInside(r, 0);
    for (std::uint32_t p = 1; p <= pgcs; ++p) {
        const std::uint32_t srp = kListEntries + kListEntrySize * (p - 1);
        const std::uint8_t category = *r.bytes(srp + kSrpCategory, 1);
        r.note("");
        r.byte("  VTS_PGC_%d: Category mask", p, srp + kSrpCategory);
        r.note("    details:");
        r.note("      entry PGC:", 0, yesNo(category & 0x80));
        r.note("      Title number:", 0, formatWithInt("%d", category & 0x7F));
        r.byte("  VTS_PGC_%d: Category", p, srp + kSrpCategory2);
        r.word("  VTS_PGC_%d: Category Parental ID mask", p, srp + kSrpParentalMask);
        r.dword("  VTS_PGC_%d: VTS_PGCI start byte", p, srp + kSrpPgcStart);
        if (makeNodes)
            addPgcNode(ctx, ID_VTS_PGCITI, be32(r.bytes(srp + kSrpPgcStart, 4)),
                       formatWithInt("VTS_PGC_%d", p));
    }
}

}  // namespace navtab
