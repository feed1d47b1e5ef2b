// One opened IFO file held as raw table buffers, exactly as the tables lie in the file, and the
// routines that load such a handle from a file and write it back.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
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

    // The file's bytes as they were read. A save writes them back around the loaded tables, so
    // that gaps between tables, a table that could not be loaded and whatever else the file holds
    // come back as they were. Empty for a handle that was built, not read.
    std::vector<std::uint8_t> image;
    // False when the file was too large to keep; such a handle cannot be saved.
    bool imageKept = true;
    // Why the file did not load as a whole IFO file (a cut management table, a table that could
    // not be read); empty when it did.
    std::vector<std::string> loadProblems;

    bool has(int id) const { return id >= 0 && id < kIfoTableSlots && !table[id].empty(); }
};

// A file larger than this is no IFO file (the largest hold a few megabytes); its bytes are not
// kept, and it cannot be saved.
inline constexpr std::uint64_t kMaxKeptIfoBytes = std::uint64_t{64} << 20;

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

// The bytes a save writes for a handle: the file as it was read, with the management table at
// sector 0 and every loaded table at the sector its pointer names. A save that cannot be placed
// so is refused, and `refusal` says why: a file of neither kind, a table over another one or over
// the management table, a loaded table without a sector, a file too large to have been kept.
struct IfoFileImage {
    std::vector<std::uint8_t> bytes;
    std::string refusal;  // empty when the bytes can be written
    // Set when the last-sector field of the management table does not match the size written.
    std::string endSectorWarning;
    bool ok() const { return refusal.empty(); }
};
IfoFileImage ifoFileImage(const ifo_t& ifo);

// Places one loaded table into `bytes` at `sector`, growing them as needed. Returns the bytes
// placed (0 for an empty slot).
std::size_t ifoWriteTable(std::vector<std::uint8_t>& bytes, const ifo_t& ifo, std::uint32_t sector,
                          int id);

// Writes the whole handle, as ifoFileImage lays it out, to an open, truncated file. A refusal and
// an end-sector mismatch are told through `ui`. Returns false when the save was refused or the
// file system refused a write.
bool ifoWrite(int fd, ifo_t* ifo, UserInteraction& ui);

// The text shown when a file of neither kind is to be saved or repaired.
inline constexpr const char* kNotAnIfoFileText =
    "This file is no IFO file: its identifier is neither \"DVDVIDEO-VMG\" nor "
    "\"DVDVIDEO-VTS\".";

void ifoClose(IfoHandle& ifo);

std::string_view ifoTableName(int id);
// The end address (table size - 1) stored in the table's header; 0 for no bytes.
std::uint32_t ifoTableEnd(int id, const std::uint8_t* tableBytes);
// Bytes held (and written back) for the table: whole sectors, fixed when it was loaded or built.
std::uint32_t ifoTableSize(const ifo_t* ifo, int id);

}  // namespace navtab
