// Which of the eight a_synca slots of a NAV pack the packets of each MPEG audio id belong to.
//
// A PGC's audio control word gives each audio stream n of the title set a stream number; with the
// coding mode of stream n's attribute record that number names the packets of the stream (0x80 +
// number for AC-3, 0xC0 + number for MPEG audio, 0xA0 + number for LPCM, ...). Most discs give
// every stream a number of its own, and the slot is that number. dvdauthor numbers each coding
// from 0, so an AC-3, an MPEG and an LPCM stream all say "stream 0" (ids 0x80, 0xC0, 0xA0); the
// number then names no single stream, and slot n belongs to stream n of the title set, which is
// where dvdauthor writes their offsets.
//
// Whatever analyses or rewrites NAV packs builds its slots from the IFO that describes those VOB
// files: after stripping, from the compacted stream usage that is written with them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace navtab {
class CIfoStreamUsage;
}

namespace navtab::vob {

class AudioStreamSlots {
  public:
    // Without a title set: every audio id goes to the slot of its stream number.
    AudioStreamSlots();
    // From the streams a title set declares available. When no two of them share a stream
    // number, the slots stay the stream numbers; otherwise each declared id goes to the slot of
    // its stream, and ids the title set does not declare go nowhere.
    explicit AudioStreamSlots(const CIfoStreamUsage& usage);

    // The slot of a private stream 1 sub-stream id (0x80-0x8F, 0xA0-0xA7) or of an MPEG audio
    // stream id (0xC0-0xCF); the two id ranges do not overlap, so one table serves both. Nothing
    // for an id that carries no audio stream.
    std::optional<unsigned> slotOf(std::uint8_t id) const;

  private:
    static constexpr std::int8_t kNone = -1;
    std::array<std::int8_t, 256> slots_;
};

}  // namespace navtab::vob
