// The tables an IFO file can hold: their ids, names, where the management table keeps their start
// sector and where each table keeps its end address. This is the one reference for table locations.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace navtab {

inline constexpr int kIfoTableSlots = 20;

// Slot 0 is the management table (VMGI_MAT or VTSI_MAT); slots 1, 2, 6 and 12 are never used.
enum TableId : int {
    ID_MAT = 0,
    ID_PTT_SRPTI = 3,
    ID_VTS_PGCITI = 4,
    ID_VTSM_PGCI_UT = 5,
    ID_VTS_TMAPTI = 7,
    ID_VTSM_C_ADT = 8,
    ID_VTSM_VOBU_ADMAP = 9,
    ID_VTS_C_ADT = 10,
    ID_VTS_VOBU_ADMAP = 11,
    ID_VMG_PTT_SRPT = 13,
    ID_VMGM_PGCI_UT = 14,
    ID_VMG_PTL_MAIT = 15,
    ID_VMG_VTS_ATRT = 16,
    ID_VMG_TXTDT_MG = 17,
    ID_VMGM_C_ADT = 18,
    ID_VMGM_VOBU_ADMAP = 19,
};

enum class IfoKind { Vmg, Vts, Unknown };

// Whether a player needs a table: always, when the file has menus (a menu VOB start sector), or
// not at all. A file without a table it needs did not load as a whole.
enum class TableNeed { Always, WithMenus, Optional };

struct TableLocation {
    TableId id;
    std::string_view name;     // the name messages use, e.g. "ID_VTS_C_ADT"
    IfoKind kind;              // the file kind that holds this table
    std::uint32_t matPointer;  // offset of the 32-bit start sector in the management table
    std::uint32_t endWord;     // offset of the 32-bit end address inside the table itself
    TableNeed need;
};

// Every table of a title set file, in load and write order.
inline constexpr TableLocation kVtsTables[] = {
    {ID_PTT_SRPTI, "ID_PTT_SRPTI", IfoKind::Vts, 0xC8, 4, TableNeed::Always},
    {ID_VTS_PGCITI, "ID_VTS_PGCITI", IfoKind::Vts, 0xCC, 4, TableNeed::Always},
    {ID_VTSM_PGCI_UT, "ID_VTSM_PGCI_UT", IfoKind::Vts, 0xD0, 4, TableNeed::WithMenus},
    {ID_VTS_TMAPTI, "ID_VTS_TMAPTI", IfoKind::Vts, 0xD4, 4, TableNeed::Optional},
    {ID_VTSM_C_ADT, "ID_VTSM_C_ADT", IfoKind::Vts, 0xD8, 4, TableNeed::WithMenus},
    {ID_VTSM_VOBU_ADMAP, "ID_VTSM_VOBU_ADMAP", IfoKind::Vts, 0xDC, 0, TableNeed::WithMenus},
    {ID_VTS_C_ADT, "ID_VTS_C_ADT", IfoKind::Vts, 0xE0, 4, TableNeed::Always},
    {ID_VTS_VOBU_ADMAP, "ID_VTS_VOBU_ADMAP", IfoKind::Vts, 0xE4, 0, TableNeed::Always},
};

// Every table of the video manager file, in load and write order.
inline constexpr TableLocation kVmgTables[] = {
    {ID_VMG_PTT_SRPT, "ID_VMG_PTT_SRPT", IfoKind::Vmg, 0xC4, 4, TableNeed::Always},
    {ID_VMGM_PGCI_UT, "ID_VMGM_PGCI_UT", IfoKind::Vmg, 0xC8, 4, TableNeed::WithMenus},
    {ID_VMG_PTL_MAIT, "ID_VMG_PTL_MAIT", IfoKind::Vmg, 0xCC, 4, TableNeed::Optional},
    {ID_VMG_VTS_ATRT, "ID_VMG_VTS_ATRT", IfoKind::Vmg, 0xD0, 4, TableNeed::Always},
    {ID_VMG_TXTDT_MG, "ID_VMG_TXTDT_MG", IfoKind::Vmg, 0xD4, 16, TableNeed::Optional},
    {ID_VMGM_C_ADT, "ID_VMGM_C_ADT", IfoKind::Vmg, 0xD8, 4, TableNeed::WithMenus},
    {ID_VMGM_VOBU_ADMAP, "ID_VMGM_VOBU_ADMAP", IfoKind::Vmg, 0xDC, 0, TableNeed::WithMenus},
};

// The tables a file of this kind holds (empty for a file of neither kind).
inline std::span<const TableLocation> tablesOf(IfoKind kind) {
    switch (kind) {
        case IfoKind::Vmg:
            return kVmgTables;
        case IfoKind::Vts:
            return kVtsTables;
        case IfoKind::Unknown:
            break;
    }
    return {};
}

inline std::optional<TableLocation> tableLocation(int id) {
    for (const auto& t : kVtsTables)
        if (t.id == id) return t;
    for (const auto& t : kVmgTables)
        if (t.id == id) return t;
    return std::nullopt;
}

// Fields of the management table that the loader and the sector tools share.
inline constexpr std::uint32_t kMatIdentifier =
    0x000;  // 12 bytes, "DVDVIDEO-VMG" or "DVDVIDEO-VTS"
inline constexpr std::uint32_t kMatIdentifierLength = 12;
inline constexpr std::uint32_t kMatLastSector = 0x00C;       // of the VMG or VTS, with its BUP
inline constexpr std::uint32_t kMatLastSectorOfIfo = 0x01C;  // of VMGI or VTSI
inline constexpr std::uint32_t kVmgTitleSetCount = 0x03E;    // 16-bit
inline constexpr std::uint32_t kVmgFirstPlayPgc = 0x084;
inline constexpr std::uint32_t kMatMenuVobsStart = 0x0C0;   // VMGM_VOBS or VTSM_VOBS, 0 = none
inline constexpr std::uint32_t kVtsTitleVobsStart = 0x0C4;  // VTSTT_VOBS
// 16-bit video attribute words: of the menus (VMGM_VOBS or VTSM_VOBS) and of a VTS's titles.
inline constexpr std::uint32_t kMatMenuVideoAttributes = 0x100;
inline constexpr std::uint32_t kVtsTitleVideoAttributes = 0x200;

}  // namespace navtab
