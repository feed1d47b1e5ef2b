// "Create IFOs": new IFO files for VOB files that have none (a recovered disc, a capture). The
// title VOB files are read once; their VOBUs, cells and streams give a VIDEO_TS.IFO and a
// VTS_01_0.IFO that play them as one title with one chapter per cell. Nothing is written into
// the VOB files. The same saving serves the create-new option of VOB Extras.
#pragma once

#include <string>
#include <vector>

#include "vob/extras_run.h"
#include "vob/new_ifo_files.h"

namespace navtab::vob {

inline constexpr const char* kVobFilter = "VOB Files (*.VOB)|*.VOB|All Files (*.*)|*.*||";
inline constexpr const char* kNewIfoFilter = "IFO Files (*.IFO)|*.IFO|All Files (*.*)|*.*||";

// Asks for the first source VOB and for the destination (proposing "VIDEO_TS.IFO"), then runs.
ExtrasOutcome CreateIfos(ExtrasContext& ctx);
// The run on chosen files: the title VOBs numbered like `firstVob` ("VTS_03_1.VOB" gives
// VTS_03_1.VOB, VTS_03_2.VOB, ... beside it; a file not so named is read alone), the new files
// in the folder of `destination`.
ExtrasOutcome CreateIfosFrom(ExtrasContext& ctx, const std::string& firstVob,
                             const std::string& destination);

// Builds and saves the new files into the folder of `destination`, VIDEO_TS.IFO and then
// VTS_01_0.IFO, each with its .BUP copy and in the letter case of the destination's name, and
// opens them into the workspace; files of those names already there are replaced only after the
// user's Yes. Sets outcome.result: Done, Cancelled (No), or Failed when they could not be built or
// written (the user has been told); then none of them was written.
// `titleVobs` are the files the title set describes; when the folder does not hold them as
// VTS_01_1.VOB, ... the user is told what to copy there.
bool SaveNewIfoFiles(ExtrasContext& ctx, const NewTitleSet& set, const VobuList& vobus,
                     const std::vector<std::string>& titleVobs, const std::string& destination,
                     ExtrasOutcome& outcome);

}  // namespace navtab::vob
