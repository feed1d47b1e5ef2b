// The tables that reach program chains through search pointers: the title PGC table VTS_PGCIT and
// the menu PGCI unit tables VMGM_PGCI_UT and VTSM_PGCI_UT, whose language units each hold a PGC
// table of their own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/ifo_classes_common.h"
#include "core/ifo_classes_pgc.h"

namespace navtab {

// One PGC search pointer and the PGC it points to.
class CIfoPgciSrp {
  public:
    static constexpr std::size_t kSize = pgc::kListEntrySize;

    CIfoPgciSrp();
    // Parses the pointer at `offset`; its PGC start counts from `base`, the start of its list.
    CIfoPgciSrp(ByteSpan table, std::size_t offset, std::size_t base);

    // The pointer and its PGC.
    std::size_t size() const { return kSize + (pgc ? pgc->size() : 0); }

    std::uint8_t entry = 0x81;  // entry flag and title number (title PGCs) or menu type
    std::uint8_t block = 0;
    std::uint16_t parentalMask = 0;
    std::uint32_t pgcStart = 0;  // from the start of the list; set when the list is written
    std::unique_ptr<CIfoPgc> pgc;
};

// A list of PGC search pointers behind a list header, followed by the PGCs: the layout of
// VTS_PGCIT and of each language unit of a PGCI unit table.
class CIfoPgcList {
  public:
    CIfoPgcList() = default;

    // Header, pointers and PGCs.
    std::size_t size() const;
    std::string layoutError(std::string_view table) const;
    // Stores the header words and PGC offsets and writes the list at `offset`.
    void write(ByteWriter& out, std::size_t offset);

    // Appends a search pointer with a new empty PGC, or with the PGC given.
    CIfoPgciSrp* AddSrp();
    CIfoPgciSrp* AddSrp(std::unique_ptr<CIfoPgc> pgc);

    ListHeader header;
    std::vector<std::unique_ptr<CIfoPgciSrp>> srps;

  protected:
    // Parses the list at `offset`; the PGC starts count from there.
    void parse(ByteSpan table, std::size_t offset, ParseBudget& budget);
};

// VTS_PGCIT.
class CIfoPgcit : public CIfoPgcList {
  public:
    CIfoPgcit() = default;
    explicit CIfoPgcit(ByteSpan table);

    Serialised serialise();
};

// One language unit of a PGCI unit table: its search pointer fields and its PGC table.
class CIfoPgciLu : public CIfoPgcList {
  public:
    static constexpr std::size_t kPointerSize = pgc::kListEntrySize;

    CIfoPgciLu() = default;
    // Parses the language-unit pointer at `pointerOffset` and the unit it points to (its start
    // counts from the start of the unit table, which is the start of `table`).
    CIfoPgciLu(ByteSpan table, std::size_t pointerOffset);
    CIfoPgciLu(ByteSpan table, std::size_t pointerOffset, ParseBudget& budget);

    std::array<std::uint8_t, 2> language{};  // ISO 639 letters as they stand
    std::uint8_t languageExtension = 0;
    std::uint8_t menus = 0;       // menu existence bits
    std::uint32_t unitStart = 0;  // from the start of the unit table; set when it is written
};

// VMGM_PGCI_UT or VTSM_PGCI_UT.
class CIfoPgciUt {
  public:
    CIfoPgciUt() = default;
    explicit CIfoPgciUt(ByteSpan table);

    std::size_t size() const;
    std::string layoutError() const;
    Serialised serialise();

    CIfoPgciLu* AddLu();

    ListHeader header;
    std::vector<std::unique_ptr<CIfoPgciLu>> units;
};

}  // namespace navtab
