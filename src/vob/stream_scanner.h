// The program-stream scanner: walks the MPEG-2 program stream of one VOB file or of a chain of
// them pack by pack and packet by packet, counts packs, system headers and the packets and bytes
// of every stream, notes each stream's first time stamp, and collects what the sector tools need:
// the sector of every system header (in a VOB, every NAV pack, so every VOBU start) with the
// times and ids its PCI and DSI give, and every change of VOB id or cell id in the DSI packets. It
// only reads. Its diagnostic log goes to a sink of the caller's choice.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "vob/sector_chain_reader.h"

namespace navtab {
class Progress;
}

namespace navtab::vob {

// What the walk logs: bit 0 the summary at the end, bit 1 the first sight of every stream, the
// sequence header and each cell change (and only then are cells recorded), bit 2 sync and file
// errors.
enum ScanFlags : unsigned {
    kScanSummary = 1,
    kScanVerbose = 2,
    kScanErrors = 4,
    kScanAll = kScanSummary | kScanVerbose | kScanErrors,
};

enum class ScanStatus {
    Continue = 0,
    End = 1,          // the input ended; the summary was logged
    NotOpen = 3,      // a step on a closed walk
    InputFailed = 4,  // the input could not be opened or read
    LostSync = 8,     // no packet start within the resync limit
    Cancelled = 16,   // the user stopped the walk
};

struct StreamEntry {
    std::uint32_t packets = 0;
    std::uint32_t bytes = 0;  // payload bytes
    double firstPts = 0;      // milliseconds; 0 = none yet
    bool seen = false;        // its first-seen line was logged
};

// A change of (VOB id, cell id) met in the DSI packets.
struct ScanCell {
    std::uint16_t vobId = 0;
    std::uint8_t cellId = 0;
    std::uint32_t start = 0;  // the NAV pack where the change was seen
    std::uint32_t end = 0;    // start + that VOBU's end address
};

// What the NAV pack of a VOBU says about its place in time, as stored. A player shows a VOBU
// at its cell's start plus the cell elapsed time, for as long as its presentation times span.
struct ScanVobuTime {
    std::uint16_t vobId = 0;
    std::uint8_t cellId = 0;
    std::uint32_t cellElapsed = 0;  // DSI c_eltm: BCD hours, minutes, seconds, rate and frames
    std::uint32_t startPtm = 0;     // PCI vobu_s_ptm, 90 kHz
    std::uint32_t endPtm = 0;       // PCI vobu_e_ptm
};

struct ScanResults {
    static constexpr std::size_t kUnbounded = std::numeric_limits<std::size_t>::max();
    // Entries beyond these capacities are counted but not kept.
    std::size_t vobuCapacity = kUnbounded;
    std::size_t cellCapacity = kUnbounded;

    std::vector<std::uint32_t> vobuStarts;
    std::vector<ScanCell> cells;
    std::vector<ScanVobuTime> vobuTimes;  // one for each kept VOBU start
    std::uint32_t lastVobuEnd = 0;
    std::uint64_t vobusFound = 0;  // including those beyond the capacity
    std::uint64_t cellsFound = 0;

    // Statistics of the walk.
    std::uint32_t packs = 0;
    std::uint32_t systemHeaders = 0;
    std::array<StreamEntry, 256> streams{};
    std::array<StreamEntry, 256> subStreams{};  // private stream 1, by its first payload byte
    // The first video sequence header: width, height, aspect-ratio and frame-rate codes.
    bool sequenceFound = false;
    unsigned width = 0, height = 0, aspectCode = 0, frameRateCode = 0;
};

using ScanLog = std::function<void(const std::string& text)>;

class StreamScanner {
  public:
    static constexpr unsigned kResyncLimit = 2048;

    StreamScanner(unsigned flags, ScanLog log);

    // Opens the input and reads its first sector; on failure logs why (errors flag) and returns
    // InputFailed, else Continue.
    ScanStatus open(std::vector<std::string> paths, ScanResults& results);
    // One pack-level item: a pack header, a system header, a packet or an end code.
    ScanStatus step();
    void close();

    const SectorChainReader* reader() const { return reader_.get(); }

  private:
    ScanStatus dispatch(std::uint8_t code);
    ScanStatus resync();
    ScanStatus packet(std::uint8_t streamId);
    void privateStream2();
    void logFirstSeen(StreamEntry& entry, std::uint8_t streamId, int subStream);
    void logSequenceHeader();
    ScanStatus endTest();
    void logSummary();
    void log(unsigned flag, const std::string& text) const;

    unsigned flags_;
    ScanLog log_;
    std::unique_ptr<SectorChainReader> reader_;
    ScanResults* results_ = nullptr;
    int lastVobId_ = -1;
    int lastCellId_ = -1;
    bool sequenceLogged_ = false;
};

struct ScanOptions {
    unsigned flags = kScanAll;
    ScanLog log;                   // null: nothing is logged
    Progress* progress = nullptr;  // stepped by sectors; its cancel stops the walk
};

// Logs "Scanning for stream id's, press control-c to quit...", walks the input to its end and
// fills `results`. Returns the status of the last step.
ScanStatus ScanStreams(const std::vector<std::string>& paths, ScanResults& results,
                       const ScanOptions& options);

}  // namespace navtab::vob
