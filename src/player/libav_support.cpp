#include "player/libav_support.h"

namespace navtab::player {

CodecPtr openDecoder(AVCodecID id) {
    const AVCodec* codec = avcodec_find_decoder(id);
    if (!codec) return nullptr;
    CodecPtr c(avcodec_alloc_context3(codec));
    if (!c) return nullptr;
    // The player decodes on one thread of its own; more would only compete with the window.
    c->thread_count = 1;
    c->pkt_timebase = kMpegClock;
    if (avcodec_open2(c.get(), codec, nullptr) < 0) return nullptr;
    return c;
}

}  // namespace navtab::player
