#include "vob/vob_id_renumber.h"

#include <algorithm>

#include "core/ifo_classes_pgci.h"
#include "core/ifo_classes_ptt.h"
#include "vob/pgc_cell_rewrite.h"

namespace navtab::vob {
namespace {

// The title number bits of a PGC search pointer's entry byte; the top bit flags an entry PGC.
constexpr std::uint8_t kTitleNumberMask = 0x7F;

// Keeps a cell of a kept VOB id, with its whole playback entry and its new id.
CellChoice renumbering(ByteSpan table, const StripChoices& strip) {
    return [table, &strip](const PgcCellEntry& e) -> std::optional<CIfoCellPlayback> {
        if (!strip.vobIdKept(e.vobId)) return std::nullopt;
        CIfoCellPlayback cell(table, e.playbackEntry);
        const std::uint16_t renumbered = strip.renumbered(e.vobId);
        cell.vobId = renumbered != 0 ? renumbered : e.vobId;
        cell.cellId = e.cellId;
        return cell;
    };
}

// Removes the chapters of PGC `pgcNumber` that name a lost program and lowers the program
// numbers of its other chapters past the lost ones.
void dropLostPrograms(CIfoPttSrpt& ptt, unsigned pgcNumber, const std::vector<unsigned>& lost) {
    if (lost.empty()) return;
    for (const auto& title : ptt.titles) {
        auto& ptts = title->ptts;
        std::erase_if(ptts, [&](const auto& p) {
            return p->pgcNumber == pgcNumber &&
                   std::binary_search(lost.begin(), lost.end(), p->programNumber);
        });
        for (const auto& p : ptts) {
            if (p->pgcNumber != pgcNumber) continue;
            const auto below = std::lower_bound(lost.begin(), lost.end(), p->programNumber);
            p->programNumber =
                static_cast<std::uint16_t>(p->programNumber - (below - lost.begin()));
        }
    }
}

// Removes the titles left without chapters. A title's number is its place in the table, so the
// titles after a removed one move down: the title numbers of the PGC search pointers follow, and
// the PGCs of a removed title are no title's entry any more.
void dropEmptyTitles(CIfoPttSrpt& ptt, CIfoPgcit& pgcit) {
    std::vector<unsigned> removed;  // 1-based, ascending
    for (std::size_t t = 0; t < ptt.titles.size(); ++t)
        if (ptt.titles[t]->ptts.empty()) removed.push_back(static_cast<unsigned>(t + 1));
    if (removed.empty()) return;
    std::erase_if(ptt.titles, [](const auto& title) { return title->ptts.empty(); });
    for (const auto& srp : pgcit.srps) {
        const unsigned title = srp->entry & kTitleNumberMask;
        if (std::binary_search(removed.begin(), removed.end(), title)) {
            srp->entry = 0;
            continue;
        }
        const auto below = std::lower_bound(removed.begin(), removed.end(), title);
        srp->entry = static_cast<std::uint8_t>(srp->entry - (below - removed.begin()));
    }
}

}  // namespace

std::string RenumberPgcVobIds(ifo_t& ifo, const StripChoices& strip) {
    if (ifoKind(&ifo) != IfoKind::Vts || !ifo.has(ID_VTS_PGCITI)) return {};
    const auto& oldPgcit = ifo.table[ID_VTS_PGCITI];
    const ByteReader in(oldPgcit);
    CIfoPgcit pgcit(oldPgcit);
    const bool hasPtt = ifo.has(ID_PTT_SRPTI);
    CIfoPttSrpt ptt(ifo.table[ID_PTT_SRPTI]);
    for (std::size_t p = 0; p < pgcit.srps.size(); ++p) {
        const auto& srp = pgcit.srps[p];
        const std::vector<unsigned> lost = RebuildCellsOf(
            *srp->pgc, pgcCellEntriesAt(in, srp->pgcStart), renumbering(oldPgcit, strip));
        dropLostPrograms(ptt, static_cast<unsigned>(p + 1), lost);
    }
    if (hasPtt) dropEmptyTitles(ptt, pgcit);

    Serialised newPgcit = pgcit.serialise();
    if (!newPgcit.ok()) return newPgcit.error;
    Serialised newPtt;
    if (hasPtt) {
        newPtt = ptt.serialise();
        if (!newPtt.ok()) return newPtt.error;
        ifo.table[ID_PTT_SRPTI] = std::move(newPtt.bytes);
    }
    ifo.table[ID_VTS_PGCITI] = std::move(newPgcit.bytes);
    return {};
}

std::string RenumberMenuVobIds(ifo_t& ifo, const StripChoices& strip, bool stripLanguageUnits) {
    int slot = -1;
    if (ifoKind(&ifo) == IfoKind::Vts) slot = ID_VTSM_PGCI_UT;
    if (ifoKind(&ifo) == IfoKind::Vmg) slot = ID_VMGM_PGCI_UT;
    if (slot < 0 || !ifo.has(slot)) return {};
    const auto& old = ifo.table[static_cast<std::size_t>(slot)];
    const ByteReader in(old);
    CIfoPgciUt ut(old);
    if (stripLanguageUnits) {
        std::size_t i = 0;
        std::erase_if(ut.units, [&](const auto&) {
            const std::size_t unit = i++;
            return unit < strip.keepLanguageUnit.size() && !strip.keepLanguageUnit[unit];
        });
    }
    for (const auto& unit : ut.units)
        for (const auto& srp : unit->srps)
            RebuildCellsOf(*srp->pgc,
                           pgcCellEntriesAt(in, std::size_t{unit->unitStart} + srp->pgcStart),
                           renumbering(old, strip));
    Serialised table = ut.serialise();
    if (!table.ok()) return table.error;
    ifo.table[static_cast<std::size_t>(slot)] = std::move(table.bytes);
    return {};
}

}  // namespace navtab::vob
