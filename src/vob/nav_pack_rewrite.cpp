#include "vob/nav_pack_rewrite.h"
#include "core/path_parts.h"
#include "core/unique_fd.h"

#include <fcntl.h>
#include <unistd.h>
#include <array>
#include <cerrno>
#include <cstring>
#include <limits>

#include "core/bytes.h"
#include "core/user_interaction.h"
#include "vob/nav_relocation.h"
#include "vob/sector_batch_io.h"

namespace navtab::vob {
namespace {

const std::string kFinished = "Finished correcting VOBU pointers!";

struct Texts {
    std::string title;
    std::string fileText;
    std::string openFailure;  // followed by nothing for menus, by the path for titles
    bool pathInOpenFailure;
};

const Texts kTitleTexts{"Changing VOB navigation packs", "Changing VOB information for ",
                        "Error opening file: ", true};
const Texts kMenuTexts{"Changing MenuVOB navigation packs", "Changing MenuVOB information for ",
                       "Error opening MenuVOB file.\nMaybe it's write protected!", false};

NavRewriteResult rewrite(const VobJob& job, const std::vector<std::string>& files,
                         const Texts& texts, VobCommandUi& dialogs, UserInteraction& ui) {
    auto progress = dialogs.showProgress(texts.title);
    const auto vobus = std::min<std::size_t>(job.vobus.size(), std::numeric_limits<int>::max());
    progress->SetRange(0, static_cast<int>(vobus), 1);
    std::size_t next = 0;    // the VOBU to rewrite next
    std::uint64_t base = 0;  // first byte of the current file in the numbering of the list
    SectorBatchIo io;
    std::array<off_t, SectorBatchIo::kDepth> offsets{};
    std::vector<std::uint8_t> sectors(SectorBatchIo::kDepth * kSectorSize);
    bool openFailed = false;
    for (const std::string& path : files) {
        if (next >= job.vobus.size() || progress->Cancelled()) break;
        UniqueFd fd(::open(path.c_str(), O_RDWR | O_CLOEXEC));
        if (fd.get() < 0) {
            ui.message(texts.pathInOpenFailure
                           ? texts.openFailure + path + ".\nMaybe it's write protected!"
                           : texts.openFailure);
            openFailed = true;
            break;
        }
        const off_t length = ::lseek(fd.get(), 0, SEEK_END);
        if (length < 0) {
            ui.message("Error reading VOB file");
            return NavRewriteResult::Failed;
        }
        const std::uint64_t fileStart = base;
        base += static_cast<std::uint64_t>(length);
        progress->SetText(texts.fileText + fileNameOf(path));
        const std::uint64_t fileEnd = base / kSectorSize;
        while (next < job.vobus.size() && job.vobus[next].sector < fileEnd &&
               !progress->Cancelled()) {
            // A batch of this file's NAV packs: read, corrected in memory, written back.
            std::size_t count = 0;
            while (count < offsets.size() && next + count < job.vobus.size() &&
                   job.vobus[next + count].sector < fileEnd) {
                offsets[count] = static_cast<off_t>(
                    std::uint64_t{job.vobus[next + count].sector} * kSectorSize - fileStart);
                ++count;
            }
            const std::span<const off_t> batch(offsets.data(), count);
            const std::size_t read = io.read(fd.get(), batch, sectors);
            std::size_t good = 0;
            for (; good < read; ++good) {
                const std::span<std::uint8_t> sector(sectors.data() + good * kSectorSize,
                                                     kSectorSize);
                if (!isNavPack(sector)) break;
                WriteNavPack(job, sector, job.vobus[next + good]);
            }
            const std::size_t written = io.write(fd.get(), batch.first(good), sectors);
            for (std::size_t k = 0; k < written; ++k) progress->StepIt();
            progress->PeekAndPump();
            if (written < good) {
                ui.message("Error writing file!\n\n" + path + ": " + std::strerror(errno));
                return NavRewriteResult::Failed;
            }
            next += good;
            if (good < count) {
                ui.message(good < read ? "Synchronization failure on VOB file"
                                       : "Error reading VOB file");
                return NavRewriteResult::Failed;
            }
        }
    }
    // VOBUs beyond the end of the last file: the files were cut after they were written. That is
    // no finished rewrite.
    if (!openFailed && next < job.vobus.size() && !progress->Cancelled()) {
        ui.message("Error reading VOB file");
        return NavRewriteResult::Failed;
    }
    ui.message(kFinished);
    return NavRewriteResult::Finished;
}

}  // namespace

NavRewriteResult CorrectVobNavPacks(const VobJob& job, const std::vector<std::string>& files,
                                    VobCommandUi& dialogs, UserInteraction& ui) {
    return rewrite(job, files, kTitleTexts, dialogs, ui);
}

NavRewriteResult CorrectMenuVobNavPacks(const VobJob& job, const std::string& file,
                                        VobCommandUi& dialogs, UserInteraction& ui) {
    if (file.empty()) {
        ui.message(kFinished);
        return NavRewriteResult::Finished;
    }
    return rewrite(job, {file}, kMenuTexts, dialogs, ui);
}

}  // namespace navtab::vob
