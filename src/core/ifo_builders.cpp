#include "core/ifo_builders.h"

#include <algorithm>
#include <functional>
#include <new>
#include <span>
#include <vector>

#include "core/bytes.h"
#include "core/ifo_tables.h"
#include "core/misc.h"

namespace navtab {
namespace {

constexpr const char* kSource = "IfoClasses";

// One table a builder may hold, whatever its class: its size, and how to serialise it.
struct PlannedTable {
    TableId id;
    std::size_t size = 0;
    std::function<Serialised()> serialise;  // empty when the builder does not hold the table

    bool present() const { return static_cast<bool>(serialise); }
};

template <typename Table>
PlannedTable plan(TableId id, const std::unique_ptr<Table>& table) {
    if (!table) return {id, 0, {}};
    return {id, table->size(), [t = table.get()] { return t->serialise(); }};
}

const PlannedTable* find(std::span<const PlannedTable> tables, TableId id) {
    auto it = std::find_if(tables.begin(), tables.end(),
                           [id](const PlannedTable& t) { return t.id == id; });
    return it == tables.end() ? nullptr : &*it;
}

// Places the present tables one after another from sector 1, in the order of the file kind's
// table list, behind the one-sector management table. Every other table pointer becomes 0: the
// new file holds no such table, and a pointer left from a parsed source would point into tables
// that now lie there.
void layoutTables(CIfoMat& mat, std::span<const TableLocation> order,
                  std::span<const PlannedTable> tables) {
    std::uint32_t next = 1;
    for (const TableLocation& location : order) {
        const PlannedTable* table = find(tables, location.id);
        std::uint32_t sector = 0;
        if (table != nullptr && table->present()) {
            sector = next;
            next += static_cast<std::uint32_t>(roundToSector(table->size) / kSectorSize);
        }
        put32(mat.stored.data() + location.matPointer, sector);
    }
    put32(mat.stored.data() + kMatLastSectorOfIfo, next - 1);
}

IfoHandle refuse(const std::string& why, std::string* error) {
    NAVTAB_DIAG(kSource, "%s\n", why.c_str());
    if (error != nullptr) *error = why;
    return nullptr;
}

IfoHandle buildIfo(CIfoMat* mat, MatForm form, std::span<const TableLocation> order,
                   std::span<const PlannedTable> tables, std::string* error) {
    if (mat == nullptr || mat->form != form)
        return refuse(form == MatForm::Manager ? "a video manager needs a VMGI_MAT"
                                               : "a title set needs a VTSI_MAT",
                      error);
    layoutTables(*mat, order, tables);
    IfoHandle ifo;
    try {
        ifo = std::make_unique<ifo_t>();
    } catch (const std::bad_alloc&) {
        return refuse("memory squeeze (ifo)", error);
    }
    ifo->pos = 0;
    Serialised management = mat->serialise();
    if (!management.ok()) return refuse(management.error, error);
    ifo->table[ID_MAT] = std::move(management.bytes);
    std::uint64_t bytes = ifo->table[ID_MAT].size();
    for (const PlannedTable& table : tables) {
        if (!table.present()) continue;
        Serialised s = table.serialise();
        if (!s.ok()) return refuse(s.error, error);
        bytes += s.bytes.size();
        ifo->table[table.id] = std::move(s.bytes);
    }
    ifo->fileSize = bytes;
    return ifo;
}

}  // namespace

namespace {

std::vector<PlannedTable> plannedTables(const CIfoVtsBuilder& b) {
    return {plan(ID_PTT_SRPTI, b.pttSrpt),       plan(ID_VTS_PGCITI, b.pgcit),
            plan(ID_VTSM_PGCI_UT, b.menuPgciUt), plan(ID_VTS_TMAPTI, b.tmapt),
            plan(ID_VTSM_C_ADT, b.menuCadt),     plan(ID_VTSM_VOBU_ADMAP, b.menuVobuAdmap),
            plan(ID_VTS_C_ADT, b.cadt),          plan(ID_VTS_VOBU_ADMAP, b.vobuAdmap)};
}

std::vector<PlannedTable> plannedTables(const CIfoVmgBuilder& b) {
    return {plan(ID_VMG_PTT_SRPT, b.ttSrpt), plan(ID_VMGM_PGCI_UT, b.menuPgciUt),
            plan(ID_VMG_VTS_ATRT, b.vtsAtrt), plan(ID_VMGM_C_ADT, b.menuCadt),
            plan(ID_VMGM_VOBU_ADMAP, b.menuVobuAdmap)};
}

}  // namespace

void CIfoVtsBuilder::Layout() {
    if (mat) layoutTables(*mat, kVtsTables, plannedTables(*this));
}

IfoHandle CIfoVtsBuilder::BuildIfo(std::string* error) {
    return buildIfo(mat.get(), MatForm::TitleSet, kVtsTables, plannedTables(*this), error);
}

void CIfoVmgBuilder::Layout() {
    if (mat) layoutTables(*mat, kVmgTables, plannedTables(*this));
}

IfoHandle CIfoVmgBuilder::BuildIfo(std::string* error) {
    return buildIfo(mat.get(), MatForm::Manager, kVmgTables, plannedTables(*this), error);
}

}  // namespace navtab
