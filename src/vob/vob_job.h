// The state of one pass over VOB sectors: the running sector number, the VOBUs found so far and
// what the per-sector analysis and the frame-type template carry from one sector to the next.
// A pass starts from a fresh job; the VOB processing runs add their options to it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/huge_page_memory.h"
#include "vob/audio_stream_slots.h"
#include "vob/extras_options.h"
#include "vob/nav_pack_layout.h"
#include "vob/picture_scan.h"
#include "vob/remux_state.h"
#include "vob/vobu_info.h"

namespace navtab::vob {

template <std::size_t N>
constexpr std::array<bool, N> allTrue() {
    std::array<bool, N> all{};
    all.fill(true);
    return all;
}

// A VOBU waiting for the packets of an audio stream to show where its audio starts: the VOBU, and
// the latest packet of the stream since its NAV pack that starts before the VOBU's time.
struct PendingAudioSync {
    std::size_t vobu = 0;
    std::optional<std::uint32_t> lastBefore;
};

// What the analysis carries between sectors.
struct VobuAnalysisState {
    PictureScan video;                  // start-code scan of the video payloads
    unsigned refCount = 0;              // reference-picture ends recorded in this VOBU (0..3)
    bool refOpen = false;               // a reference picture is being coded
    bool lastStartRecorded = false;     // the latest picture start recorded a reference end
    bool paddingRecorded = false;       // the latest reference end was taken from padding
    bool firstFieldSeen = false;        // the latest picture was the first field of a pair
    std::uint32_t prevVideoSector = 0;  // sector of the previous video packet
    // Per audio stream, the sector of its latest packet.
    std::array<std::uint32_t, nav::kAudioStreams> audioLastSector{};
    // Per audio stream, the VOBUs whose forward sync offset is not settled yet, oldest first.
    std::array<std::vector<PendingAudioSync>, nav::kAudioStreams> audioPending{};
};

// What the frame-type template carries between sectors.
struct TemplateState {
    PictureScan video;
    long long pictureNumber = 0;  // number of the next picture in stream order
    bool selectI = true, selectP = true, selectB = true;
    std::string lines;  // written lines not yet flushed to the file
};

// How far the relocation of the NAV pointers has come: the VOBUs before `relocated` are done, and
// the running times it carries from one VOBU to the next.
struct NavRelocationState {
    std::size_t relocated = 0;
    std::uint32_t previousEnd = 0;
    double cellFrames = 0;
};

struct VobJob {
    std::uint32_t sector = 0;            // S: the sector being handled, from 0 at the pass start
    VobuList vobus;                      // the VOBUs met, in stream order
    std::optional<std::size_t> current;  // index of the VOBU being read, none before the first
    AudioStreamSlots audioSlots;         // the a_synca slot of each audio id
    std::array<std::uint32_t, nav::kAudioStreams> audioPackets{};  // per a_synca slot
    std::array<std::uint32_t, nav::kSubpStreams> subpPackets{};
    // Whether the written stream can hold packets of each slot at all (a copy that strips every
    // stream of a slot cannot); a slot without packets so far that may fill keeps the NAV packs
    // that name it waiting.
    std::array<bool, nav::kAudioStreams> audioSlotMayFill = allTrue<nav::kAudioStreams>();
    std::array<bool, nav::kSubpStreams> subpSlotMayFill = allTrue<nav::kSubpStreams>();
    NavRelocationState relocation;
    VobuAnalysisState analysis;
    TemplateState templ;

    // The VOB processing runs: their options, the strip choices and the angles of the title set.
    ExtrasOptions options;
    StripChoices strip;
    AngleTable angles;
    bool droppingVobu = false;  // VOB id stripping: the VOBU being read is left out
    // A copy's map from each source sector to the sector it became, kNotCopied for one left out.
    static constexpr std::uint32_t kNotCopied = 0xFFFFFFFFu;
    std::vector<std::uint32_t, LargeBlockAllocator<std::uint32_t>> sourceToOutput;
    RemuxState remux;  // the re-mux of a new video stream, when the run does one

    VobuInfo* currentVobu() { return current ? &vobus[*current] : nullptr; }
};

}  // namespace navtab::vob
