// navtab-cli vob-extras and menu-extras: the VOB processing runs without a window. The options
// stand for the check boxes of the run's dialog and the choices of the strip dialog.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "cli/cli_interaction.h"
#include "cli/commands.h"
#include "cli/option_args.h"
#include "cli/terminal_progress.h"
#include "cli/vob_cli_support.h"
#include "format/file_tree.h"
#include "vob/extras_run.h"

namespace navtab::cli {
namespace {

// "0x81,0x21" or "2,3": numbers in C notation, separated by commas; nothing when one is not a
// number.
std::optional<std::set<unsigned>> parseNumbers(const std::string& list) {
    std::set<unsigned> out;
    std::size_t from = 0;
    while (from <= list.size()) {
        const auto comma = std::min(list.find(',', from), list.size());
        const std::string item = list.substr(from, comma - from);
        char* end = nullptr;
        const unsigned long v = std::strtoul(item.c_str(), &end, 0);
        if (item.empty() || *end != '\0' || v > 0xFFFF) return std::nullopt;
        out.insert(static_cast<unsigned>(v));
        from = comma + 1;
    }
    return out;
}

struct ExtrasChoices {
    std::optional<std::set<unsigned>> streams, vobIds, units;
    std::optional<int> keepAngle;
    std::optional<std::string> videoSource;
    bool correctIfo = true;
    bool list = false;
};

class CliExtrasUi : public vob::VobCommandUi {
  public:
    CliExtrasUi(const Options& o, const ExtrasChoices& c, TerminalProgress& bar, bool menu)
        : o_(o), c_(c), bar_(bar), menu_(menu) {}

    bool chooseAutoCalcTables(vob::AutoCalcTables&) override { return false; }
    bool chooseFrameTypes(vob::FrameTypes&) override { return false; }
    std::string chooseTemplateFile(const std::string&, const std::string&) override { return {}; }
    std::unique_ptr<Progress> showProgress(const std::string& text) override {
        return std::make_unique<TerminalProgressView>(bar_, text);
    }

    bool chooseExtrasOptions(vob::ExtrasDialogState& s) override {
        using B = vob::ExtrasBox;
        // Each choice is a click on its box, so the dialog's interlocks apply as in the window.
        s.click(B::Remux, c_.videoSource.has_value());
        if (c_.videoSource) s.options.videoSource = *c_.videoSource;
        s.click(B::StripStreams, c_.streams.has_value());
        s.click(B::StripVobIds, c_.vobIds.has_value() || (menu_ && c_.units.has_value()));
        s.click(B::StripLanguageUnits, c_.units.has_value());
        if (c_.keepAngle) {
            s.click(B::RemoveAngles, true);
            s.options.keepAngle = *c_.keepAngle;
        }
        const std::pair<const char*, std::pair<B, bool>> flags[] = {
            {"--no-nav-packs", {B::CorrectNavPacks, false}},
            {"--no-tables", {B::CorrectTables, false}},
            {"--keep-puops", {B::RemovePuops, false}},
            {"--rebuild-pts", {B::RebuildPts, true}},
            {"--remove-angle-pointers", {B::RemoveAnglePointers, true}},
            {"--adjust-angle-pointers", {B::AdjustAnglePointers, true}},
            {"--no-adjust-vobu", {B::AdjustVobuPointers, false}},
            {"--no-adjust-sync", {B::AdjustSyncPointers, false}},
            {"--create-new", {B::CreateNew, true}},
        };
        for (const auto& [flag, click] : flags)
            if (o_.has(flag)) s.click(click.first, click.second);
        s.options.destination = o_.positional[1];
        return true;
    }

    bool chooseStrip(vob::StripDialog& d) override {
        d.correctIfo = c_.correctIfo;
        if (d.mode == vob::StripMode::Streams)
            for (const unsigned id : *c_.streams)
                if (std::none_of(d.rows.begin(), d.rows.end(), [&](const vob::StripRow& row) {
                        return std::find(row.ids.begin(), row.ids.end(), id) != row.ids.end();
                    }))
                    std::fprintf(stderr,
                                 "navtab-cli: warning: no stream of the title set uses id 0x%02x\n",
                                 id);
        for (vob::StripRow& row : d.rows) {
            const unsigned number = static_cast<unsigned>(std::stoul(row.id));
            switch (d.mode) {
                case vob::StripMode::Streams:
                    row.keep = std::none_of(row.ids.begin(), row.ids.end(), [&](unsigned id) {
                        return c_.streams->count(id) != 0;
                    });
                    break;
                case vob::StripMode::VobIds:
                    row.keep = row.keep && (!c_.vobIds || c_.vobIds->count(number) == 0);
                    break;
                case vob::StripMode::LanguageUnits:
                    row.keep = c_.units->count(number) == 0;
                    break;
            }
        }
        return true;
    }

