// Editing fields: typed numbers and edited byte runs written into table buffers (a whole table
// edited in the hex editor keeps its size: test_browser_session), the video attribute word split
// into the editor's choices and put together again, and the user operation boxes with their two
// bulk buttons.
#include <gtest/gtest.h>
#include <set>

#include "core/bytes.h"
#include "format/field_edit.h"
#include "format/uop_edit.h"
#include "format/video_attr_edit.h"

namespace navtab {
namespace {

FieldRow rowOf(int kind, std::string description) {
    FieldRow r;
    r.kind = kind;
    r.editable = kind >= kFieldByte && kind <= kFieldDword;
    r.description = std::move(description);
    r.data = ByteRef{ID_MAT, 0};
    return r;
}

// Typed text is read as atoi reads it; huge numbers are held at the limits of a long.
TEST(AtoiBits, ReadsLikeAtoi) {
    // clang-format off
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"  \t+42abc", 42u}, {"-1", 0xFFFFFFFFu}, {"70000", 70000u}, {"0x10", 0u}, {"abc", 0u},
        {"- 5", 0u}, {"4294967296", 0u}, {"99999999999999999999999", 0xFFFFFFFFu},
        {"-99999999999999999999999", 0u}};
    // clang-format on
    for (const auto& [text, bits] : cases) EXPECT_EQ(atoiBits(text), bits) << text;
}

TEST(EditorForRow, PicksTheEditorByKindAndDescription) {
    const std::tuple<int, const char*, RowEditor> cases[] = {
        {kFieldByte, "Number of Programs", RowEditor::Number},
        {kFieldWord, "Video attributes of VTSM_VOBS", RowEditor::VideoAttributes},
        {kFieldWord, "Video attributes", RowEditor::VideoAttributes},
        {kFieldByte, "Video attributes of VTSM_VOBS", RowEditor::Number},
        {kFieldWord, " Video attributes", RowEditor::Number},
        {kFieldDword, "  Prohibited user operations", RowEditor::UserOperations},
        {kFieldDword, "Prohibited user operations", RowEditor::Number},
        {kFieldDword, "  Prohibited user operations (menu)", RowEditor::Number},
        {kFieldBytes, "Reserved", RowEditor::Bytes},
        {kFieldText, "Identifier", RowEditor::NotEditable},
        {kFieldNote, "VTS overview:", RowEditor::NotEditable}};
    for (const auto& [kind, description, editor] : cases)
        EXPECT_EQ(editorForRow(rowOf(kind, description)), editor) << description;
}

struct NumberFields : ::testing::Test {
    NumberFields() { ifo.table[ID_MAT].assign(2048, 0); }
    ifo_t ifo;
    std::uint8_t* at(std::size_t offset) { return ifo.table[ID_MAT].data() + offset; }
};

TEST_F(NumberFields, StoresTheLowBitsBigEndian) {
    ASSERT_TRUE(storeNumberField(ifo, {ID_MAT, 10}, kFieldByte, atoiBits("256")));
    EXPECT_EQ(*at(10), 0);
    ASSERT_TRUE(storeNumberField(ifo, {ID_MAT, 20}, kFieldWord, atoiBits("70000")));
    EXPECT_EQ(be16(at(20)), 4464);
    EXPECT_EQ(*at(20), 0x11);
    ASSERT_TRUE(storeNumberField(ifo, {ID_MAT, 30}, kFieldDword, atoiBits("-1")));
    EXPECT_EQ(be32(at(30)), 0xFFFFFFFFu);
    EXPECT_EQ(*at(34), 0);  // nothing beyond the field
    EXPECT_EQ(*at(19), 0);
    EXPECT_EQ(*readNumberField(ifo, {ID_MAT, 20}, kFieldWord), 4464u);
}

TEST_F(NumberFields, NeverWritesOutsideTheBuffer) {
    EXPECT_FALSE(storeNumberField(ifo, {ID_MAT, 2046}, kFieldDword, 1));
    EXPECT_FALSE(storeNumberField(ifo, {ID_VTS_C_ADT, 0}, kFieldByte, 1));  // absent table
    EXPECT_FALSE(storeNumberField(ifo, {kIfoTableSlots, 0}, kFieldByte, 1));
    EXPECT_FALSE(storeNumberField(ifo, {ID_MAT, 0}, kFieldText, 1));
    EXPECT_EQ(be16(at(2046)), 0);
    EXPECT_FALSE(readNumberField(ifo, {ID_MAT, 2047}, kFieldWord).has_value());
}

TEST(NumberColumns, ShowTheStoredValueAndEveryByteOfARun) {
    EXPECT_EQ(numberColumns(kFieldWord, 0x1234).dec, "4660");
    EXPECT_EQ(numberColumns(kFieldByte, 0x1FF).hex, "[ff]");
    EXPECT_EQ(numberColumns(kFieldDword, 0xFFFFFFFF).dec, "-1");
    EXPECT_EQ(numberColumns(kFieldDword, 0xFFFFFFFF).hex, "[ffffffff]");
    const std::uint8_t bytes[] = {1, 2, 255};
    EXPECT_EQ(byteRunColumns(bytes).dec + byteRunColumns(bytes).hex, "1 2 255 [01 02 ff ]");
}

