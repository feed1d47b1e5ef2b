// The prohibited-user-operations mask as its editor shows it: one check box per bit, checked when
// the operation is prohibited, in framed groups.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace navtab {

inline constexpr int kUopBits = 32;

// The label of the check box of bit n (n = 0 for the least significant bit).
std::string_view uopLabel(int bit);

// The framed groups of boxes in the order the editor shows them, each a list of bit numbers.
std::span<const std::span<const int>> uopGroups();

// "Check all" sets the 25 known operations and keeps the bits without a name as they are.
inline constexpr std::uint32_t kKnownUops = 0x01FFFFFF;
inline std::uint32_t checkAllUops(std::uint32_t mask) {
    return mask | kKnownUops;
}
// "Clear All" clears every bit.
inline std::uint32_t clearAllUops(std::uint32_t) {
    return 0;
}

inline bool uopBit(std::uint32_t mask, int bit) {
    return (mask >> bit) & 1u;
}
inline std::uint32_t withUopBit(std::uint32_t mask, int bit, bool set) {
    const std::uint32_t b = std::uint32_t{1} << bit;
    return set ? mask | b : mask & ~b;
}

}  // namespace navtab
