#include "player/audio_decoder.h"

#include <utility>

#include "player/libav_support.h"
#include "player/video_decoder.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace navtab::player {
namespace {

AVCodecID codecOf(StreamKind kind) {
    switch (kind) {
        case StreamKind::Ac3:
            return AV_CODEC_ID_AC3;
        case StreamKind::Dts:
            return AV_CODEC_ID_DTS;
        case StreamKind::Lpcm:
            return AV_CODEC_ID_PCM_DVD;
        case StreamKind::MpegAudio:
            return AV_CODEC_ID_MP2;
        default:
            return AV_CODEC_ID_NONE;
    }
}

struct ResamplerFree {
    void operator()(SwrContext* s) const { swr_free(&s); }
};

}  // namespace

struct AudioDecoder::Impl {
    explicit Impl(StreamKind k) : kind(k), id(codecOf(k)) { open(); }

    StreamKind kind;
    AVCodecID id;
    CodecPtr codec;
    // LPCM packets are whole sample frames already; the other codings need their frames found.
    ParserPtr parser;
    PacketPtr packet{av_packet_alloc()};
    std::unique_ptr<SwrContext, ResamplerFree> resampler;
    // What the resampler was made for, to notice a stream that changes its format.
    int inRate = 0, inFormat = -1, inChannels = 0;
    std::vector<AudioBlock> out;
    std::int64_t nextPts = 0;

    void open() {
        codec = openDecoder(id);
        parser.reset(id == AV_CODEC_ID_PCM_DVD ? nullptr : av_parser_init(id));
        resampler.reset();
        inFormat = -1;
    }

    bool makeResampler(const AVFrame& f) {
        if (resampler && f.sample_rate == inRate && f.format == inFormat &&
            f.ch_layout.nb_channels == inChannels)
            return true;
        resampler.reset();
        AVChannelLayout outLayout;
        av_channel_layout_default(&outLayout, f.ch_layout.nb_channels >= 2 ? 2 : 1);
        SwrContext* s = nullptr;
        AVChannelLayout inLayout{};
        if (av_channel_layout_copy(&inLayout, &f.ch_layout) < 0) return false;
        const int made =
            swr_alloc_set_opts2(&s, &outLayout, AV_SAMPLE_FMT_S16, f.sample_rate, &inLayout,
                                static_cast<AVSampleFormat>(f.format), f.sample_rate, 0, nullptr);
        av_channel_layout_uninit(&inLayout);
        if (made < 0 || swr_init(s) < 0) {
            swr_free(&s);
            return false;
        }
        resampler.reset(s);
        inRate = f.sample_rate;
        inFormat = f.format;
        inChannels = f.ch_layout.nb_channels;
        return true;
    }

    void convert(const AVFrame& f) {
        if (f.nb_samples <= 0 || f.sample_rate <= 0 || !makeResampler(f)) return;
        AudioBlock b;
        b.sampleRate = f.sample_rate;
        b.channels = inChannels >= 2 ? 2 : 1;
        b.samples.resize(static_cast<std::size_t>(f.nb_samples) * b.channels);
        std::uint8_t* dst = reinterpret_cast<std::uint8_t*>(b.samples.data());
        const int got =
            swr_convert(resampler.get(), &dst, f.nb_samples,
                        const_cast<const std::uint8_t**>(f.extended_data), f.nb_samples);
        if (got <= 0) return;
        b.samples.resize(static_cast<std::size_t>(got) * b.channels);
        b.pts = f.best_effort_timestamp != AV_NOPTS_VALUE ? f.best_effort_timestamp : nextPts;
        nextPts = b.pts + b.duration();
        out.push_back(std::move(b));
    }

    void decode(AVPacket* p) {
        if (avcodec_send_packet(codec.get(), p) < 0) return;
        FramePtr f(av_frame_alloc());
        while (avcodec_receive_frame(codec.get(), f.get()) >= 0) {
            convert(*f);
            av_frame_unref(f.get());
        }
    }
};

AudioDecoder::AudioDecoder(StreamKind kind) : impl_(std::make_unique<Impl>(kind)) {}
AudioDecoder::~AudioDecoder() = default;

bool AudioDecoder::ok() const {
    return impl_->codec && impl_->packet && (impl_->parser || impl_->id == AV_CODEC_ID_PCM_DVD);
}

void AudioDecoder::feed(std::span<const std::uint8_t> payload, std::optional<std::int64_t> pts) {
    if (!ok() || payload.empty()) return;
    Impl& d = *impl_;
    const std::int64_t stamp = pts.value_or(AV_NOPTS_VALUE);
    if (!d.parser) {
        // libavcodec reads the packet and does not keep it.
        d.packet->data = const_cast<std::uint8_t*>(payload.data());
        d.packet->size = static_cast<int>(payload.size());
        d.packet->pts = stamp;
        d.decode(d.packet.get());
        return;
    }
    parseInto(d.parser.get(), d.codec.get(), d.packet.get(), payload.data(),
              static_cast<int>(payload.size()), stamp, [&](AVPacket* p) { d.decode(p); });
}

void AudioDecoder::reset() {
    impl_->out.clear();
    impl_->open();
}

std::vector<AudioBlock> AudioDecoder::take() {
    return std::exchange(impl_->out, {});
}

}  // namespace navtab::player
