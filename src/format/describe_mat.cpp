#include <algorithm>

#include "core/bytes.h"
#include "format/describe.h"
#include "format/mat_layout.h"
#include "format/stream_attributes.h"
#include "format/value_format.h"

namespace navtab {
namespace {

bool allZero(const std::uint8_t* p, std::uint32_t n) {
    return std::all_of(p, p + n, [](std::uint8_t b) { return b == 0; });
}

std::string versionText(std::uint8_t v) {
    return formatWithInt("v%d", v >> 4) + formatWithInt(".%d", v & 0x0F);
}

// Adds the rows of one field (or one of a group of records) and the detail rows that follow it.
void describeField(FieldList& list, const MatField& f, int number, ByteRef ref) {
    const std::uint32_t width = matFieldWidth(f);
    const std::uint8_t* bytes = list.bytesAt(ref, width);
    if (bytes == nullptr && f.row != MatRow::Separator) return;

    switch (f.row) {
        case MatRow::Byte:
            list.AddFieldRow(f.label, number, "", kFieldByte, ref, 0);
            break;
        case MatRow::Word:
            list.AddFieldRow(f.label, number, "", kFieldWord, ref, 0);
            break;
        case MatRow::Dword:
            list.AddFieldRow(f.label, number, "", kFieldDword, ref, 0);
            break;
        case MatRow::Text:
            list.AddFieldRow(f.label, number, f.format, kFieldText, ref, width);
            break;
        case MatRow::Bytes:
            list.AddFieldRow(f.label, number, "", kFieldBytes, ref, width);
            break;
        case MatRow::Separator:
            list.addNote(f.label);
            break;
        case MatRow::VersionNote:
            list.AddFieldRow(f.label, number, versionText(bytes[0]), kFieldNote, ref, 0);
            break;
        case MatRow::VersionByte:
            list.AddFieldRow(f.label, number, versionText(bytes[0]), kFieldByte, ref, 0);
            break;
        case MatRow::RegionMask:
            list.AddFieldRow(f.label, number, "", kFieldByte, ref, 0);
            // A set bit n-1 locks region n out; list the regions that may play the disc.
            for (int region = 1; region <= 8; ++region)
                if ((bytes[0] & (1 << (region - 1))) == 0)
                    list.AddFieldRow("  Region: %d enabled.", region, "", kFieldNote, std::nullopt,
                                     0);
            break;
        case MatRow::Video:
            list.AddFieldRow(f.label, number, "", kFieldWord, ref, 0);
            DescribeVideoAttributes(list, bytes);
            break;
        case MatRow::Audio:
            list.AddFieldRow(f.label, number, "", kFieldBytes, ref, width);
            if (!allZero(bytes, width)) DescribeAudioAttributes(list, bytes);
            break;
        case MatRow::Subpicture:
            list.AddFieldRow(f.label, number, "", kFieldBytes, ref, width);
            if (!allZero(bytes, width)) DescribeSubpictureAttributes(list, bytes);
            break;
        case MatRow::Multichannel:
            list.AddFieldRow(f.label, number, "", kFieldBytes, ref, width);
            // Only the first seven bytes carry flags worth a look.
            if (!allZero(bytes, 7)) DescribeMultichannelExtension(list, bytes);
            break;
    }
}

void describeMat(DescribeContext& ctx, std::span<const MatField> layout, const char* absentText) {
    FieldList& list = ctx.list;
    list.ClearFieldList();
    if (!ctx.ifo.has(ID_MAT)) {
        list.addNote(absentText);
        return;
    }
    list.setTableBase(ctx.ifo, ByteRef{ID_MAT, 0});
    for (const MatField& f : layout) {
        const std::uint32_t width = matFieldWidth(f);
        for (int i = 0; i < f.count; ++i)
            describeField(list, f, i + 1,
                          ByteRef{ID_MAT, f.offset + static_cast<std::uint32_t>(i) * width});
    }
}

}  // namespace

void DescribeVmgiMat(DescribeContext& ctx) {
    describeMat(ctx, vmgiMatLayout(), "There is no VMGI_MAT table");
    // The First Play PGC lives inside the management table; give it its own node once.
    if (ctx.ifo.has(ID_MAT) && ctx.node.children.empty()) {
        TreeNode& fp = ctx.node.addChild(NodeKind::Pgc, "First Play PGC");
        fp.pgcSlot = ID_MAT;
        fp.pgcOffset = be32(ctx.ifo.table[ID_MAT].data() + kVmgFirstPlayPgc);
    }
}

void DescribeVtsiMat(DescribeContext& ctx) {
    describeMat(ctx, vtsiMatLayout(), "There is no VTSI_MAT table");
}

}  // namespace navtab
