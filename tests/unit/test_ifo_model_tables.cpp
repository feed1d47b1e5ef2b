// The list tables as objects, beyond what the byte-for-byte round trips of the samples show:
// the C_ADT's VOB count and sort, entries bounded by the end address, and the refusal of tables
// that their offsets or records cannot hold.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "core/bytes.h"
#include "core/ifo_classes.h"

namespace navtab {
namespace {

using ::testing::HasSubstr;

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

}  // namespace
}  // namespace navtab
