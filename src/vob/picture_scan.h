// Finds the MPEG-2 video start codes that the frame counting and the frame-type template need,
// packet by packet, in the payloads of the video PES packets of a VOB.
//
// A start code can straddle two packets, so the last seven bytes of each payload are kept and
// looked at together with the start of the next one. Every position of the video stream is
// examined exactly once, as soon as the eight bytes from it are at hand (a picture header needs
// six of them, a picture coding extension eight). A payload that begins with a sequence header is
// a fresh start: what was kept is dropped and the scan begins behind the header's first eight
// bytes.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <span>

namespace navtab::vob {

// MPEG-2 video start codes: the byte after the 00 00 01 prefix.
inline constexpr std::uint8_t kPictureStartCode = 0x00;
inline constexpr std::uint8_t kSequenceHeaderCode = 0xB3;
inline constexpr std::uint8_t kExtensionStartCode = 0xB5;
inline constexpr std::uint8_t kSequenceEndCode = 0xB7;
inline constexpr std::uint8_t kGroupStartCode = 0xB8;
// Extension ids: the top four bits of the byte after an extension start code.
inline constexpr unsigned kSequenceExtensionId = 1;
inline constexpr unsigned kPictureCodingExtensionId = 8;

// picture_coding_type of a picture header.
enum PictureType : unsigned { kIPicture = 1, kPPicture = 2, kBPicture = 3 };
// picture_structure of a picture coding extension.
inline constexpr unsigned kTopField = 1;
inline constexpr unsigned kBottomField = 2;

struct PictureCoding {
    unsigned structure = 3;  // 1 top field, 2 bottom field, 3 frame
    bool topFieldFirst = false;
    bool repeatFirstField = false;
};

// True when the four bytes at p are the start code `code`.
inline bool isStartCode(const std::uint8_t* p, std::uint8_t code) {
    return p[0] == 0 && p[1] == 0 && p[2] == 1 && p[3] == code;
}

// True when the payload opens with a sequence header.
inline bool beginsWithSequenceHeader(std::span<const std::uint8_t> payload) {
    return payload.size() >= 4 && isStartCode(payload.data(), kSequenceHeaderCode);
}

class PictureScan {
  public:
    static constexpr std::size_t kTail = 7;    // bytes kept from one payload to the next
    static constexpr std::size_t kNeeded = 8;  // bytes needed from a start position on

    void reset() { *this = PictureScan(); }
    bool progressive() const { return progressive_; }

    // Reports to `h`, in stream order:
    //   h.picture(codingType, inEarlierPacket)  a picture start code; `inEarlierPacket` when the
    //                                           code began in an earlier packet or at the very
    //                                           first byte of this payload, so that the picture
    //                                           before it ended in an earlier packet
    //   h.pictureCoding(PictureCoding)          a picture coding extension
    // Sequence extensions set progressive().
    template <class Handler>
    void scan(std::span<const std::uint8_t> payload, Handler& h) {
        const std::size_t size = payload.size();
        std::size_t from = 0;
        if (beginsWithSequenceHeader(payload)) {
            tailLength_ = 0;
            from = kNeeded;
        } else if (tailLength_ > 0) {
            scanAcrossBorder(payload, h);
        }
        if (size >= from + kNeeded) scanPayload(payload, from, h);
        keepTail(payload, from);
    }

  private:
    template <class Handler>
    void examine(const std::uint8_t* p, bool inEarlierPacket, Handler& h) {
        if (p[3] == kPictureStartCode) {
            h.picture((p[5] >> 3) & 0x07u, inEarlierPacket);
        } else if (p[3] == kExtensionStartCode) {
            const unsigned id = p[4] >> 4;
            if (id == kSequenceExtensionId) {
                progressive_ = (p[5] & 0x08) != 0;
            } else if (id == kPictureCodingExtensionId) {
                h.pictureCoding(
                    PictureCoding{p[6] & 0x03u, (p[7] & 0x80) != 0, (p[7] & 0x02) != 0});
            }
        }
    }

    static bool isPrefix(const std::uint8_t* p) { return p[0] == 0 && p[1] == 0 && p[2] == 1; }

    // Positions that begin in the kept tail.
    template <class Handler>
    void scanAcrossBorder(std::span<const std::uint8_t> payload, Handler& h) {
        std::array<std::uint8_t, kTail + kNeeded> window{};
        const std::size_t head = std::min(payload.size(), kNeeded);
        std::memcpy(window.data(), tail_.data(), tailLength_);
        if (head > 0) std::memcpy(window.data() + tailLength_, payload.data(), head);
        const std::size_t total = tailLength_ + payload.size();
        for (std::size_t j = 0; j < tailLength_ && j + kNeeded <= total; ++j)
            if (isPrefix(&window[j])) examine(&window[j], true, h);
    }

    // Positions from..size-8 of the payload. The prefix is found through its 01 byte, which
    // memchr finds far faster than a byte loop in the long runs of coded picture data.
    template <class Handler>
    void scanPayload(std::span<const std::uint8_t> payload, std::size_t from, Handler& h) {
        const std::uint8_t* data = payload.data();
        const std::uint8_t* p = data + from + 2;
        const std::uint8_t* const end = data + payload.size() - kNeeded + 3;  // past the last 01
        while (p < end) {
            p = static_cast<const std::uint8_t*>(
                std::memchr(p, 1, static_cast<std::size_t>(end - p)));
            if (p == nullptr) break;
            if (p[-1] == 0 && p[-2] == 0) examine(p - 2, p - 2 == data, h);
            ++p;
        }
    }

    // Keeps the bytes from the first position not examined yet: the last seven of the stream.
    void keepTail(std::span<const std::uint8_t> payload, std::size_t from) {
        const std::size_t size = payload.size();
        if (from > 0 || size >= kTail) {
            const std::size_t start = std::min(size, std::max(from, size - std::min(size, kTail)));
            tailLength_ = size - start;
            if (tailLength_ > 0) std::memcpy(tail_.data(), payload.data() + start, tailLength_);
            return;
        }
        // A payload shorter than the tail: the tail moves on by its length.
        const std::size_t keepOld = std::min(tailLength_, kTail - size);
        std::memmove(tail_.data(), tail_.data() + tailLength_ - keepOld, keepOld);
        if (size > 0) std::memcpy(tail_.data() + keepOld, payload.data(), size);
        tailLength_ = keepOld + size;
    }

    std::array<std::uint8_t, kTail> tail_{};
    std::size_t tailLength_ = 0;
    bool progressive_ = false;
};

}  // namespace navtab::vob
