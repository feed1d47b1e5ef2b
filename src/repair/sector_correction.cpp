#include "repair/sector_correction.h"

#include "core/ascii_case.h"
#include "core/bytes.h"
#include "core/ifo_tables.h"
#include "core/layout/title_tables_layout.h"
#include "core/text_printf.h"
#include "core/user_interaction.h"
#include "repair/folder_fit.h"

namespace navtab::repair {
namespace {

// One table's corrections: each field is compared with its new value and, when it differs,
// rewritten and reported.
class FieldCorrector {
  public:
    explicit FieldCorrector(std::vector<std::uint8_t>& table) : table_(table) {}

    // `line` makes the report line from the old and the new value.
    template <typename Line>
    void dword(std::uint32_t offset, std::int64_t value, Line line) {
        // A file too short to hold one whole sector has no last sector to store.
        if (value < 0 || std::uint64_t{offset} + 4 > table_.size()) return;
        const std::uint32_t old = be32(&table_[offset]);
        const auto stored = static_cast<std::uint32_t>(value);
        if (old == stored) return;
        put32(&table_[offset], stored);
        report_ += line(static_cast<int>(old), static_cast<int>(stored));
    }

    template <typename Line>
    void word(std::uint32_t offset, int value, Line line) {
        if (std::uint64_t{offset} + 2 > table_.size()) return;
        const std::uint16_t old = be16(&table_[offset]);
        const auto stored = static_cast<std::uint16_t>(value);
        if (old == stored) return;
        put16(&table_[offset], stored);
        report_ += line(old, stored);
    }

    std::string take() { return std::move(report_); }

