// Round trips of the sample IFO files through the object model: every table parsed into its object
// and serialised again gives the bytes it came from, and builders fed with a sample file's tables
// produce a handle whose tables equal the source.
#include <gtest/gtest.h>

#include "unit/model_support.h"

namespace navtab::test {
namespace {

struct SampleTable {
    std::string file;
    int id;
};

// Every present table of every sample IFO and BUP file.
std::vector<SampleTable> presentTables(const std::vector<int>& ids) {
    std::vector<SampleTable> out;
    for (const std::string& file : allSampleInfoFiles()) {
        IfoHandle ifo = loadSample(file);
        for (int id : ids)
            if (ifo && ifo->has(id)) out.push_back({file, id});
    }
    return out;
}

// dvdauthor counts the audio that runs on past the last picture of a VOB into a PGC's playback
// time: mixed0's PGCs play 4.04 s over cells of 4.00 s. A PGC rebuilt cell by cell sums its cells,
// so there its time differs by that frame.
bool pgcTimeIsItsCells(const std::string& file) {
    return file.find("/mixed0/") == std::string::npos;
}

template <typename Table>
void expectRoundTrip(const std::vector<int>& ids, std::size_t expectedTables) {
    const auto tables = presentTables(ids);
    EXPECT_EQ(tables.size(), expectedTables);
    for (const auto& [file, id] : tables) {
        IfoHandle ifo = loadSample(file);
        const Bytes& source = ifo->table[id];
        Table object(source);
        EXPECT_EQ(bytesOf(object.serialise()), source) << file << " " << ifoTableName(id);
    }
}

TEST(IfoModelSamples, TitleSearchTablesRoundTrip) {
    expectRoundTrip<CIfoTtSrpt>({ID_VMG_PTT_SRPT}, 6);
}

TEST(IfoModelSamples, ChapterTablesRoundTrip) {
    expectRoundTrip<CIfoPttSrpt>({ID_PTT_SRPTI}, 8);
}

TEST(IfoModelSamples, CellAddressTablesRoundTrip) {
    // VMGM and VTSM menus exist only on ntsc43 (VMG and VTS 1), titles in all four title sets.
    expectRoundTrip<CIfoCadt>({ID_VMGM_C_ADT, ID_VTSM_C_ADT, ID_VTS_C_ADT}, 2 * (1 + 1 + 4));
}

TEST(IfoModelSamples, VobuAddressMapsRoundTrip) {
    expectRoundTrip<CIfoVobuAdmap>({ID_VMGM_VOBU_ADMAP, ID_VTSM_VOBU_ADMAP, ID_VTS_VOBU_ADMAP},
                                   2 * (1 + 1 + 4));
}

TEST(IfoModelSamples, TimeMapTablesRoundTrip) {
    expectRoundTrip<CIfoTmapt>({ID_VTS_TMAPTI}, 8);
}

TEST(IfoModelSamples, TitleSetAttributeTablesRoundTrip) {
    expectRoundTrip<CIfoVtsAtrt>({ID_VMG_VTS_ATRT}, 6);
}

TEST(IfoModelSamples, ManagementTablesRoundTrip) {
    for (const std::string& file : allSampleInfoFiles()) {
        IfoHandle ifo = loadSample(file);
        const Bytes& source = ifo->table[ID_MAT];
        CIfoMat mat(source);
        EXPECT_EQ(mat.form == MatForm::Manager, ifoKind(ifo.get()) == IfoKind::Vmg) << file;
        EXPECT_EQ(bytesOf(mat.serialise()), source) << file;
    }
}

TEST(IfoModelSamples, TitlePgcTablesRoundTripWithTheirCellsAdded) {
    const auto tables = presentTables({ID_VTS_PGCITI});
    EXPECT_EQ(tables.size(), 8u);
    for (const auto& [file, id] : tables) {
        if (!pgcTimeIsItsCells(file)) continue;
        IfoHandle ifo = loadSample(file);
        const Bytes& source = ifo->table[id];
        CIfoPgcit pgcit = pgcitWithCells(source);
        EXPECT_EQ(bytesOf(pgcit.serialise()), source) << file;
    }
}

TEST(IfoModelSamples, MenuPgcUnitTablesRoundTripWithTheirCellsAdded) {
    const auto tables = presentTables({ID_VMGM_PGCI_UT, ID_VTSM_PGCI_UT});
    EXPECT_EQ(tables.size(), 4u);
    for (const auto& [file, id] : tables) {
        IfoHandle ifo = loadSample(file);
        const Bytes& source = ifo->table[id];
        CIfoPgciUt ut = pgciUtWithCells(source);
        EXPECT_EQ(bytesOf(ut.serialise()), source) << file << " " << ifoTableName(id);
    }
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
