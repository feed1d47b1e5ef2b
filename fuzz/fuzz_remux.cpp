// An arbitrary elementary stream and sectors through the re-mux: the first four bytes give the
// length of the stream after them, the rest is cut into 2048-byte source sectors. Every sector
// handed on must be whole, each video pack a PES packet that fills the sector exactly with a
// padding packet behind it when shorter; the kept sectors then go through the VOBU analysis.
#include <cstdlib>

#include "core/bytes.h"
#include "core/user_interaction.h"
#include "fuzz_support.h"
#include "vob/m2v_reader.h"
#include "vob/remux_pack.h"
#include "vob/vobu_analysis.h"

namespace {

struct Silent : navtab::UserInteraction {
    void message(const std::string&) override {}
    bool askYesNo(const std::string&) override { return false; }
};

void checkVideoPack(std::span<const std::uint8_t> s) {
    if (s.size() != 2048) std::abort();
    if (s[17] != 0xE0) return;
    const std::size_t end = 20 + navtab::be16(&s[18]);
    if (end == 2048) return;
    if (end + 6 > 2048 || navtab::be32(&s[end]) != 0x1BE ||
        end + 6 + navtab::be16(&s[end + 4]) != 2048)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace navtab::vob;
    if (size < 4) return 0;
    const std::size_t streamBytes = std::min<std::size_t>(navtab::be32(data), size - 4);
    MemoryFile stream(data + 4, streamBytes);
    if (!stream.ok()) return 0;
    Silent ui;
    M2vReader reader(stream.path(), ui);
    VobJob job;
    job.remux.reader = &reader;
    const KeepSector keep = [&](std::span<std::uint8_t> s, bool) {
        checkVideoPack(s);
        AnalyseVobSector(job, s);
        ++job.sector;
        return true;
    };
    for (std::size_t at = 4 + streamBytes; at + 2048 <= size; at += 2048) {
        std::array<std::uint8_t, 2048> sector;
        std::copy_n(data + at, 2048, sector.begin());
        RemuxPack(job, sector, keep);
    }
    FinishRemux(job, keep);
    return 0;
}
