// navtab-cli create-ifos: new IFO files for title VOB files that have none, as the window's
// "Create IFOs" makes them, with the two files given on the command line instead of chosen.
#include <cstdio>

#include "cli/cli_interaction.h"
#include "cli/commands.h"
#include "cli/option_args.h"
#include "cli/vob_cli_support.h"
#include "format/file_tree.h"
#include "vob/create_ifos.h"

namespace navtab::cli {
namespace {

// The run needs only a progress bar of the VOB dialogs.
class CreateIfosUi : public vob::VobCommandUi {
  public:
    explicit CreateIfosUi(TerminalProgress& bar) : bar_(bar) {}
    bool chooseAutoCalcTables(vob::AutoCalcTables&) override { return false; }
    bool chooseFrameTypes(vob::FrameTypes&) override { return false; }
    std::string chooseTemplateFile(const std::string&, const std::string&) override { return {}; }
    std::unique_ptr<Progress> showProgress(const std::string& text) override {
        return std::make_unique<TerminalProgressView>(bar_, text);
    }

  private:
    TerminalProgress& bar_;
};

}  // namespace

int runCreateIfos(const Args& args) {
    auto o = parseOptions(args, {}, {});
    if (!o) return kExitUsage;
    if (o->positional.size() != 2)
        return fail(kExitUsage, "create-ifos needs FIRST.VOB and DEST/VIDEO_TS.IFO");
    CliInteraction ui(true);
    Workspace workspace;
    workspace.noBackupQuestion = true;
    WorkspaceDocuments documents(workspace, ui);
    TerminalProgress bar;
    CreateIfosUi dialogs(bar);
    vob::ExtrasContext ctx{workspace, documents, dialogs, ui};
    const vob::ExtrasOutcome out = vob::CreateIfosFrom(ctx, o->positional[0], o->positional[1]);
    bar.clearLine();
    using R = vob::ExtrasOutcome::Result;
    if (out.result == R::Cancelled) return cancelled("no IFO file was written");
    if (out.result != R::Done) return kExitFailure;
    for (const std::string& f : out.saved) std::printf("Saved %s\n", f.c_str());
    std::printf("%zu VOBUs\n", out.vobus);
    return kExitOk;
}

}  // namespace navtab::cli
