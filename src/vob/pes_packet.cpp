#include "vob/pes_packet.h"

#include <algorithm>

#include "core/bytes.h"
#include "vob/nav_pack_layout.h"

namespace navtab::vob {

std::uint64_t decodePts(const std::uint8_t* five) {
    return (std::uint64_t{five[0] & 0x0Eu} << 29) | (std::uint64_t{be16(five + 1)} >> 1 << 15) |
           (std::uint64_t{be16(five + 3)} >> 1);
}

std::optional<PesPacket> pesPacketOf(std::span<const std::uint8_t> sector) {
    if (sector.size() <= pes::kHeaderDataLength) return std::nullopt;
    PesPacket p;
    p.streamId = sector[kStreamIdByte];
    p.length = be16(sector.data() + pes::kLength);
    const std::size_t headerData = sector[pes::kHeaderDataLength];
    const std::size_t start = std::min<std::size_t>(pes::kHeaderData + headerData, sector.size());
    // The packet's own length, less its fixed header bytes and header data; cut at the sector.
    const std::size_t claimed = p.length > pes::kFixedHeaderBytes + headerData
                                    ? p.length - pes::kFixedHeaderBytes - headerData
                                    : 0;
    p.payload = sector.subspan(start, std::min(claimed, sector.size() - start));
    if ((sector[pes::kFlags2] & pes::kPtsPresent) &&
        pes::kHeaderData + pes::kPtsSize <= sector.size())
        p.pts = decodePts(sector.data() + pes::kHeaderData);
    return p;
}

}  // namespace navtab::vob
