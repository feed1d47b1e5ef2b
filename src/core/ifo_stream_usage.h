// Which audio and sub-picture streams a title set uses, and under which MPEG stream ids: gathered
// from the stream control words of every title PGC (VTS_PGCITI) and the attribute records of
// VTSI_MAT. The stream tools list the streams from it and compact the streams a user keeps.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/ifo_classes_attr.h"
#include "core/ifo_main.h"

namespace navtab {

inline constexpr std::size_t kAudioStreamCount = 8;
inline constexpr std::size_t kSubpStreamCount = 32;

// The MPEG id under which the VOBs carry audio stream `streamNumber` (0..7) of an attribute record
// with `codingMode` (0..7): 0x80+n AC-3, 0xC0+n MPEG-1, 0xC8+n MPEG-2 extended, 0xA0+n LPCM,
// 0x88+n DTS and mode 5; the two modes with no stream of their own (1 and 7) give n itself.
std::uint8_t audioStreamId(std::uint8_t codingMode, std::uint8_t streamNumber);

// The stream controls of one title PGC, as they stand in the PGC record.
struct PgcStreamControl {
    std::array<std::uint16_t, kAudioStreamCount> audio{};  // bit 15 available, bits 10-8 stream
    std::array<std::uint32_t, kSubpStreamCount> subp{};    // byte 0 bit 7 available; 4 columns
};

// One logical stream (index 0 = stream 1 of the user-facing numbering).
struct AudioStreamUse {
    bool available = false;         // some PGC declares the stream available
    CIfoAudioAttr attr;             // its record from VTSI_MAT (0x204 + 8 x index)
    std::vector<std::uint8_t> ids;  // MPEG ids it uses, in order of first appearance
};

struct SubpStreamUse {
    bool available = false;
    CIfoSubpAttr attr;              // its record from VTSI_MAT (0x256 + 6 x index)
    std::vector<std::uint8_t> ids;  // 0x20 + stream number, per display column the video allows
};

class CIfoStreamUsage {
  public:
    CIfoStreamUsage() = default;
    // Analyses a title-set handle. A missing or damaged VTS_PGCITI simply contributes no PGCs;
    // nothing outside the table buffers is read.
    explicit CIfoStreamUsage(const ifo_t& vts);

    // Drops the streams whose keep flag is false and moves each kept stream down over the dropped
    // ones before it (attribute record and every PGC's control word), then analyses again.
    void Compact(const std::array<bool, kAudioStreamCount>& keepAudio,
                 const std::array<bool, kSubpStreamCount>& keepSubp);

    const std::array<AudioStreamUse, kAudioStreamCount>& audio() const { return audio_; }
    const std::array<SubpStreamUse, kSubpStreamCount>& subpictures() const { return subp_; }
    // Every id of the title set without repeats, in order of first appearance.
    const std::vector<std::uint8_t>& audioIds() const { return audioIds_; }
    const std::vector<std::uint8_t>& subpIds() const { return subpIds_; }
    // Copies of the control words, one entry per title PGC in table order.
    const std::vector<PgcStreamControl>& pgcControls() const { return pgcs_; }
    // VTSI_MAT byte 0x200: the first byte of the title video attributes.
    std::uint8_t videoAttributes() const { return video_; }

    std::size_t availableAudioCount() const { return availableAudio_; }
    std::size_t availableSubpCount() const { return availableSubp_; }
    std::size_t audioIdCount() const { return audioIds_.size(); }
    std::size_t subpIdCount() const { return subpIds_.size(); }

  private:
    void analyse();

    std::vector<PgcStreamControl> pgcs_;
    std::array<AudioStreamUse, kAudioStreamCount> audio_{};
    std::array<SubpStreamUse, kSubpStreamCount> subp_{};
    std::vector<std::uint8_t> audioIds_;
    std::vector<std::uint8_t> subpIds_;
    std::uint8_t video_ = 0;
    std::size_t availableAudio_ = 0;
    std::size_t availableSubp_ = 0;
};

}  // namespace navtab
