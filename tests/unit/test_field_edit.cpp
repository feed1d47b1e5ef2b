// Writing typed numbers and edited byte runs into table buffers (a whole table edited in the hex
// editor keeps its size: test_browser_session).
#include <gtest/gtest.h>

#include "core/bytes.h"
#include "format/field_edit.h"

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

}  // namespace
}  // namespace navtab
