// Reads the sectors of the cells the navigator plays from the VOB files of a DVD folder and feeds
// them to the media pipeline. A cell event of the navigator names its domain and title set (and
// so the VOB group: VIDEO_TS.VOB, VTS_nn_0.VOB or the chain VTS_nn_1.VOB, VTS_nn_2.VOB, ...)
// and its first and last sectors counted in that group.
//
// The cell is read VOBU by VOBU, following the next-VOBU pointer of each NAV pack, so the
// interleaved units of other angles are passed over. For fast playback only the first reference
// picture of each VOBU is read and the VOBU search pointers of its DSI step forward or backward.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "navigator/navigator_events.h"
#include "navigator/player_state.h"

namespace navtab::player {

class MediaPipeline;

class CellFeeder {
  public:
    // `folder` is the VIDEO_TS folder; file names are found whatever their case.
    explicit CellFeeder(std::string folder);
    ~CellFeeder();
    CellFeeder(const CellFeeder&) = delete;
    CellFeeder& operator=(const CellFeeder&) = delete;

    // Starts reading the sectors `first` .. `last` of the VOB group of `domain` and `titleSet`.
    // False, with `error()` set to the warning text of the window, when no VOB file of the group
    // can be opened.
    bool startCell(navigator::Domain domain, int titleSet, std::uint32_t first, std::uint32_t last);
    // The same for a navigator event of kind Cell.
    bool startCell(const navigator::Event& cellEvent);
    // Continues at `sector` (a VOBU start inside the cell), for a time or chapter seek.
    void seek(std::uint32_t sector);

    // 0 plays every sector; n > 0 scans forward, n < 0 backward, taking one VOBU about every
    // |n| half seconds (1, 2, ... 15, 20, 60, 120, 240 as the search pointers offer) and only
    // its first reference picture. Backward scanning ends at the cell's first sector.
    void setScan(int halfSecondsPerStep);

    // Reads up to `maxSectors` sectors and feeds them to `pipeline`. Returns the number fed; 0
    // at the end of the cell or when reading stops on an error (then `error()` is set and the
    // rest of the cell is passed over).
    std::size_t feed(MediaPipeline& pipeline, std::size_t maxSectors);

    bool atEnd() const;
    std::uint32_t position() const;  // the next sector to read
    // The last read failure as the window shows it: "DVD Warning: Could not open a file on the
    // DVD disc.", "... Could not seek in a file ..." or "... Could not read a file ...".
    const std::string& error() const;
    // The last error in detail (file name and sector), for a log.
    const std::string& errorDetail() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace navtab::player
