// Feeds arbitrary bytes to every parser of the IFO object model: each table object is made from
// the bytes, measured and serialised again; the PGCs get cells from the same bytes, the stream
// usage analysis reads them as a title set, and both builders lay out what was parsed.
#include "core/bytes.h"
#include "core/ifo_classes.h"
#include "fuzz_support.h"

using namespace navtab;

namespace {

template <typename Table>
void roundTrip(Table& table) {
    const std::size_t size = table.size();
    const Serialised s = table.serialise();
    // A written table is its size padded to whole sectors; a refused one has no bytes.
    if (s.ok() ? s.bytes.size() != roundToSector(size) : !s.bytes.empty()) __builtin_trap();
}

// A built handle holds every table in whole sectors; a refused build holds nothing.
template <typename Table>
void checkSlot(const ifo_t* ifo, int id, const std::unique_ptr<Table>& table) {
    if (ifo != nullptr && ifo->table[id].size() != roundToSector(table->size())) __builtin_trap();
}

// Each entry class made from the bytes at the start, the middle and the end, and measured.
template <typename... Entry>
void entries(ByteSpan bytes) {
    for (std::size_t offset : {std::size_t{0}, bytes.size() / 2, bytes.size()})
        (void)((Entry(bytes, offset).size() + ...) + CIfoPttTitle(bytes, offset, 16).size());
}

void chainOfCells(ByteSpan bytes) {
    CIfoPgc chain(bytes, 0);
    // Cells from the same bytes, every second one starting a program.
    for (std::size_t at = 0; at < bytes.size() && chain.cells.size() < 300; at += 24)
        chain.AddCell(bytes.subspan(at), static_cast<std::uint16_t>(at),
                      static_cast<std::uint8_t>(at), (at / 24) % 2 == 0);
    chain.AddCommand(CommandGroup::Post, {0x30, 0x01, 0, 0, 0, 0, 0, 0});
    (void)chain.PlaybackTime();
    roundTrip(chain);
}

void streamUsage(ByteSpan bytes) {
    ifo_t vts;
    vts.table[ID_MAT].assign(bytes.begin(), bytes.end());
    vts.table[ID_VTS_PGCITI].assign(bytes.begin(), bytes.end());
    CIfoStreamUsage usage(vts);
    std::array<bool, kAudioStreamCount> audio{};
    std::array<bool, kSubpStreamCount> subp{};
    for (std::size_t i = 0; i < audio.size(); ++i) audio[i] = i < bytes.size() && bytes[i] & 1;
    for (std::size_t i = 0; i < subp.size(); ++i) subp[i] = i < bytes.size() && bytes[i] & 2;
    usage.Compact(audio, subp);
}

// Every table class made from the bytes goes through a builder, whose BuildIfo serialises it.
void builders(ByteSpan bytes) {
    CIfoVtsBuilder vts;
    vts.mat = std::make_unique<CIfoMat>(MatForm::TitleSet, bytes);
    vts.pttSrpt = std::make_unique<CIfoPttSrpt>(bytes);
    vts.pgcit = std::make_unique<CIfoPgcit>(bytes);
    vts.menuPgciUt = std::make_unique<CIfoPgciUt>(bytes);
    vts.tmapt = std::make_unique<CIfoTmapt>(bytes);
    vts.menuCadt = std::make_unique<CIfoCadt>(bytes);
    vts.menuCadt->SortByVob();
    vts.cadt = std::make_unique<CIfoCadt>(bytes);
    vts.vobuAdmap = std::make_unique<CIfoVobuAdmap>(bytes);
    const IfoHandle title = vts.BuildIfo();
    checkSlot(title.get(), ID_PTT_SRPTI, vts.pttSrpt);
    checkSlot(title.get(), ID_VTS_PGCITI, vts.pgcit);
    checkSlot(title.get(), ID_VTSM_PGCI_UT, vts.menuPgciUt);
    checkSlot(title.get(), ID_VTS_TMAPTI, vts.tmapt);
    checkSlot(title.get(), ID_VTS_C_ADT, vts.cadt);
    checkSlot(title.get(), ID_VTS_VOBU_ADMAP, vts.vobuAdmap);
    CIfoVmgBuilder vmg;
    vmg.mat = std::make_unique<CIfoMat>(MatForm::Manager, bytes);
    vmg.ttSrpt = std::make_unique<CIfoTtSrpt>(bytes);
    vmg.vtsAtrt = std::make_unique<CIfoVtsAtrt>(bytes);
    const IfoHandle manager = vmg.BuildIfo();
    checkSlot(manager.get(), ID_VMG_PTT_SRPT, vmg.ttSrpt);
    checkSlot(manager.get(), ID_VMG_VTS_ATRT, vmg.vtsAtrt);
    // Each table on its own, so a refusal of one does not hide the others' serialisers.
    roundTrip(*vts.mat);
    roundTrip(*vmg.mat);
    roundTrip(*vmg.vtsAtrt);
    roundTrip(*vts.pgcit);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteSpan bytes(data, size);
    entries<CIfoCommand, CIfoCellPlayback, CIfoCellPosition, CIfoPtt, CIfoTitle, CIfoAudioAttr,
            CIfoSubpAttr, CIfoCellAdr, CIfoTmap, CIfoVtsAttributes, CIfoPgciLu>(bytes);
    chainOfCells(bytes);
    streamUsage(bytes);
    builders(bytes);
    return 0;
}