TEST_F(NumberFields, ByteRunsTakeAtMostTheirLength) {
    const std::vector<std::uint8_t> longer = {9, 9, 9, 9, 9, 9};
    EXPECT_EQ(writeByteRun(ifo, {ID_MAT, 100}, 4, longer), 4u);
    EXPECT_EQ(*at(103), 9);
    EXPECT_EQ(*at(104), 0);
    const std::vector<std::uint8_t> shorter = {7};
    EXPECT_EQ(writeByteRun(ifo, {ID_MAT, 100}, 4, shorter), 1u);
    EXPECT_EQ(*at(100), 7);
    EXPECT_EQ(*at(101), 9);  // the rest of the run keeps its bytes
    EXPECT_EQ(writeByteRun(ifo, {ID_MAT, 2046}, 4, longer), 0u);
    EXPECT_EQ(*at(2046), 0);
    EXPECT_EQ(byteRun(ifo, {ID_MAT, 100}, 4).size(), 4u);
    EXPECT_TRUE(byteRun(ifo, {ID_MAT, 2046}, 4).empty());
}

TEST(VideoAttrEdit, SplitsEveryGroup) {
    const std::uint16_t word =
        (0x40 | 0x10 | 0x0C | 0x02) << 8 | (0x80 | 0x10 | 0x04 | 0x02 | 0x01);
    const VideoAttrChoices c = decodeVideoAttr(word);
    EXPECT_EQ(c.codingMode, 1);
    EXPECT_EQ(c.standard, 1);
    EXPECT_EQ(c.aspectRatio, 3);
    EXPECT_FALSE(c.automaticPanScan);
    EXPECT_TRUE(c.automaticLetterbox);
    EXPECT_TRUE(c.ccField1);
    EXPECT_FALSE(c.ccField2);
    EXPECT_EQ(c.bitRate, 1);
    EXPECT_EQ(c.resolution, 1);
    EXPECT_TRUE(c.letterboxed);
    EXPECT_EQ(c.film, 1);
    EXPECT_EQ(encodeVideoAttr(c, word), word);
}

TEST(VideoAttrEdit, UnchangedChoicesGiveTheSameWord) {
    for (unsigned w = 0; w <= 0xFFFF; ++w) {
        const unsigned coding = (w >> 14) & 3, standard = (w >> 12) & 3;
        if (coding > 1 || standard > 1) continue;  // values without a button
        const auto word = static_cast<std::uint16_t>(w);
        ASSERT_EQ(encodeVideoAttr(decodeVideoAttr(word), word), word) << w;
    }
}

// A value without a button is written as all ones; the reserved aspect ratio and the reserved
// bit stay; the pan-scan and letterbox boxes are checked when their bit is clear.
TEST(VideoAttrEdit, ValuesWithoutAButtonReservedBitsAndTheInvertedBoxes) {
    const VideoAttrChoices standard2 = decodeVideoAttr(0x2000);
    EXPECT_EQ(standard2.standard, kNoChoice);
    EXPECT_EQ(encodeVideoAttr(standard2, 0x2000) >> 12 & 3, 3);
    EXPECT_EQ(decodeVideoAttr(0x4800).aspectRatio, 2);
    EXPECT_EQ(encodeVideoAttr(decodeVideoAttr(0x4000), 0x0020) & 0x20, 0x20);
    EXPECT_FALSE(decodeVideoAttr(0x0200).automaticPanScan);
    EXPECT_FALSE(decodeVideoAttr(0x0100).automaticLetterbox);
    VideoAttrChoices none;  // nothing chosen at all
    none.automaticPanScan = none.automaticLetterbox = true;
    EXPECT_EQ(encodeVideoAttr(none, 0), 0xFC00 | 0x10 | 0x0C | 0x01);
    none.automaticPanScan = false;
    EXPECT_EQ(encodeVideoAttr(none, 0) & 0x0200, 0x0200);
}

TEST(UopEdit, TheGroupsHoldEveryBitOnceAndCheckAllKeepsTheBitsWithoutAName) {
    std::multiset<int> bits;
    for (auto group : uopGroups()) bits.insert(group.begin(), group.end());
    ASSERT_EQ(bits.size(), 32u);
    for (int bit = 0; bit < 32; ++bit) EXPECT_EQ(bits.count(bit), 1u) << bit;
    EXPECT_EQ(uopLabel(32), "");
    EXPECT_EQ(checkAllUops(0x80000000), 0x81FFFFFFu);
    EXPECT_EQ(clearAllUops(0x81FFFFFF), 0u);
    EXPECT_FALSE(uopBit(0x80000000, 30));
    EXPECT_EQ(withUopBit(0xFFFFFFFF, 0, false), 0xFFFFFFFEu);
}

}  // namespace
}  // namespace navtab
