#include "player/media_pipeline.h"

#include <algorithm>
#include <deque>
#include <utility>

#include "player/audio_decoder.h"
#include "player/overlay.h"
#include "player/pack_demux.h"
#include "player/picture_scaler.h"
#include "player/video_decoder.h"

extern "C" {
#include <libavcodec/defs.h>
#include <libavutil/frame.h>
}

namespace navtab::player {
namespace {

// A time stamp this far from where the stream should be means a new clock, not a late picture.
constexpr std::int64_t kClockJump = 90000;
// Decoded pictures wait for their sub-pictures at most this many; a stream whose clock
// references are damaged cannot hold back more.
constexpr std::size_t kMaxHeldPictures = 48;

// Marks `pts` as a restart of the time stamps when it is not near `expected`, and moves
// `expected` on by `duration`.
bool jumped(std::optional<std::int64_t>& expected, std::int64_t pts, std::int64_t duration) {
    const bool jump = expected && (pts < *expected - kClockJump || pts > *expected + kClockJump);
    expected = pts + duration;
    return jump;
}

bool isAudio(StreamKind k) {
    return k == StreamKind::Ac3 || k == StreamKind::Dts || k == StreamKind::Lpcm ||
           k == StreamKind::MpegAudio;
}

bool codingMatches(AudioCoding c, StreamKind k) {
    switch (c) {
        case AudioCoding::Ac3:
            return k == StreamKind::Ac3;
        case AudioCoding::Mpeg:
            return k == StreamKind::MpegAudio;
        case AudioCoding::Lpcm:
            return k == StreamKind::Lpcm;
        case AudioCoding::Dts:
            return k == StreamKind::Dts;
        case AudioCoding::Any:
            return isAudio(k);
    }
    return false;
}

// The horizontal pan-scan offset a picture carries, in sixteenths of a pixel; 0 without one.
int panScanOffsetOf(const AVFrame& f) {
    const AVFrameSideData* sd = av_frame_get_side_data(&f, AV_FRAME_DATA_PANSCAN);
    if (!sd || sd->size < static_cast<int>(sizeof(AVPanScan))) return 0;
    return reinterpret_cast<const AVPanScan*>(sd->data)->position[0][0];
}

}  // namespace

AudioCoding audioCodingOfAttribute(std::uint8_t first) {
    switch (first >> 5) {
        case 0:
            return AudioCoding::Ac3;
        case 2:
        case 3:
            return AudioCoding::Mpeg;
        case 4:
            return AudioCoding::Lpcm;
        case 6:
            return AudioCoding::Dts;
        default:
            return AudioCoding::Any;
    }
}

struct MediaPipeline::Impl {
    VideoDecoder video;
    PictureScaler scaler;
    VideoShape shape;
    Display display;

    std::optional<AudioStreamId> audioChoice;
    std::unique_ptr<AudioDecoder> audio;
    StreamKind audioKind = StreamKind::Other;  // the coding the decoder was made for

    std::optional<int> subStream;
    bool subShown = true;
    SubPictureAssembler assembler;
    std::vector<SubPicture> pending;  // decoded units waiting for their start time
    std::optional<SubPicture> current;

    Palette palette{};
    int button = 0;
    bool activated = false;
    std::optional<Highlight> explicitHighlight;
    std::optional<ButtonHighlights> buttons;

    std::uint32_t epoch = 0;
    PipelineCounters counters;
    std::vector<VideoFrame> frames;
    std::vector<AudioBlock> sound;
    FramePtr last;  // the last picture, for redrawing its overlay
    std::int64_t lastPts = 0, lastDuration = 0;
    bool lastKey = false;
    // Where the next picture and sound block should be, to notice a restarted clock.
    std::optional<std::int64_t> videoNext, audioNext;
    // Decoded pictures wait here until the stream's clock reaches their time: the multiplexer
    // sends video well ahead of its time, and a sub-picture that shows with a picture may
    // still be on its way when the picture is decoded.
    std::deque<DecodedPicture> held;
    std::optional<std::int64_t> clock;

