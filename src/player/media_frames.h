// What the media pipeline hands to a player window: pictures ready to show, with their time, and
// blocks of sound samples ready for an audio device, with theirs. Times are 90 kHz clock ticks
// as the MPEG presentation time stamps count them; they rise steadily inside a VOB but may start
// again at a cell of another VOB, which the first picture and sound block after it say.
#pragma once

#include <cstdint>
#include <vector>

namespace navtab::player {

// The picture shape the video attributes of a title set or menu give (bits 11..10 of the video
// attribute word: 0 is 4:3, 3 is 16:9).
enum class DisplayRatio : std::uint8_t { Ratio4x3, Ratio16x9 };

// How the screen shows the pictures. `Wide` is a 16:9 screen: 16:9 pictures fill it, 4:3
// pictures get bars left and right. `Letterbox` and `PanScan` are a 4:3 screen: 4:3 pictures
// fill it, 16:9 pictures are shown whole with bars above and below (letterbox) or have their
// sides cut so that their middle (or the part the stream's pan-scan vectors name) fills the
// screen (pan-scan). A title set whose video attributes forbid the chosen 4:3 way uses the other.
enum class DisplayMode : std::uint8_t { Wide, Letterbox, PanScan };

// The size of the area a frame is drawn for and how 16:9 pictures are shown on it. Every frame
// the pipeline gives is exactly `width` x `height`; the picture keeps its display ratio inside
// it, with black bars where the area's shape differs.
struct Display {
    int width = 720;
    int height = 540;
    DisplayMode mode = DisplayMode::Letterbox;
};

// One picture, scaled and with sub-picture and button highlight drawn on it.
struct VideoFrame {
    int width = 0;
    int height = 0;
    // Row after row, `width` words each, every word 0xFFRRGGBB: the layout of Qt's
    // QImage::Format_RGB32 (QImage(reinterpret_cast<const uchar*>(pixels.data()), width,
    // height, width * 4, QImage::Format_RGB32)).
    std::vector<std::uint32_t> pixels;
    std::int64_t pts = 0;       // presentation time, 90 kHz
    std::int64_t duration = 0;  // how long it stays, 90 kHz (3600 at 25 frames per second)
    // Counts the flushes: frames of an older epoch than the pipeline's are stale.
    std::uint32_t epoch = 0;
    bool keyFrame = false;  // an intra-coded picture
    // The time stamps start again here: a title or a cell whose VOB has its own clock (each VOB
    // of a title may count from its own start), so the player re-anchors its clock.
    bool discontinuity = false;
};

// Decoded sound: interleaved signed 16-bit samples, `channels` per sample frame.
struct AudioBlock {
    int sampleRate = 48000;
    int channels = 2;
    std::vector<std::int16_t> samples;
    std::int64_t pts = 0;  // presentation time of the first sample, 90 kHz
    std::uint32_t epoch = 0;
    bool discontinuity = false;  // as for pictures

    std::int64_t frameCount() const {
        return channels > 0 ? static_cast<std::int64_t>(samples.size()) / channels : 0;
    }
    // 90 kHz ticks the block lasts.
    std::int64_t duration() const { return sampleRate > 0 ? frameCount() * 90000 / sampleRate : 0; }
};

}  // namespace navtab::player
