// Feeds arbitrary bytes and arbitrary user operations to the DVD navigator. The first byte gives
// the number of operation bytes that follow it; the rest is taken as every table of a video
// manager and of one title set at once (each table reads the same bytes from its own start), and
// as the VOB file of every domain, so that the cells, NAV packs and buttons come from them too.
// Each operation byte plays a few steps and then does one user operation.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/ifo_main.h"
#include "core/misc.h"
#include "memory_file.h"
#include "navigator/navigator.h"

namespace {

using namespace navtab;
using namespace navtab::navigator;

ifo_t tablesFrom(const std::vector<std::uint8_t>& bytes, std::initializer_list<int> ids) {
    ifo_t ifo;
    ifo.table[ID_MAT] = bytes;
    ifo.table[ID_MAT].resize(std::max<std::size_t>(bytes.size(), 2048));
    for (int id : ids) ifo.table[id] = bytes;
    return ifo;
}

void operate(Navigator& nav, std::uint8_t op) {
    const int arg = op >> 4;
    switch (op & 0x0F) {
        case 0:
            nav.stillOff();
            break;
        case 1:
            nav.selectButton(arg);
            break;
        case 2:
            nav.moveSelection(static_cast<Direction>(arg & 3));
            break;
        case 3:
            nav.activateButton();
            break;
        case 4:
            nav.playTitle(arg);
            break;
        case 5:
            nav.playPart(1, arg);
            break;
        case 6:
            nav.playChapter(arg);
            break;
        case 7:
            nav.nextChapter();
            break;
        case 8:
            nav.previousChapter();
            break;
        case 9:
            nav.menuCall(arg & 7);
            break;
        case 10:
            nav.resume();
            break;
        case 11:
            nav.selectAudio(arg);
            break;
        case 12:
            nav.selectAngle(arg);
            break;
        case 13:
            nav.stop();
            break;
        default:
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    navtab::setDiagnosticsQuiet(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // At most 64 operations, and a loop guard of 1000 commands: enough to reach every path, few
    // enough that one input runs in milliseconds.
    const std::size_t opCount = std::min<std::size_t>(data[0] & 0x3F, size - 1);
    const std::vector<std::uint8_t> ops(data + 1, data + 1 + opCount);
    const std::vector<std::uint8_t> bytes(data + 1 + opCount, data + size);

    const ifo_t vmg = tablesFrom(bytes, {ID_VMGM_PGCI_UT, ID_VMG_PTT_SRPT});
    const ifo_t vts = tablesFrom(bytes, {ID_VTS_PGCITI, ID_PTT_SRPTI, ID_VTSM_PGCI_UT});
    Disc disc = DiscFromIfos(&vmg, {&vts});
    const MemoryFile vob(bytes.data(), bytes.size());
    if (vob.ok()) {
        disc.menuVob = vob.path();
        disc.titleSets[0].menuVob = vob.path();
        disc.titleSets[0].titleVobs = {vob.path()};
    }
    Navigator nav(disc, 1, 1000);
    nav.setTrace(!ops.empty() && (ops[0] & 1));
    nav.start();
    for (std::size_t i = 0; i <= ops.size(); ++i) {
        for (int s = 0; s < 4 && nav.step() == Status::Running; ++s) {
        }
        nav.takeEvents();
        if (i < ops.size()) operate(nav, ops[i]);
    }
    return 0;
}
