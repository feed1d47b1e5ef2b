// The list tables as objects: how they lay out what they hold, what a new one contains, the
// C_ADT's VOB count and sort, and the refusal of tables their 16-bit offsets cannot reach.
#include <gtest/gtest.h>

#include <vector>

#include "core/bytes.h"
#include "core/ifo_classes.h"

namespace navtab {
namespace {

using Bytes = std::vector<std::uint8_t>;

template <typename Table>
Bytes serialised(Table& t) {
    Serialised s = t.serialise();
    EXPECT_TRUE(s.ok()) << s.error;
    return s.bytes;
}

std::uint16_t word(const Bytes& b, std::size_t at) {
    return be16(b.data() + at);
}
std::uint32_t dword(const Bytes& b, std::size_t at) {
    return be32(b.data() + at);
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
    // Sorted by VOB id; entries of the same VOB keep their order.
    const std::uint8_t cellIds[] = {1, 2, 3, 1};
    const std::uint16_t vobIds[] = {1, 1, 1, 2};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t at = c_adt::kFirstCell + i * c_adt::kCellSize;
        EXPECT_EQ(word(b, at + c_adt::kVobId), vobIds[i]);
        EXPECT_EQ(b[at + c_adt::kCellId], cellIds[i]);
        EXPECT_EQ(b[at + c_adt::kCellReserved], 0);
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

TEST(IfoModelCellAddresses, AnEmptyTableIsItsHeader) {
    CIfoCadt cadt;
    const Bytes b = serialised(cadt);
    EXPECT_EQ(b.size(), 2048u);
    EXPECT_EQ(word(b, c_adt::kVobCount), 0);
    EXPECT_EQ(dword(b, c_adt::kEndByte), 7u);
}

TEST(IfoModelChapters, EachTitleRunsToTheNextTitleAndTheLastToTheEndAddress) {
    // Two titles at bytes 16 and 24, end address 35: two chapters, then three.
    Bytes b(36, 0);
    put16(b.data() + vts_ptt::kTtuCount, 2);
    put32(b.data() + vts_ptt::kEndByte, 35);
    put32(b.data() + 8, 16);
    put32(b.data() + 12, 24);
    for (std::uint16_t i = 0; i < 5; ++i) {
        put16(b.data() + 16 + 4 * i, static_cast<std::uint16_t>(i / 2 + 1));
        put16(b.data() + 18 + 4 * i, static_cast<std::uint16_t>(i + 1));
    }
    CIfoPttSrpt ptt(b);
    ASSERT_EQ(ptt.titles.size(), 2u);
    EXPECT_EQ(ptt.titles[0]->ptts.size(), 2u);
    ASSERT_EQ(ptt.titles[1]->ptts.size(), 3u);
    EXPECT_EQ(ptt.titles[1]->ptts[2]->programNumber, 5);
    Bytes again = serialised(ptt);
    again.resize(b.size());
    EXPECT_EQ(again, b);
}

TEST(IfoModelTimeMaps, MapsFollowEachOtherBehindThePointers) {
    CIfoTmapt tmapt;
    CIfoTmap* first = tmapt.AddMap();
    first->timeUnit = 4;
    first->AddEntry(10);
    first->AddEntry(0x80000020);
    CIfoTmap* second = tmapt.AddMap();
    second->timeUnit = 4;
    second->reserved = 0x33;
    EXPECT_EQ(tmapt.size(), 8u + 8 * 2 + 4 * 2);
    const Bytes b = serialised(tmapt);
    EXPECT_EQ(word(b, tmapti::kMapCount), 2);
    EXPECT_EQ(dword(b, tmapti::kEndByte), tmapt.size() - 1);
    EXPECT_EQ(dword(b, 8), 16u);
    EXPECT_EQ(dword(b, 12), 16u + 4 + 8);
    EXPECT_EQ(b[16 + tmapti::kTimeUnit], 4);
    EXPECT_EQ(word(b, 16 + tmapti::kEntryCount), 2);
    EXPECT_EQ(dword(b, 16 + 8), 0x80000020u);
    EXPECT_EQ(b[28 + tmapti::kMapReserved], 0x33);
    EXPECT_EQ(word(b, 28 + tmapti::kEntryCount), 0);
}

TEST(IfoModelTitles, ANewTitleIsTitleOneOfTitleSetOne) {
    CIfoTtSrpt tt;
    CIfoTitle* title = tt.AddTitle();
    title->parts = 4;
    title->titleSetSector = 32;
    const Bytes b = serialised(tt);
    EXPECT_EQ(word(b, vmg_ptt::kTitleCount), 1);
    EXPECT_EQ(dword(b, vmg_ptt::kEndByte), 8u + 12 - 1);
    const Bytes entry(b.begin() + 8, b.begin() + 20);
    EXPECT_EQ(entry, (Bytes{20, 1, 0, 4, 0, 0, 1, 1, 0, 0, 0, 32}));
}

TEST(IfoModelTitleSetAttributes, ANewTableAnnouncesOneTitleSet) {
    CIfoVtsAtrt atrt;
    EXPECT_EQ(atrt.header.count, 1);
    EXPECT_EQ(atrt.header.endAddress, 787u);
    EXPECT_TRUE(atrt.titleSets.empty());
}

TEST(IfoModelTitleSetAttributes, RecordsFollowThePointersAt776ByteSteps) {
    CIfoVtsAtrt atrt;
    for (int i = 0; i < 2; ++i) {
        CIfoVtsAttributes* set = atrt.AddTitleSet();
        set->category = 0x01020304;
        set->titleVideo = 0x5C00;
        set->AddTitleAudio()->bytes = {0x44, 0x41, 'e', 'n', 0, 0, 0, 0};
        set->AddTitleSubp()->bytes = {1, 0, 'd', 'e', 0, 0};
        set->AddMenuAudio();
    }
    const Bytes b = serialised(atrt);
    EXPECT_EQ(word(b, vts_atrt::kTitleSetCount), 2);
    EXPECT_EQ(dword(b, vts_atrt::kEndByte), 8u + 780 * 2 - 1);
    EXPECT_EQ(dword(b, 8), 16u);
    EXPECT_EQ(dword(b, 12), 16u + 776);
    const std::size_t r = 16 + 776;
    EXPECT_EQ(dword(b, r + vts_atrt::kRecordEndByte), 775u);
    EXPECT_EQ(dword(b, r + vts_atrt::kCategory), 0x01020304u);
    EXPECT_EQ(word(b, r + vts_atrt::kTitle.video), 0x5C00);
    EXPECT_EQ(b[r + vts_atrt::kTitle.audioCount], 1);
    EXPECT_EQ(b[r + vts_atrt::kTitle.audio + 2], 'e');
    EXPECT_EQ(b[r + vts_atrt::kTitle.subpCount], 1);
    EXPECT_EQ(b[r + vts_atrt::kTitle.subpicture + 2], 'd');
    EXPECT_EQ(b[r + vts_atrt::kMenu.audioCount], 1);
    EXPECT_EQ(b[r + vts_atrt::kMenu.subpCount], 0);
}

TEST(IfoModelTitleSetAttributes, MoreRecordsThanTheRecordHoldsAreRefused) {
    CIfoVtsAtrt atrt;
    CIfoVtsAttributes* set = atrt.AddTitleSet();
    for (int i = 0; i < 9; ++i) set->AddTitleAudio();
    const Serialised s = atrt.serialise();
    EXPECT_FALSE(s.ok());
    EXPECT_NE(s.error.find("exceeds 8"), std::string::npos) << s.error;
}

TEST(IfoModelPgcTables, SearchPointersPointAtTheirPgcsInListOrder) {
    CIfoPgcit pgcit;
    CIfoPgciSrp* first = pgcit.AddSrp();
    EXPECT_EQ(first->entry, 0x81);
    first->pgc->AddCommand(CommandGroup::Pre, {1, 2, 3, 4, 5, 6, 7, 8});
    CIfoPgciSrp* second = pgcit.AddSrp(std::make_unique<CIfoPgc>());
    second->entry = 0x02;
    second->parentalMask = 0xABCD;
    const Bytes b = serialised(pgcit);
    EXPECT_EQ(word(b, pgc::kListCount), 2);
    EXPECT_EQ(dword(b, pgc::kListEndByte), 8u + 8 + 252 + 8 + 236 - 1);
    EXPECT_EQ(dword(b, 8 + pgc::kSrpPgcStart), 24u);
    EXPECT_EQ(dword(b, 16 + pgc::kSrpPgcStart), 24u + 252);
    EXPECT_EQ(b[16 + pgc::kSrpCategory], 0x02);
    EXPECT_EQ(word(b, 16 + pgc::kSrpParentalMask), 0xABCD);
    EXPECT_EQ(word(b, 24 + pgc::kCommandTableStart), 0xEC);
}

TEST(IfoModelPgcTables, UnitOffsetsCountFromTheTableAndPgcOffsetsFromTheirUnit) {
    CIfoPgciUt ut;
    for (char letter : {'e', 'd'}) {
        CIfoPgciLu* unit = ut.AddLu();
        unit->language = {static_cast<std::uint8_t>(letter), 'n'};
        unit->menus = 0x80;
        unit->AddSrp()->entry = 0x83;
    }
    const Bytes b = serialised(ut);
    const std::size_t unitSize = 8 + 8 + 236;
    EXPECT_EQ(word(b, 0), 2);
    EXPECT_EQ(dword(b, 4), 8u + 2 * (8 + unitSize) - 1);
    EXPECT_EQ(b[8], 'e');
    EXPECT_EQ(b[8 + pgc::kLuMenuMask], 0x80);
    EXPECT_EQ(dword(b, 8 + pgc::kLuStart), 24u);
    EXPECT_EQ(dword(b, 16 + pgc::kLuStart), 24u + unitSize);
    // Each unit: its own header, end address = its length - 1, PGC offset from the unit.
    const std::size_t second = 24 + unitSize;
    EXPECT_EQ(word(b, second), 1);
    EXPECT_EQ(dword(b, second + 4), unitSize - 1);
    EXPECT_EQ(dword(b, second + 8 + pgc::kSrpPgcStart), 16u);
    EXPECT_EQ(b[second + 8], 0x83);
}

TEST(IfoModelPgcTables, AMenuTableBeyond65535BytesIsRefused) {
    CIfoPgciUt ut;
    CIfoPgciLu* unit = ut.AddLu();
    // 30 PGCs of 80 cells: 30 x (8 + 236 + 80 x 28) bytes, more than 16-bit offsets reach.
    for (int p = 0; p < 30; ++p) {
        CIfoPgc* chain = unit->AddSrp()->pgc.get();
        for (int c = 0; c < 80; ++c) chain->AddCell(Bytes(24, 0), 1, 1, false);
    }
    ASSERT_GT(ut.size(), 65535u);
    const Serialised s = ut.serialise();
    EXPECT_FALSE(s.ok());
    EXPECT_TRUE(s.bytes.empty());
    EXPECT_NE(s.error.find("PGCI_UT"), std::string::npos);
    EXPECT_NE(s.error.find("16-bit offsets"), std::string::npos) << s.error;

    // The same in a title PGC table, a chapter table and a time map table.
    CIfoPgcit pgcit;
    for (int p = 0; p < 30; ++p) {
        CIfoPgc* chain = pgcit.AddSrp()->pgc.get();
        for (int c = 0; c < 80; ++c) chain->AddCell(Bytes(24, 0), 1, 1, false);
    }
    EXPECT_FALSE(pgcit.serialise().ok());
    CIfoPttSrpt ptt;
    CIfoPttTitle* title = ptt.AddTitle();
    for (int i = 0; i < 17000; ++i) title->AddPtt(1, 1);
    EXPECT_FALSE(ptt.serialise().ok());
    CIfoTmapt tmapt;
    for (int m = 0; m < 2; ++m)
        for (int i = 0; i < 9000; ++i) tmapt.AddMap()->AddEntry(1);
    EXPECT_FALSE(tmapt.serialise().ok());
}

TEST(IfoModelSectorRounding, ATableOfWholeSectorsKeepsItsSize) {
    // A VOBU map of 511 sectors is 4 + 4 x 511 = 2048 bytes: one sector; one more VOBU, two.
    CIfoVobuAdmap map;
    for (std::uint32_t i = 0; i < 511; ++i) map.AddVobu(i);
    EXPECT_EQ(map.size(), 2048u);
    EXPECT_EQ(serialised(map).size(), 2048u);
    map.AddVobu(511);
    EXPECT_EQ(serialised(map).size(), 4096u);
    EXPECT_EQ(roundToSector(4096), 4096u);
    EXPECT_EQ(roundToSector(4097), 6144u);
    EXPECT_EQ(roundToSector(0), 0u);
}

}  // namespace
}  // namespace navtab
