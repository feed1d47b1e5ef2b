// navtab-cli template: the frame-type template of a title set's video for an MPEG encoder.
#include <cctype>

#include "cli/commands.h"
#include "cli/option_args.h"
#include "cli/vob_cli_support.h"
#include "vob/frame_template.h"

namespace navtab::cli {

int runTemplate(const Args& args) {
    auto o = parseOptions(args, {}, {"--types"});
    if (!o) return kExitUsage;
    if (o->positional.size() != 2) return fail(kExitUsage, "template needs FILE.IFO and OUT.txt");
    vob::FrameTypes types;
    if (o->values.count("--types")) {
        const std::string& letters = o->values["--types"];
        types = {false, false, false};
        for (char c : letters) {
            switch (std::toupper(static_cast<unsigned char>(c))) {
                case 'I':
                    types.i = true;
                    break;
                case 'P':
                    types.p = true;
                    break;
                case 'B':
                    types.b = true;
                    break;
                default:
                    return fail(kExitUsage, "--types takes the letters I, P and B");
            }
        }
        if (letters.empty()) return fail(kExitUsage, "--types takes the letters I, P and B");
    }
    const std::string& path = o->positional[0];
    if (!loadTitleSet(path)) return kExitFailure;
    const auto files = titleVobsOrFail(path);
    if (files.empty()) return kExitFailure;

    TerminalProgress progress;
    QuietInteraction ui;
    const auto result = vob::CreateTemplate(files, types, o->positional[1], &progress, ui);
    progress.clearLine();
    switch (result) {
        case vob::TemplateResult::Written:
            return kExitOk;
        case vob::TemplateResult::Cancelled:
            return cancelled(o->positional[1] + " not written");
        case vob::TemplateResult::OpenFailed:
        case vob::TemplateResult::WriteFailed:
            return fail(kExitFailure, "could not write " + o->positional[1]);
        case vob::TemplateResult::ReadFailed:
            return fail(kExitFailure, "cannot read the VOB files");
        case vob::TemplateResult::NoNavPack:
            return fail(kExitFailure,
                        "the VOB files hold no NAV pack; " + o->positional[1] + " not written");
    }
    return kExitFailure;
}

}  // namespace navtab::cli
