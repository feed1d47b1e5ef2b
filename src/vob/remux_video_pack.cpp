#include "vob/remux_video_pack.h"

#include <algorithm>
#include <cstring>

#include "core/bytes.h"
#include "vob/nav_pack_layout.h"

namespace navtab::vob {
namespace {

constexpr std::uint8_t kFirstFlags = 0x81;     // '10' marker, original
constexpr std::uint8_t kPtsDtsFlags = 0xC0;    // PTS and DTS present
constexpr std::uint8_t kExtensionFlag = 0x01;  // PES extension present
constexpr std::uint8_t kPtsPrefix = 0x3;
constexpr std::uint8_t kDtsPrefix = 0x1;
constexpr std::uint32_t kStampsLength = 10;
// PES extension: only the P-STD buffer flag, then '01', scale 1 (1024 bytes), size 232.
constexpr std::uint8_t kPstdExtension[] = {0x1E, 0x60, 0xE8};
constexpr std::uint32_t kPaddingHeader = 6;  // 00 00 01 BE and the 16-bit length
// Payload and header data below this leave room for a padding packet behind the PES packet.
constexpr std::size_t kPadFrom = kFullVideoPesLength - pes::kFixedHeaderBytes - 7;  // 2018

}  // namespace

void encodeTimeStamp(std::uint8_t* five, std::uint8_t prefix, std::uint64_t ticks) {
    five[0] = static_cast<std::uint8_t>((prefix << 4) | ((ticks >> 29) & 0x0E) | 1);
    five[1] = static_cast<std::uint8_t>(ticks >> 22);
    five[2] = static_cast<std::uint8_t>(((ticks >> 14) & 0xFE) | 1);
    five[3] = static_cast<std::uint8_t>(ticks >> 7);
    five[4] = static_cast<std::uint8_t>(((ticks << 1) & 0xFE) | 1);
}

std::size_t FillVideoPack(std::span<std::uint8_t> sector, std::span<const std::uint8_t> chunk,
                          const std::optional<VideoPackStamps>& stamps) {
    if (sector.size() != kSectorSize) return 0;
    std::uint8_t* s = sector.data();
    // A whole-sector packet without time stamps, the way every pack of the chunk but its first
    // goes out.
    s[pes::kStart] = 0;
    s[pes::kStart + 1] = 0;
    s[pes::kStart + 2] = 1;
    s[kStreamIdByte] = kVideoStream;
    put16(s + pes::kLength, kFullVideoPesLength);
    s[pes::kLengthEnd] = kFirstFlags;
    s[pes::kFlags2] = 0;
    s[pes::kHeaderDataLength] = 0;
    // Every byte from 23 on is written below: header data, payload, and padding or stuffing.
    std::uint32_t headerData = 0;
    if (stamps) {
        s[pes::kFlags2] = kPtsDtsFlags;
        encodeTimeStamp(s + pes::kHeaderData, kPtsPrefix, stamps->pts);
        encodeTimeStamp(s + pes::kHeaderData + pes::kPtsSize, kDtsPrefix, stamps->dts);
        headerData = kStampsLength;
        if (stamps->pstdBuffer) {
            s[pes::kFlags2] |= kExtensionFlag;
            std::memcpy(s + pes::kHeaderData + headerData, kPstdExtension, sizeof kPstdExtension);
            headerData += sizeof kPstdExtension;
        }
    }
    std::size_t room = kFullVideoPesLength - headerData - pes::kFixedHeaderBytes;
    const std::size_t left = chunk.size();
    if (left < room) {
        // A padding packet needs six bytes of its own and is not made shorter than 2 bytes of
        // padding; a chunk end that leaves less (1 to 7 bytes short of a full packet) is stuffed
        // into the PES header instead. With time stamps the header is longer, and so the point
        // moves down with it: a chunk of 2008 to 2014 bytes in one stamped pack is stuffed too.
        if (left + headerData < kPadFrom) {
            const auto length =
                static_cast<std::uint16_t>(left + headerData + pes::kFixedHeaderBytes);
            const auto padding =
                static_cast<std::uint16_t>(kFullVideoPesLength - kPaddingHeader - length);
            put16(s + pes::kLength, length);
            std::uint8_t* pad = s + pes::kLengthEnd + length;
            pad[0] = 0;
            pad[1] = 0;
            pad[2] = 1;
            pad[3] = kPaddingStream;
            put16(pad + 4, padding);
            std::memset(pad + kPaddingHeader, 0xFF, padding);
        } else {
            const std::size_t stuffing = room - left;
            std::memset(s + pes::kHeaderData + headerData, 0xFF, stuffing);
            headerData += static_cast<std::uint32_t>(stuffing);
        }
        room = left;
    }
    s[pes::kHeaderDataLength] = static_cast<std::uint8_t>(headerData);
    std::memcpy(s + pes::kHeaderData + headerData, chunk.data(), room);
    return room;
}

}  // namespace navtab::vob
