#include "vob/nav_relocation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/bcd_frames.h"
#include "core/bytes.h"

namespace navtab::vob {
namespace {

// What the relocation of a VOBU may rely on. At the end of a pass everything is known. While the
// pass still runs, a pointer may reach beyond what has been written, or a stream may show its
// first packet later; then the VOBU is not relocated yet (`beyond` is set) and waits.
struct Reach {
    bool passEnded = true;
    bool beyond = false;
};

// The VOBUs that now stand for source sectors. Targets are searched from a VOBU outwards; the
// search for a farther target goes on from where the nearer one was found, which finds the same
// VOBU as a search from the start (the first VOBU at or beyond a target lies no nearer than the
// first one at or beyond a nearer target).
class LbnSearch {
  public:
    LbnSearch(const VobuList& list, Reach& reach) : list_(list), reach_(reach) {}

    // The first VOBU after `from` (or from `from` itself with `inclusive`) whose lbn is at least
    // `target`; the last VOBU when there is none. `cursor` carries the search on.
    std::size_t forward(std::size_t from, std::uint64_t target, bool inclusive,
                        std::size_t& cursor) const {
        const std::size_t first = inclusive ? from : from + 1;
        std::size_t i = cursor < first ? first : cursor;
        while (i < list_.size() && list_[i].lbn < target) ++i;
        cursor = i;
        if (i < list_.size()) return i;
        if (!reach_.passEnded) reach_.beyond = true;  // the target may still be written
        return list_.size() - 1;
    }
    // The first VOBU before `from` (or `from` itself with `inclusive`), going backwards, whose
    // lbn is at most `target` (negative: none is); the first VOBU when there is none.
    std::size_t backward(std::size_t from, std::int64_t target, bool inclusive,
                         std::size_t& cursor) const {
        // cursor counts VOBUs still to look at: index + 1, so that 0 means "none left".
        const std::size_t first = inclusive ? from + 1 : from;
        std::size_t i = cursor > first ? first : cursor;
        while (i > 0 && static_cast<std::int64_t>(list_[i - 1].lbn) > target) --i;
        cursor = i;
        return i > 0 ? i - 1 : 0;
    }

  private:
    const VobuList& list_;
    Reach& reach_;
};

constexpr std::size_t kNoCursor = static_cast<std::size_t>(-1);
// More frames than a VOBU or a cell can show: 2^32 - 1, the most a frame count field holds.
constexpr double kMaxFrames = 4294967295.0;

std::uint32_t distanceTo(const VobuInfo& from, const VobuInfo& to) {
    return to.sector - from.sector;
}

// The relocation of list[i] is worked out in `r`, a copy of it, so that a VOBU that cannot be
// relocated yet is left as it was.
struct Relocation {
    const VobJob& job;
    const VobuList& list;
    std::size_t i;
    VobuInfo r;
    Reach reach;
    LbnSearch search{list, reach};