    void feedAudio(const StreamPacket& p) {
        if (!audioChoice || p.number != audioChoice->number ||
            !codingMatches(audioChoice->coding, p.kind))
            return;
        // With `Any` the first coding met with the number stays the stream's.
        if (audio && audioKind != p.kind) {
            if (audioChoice->coding == AudioCoding::Any) return;
            audio.reset();
        }
        if (!audio) {
            audio = std::make_unique<AudioDecoder>(p.kind);
            audioKind = p.kind;
        }
        audio->feed(p.payload, p.pts);
        for (AudioBlock& b : audio->take()) {
            b.epoch = epoch;
            b.discontinuity = jumped(audioNext, b.pts, b.duration());
            ++counters.audioBlocks;
            sound.push_back(std::move(b));
        }
    }

    void feedSubPicture(const StreamPacket& p) {
        if (!subStream || p.number != *subStream) return;
        if (auto unit = assembler.add(p.payload, p.pts)) {
            if (auto sp = decodeSubPicture(unit->bytes, unit->pts)) {
                ++counters.subPictures;
                pending.push_back(std::move(*sp));
            }
        }
    }

    // The sub-picture showing at `pts`: the latest unit that has started, until its end.
    const SubPicture* subPictureAt(std::int64_t pts) {
        std::stable_sort(
            pending.begin(), pending.end(),
            [](const SubPicture& a, const SubPicture& b) { return a.start < b.start; });
        auto started = std::find_if(pending.begin(), pending.end(),
                                    [&](const SubPicture& s) { return s.start > pts; });
        if (started != pending.begin()) {
            current = std::move(*(started - 1));
            pending.erase(pending.begin(), started);
        }
        if (current && current->end && pts >= *current->end) current.reset();
        return current ? &*current : nullptr;
    }

    std::optional<Highlight> highlight() const {
        if (explicitHighlight) return explicitHighlight;
        if (buttons && button > 0) return buttons->of(button, activated);
        return std::nullopt;
    }

    VideoFrame render(const AVFrame& f, std::int64_t pts) {
        VideoFrame out;
        const PicturePlacement place =
            placePicture(f.width, f.height, shape, display, panScanOffsetOf(f));
        scaler.scale(f, place, display, out);
        if (const SubPicture* sp = subPictureAt(pts)) {
            const auto hl = highlight();
            if (subShown || sp->forced || hl) drawSubPicture(out, place, *sp, palette, hl);
        }
        return out;
    }

    void output(DecodedPicture p) {
        VideoFrame f = render(*p.frame, p.pts);
        f.pts = p.pts;
        f.duration = p.duration;
        f.epoch = epoch;
        f.keyFrame = p.keyFrame;
        f.discontinuity = jumped(videoNext, p.pts, p.duration);
        frames.push_back(std::move(f));
        last = std::move(p.frame);
        lastPts = p.pts;
        lastDuration = p.duration;
        lastKey = p.keyFrame;
    }

    void takePictures() {
        for (DecodedPicture& p : video.take()) {
            ++counters.pictures;
            held.push_back(std::move(p));
        }
        counters.droppedPictures = video.failures();
    }

    // Gives out the held pictures whose time the clock has reached; all of them when the clock
    // went back (a new VOB with its own clock) or `all` is set.
    void release(bool all) {
        while (!held.empty() &&
               (all || !clock || held.front().pts <= *clock || held.size() > kMaxHeldPictures)) {
            output(std::move(held.front()));
            held.pop_front();
        }
    }

