#include "core/ifo_classes_attr.h"

#include "core/ifo_classes_common.h"

namespace navtab {

CIfoAudioAttr::CIfoAudioAttr(std::span<const std::uint8_t> table, std::size_t offset) {
    ByteReader(table).copy(offset, bytes);
}

CIfoSubpAttr::CIfoSubpAttr(std::span<const std::uint8_t> table, std::size_t offset) {
    ByteReader(table).copy(offset, bytes);
}

std::string streamRecordsError(std::string_view table,
                               std::initializer_list<std::pair<std::size_t, std::size_t>> lists) {
    for (const auto& [held, room] : lists)
        if (std::string e = limitError(table, "number of stream records", held, room); !e.empty())
            return e;
    return {};
}

}  // namespace navtab
