// New management tables and the builders: their sector layout, the tables they refuse, a built
// handle the loader reads back unchanged, and every sample file rebuilt from its parsed tables
// (the PGC tables with their cells added back) byte for byte. Beyond those round trips, the list
// tables as objects: the C_ADT's VOB count and sort, entries bounded by the end address, and the
// refusal of tables that their offsets or records cannot hold.
#include <gtest/gtest.h>
#include <string>

#include "core/bytes.h"
#include "core/ifo_classes.h"
#include "unit/model_support.h"

namespace navtab::test {
namespace {

// A new manager table starts the first-play PGC with a jump to title 1; stream lists are written
// with their counts; what does not fit is refused.
TEST(IfoModelNewMat, FirstPlayJumpStreamListsAndRefusals) {
    CIfoMat manager(MatForm::Manager);
    const Bytes b = serialised(manager);
    const std::size_t fp = dword(b, 0x84);
    EXPECT_EQ(dword(b, 0x80), fp + 236 + 16 - 1);
    EXPECT_EQ(be16(b.data() + fp + 0xEC + pgc::kPreCommandCount), 1);
    EXPECT_EQ(Bytes(b.begin() + fp + 0xF4, b.begin() + fp + 0xFC),
              (Bytes{0x30, 0x02, 0, 0, 0, 1, 0, 0}));
    CIfoMat mat(MatForm::TitleSet);
    EXPECT_EQ(mat.firstPlay, nullptr);
    mat.AddTitleAudio();
    mat.AddTitleAudio()->bytes = {0x84, 1, 'd', 'e', 0, 0, 0, 0};
    mat.AddTitleSubp()->bytes = {1, 0, 'f', 'r', 0, 0};
    const Bytes t = serialised(mat);
    EXPECT_EQ(t[mat::kTitleAudioCount], 2);
    EXPECT_EQ(t[mat::kTitleAudio + 8], 0x84);
    EXPECT_EQ(t[mat::kTitleSubpCount], 1);
    EXPECT_EQ(t[mat::kTitleSubp + 2], 'f');
    mat.AddMenuSubp();
    mat.AddMenuSubp();  // a menu has one sub-picture stream
    EXPECT_FALSE(mat.serialise().ok());
    for (int i = 0; i < 100; ++i) manager.firstPlay->AddCommand(CommandGroup::Post, {});
    EXPECT_THAT(manager.serialise().error, HasSubstr("first-play PGC"));
    CIfoMat overlapping(MatForm::Manager);
    put32(overlapping.stored.data() + mat::kFirstPlayPgcStart, 0x100);
    EXPECT_FALSE(overlapping.serialise().ok());
}

// A title set with one-sector chapter and PGC tables, a C_ADT just over one sector (171 cells,
// 2060 bytes) and a VOBU map of exactly one sector (511 VOBUs, 2048 bytes).
CIfoVtsBuilder smallTitleSet() {
    CIfoVtsBuilder b;
    b.pttSrpt = std::make_unique<CIfoPttSrpt>();
    b.pttSrpt->AddTitle()->AddPtt(1, 1);
    b.pgcit = std::make_unique<CIfoPgcit>();
    b.pgcit->AddSrp()->pgc->AddCell(Bytes(24, 0), 1, 1, true);
    b.cadt = std::make_unique<CIfoCadt>();
    for (int i = 0; i < 171; ++i) b.cadt->AddCell(1, static_cast<std::uint8_t>(i + 1), 0, 0);
    b.vobuAdmap = std::make_unique<CIfoVobuAdmap>();
    for (std::uint32_t i = 0; i < 511; ++i) b.vobuAdmap->AddVobu(i);
    return b;
}

// The sector of each table pointer of the built management table: the tables in the order of
// their pointers, each in whole sectors; absent ones, also where a source file had them, at 0.
TEST(IfoModelBuilders, LayoutPlacesPresentTablesAndClearsTheOthers) {
    CIfoVtsBuilder b = smallTitleSet();
    for (const TableLocation& t : kVtsTables) put32(b.mat->stored.data() + t.matPointer, 99);
    b.menuVobuAdmap = std::make_unique<CIfoVobuAdmap>();
    std::string error;
    IfoHandle vts = b.BuildIfo(&error);
    ASSERT_NE(vts, nullptr) << error;
    EXPECT_EQ(ifoKind(vts.get()), IfoKind::Vts);
    EXPECT_EQ(vts->table[ID_VTS_C_ADT].size(), 4096u);
    EXPECT_FALSE(vts->has(ID_VTSM_PGCI_UT));
    const std::vector<std::uint32_t> sectors = {1, 2, 0, 0, 0, 3, 4, 6, 6};
    std::vector<std::uint32_t> got;
    for (std::size_t at : {0xC8, 0xCC, 0xD0, 0xD4, 0xD8, 0xDC, 0xE0, 0xE4})
        got.push_back(be32(vts->table[ID_MAT].data() + at));
    got.push_back(be32(vts->table[ID_MAT].data() + kMatLastSectorOfIfo));
    EXPECT_EQ(got, sectors);
    CIfoVmgBuilder m;
    put32(m.mat->stored.data() + 0xCC, 7);  // VMG_PTL_MAIT
    put32(m.mat->stored.data() + 0xD4, 8);  // VMG_TXTDT_MG
    m.ttSrpt = std::make_unique<CIfoTtSrpt>();
    m.ttSrpt->AddTitle();
    m.vtsAtrt = std::make_unique<CIfoVtsAtrt>();
    m.vtsAtrt->AddTitleSet();
    IfoHandle vmg = m.BuildIfo();
    ASSERT_NE(vmg, nullptr);
    got.clear();
    for (std::size_t at : {0xC4u, 0xC8u, 0xCCu, 0xD0u, 0xD4u, kMatLastSectorOfIfo})
        got.push_back(be32(vmg->table[ID_MAT].data() + at));
    EXPECT_EQ(got, (std::vector<std::uint32_t>{1, 0, 0, 2, 0, 2}));
}

TEST(IfoModelBuilders, ATableThatCannotBeWrittenOrAWrongFormYieldsNoHandle) {
    CIfoVtsBuilder b = smallTitleSet();
    for (int i = 0; i < 256; ++i) b.pgcit->srps[0]->pgc->AddCell(Bytes(24, 0), 1, 1, false);
    std::string error;
    EXPECT_EQ(b.BuildIfo(&error), nullptr);
    EXPECT_THAT(error, HasSubstr("VTS_PGCIT"));
    CIfoVtsBuilder vts;
    vts.mat = std::make_unique<CIfoMat>(MatForm::Manager);
    EXPECT_EQ(vts.BuildIfo(), nullptr);
    CIfoVmgBuilder vmg;
    vmg.mat.reset();
    EXPECT_EQ(vmg.BuildIfo(), nullptr);
}

TEST(IfoModelCellAddresses, TheVobCountIsTheNumberOfRunsOfEqualVobIds) {
    CIfoCadt cadt;
    cadt.AddCell(1, 1, 0, 10);
    cadt.AddCell(1, 2, 11, 20);
    cadt.AddCell(2, 1, 21, 30);
    cadt.AddCell(1, 3, 31, 40);
    Bytes b = serialised(cadt);
    EXPECT_EQ(word(b, c_adt::kVobCount), 3);
    EXPECT_EQ(dword(b, c_adt::kEndByte), 8u + 12 * 4 - 1);
    cadt.SortByVob();
    b = serialised(cadt);
    EXPECT_EQ(word(b, c_adt::kVobCount), 2);
    const std::uint8_t cellIds[] = {1, 2, 3, 1};
    const std::uint16_t vobIds[] = {1, 1, 1, 2};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t at = c_adt::kFirstCell + i * c_adt::kCellSize;
        EXPECT_EQ(word(b, at + c_adt::kVobId), vobIds[i]);
        EXPECT_EQ(b[at + c_adt::kCellId], cellIds[i]);
    }
    EXPECT_EQ(dword(b, c_adt::kFirstCell + 2 * 12 + c_adt::kStartSector), 31u);
    EXPECT_EQ(dword(b, c_adt::kFirstCell + 3 * 12 + c_adt::kEndSector), 30u);
}

TEST(IfoModelCellAddresses, EntriesFollowTheEndAddressNotTheVobCount) {
    Bytes b(32, 0);
    put16(b.data() + c_adt::kVobCount, 9);
    put32(b.data() + c_adt::kEndByte, 31);
    put16(b.data() + 20, 7);
    CIfoCadt cadt(b);
    ASSERT_EQ(cadt.cells.size(), 2u);
    EXPECT_EQ(cadt.cells[1]->vobId, 7);
}

TEST(IfoModelTitleSetAttributes, MoreRecordsThanTheRecordHoldsAreRefused) {
    CIfoVtsAtrt atrt;
    CIfoVtsAttributes* set = atrt.AddTitleSet();
    for (int i = 0; i < 9; ++i) set->AddTitleAudio();
    EXPECT_THAT(atrt.serialise().error, HasSubstr("exceeds 8"));
}

// 30 PGCs of 80 cells: 30 x (8 + 236 + 80 x 28) bytes, more than 16-bit offsets reach.
template <typename Table>
void addLongPgcs(Table& table) {
    for (int p = 0; p < 30; ++p) {
        CIfoPgc* chain = table.AddSrp()->pgc.get();
        for (int c = 0; c < 80; ++c) chain->AddCell(Bytes(24, 0), 1, 1, false);
    }
}

TEST(IfoModelPgcTables, ATableBeyond65535BytesIsRefused) {
    CIfoPgciUt ut;
    addLongPgcs(*ut.AddLu());
    ASSERT_GT(ut.size(), 65535u);
    const Serialised s = ut.serialise();
    EXPECT_TRUE(s.bytes.empty());
    EXPECT_THAT(s.error, HasSubstr("PGCI_UT"));
    EXPECT_THAT(s.error, HasSubstr("16-bit offsets"));
    CIfoPgcit pgcit;
    addLongPgcs(pgcit);
    EXPECT_FALSE(pgcit.serialise().ok());
    CIfoPttSrpt ptt;
    CIfoPttTitle* title = ptt.AddTitle();
    for (int i = 0; i < 17000; ++i) title->AddPtt(1, 1);
    EXPECT_FALSE(ptt.serialise().ok());
    CIfoTmapt tmapt;
    for (int i = 0; i < 18000; ++i) tmapt.AddMap()->AddEntry(1);
    EXPECT_FALSE(tmapt.serialise().ok());
}

template <typename Table>
std::unique_ptr<Table> parsed(const ifo_t& ifo, int id) {
    return ifo.has(id) ? std::make_unique<Table>(ifo.table[id]) : nullptr;
}
std::unique_ptr<CIfoPgciUt> menusWithCells(const ifo_t& ifo, int id) {
    return ifo.has(id) ? std::make_unique<CIfoPgciUt>(pgciUtWithCells(ifo.table[id])) : nullptr;
}

TEST(IfoModelSamples, BuildersReproduceEverySampleFile) {
    int built = 0;
    for (const std::string& file : allSampleInfoFiles()) {
        IfoHandle source = loadSample(file);
        const ifo_t& s = *source;
        IfoHandle ifo;
        std::string error;
        if (ifoKind(source.get()) == IfoKind::Vmg) {
            CIfoVmgBuilder b;
            b.mat = std::make_unique<CIfoMat>(s.table[ID_MAT]);
            b.ttSrpt = parsed<CIfoTtSrpt>(s, ID_VMG_PTT_SRPT);
            b.menuPgciUt = menusWithCells(s, ID_VMGM_PGCI_UT);
            b.vtsAtrt = parsed<CIfoVtsAtrt>(s, ID_VMG_VTS_ATRT);
            b.menuCadt = parsed<CIfoCadt>(s, ID_VMGM_C_ADT);
            b.menuVobuAdmap = parsed<CIfoVobuAdmap>(s, ID_VMGM_VOBU_ADMAP);
            ifo = b.BuildIfo(&error);
        } else {
            CIfoVtsBuilder b;
            b.mat = std::make_unique<CIfoMat>(s.table[ID_MAT]);
            b.pttSrpt = parsed<CIfoPttSrpt>(s, ID_PTT_SRPTI);
            if (s.has(ID_VTS_PGCITI))
                b.pgcit = std::make_unique<CIfoPgcit>(pgcitWithCells(s.table[ID_VTS_PGCITI]));
            b.menuPgciUt = menusWithCells(s, ID_VTSM_PGCI_UT);
            b.tmapt = parsed<CIfoTmapt>(s, ID_VTS_TMAPTI);
            b.menuCadt = parsed<CIfoCadt>(s, ID_VTSM_C_ADT);
            b.menuVobuAdmap = parsed<CIfoVobuAdmap>(s, ID_VTSM_VOBU_ADMAP);
            b.cadt = parsed<CIfoCadt>(s, ID_VTS_C_ADT);
            b.vobuAdmap = parsed<CIfoVobuAdmap>(s, ID_VTS_VOBU_ADMAP);
            ifo = b.BuildIfo(&error);
        }
        ASSERT_NE(ifo, nullptr) << file << ": " << error;
        for (int id = 0; id < kIfoTableSlots; ++id) {
            if (id == ID_VTS_PGCITI && file.find("/mixed0/") != std::string::npos) continue;
            EXPECT_EQ(ifo->table[id], s.table[id]) << file << " " << ifoTableName(id);
        }
        ++built;
    }
    EXPECT_EQ(built, 18);
}

}  // namespace
}  // namespace navtab::test
