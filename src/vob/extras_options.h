// What the user chose for one VOB Extras or Menu Extras run: the options of the run's dialog and
// what the strip dialog kept. The run, the table rebuild and the navigation-pack correction all
// read their choices from here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/angle_table.h"

namespace navtab::vob {

// The check boxes of the run's dialog, with their first values (those of VOB Extras).
struct ExtrasOptions {
    bool remux = true;                // "Re-Mux"
    bool stripStreams = true;         // "Strip Stream's"
    bool correctNavPacks = true;      // "Correct Vob-Unit (Navigation Pack) pointers in VOB-files"
    bool correctTables = true;        // "Correct IFO tables with new VOB-Unit information"
    bool stripVobIds = false;         // "Strip VobID's"
    bool stripLanguageUnits = false;  // "Strip Language Unit's" (menus only)
    bool createNew = false;           // "Create new VIDEO_TS.IFO && VTS_01_0.IFO"
    // Navigation-pack options, used while correctNavPacks is on.
    bool removePuops = true;           // "Remove P-UOps"
    bool rebuildPts = false;           // "Rebuild PTS (needed for CCE/TMpegEnc etc)"
    bool removeAnglePointers = false;  // "Remove Angle pointers"
    bool adjustAnglePointers = false;  // "Adjust Angle pointers"
    bool adjustVobuPointers = true;    // "Adjust Vob-Unit pointers"
    bool adjustSyncPointers = true;    // "Adjust Audio/Subp point."
    bool removeAngles = false;         // "Remove Angles"
    int keepAngle = 1;                 // "Keep Angle:", 1-based

    std::string destination;  // "Destination directory:": a path whose name gives the file stem
    std::string videoSource;  // "*.m2v file for Re-Mux:"
    bool menu = false;        // set by Menu Extras

    bool stripping() const { return stripStreams || stripVobIds; }
};

// What the strip dialog kept.
struct StripChoices {
    static constexpr std::size_t kVobIds = 65536;
    // Indexed by the sub-stream id of private stream 1 (0x20.. sub-pictures, 0x80.. AC-3, 0x88..
    // DTS, 0xA0.. LPCM); true = keep.
    std::array<bool, 256> keepStreamId{};
    std::array<bool, 8> keepAudio{};
    std::array<std::uint8_t, 8> newAudio{};  // position among the kept audio streams
    std::array<bool, 32> keepSubp{};
    std::array<std::uint8_t, 32> newSubp{};
    // Indexed by VOB id; true = keep. newVobId: the id it is renumbered to, 0 = unchanged.
    std::vector<bool> keepVobId = std::vector<bool>(kVobIds, true);
    std::vector<std::uint16_t> newVobId = std::vector<std::uint16_t>(kVobIds, 0);
    // One flag per language unit of the menu PGCI unit table, in table order.
    std::vector<bool> keepLanguageUnit;
    bool correctIfo = true;  // "Correct IFO tables"

    bool vobIdKept(std::uint32_t id) const { return id < kVobIds && keepVobId[id]; }
    std::uint16_t renumbered(std::uint32_t id) const {
        return id < kVobIds ? newVobId[id] : std::uint16_t{0};
    }
};

}  // namespace navtab::vob
