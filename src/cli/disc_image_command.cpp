// navtab-cli disc-image: a DVD-Video image of the folder of an IFO file, and optionally the disc.
#include <cstdio>

#include "cli/commands.h"
#include "cli/option_args.h"
#include "cli/terminal_progress.h"
#include "image/disc_image.h"
#include "image/image_programs.h"
#include "image/volume_label.h"

namespace navtab::cli {
namespace {

// The failure line, then the program's last lines as it wrote them.
int failRun(const image::RunReport& r) {
    fail(kExitFailure, r.message);
    for (const std::string& line : r.lastLines) std::fprintf(stderr, "  %s\n", line.c_str());
    return kExitFailure;
}

}  // namespace

int runDiscImage(const Args& args) {
    auto o = parseOptions(args, {}, {"--label", "--burn", "--builder"});
    if (!o) return kExitUsage;
    if (o->positional.size() != 2) return fail(kExitUsage, "disc-image needs FILE.IFO and IMAGE");
    const auto videoTs = image::videoTsFolderOf(o->positional[0]);
    if (!videoTs) return fail(kExitFailure, image::kNotVideoTsText);
    const std::string label = o->values.count("--label") ? o->values["--label"] : std::string();
    if (const std::string problem = image::volumeLabelProblem(label); !problem.empty())
        return fail(kExitUsage, problem);

    const std::string path = image::environmentPath();
    std::string builder = o->values.count("--builder")
                              ? image::findOnPath(o->values["--builder"], path)
                              : image::discoverImageBuilder({}, path);
    if (builder.empty())
        return fail(kExitFailure,
                    image::cannotLocateText(o->values.count("--builder") ? o->values["--builder"]
                                                                         : "genisoimage"));
    std::string burner;
    if (o->values.count("--burn")) {
        burner = image::findOnPath(image::kBurnerName, path);
        if (burner.empty()) return fail(kExitFailure, image::burnUnavailableReason({}, "-"));
    }

    TerminalProgress progress;
    progress.SetText("Building " + o->positional[1]);
    const image::DiscImageRequest request{builder, *videoTs, o->positional[1], label};
    const image::RunReport built = image::buildDiscImage(request, {}, &progress);
    progress.clearLine();
    // A cancel ends with its own line ("Cancelled; IMAGE is not written."), a failure with the
    // program's last lines too.
    if (built.status == image::RunReport::Status::Cancelled)
        return fail(kExitFailure, built.message);
    if (!built.done()) return failRun(built);
    std::printf("%s\n", built.message.c_str());
    if (burner.empty()) return kExitOk;

    progress.SetText("Writing to " + o->values["--burn"]);
    const image::RunReport burnt =
        image::burnDiscImage(burner, o->values["--burn"], o->positional[1], {}, &progress);
    progress.clearLine();
    if (burnt.status == image::RunReport::Status::Cancelled)
        return fail(kExitFailure, burnt.message);
    if (!burnt.done()) return failRun(burnt);
    std::printf("%s\n", burnt.message.c_str());
    return kExitOk;
}

}  // namespace navtab::cli
