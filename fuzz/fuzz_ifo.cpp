// Feeds arbitrary bytes to the loader as an IFO file, then shows its overview, one of its tables
// and one program chain of that table, runs the repairs on it (every overview line offered
// to Delete Playback, the masks removed, the sector addresses corrected against a fixed folder)
// and decodes the bytes as navigation commands.
#include <sys/mman.h>
#include <unistd.h>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/bytes.h"
#include "core/document.h"
#include "core/misc.h"
#include "format/describe.h"
#include "format/file_tree.h"
#include "navcmd/nav_command.h"
#include "repair/delete_playback.h"
#include "repair/prohibited_uops.h"
#include "repair/sector_correction.h"

// The loader tells on standard error what it skips; for a fuzzer that would be millions of lines
// and most of its time.
extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    navtab::setDiagnosticsQuiet(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i + navtab::kNavCommandSize <= size && i < 4096;
         i += navtab::kNavCommandSize)
        navtab::DecodeNavCommand(data + i);

    int fd = memfd_create("ifo", MFD_CLOEXEC);
    if (fd < 0) return 0;
    if (write(fd, data, size) != static_cast<ssize_t>(size)) {
        close(fd);
        return 0;
    }
    navtab::IfoHandle ifo = navtab::ifoOpen(fd, 0, 0);
    close(fd);
    if (!ifo) return 0;
    navtab::Workspace workspace;
    navtab::IfoDocument& doc = navtab::AddFileToTree(workspace, "fuzz.IFO", std::move(ifo));
    // The overview, then one table and one of the program chains it leads to. Showing every node
    // of every input would spend most of the time on the management table and the same few rows;
    // which nodes are shown follows the input's length, which the fuzzer changes all the time.
    navtab::FieldList overview;
    overview.showReserved = true;
    overview.copyMode = true;
    navtab::DescribeNode(*doc.ifo, overview, doc.root);
    if (!doc.root.children.empty()) {
        navtab::FieldList list;
        list.showReserved = true;
        const std::size_t tables = doc.root.children.size();
        navtab::TreeNode& table = *doc.root.children[size % tables];
        navtab::DescribeNode(*doc.ifo, list, table);  // adds the table's program-chain nodes
        if (!table.children.empty())
            navtab::DescribeNode(*doc.ifo, list,
                                 *table.children[(size / tables) % table.children.size()]);
    }

    for (const navtab::FieldRow& row : overview.rows())
        if (row.data) navtab::repair::DeletePlayback(*doc.ifo, *row.data);
    navtab::repair::RemoveProhibitedUops(*doc.ifo);
    static const navtab::repair::DiscListing listing({{"VIDEO_TS.IFO", 6 * 2048},
                                                      {"VIDEO_TS.VOB", 20 * 2048},
                                                      {"VTS_01_0.IFO", 9 * 2048},
                                                      {"VTS_01_1.VOB", 400 * 2048},
                                                      {"VTS_01_0.BUP", 9 * 2048}});
    navtab::repair::CorrectVmgiMat(*doc.ifo, listing);
    navtab::repair::CorrectTitleSearchPointers(*doc.ifo, listing);
    navtab::repair::CorrectVtsiMat(*doc.ifo, listing, "VTS_01_0.IFO");

    // A save lays every loaded table at the sector its pointer names and keeps every other byte
    // of the input, or refuses.
    const navtab::IfoFileImage image = navtab::ifoFileImage(*doc.ifo);
    if (!image.ok()) return 0;
    std::vector<bool> loaded(std::max(size, image.bytes.size()), false);
    std::fill_n(loaded.begin(), std::min<std::size_t>(loaded.size(), navtab::kSectorSize), true);
    for (const auto& t : navtab::tablesOf(navtab::ifoKind(doc.ifo.get()))) {
        if (!doc.ifo->has(t.id)) continue;
        const auto& table = doc.ifo->table[t.id];
        const std::uint64_t at =
            std::uint64_t{navtab::be32(&doc.ifo->table[navtab::ID_MAT][t.matPointer])} *
            navtab::kSectorSize;
        if (at + table.size() > image.bytes.size() ||
            std::memcmp(image.bytes.data() + at, table.data(), table.size()) != 0)
            __builtin_trap();
        std::fill_n(loaded.begin() + static_cast<std::ptrdiff_t>(at), table.size(), true);
    }
    for (std::size_t i = 0; i < size; ++i)
        if (!loaded[i] && (i >= image.bytes.size() || image.bytes[i] != data[i])) __builtin_trap();
    return 0;
}
