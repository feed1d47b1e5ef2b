// How rows show their bytes: number formats, texts, byte runs, reserved hiding and the copy text.
#include <gtest/gtest.h>

#include "format/field_list.h"
#include "format/value_format.h"

namespace navtab {
namespace {

struct RowsFixture : ::testing::Test {
    RowsFixture() {
        ifo.table[ID_MAT].assign(2048, 0);
        ifo.table[ID_VTS_C_ADT].assign(2048, 0);
        list.setTableBase(ifo, ByteRef{ID_VTS_C_ADT, 0x10});
    }
    std::vector<std::uint8_t>& cadt() { return ifo.table[ID_VTS_C_ADT]; }
    ifo_t ifo;
    FieldList list;
};

TEST_F(RowsFixture, NumbersShowDecimalHexAndTheirAddressRelativeToTheTable) {
    cadt()[0x20] = 0x12, cadt()[0x21] = 0x34;
    for (int i = 0; i < 4; ++i) cadt()[0x30 + i] = 0xFF;
    cadt()[0x40] = 200;
    ASSERT_TRUE(list.AddFieldRow("word", 0, "", kFieldWord, ByteRef{ID_VTS_C_ADT, 0x20}, 0));
    ASSERT_TRUE(list.AddFieldRow("dword", 0, "", kFieldDword, ByteRef{ID_VTS_C_ADT, 0x30}, 0));
    ASSERT_TRUE(
        list.AddFieldRow("byte %d", 7, "%02x!", kFieldByte, ByteRef{ID_VTS_C_ADT, 0x40}, 0));
    const auto& r = list.rows();
    EXPECT_EQ(r[0].address + r[0].dec + r[0].hex, "[00000010] 4660[1234]");
    EXPECT_EQ(r[1].dec, "-1");  // the default format prints 32-bit values as signed
    EXPECT_EQ(r[2].description + r[2].dec + r[2].hex, "byte 7c8![c8]");
    EXPECT_EQ(*r[2].addressValue, 0x30u);
}

TEST_F(RowsFixture, ByteRunsTextsAndNotes) {
    cadt()[0x50] = 1, cadt()[0x51] = 2, cadt()[0x52] = 0xFF;
    list.AddFieldRow("run", 0, "", kFieldBytes, ByteRef{ID_VTS_C_ADT, 0x50}, 3);
    list.AddFieldRow("labelled", 0, "a label", kFieldBytes, ByteRef{ID_VTS_C_ADT, 0x50}, 3);
    list.AddFieldRow("empty", 0, "", kFieldBytes, ByteRef{ID_VTS_C_ADT, 0x50}, 0);
    EXPECT_EQ(list.rows()[0].dec + list.rows()[0].hex, "1 2 255 [01 02 ff ]");
    EXPECT_EQ(list.rows()[1].dec + list.rows()[1].hex, "a label[01 02 ff ]");
    EXPECT_EQ(list.rows()[2].dec + list.rows()[2].hex, "[]");
    const char* id = "DVDVIDEO-VTSXYZ";
    std::copy(id, id + 15, cadt().begin() + 0x60);
    list.AddFieldRow("id", 0, "%-14s|", kFieldText, ByteRef{ID_VTS_C_ADT, 0x60}, 12);
    list.AddFieldRow("short", 0, "%12s", kFieldText, ByteRef{ID_VTS_C_ADT, 0x60}, 3);
    EXPECT_EQ(list.rows()[3].dec, "DVDVIDEO-VTS  |");
    EXPECT_EQ(list.rows()[4].dec, "         DVD");
    EXPECT_EQ(list.rows()[4].hex, "");
    cadt()[2046] = 'A', cadt()[2047] = 'B';
    list.AddFieldRow("tail", 0, "%s", kFieldText, ByteRef{ID_VTS_C_ADT, 2046}, 0);
    EXPECT_EQ(list.rows()[5].dec, "AB");
    list.AddFieldRow("note %d%%", 5, "50% done", kFieldNote, ByteRef{ID_VTS_C_ADT, 0x50}, 0);
    EXPECT_EQ(list.rows()[6].description + list.rows()[6].dec, "note 5%50% done");
}

TEST_F(RowsFixture, FieldsOutsideTheirBufferAreNotShown) {
    EXPECT_FALSE(list.AddFieldRow("w", 0, "", kFieldWord, ByteRef{ID_VTS_C_ADT, 2047}, 0));
    EXPECT_FALSE(list.AddFieldRow("d", 0, "", kFieldDword, ByteRef{ID_VTS_C_ADT, 0xFFFFFFFE}, 0));
    EXPECT_FALSE(list.AddFieldRow("r", 0, "", kFieldBytes, ByteRef{ID_VTS_C_ADT, 2000}, 100));
    EXPECT_FALSE(list.AddFieldRow("t", 0, "%s", kFieldText, ByteRef{ID_VTS_C_ADT, 2048}, 0));
    EXPECT_FALSE(list.AddFieldRow("absent", 0, "", kFieldByte, ByteRef{ID_VTS_TMAPTI, 0}, 0));
    EXPECT_FALSE(list.AddFieldRow("null", 0, "", kFieldByte, std::nullopt, 0));
    EXPECT_TRUE(list.AddFieldRow("last", 0, "", kFieldWord, ByteRef{ID_VTS_C_ADT, 2046}, 0));
    EXPECT_EQ(list.rowCount(), 1);
}

TEST_F(RowsFixture, ReservedRowsHideUnlessAskedForAndCopyTextFollowsTheList) {
    list.copyMode = true;
    list.AddFieldRow("Reserved", 0, "", kFieldByte, ByteRef{ID_VTS_C_ADT, 0x10}, 0);
    list.AddFieldRow("reserved", 0, "", kFieldByte, ByteRef{ID_VTS_C_ADT, 0x11}, 0);
    list.addNote("");
    EXPECT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.rows()[0].description, "reserved");
    EXPECT_EQ(list.copyText, "[00000001] \treserved\t0\t[00]\r\n   \t\t\t\r\n");
    list.ClearFieldList();
    list.copyText.clear();
    list.showReserved = true;
    list.AddFieldRow("Reserved", 0, "", kFieldByte, ByteRef{ID_VTS_C_ADT, 0x10}, 0);
    EXPECT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.copyText, "[00000000] \tReserved\t0\t[00]\r\n");
}

TEST(ValueFormat, UnderstandsOnlyTheConversionsRowsUse) {
    EXPECT_EQ(formatWithInt("%d", 0x80000000LL), "-2147483648");
    EXPECT_EQ(formatWithInt("%u|%x|%X|%08x|%#x", 255), "255|ff|FF|000000ff|0xff");
    EXPECT_EQ(formatWithInt("%5d|%-5d|%05d|%+d", 42), "   42|42   |00042|+42");
    EXPECT_EQ(formatWithInt("%02d. Multichannel", 3), "03. Multichannel");
    EXPECT_EQ(formatWithInt("100%% %s %n %q", 1), "100%  %n %q");
    EXPECT_EQ(formatWithInt("%", 1), "%");
    EXPECT_EQ(formatWithText("[%-6s][%6s][%.2s]", "abc"), "[abc   ][   abc][ab]");
    EXPECT_EQ(formatWithText("%d %s", "x"), " x");
}

}  // namespace
}  // namespace navtab
