// Byte layout of the video manager's title search table (VMG_PTT_SRPT), a title set's chapter
// table (VTS_PTT_SRPT), the parental management table (VMG_PTL_MAIT) and the title-set attribute
// table (VMG_VTS_ATRT). Offsets count from the start of the table or record named.
#pragma once

#include <cstdint>

namespace navtab {

// VMG_PTT_SRPT: one 12-byte entry per title of the disc.
namespace vmg_ptt {
inline constexpr std::uint32_t kTitleCount = 0;  // 16-bit
inline constexpr std::uint32_t kReserved = 2;    // 16-bit
inline constexpr std::uint32_t kEndByte = 4;     // 32-bit
inline constexpr std::uint32_t kFirstTitle = 8;
inline constexpr std::uint32_t kTitleSize = 12;

// Offsets inside a title entry.
inline constexpr std::uint32_t kPlaybackType = 0;  // 8-bit flags, see below
inline constexpr std::uint32_t kAngles = 1;        // 8-bit
inline constexpr std::uint32_t kChapters = 2;      // 16-bit, number of PTTs
inline constexpr std::uint32_t kParentalId = 4;    // 16-bit
inline constexpr std::uint32_t kVtsNumber = 6;     // 8-bit
inline constexpr std::uint32_t kVtsTitle = 7;      // 8-bit, title number inside the title set
inline constexpr std::uint32_t kVtsStart = 8;      // 32-bit, start sector of the title set

// Bits of the playback type byte. Bits 5-2 say where jump/link/call commands occur; the byte
// shifted right by 2 gives them as one number.
inline constexpr std::uint8_t kOneSequentialPgc = 0x40;
inline constexpr std::uint8_t kPttUopProhibited = 0x02;
inline constexpr std::uint8_t kTimeUopProhibited = 0x01;
}  // namespace vmg_ptt

// VTS_PTT_SRPT: a start byte per title unit (TTU); a TTU is a run of 4-byte chapter entries that
// lasts up to the next TTU's start, the last one up to the table's end byte.
namespace vts_ptt {
inline constexpr std::uint32_t kTtuCount = 0;  // 16-bit
inline constexpr std::uint32_t kReserved = 2;  // 16-bit
inline constexpr std::uint32_t kEndByte = 4;   // 32-bit
inline constexpr std::uint32_t kFirstTtu = 8;  // 32-bit start bytes, from the table start

inline constexpr std::uint32_t kPttSize = 4;
inline constexpr std::uint32_t kPgcNumber = 0;      // 16-bit
inline constexpr std::uint32_t kProgramNumber = 2;  // 16-bit
}  // namespace vts_ptt

// VMG_PTL_MAIT: an 8-byte entry per country pointing at its block of parental masks, which starts
// with the masks of the first parental level: one for the VMG, then one per title set.
namespace ptl_mait {
inline constexpr std::uint32_t kCountryCount = 0;   // 16-bit
inline constexpr std::uint32_t kTitleSetCount = 2;  // 16-bit
inline constexpr std::uint32_t kEndByte = 4;        // 32-bit
inline constexpr std::uint32_t kFirstCountry = 8;
inline constexpr std::uint32_t kCountrySize = 8;

inline constexpr std::uint32_t kCountryCode = 0;  // 2 ASCII letters
inline constexpr std::uint32_t kCountryCodeSize = 2;
inline constexpr std::uint32_t kReserved1 = 2;    // 16-bit
inline constexpr std::uint32_t kPtlMaiStart = 4;  // 16-bit start byte, from the table start
inline constexpr std::uint32_t kReserved2 = 6;    // 16-bit
inline constexpr std::uint32_t kMaskSize = 2;
}  // namespace ptl_mait

// VMG_VTS_ATRT: a start byte per title set, pointing at a copy of the set's category and stream
// attributes (VTS_ATR). Menus and titles have the same group of fields at different offsets.
namespace vts_atrt {
inline constexpr std::uint32_t kTitleSetCount = 0;  // 16-bit
inline constexpr std::uint32_t kReserved = 2;       // 16-bit
inline constexpr std::uint32_t kEndByte = 4;        // 32-bit
inline constexpr std::uint32_t kFirstRecord = 8;    // 32-bit start bytes, from the table start

// Offsets inside a VTS_ATR record.
inline constexpr std::uint32_t kRecordEndByte = 0x000;  // 32-bit
inline constexpr std::uint32_t kCategory = 0x004;       // 32-bit

struct StreamGroup {
    std::uint32_t video;       // 16-bit video attribute word
    std::uint32_t reserved1;   // 8-bit
    std::uint32_t audioCount;  // 8-bit
    std::uint32_t audio;       // 8-byte audio attribute records
    std::uint32_t reserved2;   // 8-bit
    std::uint32_t subpCount;   // 8-bit
    std::uint32_t subpicture;  // 6-byte sub-picture attribute records
    std::uint32_t audioSlots;  // records the group has room for
    std::uint32_t subpSlots;
};

// A menu has room for 8 audio records and, up to the title attributes at 0x108, 28 sub-picture
// records; a title for 8 audio and 32 sub-picture records.
inline constexpr StreamGroup kMenu{0x008, 0x00A, 0x00B, 0x00C, 0x05C, 0x05D, 0x05E, 8, 28};
inline constexpr StreamGroup kTitle{0x108, 0x10A, 0x10B, 0x10C, 0x15C, 0x15D, 0x15E, 8, 32};
}  // namespace vts_atrt

}  // namespace navtab
