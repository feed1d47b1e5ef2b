// The frame-type template for an MPEG encoder: a text file listing, picture by picture, the type
// of each picture of a title set's video ("12,I"), so that a re-encode can place its I, P and B
// pictures exactly where the existing video has them. Pictures are numbered from 0 in the order
// their picture start codes occur in the stream; the second field of a field-coded frame hands
// its number back, so the picture after it gets the same number.
#pragma once

#include <string>
#include <vector>

#include "core/document.h"
#include "vob/vob_command_ui.h"
#include "vob/vob_job.h"

namespace navtab::vob {

inline constexpr const char* kTemplateName = "TmpgTemplate.txt";
inline constexpr const char* kTemplateFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";

// Appends the line of one picture to job.templ.lines when its type is selected: type 1 "N,I",
// 2 "N,P", 3 "N,B"; any other type writes nothing.
void WriteTemplateLine(VobJob& job, long long number, unsigned type);

// The per-sector step: looks at video packets only and numbers their pictures.
void TemplatePack(VobJob& job, SectorBytes sector);

// NoNavPack: the files hold no NAV pack, so they are no VOB files of a title set (or are
// damaged past use); nothing is written then.
enum class TemplateResult { Written, OpenFailed, WriteFailed, ReadFailed, Cancelled, NoNavPack };

// Reads the VOB files and writes the template to `outPath`, which is replaced only by a complete
// template. "Error opening template file!" when it cannot be written.
TemplateResult CreateTemplate(const std::vector<std::string>& vobFiles, const FrameTypes& types,
                              const std::string& outPath, Progress* progress, UserInteraction& ui);

// The "Create Tmpg T." command: a Save As dialog proposing "TmpgTemplate.txt", dialog 142, then
// the template of the title VOB files of the loaded file. Nothing happens without a loaded file.
void OnCreateTemplate(const IfoDocument* doc, VobCommandUi& dialogs, UserInteraction& ui);

}  // namespace navtab::vob
