#include "vob/strip_choice.h"

#include "core/bytes.h"
#include "core/ifo_classes_pgci.h"
#include "core/layout/address_tables_layout.h"
#include "core/text_printf.h"
#include "format/language.h"
#include "format/stream_attributes.h"
#include "vob/title_pgc_cells.h"

namespace navtab::vob {
namespace {

// An extension text equal to the "unspecified" one is shown as empty.
std::string_view shownExtension(std::string_view text, std::string_view unspecified) {
    return text == unspecified ? std::string_view() : text;
}

// "0x80,0xc0)" for the ids of a stream.
std::string idList(const std::vector<std::uint8_t>& ids) {
    std::string out;
    for (const std::uint8_t id : ids) out += strprintf("0x%02x,", id);
    if (!out.empty()) out.pop_back();
    return out + ")";
}

std::string audioRowText(std::size_t index, const AudioStreamUse& use) {
    const auto& a = use.attr.bytes;
    const std::string language(LanguageName(be16(&a[2])));
    const std::string coding(AudioCodingName(a[0] >> 5));
    const std::string rate(AudioSampleRateName((a[1] >> 4) & 3));
    const std::string quantization(AudioQuantizationName(a[1] >> 6));
    const std::string extension(shownExtension(AudioExtensionName(a[5]), AudioExtensionName(0)));
    return strprintf("  Audio %d: %s (%s %dch %s %s %s) (ID: ", static_cast<int>(index + 1),
                     language.c_str(), coding.c_str(), (a[1] & 7) + 1, rate.c_str(),
                     quantization.c_str(), extension.c_str()) +
           idList(use.ids);
}

std::string subpRowText(std::size_t index, const SubpStreamUse& use) {
    const auto& s = use.attr.bytes;
    const std::string language(LanguageName(be16(&s[2])));
    const std::string coding(SubpictureCodingName(s[0] >> 5));
    const std::string extension(
        shownExtension(SubpictureExtensionName(s[5]), SubpictureExtensionName(0)));
    return strprintf("  SubPicture %d: %s (%s %s) (ID: ", static_cast<int>(index + 1),
                     language.c_str(), coding.c_str(), extension.c_str()) +
           idList(use.ids);
}

// The menu PGCI unit table of a title set or of the video manager.
int menuUnitTable(const ifo_t& ifo) {
    return ifoKind(&ifo) == IfoKind::Vmg ? ID_VMGM_PGCI_UT : ID_VTSM_PGCI_UT;
}

// New id = id - number of ids not kept up to and including it (kept ids only).
void renumberVobIds(std::size_t count, StripChoices& choices) {
    std::size_t dropped = 0;
    for (std::size_t id = 1; id <= count && id < StripChoices::kVobIds; ++id) {
        if (!choices.keepVobId[id]) {
            ++dropped;
            choices.newVobId[id] = 0;
        } else {
            choices.newVobId[id] = static_cast<std::uint16_t>(dropped > 0 ? id - dropped : 0);
        }
    }
}

}  // namespace

std::string StripDialog::idColumn() const {
    return mode == StripMode::LanguageUnits ? "Nr" : "Id";
}

std::string StripDialog::textColumn() const {
    switch (mode) {
        case StripMode::Streams:
            return "Stream";
        case StripMode::VobIds:
            return "Vob";
        case StripMode::LanguageUnits:
            break;
    }
    return "Language Unit";
}

StripDialog streamStripDialog(const CIfoStreamUsage& usage) {
    StripDialog d;
    d.mode = StripMode::Streams;
    for (std::size_t i = 0; i < kAudioStreamCount; ++i) {
        if (!usage.audio()[i].available) continue;
        d.rows.push_back(
            {i == 0, std::to_string(i), audioRowText(i, usage.audio()[i]), usage.audio()[i].ids});
        d.streamOf.push_back(i);
    }
    d.audioRows = d.rows.size();
    for (std::size_t i = 0; i < kSubpStreamCount; ++i) {
        if (!usage.subpictures()[i].available) continue;
        d.rows.push_back({i == 0, std::to_string(i), subpRowText(i, usage.subpictures()[i]),
                          usage.subpictures()[i].ids});
        d.streamOf.push_back(i);
    }
    return d;
}

StripDialog vobIdStripDialog(std::size_t vobIdCount, const StripChoices& choices) {
    StripDialog d;
    d.mode = StripMode::VobIds;
    for (std::size_t id = 1; id <= vobIdCount; ++id)
        d.rows.push_back({choices.vobIdKept(static_cast<std::uint32_t>(id)),
                          std::to_string(id),
                          strprintf("VobId %d", static_cast<int>(id)),
                          {}});
    return d;
}

StripDialog languageUnitStripDialog(const ifo_t& ifo) {
    StripDialog d;
    d.mode = StripMode::LanguageUnits;
    const int table = menuUnitTable(ifo);
    if (!ifo.has(table)) return d;
    const CIfoPgciUt units(ifo.table[table]);
    for (std::size_t i = 0; i < units.units.size(); ++i) {
        const auto& lang = units.units[i]->language;
        const std::string name(LanguageName(static_cast<std::uint16_t>(lang[0] << 8 | lang[1])));
        d.rows.push_back({i == 0,
                          std::to_string(i + 1),
                          strprintf("Language Unit.%d (%s)", static_cast<int>(i + 1), name.c_str()),
                          {}});
    }
    return d;
}

void applyStreamChoice(const StripDialog& dialog, StripChoices& choices) {
    choices.keepStreamId.fill(false);
    choices.keepAudio.fill(false);
    choices.keepSubp.fill(false);
    choices.newAudio.fill(0);
    choices.newSubp.fill(0);
    std::size_t droppedAudio = 0, droppedSubp = 0;
    for (std::size_t row = 0; row < dialog.rows.size() && row < dialog.streamOf.size(); ++row) {
        const bool audio = row < dialog.audioRows;
        const std::size_t stream = dialog.streamOf[row];
        std::size_t& dropped = audio ? droppedAudio : droppedSubp;
        if (!dialog.rows[row].keep) {
            ++dropped;
            continue;
        }
        const std::size_t position = (audio ? row : row - dialog.audioRows) - dropped;
        for (const std::uint8_t id : dialog.rows[row].ids) choices.keepStreamId[id] = true;
        if (audio) {
            choices.keepAudio[stream] = true;
            choices.newAudio[stream] = static_cast<std::uint8_t>(position);
        } else {
            choices.keepSubp[stream] = true;
            choices.newSubp[stream] = static_cast<std::uint8_t>(position);
        }
    }
    choices.correctIfo = dialog.correctIfo;
}

void applyVobIdChoice(const StripDialog& dialog, StripChoices& choices) {
    for (std::size_t row = 0; row < dialog.rows.size() && row + 1 < StripChoices::kVobIds; ++row)
        choices.keepVobId[row + 1] = dialog.rows[row].keep;
    renumberVobIds(dialog.rows.size(), choices);
    choices.correctIfo = dialog.correctIfo;
}

void applyLanguageUnitChoice(const StripDialog& dialog, const ifo_t& ifo, std::size_t vobIdCount,
                             StripChoices& choices) {
    choices.keepLanguageUnit.clear();
    for (const StripRow& row : dialog.rows) choices.keepLanguageUnit.push_back(row.keep);
    for (std::size_t id = 1; id <= vobIdCount && id < StripChoices::kVobIds; ++id)
        choices.keepVobId[id] = false;
    const int table = menuUnitTable(ifo);
    if (ifo.has(table)) {
        const CIfoPgciUt units(ifo.table[table]);
        const ByteReader bytes(ifo.table[table]);
        const auto& unitsOf = units.units;
        for (std::size_t u = 0; u < units.units.size() && u < choices.keepLanguageUnit.size();
             ++u) {
            if (!choices.keepLanguageUnit[u]) continue;
            for (const auto& srp : unitsOf[u]->srps)
                for (const PgcCellEntry& cell :
                     pgcCellEntriesAt(bytes, std::size_t{unitsOf[u]->unitStart} + srp->pgcStart)
                         .cells)
                    choices.keepVobId[cell.vobId] = true;
        }
    }
    renumberVobIds(vobIdCount, choices);
    choices.correctIfo = dialog.correctIfo;
}

std::size_t cellAddressVobIds(const ifo_t& ifo, bool menu) {
    const int table = !menu                           ? ID_VTS_C_ADT
                      : ifoKind(&ifo) == IfoKind::Vmg ? ID_VMGM_C_ADT
                                                      : ID_VTSM_C_ADT;
    if (!ifo.has(table)) return 0;
    return ByteReader(ifo.table[table]).u16(c_adt::kVobCount);
}

}  // namespace navtab::vob