  private:
    const Options& o_;
    const ExtrasChoices& c_;
    TerminalProgress& bar_;
    bool menu_;
};

void printDialog(const vob::StripDialog& d) {
    std::printf("Keep\t%s\t%s\n", d.idColumn().c_str(), d.textColumn().c_str());
    for (const vob::StripRow& row : d.rows)
        std::printf("[%c]\t%s\t%s\n", row.keep ? 'x' : ' ', row.id.c_str(), row.text.c_str());
}

int listRows(const IfoDocument& doc, bool menu) {
    if (menu) {
        printDialog(vob::languageUnitStripDialog(*doc.ifo));
        std::printf("\n");
    } else {
        printDialog(vob::streamStripDialog(CIfoStreamUsage(*doc.ifo)));
        std::printf("\n");
    }
    printDialog(vob::vobIdStripDialog(vob::cellAddressVobIds(*doc.ifo, menu), vob::StripChoices{}));
    return kExitOk;
}

int runExtras(const Args& args, bool menu) {
    auto o = parseOptions(
        args,
        {"--no-correct-ifo", "--no-nav-packs", "--no-tables", "--keep-puops", "--rebuild-pts",
         "--remove-angle-pointers", "--adjust-angle-pointers", "--no-adjust-vobu",
         "--no-adjust-sync", "--list", "--create-new"},
        {"--strip-streams", "--strip-vobids", "--strip-lus", "--remove-angles", "--remux"});
    if (!o) return kExitUsage;
    const char* name = menu ? "menu-extras" : "vob-extras";
    const bool list = o->has("--list");
    if (o->positional.size() != 2 && !(list && o->positional.size() == 1))
        return fail(kExitUsage, std::string(name) + " needs FILE.IFO and DEST.VOB");
    ExtrasChoices c;
    c.correctIfo = !o->has("--no-correct-ifo");
    const std::pair<const char*, std::optional<std::set<unsigned>>*> lists[] = {
        {"--strip-streams", &c.streams}, {"--strip-vobids", &c.vobIds}, {"--strip-lus", &c.units}};
    for (const auto& [option, target] : lists) {
        if (!o->values.count(option)) continue;
        *target = parseNumbers(o->values[option]);
        if (!*target)
            return fail(kExitUsage, std::string(option) + " takes numbers like 0x81,0x21");
    }
    if (!menu && c.units) return fail(kExitUsage, "--strip-lus belongs to menu-extras");
    if (menu && (c.streams || o->values.count("--remove-angles")))
        return fail(kExitUsage, "menu-extras strips VOB ids and language units only");
    if (o->values.count("--remux")) {
        // As in the window: Menu Extras offers no re-mux, and Re-Mux and the VOB id choices
        // exclude each other.
        if (menu) return fail(kExitUsage, "menu-extras does not re-mux");
        if (c.vobIds || o->values.count("--remove-angles"))
            return fail(kExitUsage, "--remux leaves every VOB id in place");
        c.videoSource = o->values["--remux"];
    }
    if (o->values.count("--remove-angles")) {
        const int keep = std::atoi(o->values["--remove-angles"].c_str());
        if (keep < 1 || keep > 9)
            return fail(kExitUsage, "--remove-angles takes the angle to keep");
        c.keepAngle = keep;
    }

    const std::string& path = o->positional[0];
    CliInteraction ui(true);
    Workspace workspace;
    workspace.noBackupQuestion = true;  // every IFO file saved gets its .BUP copy
    WorkspaceDocuments documents(workspace, ui);
    IfoDocument* doc = documents.documentFor(path);
    if (doc == nullptr) return fail(kExitFailure, "cannot read " + path);
    if (!menu && ifoKind(doc->ifo.get()) != IfoKind::Vts)
        return fail(kExitFailure, path + " is not a title set IFO file (VTS_nn_0.IFO)");
    if (list) return listRows(*doc, menu);

    TerminalProgress bar;
    CliExtrasUi dialogs(*o, c, bar, menu);
    vob::ExtrasContext ctx{workspace, documents, dialogs, ui};
    const vob::ExtrasOutcome out = menu ? vob::MenuExtras(ctx, *doc) : vob::VobExtras(ctx, *doc);
    bar.clearLine();
    for (const std::string& f : out.written) std::printf("Wrote %s\n", f.c_str());
    if (out.remux) {
        std::printf("Re-muxed %.1f frames: %llu video packs added, %llu dropped\n",
                    out.remux->frames, static_cast<unsigned long long>(out.remux->packsAdded),
                    static_cast<unsigned long long>(out.remux->packsDropped));
        if (out.remux->streamLeft)
            std::fprintf(stderr,
                         "navtab-cli: warning: the video stream goes on beyond the last VOB unit "
                         "of the source; the rest was left out\n");
    }
    using R = vob::ExtrasOutcome::Result;
    switch (out.result) {
        case R::NotPossible:
            return fail(kExitFailure, path + " has nothing to process");
        case R::Cancelled:
            return cancelled("the IFO files were not changed");
        case R::Refused:
        case R::Failed:
            return kExitFailure;
        case R::Done:
            break;
    }
    for (const std::string& f : out.saved) std::printf("Saved %s\n", f.c_str());
    // Without VOB files written the open file itself was corrected; the window would leave it to
    // the user's Save, the command line saves it.
    if (out.written.empty() && doc->modified) {
        if (!SaveIfo(workspace, *doc, doc->path, ui))
            return fail(kExitFailure, "could not write " + doc->path);
        std::printf("Saved %s\n", doc->path.c_str());
    }
    std::printf("%zu VOBUs\n", out.vobus);
    return kExitOk;
}

}  // namespace

int runVobExtras(const Args& args) {
    return runExtras(args, false);
}
int runMenuExtras(const Args& args) {
    return runExtras(args, true);
}

}  // namespace navtab::cli
