#include "vob/title_vob_pass.h"
#include "core/path_parts.h"
#include "core/unique_fd.h"

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <limits>
#include <vector>

#include "core/bytes.h"
#include "core/progress.h"
#include "core/user_interaction.h"
#include "vob/vob_files.h"

namespace navtab::vob {
namespace {

// Reads up to `length` bytes, retrying interrupted and partial reads; -1 on an error.
long long readFully(int fd, std::uint8_t* buffer, std::size_t length) {
    std::size_t got = 0;
    while (got < length) {
        const ssize_t n = ::read(fd, buffer + got, length - got);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        got += static_cast<std::size_t>(n);
    }
    return static_cast<long long>(got);
}

}  // namespace

VobPassResult ReadVobSectors(const VobPass& pass, UserInteraction& ui,
                             const std::function<void(SectorBytes)>& onSector) {
    return ProcessVobSectors(pass, ui, [&](std::span<std::uint8_t> sector) {
        onSector(sector);
        return true;
    });
}

VobPassResult ProcessVobSectors(const VobPass& pass, UserInteraction& ui,
                                const std::function<bool(std::span<std::uint8_t>)>& onSector) {
    std::vector<std::uint8_t> buffer(VobPass::kChunkBytes);
    Progress* progress = pass.progress;
    for (const std::string& path : pass.files) {
        const UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (file.get() >= 0) posix_fadvise(file.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
        const auto sectors = sectorCount(path);
        if (file.get() < 0 || !sectors) {
            ui.message("Error reading VOB file");
            return VobPassResult::ReadFailed;
        }
        if (progress) {
            progress->SetText("Processing source VOB " + fileNameOf(path));
            const auto upper = std::min<std::uint64_t>(*sectors, std::numeric_limits<int>::max());
            progress->SetRange(0, static_cast<int>(upper), VobPass::kChunkBytes / kSectorSize);
            progress->SetPos(0);
        }
        const std::string kind = pass.menu ? "MenuVOB: " : "VOB: ";
        const std::string reading = "Reading source " + kind + path;
        for (;;) {
            const long long got = readFully(file.get(), buffer.data(), buffer.size());
            if (got < 0) {
                ui.message("Error reading VOB file");
                return VobPassResult::ReadFailed;
            }
            const std::size_t whole = static_cast<std::size_t>(got) / kSectorSize;
            for (std::size_t i = 0; i < whole; ++i)
                if (!onSector(
                        std::span<std::uint8_t>(buffer.data() + i * kSectorSize, kSectorSize)))
                    return VobPassResult::WriteFailed;
            if (progress) {
                progress->SetText(pass.destination ? reading + "\nWriting destination " + kind +
                                                         *pass.destination
                                                   : reading);
                progress->StepIt();
                progress->PeekAndPump();
                if (progress->Cancelled()) return VobPassResult::Cancelled;
            }
            if (static_cast<std::size_t>(got) < buffer.size()) break;
        }
    }
    return VobPassResult::Done;
}

}  // namespace navtab::vob
