#include "format/table_describer.h"

namespace navtab {

bool beginTable(DescribeContext& ctx, int tableId, std::string_view absentText) {
    ctx.list.ClearFieldList();
    if (!ctx.ifo.has(tableId)) {
        ctx.list.addNote(absentText);
        return false;
    }
    ctx.list.setTableBase(ctx.ifo, ByteRef{tableId, 0});
    return true;
}

std::optional<std::uint32_t> readNumber(const TableRows& rows, std::uint64_t offset,
                                        std::uint32_t width) {
    if (offset > 0xFFFFFFFFu) return std::nullopt;
    const std::uint8_t* p = rows.bytes(static_cast<std::uint32_t>(offset), width);
    if (p == nullptr) return std::nullopt;
    switch (width) {
        case 1:
            return p[0];
        case 2:
            return be16(p);
        case 4:
            return be32(p);
        default:
            return std::nullopt;
    }
}

std::uint32_t describeStartBytes(TableRows& rows, std::string_view label, std::uint32_t first,
                                 std::uint32_t count) {
    std::uint32_t shown = 0;
    while (shown < count && rows.dword(label, shown + 1, first + shown * kStartByteSize)) ++shown;
    return shown;
}

}  // namespace navtab
