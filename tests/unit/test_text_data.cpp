// The text data manager: language units, text items with and without text, and damaged tables.
#include <cstring>

#include "format/text_item_names.h"
#include "unit/table_fixture.h"

namespace navtab {
namespace {

struct TextData : test::TableFixture {
    TextData() {
        table(ID_VMG_TXTDT_MG);
        std::memcpy(at(0), "NAVTAB-TEST", 11);
        *at(0x0F) = 2;
        std::memcpy(at(0x14), "en", 2), put16(at(0x16), 3), put32(at(0x18), 0x24);
        std::memcpy(at(0x1C), "de", 2), put32(at(0x20), 0x200);
        put16(at(0x24 + 0xCC), 3);
        item(0, 0x01, 0);                         // Volume, no text
        item(1, 0x02, 0x1C);                      // Title, its text at block + 0xE8
        item(2, 0xFF, 2045 - 0x24 - 0xCC);        // a text that runs into the buffer's end
        std::memcpy(at(0x24 + 0xDC), "Film", 4);  // right after the entries
        std::memcpy(at(0x24 + 0xE8), "100% %s %n\tmore", 15);
        std::memcpy(at(2045), "xyz", 3);
    }
    void item(int e, std::uint8_t code, std::uint16_t textOffset) {
        *at(0x24 + 0xD0 + 4 * e) = code;
        put16(at(0x24 + 0xD2 + 4 * e), textOffset);
    }
};

TEST_F(TextData, LanguagesItemsAndTheirTexts) {
    describe();
    EXPECT_EQ(row("Company Identifier").dec, "NAVTAB-TEST    ");
    EXPECT_EQ(row("Language_2: language code").dec, "de");
    EXPECT_EQ(row("  Language_1: language").dec, "English");
    EXPECT_EQ(row("Language_1: unknown (possible nr. of textdata's)").dec, "3");
    EXPECT_EQ(row("  Text data for Language_2: (Deutsch)").kind, kFieldNote);
    EXPECT_EQ(count("    Language_1: unknown"), 12);
    EXPECT_EQ(row("    Language_1: number of Entries").address, "[000000f0] ");
    EXPECT_EQ(row("    Volume: ").hex, "[01 00 00 00 ]");
    EXPECT_EQ(row("    Volume: ", true).description, "    Title: ");
    EXPECT_EQ(row("    Title: ", true).description, "      text:");
    EXPECT_EQ(row("    Title: ", true).dec, "100% %s %n");
    EXPECT_EQ(row("    : ", true).dec, "xyz");  // code 0xFF has no name; its text stops at the end
    EXPECT_EQ(row("    Language_1: Movie Name").address, "[00000100] ");
    EXPECT_EQ(row("    Language_2: Movie Name").dec, std::string(12, ' '));
    *at(0x0F) = 0;  // no languages: the header rows and the empty note
    EXPECT_EQ(describe().size(), 4u);
}

TEST_F(TextData, DamagedCountsAndStartBytesStayInsideTheTable) {
    put32(at(0x20), 0xFFFFFFF0);  // the second block starts outside the table
    describe();
    EXPECT_EQ(count("  Text data for Language_2"), 1);
    EXPECT_EQ(count("    Language_2:"), 0);
    put32(at(0x20), 0x24), put16(at(0x24 + 0xCC), 0xFFFF);
    const auto& r = describe();
    EXPECT_EQ(std::count_if(r.begin(), r.end(), [](const FieldRow& x) { return x.length == 4; }),
              2048 / 4);
    EXPECT_EQ(count("    Language_1: Movie Name"), 0);
}

// The item names become row labels, which are formats: none may hold a conversion.
TEST(TextItemNames, NoNameHoldsAConversion) {
    EXPECT_EQ(TextItemName(0x01), "Volume");
    for (int code = 0; code < 0xFF; ++code) {
        EXPECT_EQ(TextItemName(code).find('%'), std::string_view::npos) << code;
        EXPECT_LE(TextItemName(code).size(), 19u) << code;
    }
}

}  // namespace
}  // namespace navtab
