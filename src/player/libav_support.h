// What the libavcodec users of the player share: owning pointers for libav objects and the one
// time base of the pipeline, the 90 kHz MPEG clock.
#pragma once

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

namespace navtab::player {

inline constexpr AVRational kMpegClock{1, 90000};

struct CodecFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct ParserFree {
    void operator()(AVCodecParserContext* p) const { av_parser_close(p); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using CodecPtr = std::unique_ptr<AVCodecContext, CodecFree>;
using ParserPtr = std::unique_ptr<AVCodecParserContext, ParserFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;

// A decoder context for `id` on one thread, with packet times counted in 90 kHz ticks; null when
// libavcodec lacks the decoder.
CodecPtr openDecoder(AVCodecID id);

// Runs payload bytes through `parser` and hands each whole coded frame, with the time stamp the
// parser gives it, to `decode`. The time stamp of a payload belongs to the first frame that
// starts in it.
template <typename Decode>
void parseInto(AVCodecParserContext* parser, AVCodecContext* codec, AVPacket* packet,
               const std::uint8_t* data, int size, std::int64_t pts, Decode&& decode) {
    // One call with no bytes tells the parser the stream ended.
    bool first = true;
    while (size > 0 || first) {
        first = false;
        std::uint8_t* out = nullptr;
        int outSize = 0;
        const int used =
            av_parser_parse2(parser, codec, &out, &outSize, data, size, pts, AV_NOPTS_VALUE, 0);
        if (used < 0) return;
        data += used;
        size -= used;
        pts = AV_NOPTS_VALUE;
        if (outSize > 0) {
            packet->data = out;
            packet->size = outSize;
            packet->pts = parser->pts;
            packet->dts = AV_NOPTS_VALUE;
            decode(packet);
        } else if (used == 0) {
            return;
        }
    }
}

}  // namespace navtab::player
