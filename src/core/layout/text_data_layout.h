// Byte layout of the video manager's text data manager (VMG_TXTDT_MG): a header with one search
// pointer per language unit, and for each language a text data block that lists text items.
#pragma once

#include <cstdint>

namespace navtab::txtdt {

// Header, from the table start.
inline constexpr std::uint32_t kCompanyId = 0x00;  // text
inline constexpr std::uint32_t kCompanyIdSize = 15;
inline constexpr std::uint32_t kLanguageCount = 0x0F;  // 8-bit
inline constexpr std::uint32_t kEndByte = 0x10;        // 32-bit
inline constexpr std::uint32_t kFirstLanguage = 0x14;
inline constexpr std::uint32_t kLanguageSize = 8;

// Language unit search pointer.
inline constexpr std::uint32_t kLanguageCode = 0;  // 2 ASCII letters
inline constexpr std::uint32_t kLanguageCodeSize = 2;
inline constexpr std::uint32_t kTextCount = 2;   // 16-bit, meaning not known for sure
inline constexpr std::uint32_t kBlockStart = 4;  // 32-bit start byte of the text data block

// Text data block, from its start.
inline constexpr std::uint32_t kBlockEndByte = 0x00;  // 32-bit
inline constexpr std::uint32_t kUnknownWord1 = 0x04;  // 16-bit
inline constexpr std::uint32_t kUnknownWord2 = 0x06;  // 16-bit
inline constexpr std::uint32_t kUnknownRuns = 0x08;   // nine runs of 20 bytes
inline constexpr std::uint32_t kUnknownRunCount = 9;
inline constexpr std::uint32_t kUnknownRunSize = 20;
inline constexpr std::uint32_t kUnknownTail = 0xBC;  // 16 bytes
inline constexpr std::uint32_t kUnknownTailSize = 16;
inline constexpr std::uint32_t kItemCount = 0xCC;     // 16-bit
inline constexpr std::uint32_t kItemReserved = 0xCE;  // 16-bit
inline constexpr std::uint32_t kFirstItem = 0xD0;

// Text item entry: item code, an unused byte, and the offset of the item's text counted from
// block offset 0xCC (0 for an item without text). A text ends at a TAB or a zero byte.
inline constexpr std::uint32_t kItemSize = 4;
inline constexpr std::uint32_t kItemCode = 0;  // 8-bit
inline constexpr std::uint32_t kItemText = 2;  // 16-bit
inline constexpr std::uint32_t kItemTextBase = kItemCount;

}  // namespace navtab::txtdt
