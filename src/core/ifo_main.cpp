#include "core/ifo_main.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "core/bytes.h"
#include "core/misc.h"
#include "core/user_interaction.h"

namespace navtab {
namespace {

constexpr const char* kSource = "ifo_main";

bool identifierIs(const ifo_t* ifo, const char* id) {
    return ifo != nullptr && ifo->table[ID_MAT].size() >= kMatIdentifierLength &&
           std::memcmp(ifo->table[ID_MAT].data() + kMatIdentifier, id, kMatIdentifierLength) == 0;
}

std::uint32_t matField(const ifo_t* ifo, std::uint32_t offset) {
    return be32(ifo->table[ID_MAT].data() + offset);
}

// Keeps the file's bytes for the save, unless the file is too large to be an IFO file.
void keepImage(ifo_t& ifo) {
    const std::uint64_t size = ifo.fileSize > ifo.pos ? ifo.fileSize - ifo.pos : 0;
    if (size > kMaxKeptIfoBytes) {
        ifo.imageKept = false;
        return;
    }
    try {
        ifo.image.assign(size, 0);
    } catch (const std::bad_alloc&) {
        ifo.imageKept = false;
        return;
    }
    const long long got = readAt(ifo.fd, ifo.pos, size, ifo.image.data());
    if (got < 0) {
        ifo.image.clear();
        ifo.imageKept = false;
        return;
    }
    ifo.image.resize(static_cast<std::size_t>(got));
}

// Where one table lies in the file being written, from its first byte to behind its last.
struct Placement {
    std::uint64_t start;
    std::uint64_t end;
    std::string_view name;
};

}  // namespace

int ifoIsVTS(const ifo_t* ifo) {
    return identifierIs(ifo, "DVDVIDEO-VTS") ? 0 : -1;
}
int ifoIsVMG(const ifo_t* ifo) {
    return identifierIs(ifo, "DVDVIDEO-VMG") ? 0 : -1;
}

IfoKind ifoKind(const ifo_t* ifo) {
    if (ifoIsVTS(ifo) == 0) return IfoKind::Vts;
    if (ifoIsVMG(ifo) == 0) return IfoKind::Vmg;
    return IfoKind::Unknown;
}

std::string_view ifoTableName(int id) {
    auto loc = tableLocation(id);
    return loc ? loc->name : std::string_view{};
}

std::uint32_t ifoTableEnd(int id, const std::uint8_t* tableBytes) {
    if (tableBytes == nullptr) return 0;
    auto loc = tableLocation(id);
    return be32(tableBytes + (loc ? loc->endWord : 4));
}

std::uint32_t ifoTableSize(const ifo_t* ifo, int id) {
    if (ifo == nullptr || !ifo->has(id)) return 0;
    return static_cast<std::uint32_t>(ifo->table[id].size());
}

IfoHandle ifoOpen(int fd, std::uint32_t offsetLow, std::uint32_t offsetHigh) {
    IfoHandle ifo;
    try {
        ifo = std::make_unique<ifo_t>();
    } catch (const std::bad_alloc&) {
        NAVTAB_DIAG(kSource, "memory squeeze (ifo)\n");
        return nullptr;
    }
    try {
        ifo->table[ID_MAT].assign(kSectorSize, 0);
    } catch (const std::bad_alloc&) {
        NAVTAB_DIAG(kSource, "memory squeeze (data)\n");
        return nullptr;
    }
    ifo->pos = (std::uint64_t{offsetHigh} << 32) | offsetLow;
    ifo->fd = fd;
    ifo->fileSize = fileSizeOf(fd).value_or(0);

    const long long got = readAt(fd, ifo->pos, kSectorSize, ifo->table[ID_MAT].data());
    if (got < 0) {
        NAVTAB_DIAG(kSource, "something went wrong when reading file.\n");
        return nullptr;
    }
    if (got < static_cast<long long>(kSectorSize))
        ifo->loadProblems.push_back("the file holds only " + std::to_string(got) +
                                    " bytes of its 2048-byte management table");
    keepImage(*ifo);

    // Every table is located by the management table; a table that cannot be read stays absent.
    const bool hasMenus = matField(ifo.get(), kMatMenuVobsStart) != 0;
    for (const auto& t : tablesOf(ifoKind(ifo.get()))) {
        const std::uint32_t sector = matField(ifo.get(), t.matPointer);
        if (ifoReadLB(ifo.get(), sector, t.id) == 0) continue;
        if (sector != 0)
            ifo->loadProblems.push_back(std::string(t.name) + " could not be loaded from sector " +
                                        std::to_string(sector));
        else if (t.need == TableNeed::Always || (t.need == TableNeed::WithMenus && hasMenus))
            ifo->loadProblems.push_back(std::string(t.name) + " is missing");
    }
    return ifo;
}

int ifoReadLB(ifo_t* ifo, std::uint32_t sector, int id) {
    if (sector == 0 || id <= ID_MAT || id >= kIfoTableSlots) return -1;
    const std::uint64_t start = ifo->pos + std::uint64_t{sector} * kSectorSize;
    // A damaged management table may point anywhere; never read, nor size a buffer, by a pointer
    // or end address that leads outside the file.
    if (start >= ifo->fileSize) {
        NAVTAB_DIAG(kSource,
                    "%s: start sector %u lies beyond the end of the file; table skipped.\n",
                    std::string(ifoTableName(id)).c_str(), sector);
        return -1;
    }
    std::vector<std::uint8_t> buffer;
    try {
        buffer.assign(kSectorSize, 0);
    } catch (const std::bad_alloc&) {
        errno = ENOMEM;
        reportSystemError("malloc");
        return -1;
    }
    if (readAt(ifo->fd, start, kSectorSize, buffer.data()) < 1) {
        reportSystemError("ifoReadLB");
        return -1;
    }
    const std::uint32_t end = ifoTableEnd(id, buffer.data());
    if (start + end + 1 > ifo->fileSize) {
        NAVTAB_DIAG(kSource,
                    "%s: end address %u reaches beyond the end of the file; table skipped.\n",
                    std::string(ifoTableName(id)).c_str(), end);
        return -1;
    }
    if (end >= kSectorSize) {
        const std::uint64_t size = roundToSector(std::uint64_t{end} + 1);
        try {
            buffer.assign(size, 0);
        } catch (const std::bad_alloc&) {
            errno = ENOMEM;
            reportSystemError("realloc");
            return -1;
        }
        if (readAt(ifo->fd, start, size, buffer.data()) < 1) {
            reportSystemError("ifoReadLB");
            return -1;
        }
    }
    ifo->table[id] = std::move(buffer);
    return 0;
}

std::size_t ifoWriteTable(std::vector<std::uint8_t>& bytes, const ifo_t& ifo, std::uint32_t sector,
                          int id) {
    if (!ifo.has(id)) return 0;
    const auto& buffer = ifo.table[id];
    const std::uint64_t start = std::uint64_t{sector} * kSectorSize;
    if (bytes.size() < start + buffer.size()) bytes.resize(start + buffer.size(), 0);
    std::copy(buffer.begin(), buffer.end(), bytes.begin() + static_cast<std::ptrdiff_t>(start));
    return buffer.size();
}

IfoFileImage ifoFileImage(const ifo_t& ifo) {
    IfoFileImage out;
    const IfoKind kind = ifoKind(&ifo);
    if (kind == IfoKind::Unknown) {
        out.refusal = std::string(kNotAnIfoFileText) + "\nRepair its identifier before saving.";
        return out;
    }
    if (!ifo.imageKept) {
        out.refusal = "The file is too large to be an IFO file; it cannot be saved.";
        return out;
    }
    const auto& mat = ifo.table[ID_MAT];
    // Where each table goes: never over the management table, another table, or so far beyond
    // the file that only a damaged pointer can mean it.
    std::vector<Placement> placed{{0, mat.size(), "the management table"}};
    std::uint64_t reach = std::max<std::uint64_t>(roundToSector(ifo.image.size()), mat.size());
    for (const auto& t : tablesOf(kind)) reach += ifoTableSize(&ifo, t.id);
    for (const auto& t : tablesOf(kind)) {
        if (!ifo.has(t.id)) continue;
        const std::uint32_t sector = matField(&ifo, t.matPointer);
        const Placement p{std::uint64_t{sector} * kSectorSize,
                          std::uint64_t{sector} * kSectorSize + ifo.table[t.id].size(), t.name};
        if (sector == 0) {
            out.refusal = "Can't save: " + std::string(t.name) +
                          " is loaded, but the management table gives it no sector.";
            return out;
        }
        if (p.end > reach) {
            out.refusal = "Can't save: " + std::string(t.name) + " would start at sector " +
                          std::to_string(sector) + ", far beyond the end of the file.";
            return out;
        }
        for (const Placement& other : placed)
            if (p.start < other.end && other.start < p.end) {
                out.refusal = "Can't save: " + std::string(t.name) + " would overlap " +
                              std::string(other.name) + ".";
                return out;
            }
        placed.push_back(p);
    }

    out.bytes = ifo.image;
    if (out.bytes.size() < mat.size()) out.bytes.resize(mat.size(), 0);
    std::copy(mat.begin(), mat.end(), out.bytes.begin());
    for (const auto& t : tablesOf(kind))
        ifoWriteTable(out.bytes, ifo, matField(&ifo, t.matPointer), t.id);

    const std::uint64_t sectors = roundToSector(out.bytes.size()) / kSectorSize;
    if (sectors - 1 != matField(&ifo, kMatLastSectorOfIfo))
        out.endSectorWarning =
            "There's something wrong!\n The IFO Endsector does not match the file size.";
    return out;
}

bool ifoWrite(int fd, ifo_t* ifo, UserInteraction& ui) {
    const IfoFileImage image = ifoFileImage(*ifo);
    if (!image.ok()) {
        ui.message(image.refusal);
        return false;
    }
    if (writeAll(fd, image.bytes.size(), image.bytes.data()) < 0) return false;
    ifo->pos = image.bytes.size();
    if (!image.endSectorWarning.empty()) ui.message(image.endSectorWarning);
    return true;
}

void ifoClose(IfoHandle& ifo) {
    ifo.reset();
}

}  // namespace navtab
