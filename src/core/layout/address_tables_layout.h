// Byte layout of the tables that locate video material by sector: the cell address tables
// (VMGM_C_ADT, VTSM_C_ADT, VTS_C_ADT), the VOBU address maps (VMGM_VOBU_ADMAP, VTSM_VOBU_ADMAP,
// VTS_VOBU_ADMAP) and the time map table of a title set (VTS_TMAPTI).
#pragma once

#include <cstdint>

namespace navtab {

// Cell address table: 12-byte cell entries up to the end byte. The VOB count does not bound them.
namespace c_adt {
inline constexpr std::uint32_t kVobCount = 0;  // 16-bit
inline constexpr std::uint32_t kReserved = 2;  // 16-bit
inline constexpr std::uint32_t kEndByte = 4;   // 32-bit, offset of the table's last byte
inline constexpr std::uint32_t kFirstCell = 8;
inline constexpr std::uint32_t kCellSize = 12;

inline constexpr std::uint32_t kVobId = 0;         // 16-bit
inline constexpr std::uint32_t kCellId = 2;        // 8-bit
inline constexpr std::uint32_t kCellReserved = 3;  // 8-bit
inline constexpr std::uint32_t kStartSector = 4;   // 32-bit
inline constexpr std::uint32_t kEndSector = 8;     // 32-bit, the cell's last sector
}  // namespace c_adt

// VOBU address map: the start sector of every VOBU up to the end byte, so (end byte) / 4 of them.
namespace vobu_admap {
inline constexpr std::uint32_t kEndByte = 0;  // 32-bit
inline constexpr std::uint32_t kFirstVobu = 4;
inline constexpr std::uint32_t kVobuSize = 4;
}  // namespace vobu_admap

// Time map table: a start byte per time map (one per title PGC); each map gives the sector
// reached after every further time unit.
namespace tmapti {
inline constexpr std::uint32_t kMapCount = 0;  // 16-bit
inline constexpr std::uint32_t kReserved = 2;  // 16-bit
inline constexpr std::uint32_t kEndByte = 4;   // 32-bit
inline constexpr std::uint32_t kFirstMap = 8;  // 32-bit start bytes, from the table start

// Time map, from its start.
inline constexpr std::uint32_t kTimeUnit = 0;     // 8-bit, seconds
inline constexpr std::uint32_t kMapReserved = 1;  // 8-bit
inline constexpr std::uint32_t kEntryCount = 2;   // 16-bit
inline constexpr std::uint32_t kFirstEntry = 4;
inline constexpr std::uint32_t kEntrySize = 4;
// An entry's top bit marks a discontinuity; the other 31 bits are the sector.
inline constexpr std::uint32_t kDiscontinuity = 0x80000000u;
inline constexpr std::uint32_t kSectorMask = 0x7FFFFFFFu;
}  // namespace tmapti

}  // namespace navtab
