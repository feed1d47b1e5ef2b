// MPEG-1 and MPEG-2 video decoding with libavcodec. The payloads of the video packets go in as
// the demultiplexer gives them (a picture may span many packets, a packet may end inside one);
// libavcodec's parser finds the pictures, the decoder turns them into YUV pictures in
// presentation order, each with the time stamp of the packet its picture started in.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

struct AVFrame;

namespace navtab::player {

struct FrameFree {
    void operator()(AVFrame* frame) const;
};
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;

struct DecodedPicture {
    FramePtr frame;  // YUV 4:2:0 planes as libavcodec gives them
    std::int64_t pts = 0;
    std::int64_t duration = 0;  // 90 kHz
    bool keyFrame = false;
};

class VideoDecoder {
  public:
    VideoDecoder();
    ~VideoDecoder();
    VideoDecoder(const VideoDecoder&) = delete;
    VideoDecoder& operator=(const VideoDecoder&) = delete;

    // False when libavcodec has no MPEG-2 video decoder.
    bool ok() const;
    // Only intra-coded pictures are decoded.
    void setKeyFramesOnly(bool on);
    void feed(std::span<const std::uint8_t> payload, std::optional<std::int64_t> pts);
    // The end of the stream: the pictures the decoder still holds come out.
    void drain();
    // Forgets everything held, as after a seek.
    void reset();
    std::vector<DecodedPicture> take();
    // Pictures the decoder could not decode (damaged data).
    std::uint64_t failures() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The bytes of a decoded 4:2:0 picture, plane after plane without row padding: what ffmpeg's
// framemd5 output sums for the picture.
std::vector<std::uint8_t> packedPlanes(const AVFrame& frame);

}  // namespace navtab::player
