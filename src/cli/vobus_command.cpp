// navtab-cli vobus: the VOBUs of a title set's VOB files as the per-sector analysis finds them.
#include <cstdio>

#include "cli/commands.h"
#include "cli/option_args.h"
#include "cli/vob_cli_support.h"
#include "core/ifo_stream_usage.h"
#include "core/text_printf.h"
#include "vob/title_vob_pass.h"
#include "vob/vobu_analysis.h"

namespace navtab::cli {
namespace {

using vob::SyncOffset;
using vob::VobuInfo;

// The audio sync word after the analysis: the settled word, a special word as it stood, or null
// (text "?") for an offset the stream never settled.
std::string syncJson(const SyncOffset& s) {
    return s.unsettled() ? std::string("null") : std::to_string(s.special);
}

// A sub-picture sync word as the NAV pack holds it; the analysis does not settle them.
std::uint32_t subpSyncWord(const SyncOffset& s) {
    if (s.special == SyncOffset::kBackward) return s.distance | vob::nav::kSubpSyncBackward;
    return s.special == SyncOffset::kForward ? s.distance : s.special;
}

// Only the streams the NAV pack gives an offset for are listed in the text form.
std::string syncText(const VobuInfo& v) {
    std::string out;
    for (unsigned n = 0; n < vob::nav::kAudioStreams; ++n) {
        const SyncOffset& s = v.audioSync[n];
        if (!s.unsettled() && (s.special == 0 || s.special == vob::nav::kAudioSyncNone)) continue;
        out += strprintf("%sa%u=", out.empty() ? "" : " ", n);
        if (s.unsettled())
            out += "?";
        else if (s.special & vob::nav::kAudioSyncBackward)
            out += "-" + std::to_string(s.special & vob::nav::kAudioSyncDistanceMask);
        else
            out += std::to_string(s.special);
    }
    return out;
}

void printText(const vob::VobuList& list) {
    std::printf("sector\tlbn\tlast\tvob\tcell\tframes\tref1\tref2\tref3\taudio sync\n");
    for (const VobuInfo& v : list)
        std::printf("%u\t%u\t%u\t%u\t%u\t%g\t%u\t%u\t%u\t%s\n", v.sector, v.lbn, v.lastOffset,
                    v.vobId, v.cellId, v.frames, v.refEnd[0], v.refEnd[1], v.refEnd[2],
                    syncText(v).c_str());
}

void printJson(const vob::VobuList& list) {
    std::printf("[");
    for (std::size_t i = 0; i < list.size(); ++i) {
        const VobuInfo& v = list[i];
        std::string audio, subp;
        for (unsigned n = 0; n < vob::nav::kAudioStreams; ++n)
            audio += (n ? ", " : "") + syncJson(v.audioSync[n]);
        for (unsigned n = 0; n < vob::nav::kSubpStreams; ++n)
            subp += (n ? ", " : "") + std::to_string(subpSyncWord(v.subpSync[n]));
        std::printf(
            "%s\n  {\"sector\": %u, \"lbn\": %u, \"lastOffset\": %u, \"vobId\": %u, \"cellId\": "
            "%u, "
            "\"frames\": %g, \"refEnd\": [%u, %u, %u], \"sPtm\": %u, \"ePtm\": %u, "
            "\"audioSync\": [%s], \"subpSync\": [%s]}",
            i ? "," : "", v.sector, v.lbn, v.lastOffset, v.vobId, v.cellId, v.frames, v.refEnd[0],
            v.refEnd[1], v.refEnd[2], v.sPtm, v.ePtm, audio.c_str(), subp.c_str());
    }
    std::printf("%s]\n", list.empty() ? "" : "\n");
}

}  // namespace

int runVobus(const Args& args) {
    auto o = parseOptions(args, {"--json"}, {});
    if (!o) return kExitUsage;
    if (o->positional.size() != 1) return fail(kExitUsage, "vobus needs one title set IFO file");
    const std::string& path = o->positional[0];
    const IfoHandle ifo = loadTitleSet(path);
    if (!ifo) return kExitFailure;
    const auto files = titleVobsOrFail(path);
    if (files.empty()) return kExitFailure;

    TerminalProgress progress;
    QuietInteraction ui;
    vob::VobJob job;
    // The audio sync slots follow the streams the title set declares.
    job.audioSlots = vob::AudioStreamSlots(CIfoStreamUsage(*ifo));
    const auto result =
        vob::ReadVobSectors({files, &progress, nullptr}, ui, [&](vob::SectorBytes s) {
            vob::AnalyseVobSector(job, s);
            ++job.sector;
        });
    progress.clearLine();
    if (result == vob::VobPassResult::Cancelled) return cancelled("nothing printed");
    if (result == vob::VobPassResult::ReadFailed)
        return fail(kExitFailure, "cannot read the VOB files");
    if (job.vobus.empty())
        return fail(kExitFailure, "the VOB files hold no NAV pack, so there is no VOBU to list");
    if (o->has("--json"))
        printJson(job.vobus);
    else
        printText(job.vobus);
    return kExitOk;
}

}  // namespace navtab::cli
