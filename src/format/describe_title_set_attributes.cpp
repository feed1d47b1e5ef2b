// The title-set attribute table of the video manager: for every title set, a copy of its category
// and of the video, audio and sub-picture attributes of its menus and its titles.
#include <algorithm>

#include "format/stream_attributes.h"
#include "format/table_describer.h"
#include "core/layout/title_tables_layout.h"

namespace navtab {
namespace {

struct GroupLabels {
    const char* video;
    const char* audioCount;
    const char* audio;
    const char* subpCount;
    const char* subpicture;
};

constexpr GroupLabels kMenuLabels{
    "  VTS_%d: Video Attributes of Menu (VTSM_VOBS)",
    "  VTS_%d: Number of audio streams in Menu (VTSM_VOBS)",
    "    VTS Menu Audio_%d attributes",
    "  VTS_%d: Number of sub-picture streams in Menu (VTSM_VOBS)",
    "    VTS Menu Sub-picture stream %d attributes",
};

constexpr GroupLabels kTitleLabels{
    "  VTS_%d: Video Attributes of Title (VTSTT_VOBS)",
    "  VTS_%d: Number of audio streams in Title (VTSTT_VOBS)",
    "    VTS Title Audio_%d attributes",
    "  VTS_%d: Number of sub-picture streams in Title (VTSTT_VOBS)",
    "    VTS Title Sub-picture stream %d attributes",
};

// One byte run per record, as many as the count byte says but no more than the group has room
// for: a larger count would read the following fields as attribute records.
void describeRecords(TableRows& rows, std::uint32_t countOffset, std::uint32_t first,
                     std::uint32_t size, std::uint32_t slots, const char* label,
                     EntryBudget& budget) {
    const std::uint32_t count = std::min(readNumber(rows, countOffset, 1).value_or(0), slots);
    for (std::uint32_t i = 0; i < count && budget.take(); ++i)
        rows.run(label, i + 1, first + i * size, size);
}

void describeStreamGroup(TableRows& rows, int vts, const vts_atrt::StreamGroup& g,
                         const GroupLabels& labels, EntryBudget& budget) {
    rows.word(labels.video, vts, g.video);
    rows.byte("  VTS_%d: Reserved", vts, g.reserved1);
    rows.byte(labels.audioCount, vts, g.audioCount);
    describeRecords(rows, g.audioCount, g.audio, kAudioAttrSize, g.audioSlots, labels.audio,
                    budget);
    rows.byte("  VTS_%d: Reserved", vts, g.reserved2);
    rows.byte(labels.subpCount, vts, g.subpCount);
    describeRecords(rows, g.subpCount, g.subpicture, kSubpAttrSize, g.subpSlots, labels.subpicture,
                    budget);
}

void describeRecord(FieldList& list, int vts, std::uint32_t start, EntryBudget& budget) {
    using namespace vts_atrt;
    TableRows rows(list, ByteRef{ID_VMG_VTS_ATRT, start});
    // A record that starts outside the table has nothing to show.
    if (!rows.inside(0, 1)) return;
    rows.note("");
    rows.dword("  VTS_%d: VTS Attribute end byte", vts, kRecordEndByte);
    rows.dword("  VTS_%d: VTS_CAT Application type", vts, kCategory);
    describeStreamGroup(rows, vts, kMenu, kMenuLabels, budget);
    describeStreamGroup(rows, vts, kTitle, kTitleLabels, budget);
}

}  // namespace

void DescribeVmgVtsAtrt(DescribeContext& ctx) {
    using namespace vts_atrt;
    if (!beginTable(ctx, ID_VMG_VTS_ATRT, "There is no VMG_VTS_ATRT table")) return;
    TableRows rows(ctx.list, ByteRef{ID_VMG_VTS_ATRT, 0});
    rows.word("Number of Video Title Sets", 0, kTitleSetCount);
    rows.word("Reserved", 0, kReserved);
    rows.dword("End byte of VTS_ATR table", 0, kEndByte);

    const std::uint32_t count = readNumber(rows, kTitleSetCount, 2).value_or(0);
    const std::uint32_t readable =
        describeStartBytes(rows, "  VTS_%d: Attribute start byte", kFirstRecord, count);
    // Records of different title sets never share bytes in a well-formed table; records that do
    // show no more attribute runs than the table has room for.
    EntryBudget budget(ctx.ifo.table[ID_VMG_VTS_ATRT].size(), kSubpAttrSize);
    for (std::uint32_t v = 1; v <= readable; ++v)
        describeRecord(ctx.list, static_cast<int>(v), *readStartByte(rows, kFirstRecord, v),
                       budget);
}

}  // namespace navtab
