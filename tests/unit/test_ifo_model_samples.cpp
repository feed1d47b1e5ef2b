// Round trips of the sample IFO files through the object model: every table parsed into its object
// and serialised again gives the bytes it came from, and builders fed with a sample file's tables
// produce a handle whose tables equal the source.
#include <gtest/gtest.h>

#include <map>

#include "unit/model_support.h"

namespace navtab::test {
namespace {

// dvdauthor counts the audio that runs on past the last picture of a VOB into a PGC's playback
// time: mixed0's PGCs play 4.04 s over cells of 4.00 s. A PGC rebuilt cell by cell sums its cells,
// so there its time differs by that frame.
bool pgcTimeIsItsCells(const std::string& file) {
    return file.find("/mixed0/") == std::string::npos;
}

template <typename Table>
Bytes again(const Bytes& source) {
    return bytesOf(Table(source).serialise());
}

// Every table of every sample IFO and BUP file, parsed into its object and serialised again;
// the PGC tables with their cells added back.
TEST(IfoModelSamples, EveryTableRoundTrips) {
    const std::map<int, Bytes (*)(const Bytes&)> kinds = {
        {ID_MAT, again<CIfoMat>},
        {ID_VMG_PTT_SRPT, again<CIfoTtSrpt>},
        {ID_PTT_SRPTI, again<CIfoPttSrpt>},
        {ID_VMG_VTS_ATRT, again<CIfoVtsAtrt>},
        {ID_VTS_TMAPTI, again<CIfoTmapt>},
        {ID_VMGM_C_ADT, again<CIfoCadt>},
        {ID_VTSM_C_ADT, again<CIfoCadt>},
        {ID_VTS_C_ADT, again<CIfoCadt>},
        {ID_VMGM_VOBU_ADMAP, again<CIfoVobuAdmap>},
        {ID_VTSM_VOBU_ADMAP, again<CIfoVobuAdmap>},
        {ID_VTS_VOBU_ADMAP, again<CIfoVobuAdmap>},
        {ID_VMGM_PGCI_UT, [](const Bytes& b) { return bytesOf(pgciUtWithCells(b).serialise()); }},
        {ID_VTSM_PGCI_UT, [](const Bytes& b) { return bytesOf(pgciUtWithCells(b).serialise()); }},
        {ID_VTS_PGCITI, [](const Bytes& b) { return bytesOf(pgcitWithCells(b).serialise()); }}};
    std::size_t tables = 0;
    for (const std::string& file : allSampleInfoFiles()) {
        IfoHandle ifo = loadSample(file);
        for (const auto& [id, roundTrip] : kinds) {
            if (!ifo->has(id) || (id == ID_VTS_PGCITI && !pgcTimeIsItsCells(file))) continue;
            EXPECT_EQ(roundTrip(ifo->table[id]), ifo->table[id]) << file << " " << ifoTableName(id);
            ++tables;
        }
    }
    EXPECT_EQ(tables, 76u);
}

void expectSameTables(const ifo_t& built, const ifo_t& source, const std::string& file) {
    for (int id = 0; id < kIfoTableSlots; ++id)
        EXPECT_EQ(built.table[id], source.table[id]) << file << " " << ifoTableName(id);
}

template <typename Table>
std::unique_ptr<Table> parsed(const ifo_t& ifo, int id) {
    return ifo.has(id) ? std::make_unique<Table>(ifo.table[id]) : nullptr;
}

TEST(IfoModelSamples, TitleSetBuilderReproducesEverySampleTitleSet) {
    int built = 0;
    for (const std::string& file : allSampleInfoFiles()) {
        IfoHandle source = loadSample(file);
        if (ifoKind(source.get()) != IfoKind::Vts || !pgcTimeIsItsCells(file)) continue;
        CIfoVtsBuilder builder;
        builder.mat = std::make_unique<CIfoMat>(source->table[ID_MAT]);
        builder.pttSrpt = parsed<CIfoPttSrpt>(*source, ID_PTT_SRPTI);
        if (source->has(ID_VTS_PGCITI))
            builder.pgcit =
                std::make_unique<CIfoPgcit>(pgcitWithCells(source->table[ID_VTS_PGCITI]));
        if (source->has(ID_VTSM_PGCI_UT))
            builder.menuPgciUt =
                std::make_unique<CIfoPgciUt>(pgciUtWithCells(source->table[ID_VTSM_PGCI_UT]));
        builder.tmapt = parsed<CIfoTmapt>(*source, ID_VTS_TMAPTI);
        builder.menuCadt = parsed<CIfoCadt>(*source, ID_VTSM_C_ADT);
        builder.menuVobuAdmap = parsed<CIfoVobuAdmap>(*source, ID_VTSM_VOBU_ADMAP);
        builder.cadt = parsed<CIfoCadt>(*source, ID_VTS_C_ADT);
        builder.vobuAdmap = parsed<CIfoVobuAdmap>(*source, ID_VTS_VOBU_ADMAP);
        std::string error;
        IfoHandle ifo = builder.BuildIfo(&error);
        ASSERT_NE(ifo, nullptr) << error;
        expectSameTables(*ifo, *source, file);
        ++built;
    }
    EXPECT_EQ(built, 6);
}

TEST(IfoModelSamples, ManagerBuilderReproducesEverySampleManager) {
    int built = 0;
    for (const std::string& file : allSampleInfoFiles()) {
        IfoHandle source = loadSample(file);
        if (ifoKind(source.get()) != IfoKind::Vmg) continue;
        CIfoVmgBuilder builder;
        builder.mat = std::make_unique<CIfoMat>(source->table[ID_MAT]);
        builder.ttSrpt = parsed<CIfoTtSrpt>(*source, ID_VMG_PTT_SRPT);
        if (source->has(ID_VMGM_PGCI_UT))
            builder.menuPgciUt =
                std::make_unique<CIfoPgciUt>(pgciUtWithCells(source->table[ID_VMGM_PGCI_UT]));
        builder.vtsAtrt = parsed<CIfoVtsAtrt>(*source, ID_VMG_VTS_ATRT);
        builder.menuCadt = parsed<CIfoCadt>(*source, ID_VMGM_C_ADT);
        builder.menuVobuAdmap = parsed<CIfoVobuAdmap>(*source, ID_VMGM_VOBU_ADMAP);
        std::string error;
        IfoHandle ifo = builder.BuildIfo(&error);
        ASSERT_NE(ifo, nullptr) << error;
        expectSameTables(*ifo, *source, file);
        ++built;
    }
    EXPECT_EQ(built, 6);
}

}  // namespace
}  // namespace navtab::test
