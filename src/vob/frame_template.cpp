#include "vob/frame_template.h"

#include "core/replacing_file.h"
#include "core/text_printf.h"
#include "core/user_interaction.h"
#include "vob/pes_packet.h"
#include "vob/title_vob_pass.h"
#include "vob/vob_files.h"

namespace navtab::vob {
namespace {

// Numbers the pictures as their start codes come.
class PictureNumbering {
  public:
    explicit PictureNumbering(VobJob& job) : job_(job) {}

    void picture(unsigned type, bool /*inEarlierPacket*/) {
        WriteTemplateLine(job_, job_.templ.pictureNumber, type);
        ++job_.templ.pictureNumber;
    }
    // A bottom field gives its number back (never below 0, even in a stream cut mid-frame).
    void pictureCoding(const PictureCoding& c) {
        if (c.structure == kBottomField && job_.templ.pictureNumber > 0) --job_.templ.pictureNumber;
    }

  private:
    VobJob& job_;
};

// Lines are collected in memory and written out in pieces of about 64 KiB.
constexpr std::size_t kFlushBytes = 64 * 1024;

std::string withDefaultExtension(const std::string& path) {
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) return path;
    return path + ".txt";
}

}  // namespace

void WriteTemplateLine(VobJob& job, long long number, unsigned type) {
    const TemplateState& t = job.templ;
    char letter = 0;
    if (type == kIPicture && t.selectI) letter = 'I';
    if (type == kPPicture && t.selectP) letter = 'P';
    if (type == kBPicture && t.selectB) letter = 'B';
    if (letter != 0) job.templ.lines += strprintf("%lld,%c\n", number, letter);
}

void TemplatePack(VobJob& job, SectorBytes sector) {
    if (sector.size() <= kStreamIdByte || sector[kStreamIdByte] != kVideoStream) return;
    const auto packet = pesPacketOf(sector);
    if (!packet) return;
    PictureNumbering numbering(job);
    job.templ.video.scan(packet->payload, numbering);
}

TemplateResult CreateTemplate(const std::vector<std::string>& vobFiles, const FrameTypes& types,
                              const std::string& outPath, Progress* progress, UserInteraction& ui) {
    ReplacingFile file;
    if (!file.open(outPath)) {
        ui.message("Error opening template file!");
        return TemplateResult::OpenFailed;
    }
    VobJob job;
    job.templ.selectI = types.i;
    job.templ.selectP = types.p;
    job.templ.selectB = types.b;
    bool writeOk = true;
    const auto flush = [&] {
        writeOk = file.write(job.templ.lines) && writeOk;
        job.templ.lines.clear();
    };
    bool navPackSeen = false;
    const VobPassResult pass =
        ReadVobSectors({vobFiles, progress, nullptr}, ui, [&](SectorBytes s) {
            navPackSeen = navPackSeen || isNavPack(s);
            TemplatePack(job, s);
            if (job.templ.lines.size() >= kFlushBytes) flush();
        });
    if (pass == VobPassResult::Cancelled) return TemplateResult::Cancelled;
    if (pass == VobPassResult::ReadFailed) return TemplateResult::ReadFailed;
    if (!navPackSeen) return TemplateResult::NoNavPack;
    flush();
    if (!writeOk || !file.commit()) {
        ui.message("Error opening template file!");
        return TemplateResult::WriteFailed;
    }
    return TemplateResult::Written;
}

void OnCreateTemplate(const IfoDocument* doc, VobCommandUi& dialogs, UserInteraction& ui) {
    if (doc == nullptr) return;
    const std::string chosen = dialogs.chooseTemplateFile(kTemplateName, kTemplateFilter);
    if (chosen.empty()) return;
    FrameTypes types;
    if (!dialogs.chooseFrameTypes(types)) return;
    const auto window = dialogs.showProgress("Processing source VOB ");
    CreateTemplate(titleVobPaths(doc->path), types, withDefaultExtension(chosen), window.get(), ui);
}

}  // namespace navtab::vob
