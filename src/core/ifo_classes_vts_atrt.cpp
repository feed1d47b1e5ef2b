#include "core/ifo_classes_vts_atrt.h"

#include <algorithm>
#include <limits>

namespace navtab {
namespace {

constexpr std::size_t kMaxTitleSets = 99;

// The video word and stream records of one group (menu or title) of a VTS_ATR record; the
// counts are bounded by the room the record has.
void parseGroup(ByteSpan table, std::size_t record, const vts_atrt::StreamGroup& group,
                std::uint16_t& video, AttrList<CIfoAudioAttr>& audio,
                AttrList<CIfoSubpAttr>& subp) {
    const ByteReader in(table);
    video = in.u16(record + group.video);
    parseAttrRecords(table, record + group.audio,
                     std::min<std::size_t>(in.u8(record + group.audioCount), group.audioSlots),
                     audio);
    parseAttrRecords(table, record + group.subpicture,
                     std::min<std::size_t>(in.u8(record + group.subpCount), group.subpSlots), subp);
}

void writeGroup(ByteWriter& out, std::size_t record, const vts_atrt::StreamGroup& group,
                std::uint16_t video, const AttrList<CIfoAudioAttr>& audio,
                const AttrList<CIfoSubpAttr>& subp) {
    out.u16(record + group.video, video);
    out.u8(record + group.audioCount, static_cast<std::uint8_t>(audio.size()));
    writeAttrRecords(out, record + group.audio, audio);
    out.u8(record + group.subpCount, static_cast<std::uint8_t>(subp.size()));
    writeAttrRecords(out, record + group.subpicture, subp);
}

}  // namespace

CIfoVtsAttributes::CIfoVtsAttributes(ByteSpan table, std::size_t offset) {
    category = ByteReader(table).u32(offset + vts_atrt::kCategory);
    parseGroup(table, offset, vts_atrt::kMenu, menuVideo, menuAudio, menuSubp);
    parseGroup(table, offset, vts_atrt::kTitle, titleVideo, titleAudio, titleSubp);
}

std::string CIfoVtsAttributes::layoutError() const {
    return streamRecordsError("VTS_ATR", {{menuAudio.size(), vts_atrt::kMenu.audioSlots},
                                          {menuSubp.size(), vts_atrt::kMenu.subpSlots},
                                          {titleAudio.size(), vts_atrt::kTitle.audioSlots},
                                          {titleSubp.size(), vts_atrt::kTitle.subpSlots}});
}

void CIfoVtsAttributes::write(ByteWriter& out, std::size_t offset) const {
    out.u32(offset + vts_atrt::kRecordEndByte, static_cast<std::uint32_t>(kSize - 1));
    out.u32(offset + vts_atrt::kCategory, category);
    writeGroup(out, offset, vts_atrt::kMenu, menuVideo, menuAudio, menuSubp);
    writeGroup(out, offset, vts_atrt::kTitle, titleVideo, titleAudio, titleSubp);
}

CIfoAudioAttr* CIfoVtsAttributes::AddMenuAudio() {
    return addAttrRecord(menuAudio);
}
CIfoSubpAttr* CIfoVtsAttributes::AddMenuSubp() {
    return addAttrRecord(menuSubp);
}
CIfoAudioAttr* CIfoVtsAttributes::AddTitleAudio() {
    return addAttrRecord(titleAudio);
}
CIfoSubpAttr* CIfoVtsAttributes::AddTitleSubp() {
    return addAttrRecord(titleSubp);
}

CIfoVtsAtrt::CIfoVtsAtrt() {
    header.count = 1;
    header.endAddress = 787;
}

CIfoVtsAtrt::CIfoVtsAtrt(ByteSpan table) {
    const ByteReader in(table);
    header = ListHeader::parse(in, 0);
    // A disc holds at most 99 title sets (VTS_01 to VTS_99); a larger count is damage, and each
    // record it names would be a 776-byte copy to keep and write.
    const std::size_t n = recordsInside(in, vts_atrt::kFirstRecord, kPointerSize,
                                        std::numeric_limits<std::size_t>::max(),
                                        std::min<std::size_t>(header.count, kMaxTitleSets));
    titleSets.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        titleSets.push_back(std::make_unique<CIfoVtsAttributes>(
            table, in.u32(vts_atrt::kFirstRecord + i * kPointerSize)));
}

std::string CIfoVtsAtrt::layoutError() const {
    if (std::string e =
            limitError("VMG_VTS_ATRT", "number of title sets", titleSets.size(), 0xFFFF);
        !e.empty())
        return e;
    for (const auto& set : titleSets)
        if (std::string e = set->layoutError(); !e.empty()) return e;
    return {};
}

Serialised CIfoVtsAtrt::serialise() {
    return serialiseTable(layoutError(), size(), [&](ByteWriter& out) {
        header.store(out, 0, titleSets.size(), size());
        std::size_t record = vts_atrt::kFirstRecord + kPointerSize * titleSets.size();
        for (std::size_t i = 0; i < titleSets.size(); ++i) {
            out.u32(vts_atrt::kFirstRecord + i * kPointerSize, static_cast<std::uint32_t>(record));
            titleSets[i]->write(out, record);
            record += CIfoVtsAttributes::kSize;
        }
    });
}

CIfoVtsAttributes* CIfoVtsAtrt::AddTitleSet() {
    titleSets.push_back(std::make_unique<CIfoVtsAttributes>());
    return titleSets.back().get();
}

}  // namespace navtab
