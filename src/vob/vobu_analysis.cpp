#include "vob/vobu_analysis.h"

#include "core/bytes.h"
#include "vob/pes_packet.h"

namespace navtab::vob {
namespace {

// An AC-3 frame (1536 samples at 48 kHz) lasts 2880 ticks of the 90 kHz clock; the audio sync
// rules take it as the length of an audio frame.
constexpr std::uint64_t kAudioFrameTicks = 2880;
constexpr unsigned kMaxRefEnds = 3;
constexpr std::size_t kMaxPendingVobus = 64;

// Ends the VOBU being read one sector before `sector` and starts the one whose NAV pack it is.
VobuInfo& openVobu(VobJob& job, SectorBytes sector) {
    if (VobuInfo* r = job.currentVobu()) r->lastOffset = job.sector - r->sector - 1;
    VobuInfo& v = job.vobus.emplace_back(ParseNavPackFull(sector));
    v.sector = job.sector;
    job.current = job.vobus.size() - 1;
    return v;
}

// Counts the pictures of the VOBU and notes where its reference pictures end. A reference (I or
// P) picture ends where the next picture that is not part of it starts: the next P picture after
// it, or the first B picture (which is coded right behind the references it depends on).
class PictureCounter {
  public:
    PictureCounter(VobJob& job, VobuInfo& vobu) : a_(job.analysis), r_(vobu), s_(job.sector) {}

    void picture(unsigned type, bool inEarlierPacket) {
        r_.frames += 1.0;
        a_.lastStartRecorded = false;
        const std::uint32_t end = inEarlierPacket ? a_.prevVideoSector : s_;
        switch (type) {
            case kIPicture:
                a_.refOpen = true;
                break;
            case kPPicture:
                if (a_.refOpen) record(end, true);
                a_.refOpen = true;
                break;
            case kBPicture:
                if (a_.refOpen) {
                    a_.refOpen = false;
                    record(end, true);
                }
                break;
            default:
                break;
        }
    }

    void pictureCoding(const PictureCoding& c) {
        const bool progressive = a_.video.progressive();
        // repeat_first_field: an interlaced frame shows a third field (half a frame); a
        // progressive sequence shows the frame twice, or three times with top_field_first.
        if (c.repeatFirstField) r_.frames += progressive ? (c.topFieldFirst ? 2.0 : 1.0) : 0.5;
        if (c.structure != kTopField && c.structure != kBottomField) {
            a_.firstFieldSeen = false;
            return;
        }
        if (!a_.firstFieldSeen) {
            a_.firstFieldSeen = true;
            return;
        }
        // The second field of a field pair: the two pictures make one frame, and the start of
        // the second field did not end a reference picture, whichever field came first.
        a_.firstFieldSeen = false;
        r_.frames -= 1.0;
        if (a_.refCount > 0 && a_.lastStartRecorded) {
            --a_.refCount;
            r_.refEnd[a_.refCount] = 0;
            a_.lastStartRecorded = false;
        }
    }

    // A reference that ended before this VOBU began (its next picture is the first of the VOBU)
    // is no reference end of this VOBU.
    // True when the end was recorded.
    bool record(std::uint32_t endSector, bool byPictureStart) {
        if (a_.refCount >= kMaxRefEnds || endSector < r_.sector) return false;
        r_.refEnd[a_.refCount++] = endSector - r_.sector;
        if (byPictureStart) a_.lastStartRecorded = true;
        return true;
    }

