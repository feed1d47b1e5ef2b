// Arbitrary bytes and user operations for the DVD navigator. The first byte gives the number of
// operation bytes after it; the rest is every table of a video manager and a title set at once
// (each reading the same bytes from its own start) and the VOB file of every domain, so cells, NAV
// packs and buttons come from it too. Each operation byte plays a few steps, then operates.
#include "core/ifo_main.h"
#include "fuzz_support.h"
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

// Operation byte: the low nibble chooses the operation, the high nibble is its argument.
void operate(Navigator& nav, std::uint8_t op) {
    using Op = void (*)(Navigator&, int);
    static constexpr Op kOps[] = {
        [](Navigator& n, int) { n.stillOff(); },
        [](Navigator& n, int a) { n.selectButton(a); },
        [](Navigator& n, int a) { n.moveSelection(static_cast<Direction>(a & 3)); },
        [](Navigator& n, int) { n.activateButton(); },
        [](Navigator& n, int a) { n.playTitle(a); },
        [](Navigator& n, int a) { n.playPart(1, a); },
        [](Navigator& n, int a) { n.playChapter(a); },
        [](Navigator& n, int) { n.nextChapter(); },
        [](Navigator& n, int) { n.previousChapter(); },
        [](Navigator& n, int a) { n.menuCall(a & 7); },
        [](Navigator& n, int) { n.resume(); },
        [](Navigator& n, int a) { n.selectAudio(a); },
        [](Navigator& n, int a) { n.selectAngle(a); },
        [](Navigator& n, int) { n.stop(); },
    };
    if ((op & 0x0F) < std::size(kOps)) kOps[op & 0x0F](nav, op >> 4);
}

}  // namespace

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
