// Damaged tables: counts far beyond the bytes, offsets outside the table, end addresses that
// claim more than there is. Each parser takes only what lies inside its bytes; the buffers here
// are exactly as long as the table, so the sanitizer build catches any read beyond them.
#include <gtest/gtest.h>

#include <vector>

#include "core/bytes.h"
#include "core/ifo_classes.h"

namespace navtab {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A list table header claiming `count` entries and the end address `end`, in `size` bytes.
Bytes listTable(std::size_t size, std::uint16_t count, std::uint32_t end) {
    Bytes b(size, 0);
    put16(b.data(), count);
    put32(b.data() + 4, end);
    return b;
}

TEST(IfoModelDamagedCounts, HugeCountsStopAtTheEndOfTheBytes) {
    const Bytes b = listTable(8 + 12 * 3 + 5, 0xFFFF, 0xFFFFFFFF);
    EXPECT_EQ(CIfoTtSrpt(b).titles.size(), 3u);
    EXPECT_EQ(CIfoCadt(b).cells.size(), 3u);
    EXPECT_EQ(CIfoVtsAtrt(b).titleSets.size(), (b.size() - 8) / 4);
    EXPECT_EQ(CIfoPgcit(b).srps.size(), (b.size() - 8) / 8);
    EXPECT_EQ(CIfoPgciUt(b).units.size(), (b.size() - 8) / 8);
    EXPECT_EQ(CIfoTmapt(b).maps.size(), (b.size() - 8) / 4);
    EXPECT_EQ(CIfoPttSrpt(b).titles.size(), (b.size() - 8) / 4);
    EXPECT_EQ(CIfoVobuAdmap(b).sectors.size(), (b.size() - 4) / 4);
}

TEST(IfoModelDamagedCounts, ATimeMapCountingMoreEntriesThanItHasKeepsTheWholeOnes) {
    Bytes b = listTable(8 + 4 + 4 + 4 * 5 + 2, 1, 0);
    put32(b.data() + 8, 12);
    put16(b.data() + 12 + tmapti::kEntryCount, 0xFFFF);
    const CIfoTmapt t(b);
    ASSERT_EQ(t.maps.size(), 1u);
    EXPECT_EQ(t.maps[0]->entries.size(), 5u);
}

TEST(IfoModelDamagedCounts, CommandsThatDoNotFitShortenTheLastGroupsFirst) {
    Bytes b(CIfoPgc::kStoredSize + 8 + 8 * 3 + 3, 0);
    put16(b.data() + pgc::kCommandTableStart, 0xEC);
    put16(b.data() + 0xEC + pgc::kPreCommandCount, 2);
    put16(b.data() + 0xEC + pgc::kPostCommandCount, 2);
    put16(b.data() + 0xEC + pgc::kCellCommandCount, 0xFFFF);
    const CIfoPgc p(b, 0);
    EXPECT_EQ(p.commands.size(), 3u);
    EXPECT_EQ(p.preCommands, 2);
    EXPECT_EQ(p.postCommands, 1);
    EXPECT_EQ(p.cellCommands, 0);
}

TEST(IfoModelDamagedCounts, StreamCountsAreBoundedByTheRoomOfTheRecord) {
    Bytes mat(2048, 0);
    mat[mat::kMenuAudioCount] = 0xFF;
    mat[mat::kMenuSubpCount] = 0xFF;
    mat[mat::kTitleAudioCount] = 0xFF;
    mat[mat::kTitleSubpCount] = 0xFF;
    const CIfoMat m(MatForm::TitleSet, mat);
    EXPECT_EQ(m.menuAudio.size(), 8u);
    EXPECT_EQ(m.menuSubp.size(), 1u);
    EXPECT_EQ(m.titleAudio.size(), 8u);
    EXPECT_EQ(m.titleSubp.size(), 32u);
    Bytes atrt = listTable(8 + 4 + 776, 1, 0);
    put32(atrt.data() + 8, 12);
    atrt[12 + vts_atrt::kMenu.subpCount] = 0xFF;
    atrt[12 + vts_atrt::kTitle.subpCount] = 0xFF;
    const CIfoVtsAtrt a(atrt);
    ASSERT_EQ(a.titleSets.size(), 1u);
    EXPECT_EQ(a.titleSets[0]->menuSubp.size(), vts_atrt::kMenu.subpSlots);
    EXPECT_EQ(a.titleSets[0]->titleSubp.size(), 32u);
}

TEST(IfoModelDamagedOffsets, OffsetsOutsideTheTableGiveEmptyEntries) {
    Bytes b = listTable(24, 2, 23);
    put32(b.data() + 8, 0xFFFFFFF0);
    put32(b.data() + 12, 0xFFFFFFFF);
    const CIfoPttSrpt ptt(b);
    ASSERT_EQ(ptt.titles.size(), 2u);
    EXPECT_TRUE(ptt.titles[0]->ptts.empty() && ptt.titles[1]->ptts.empty());
    const CIfoTmapt tmapt(b);
    ASSERT_EQ(tmapt.maps.size(), 2u);
    EXPECT_TRUE(tmapt.maps[1]->entries.empty());
    const CIfoVtsAtrt atrt(b);
    ASSERT_EQ(atrt.titleSets.size(), 2u);
    EXPECT_TRUE(atrt.titleSets[0]->titleAudio.empty());
}

TEST(IfoModelDamagedOffsets, PgcsLanguageUnitsAndCommandTablesOutsideTheirTable) {
    Bytes b = listTable(16, 1, 15);
    put32(b.data() + 8 + pgc::kSrpPgcStart, 0x7FFFFFFF);  // also the unit's start: 0xFFFFFFF8
    const CIfoPgcit pgcit(b);
    ASSERT_EQ(pgcit.srps.size(), 1u);
    EXPECT_EQ(pgcit.srps[0]->pgc->stored, (std::array<std::uint8_t, 236>{}));
    put32(b.data() + 8 + pgc::kLuStart, 0xFFFFFFF8);
    const CIfoPgciUt ut(b);
    ASSERT_EQ(ut.units.size(), 1u);
    EXPECT_TRUE(ut.units[0]->srps.empty());
    const CIfoPgc cut(Bytes(100, 0x11), 90);
    EXPECT_EQ(cut.stored[9], 0x11);
    EXPECT_EQ(cut.stored[10], 0);
    EXPECT_TRUE(cut.commands.empty());
    Bytes p(CIfoPgc::kStoredSize, 0);
    put16(p.data() + pgc::kCommandTableStart, 0xFFF0);
    const CIfoPgc outside(p, 0);
    EXPECT_TRUE(outside.commands.empty());
    EXPECT_EQ(outside.preCommands + outside.postCommands + outside.cellCommands, 0);
    Bytes mat(2048, 0);
    std::copy_n("DVDVIDEO-VMG", 12, mat.begin());
    put32(mat.data() + mat::kFirstPlayPgcStart, 0xFFFFFFFF);
    const CIfoMat m(mat);
    ASSERT_NE(m.firstPlay, nullptr);
    EXPECT_TRUE(m.firstPlay->commands.empty());
}

TEST(IfoModelDamagedOffsets, ShortOrEmptyBytesGiveEmptyObjects) {
    const Bytes none;
    EXPECT_TRUE(CIfoCadt(none).cells.empty() && CIfoVobuAdmap(none).sectors.empty() &&
                CIfoPgcit(none).srps.empty() && CIfoPgciUt(none).units.empty() &&
                CIfoPttSrpt(none).titles.empty() && CIfoTmapt(none).maps.empty() &&
                CIfoTtSrpt(none).titles.empty() && CIfoVtsAtrt(none).titleSets.empty());
    EXPECT_EQ(CIfoMat(none).form, MatForm::TitleSet);
    const Bytes three = {1, 2, 3};
    EXPECT_EQ(CIfoAudioAttr(three, 1).bytes, (std::array<std::uint8_t, 8>{2, 3}));
    EXPECT_EQ(CIfoCommand(three, 7).bytes, (std::array<std::uint8_t, 8>{}));
    EXPECT_EQ(CIfoCellPlayback(three, 0).category, (std::array<std::uint8_t, 4>{1, 2, 3, 0}));
}

TEST(IfoModelDamagedSharing, PointersSharingOneRunDoNotMultiplyWithoutBound) {
    const std::size_t size = 32 * 1024;
    Bytes b = listTable(size, 0xFFFF, static_cast<std::uint32_t>(size - 1));
    const std::size_t pointers = 4000;
    for (std::size_t i = 0; i < pointers; ++i)
        put32(b.data() + 8 + 4 * i,
              i % 2 == 0 ? 8 + 4 * pointers : static_cast<std::uint32_t>(size));
    const CIfoPttSrpt ptt(b);
    std::size_t entries = 0;
    for (const auto& title : ptt.titles) entries += title->ptts.size();
    EXPECT_GT(entries, 0u);
    EXPECT_LE(entries * CIfoPtt::kSize, 64 * size + 4096);
    EXPECT_LT(ptt.titles.size(), pointers);
}

}  // namespace
}  // namespace navtab
