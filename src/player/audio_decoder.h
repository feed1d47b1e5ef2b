// Decoding of one DVD audio stream with libavcodec: AC-3, MPEG audio, DTS and DVD LPCM, turned
// into interleaved signed 16-bit samples for the sound output. Streams of more than two channels
// are mixed down to stereo; mono and stereo keep their channels.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "player/media_frames.h"
#include "player/pack_demux.h"

namespace navtab::player {

class AudioDecoder {
  public:
    // `kind` is one of the audio stream kinds of the demultiplexer.
    explicit AudioDecoder(StreamKind kind);
    ~AudioDecoder();
    AudioDecoder(const AudioDecoder&) = delete;
    AudioDecoder& operator=(const AudioDecoder&) = delete;

    bool ok() const;
    void feed(std::span<const std::uint8_t> payload, std::optional<std::int64_t> pts);
    void reset();
    std::vector<AudioBlock> take();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace navtab::player
