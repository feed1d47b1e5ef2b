// Conversion between the BCD playback time word of PGCs and cells and a frame count. The word, read
// big-endian, holds hours, minutes and seconds as two BCD digits each in its three top bytes; the
// low byte carries the frame rate in its two top bits (01 = 25 fps, 11 = 30 fps) and the frame
// number as two BCD digits in its low six bits.
#pragma once

#include <cstdint>

namespace navtab {

inline constexpr std::uint8_t kRateFlag25 = 0x40;
inline constexpr std::uint8_t kRateFlag30 = 0xC0;
inline constexpr std::uint8_t kRateFlagMask = 0xC0;

// Frames per second of a rate flag: 25 for 01, 30 for every other code.
inline constexpr unsigned frameRateOf(std::uint8_t frameByte) {
    return (frameByte & kRateFlagMask) == kRateFlag25 ? 25 : 30;
}

std::uint32_t bcdTimeToFrames(std::uint32_t time);

// `rate` is 25 or 30; any other value counts as 30, the only other rate a DVD knows. Hours beyond
// 99 keep their two lowest decimal digits, as the two BCD digits cannot hold more.
std::uint32_t framesToBcdTime(std::uint32_t frames, unsigned rate);

}  // namespace navtab