    Relocation(const VobJob& j, std::size_t index, bool passEnded)
        : job(j), list(j.vobus), i(index), r(j.vobus[index]), reach{passEnded} {}
};

void relocateTimes(VobuInfo& r, const VobuInfo* previous, std::uint32_t& previousEnd,
                   double& cellFrames) {
    const bool newVob = previous == nullptr || previous->vobId != r.vobId;
    const std::uint32_t start = newVob ? r.sPtm : previousEnd;
    // A damaged stream can leave a VOBU with a negative or absurd frame count; the times then
    // wrap like the 32-bit fields they are written to, never through an undefined conversion.
    const double frames = std::clamp(r.frames, 0.0, kMaxFrames);
    // Whole-number rates: a frame lasts 3600 ticks at 25 and 3000 at 30.
    r.sPtm = start;
    r.ePtm = start + static_cast<std::uint32_t>(
                         static_cast<std::uint64_t>(frames * 90000.0 / r.rate) & 0xFFFFFFFFu);
    previousEnd = r.ePtm;
    if (previous == nullptr || previous->vobId != r.vobId || previous->cellId != r.cellId)
        cellFrames = 0;
    r.eltm = framesToBcdTime(static_cast<std::uint32_t>(cellFrames), r.rate);
    cellFrames = std::min(std::floor(cellFrames + frames), kMaxFrames);
}

void relocateSearchPointers(Relocation& x) {
    const VobuList& list = x.list;
    const std::size_t i = x.i;
    VobuInfo& r = x.r;
    if (i + 1 >= list.size() && !x.reach.passEnded) x.reach.beyond = true;
    const VobuInfo& next = list[i + 1 < list.size() ? i + 1 : i];
    const VobuInfo& prev = list[i > 0 ? i - 1 : 0];
    for (SearchPointer* p : {&r.nextVideo, &r.nextVobu})
        if (p->special == SearchPointer::kOrdinary) p->special = distanceTo(r, next) | p->flags;
    std::size_t cursor = 0;
    std::uint64_t lastTarget = 0;
    for (SearchPointer& p : r.forward) {
        if (p.special != SearchPointer::kOrdinary) continue;
        const std::uint64_t target = std::uint64_t{r.lbn} + p.distance;
        if (target < lastTarget) cursor = 0;
        lastTarget = target;
        const std::size_t found = x.search.forward(i, target, false, cursor);
        p.special = distanceTo(r, list[found]) | p.flags;
    }
    for (SearchPointer* p : {&r.prevVobu, &r.prevVideo})
        if (p->special == SearchPointer::kOrdinary) p->special = distanceTo(prev, r) | p->flags;
    cursor = kNoCursor;
    std::int64_t lastBack = INT64_MAX;
    for (SearchPointer& p : r.backward) {
        if (p.special != SearchPointer::kOrdinary) continue;
        const std::int64_t target = std::int64_t{r.lbn} - p.distance;
        if (target > lastBack) cursor = kNoCursor;
        lastBack = target;
        const std::size_t found = x.search.backward(i, target, false, cursor);
        p.special = distanceTo(list[found], r) | p.flags;
    }
}

// The word of sub-picture stream n when the stream has packets in the written stream.
std::uint32_t subpSyncWord(Relocation& x, const SyncOffset& e) {
    const VobuInfo& r = x.r;
    if (e.special == SyncOffset::kForward) {
        std::size_t cursor = 0;
        const std::size_t f =
            x.search.forward(x.i, std::uint64_t{r.lbn} + e.distance, true, cursor);
        return distanceTo(r, x.list[f]);
    }
    if (e.special == SyncOffset::kBackward) {
        std::size_t cursor = kNoCursor;
        const std::size_t f =
            x.search.backward(x.i, std::int64_t{r.lbn} - e.distance, true, cursor);
        return distanceTo(x.list[f], r) | nav::kSubpSyncBackward;
    }
    return e.special;
}

// A stream without packets gets 0. While the pass runs, a stream that has shown no packet yet
// may still show one; the VOBU then waits unless the word would be 0 either way.
void relocateSubpSync(Relocation& x) {
    for (std::size_t n = 0; n < x.r.subpSync.size(); ++n) {
        SyncOffset& e = x.r.subpSync[n];
        const bool none = x.job.subpPackets[n] == 0;
        if (none && (x.reach.passEnded || !x.job.subpSlotMayFill[n])) {
            e.special = 0;
            continue;
        }
        const std::uint32_t word = subpSyncWord(x, e);
        if (none && word != 0) x.reach.beyond = true;
        e.special = none ? 0 : word;
    }
}

// An angle destination: bit 31 set points backwards by the rest of the word, else forwards.
std::size_t relocateAngleTarget(Relocation& x, std::uint32_t& word) {
    const VobuInfo& r = x.r;
    std::size_t cursor = kNoCursor;
    if (word & 0x80000000u) {
        const std::size_t f =
            x.search.backward(x.i, std::int64_t{r.lbn} - (word & 0x7FFFFFFFu), false, cursor);
        word = distanceTo(x.list[f], r) | 0x80000000u;
        return f;
    }
    cursor = 0;
    const std::size_t f = x.search.forward(x.i, std::uint64_t{r.lbn} + word, false, cursor);
    word = distanceTo(r, x.list[f]);
    return f;
}

// The size of a unit from F1 to the VOBU at or beyond `end`, searched on from F1: the difference
// of the low 16 bits of their sectors.
std::uint32_t unitSize(Relocation& x, std::size_t f1, std::uint64_t end) {
    std::size_t cursor = 0;
    const std::size_t f2 = x.search.forward(f1, end, false, cursor);
    return static_cast<std::uint16_t>((x.list[f2].sector & 0xFFFFu) -
                                      (x.list[f1].sector & 0xFFFFu));
}

void relocateAngles(Relocation& x) {
    VobuInfo& r = x.r;
    if (r.ilvuEnd != 0) {
        std::size_t cursor = 0;
        const std::size_t f =
            x.search.forward(x.i, std::uint64_t{r.lbn} + r.ilvuEnd + 1, false, cursor);
        r.ilvuEnd = distanceTo(r, x.list[f]) - 1;
    }
    if (r.ilvuStart != 0 && r.ilvuStart != 0xFFFFFFFFu) {
        const std::uint64_t target = std::uint64_t{r.lbn} + r.ilvuStart;
        std::size_t cursor = 0;
        const std::size_t f1 = x.search.forward(x.i, target, false, cursor);
        r.ilvuStart = distanceTo(r, x.list[f1]);
        r.ilvuSize = unitSize(x, f1, target + r.ilvuSize);
    }
    for (std::uint32_t& a : r.nsmlAngle)
        if (a != 0 && a != 0x7FFFFFFFu) relocateAngleTarget(x, a);
    for (std::size_t k = 0; k < r.smlAngleAddress.size(); ++k) {
        std::uint32_t& a = r.smlAngleAddress[k];
        if (a == 0 || a == 0x7FFFFFFFu) continue;
        const std::uint64_t target =
            (a & 0x80000000u) ? std::uint64_t{r.lbn} - (a & 0x7FFFFFFFu) : std::uint64_t{r.lbn} + a;
        const std::size_t f1 = relocateAngleTarget(x, a);
        r.smlAngleSize[k] = static_cast<std::uint16_t>(unitSize(x, f1, target + r.smlAngleSize[k]));
    }
}

// True while the analysis may still settle an audio sync offset of the VOBU: it reads the VOBU's
// source times and writes its offsets until then, so the VOBU is not relocated before.
bool awaitsAudio(const VobJob& job, std::size_t vobu) {
    for (std::size_t n = 0; n < nav::kAudioStreams; ++n) {
        if (!job.audioSlotMayFill[n]) continue;
        for (const PendingAudioSync& w : job.analysis.audioPending[n])
            if (w.vobu == vobu) return true;
    }
    return false;
}

// The word of audio stream n when the stream has packets in the written stream: the audio sync
// offsets of a copy keep naming the packet the source named, wherever it now lies; the authoring
// tool chose that packet, and a copy that only leaves other sectors out has no reason to choose
// another. Where the source named no packet, or one that was not copied, the offset the analysis
// settled from the copied stream is taken, else 0.
std::uint32_t audioSyncWord(Relocation& x, std::size_t n) {
    const VobuInfo& r = x.r;
    const auto& map = x.job.sourceToOutput;
    const SyncOffset was = decodeAudioSync(r.sourceAudioSync[n]);
    if (was.unsettled()) {
        const std::int64_t target = was.special == SyncOffset::kBackward
                                        ? std::int64_t{r.sourceSector} - was.distance
                                        : std::int64_t{r.sourceSector} + was.distance;
        if (target >= 0 && static_cast<std::uint64_t>(target) >= map.size() && !x.reach.passEnded)
            x.reach.beyond = true;  // the packet named has not been read yet
        if (target >= 0 && static_cast<std::uint64_t>(target) < map.size() &&
            map[static_cast<std::size_t>(target)] != VobJob::kNotCopied) {
            const std::uint32_t now = map[static_cast<std::size_t>(target)];
            return now >= r.sector
                       ? (now - r.sector) & nav::kAudioSyncDistanceMask
                       : ((r.sector - now) & nav::kAudioSyncDistanceMask) | nav::kAudioSyncBackward;
        }
    }
    const SyncOffset& e = r.audioSync[n];
    return e.unsettled() ? 0 : e.special;
}

void relocateAudioSync(Relocation& x) {
    for (std::size_t n = 0; n < x.r.audioSync.size(); ++n) {
        const bool none = x.job.audioPackets[n] == 0;
        if (none && (x.reach.passEnded || !x.job.audioSlotMayFill[n])) {
            x.r.audioSync[n].special = 0;
            continue;
        }
        const std::uint32_t word = audioSyncWord(x, n);
        if (none && word != 0) x.reach.beyond = true;
        x.r.audioSync[n].special = none ? 0 : word;
    }
}

// Relocates the next VOBU of the list when it can be; false when it has to wait.
bool relocateNext(VobJob& job, bool passEnded) {
    NavRelocationState& state = job.relocation;
    const std::size_t i = state.relocated;
    if (!passEnded && awaitsAudio(job, i)) return false;
    Relocation x(job, i, passEnded);
    std::uint32_t previousEnd = state.previousEnd;
    double cellFrames = state.cellFrames;
    relocateTimes(x.r, i > 0 ? &job.vobus[i - 1] : nullptr, previousEnd, cellFrames);
    relocateAudioSync(x);
    relocateSearchPointers(x);
    relocateSubpSync(x);
    if (job.options.adjustAnglePointers && x.r.ilvuCategory != 0) relocateAngles(x);
    if (x.reach.beyond) return false;
    job.vobus[i] = x.r;
    state.previousEnd = previousEnd;
    state.cellFrames = cellFrames;
    ++state.relocated;
    return true;
}

}  // namespace

void RelocateNavPointers(VobJob& job) {
    while (job.relocation.relocated < job.vobus.size()) relocateNext(job, true);
}

std::size_t RelocateWrittenNavPointers(VobJob& job) {
    const std::size_t before = job.relocation.relocated;
    // The VOBU being read may still grow; the ones before it are complete.
    while (job.relocation.relocated + 1 < job.vobus.size() && relocateNext(job, false)) {
    }
    return job.relocation.relocated - before;
}

void WriteNavPack(const VobJob& job, std::span<std::uint8_t> sector, const VobuInfo& r) {
    if (sector.size() < kSectorSize) return;
    std::uint8_t* s = sector.data();
    const ExtrasOptions& o = job.options;
    put32(s + nav::kPciLbn, r.sector);
    if (o.removePuops) put32(s + nav::kPciUopCtl, 0);
    if (o.removeAnglePointers) {
        put16(s + nav::kIlvuCategory, 0);
        put32(s + nav::kIlvuEa, 0);
        put32(s + nav::kIlvuSa, 0);
        put16(s + nav::kIlvuSize, 0);
        std::fill_n(s + nav::kNsmlAngle, 4 * nav::kAngleCount, 0);
        std::fill_n(s + nav::kSmlAngle, nav::kSmlAngleEntrySize * nav::kAngleCount, 0);
    }
    if (o.rebuildPts) {
        put32(s + nav::kVobuSPtm, r.sPtm);
        put32(s + nav::kVobuEPtm, r.ePtm);
        put32(s + nav::kPciEEltm, r.eltm);
        put32(s + nav::kDsiCEltm, r.eltm);
    }
    put32(s + nav::kDsiLbn, r.sector);
    put32(s + nav::kVobuEa, r.lastOffset);
    for (std::size_t k = 0; k < r.refEnd.size(); ++k) put32(s + nav::kRef1Ea + 4 * k, r.refEnd[k]);
    if (o.adjustVobuPointers) {
        put32(s + nav::kNextVideo, r.nextVideo.special);
        put32(s + nav::kNextVobu, r.nextVobu.special);
        put32(s + nav::kPrevVobu, r.prevVobu.special);
        put32(s + nav::kPrevVideo, r.prevVideo.special);
        for (std::size_t k = 0; k < nav::kStepCount; ++k) {
            put32(s + nav::kForward + 4 * k, r.forward[nav::kStepCount - 1 - k].special);
            put32(s + nav::kBackward + 4 * k, r.backward[k].special);
        }
    }
    if (o.adjustSyncPointers) {
        for (std::size_t n = 0; n < nav::kAudioStreams; ++n)
            put16(s + nav::kAudioSync + 2 * n, static_cast<std::uint16_t>(r.audioSync[n].special));
        for (std::size_t n = 0; n < nav::kSubpStreams; ++n)
            put32(s + nav::kSubpSync + 4 * n, r.subpSync[n].special);
    }
    if (o.adjustAnglePointers) {
        put16(s + nav::kIlvuCategory, static_cast<std::uint16_t>(r.ilvuCategory));
        put32(s + nav::kIlvuEa, r.ilvuEnd);
        put32(s + nav::kIlvuSa, r.ilvuStart);
        put16(s + nav::kIlvuSize, static_cast<std::uint16_t>(r.ilvuSize));
        for (std::size_t k = 0; k < nav::kAngleCount; ++k) {
            put32(s + nav::kNsmlAngle + 4 * k, r.nsmlAngle[k]);
            put32(s + nav::kSmlAngle + nav::kSmlAngleEntrySize * k, r.smlAngleAddress[k]);
            put16(s + nav::kSmlAngle + nav::kSmlAngleEntrySize * k + 4, r.smlAngleSize[k]);
        }
    }
}

}  // namespace navtab::vob
