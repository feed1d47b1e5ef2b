#include "vob/stream_ifo_correction.h"
#include "core/path_parts.h"

#include <algorithm>
#include <cctype>

#include "core/bytes.h"
#include "core/ifo_classes_mat.h"
#include "core/layout/pgc_layout.h"
#include "core/layout/title_tables_layout.h"

namespace navtab::vob {
namespace {

// Copies `bytes` to `at` of `table` when they fit inside it (and before `limit`); true when a
// byte changed.
bool store(std::vector<std::uint8_t>& table, std::size_t at, std::span<const std::uint8_t> bytes,
           std::size_t limit) {
    const std::size_t end = std::min(limit, table.size());
    if (at > end || bytes.size() > end - at) return false;
    if (std::equal(bytes.begin(), bytes.end(), table.begin() + static_cast<std::ptrdiff_t>(at)))
        return false;
    std::copy(bytes.begin(), bytes.end(), table.begin() + static_cast<std::ptrdiff_t>(at));
    return true;
}

bool storeByte(std::vector<std::uint8_t>& table, std::size_t at, std::uint8_t value,
               std::size_t limit) {
    const std::uint8_t b[1] = {value};
    return store(table, at, b, limit);
}

// The attribute records and counts of one stream group: `audioAt` and `subpAt` are where the
// records start, each count lies one byte before its records; at most `audioSlots` and
// `subpSlots` records are written, and nothing at or past `limit`.
bool storeStreams(std::vector<std::uint8_t>& table, std::size_t audioAt, std::size_t audioSlots,
                  std::size_t subpAt, std::size_t subpSlots, const CIfoStreamUsage& usage,
                  std::size_t limit) {
    bool changed = storeByte(table, audioAt - 1,
                             static_cast<std::uint8_t>(usage.availableAudioCount()), limit);
    for (std::size_t i = 0; i < std::min(audioSlots, kAudioStreamCount); ++i)
        changed |=
            store(table, audioAt + i * CIfoAudioAttr::kSize, usage.audio()[i].attr.bytes, limit);
    changed |=
        storeByte(table, subpAt - 1, static_cast<std::uint8_t>(usage.availableSubpCount()), limit);
    for (std::size_t i = 0; i < std::min(subpSlots, kSubpStreamCount); ++i)
        changed |= store(table, subpAt + i * CIfoSubpAttr::kSize, usage.subpictures()[i].attr.bytes,
                         limit);
    return changed;
}

bool storeControlWords(std::vector<std::uint8_t>& pgcit, const CIfoStreamUsage& usage) {
    const ByteReader in(pgcit);
    const std::size_t count =
        std::min<std::size_t>(in.u16(pgc::kListCount), usage.pgcControls().size());
    bool changed = false;
    for (std::size_t p = 0; p < count; ++p) {
        const std::size_t at =
            in.u32(pgc::kListEntries + pgc::kListEntrySize * p + pgc::kSrpPgcStart);
        if (!in.has(at, pgc::kHeaderSize)) continue;
        const PgcStreamControl& c = usage.pgcControls()[p];
        for (std::size_t i = 0; i < kAudioStreamCount; ++i) {
            std::uint8_t w[2];
            put16(w, c.audio[i]);
            changed |= store(pgcit, at + pgc::kAudioControl + 2 * i, w, pgcit.size());
        }
        for (std::size_t i = 0; i < kSubpStreamCount; ++i) {
            std::uint8_t w[4];
            put32(w, c.subp[i]);
            changed |= store(pgcit, at + pgc::kSubpControl + 4 * i, w, pgcit.size());
        }
    }
    return changed;
}

bool storeVtsAttributes(std::vector<std::uint8_t>& atrt, int titleSet,
                        const CIfoStreamUsage& usage) {
    const ByteReader in(atrt);
    if (titleSet < 1 || titleSet > in.u16(vts_atrt::kTitleSetCount)) return false;
    const std::size_t pointer = vts_atrt::kFirstRecord + 4 * std::size_t(titleSet - 1);
    if (!in.has(pointer, 4)) return false;
    const std::size_t record = in.u32(pointer);
    if (!in.has(record, 4)) return false;
    // The entry's end address counts from its start; nothing goes past it.
    const std::size_t limit = record + std::size_t{in.u32(record + vts_atrt::kRecordEndByte)} + 1;
    const auto& g = vts_atrt::kTitle;
    return storeStreams(atrt, record + g.audio, g.audioSlots, record + g.subpicture, g.subpSlots,
                        usage, limit);
}

}  // namespace

int titleSetNumberOf(const std::string& path) {
    const std::string name = fileNameOf(path);
    if (name.size() < 6 || std::toupper(static_cast<unsigned char>(name[0])) != 'V' ||
        !std::isdigit(static_cast<unsigned char>(name[4])) ||
        !std::isdigit(static_cast<unsigned char>(name[5])))
        return 0;
    return (name[4] - '0') * 10 + (name[5] - '0');
}

bool CorrectStreamAttributes(ifo_t& vts, ifo_t* vmg, int titleSet, const CIfoStreamUsage& compacted,
                             bool& vmgChanged) {
    auto& mat = vts.table[ID_MAT];
    bool changed = storeStreams(mat, mat::kTitleAudio, mat::kTitleAudioSlots, mat::kTitleSubp,
                                mat::kTitleSubpSlots, compacted, mat.size());
    if (vts.has(ID_VTS_PGCITI)) changed |= storeControlWords(vts.table[ID_VTS_PGCITI], compacted);
    vmgChanged = vmg != nullptr && vmg->has(ID_VMG_VTS_ATRT) &&
                 storeVtsAttributes(vmg->table[ID_VMG_VTS_ATRT], titleSet, compacted);
    return changed;
}

}  // namespace navtab::vob
