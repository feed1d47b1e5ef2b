#include "core/ifo_main.h"

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

    if (readAt(fd, ifo->pos, kSectorSize, ifo->table[ID_MAT].data()) < 0) {
        NAVTAB_DIAG(kSource, "something went wrong when reading file.\n");
        return nullptr;
    }
    // Every table is located by the management table; a table that cannot be read stays absent.
    for (const auto& t : tablesOf(ifoKind(ifo.get())))
        ifoReadLB(ifo.get(), matField(ifo.get(), t.matPointer), t.id);
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
        std::perror("malloc");
        return -1;
    }
    if (readAt(ifo->fd, start, kSectorSize, buffer.data()) < 1) {
        std::perror("ifoReadLB");
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
            std::perror("realloc");
            return -1;
        }
        if (readAt(ifo->fd, start, size, buffer.data()) < 1) {
            std::perror("ifoReadLB");
            return -1;
        }
    }
    ifo->table[id] = std::move(buffer);
    return 0;
}

long long ifoWriteTable(int fd, ifo_t* ifo, std::uint32_t expectedSector, int id,
                        UserInteraction& ui) {
    if (!ifo->has(id)) return 0;
    if (ifo->pos / kSectorSize != expectedSector) {
        ui.message(
            "There's something wrong!\n The file position does not match the offset for table: " +
            std::string(ifoTableName(id)));
    }
    const auto& buffer = ifo->table[id];
    return writeAll(fd, buffer.size(), buffer.data());
}

bool ifoWrite(int fd, ifo_t* ifo, UserInteraction& ui) {
    const auto& mat = ifo->table[ID_MAT];
    if (writeAll(fd, mat.size(), mat.data()) < 0) return false;
    ifo->pos = mat.size();
    for (const auto& t : tablesOf(ifoKind(ifo))) {
        long long written = ifoWriteTable(fd, ifo, matField(ifo, t.matPointer), t.id, ui);
        if (written < 0) return false;
        ifo->pos += static_cast<std::uint64_t>(written);
    }
    if (ifo->pos / kSectorSize - 1 != matField(ifo, kMatLastSectorOfIfo))
        ui.message("There's something wrong!\n The IFO Endsector does not match the file size.");
    return true;
}

void ifoClose(IfoHandle& ifo) {
    ifo.reset();
}

}  // namespace navtab
