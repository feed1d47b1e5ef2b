// Arbitrary sectors through the copy pipeline of VOB Extras: the first bytes choose the options
// (stripped sub-streams and VOB ids, rewritten NAV-pack fields), the rest is cut into sectors that
// are stripped and analysed. After each new VOBU the pointers that reach only what came so far are
// relocated, as while a copy holds its output; at the end the rest, and each NAV pack rewritten.
#include "fuzz_support.h"
#include "vob/extras_run.h"
#include "vob/nav_relocation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace navtab::vob;
    constexpr std::size_t kChoices = 4;
    if (size < kChoices) return 0;
    VobJob job;
    // One bit of the first byte for each option: a set bit turns it on, or off for the three that
    // are on by default (NAV-pack correction, VOBU and sync pointers).
    using O = ExtrasOptions;
    static constexpr bool O::*kFlags[] = {
        &O::stripStreams,        &O::stripVobIds, &O::correctNavPacks,    &O::removeAnglePointers,
        &O::adjustAnglePointers, &O::rebuildPts,  &O::adjustVobuPointers, &O::adjustSyncPointers};
    for (int bit = 0; bit < 8; ++bit) job.options.*kFlags[bit] = ((data[0] ^ 0xC4) >> bit) & 1;
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
