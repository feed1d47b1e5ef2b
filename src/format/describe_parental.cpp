// The parental management table: for each country, the masks of the first parental level for the
// video manager and every title set.
#include "format/table_describer.h"
#include "core/layout/title_tables_layout.h"

namespace navtab {

void DescribeVmgPtlMait(DescribeContext& ctx) {
    using namespace ptl_mait;
    if (!beginTable(ctx, ID_VMG_PTL_MAIT, "There is no VMG_PTL_MAIT table")) return;
    TableRows rows(ctx.list, ByteRef{ID_VMG_PTL_MAIT, 0});
    rows.word("Number of Countries", 0, kCountryCount);
    rows.word("Number of Video Title Sets", 0, kTitleSetCount);
    rows.dword("End byte of PTL_MAIT table", 0, kEndByte);

    const std::uint32_t countries = readNumber(rows, kCountryCount, 2).value_or(0);
    const std::uint32_t titleSets = readNumber(rows, kTitleSetCount, 2).value_or(0);
    // Each country normally has a block of its own; countries sharing one block still show it,
    // but a table cannot show more masks than it has words.
    EntryBudget budget(ctx.ifo.table[ID_VMG_PTL_MAIT].size(), kMaskSize);
    for (std::uint32_t c = 1; c <= countries; ++c) {
        const std::uint32_t entry = kFirstCountry + (c - 1) * kCountrySize;
        if (!rows.inside(entry, kCountrySize)) break;
        rows.text("  Country_%d: Country Code (ISO-?]", c, entry + kCountryCode, kCountryCodeSize,
                  "%2s");
        rows.word("  Country_%d: Reserved", c, entry + kReserved1);
        rows.word("  Country_%d: PTL_MAI start byte", c, entry + kPtlMaiStart);
        rows.word("  Country_%d: Reserved", c, entry + kReserved2);

        // Masks for the VMG (VTS 0) and title sets 1 to n; those outside the buffer end the run.
        const std::uint32_t block = *readNumber(rows, entry + kPtlMaiStart, 2);
        for (std::uint32_t j = 0; j <= titleSets; ++j) {
            if (!rows.inside(block + j * kMaskSize, kMaskSize) || !budget.take()) break;
            rows.word("    Parental mask for Parental Level 1 in VTS %d", j, block + j * kMaskSize);
        }
    }
}

}  // namespace navtab
