#include "core/ifo_classes_tt_srpt.h"

#include <limits>

namespace navtab {

CIfoTitle::CIfoTitle(ByteSpan table, std::size_t offset) {
    const ByteReader in(table);
    playbackType = in.u8(offset + vmg_ptt::kPlaybackType);
    angles = in.u8(offset + vmg_ptt::kAngles);
    parts = in.u16(offset + vmg_ptt::kChapters);
    parentalMask = in.u16(offset + vmg_ptt::kParentalId);
    titleSet = in.u8(offset + vmg_ptt::kVtsNumber);
    titleInSet = in.u8(offset + vmg_ptt::kVtsTitle);
    titleSetSector = in.u32(offset + vmg_ptt::kVtsStart);
}

void CIfoTitle::write(ByteWriter& out, std::size_t offset) const {
    out.u8(offset + vmg_ptt::kPlaybackType, playbackType);
    out.u8(offset + vmg_ptt::kAngles, angles);
    out.u16(offset + vmg_ptt::kChapters, parts);
    out.u16(offset + vmg_ptt::kParentalId, parentalMask);
    out.u8(offset + vmg_ptt::kVtsNumber, titleSet);
    out.u8(offset + vmg_ptt::kVtsTitle, titleInSet);
    out.u32(offset + vmg_ptt::kVtsStart, titleSetSector);
}

CIfoTtSrpt::CIfoTtSrpt(ByteSpan table) {
    const ByteReader in(table);
    header = ListHeader::parse(in, 0);
    const std::size_t n = recordsInside(in, vmg_ptt::kFirstTitle, CIfoTitle::kSize,
                                        std::numeric_limits<std::size_t>::max(), header.count);
    titles.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        titles.push_back(
            std::make_unique<CIfoTitle>(table, vmg_ptt::kFirstTitle + i * CIfoTitle::kSize));
}

Serialised CIfoTtSrpt::serialise() {
    const std::string error = limitError("TT_SRPT", "number of titles", titles.size(), 0xFFFF);
    return serialiseTable(error, size(), [&](ByteWriter& out) {
        header.store(out, 0, titles.size(), size());
        for (std::size_t i = 0; i < titles.size(); ++i)
            titles[i]->write(out, vmg_ptt::kFirstTitle + i * CIfoTitle::kSize);
    });
}

CIfoTitle* CIfoTtSrpt::AddTitle() {
    titles.push_back(std::make_unique<CIfoTitle>());
    return titles.back().get();
}

}  // namespace navtab
