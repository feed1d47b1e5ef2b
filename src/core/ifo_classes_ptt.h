// VTS_PTT_SRPT, the chapter table of a title set: for every title of the set, the PGC and program
// at which each of its chapters (parts of title) begins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/ifo_classes_common.h"
#include "core/layout/title_tables_layout.h"

namespace navtab {

// One part of title.
class CIfoPtt {
  public:
    static constexpr std::size_t kSize = vts_ptt::kPttSize;

    CIfoPtt() = default;
    CIfoPtt(std::uint16_t pgc, std::uint16_t program) : pgcNumber(pgc), programNumber(program) {}
    CIfoPtt(ByteSpan table, std::size_t offset);

    std::size_t size() const { return kSize; }
    void write(ByteWriter& out, std::size_t offset) const;

    std::uint16_t pgcNumber = 0;
    std::uint16_t programNumber = 0;
};

// The parts of one title.
class CIfoPttTitle {
  public:
    CIfoPttTitle() = default;
    // Parses `count` entries from `offset`, as many of them as lie inside the table.
    CIfoPttTitle(ByteSpan table, std::size_t offset, std::size_t count);

    std::size_t size() const { return CIfoPtt::kSize * ptts.size(); }
    void write(ByteWriter& out, std::size_t offset) const;

    CIfoPtt* AddPtt(std::uint16_t pgcNumber, std::uint16_t programNumber);

    std::vector<std::unique_ptr<CIfoPtt>> ptts;
};

class CIfoPttSrpt {
  public:
    CIfoPttSrpt() = default;
    // A title's entries run from its offset up to the next title's offset; the last title's up
    // to the table's end address.
    explicit CIfoPttSrpt(ByteSpan table);

    std::size_t size() const;
    std::string layoutError() const;
    Serialised serialise();

    CIfoPttTitle* AddTitle();

    ListHeader header;
    std::vector<std::unique_ptr<CIfoPttTitle>> titles;
};

}  // namespace navtab