  private:
    VobuAnalysisState& a_;
    VobuInfo& r_;
    std::uint32_t s_;
};

// True when a padding packet starts right behind the packet: the encoder filled the rest of the
// sector, so the picture being coded ends in this sector.
bool paddingFollows(SectorBytes sector, const PesPacket& p) {
    constexpr std::size_t kLastStart = kSectorSize - 4;
    const std::size_t at = pes::kLengthEnd + std::size_t{p.length};
    return at <= kLastStart && at + 4 <= sector.size() && sector[at] == 0 && sector[at + 1] == 0 &&
           sector[at + 2] == 1 && sector[at + 3] == kPaddingStream;
}

// True when a video payload carries on with the picture of the packet before it: it does not
// begin with a start code, or begins with a slice's (01..AF). Anything else (a picture, GOP or
// sequence header) begins something new.
bool continuesPicture(std::span<const std::uint8_t> payload) {
    if (payload.size() < 4 || payload[0] != 0 || payload[1] != 0 || payload[2] != 1) return true;
    return payload[3] >= 0x01 && payload[3] <= 0xAF;
}

void analyseVideo(VobJob& job, VobuInfo& r, SectorBytes sector, const PesPacket& p) {
    VobuAnalysisState& a = job.analysis;
    // A multiplexer may pad a video pack in the middle of a picture (to make room for audio).
    // Padding then ended nothing: when the next video packet carries on with the picture, the
    // end taken from the padding is taken back and the reference is still being coded. When it
    // begins a new picture, the padded sector did end the reference, and the picture start must
    // not record it a second time.
    if (a.paddingRecorded) {
        a.paddingRecorded = false;
        if (continuesPicture(p.payload)) {
            --a.refCount;
            r.refEnd[a.refCount] = 0;
        } else {
            a.refOpen = false;
        }
    }
    PictureCounter counter(job, r);
    a.video.scan(p.payload, counter);
    if (a.refOpen && paddingFollows(sector, p))
        a.paddingRecorded = counter.record(job.sector, false);
    a.prevVideoSector = job.sector;
}

// The forward offset given by a packet of the stream that starts after the VOBU's time, the
// latest earlier one having started before it: the first audio frame that starts at or after
// the VOBU's time lies in the later packet when that packet starts within one frame after the
// time, else in the earlier one.
std::uint32_t laterPacketOffset(const VobuInfo& r, std::uint64_t pts, std::uint32_t earlier,
                                std::uint32_t later) {
    return (pts > r.sPtm + kAudioFrameTicks - 1 ? earlier : later) - r.sector;
}

// A backward offset (the audio of the VOBU's time lies in an earlier VOBU) is settled by the
// first packet of the stream in this VOBU that reaches the VOBU's time: it points back to the
// latest packet before it.
void settleBackwardAudioSync(VobJob& job, VobuInfo& r, unsigned n, std::uint64_t pts) {
    SyncOffset& e = r.audioSync[n];
    if (e.special != SyncOffset::kBackward) return;
    if (pts == r.sPtm) {
        e.special = job.sector - r.sector;
    } else if (pts > r.sPtm) {
        const std::uint32_t distance = r.sector - job.analysis.audioLastSector[n];
        e.special = (distance & nav::kAudioSyncDistanceMask) | nav::kAudioSyncBackward;
    }
}

// Forward offsets: the sector, counted from the NAV pack, of the packet where the first audio
// frame that starts at or after the VOBU's time begins. A packet that starts at that time is it;
// one that starts later is it when no packet of the stream came since the NAV pack or when it
// starts within one frame after the time; else the packet before it is. Audio is often
// multiplexed well away from its video, so the packet that settles a VOBU's offset can come in
// a later VOBU; the VOBU waits for it.
void settleForwardAudioSync(VobJob& job, unsigned n, std::uint64_t pts) {
    auto& pending = job.analysis.audioPending[n];
    std::size_t kept = 0;
    for (PendingAudioSync& w : pending) {
        VobuInfo& v = job.vobus[w.vobu];
        if (pts < v.sPtm) {
            w.lastBefore = job.sector;
            pending[kept++] = w;
        } else if (pts == v.sPtm || !w.lastBefore) {
            v.audioSync[n].special = job.sector - v.sector;
        } else {
            v.audioSync[n].special = laterPacketOffset(v, pts, *w.lastBefore, job.sector);
        }
    }
    pending.resize(kept);
}

// At a NAV pack: its forward offsets wait for the packets to come. Time stamps start afresh in a
// new VOB, so what still waits from the previous VOB is never settled.
void awaitAudioSync(VobJob& job, const VobuInfo* previous, std::size_t index) {
    const VobuInfo& v = job.vobus[index];
    for (unsigned n = 0; n < nav::kAudioStreams; ++n) {
        auto& pending = job.analysis.audioPending[n];
        if (previous != nullptr && previous->vobId != v.vobId) pending.clear();
        if (v.audioSync[n].special != SyncOffset::kForward) continue;
        // A stream that stopped leaves its VOBUs waiting; only the latest ones are kept, so a
        // damaged stream cannot make each packet walk a list as long as the stream.
        if (pending.size() >= kMaxPendingVobus) pending.erase(pending.begin());
        pending.push_back({index, std::nullopt});
    }
}

// A packet without a time stamp (or with time 0) cannot settle anything, but it is the latest
// packet of its stream.
void analyseAudio(VobJob& job, unsigned stream, const PesPacket& p) {
    ++job.audioPackets[stream];
    const std::uint64_t pts = p.pts.value_or(0);
    if (pts != 0) {
        settleForwardAudioSync(job, stream, pts);
        if (VobuInfo* r = job.currentVobu()) settleBackwardAudioSync(job, *r, stream, pts);
    }
    job.analysis.audioLastSector[stream] = job.sector;
}

void analysePrivateStream1(VobJob& job, const PesPacket& p) {
    if (p.payload.empty()) return;
    const std::uint8_t id = p.payload[0];
    if (id >= substream::kSubpictureFirst && id <= substream::kSubpictureLast) {
        ++job.subpPackets[id - substream::kSubpictureFirst];
        return;
    }
    if (id >= kMpegAudioFirst) return;  // no private stream 1 audio there
    if (const auto slot = job.audioSlots.slotOf(id)) analyseAudio(job, *slot, p);
}

}  // namespace

void AnalyseVobSector(VobJob& job, SectorBytes sector) {
    if (VobuInfo* r = job.currentVobu()) r->lastOffset = job.sector - r->sector;
    if (sector.size() <= kStreamIdByte) return;
    switch (sector[kStreamIdByte]) {
        case kVideoStream: {
            VobuInfo* r = job.currentVobu();
            if (r == nullptr) break;
            if (auto p = pesPacketOf(sector)) analyseVideo(job, *r, sector, *p);
            break;
        }
        case kSystemHeaderCode: {
            const std::optional<std::size_t> previous = job.current;
            openVobu(job, sector);
            job.analysis.refCount = 0;
            job.analysis.paddingRecorded = false;
            awaitAudioSync(job, previous ? &job.vobus[*previous] : nullptr, *job.current);
            break;
        }
        case kPrivateStream1:
            if (auto p = pesPacketOf(sector)) analysePrivateStream1(job, *p);
            break;
        default:
            // MPEG audio has stream ids of its own (0xC0 + the audio stream number).
            if (const auto slot = job.audioSlots.slotOf(sector[kStreamIdByte]);
                slot && sector[kStreamIdByte] >= kMpegAudioFirst)
                if (auto p = pesPacketOf(sector)) analyseAudio(job, *slot, *p);
            break;
    }
}

void TrackVobuBounds(VobJob& job, SectorBytes sector) {
    if (VobuInfo* r = job.currentVobu()) r->lastOffset = job.sector - r->sector;
    if (isNavPack(sector)) openVobu(job, sector);
    ++job.sector;
}

}  // namespace navtab::vob
