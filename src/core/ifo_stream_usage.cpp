#include "core/ifo_stream_usage.h"

#include <algorithm>

#include "core/ifo_classes_mat.h"
#include "core/ifo_classes_pgci.h"

namespace navtab {
namespace {

void addOnce(std::vector<std::uint8_t>& ids, std::uint8_t id) {
    if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
}

// Sub-picture stream numbers of a control word, per display column: 4:3, wide, letterbox,
// pan-scan (bits 4-0 of bytes 0 to 3).
std::uint8_t subpColumn(std::uint32_t control, int column) {
    return static_cast<std::uint8_t>((control >> (24 - 8 * column)) & 0x1F);
}

// Which display columns a title's video attributes let a player use. Bits 3-2 of the first video
// attribute byte are the aspect ratio (0 = 4:3, 3 = 16:9), bits 1-0 the permitted displays of
// 16:9 material on a 4:3 screen (0 both, 1 pan-scan only, 2 letterbox only).
std::array<bool, 4> displayColumns(std::uint8_t video) {
    const unsigned aspect = (video >> 2) & 3;
    const unsigned display = video & 3;
    return {aspect == 0, aspect == 3, display == 0 || display == 2, display == 0 || display == 1};
}

// Drops the streams not kept and moves each kept one down over the dropped ones before it, in
// the stream records and in every PGC's control words.
template <typename Use, std::size_t N, typename Word>
void compactStreams(const std::array<bool, N>& keep, std::array<Use, N>& uses,
                    std::vector<PgcStreamControl>& pgcs,
                    std::array<Word, N> PgcStreamControl::*controls) {
    std::size_t dropped = 0;
    for (std::size_t i = 0; i < N; ++i) {
        if (!keep[i]) {
            uses[i].attr = {};
            for (auto& pgc : pgcs) (pgc.*controls)[i] = 0;
            ++dropped;
        } else if (dropped > 0) {
            uses[i - dropped].attr = uses[i].attr;
            uses[i].attr = {};
            for (auto& pgc : pgcs) {
                (pgc.*controls)[i - dropped] = (pgc.*controls)[i];
                (pgc.*controls)[i] = 0;
            }
        }
    }
}

}  // namespace

std::uint8_t audioStreamId(std::uint8_t codingMode, std::uint8_t streamNumber) {
    const auto n = static_cast<std::uint8_t>(streamNumber & 7);
    switch (codingMode & 7) {
        case 0:
            return static_cast<std::uint8_t>(0x80 + n);  // AC-3, private stream 1
        case 2:
            return static_cast<std::uint8_t>(0xC0 + n);  // MPEG-1 audio packets
        case 3:
            return static_cast<std::uint8_t>(0xC8 + n);  // MPEG-2 extended audio packets
        case 4:
            return static_cast<std::uint8_t>(0xA0 + n);  // linear PCM, private stream 1
        case 5:                                          // unknown, counted with DTS
        case 6:
            return static_cast<std::uint8_t>(0x88 + n);  // DTS, private stream 1
        default:
            return n;  // 1 and 7 (SDDS): no stream
    }
}

CIfoStreamUsage::CIfoStreamUsage(const ifo_t& vts) {
    const ByteSpan matBytes = vts.table[ID_MAT];
    video_ = ByteReader(matBytes).u8(mat::kTitleVideo);
    for (std::size_t i = 0; i < kAudioStreamCount; ++i)
        audio_[i].attr = CIfoAudioAttr(matBytes, mat::kTitleAudio + i * CIfoAudioAttr::kSize);
    for (std::size_t i = 0; i < kSubpStreamCount; ++i)
        subp_[i].attr = CIfoSubpAttr(matBytes, mat::kTitleSubp + i * CIfoSubpAttr::kSize);

    if (vts.has(ID_VTS_PGCITI)) {
        const CIfoPgcit pgcit(vts.table[ID_VTS_PGCITI]);
        for (const auto& srp : pgcit.srps) {
            const ByteReader pgc(srp->pgc->stored);
            PgcStreamControl& control = pgcs_.emplace_back();
            for (std::size_t i = 0; i < kAudioStreamCount; ++i)
                control.audio[i] = pgc.u16(pgc::kAudioControl + 2 * i);
            for (std::size_t i = 0; i < kSubpStreamCount; ++i)
                control.subp[i] = pgc.u32(pgc::kSubpControl + 4 * i);
        }
    }
    analyse();
}

void CIfoStreamUsage::analyse() {
    audioIds_.clear();
    subpIds_.clear();
    for (auto& use : audio_) {
        use.available = false;
        use.ids.clear();
    }
    for (auto& use : subp_) {
        use.available = false;
        use.ids.clear();
    }

    const std::array<bool, 4> columns = displayColumns(video_);
    for (const PgcStreamControl& pgc : pgcs_) {
        for (std::size_t i = 0; i < kAudioStreamCount; ++i) {
            if ((pgc.audio[i] & 0x8000) == 0) continue;
            AudioStreamUse& use = audio_[i];
            use.available = true;
            const std::uint8_t id =
                audioStreamId(use.attr.codingMode(), static_cast<std::uint8_t>(pgc.audio[i] >> 8));
            addOnce(use.ids, id);
            addOnce(audioIds_, id);
        }
        for (std::size_t i = 0; i < kSubpStreamCount; ++i) {
            if ((pgc.subp[i] & 0x80000000u) == 0) continue;
            SubpStreamUse& use = subp_[i];
            use.available = true;
            for (int column = 0; column < 4; ++column) {
                if (!columns[column]) continue;
                const auto id = static_cast<std::uint8_t>(0x20 + subpColumn(pgc.subp[i], column));
                addOnce(use.ids, id);
                addOnce(subpIds_, id);
            }
        }
    }
    availableAudio_ = static_cast<std::size_t>(
        std::count_if(audio_.begin(), audio_.end(), [](const auto& u) { return u.available; }));
    availableSubp_ = static_cast<std::size_t>(
        std::count_if(subp_.begin(), subp_.end(), [](const auto& u) { return u.available; }));
}

void CIfoStreamUsage::Compact(const std::array<bool, kAudioStreamCount>& keepAudio,
                              const std::array<bool, kSubpStreamCount>& keepSubp) {
    compactStreams(keepAudio, audio_, pgcs_, &PgcStreamControl::audio);
    compactStreams(keepSubp, subp_, pgcs_, &PgcStreamControl::subp);
    analyse();
}

}  // namespace navtab
