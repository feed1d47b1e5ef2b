#include "vob/audio_stream_slots.h"

#include "core/ifo_stream_usage.h"
#include "vob/nav_pack_layout.h"

namespace navtab::vob {
namespace {

// Audio ids come in runs of eight, one per stream number: AC-3 0x80, DTS 0x88, LPCM 0xA0 (private
// stream 1 sub-streams), MPEG audio 0xC0 and MPEG-2 extended audio 0xC8 (stream ids). The coding
// modes without packets of their own give the bare number, below every run.
constexpr std::uint8_t kFirstAudioId = substream::kAc3First;

unsigned streamNumberOf(std::uint8_t id) {
    return id & (nav::kAudioStreams - 1);
}

}  // namespace

AudioStreamSlots::AudioStreamSlots() {
    slots_.fill(kNone);
    for (std::uint8_t first :
         {substream::kAc3First, substream::kDtsFirst, substream::kLpcmFirst, kMpegAudioFirst})
        for (unsigned n = 0; n < nav::kAudioStreams; ++n)
            slots_[first + n] = static_cast<std::int8_t>(n);
}

AudioStreamSlots::AudioStreamSlots(const CIfoStreamUsage& usage) : AudioStreamSlots() {
    // Which stream first declared each number, and whether another stream declared it too.
    std::array<int, nav::kAudioStreams> owner{};
    owner.fill(-1);
    bool shared = false;
    const auto& streams = usage.audio();
    for (std::size_t i = 0; i < streams.size(); ++i)
        for (std::uint8_t id : streams[i].ids) {
            if (id < kFirstAudioId) continue;
            int& o = owner[streamNumberOf(id)];
            if (o >= 0 && o != static_cast<int>(i)) shared = true;
            if (o < 0) o = static_cast<int>(i);
        }
    if (!shared) {
        // Declared ids the default table lacks (MPEG-2 extended audio) go to their number too.
        for (const auto& stream : streams)
            for (std::uint8_t id : stream.ids)
                if (id >= kFirstAudioId && slots_[id] == kNone)
                    slots_[id] = static_cast<std::int8_t>(streamNumberOf(id));
        return;
    }
    slots_.fill(kNone);
    for (std::size_t i = 0; i < streams.size(); ++i)
        for (std::uint8_t id : streams[i].ids)
            if (id >= kFirstAudioId && slots_[id] == kNone)
                slots_[id] = static_cast<std::int8_t>(i);
}

std::optional<unsigned> AudioStreamSlots::slotOf(std::uint8_t id) const {
    if (slots_[id] == kNone) return std::nullopt;
    return static_cast<unsigned>(slots_[id]);
}

}  // namespace navtab::vob
