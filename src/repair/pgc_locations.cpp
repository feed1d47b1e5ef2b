#include "repair/pgc_locations.h"

#include "core/bytes.h"
#include "core/layout/pgc_layout.h"

namespace navtab::repair {
namespace {

using namespace navtab::pgc;

// The search pointers of one list (a language unit or VTS_PGCITI) starting at `list`.
void addList(const std::vector<std::uint8_t>& table, std::uint64_t list, int unit,
             std::size_t budget, PgcLocations& out) {
    if (list + kListEntries > table.size()) return;
    const std::uint32_t count = be16(&table[list + kListCount]);
    for (std::uint32_t j = 1; j <= count && out.pgcs.size() < budget; ++j) {
        const std::uint64_t srp = list + kListEntries + std::uint64_t{kListEntrySize} * (j - 1);
        if (srp + kListEntrySize > table.size()) break;
        out.pgcs.push_back({unit, static_cast<int>(j), list + be32(&table[srp + kSrpPgcStart])});
    }
}

}  // namespace

PgcLocations menuPgcLocations(const std::vector<std::uint8_t>& table) {
    PgcLocations out;
    if (table.size() < kListEntries) return out;
    const std::size_t budget = table.size() / kListEntrySize;
    const std::uint32_t units = be16(&table[kListCount]);
    for (std::uint32_t i = 1; i <= units && out.pgcs.size() < budget; ++i) {
        const std::uint64_t lu = kListEntries + std::uint64_t{kListEntrySize} * (i - 1);
        if (lu + kListEntrySize > table.size()) break;
        const std::uint64_t unitStart = be32(&table[lu + kLuStart]);
        if (unitStart + kListEntries > table.size()) {
            out.unitsOutside.push_back(static_cast<int>(i));
            continue;
        }
        addList(table, unitStart, static_cast<int>(i), budget, out);
    }
    return out;
}

PgcLocations titlePgcLocations(const std::vector<std::uint8_t>& table) {
    PgcLocations out;
    addList(table, 0, 0, table.size() / kListEntrySize, out);
    return out;
}

}  // namespace navtab::repair
