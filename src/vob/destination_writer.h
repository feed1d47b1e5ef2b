// The writer of a run's destination VOB files. Title runs write VTS_nn_1.VOB, VTS_nn_2.VOB, ...
// (the stem is the first six characters of the destination's file name) and begin the next file
// when one holds 524287 sectors, one short of the 1 GB a DVD file may have. Menu runs write one
// file (the first eight characters of the name and ".VOB"), never split.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

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
    // says which and why, and every later call fails too.
    bool WriteDestinationSector(std::span<const std::uint8_t> sector);
    // Writes what is buffered and closes the file; false (with error()) when that fails.
    bool close();

    const std::string& currentPath() const { return current_; }
    // The files created, in order.
    const std::vector<std::string>& files() const { return files_; }
    const std::string& error() const { return error_; }

  private:
    bool flush();
    bool fail(const std::string& path);

    std::string destination_;
    bool menu_;
    std::uint32_t maxSectors_;
    int fd_ = -1;
    int number_ = 1;
    std::uint32_t sectorsInFile_ = 0;
    std::string current_;
    std::vector<std::string> files_;
    std::vector<std::uint8_t> buffer_;
    std::string error_;
};

}  // namespace navtab::vob
