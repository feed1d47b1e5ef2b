// What Navtab knows of one video object unit (VOBU): the fields of its navigation pack, decoded,
// and the facts only the stream itself gives (its length, the frames it shows, where its first
// reference pictures end). The list of these records in stream order is what the table rebuild
// and the navigation-pack correction work from.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "core/stable_block_list.h"
#include "vob/nav_pack_layout.h"

namespace navtab::vob {

using SectorBytes = std::span<const std::uint8_t>;

// One decoded search-pointer word of the DSI.
struct SearchPointer {
    static constexpr std::uint32_t kOrdinary = 0xFFFFFFFFu;
    std::uint32_t special = kOrdinary;  // the special word itself, or kOrdinary
    std::uint32_t flags = 0;            // the word's top two bits, in place
    std::uint32_t distance = 0;         // sectors from this NAV pack, or 0xFFFFFFFF when special
};

// One decoded audio or sub-picture sync word. While an analysis runs, `special` of an audio
// entry is also where the new offset is settled: afterwards it holds a special value or the word
// to be written.
struct SyncOffset {
    static constexpr std::uint32_t kForward = 0xFFFFFFFFu;   // ordinary, not settled yet
    static constexpr std::uint32_t kBackward = 0xFFFFFFFEu;  // ordinary backward, not settled
    std::uint32_t special = kForward;
    std::uint32_t distance = 0;  // or 0xFFFFFFFF when special

    bool unsettled() const { return special == kForward || special == kBackward; }
};

struct VobuInfo {
    std::uint32_t sector = 0;      // the NAV pack, in the numbering of the pass that read it
    std::uint32_t lbn = 0;         // PCI nv_pck_lbn as read: where the VOBU stood in its source
    std::uint32_t lastOffset = 0;  // sectors of the VOBU minus one
    std::uint32_t vobId = 0;
    std::uint32_t cellId = 0;
    std::uint32_t eltm = 0;  // PCI e_eltm word
    std::uint32_t sPtm = 0;
    std::uint32_t ePtm = 0;
    std::uint32_t eltmSeconds = 0;
    std::uint32_t eltmFrames = 0;
    std::uint32_t rate = 30;                // 25 or 30
    std::array<std::uint32_t, 3> refEnd{};  // relative last sector of reference pictures 1..3
    std::array<SearchPointer, nav::kStepCount> forward{};  // nearest first
    SearchPointer nextVideo, nextVobu;
    std::array<SearchPointer, nav::kStepCount> backward{};  // nearest first
    SearchPointer prevVobu, prevVideo;
    std::array<SyncOffset, nav::kAudioStreams> audioSync{};
    std::array<SyncOffset, nav::kSubpStreams> subpSync{};
    std::uint32_t ilvuCategory = 0;
    std::uint32_t ilvuEnd = 0;
    std::uint32_t ilvuStart = 0;
    std::uint32_t ilvuSize = 0;
    std::array<std::uint32_t, nav::kAngleCount> nsmlAngle{};
    std::array<std::uint32_t, nav::kAngleCount> smlAngleAddress{};
    std::array<std::uint16_t, nav::kAngleCount> smlAngleSize{};
    double frames = 0;  // frames shown, as counted by the analysis
    // Where a copy found the VOBU: the sector of its NAV pack in the source files, and the audio
    // sync words as the source had them (the analysis settles `audioSync` anew).
    std::uint32_t sourceSector = 0;
    std::array<std::uint16_t, nav::kAudioStreams> sourceAudioSync{};
    bool navWritten = false;  // the copy wrote its NAV pack corrected
};

// The VOBUs of a pass in stream order; the list owns its records. The records are large and a
// title set has tens of thousands of them, so they are never moved once appended.
using VobuList = StableBlockList<VobuInfo>;

// The elapsed-time word of a NAV pack (hours, minutes, seconds, frames in BCD; the top two bits
// of the frames byte give the rate, 01 = 25 fps, anything else 30).
struct ElapsedTime {
    std::uint32_t seconds = 0;
    std::uint32_t frames = 0;  // all of it as a frame count
    std::uint32_t rate = 30;
};
ElapsedTime decodeElapsedTime(std::uint32_t word);

SearchPointer decodeSearchPointer(std::uint32_t word, bool stepPointer);
SyncOffset decodeAudioSync(std::uint16_t word);
SyncOffset decodeSubpSync(std::uint32_t word);

// True when the sector is a NAV pack: the pack header is followed directly by a system header.
bool isNavPack(SectorBytes sector);

// Decodes every field of a NAV pack that the tools use; `sector`, `lastOffset`, `refEnd` and
// `frames` stay 0. Bytes missing from a short sector read as zeros.
VobuInfo ParseNavPackFull(SectorBytes sector);

}  // namespace navtab::vob
