#include "vob/cell_list.h"

#include <algorithm>
#include <limits>

#include "core/bcd_frames.h"

namespace navtab::vob {
namespace {

using namespace cell_category;

constexpr std::uint64_t kPtsTicksPerSecond = 90000;

// The cell's playback time as its last VOBU gives it: the elapsed time at the VOBU's start plus
// the VOBU's own presentation span. A VOBU whose end time lies before its start (a damaged NAV
// pack, or time stamps that wrapped) adds nothing rather than the wrapped difference, which
// would make the cell last for hours.
std::uint32_t cellPlaybackTime(const VobuInfo& last) {
    const std::uint64_t span = last.ePtm > last.sPtm ? last.ePtm - last.sPtm : 0;
    const std::uint64_t frames = span * last.rate / kPtsTicksPerSecond + last.eltmFrames;
    return framesToBcdTime(static_cast<std::uint32_t>(std::min<std::uint64_t>(
                               frames, std::numeric_limits<std::uint32_t>::max())),
                           last.rate);
}

bool carriesSeamlessAngles(const VobuInfo& v) {
    return std::any_of(v.smlAngleAddress.begin(), v.smlAngleAddress.end(),
                       [](std::uint32_t a) { return a != 0; }) ||
           std::any_of(v.smlAngleSize.begin(), v.smlAngleSize.end(),
                       [](std::uint16_t s) { return s != 0; });
}

// The angle (0-based) whose VOB ids hold `vobId`, or none.
std::optional<int> angleOf(const AngleTable& angles, std::uint32_t vobId) {
    for (int a = 0; a < AngleTable::kMaxListedAngle; ++a) {
        const auto& ids = angles.vobIds[static_cast<std::size_t>(a)];
        if (std::find(ids.begin(), ids.end(), vobId) != ids.end()) return a;
    }
    return std::nullopt;
}

// The category and block mode of a cell whose first VOBU is `first`; `previous` is the cell
// before it (null for the first), whose block mode may change.
std::uint8_t cellCategory(const VobuInfo& first, const AngleTable& angles,
                          CIfoCellPlayback* previous) {
    std::uint8_t category = 0;
    if (previous != nullptr) category |= kSeamless;
    if (first.vobId != (previous != nullptr ? previous->vobId : 0)) category |= kStcDiscontinuity;
    if ((first.ilvuCategory & nav::kIlvuFlag) == 0) return category;
    category |= kInterleaved;
    if (!carriesSeamlessAngles(first)) return category;
    category |= kAngleBlock | kInterleaved | kSeamlessAngle;
    if (const auto a = angleOf(angles, first.vobId)) {
        if (*a == 0)
            category |= kFirstInBlock;
        else if (*a + 1 >= angles.highestAngle)
            category |= kLastInBlock;
        else
            category |= kInBlock;
    } else if (previous != nullptr && (previous->category[0] & kInterleaved) != 0 &&
               previous->vobId < first.vobId) {
        // Without the angle table, an interleaved cell following one of a lower VOB id closes
        // the block, and the cell before it moves inside.
        category |= kLastInBlock | kAngleBlock | kInterleaved | kSeamlessAngle;
        std::uint8_t& before = previous->category[0];
        if ((before & kBlockModeMask) == kLastInBlock)
            before = static_cast<std::uint8_t>((before & ~kBlockModeMask) | kInBlock);
    } else {
        category |= kFirstInBlock;
    }
    return category;
}

}  // namespace

CellList BuildCells(const VobJob& job) {
    CellList cells;
    const VobuList& vobus = job.vobus;
    const VobuInfo* last = nullptr;  // the last VOBU of the cell being built
    for (const VobuInfo& v : vobus) {
        if (last == nullptr || v.vobId != last->vobId || v.cellId != last->cellId) {
            if (!cells.empty()) {
                cells.back().lastSector = v.sector - 1;
                cells.back().playbackTime = cellPlaybackTime(*last);
            }
            CIfoCellPlayback* previous = cells.empty() ? nullptr : &cells.back();
            CIfoCellPlayback cell;
            cell.vobId = v.vobId;
            cell.cellId = v.cellId;
            cell.firstSector = v.sector;
            cell.category[0] = cellCategory(v, job.angles, previous);
            if (v.ilvuEnd != 0) cell.firstIlvuEndSector = v.ilvuEnd + v.sector;
            if (job.options.removeAnglePointers) {
                cell.firstIlvuEndSector = 0;
                cell.category[0] &= kSeamless | kStcDiscontinuity;
            }
            cells.push_back(cell);
        }
        cells.back().lastVobuStartSector = v.sector;
        last = &v;
    }
    if (last != nullptr) {
        cells.back().lastSector = last->sector + last->lastOffset;
        cells.back().playbackTime = cellPlaybackTime(*last);
    }
    return cells;
}

}  // namespace navtab::vob
