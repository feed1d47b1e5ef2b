// Layout of a program chain (PGC) record and of the tables that point to PGCs: the menu PGCI unit
// tables (VMGM_PGCI_UT, VTSM_PGCI_UT) and the title PGC table VTS_PGCIT.
#pragma once

#include <cstdint>

namespace navtab::pgc {

// PGC header, offsets from the PGC's first byte.
inline constexpr std::uint32_t kProgramCount = 0x02;    // 1 byte
inline constexpr std::uint32_t kCellCount = 0x03;       // 1 byte
inline constexpr std::uint32_t kPlaybackTime = 0x04;    // BCD time, 4 bytes
inline constexpr std::uint32_t kProhibitedUops = 0x08;  // 32-bit mask
inline constexpr std::uint32_t kAudioControl = 0x0C;    // 8 x 16-bit
inline constexpr std::uint32_t kAudioControlCount = 8;
inline constexpr std::uint32_t kSubpControl = 0x1C;  // 32 x 4 bytes
inline constexpr std::uint32_t kSubpControlCount = 32;
inline constexpr std::uint32_t kNextPgc = 0x9C;
inline constexpr std::uint32_t kPrevPgc = 0x9E;
inline constexpr std::uint32_t kGoUpPgc = 0xA0;
inline constexpr std::uint32_t kStillTime = 0xA2;
inline constexpr std::uint32_t kPlaybackMode = 0xA3;
inline constexpr std::uint32_t kPalette = 0xA4;  // 16 x (reserved, Y, Cr, Cb)
inline constexpr std::uint32_t kPaletteEntries = 16;
inline constexpr std::uint32_t kCommandTableStart = 0xE4;  // 16-bit offsets from the PGC start
inline constexpr std::uint32_t kProgramMapStart = 0xE6;
inline constexpr std::uint32_t kCellPlaybackStart = 0xE8;
inline constexpr std::uint32_t kCellPositionStart = 0xEA;
inline constexpr std::uint32_t kHeaderSize = 0xEC;

// Command table: three counts, a size word, then the 8-byte commands back to back.
inline constexpr std::uint32_t kPreCommandCount = 0;
inline constexpr std::uint32_t kPostCommandCount = 2;
inline constexpr std::uint32_t kCellCommandCount = 4;
inline constexpr std::uint32_t kCommandTableSize = 6;
inline constexpr std::uint32_t kCommandsStart = 8;
inline constexpr std::uint32_t kCommandSize = 8;

// Cell playback entry (24 bytes per cell).
inline constexpr std::uint32_t kCellPlaybackSize = 24;
inline constexpr std::uint32_t kCellCategory = 0;
inline constexpr std::uint32_t kCellRestricted = 1;
inline constexpr std::uint32_t kCellStillTime = 2;
inline constexpr std::uint32_t kCellCommand = 3;
inline constexpr std::uint32_t kCellPlaybackTime = 4;
inline constexpr std::uint32_t kCellFirstSector = 8;
inline constexpr std::uint32_t kCellFirstIlvuEnd = 12;
inline constexpr std::uint32_t kCellLastVobuStart = 16;
inline constexpr std::uint32_t kCellLastSector = 20;

// Cell position entry (4 bytes per cell): VOB id, reserved, cell id.
inline constexpr std::uint32_t kCellPositionSize = 4;
inline constexpr std::uint32_t kCellVobId = 0;
inline constexpr std::uint32_t kCellId = 3;

// Tables of search pointers (PGCI unit table, language unit, VTS_PGCIT): a 16-bit count, a
// reserved word, the 32-bit end byte, then 8-byte entries.
inline constexpr std::uint32_t kListCount = 0;
inline constexpr std::uint32_t kListEndByte = 4;
inline constexpr std::uint32_t kListEntries = 8;
inline constexpr std::uint32_t kListEntrySize = 8;

// Language unit search pointer: language code, reserved, menu existence mask, unit start byte.
inline constexpr std::uint32_t kLuLanguage = 0;
inline constexpr std::uint32_t kLuMenuMask = 3;
inline constexpr std::uint32_t kLuStart = 4;

// PGC search pointer: category bytes, parental mask, PGC start byte (from the list's first byte).
inline constexpr std::uint32_t kSrpCategory = 0;
inline constexpr std::uint32_t kSrpCategory2 = 1;
inline constexpr std::uint32_t kSrpParentalMask = 2;
inline constexpr std::uint32_t kSrpPgcStart = 4;

}  // namespace navtab::pgc
