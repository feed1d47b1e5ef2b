#include "core/ifo_classes_ptt.h"

namespace navtab {
namespace {

constexpr std::size_t kOffsetSize = 4;

}  // namespace

CIfoPtt::CIfoPtt(ByteSpan table, std::size_t offset) {
    const ByteReader in(table);
    pgcNumber = in.u16(offset + vts_ptt::kPgcNumber);
    programNumber = in.u16(offset + vts_ptt::kProgramNumber);
}

void CIfoPtt::write(ByteWriter& out, std::size_t offset) const {
    out.u16(offset + vts_ptt::kPgcNumber, pgcNumber);
    out.u16(offset + vts_ptt::kProgramNumber, programNumber);
}

CIfoPttTitle::CIfoPttTitle(ByteSpan table, std::size_t offset, std::size_t count) {
    const std::size_t n =
        recordsInside(ByteReader(table), offset, CIfoPtt::kSize, table.size(), count);
    ptts.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        ptts.push_back(std::make_unique<CIfoPtt>(table, offset + i * CIfoPtt::kSize));
}

void CIfoPttTitle::write(ByteWriter& out, std::size_t offset) const {
    for (std::size_t i = 0; i < ptts.size(); ++i) ptts[i]->write(out, offset + i * CIfoPtt::kSize);
}

CIfoPtt* CIfoPttTitle::AddPtt(std::uint16_t pgcNumber, std::uint16_t programNumber) {
    ptts.push_back(std::make_unique<CIfoPtt>(pgcNumber, programNumber));
    return ptts.back().get();
}

CIfoPttSrpt::CIfoPttSrpt(ByteSpan table) {
    const ByteReader in(table);
    header = ListHeader::parse(in, 0);
    const std::size_t n =
        recordsInside(in, vts_ptt::kFirstTtu, kOffsetSize, in.size(), header.count);
    const std::size_t tableEnd = std::size_t{header.endAddress} + 1;
    ParseBudget budget(table.size());
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t start = in.u32(vts_ptt::kFirstTtu + i * kOffsetSize);
        const std::size_t limit =
            i + 1 < n ? in.u32(vts_ptt::kFirstTtu + (i + 1) * kOffsetSize) : tableEnd;
        const std::size_t count = recordsInside(in, start, CIfoPtt::kSize, limit, limit);
        if (!budget.spend(kOffsetSize + count * CIfoPtt::kSize, 1 + count)) break;
        titles.push_back(std::make_unique<CIfoPttTitle>(table, start, count));
    }
}

std::size_t CIfoPttSrpt::size() const {
    std::size_t n = ListHeader::kSize;
    for (const auto& title : titles) n += kOffsetSize + title->size();
    return n;
}

std::string CIfoPttSrpt::layoutError() const {
    if (std::string e = limitError("VTS_PTT_SRPT", "number of titles", titles.size(), 0xFFFF);
        !e.empty())
        return e;
    return limitError("VTS_PTT_SRPT", "size in bytes (16-bit offsets)", size(), kMax16BitTable);
}

Serialised CIfoPttSrpt::serialise() {
    return serialiseTable(layoutError(), size(), [&](ByteWriter& out) {
        header.store(out, 0, titles.size(), size());
        std::size_t running = vts_ptt::kFirstTtu + kOffsetSize * titles.size();
        for (std::size_t i = 0; i < titles.size(); ++i) {
            out.u32(vts_ptt::kFirstTtu + i * kOffsetSize, static_cast<std::uint32_t>(running));
            titles[i]->write(out, running);
            running += titles[i]->size();
        }
    });
}

CIfoPttTitle* CIfoPttSrpt::AddTitle() {
    titles.push_back(std::make_unique<CIfoPttTitle>());
    return titles.back().get();
}

}  // namespace navtab
