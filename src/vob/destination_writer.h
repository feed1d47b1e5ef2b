// The writer of a run's destination VOB files. Title runs write VTS_nn_1.VOB, VTS_nn_2.VOB, ...
// (the stem is the first six characters of the destination's file name) and begin the next file
// when one holds 524287 sectors, one short of the 1 GB a DVD file may have. Menu runs write one
// file (the first eight characters of the name and ".VOB"), never split.
//
// The sectors are gathered in blocks that a thread of their own appends to the files. A run may
// hold written sectors back in memory for a while (up to a limit it sets), so that it can still
// change them before they go to the file: the NAV packs of a copy are corrected there as soon as
// what their pointers reach has been written, which spares a second pass over the files.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "vob/background_writer.h"

namespace navtab::vob {

inline constexpr std::uint32_t kMaxSectorsPerVob = 524287;

// The destination file of a title run with number `number`, and that of a menu run.
std::string titleDestinationPath(const std::string& destination, int number);
std::string menuDestinationPath(const std::string& destination);

class DestinationWriter {
  public:
    DestinationWriter(std::string destination, bool menu,
                      std::uint32_t maxSectors = kMaxSectorsPerVob);
    ~DestinationWriter();
    DestinationWriter(const DestinationWriter&) = delete;
    DestinationWriter& operator=(const DestinationWriter&) = delete;

    // Writes one 2048-byte sector. False when a file cannot be created or written; error() then
    // says which and why, and every later call fails too. A failed write to the file can come to
    // light a few blocks after the sector that was lost.
    bool WriteDestinationSector(std::span<const std::uint8_t> sector);
    // Writes what is buffered and held and closes the file; false (with error()) when that fails.
    bool close();

    // The sectors written are numbered from 0 over all files. Up to `bytes` of the latest ones
    // stay in memory until released (0, the default: none beyond the block being filled).
    void setHoldLimit(std::size_t bytes) { holdLimit_ = bytes; }
    // The bytes of a written sector while it is still held, else null.
    std::uint8_t* heldSector(std::uint64_t number);
    // Lets every held sector before `number` go on to its file.
    void releaseBefore(std::uint64_t number);

    const std::string& currentPath() const { return current_; }
    // The files created, in order.
    const std::vector<std::string>& files() const { return files_; }
    const std::string& error() const { return error_; }

  private:
    struct Block {
        std::uint8_t* bytes;
        std::uint64_t first;      // number of its first sector
        std::uint32_t count = 0;  // sectors in it
        std::string newFile;      // the file it begins, when it begins one
        bool lastOfFile = false;  // the file is closed behind it
    };
    bool full(const Block& b) const;
    bool handOn();  // the oldest held block, when it is complete
    bool openNext();
    bool fail(const std::string& why);

    std::string destination_;
    bool menu_;
    std::uint32_t maxSectors_;
    std::size_t holdLimit_ = 0;
    int number_ = 1;
    std::uint32_t sectorsInFile_ = 0;
    std::uint64_t written_ = 0;  // sectors taken so far
    bool fileOpen_ = false;
    std::string current_;
    std::vector<std::string> files_;
    std::deque<Block> held_;  // oldest first; the newest may still be filling
    std::string error_;
    std::unique_ptr<BackgroundWriter> writes_;
};

}  // namespace navtab::vob
