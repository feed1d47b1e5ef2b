// Where the program chains of a file lie: the PGC records that a menu PGCI unit table
// (VMGM_PGCI_UT, VTSM_PGCI_UT) or the title PGC table (VTS_PGCITI) points at. The repair commands
// walk these to change PGC records in place. Start bytes come from the file and are not trusted:
// each location says whether its record's header lies inside the table.
#pragma once

#include <cstdint>
#include <vector>

namespace navtab::repair {

struct PgcLocation {
    int unit = 0;              // language unit from 1; 0 in VTS_PGCITI
    int number = 0;            // PGC number from 1, counted anew in each language unit
    std::uint64_t offset = 0;  // first byte of the record in the table
};

struct PgcLocations {
    std::vector<PgcLocation> pgcs;
    std::vector<int> unitsOutside;  // language units whose start lies outside the table
};

// The PGCs of a menu PGCI unit table, unit by unit in table order, as far as their search
// pointers lie inside the table. Units whose PGC lists overlap are followed only within a budget
// of one location per eight table bytes, so a damaged table cannot multiply them without bound.
PgcLocations menuPgcLocations(const std::vector<std::uint8_t>& table);
// The PGCs of VTS_PGCITI, as far as their search pointers lie inside the table.
PgcLocations titlePgcLocations(const std::vector<std::uint8_t>& table);

// True when `width` bytes at `offset` + `at` lie inside a table of `size` bytes.
inline bool recordBytesInside(std::uint64_t size, std::uint64_t offset, std::uint32_t at,
                              std::uint32_t width) {
    return offset + at + width <= size;
}

}  // namespace navtab::repair
