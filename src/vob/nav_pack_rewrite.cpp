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

namespace navtab::vob {
namespace {

const std::string kFinished = "Finished correcting VOBU pointers!";

// Reads or writes all of `length` bytes at `offset`, retrying interrupted and partial transfers.
template <typename Transfer>
bool transferAll(Transfer transfer, int fd, std::uint8_t* data, std::size_t length, off_t offset) {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n =
            transfer(fd, data + done, length - done, offset + static_cast<off_t>(done));
        if (n == 0) return false;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

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
    std::array<std::uint8_t, kSectorSize> sector{};
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
        while (next < job.vobus.size() && job.vobus[next].sector < base / kSectorSize &&
               !progress->Cancelled()) {
            const VobuInfo& r = job.vobus[next];
            progress->StepIt();
            progress->PeekAndPump();
            if (r.navWritten) {  // the copy wrote it corrected
                ++next;
                continue;
            }
            const off_t at = static_cast<off_t>(std::uint64_t{r.sector} * kSectorSize - fileStart);
            if (!transferAll(::pread, fd.get(), sector.data(), sector.size(), at)) {
                ui.message("Error reading VOB file");
                return NavRewriteResult::Failed;
            }
            if (!isNavPack(sector)) {
                ui.message("Synchronization failure on VOB file");
                return NavRewriteResult::Failed;
            }
            WriteNavPack(job, sector, r);
            if (!transferAll(::pwrite, fd.get(), sector.data(), sector.size(), at)) {
                ui.message("Error writing file!\n\n" + path + ": " + std::strerror(errno));
                return NavRewriteResult::Failed;
            }
            ++next;
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
