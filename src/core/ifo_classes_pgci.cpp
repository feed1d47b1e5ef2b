#include "core/ifo_classes_pgci.h"

#include <limits>

namespace navtab {
namespace {

constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();
constexpr std::size_t kMaxCount = 0xFFFF;

}  // namespace

CIfoPgciSrp::CIfoPgciSrp() : pgc(std::make_unique<CIfoPgc>()) {}

CIfoPgciSrp::CIfoPgciSrp(ByteSpan table, std::size_t offset, std::size_t base) {
    const ByteReader in(table);
    entry = in.u8(offset + pgc::kSrpCategory);
    block = in.u8(offset + pgc::kSrpCategory2);
    parentalMask = in.u16(offset + pgc::kSrpParentalMask);
    pgcStart = in.u32(offset + pgc::kSrpPgcStart);
    pgc = std::make_unique<CIfoPgc>(table, base + pgcStart);
}

void CIfoPgcList::parse(ByteSpan table, std::size_t offset, ParseBudget& budget) {
    const ByteReader in(table);
    header = ListHeader::parse(in, offset);
    const std::size_t first = offset + pgc::kListEntries;
    const std::size_t n = recordsInside(in, first, CIfoPgciSrp::kSize, kNoLimit, header.count);
    for (std::size_t i = 0; i < n; ++i) {
        auto srp = std::make_unique<CIfoPgciSrp>(table, first + i * CIfoPgciSrp::kSize, offset);
        if (!budget.spend(srp->size(), 2 + srp->pgc->commands.size())) break;
        srps.push_back(std::move(srp));
    }
}

std::size_t CIfoPgcList::size() const {
    std::size_t n = ListHeader::kSize;
    for (const auto& srp : srps) n += srp->size();
    return n;
}

std::string CIfoPgcList::layoutError(std::string_view table) const {
    if (std::string e = limitError(table, "number of PGCs", srps.size(), kMaxCount); !e.empty())
        return e;
    for (const auto& srp : srps) {
        if (!srp->pgc) return std::string(table) + ": a search pointer has no PGC";
        if (std::string e = srp->pgc->layoutError(); !e.empty())
            return std::string(table) + ": " + e;
    }
    return limitError(table, "size in bytes (16-bit offsets)", size(), kMax16BitTable);
}

void CIfoPgcList::write(ByteWriter& out, std::size_t offset) {
    header.store(out, offset, srps.size(), size());
    std::size_t running = ListHeader::kSize + CIfoPgciSrp::kSize * srps.size();
    for (std::size_t i = 0; i < srps.size(); ++i) {
        CIfoPgciSrp& srp = *srps[i];
        srp.pgcStart = static_cast<std::uint32_t>(running);
        const std::size_t at = offset + pgc::kListEntries + i * CIfoPgciSrp::kSize;
        out.u8(at + pgc::kSrpCategory, srp.entry);
        out.u8(at + pgc::kSrpCategory2, srp.block);
        out.u16(at + pgc::kSrpParentalMask, srp.parentalMask);
        out.u32(at + pgc::kSrpPgcStart, srp.pgcStart);
        srp.pgc->write(out, offset + running);
        running += srp.pgc->size();
    }
}

CIfoPgciSrp* CIfoPgcList::AddSrp() {
    srps.push_back(std::make_unique<CIfoPgciSrp>());
    return srps.back().get();
}

CIfoPgciSrp* CIfoPgcList::AddSrp(std::unique_ptr<CIfoPgc> pgc) {
    CIfoPgciSrp* srp = AddSrp();
    if (pgc) srp->pgc = std::move(pgc);
    return srp;
}

CIfoPgcit::CIfoPgcit(ByteSpan table) {
    ParseBudget budget(table.size());
    parse(table, 0, budget);
}

Serialised CIfoPgcit::serialise() {
    return serialiseTable(layoutError("VTS_PGCIT"), size(),
                          [&](ByteWriter& out) { write(out, 0); });
}

CIfoPgciLu::CIfoPgciLu(ByteSpan table, std::size_t pointerOffset) {
    ParseBudget budget(table.size());
    *this = CIfoPgciLu(table, pointerOffset, budget);
}

CIfoPgciLu::CIfoPgciLu(ByteSpan table, std::size_t pointerOffset, ParseBudget& budget) {
    const ByteReader in(table);
    in.copy(pointerOffset + pgc::kLuLanguage, language);
    languageExtension = in.u8(pointerOffset + pgc::kLuLanguage + 2);
    menus = in.u8(pointerOffset + pgc::kLuMenuMask);
    unitStart = in.u32(pointerOffset + pgc::kLuStart);
    parse(table, unitStart, budget);
}

CIfoPgciUt::CIfoPgciUt(ByteSpan table) {
    const ByteReader in(table);
    header = ListHeader::parse(in, 0);
    const std::size_t n =
        recordsInside(in, pgc::kListEntries, CIfoPgciLu::kPointerSize, kNoLimit, header.count);
    ParseBudget budget(table.size());
    for (std::size_t i = 0; i < n && budget.spend(CIfoPgciLu::kPointerSize, 1); ++i)
        units.push_back(std::make_unique<CIfoPgciLu>(
            table, pgc::kListEntries + i * CIfoPgciLu::kPointerSize, budget));
}

std::size_t CIfoPgciUt::size() const {
    std::size_t n = ListHeader::kSize;
    for (const auto& unit : units) n += CIfoPgciLu::kPointerSize + unit->size();
    return n;
}

std::string CIfoPgciUt::layoutError() const {
    if (std::string e = limitError("PGCI_UT", "number of language units", units.size(), kMaxCount);
        !e.empty())
        return e;
    for (const auto& unit : units)
        if (std::string e = unit->layoutError("PGCI_UT language unit"); !e.empty()) return e;
    return limitError("PGCI_UT", "size in bytes (16-bit offsets)", size(), kMax16BitTable);
}

Serialised CIfoPgciUt::serialise() {
    return serialiseTable(layoutError(), size(), [&](ByteWriter& out) {
        header.store(out, 0, units.size(), size());
        std::size_t running = ListHeader::kSize + CIfoPgciLu::kPointerSize * units.size();
        for (std::size_t i = 0; i < units.size(); ++i) {
            CIfoPgciLu& unit = *units[i];
            unit.unitStart = static_cast<std::uint32_t>(running);
            const std::size_t at = pgc::kListEntries + i * CIfoPgciLu::kPointerSize;
            out.bytes(at + pgc::kLuLanguage, unit.language);
            out.u8(at + pgc::kLuLanguage + 2, unit.languageExtension);
            out.u8(at + pgc::kLuMenuMask, unit.menus);
            out.u32(at + pgc::kLuStart, unit.unitStart);
            unit.write(out, running);
            running += unit.size();
        }
    });
}

CIfoPgciLu* CIfoPgciUt::AddLu() {
    units.push_back(std::make_unique<CIfoPgciLu>());
    return units.back().get();
}

}  // namespace navtab
