// VMG_VTS_ATRT, the video manager's copy of every title set's category and stream attributes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/ifo_classes_attr.h"
#include "core/ifo_classes_common.h"
#include "core/layout/title_tables_layout.h"

namespace navtab {

// One title set's attribute record (VTS_ATR), always 776 bytes.
class CIfoVtsAttributes {
  public:
    static constexpr std::size_t kSize = 776;

    CIfoVtsAttributes() = default;
    // Takes as many attribute records as the counts say, at most as many as the record has room
    // for.
    CIfoVtsAttributes(ByteSpan table, std::size_t offset);

    std::size_t size() const { return kSize; }
    std::string layoutError() const;
    void write(ByteWriter& out, std::size_t offset) const;

    CIfoAudioAttr* AddMenuAudio();
    CIfoSubpAttr* AddMenuSubp();
    CIfoAudioAttr* AddTitleAudio();
    CIfoSubpAttr* AddTitleSubp();

    std::uint32_t category = 0;
    std::uint16_t menuVideo = 0;
    std::uint16_t titleVideo = 0;
    std::vector<std::unique_ptr<CIfoAudioAttr>> menuAudio;
    std::vector<std::unique_ptr<CIfoSubpAttr>> menuSubp;
    std::vector<std::unique_ptr<CIfoAudioAttr>> titleAudio;
    std::vector<std::unique_ptr<CIfoSubpAttr>> titleSubp;
};

class CIfoVtsAtrt {
  public:
    static constexpr std::size_t kPointerSize = 4;

    // A new table announces one title set (end address 787) until it is serialised.
    CIfoVtsAtrt();
    explicit CIfoVtsAtrt(ByteSpan table);

    std::size_t size() const {
        return ListHeader::kSize + (kPointerSize + CIfoVtsAttributes::kSize) * titleSets.size();
    }
    std::string layoutError() const;
    Serialised serialise();

    CIfoVtsAttributes* AddTitleSet();

    ListHeader header;
    std::vector<std::unique_ptr<CIfoVtsAttributes>> titleSets;
};

}  // namespace navtab
