#include "player/video_decoder.h"

#include <utility>

extern "C" {
#include <libavutil/pixdesc.h>
}

#include "player/libav_support.h"

namespace navtab::player {

void FrameFree::operator()(AVFrame* frame) const {
    av_frame_free(&frame);
}

struct VideoDecoder::Impl {
    CodecPtr codec = openDecoder(AV_CODEC_ID_MPEG2VIDEO);
    ParserPtr parser{av_parser_init(AV_CODEC_ID_MPEG2VIDEO)};
    PacketPtr packet{av_packet_alloc()};
    std::vector<DecodedPicture> out;
    std::int64_t nextPts = 0;
    std::uint64_t failures = 0;
    bool keyOnly = false;

    std::int64_t frameDuration(const AVFrame& f) const {
        AVRational rate = codec->framerate;
        if (rate.num <= 0 || rate.den <= 0) rate = {25, 1};
        // Each repeated field adds half a frame (3:2 pull-down of film on NTSC discs).
        return av_rescale_q(2 + f.repeat_pict, AVRational{rate.den, rate.num * 2}, kMpegClock);
    }

    void receive() {
        for (;;) {
            FramePtr f(av_frame_alloc());
            const int r = avcodec_receive_frame(codec.get(), f.get());
            if (r < 0) return;
            DecodedPicture p;
            p.pts = f->best_effort_timestamp != AV_NOPTS_VALUE ? f->best_effort_timestamp : nextPts;
            p.duration = frameDuration(*f);
            p.keyFrame = f->pict_type == AV_PICTURE_TYPE_I;
            nextPts = p.pts + p.duration;
            p.frame = std::move(f);
            out.push_back(std::move(p));
        }
    }

    void decode(AVPacket* pkt) {
        if (avcodec_send_packet(codec.get(), pkt) < 0) ++failures;
        receive();
    }
};

VideoDecoder::VideoDecoder() : impl_(std::make_unique<Impl>()) {}
VideoDecoder::~VideoDecoder() = default;

bool VideoDecoder::ok() const {
    return impl_->codec && impl_->parser && impl_->packet;
}

void VideoDecoder::setKeyFramesOnly(bool on) {
    impl_->keyOnly = on;
    if (ok()) impl_->codec->skip_frame = on ? AVDISCARD_NONKEY : AVDISCARD_DEFAULT;
}

void VideoDecoder::feed(std::span<const std::uint8_t> payload, std::optional<std::int64_t> pts) {
    if (!ok() || payload.empty()) return;
    Impl& d = *impl_;
    parseInto(d.parser.get(), d.codec.get(), d.packet.get(), payload.data(),
              static_cast<int>(payload.size()), pts.value_or(AV_NOPTS_VALUE),
              [&](AVPacket* p) { d.decode(p); });
}

void VideoDecoder::drain() {
    if (!ok()) return;
    Impl& d = *impl_;
    parseInto(d.parser.get(), d.codec.get(), d.packet.get(), nullptr, 0, AV_NOPTS_VALUE,
              [&](AVPacket* p) { d.decode(p); });
    avcodec_send_packet(d.codec.get(), nullptr);
    d.receive();
    avcodec_flush_buffers(d.codec.get());
}

void VideoDecoder::reset() {
    if (!ok()) return;
    impl_->out.clear();
    avcodec_flush_buffers(impl_->codec.get());
    impl_->parser.reset(av_parser_init(AV_CODEC_ID_MPEG2VIDEO));
}

std::vector<DecodedPicture> VideoDecoder::take() {
    return std::exchange(impl_->out, {});
}

std::uint64_t VideoDecoder::failures() const {
    return impl_->failures;
}

std::vector<std::uint8_t> packedPlanes(const AVFrame& f) {
    std::vector<std::uint8_t> bytes;
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(f.format));
    if (!d) return bytes;
    for (int plane = 0; plane < 3 && f.data[plane]; ++plane) {
        const int w = plane ? AV_CEIL_RSHIFT(f.width, d->log2_chroma_w) : f.width;
        const int h = plane ? AV_CEIL_RSHIFT(f.height, d->log2_chroma_h) : f.height;
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* row =
                f.data[plane] + static_cast<std::ptrdiff_t>(y) * f.linesize[plane];
            bytes.insert(bytes.end(), row, row + w);
        }
    }
    return bytes;
}

}  // namespace navtab::player