    // A clock that goes back starts a new VOB: what is held belongs to the old one and goes
    // out before anything of the new pack (its buttons, its sub-pictures) can change it.
    void clockBefore(const std::optional<std::int64_t>& to) {
        if (to && clock && *to < *clock - kClockJump) release(true);
    }
    void clockAfter(const std::optional<std::int64_t>& to) {
        if (to) clock = to;
        release(false);
    }
};

MediaPipeline::MediaPipeline() : impl_(std::make_unique<Impl>()) {}
MediaPipeline::~MediaPipeline() = default;

void MediaPipeline::setVideoShape(DisplayRatio ratio, bool letterboxAllowed, bool panScanAllowed) {
    impl_->shape = {ratio, letterboxAllowed, panScanAllowed};
}

void MediaPipeline::setVideoAttributes(std::uint16_t word) {
    // Bits 11..10 the ratio (3 is 16:9); bit 9 forbids pan-scan, bit 8 letterbox.
    setVideoShape(((word >> 10) & 3) == 3 ? DisplayRatio::Ratio16x9 : DisplayRatio::Ratio4x3,
                  (word & 0x0100) == 0, (word & 0x0200) == 0);
}

void MediaPipeline::setDisplay(const Display& display) {
    impl_->display = display;
    impl_->display.width = std::clamp(display.width, 1, 8192);
    impl_->display.height = std::clamp(display.height, 1, 8192);
}

const Display& MediaPipeline::display() const {
    return impl_->display;
}

void MediaPipeline::selectAudio(std::optional<AudioStreamId> stream) {
    impl_->audioChoice = stream;
    impl_->audio.reset();
}

void MediaPipeline::selectSubPicture(std::optional<int> stream) {
    if (stream == impl_->subStream) return;
    impl_->subStream = stream;
    impl_->assembler.reset();
    impl_->pending.clear();
    impl_->current.reset();
}

void MediaPipeline::showSubPictures(bool on) {
    impl_->subShown = on;
}

void MediaPipeline::setPalette(const Palette& palette) {
    impl_->palette = palette;
}

void MediaPipeline::setSelectedButton(int button, bool activated) {
    impl_->button = button;
    impl_->activated = activated;
}

void MediaPipeline::setHighlight(std::optional<Highlight> highlight) {
    impl_->explicitHighlight = std::move(highlight);
}

const std::optional<ButtonHighlights>& MediaPipeline::buttonHighlights() const {
    return impl_->buttons;
}

void MediaPipeline::setKeyFramesOnly(bool on) {
    impl_->video.setKeyFramesOnly(on);
}

void MediaPipeline::feedSector(std::span<const std::uint8_t> sector) {
    Impl& d = *impl_;
    ++d.counters.sectors;
    const PackContents pack = demuxPack(sector);
    if (pack.damaged) ++d.counters.damagedSectors;
    d.clockBefore(pack.clock);
    for (const StreamPacket& p : pack.packets) {
        switch (p.kind) {
            case StreamKind::Video:
                d.video.feed(p.payload, p.pts);
                d.takePictures();
                break;
            case StreamKind::SubPicture:
                d.feedSubPicture(p);
                break;
            case StreamKind::Nav:
                d.buttons = buttonHighlightsOf(sector);
                break;
            case StreamKind::Other:
                break;
            default:
                d.feedAudio(p);
                break;
        }
    }
    d.clockAfter(pack.clock);
}

void MediaPipeline::flush() {
    Impl& d = *impl_;
    d.video.reset();
    if (d.audio) d.audio->reset();
    d.assembler.reset();
    d.pending.clear();
    d.current.reset();
    d.frames.clear();
    d.sound.clear();
    d.videoNext.reset();
    d.audioNext.reset();
    d.held.clear();
    d.clock.reset();
    ++d.epoch;
}

void MediaPipeline::drain() {
    impl_->video.drain();
    impl_->takePictures();
    impl_->release(true);
}

std::uint32_t MediaPipeline::epoch() const {
    return impl_->epoch;
}

std::vector<VideoFrame> MediaPipeline::takeFrames() {
    return std::exchange(impl_->frames, {});
}

std::vector<AudioBlock> MediaPipeline::takeAudio() {
    return std::exchange(impl_->sound, {});
}

std::optional<VideoFrame> MediaPipeline::redrawLast() {
    Impl& d = *impl_;
    if (!d.last) return std::nullopt;
    VideoFrame f = d.render(*d.last, d.lastPts);
    f.pts = d.lastPts;
    f.duration = d.lastDuration;
    f.epoch = d.epoch;
    f.keyFrame = d.lastKey;
    return f;
}

const PipelineCounters& MediaPipeline::counters() const {
    return impl_->counters;
}

}  // namespace navtab::player
