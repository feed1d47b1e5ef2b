#include "vob/title_vob_pass.h"
#include "core/path_parts.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "core/bytes.h"
#include "core/progress.h"
#include "core/user_interaction.h"
#include "vob/read_ahead.h"
#include "vob/vob_files.h"

namespace navtab::vob {

VobPassResult ReadVobSectors(const VobPass& pass, UserInteraction& ui,
                             const std::function<void(SectorBytes)>& onSector) {
    return ProcessVobSectors(pass, ui, [&](std::span<std::uint8_t> sector) {
        onSector(sector);
        return true;
    });
}

VobPassResult ProcessVobSectors(const VobPass& pass, UserInteraction& ui,
                                const std::function<bool(std::span<std::uint8_t>)>& onSector) {
    if (pass.files.empty()) return VobPassResult::Done;
    ReadAhead reader(pass.files, VobPass::kChunkBytes);
    Progress* progress = pass.progress;
    const std::string kind = pass.menu ? "MenuVOB: " : "VOB: ";
    for (std::size_t f = 0; f < pass.files.size(); ++f) {
        const std::string& path = pass.files[f];
        const auto sectors = sectorCount(path);
        ReadAhead::Chunk chunk = reader.next();
        if (chunk.kind != ReadAhead::Chunk::Kind::Data || !sectors) {
            ui.message("Error reading VOB file");
            return VobPassResult::ReadFailed;
        }
        if (progress) {
            progress->SetText("Processing source VOB " + fileNameOf(path));
            const auto upper = std::min<std::uint64_t>(*sectors, std::numeric_limits<int>::max());
            progress->SetRange(0, static_cast<int>(upper), VobPass::kChunkBytes / kSectorSize);
            progress->SetPos(0);
        }
        const std::string reading = "Reading source " + kind + path;
        for (;;) {
            if (chunk.kind != ReadAhead::Chunk::Kind::Data) {
                ui.message("Error reading VOB file");
                return VobPassResult::ReadFailed;
            }
            const std::size_t whole = chunk.size / kSectorSize;
            for (std::size_t i = 0; i < whole; ++i)
                if (!onSector(std::span<std::uint8_t>(chunk.data + i * kSectorSize, kSectorSize)))
                    return VobPassResult::WriteFailed;
            reader.recycle(chunk);
            if (progress) {
                progress->SetText(pass.destination ? reading + "\nWriting destination " + kind +
                                                         *pass.destination
                                                   : reading);
                progress->StepIt();
                progress->PeekAndPump();
                if (progress->Cancelled()) return VobPassResult::Cancelled;
            }
            if (chunk.lastOfFile) break;
            chunk = reader.next();
        }
    }
    return VobPassResult::Done;
}

}  // namespace navtab::vob
