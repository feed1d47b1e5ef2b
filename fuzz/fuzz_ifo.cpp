// Feeds arbitrary bytes to the loader as an IFO file, then shows every node of its tree (which
// makes and shows the program-chain nodes too), runs the repairs on it (every overview line offered
// to Delete Playback, the masks removed, the sector addresses corrected against a fixed folder)
// and decodes the bytes as navigation commands.
#include <sys/mman.h>
#include <unistd.h>
#include <cstddef>
#include <cstdint>

#include "core/document.h"
#include "format/describe.h"
#include "format/file_tree.h"
#include "navcmd/nav_command.h"
#include "repair/delete_playback.h"
#include "repair/prohibited_uops.h"
#include "repair/sector_correction.h"

namespace {

void describeAll(const navtab::ifo_t& ifo, navtab::FieldList& list, navtab::TreeNode& node) {
    navtab::DescribeNode(ifo, list, node);
    // Showing a table may add children; walk them by index as the vector grows.
    for (std::size_t i = 0; i < node.children.size(); ++i)
        describeAll(ifo, list, *node.children[i]);
}

}  // namespace

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
    navtab::FieldList list;
    list.showReserved = true;
    list.copyMode = true;
    describeAll(*doc.ifo, list, doc.root);

    navtab::FieldList overview;
    navtab::DescribeNode(*doc.ifo, overview, doc.root);
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
    return 0;
}
