// The media pipeline of the player: VOB sectors in, timed pictures and sound out. It takes the
// 2048-byte packs of the cells the navigator plays, splits them into their streams, decodes the
// MPEG video, the chosen audio stream and the chosen sub-picture stream, scales each picture to
// the display, draws the sub-picture and the highlight of the selected menu button on it, and
// keeps the results until the player takes them.
//
// Not thread-safe: one thread (the player's decoding thread) feeds and takes; the window hands
// choices over to that thread. It uses no user-interface library.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "player/button_highlight.h"
#include "player/media_frames.h"
#include "player/sub_picture.h"

namespace navtab::player {

// The codings a DVD audio stream can have; `Any` takes the first coding met with the number.
enum class AudioCoding : std::uint8_t { Ac3, Mpeg, Lpcm, Dts, Any };

// The coding an audio attribute record names (bits 7..5 of its first byte: 0 AC-3, 2 and 3
// MPEG, 4 LPCM, 6 DTS); `Any` for another value.
AudioCoding audioCodingOfAttribute(std::uint8_t firstAttributeByte);

// A physical audio stream: AC-3 0x80 + n, DTS 0x88 + n, LPCM 0xA0 + n (private stream 1
// sub-streams), MPEG audio stream id 0xC0 + n; n is 0..7. The PGC's audio control words map the
// logical stream number of the audio register onto n.
struct AudioStreamId {
    int number = 0;
    AudioCoding coding = AudioCoding::Any;
};

struct PipelineCounters {
    std::uint64_t sectors = 0;
    std::uint64_t damagedSectors = 0;   // not a pack, or a packet that breaks off
    std::uint64_t pictures = 0;         // decoded pictures
    std::uint64_t droppedPictures = 0;  // skipped in key-frames-only mode or failed to decode
    std::uint64_t audioBlocks = 0;
    std::uint64_t subPictures = 0;
};

class MediaPipeline {
  public:
    MediaPipeline();
    ~MediaPipeline();
    MediaPipeline(const MediaPipeline&) = delete;
    MediaPipeline& operator=(const MediaPipeline&) = delete;

    // ---- Choices (take effect with the next sector fed) ----

    // The picture shape of the video being played (from the video attributes of its domain),
    // whether its attributes allow letterbox and pan-scan on a 4:3 screen, and the display.
    void setVideoShape(DisplayRatio ratio, bool letterboxAllowed = true,
                       bool panScanAllowed = true);
    // The video attribute word (two bytes of the IFO): its ratio and permitted display modes.
    void setVideoAttributes(std::uint16_t word);
    void setDisplay(const Display& display);
    const Display& display() const;

    // The audio stream to decode, or nothing for silence. Switching drops the old decoder.
    void selectAudio(std::optional<AudioStreamId> stream);
    // The sub-picture stream (physical number 0..31) to decode, or nothing.
    void selectSubPicture(std::optional<int> stream);
    // False hides sub-pictures without forgetting the stream; forced units and menu buttons are
    // still shown.
    void showSubPictures(bool on);

    // The PGC's sixteen colours for sub-pictures and highlights.
    void setPalette(const Palette& palette);
    // The selected menu button (1-based, 0 for none) and whether it is being activated; drawn
    // with the highlight information of the last NAV pack that had buttons.
    void setSelectedButton(int button, bool activated = false);
    // An explicit highlight instead of the one from the NAV packs; nothing returns to those.
    void setHighlight(std::optional<Highlight> highlight);
    // The button highlight information of the last NAV pack fed that had some.
    const std::optional<ButtonHighlights>& buttonHighlights() const;

    // Fast forward and backward above twice the normal rate: only intra-coded pictures are
    // decoded and given out.
    void setKeyFramesOnly(bool on);

    // ---- Feeding ----

    // One 2048-byte pack of a VOB. Damaged packs are counted and skipped; nothing outside the
    // span is ever read.
    void feedSector(std::span<const std::uint8_t> sector);
    // Drops everything held (queued frames and sound, half-read packets, the decoders' state)
    // and starts a new epoch: for a seek, a jump to another cell or a change of direction.
    void flush();
    // Decodes what the decoders still hold (the last pictures of a stream) as at its end, and
    // gives out the pictures that wait for the stream's clock. Pictures are held back until a
    // later pack's clock reaches their time (so that the sub-picture shown with them has
    // arrived); call this when the navigator reaches a still, a menu waiting for the user or
    // the end of playback, not between the cells of continuous playback.
    void drain();
    std::uint32_t epoch() const;

    // ---- Output ----

    // The pictures decoded since the last take, in presentation order.
    std::vector<VideoFrame> takeFrames();
    // The sound decoded since the last take, in order.
    std::vector<AudioBlock> takeAudio();
    // Redraws the last picture with the sub-picture and highlight as they are now (for a still
    // or a menu whose highlight moved); nothing before the first picture.
    std::optional<VideoFrame> redrawLast();

    const PipelineCounters& counters() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace navtab::player
