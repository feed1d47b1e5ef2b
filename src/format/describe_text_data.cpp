// The text data manager of the video manager: a header, one search pointer per language, and per
// language a block of text items (volume name, title names ...) with their item codes.
#include <span>
#include <string>

#include "format/language.h"
#include "format/table_describer.h"
#include "core/layout/text_data_layout.h"
#include "format/text_item_names.h"

namespace navtab {
namespace {

using namespace txtdt;

// The text that starts at `offset` of the table: up to its first TAB or zero byte, never beyond
// the loaded bytes.
std::string_view itemText(std::span<const std::uint8_t> table, std::uint64_t offset) {
    if (offset >= table.size()) return {};
    const auto* text = reinterpret_cast<const char*>(table.data() + offset);
    std::size_t length = 0;
    while (offset + length < table.size() && text[length] != '\t' && text[length] != '\0') ++length;
    return {text, length};
}

void describeLanguagePointer(TableRows& rows, std::uint32_t n, std::uint32_t pointer) {
    rows.note("");
    rows.text("Language_%d: language code", n, pointer + kLanguageCode, kLanguageCodeSize, "%2s");
    const auto code = static_cast<std::uint16_t>(*readNumber(rows, pointer + kLanguageCode, 2));
    rows.note("  Language_%d: language", n, LanguageName(code));
    rows.word("Language_%d: unknown (possible nr. of textdata's)", n, pointer + kTextCount);
    rows.dword("Language_%d: start offset of textdata's", n, pointer + kBlockStart);
}

// The item entries of one block. An item's text is disc data, so it goes into the value of a note
// row, which is shown as it is; the label only ever holds the item's name from our own table.
void describeItems(TableRows& rows, std::span<const std::uint8_t> table, std::uint32_t block,
                   std::uint32_t count, EntryBudget& budget) {
    for (std::uint32_t e = 0; e < count; ++e) {
        const std::uint32_t entry = block + kFirstItem + e * kItemSize;
        if (!rows.inside(entry, kItemSize) || !budget.take()) return;
        const auto code = static_cast<int>(*readNumber(rows, entry + kItemCode, 1));
        const std::uint32_t textOffset = *readNumber(rows, entry + kItemText, 2);
        rows.run("    " + std::string(TextItemName(code)) + ": ", 0, entry, kItemSize);
        if (textOffset != 0)
            rows.note("      text:", 0,
                      itemText(table, std::uint64_t{block} + kItemTextBase + textOffset));
    }
}

void describeBlock(TableRows& rows, std::span<const std::uint8_t> table, std::uint32_t n,
                   std::uint32_t pointer, EntryBudget& budget) {
    const auto code = static_cast<std::uint16_t>(*readNumber(rows, pointer + kLanguageCode, 2));
    const std::uint32_t block = *readNumber(rows, pointer + kBlockStart, 4);
    rows.note("");
    rows.note("  Text data for Language_%d: (" + std::string(LanguageName(code)) + ")", n);
    // A block that starts outside the table has no rows to show.
    if (block >= table.size()) return;
    TableRows blockRows(rows.list(), ByteRef{ID_VMG_TXTDT_MG, block});
    blockRows.dword("    Language_%d: Textdata length (End byte)", n, kBlockEndByte);
    blockRows.word("    Language_%d: unknown", n, kUnknownWord1);
    blockRows.word("    Language_%d: unknown", n, kUnknownWord2);
    for (std::uint32_t i = 0; i < kUnknownRunCount; ++i)
        blockRows.run("    Language_%d: unknown", n, kUnknownRuns + i * kUnknownRunSize,
                      kUnknownRunSize);
    blockRows.run("    Language_%d: unknown", n, kUnknownTail, kUnknownTailSize);
    blockRows.word("    Language_%d: number of Entries", n, kItemCount);
    blockRows.word("    Language_%d: reserved?", n, kItemReserved);

    const std::uint32_t count = readNumber(blockRows, kItemCount, 2).value_or(0);
    describeItems(rows, table, block, count, budget);
    // The text right after the entry list; the row is left out when that lies outside the table.
    blockRows.text("    Language_%d: Movie Name", n, kFirstItem + count * kItemSize, 0, "%-12s");
}

}  // namespace

void DescribeVmgTxtdtMg(DescribeContext& ctx) {
    if (!beginTable(ctx, ID_VMG_TXTDT_MG, "There is no VMG_TXTDT_MG table")) return;
    const std::span<const std::uint8_t> table = ctx.ifo.table[ID_VMG_TXTDT_MG];
    TableRows rows(ctx.list, ByteRef{ID_VMG_TXTDT_MG, 0});
    rows.text("Company Identifier", 0, kCompanyId, kCompanyIdSize, "%-15s");
    rows.byte("Number of Language Units  in VMG_TXTDT_MG", 0, kLanguageCount);
    rows.dword("End byte of VMG_TXTDT_MG table", 0, kEndByte);
    rows.note("");

    const std::uint32_t count = readNumber(rows, kLanguageCount, 1).value_or(0);
    std::uint32_t readable = 0;
    while (readable < count &&
           rows.inside(kFirstLanguage + readable * kLanguageSize, kLanguageSize))
        ++readable;
    for (std::uint32_t n = 1; n <= readable; ++n)
        describeLanguagePointer(rows, n, kFirstLanguage + (n - 1) * kLanguageSize);
    // Blocks of different languages never share items in a well-formed table.
    EntryBudget budget(table.size(), kItemSize);
    for (std::uint32_t n = 1; n <= readable; ++n)
        describeBlock(rows, table, n, kFirstLanguage + (n - 1) * kLanguageSize, budget);
}

}  // namespace navtab
