// One opened IFO file held as raw table buffers, exactly as the tables lie in the file, and the
// routines that load such a handle from a file and write it back.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "core/ifo_tables.h"

namespace navtab {

class UserInteraction;

struct ifo_t {
    // One buffer per table id; an empty buffer means the table is absent or could not be read.
    // Slot 0 always holds the 2048-byte management table. Every other buffer holds whole sectors.
    std::array<std::vector<std::uint8_t>, kIfoTableSlots> table;
    int fd = -1;            // the descriptor being read or written; only valid during that call
    std::uint64_t pos = 0;  // start of the IFO at load time; running byte count while writing
    std::uint64_t fileSize = 0;  // size of the file it was loaded from, the bound for every table

    bool has(int id) const { return id >= 0 && id < kIfoTableSlots && !table[id].empty(); }
};

using IfoHandle = std::unique_ptr<ifo_t>;

// Both return 0 for "yes" and -1 for "no".
int ifoIsVTS(const ifo_t* ifo);
int ifoIsVMG(const ifo_t* ifo);
IfoKind ifoKind(const ifo_t* ifo);

// Reads the management table at the given start offset and every table it points to.
// Returns null when the management table cannot be read.
IfoHandle ifoOpen(int fd, std::uint32_t offsetLow, std::uint32_t offsetHigh);

// Loads one table from a sector of the file into its slot. Returns 0 or -1.
int ifoReadLB(ifo_t* ifo, std::uint32_t sector, int id);

// Writes the whole handle to an open, truncated file: the management table, then every present
// table in id order. Position and end-sector mismatches are reported through `ui` and do not stop
// the write. Returns false when the file system refused a write.
bool ifoWrite(int fd, ifo_t* ifo, UserInteraction& ui);

// Writes one table, checking that it lands at the sector the management table says. Returns the
// bytes written, 0 for an empty slot, -1 when the write failed.
long long ifoWriteTable(int fd, ifo_t* ifo, std::uint32_t expectedSector, int id,
                        UserInteraction& ui);

void ifoClose(IfoHandle& ifo);

std::string_view ifoTableName(int id);
// The end address (table size - 1) stored in the table's header; 0 for no bytes.
std::uint32_t ifoTableEnd(int id, const std::uint8_t* tableBytes);
// Bytes held (and written back) for the table: whole sectors, fixed when it was loaded or built.
std::uint32_t ifoTableSize(const ifo_t* ifo, int id);

}  // namespace navtab
