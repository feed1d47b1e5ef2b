// TT_SRPT (VMG_PTT_SRPT), the title search pointer table of the video manager: one entry per
// title of the disc naming its title set, its title number there, angles, chapters and sector.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/ifo_classes_common.h"
#include "core/layout/title_tables_layout.h"

namespace navtab {

class CIfoTitle {
  public:
    static constexpr std::size_t kSize = vmg_ptt::kTitleSize;

    // A new title: one sequential PGC with jump/link/call commands in its pre/post commands
    // (playback type 20), one angle, title 1 of title set 1.
    CIfoTitle() = default;
    CIfoTitle(ByteSpan table, std::size_t offset);

    std::size_t size() const { return kSize; }
    void write(ByteWriter& out, std::size_t offset) const;

    std::uint8_t playbackType = 20;
    std::uint8_t angles = 1;
    std::uint16_t parts = 0;  // number of chapters
    std::uint16_t parentalMask = 0;
    std::uint8_t titleSet = 1;
    std::uint8_t titleInSet = 1;
    std::uint32_t titleSetSector = 0;
};

class CIfoTtSrpt {
  public:
    CIfoTtSrpt() = default;
    explicit CIfoTtSrpt(ByteSpan table);

    std::size_t size() const { return ListHeader::kSize + CIfoTitle::kSize * titles.size(); }
    Serialised serialise();

    CIfoTitle* AddTitle();

    ListHeader header;
    std::vector<std::unique_ptr<CIfoTitle>> titles;
};

}  // namespace navtab
