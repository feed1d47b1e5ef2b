// Feeds arbitrary sectors through the copy pipeline of VOB Extras: the first bytes choose the
// options (which sub-streams and VOB ids are stripped, which NAV-pack fields are rewritten), the
// rest is cut into 2048-byte sectors that go through the stripping and the VOBU analysis. After
// each new VOBU the pointers that reach only what came so far are relocated, as while a copy still
// holds its output; at the end the rest are, and every VOBU is written back into a copy of its
// NAV pack.
#include "fuzz_support.h"
#include "vob/extras_run.h"
#include "vob/nav_relocation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace navtab::vob;
    constexpr std::size_t kChoices = 4;
    if (size < kChoices) return 0;
    VobJob job;
    ExtrasOptions& o = job.options;
    const std::uint8_t flags = data[0];
    o.stripStreams = flags & 1;
    o.stripVobIds = flags & 2;
    o.correctNavPacks = !(flags & 4);
    o.removeAnglePointers = flags & 8;
    o.adjustAnglePointers = flags & 16;
    o.rebuildPts = flags & 32;
    o.adjustVobuPointers = !(flags & 64);
    o.adjustSyncPointers = !(flags & 128);
    for (std::size_t id = 0; id < 256; ++id) job.strip.keepStreamId[id] = (id ^ data[1]) & 1;
    for (std::size_t n = 0; n < job.subpSlotMayFill.size(); ++n)
        job.subpSlotMayFill[n] = job.audioSlotMayFill[n % 8] = (n ^ data[1]) & 2;
    for (std::size_t id = 0; id < 64; ++id) {
        job.strip.keepVobId[id] = (id ^ data[2]) & 1;
        job.strip.newVobId[id] = static_cast<std::uint16_t>(id / 2);
    }
    job.angles.highestAngle = data[3] % 10;
    for (int a = 0; a < job.angles.highestAngle; ++a) job.angles.vobIds[a].push_back(a + 1);
    std::vector<std::array<std::uint8_t, 2048>> navPacks;
    for (std::size_t at = kChoices; at + 2048 <= size; at += 2048) {
        std::array<std::uint8_t, 2048> sector;
        std::copy_n(data + at, 2048, sector.begin());
        const std::size_t vobus = job.vobus.size();
        ProcessSector(job, sector, nullptr);
        if (sector[17] == 0xBB) navPacks.push_back(sector);
        if (job.vobus.size() > vobus) RelocateWrittenNavPointers(job);
    }
    RelocateNavPointers(job);
    for (std::size_t i = 0; i < job.vobus.size() && i < navPacks.size(); ++i)
        WriteNavPack(job, navPacks[i], job.vobus[i]);
    return 0;
}