  private:
    std::vector<std::uint8_t>& table_;
    std::string report_;
};

std::string upperPrefix(const std::string& name, std::size_t n) {
    return upperAscii(name.substr(0, n));
}

constexpr const char* kHeadingFormat = "Corrected sector addresses in table [%s]:\n\n";

// The report line of a field whose line names one file: "<label>: [old: %d] [new: %d] (%s)\n".
auto fileLine(const char* label, std::string file) {
    return [label, file = std::move(file)](int old, int now) {
        return strprintf("%s: [old: %d] [new: %d] (%s)\n", label, old, now, file.c_str());
    };
}

}  // namespace

std::string CorrectVmgiMat(ifo_t& ifo, const DiscListing& listing) {
    if (!ifo.has(ID_MAT)) return {};
    FieldCorrector mat(ifo.table[ID_MAT]);
    const std::string ifoName = listing.diskName("VIDEO_TS.IFO");
    const std::string vobName = listing.diskName("VIDEO_TS.VOB");
    // The video manager ends with its backup copy when there is one.
    if (listing.exists("VIDEO_TS.BUP"))
        mat.dword(kMatLastSector, listing.ListingSector("VIDEO_TS.BUP", true),
                  fileLine("Last Sector of VMG", vobName));
    else if (listing.exists("VIDEO_TS.IFO"))
        mat.dword(kMatLastSector, listing.ListingSector("VIDEO_TS.IFO", true),
                  fileLine("Last Sector of VMG", vobName));
    if (listing.exists("VIDEO_TS.IFO"))
        mat.dword(kMatLastSectorOfIfo, listing.ListingSector("VIDEO_TS.IFO", true),
                  fileLine("Last Sector of VMGI", ifoName));
    mat.dword(kMatMenuVobsStart,
              listing.exists("VIDEO_TS.VOB") ? listing.ListingSector("VIDEO_TS.VOB", false) : 0,
              fileLine("Start sector of VMGM_VOBS", vobName));
    mat.word(kVmgTitleSetCount, listing.titleSetCount(), [](int old, int now) {
        return strprintf("VMG Number of Title Sets: [old: %d] [new: %d]\n", old, now);
    });
    return mat.take();
}

std::string CorrectTitleSearchPointers(ifo_t& ifo, const DiscListing& listing) {
    if (!ifo.has(ID_VMG_PTT_SRPT)) return {};
    auto& table = ifo.table[ID_VMG_PTT_SRPT];
    if (table.size() < 2) return {};
    FieldCorrector titles(table);
    const std::uint32_t count = be16(&table[vmg_ptt::kTitleCount]);
    for (std::uint32_t t = 1; t <= count; ++t) {
        const std::uint64_t entry =
            vmg_ptt::kFirstTitle + std::uint64_t{vmg_ptt::kTitleSize} * (t - 1);
        if (entry + vmg_ptt::kTitleSize > table.size()) break;
        const std::string name = titleSetIfoName(table[entry + vmg_ptt::kVtsNumber]);
        if (!listing.exists(name)) continue;
        titles.dword(static_cast<std::uint32_t>(entry + vmg_ptt::kVtsStart),
                     listing.ListingSector(name, false), [&](int old, int now) {
                         return strprintf("Title_%d: [old: %d] [new: %d] (%s)\n",
                                          static_cast<int>(t), old, now,
                                          listing.diskName(name).c_str());
                     });
    }
    return titles.take();
}

std::string CorrectVtsiMat(ifo_t& ifo, const DiscListing& listing, const std::string& fileName) {
    // Only a title set's own files have a place in the layout; a renamed copy has none.
    if (!ifo.has(ID_MAT) || !isDvdVideoFileName(fileName) || !listing.exists(fileName)) return {};
    const std::string s8 = upperPrefix(fileName, 8);  // VTS_nn_0
    const std::string s6 = upperPrefix(fileName, 6);  // VTS_nn
    // The title set's addresses count from the first sector of its IFO file, also when its BUP
    // copy is the file loaded.
    const std::string ifoName = listing.exists(s8 + ".IFO") ? s8 + ".IFO" : fileName;
    const std::int64_t base = listing.ListingSector(ifoName, false);
    FieldCorrector mat(ifo.table[ID_MAT]);
    if (listing.exists(s8 + ".BUP"))
        mat.dword(kMatLastSector, listing.ListingSector(s8 + ".BUP", true) - base,
                  fileLine("Last Sector of VTS", listing.diskName(s8 + ".BUP")));
    mat.dword(kMatLastSectorOfIfo, listing.ListingSector(ifoName, true) - base,
              fileLine("Last Sector of VTSI", listing.diskName(ifoName)));
    const std::string menuVob = s8 + ".VOB";
    mat.dword(kMatMenuVobsStart,
              listing.exists(menuVob) ? listing.ListingSector(menuVob, false) - base : 0,
              fileLine("Start sector of VTSM_VOBS", listing.diskName(menuVob)));
    const std::string titleVob = s6 + "_1.VOB";
    mat.dword(kVtsTitleVobsStart,
              listing.exists(titleVob) ? listing.ListingSector(titleVob, false) - base : 0,
              fileLine("Start sector of VTSTT_VOBS", listing.diskName(titleVob)));
    return mat.take();
}

bool correctDocumentSectors(Workspace& workspace, IfoDocument& doc, const DiscListing& listing,
                            UserInteraction& ui) {
    if (!doc.ifo) return false;
    bool changed = false;
    auto show = [&](const char* table, const std::string& report) {
        if (report.empty()) return;
        ui.message(strprintf(kHeadingFormat, table) + report);
        workspace.markModified(doc);
        changed = true;
    };
    ifo_t& ifo = *doc.ifo;
    const IfoKind kind = ifoKind(&ifo);
    if (kind != IfoKind::Vts) {
        show("VMGI_MAT", CorrectVmgiMat(ifo, listing));
        show("VMG_PTT_SRPT", CorrectTitleSearchPointers(ifo, listing));
    }
    if (kind != IfoKind::Vmg) show("VTSI_MAT", CorrectVtsiMat(ifo, listing, fileNameOf(doc.path)));
    return changed;
}

void CorrectLoadedIfo(Workspace& workspace, IfoDocument& doc, const DiscListing& listing,
                      UserInteraction& ui) {
    // The closing message says what this run did, whatever edits the file had before.
    if (correctDocumentSectors(workspace, doc, listing, ui))
        ui.message("Finished correcting sector addresses");
    else
        ui.message("No sector's found that are different!");
}

AllFilesOutcome CorrectAllIfoFiles(Workspace& workspace, DocumentSource& source,
                                   const std::string& folder, const DiscListing& found,
                                   UserInteraction& ui, bool save) {
    // Every IFO file leaves this run with its .BUP copy, and the addresses count those copies:
    // correcting against the folder as found would leave the sectors of everything behind a
    // newly written copy wrong.
    const DiscListing listing = found.withMissingBackups();
    AllFilesOutcome out;
    std::vector<std::pair<const DiscListingEntry*, IfoDocument*>> documents;
    std::vector<FolderIfo> ifos;
    for (const DiscListingEntry& entry : found.entries()) {
        if (upperAscii(entry.name.substr(entry.name.size() - 3)) != "IFO") continue;
        const std::string path = folder.empty() ? entry.name : folder + "/" + entry.name;
        IfoDocument* doc = source.documentFor(path);
        if (doc == nullptr || !doc->ifo) continue;
        documents.emplace_back(&entry, doc);
        ifos.push_back({entry.name, doc->ifo.get()});
        out.last = doc;
    }
    const std::vector<std::string> misfits = FolderMisfits(found, ifos);
    if (!misfits.empty()) {
        std::string text = "This folder does not fit the disc its IFO files describe:\n";
        for (const std::string& line : misfits) text += "\n- " + line;
        text += "\n\nCorrect the sector addresses anyway?";
        if (!ui.askYesNo(text)) {
            out.declined = true;
            return out;
        }
    }

    for (const auto& [entry, doc] : documents) {
        // A file that did not load as a whole keeps its fields, and its .BUP copy stays the one
        // intact version of it.
        if (!loadedAsIfo(*doc->ifo)) {
            ui.message(entry->name +
                       " did not load as a whole IFO file; it and its .BUP copy are "
                       "left as they are.");
            continue;
        }
        const bool corrected = correctDocumentSectors(workspace, *doc, listing, ui);
        const bool backupMissing = !found.exists(backupPathFor(entry->name));
        if (!corrected && !backupMissing) continue;
        out.changed.push_back(doc->path);
        if (!save) continue;
        // The question about the .BUP was answered by choosing this mode.
        workspace.noBackupQuestion = true;
        if (!SaveIfo(workspace, *doc, doc->path, ui)) out.failed.push_back(doc->path);
        workspace.noBackupQuestion = false;
    }
    return out;
}

IfoDocument* OnGetVtsSectors(Workspace& workspace, IfoDocument* loaded, DocumentSource& source,
                             UserInteraction& ui) {
    if (loaded == nullptr || !loaded->ifo) return loaded;
    const std::string folder = folderOf(loaded->path);
    const std::optional<DiscListing> listing = DiscListing::read(folder);
    if (!listing) return loaded;
    if (ui.askYesNo(
            "Do you want to process ALL IFO files?\nATTENTION: This will automaticaly re-save IFO "
            "files.")) {
        IfoDocument* last = CorrectAllIfoFiles(workspace, source, folder, *listing, ui).last;
        return last != nullptr ? last : loaded;
    }
    CorrectLoadedIfo(workspace, *loaded, *listing, ui);
    return loaded;
}

}  // namespace navtab::repair
