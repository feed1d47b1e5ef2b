// The cells of a rewritten title set or menu, built from the VOBUs its VOB files now hold: each
// run of VOBUs with the same (VOB id, cell id) is one cell, with the sectors, playback time,
// category and first interleaved-unit end that its cell playback entry must state. The table
// rebuild writes the address tables and the PGCs' cells from this list.
#pragma once

#include <vector>

#include "core/ifo_classes_pgc.h"
#include "vob/vob_job.h"

namespace navtab::vob {

// Which tables a rebuild replaces: a title set's title tables (VTS_*), or the menu tables of the
// loaded file (VTSM_* of a title-set file, VMGM_* of the manager file).
enum class TableForm { Title, Menu };

// The cells in stream order; the working words vobId and cellId of each carry its ids.
using CellList = std::vector<CIfoCellPlayback>;

// Bits of the first category byte of a cell playback entry.
namespace cell_category {
inline constexpr std::uint8_t kBlockModeMask = 0xC0;
inline constexpr std::uint8_t kFirstInBlock = 0x40;
inline constexpr std::uint8_t kInBlock = 0x80;
inline constexpr std::uint8_t kLastInBlock = 0xC0;
inline constexpr std::uint8_t kAngleBlock = 0x10;  // block type 01
inline constexpr std::uint8_t kSeamless = 0x08;
inline constexpr std::uint8_t kInterleaved = 0x04;
inline constexpr std::uint8_t kStcDiscontinuity = 0x02;
inline constexpr std::uint8_t kSeamlessAngle = 0x01;
}  // namespace cell_category

// The cells of job.vobus. Angle block modes come from job.angles; with the option "Remove Angle
// pointers" no cell keeps an angle block, interleaving or first interleaved-unit end.
CellList BuildCells(const VobJob& job);

}  // namespace navtab::vob
