// What the re-mux carries from one sector to the next: whether a chunk of the new video stream is
// waiting for video packs, the frames it still owes the VOB unit being written, the time base of
// the current VOB, and the pack headers that added video packs borrow.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "vob/nav_pack_layout.h"

namespace navtab::vob {

class M2vReader;

// How the re-mux tells how many chunks fill a VOB unit: by the frames counted in each chunk, or,
// for streams whose GOP time codes count displayed frames differently (pulldown), by the time
// codes. Decided at the first chunk boundary.
enum class RemuxCounting { Undecided, Frames, GopTimeCodes };

struct RemuxTimeBase {
    std::uint64_t pts = 0;  // the first video time stamps of the VOB in the source, 33-bit
    std::uint64_t dts = 0;
};

struct RemuxState {
    M2vReader* reader = nullptr;  // the run's reader; none when the run does not re-mux
    bool pending = false;         // a chunk waits for video packs
    int carry = 0;                // frames of a chunk read that did not fit the last VOB unit
    RemuxCounting mode = RemuxCounting::Undecided;
    int vobuFrames = 0;     // what the source's VOB unit shows
    int framesWritten = 0;  // what this VOB unit got so far
    std::optional<std::uint16_t> vobId;
    std::optional<RemuxTimeBase> base;
    bool vobuStampsTaken = false;
    bool firstPack = false;  // the next chunk begins a VOB: its first pack gets the P-STD size
    // Pack headers of the last source video pack that began with a sequence header and of the
    // last that did not; a video pack added before a NAV pack takes one of them (the latter
    // when there is one), the rest of the pack is new.
    std::array<std::uint8_t, kPackHeaderSize> heldSequence{}, heldOther{};
    bool haveHeldSequence = false, haveHeldOther = false;
    std::array<std::uint8_t, kPackHeaderSize> lastNavHeader{};
    // What the run did, for its report.
    double framesOut = 0;  // frames of the chunks written
    std::uint64_t packsAdded = 0;
    std::uint64_t packsDropped = 0;
};

}  // namespace navtab::vob
