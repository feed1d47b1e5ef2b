// A new video manager and title set for VOB files that are to play as one title: VIDEO_TS.IFO and
// VTS_01_0.IFO, built as objects and laid out by the builders. The title set has no menus; its
// one title is one PGC that plays every cell in stream order, the cells that begin a program
// being its chapters. Every field a player reads is filled (see fillTitleSetMat and
// fillManagerMat in the source for what each holds and why).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/ifo_main.h"
#include "vob/cell_list.h"
#include "vob/collected_streams.h"

namespace navtab::vob {

// The streams of the new title set: the title's video attribute word, the attribute records of
// its audio and sub-picture streams, the control words its PGC gives them and the PGC's colour
// palette (16 words of 0, Y, Cr, Cb).
struct TitleSetStreams {
    std::uint16_t video = 0;
    std::vector<std::array<std::uint8_t, 8>> audio;
    std::vector<std::array<std::uint8_t, 6>> subp;
    std::array<std::uint16_t, 8> audioControl{};
    std::array<std::uint32_t, 32> subpControl{};
    std::array<std::uint32_t, 16> palette{};
};

// The streams "Create IFOs" collected, with a palette of plain colours (black, white, greys and
// the primaries): the VOB files carry none.
TitleSetStreams streamsFromCollection(const CollectedStreams& collected);

// The streams of an open title set: VTSI_MAT's title attributes and the control words and palette
// of its first title PGC.
TitleSetStreams streamsOfTitleSet(const ifo_t& vts);

struct NewTitleSet {
    TitleSetStreams streams;
    CellList cells;                  // in stream order; vobId and cellId set
    std::vector<bool> programStart;  // per cell: it begins a program (and a chapter)
    std::uint64_t titleSectors = 0;  // sectors of the title VOB files
};

struct NewIfoFiles {
    IfoHandle manager, titleSet;
    std::string error;  // why they could not be built, when they are null
};

// The time map of the PGC: one entry each time the frames played pass the next multiple of the
// 4-second time unit, at the VOBU where that happens; bit 31 on the last entry and on one whose
// cell differs from the next entry's.
std::vector<std::uint32_t> timeMapEntries(const VobuList& vobus);

NewIfoFiles BuildNewIfoFiles(const NewTitleSet& set, const VobuList& vobus);

// Each cell begins a program unless its category marks it interleaved (a later part of an
// angle block or an interleaved run cut into cells).
std::vector<bool> programPerCell(const CellList& cells);
// Programs where the open title set's PGCs begin them: at a cell whose VOB id and cell id are
// those of the first cell of a program there. The first cell always begins one.
std::vector<bool> programsOfTitleSet(const CellList& cells, const ifo_t& vts);

}  // namespace navtab::vob
