// The names the program-stream scanner's log uses for stream ids, frame rates and aspect ratios,
// and its time text.
#pragma once

#include <cstdint>
#include <string>

namespace navtab::vob {

// "Video 0", "Private 1", "MPEG1 Audio 2", ... or "other".
std::string streamName(std::uint8_t streamId);
// The frame-rate code (low nibble of sequence header byte 7), e.g. "[4] 29.97 (30000/1001) fps".
const char* frameRateName(unsigned code);
// The aspect-ratio code (its high nibble), e.g. "[2] 4:3 display".
const char* aspectRatioName(unsigned code);

// Milliseconds as "h:mm:ss.mmm", rounded to whole milliseconds (halves away from zero), with a
// leading "-" for negative values.
std::string FormatPts(double milliseconds);

}  // namespace navtab::vob
