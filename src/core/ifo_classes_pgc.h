// A program chain (PGC) as an object: its general information kept as it stands, its navigation
// commands, and the program map and cell tables that the authoring tools rebuild cell by cell.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/bcd_frames.h"
#include "core/ifo_classes_common.h"
#include "core/layout/pgc_layout.h"

namespace navtab {

// One 8-byte navigation command.
class CIfoCommand {
  public:
    static constexpr std::size_t kSize = pgc::kCommandSize;

    CIfoCommand() = default;
    CIfoCommand(ByteSpan table, std::size_t offset);

    std::size_t size() const { return kSize; }
    void write(ByteWriter& out, std::size_t offset) const { out.bytes(offset, bytes); }

    std::array<std::uint8_t, kSize> bytes{};
};

// One 24-byte cell playback entry.
class CIfoCellPlayback {
  public:
    static constexpr std::size_t kSize = pgc::kCellPlaybackSize;

    CIfoCellPlayback() = default;
    CIfoCellPlayback(ByteSpan table, std::size_t offset);

    std::size_t size() const { return kSize; }
    void write(ByteWriter& out, std::size_t offset) const;

    // Category: cell/block type, restriction, still time, cell command number.
    std::array<std::uint8_t, 4> category{};
    std::uint32_t playbackTime = 0;  // BCD time word
    std::uint32_t firstSector = 0;
    std::uint32_t firstIlvuEndSector = 0;
    std::uint32_t lastVobuStartSector = 0;
    std::uint32_t lastSector = 0;
    // Working words of the tools (the VOB id and cell id the cell belongs to and two more);
    // zero after parsing and never written.
    std::uint32_t vobId = 0;
    std::uint32_t cellId = 0;
    std::uint32_t aux1 = 0;
    std::uint32_t aux2 = 0;
};

// One cell position entry: the VOB id and cell id a cell plays.
class CIfoCellPosition {
  public:
    static constexpr std::size_t kSize = pgc::kCellPositionSize;

    CIfoCellPosition() = default;
    CIfoCellPosition(std::uint16_t vob, std::uint8_t cell) : vobId(vob), cellId(cell) {}
    CIfoCellPosition(ByteSpan table, std::size_t offset);

    std::size_t size() const { return kSize; }
    void write(ByteWriter& out, std::size_t offset) const;

    std::uint16_t vobId = 0;
    std::uint8_t cellId = 0;
};

enum class CommandGroup { Pre, Post, Cell };

class CIfoPgc {
  public:
    static constexpr std::size_t kStoredSize = pgc::kHeaderSize;  // 236 bytes kept as they stand
    static constexpr std::size_t kCommandTableHeader = pgc::kCommandsStart;

    CIfoPgc() = default;
    // Parses the PGC that starts at `offset` of `table`: its general information and its commands.
    // The program map and the cell tables are not parsed; they are rebuilt through AddCell.
    CIfoPgc(ByteSpan table, std::size_t offset);

    std::size_t size() const;
    // Empty when the PGC can be laid out, else why not (more than 255 programs or cells, a record
    // too large for its 16-bit table offsets, or command counts that do not match the commands).
    std::string layoutError() const;
    // Stores the derived header words (counts, playback time, table offsets) and writes the PGC.
    // Call only when layoutError() is empty.
    void write(ByteWriter& out, std::size_t offset);
    Serialised serialise();

    // Appends a cell parsed from a 24-byte playback entry, with its position entry; with
    // `newProgram` the cell also starts a program.
    CIfoCellPlayback* AddCell(ByteSpan playbackEntry, std::uint16_t vobId, std::uint8_t cellId,
                              bool newProgram);
    // The same from an existing cell, whose working words give the VOB id and cell id.
    CIfoCellPlayback* AddCell(const CIfoCellPlayback& cell, bool newProgram);
    // Appends a command at the end of its group (null when the group already holds 65535).
    CIfoCommand* AddCommand(CommandGroup group, const std::array<std::uint8_t, 8>& bytes);

    // Sum of the playback times of the cells that are not second or later cells of an angle
    // block, in the PGC's own frame rate; a zero time with the rate flag when there are no cells.
    std::uint32_t PlaybackTime() const;

    std::array<std::uint8_t, kStoredSize> stored{};
    std::uint8_t rateFlag = kRateFlag25;  // 0x40 = 25 fps, 0xC0 = 30 fps
    // Command table header: the three group counts and the end address.
    std::uint16_t preCommands = 0;
    std::uint16_t postCommands = 0;
    std::uint16_t cellCommands = 0;
    std::uint16_t commandEndAddress = 0;
    // Pre, then post, then cell commands; add them with AddCommand so the counts stay right.
    std::vector<std::unique_ptr<CIfoCommand>> commands;
    std::vector<std::uint8_t> programMap;  // entry cell number of each program
    std::vector<std::unique_ptr<CIfoCellPlayback>> cells;
    std::vector<std::unique_ptr<CIfoCellPosition>> positions;
};

}  // namespace navtab
