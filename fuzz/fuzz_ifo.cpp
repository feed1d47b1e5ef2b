// Feeds arbitrary bytes to the loader as an IFO file, then shows its overview, one of its tables
// and one program chain of that table, runs the repairs on it (every overview line offered
// to Delete Playback, the masks removed, the sector addresses corrected against a fixed folder)
// and decodes the bytes as navigation commands.
#include "core/bytes.h"
#include "core/document.h"
#include "format/describe.h"
#include "format/file_tree.h"
#include "fuzz_support.h"
#include "navcmd/nav_command.h"
#include "repair/delete_playback.h"
#include "repair/prohibited_uops.h"
#include "repair/sector_correction.h"

using namespace navtab;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i + kNavCommandSize <= size && i < 4096; i += kNavCommandSize)
        DecodeNavCommand(data + i);
    const MemoryFile file(data, size);
    if (!file.ok()) return 0;
    IfoHandle ifo = ifoOpen(file.fd(), 0, 0);
    if (!ifo) return 0;
    Workspace workspace;
    IfoDocument& doc = AddFileToTree(workspace, "fuzz.IFO", std::move(ifo));
    // The overview, then one table and one of the program chains it leads to. Showing every node
    // of every input would spend most of the time on the management table and the same few rows;
    // which nodes are shown follows the input's length, which the fuzzer changes all the time.
    FieldList overview;
    overview.showReserved = true;
    overview.copyMode = true;
    DescribeNode(*doc.ifo, overview, doc.root);
    if (!doc.root.children.empty()) {
        FieldList list;
        list.showReserved = true;
        const std::size_t tables = doc.root.children.size();
        TreeNode& table = *doc.root.children[size % tables];
        DescribeNode(*doc.ifo, list, table);  // adds the table's program-chain nodes
        if (!table.children.empty())
            DescribeNode(*doc.ifo, list, *table.children[(size / tables) % table.children.size()]);
    }
    for (const FieldRow& row : overview.rows())
        if (row.data) repair::DeletePlayback(*doc.ifo, *row.data);
    repair::RemoveProhibitedUops(*doc.ifo);
    static const repair::DiscListing listing({{"VIDEO_TS.IFO", 6 * 2048},
                                              {"VIDEO_TS.VOB", 20 * 2048},
                                              {"VTS_01_0.IFO", 9 * 2048},
                                              {"VTS_01_1.VOB", 400 * 2048},
                                              {"VTS_01_0.BUP", 9 * 2048}});
    repair::CorrectVmgiMat(*doc.ifo, listing);
    repair::CorrectTitleSearchPointers(*doc.ifo, listing);
    repair::CorrectVtsiMat(*doc.ifo, listing, "VTS_01_0.IFO");
    // A save lays every loaded table at the sector its pointer names and keeps every other byte
    // of the input, or refuses.
    const IfoFileImage image = ifoFileImage(*doc.ifo);
    if (!image.ok()) return 0;
    std::vector<bool> loaded(std::max(size, image.bytes.size()), false);
    std::fill_n(loaded.begin(), std::min<std::size_t>(loaded.size(), kSectorSize), true);
    for (const auto& t : tablesOf(ifoKind(doc.ifo.get()))) {
        if (!doc.ifo->has(t.id)) continue;
        const auto& table = doc.ifo->table[t.id];
        const std::uint64_t at =
            std::uint64_t{be32(&doc.ifo->table[ID_MAT][t.matPointer])} * kSectorSize;
        if (at + table.size() > image.bytes.size() ||
            std::memcmp(image.bytes.data() + at, table.data(), table.size()) != 0)
            __builtin_trap();
        std::fill_n(loaded.begin() + static_cast<std::ptrdiff_t>(at), table.size(), true);
    }
    for (std::size_t i = 0; i < size; ++i)
        if (!loaded[i] && (i >= image.bytes.size() || image.bytes[i] != data[i])) __builtin_trap();
    return 0;
}
