// The VOB files beside an IFO file. A title set nn keeps its menus in VTS_nn_0.VOB and its titles
// in VTS_nn_1.VOB, VTS_nn_2.VOB, ... (at most nine); the title files form one sector address
// space, sector 0 being the first sector of VTS_nn_1.VOB and each file continuing the count where
// the one before it ended.
//
// Discs copied to Linux come with upper- or lower-case names, and Linux paths are case-sensitive,
// so a VOB is looked up in the IFO's folder whatever the case of its name; the path found is used
// exactly as the folder spells it, and no path is ever changed in case.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace navtab::vob {

inline constexpr int kMaxTitleVobs = 9;

// True when `path` names an existing file (not a folder).
bool TitleVobExists(const std::string& path);

// The existing file in `folder` whose name equals `name` ignoring ASCII case; the exact spelling
// wins when it exists. Nothing when there is none.
std::optional<std::string> findFileIgnoringCase(const std::string& folder, const std::string& name);

// The title VOB files of the title set whose IFO (or BUP) is `ifoPath`, in index order: the
// first six characters of its file name ("VTS_nn") followed by "_1.VOB", "_2.VOB", ... up to the
// first index without a file and never past nine. A missing VTS_nn_1.VOB means no title VOBs.
std::vector<std::string> titleVobPaths(const std::string& ifoPath);

// The menu VOB of an IFO file: VTS_nn_0.VOB beside VTS_nn_0.IFO, VIDEO_TS.VOB beside
// VIDEO_TS.IFO. Nothing when the file does not exist.
std::optional<std::string> menuVobPath(const std::string& ifoPath);

// A file's size in whole sectors (a truncated last sector does not count), or nothing when the
// file cannot be examined.
std::optional<std::uint64_t> sectorCount(const std::string& path);

}  // namespace navtab::vob
