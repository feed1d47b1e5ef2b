// The reading loop of the VOB passes: the title VOB files of a title set are read one after the
// other, 50 sectors at a time, and every whole sector is handed on in stream order. The progress
// window names the file being read, its bar counts the file's sectors, and closing it (or Ctrl-C
// in a terminal) stops the pass between two reads.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "vob/vobu_info.h"

namespace navtab {
class Progress;
class UserInteraction;
}  // namespace navtab

namespace navtab::vob {

enum class VobPassResult { Done, Cancelled, ReadFailed, WriteFailed };

struct VobPass {
    static constexpr std::size_t kChunkBytes = 102400;  // 50 sectors per read

    std::vector<std::string> files;
    Progress* progress = nullptr;
    // Named in the progress text when the pass writes files ("Writing destination VOB: ..."):
    // the file being written, which changes while the pass runs.
    const std::string* destination = nullptr;
    bool menu = false;  // the texts say "MenuVOB"
};

// Hands every whole sector of the files to `onSector`. A trailing part of a sector at the end of
// a file is not handed on. A file that cannot be read is reported with "Error reading VOB file"
// and ends the pass.
VobPassResult ReadVobSectors(const VobPass& pass, UserInteraction& ui,
                             const std::function<void(SectorBytes)>& onSector);

// The same for a pass that writes: `onSector` may change the sector it is given, and returning
// false ends the pass (WriteFailed; the caller has told the user why).
VobPassResult ProcessVobSectors(const VobPass& pass, UserInteraction& ui,
                                const std::function<bool(std::span<std::uint8_t>)>& onSector);

}  // namespace navtab::vob
