// The cell address tables and VOBU address maps of menus and titles: where every cell and every
// video object unit of a VOB group starts.
#include "core/layout/address_tables_layout.h"
#include "format/table_describer.h"

namespace navtab {
namespace {

struct CellTableLabels {
    int tableId;
    const char* absent;
    const char* vobCount;
    const char* endByte;
};

constexpr CellTableLabels kCellTables[] = {
    {ID_VMGM_C_ADT, "There is no VMGM_C_ADT table", "Number of VOBs (VOB ID's) in VMGM_VOBS",
     "End byte of VMGM_C_ADT table"},
    {ID_VTSM_C_ADT, "There is no VTSM_C_ADT table", "Number of VOBs in VTSM_VOBS",
     "End byte of VTSM_C_ADT table"},
    {ID_VTS_C_ADT, "There is no VTS_C_ADT table", "Number of VOBs in VTS_VOBS",
     "End byte of VTS_C_ADT table"},
};

struct VobuMapLabels {
    int tableId;
    const char* absent;
    const char* endByte;
    bool showsCount;  // only the title map says how many VOBUs it holds
};

constexpr VobuMapLabels kVobuMaps[] = {
    {ID_VMGM_VOBU_ADMAP, "There is no VMGM_VOBU_ADMAP table", "End byte of VMGM_VOBU_ADMAP", false},
    {ID_VTSM_VOBU_ADMAP, "There is no VTSM_VOBU_ADMAP table", "End byte of VTSM_VOBU_ADMAP", false},
    {ID_VTS_VOBU_ADMAP, "There is no VTS_VOBU_ADMAP table", "End byte of VTS_VOBU_ADMAP", true},
};

template <typename Labels, std::size_t N>
const Labels* labelsFor(const Labels (&tables)[N], int tableId) {
    for (const auto& t : tables)
        if (t.tableId == tableId) return &t;
    return nullptr;
}

// Entries of `size` bytes from `first` on, while an entry starts below the end byte and lies
// inside the buffer.
template <typename Describe>
void forEachEntry(const TableRows& rows, std::uint32_t first, std::uint32_t size,
                  std::uint32_t endByte, Describe describe) {
    std::uint32_t n = 1;
    for (std::uint64_t at = first; at < endByte; at += size, ++n) {
        if (!rows.inside(static_cast<std::uint32_t>(at), size)) return;
        describe(n, static_cast<std::uint32_t>(at));
    }
}

}  // namespace

void DescribeCellAddressTable(DescribeContext& ctx, int tableId) {
    using namespace c_adt;
    const CellTableLabels* labels = labelsFor(kCellTables, tableId);
    if (labels == nullptr) {
        ctx.list.ClearFieldList();
        return;
    }
    if (!beginTable(ctx, tableId, labels->absent)) return;
    TableRows rows(ctx.list, ByteRef{tableId, 0});
    rows.word(labels->vobCount, 0, kVobCount);
    rows.word("Reserved", 0, kReserved);
    rows.dword(labels->endByte, 0, kEndByte);

    const std::uint32_t endByte = readNumber(rows, kEndByte, 4).value_or(0);
    forEachEntry(rows, kFirstCell, kCellSize, endByte, [&](std::uint32_t n, std::uint32_t cell) {
        rows.word("  %d. Cell: VOB ID", n, cell + kVobId);
        rows.byte("  %d. Cell: Cell ID", n, cell + kCellId);
        rows.byte("  %d. Cell: Reserved", n, cell + kCellReserved);
        rows.dword("  %d. Cell: Start sector", n, cell + kStartSector);
        rows.dword("  %d. Cell: End sector", n, cell + kEndSector);
    });
}

void DescribeVobuAdmap(DescribeContext& ctx, int tableId) {
    using namespace vobu_admap;
    const VobuMapLabels* labels = labelsFor(kVobuMaps, tableId);
    if (labels == nullptr) {
        ctx.list.ClearFieldList();
        return;
    }
    if (!beginTable(ctx, tableId, labels->absent)) return;
    TableRows rows(ctx.list, ByteRef{tableId, 0});
    rows.dword(labels->endByte, 0, kEndByte);

    const std::uint32_t endByte = readNumber(rows, kEndByte, 4).value_or(0);
    if (labels->showsCount) rows.note(" number of VOBU's: %d", endByte >> 2);
    forEachEntry(rows, kFirstVobu, kVobuSize, endByte, [&](std::uint32_t n, std::uint32_t vobu) {
        rows.dword("  VOBU_%d: start sector", n, vobu);
    });
}

}  // namespace navtab
