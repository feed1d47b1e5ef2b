// The BCD playback time of PGCs and cells: hours, minutes, seconds as BCD bytes, then a byte whose
// two top bits give the frame rate (01 = 25 fps, 11 = 30 fps) and whose low six bits are the BCD
// frame number.
#pragma once

#include <cstdint>
#include <string>

namespace navtab {

// "hh:mm:ss.ff / 25 fps", " / 30 fps" or " / illegal fps" for the other rate codes.
std::string FormatBcdTime(const std::uint8_t* time);

}  // namespace navtab
