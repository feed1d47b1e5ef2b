#include "core/ifo_classes_pgc.h"

#include <algorithm>
#include <limits>

#include "core/bytes.h"

namespace navtab {
namespace {

constexpr std::size_t kMaxPgcSize = 0xFFFF;  // its sub-tables are found by 16-bit offsets
constexpr std::size_t kMaxCellsOrPrograms = 0xFF;

std::size_t evenLength(std::size_t n) {
    return n + (n & 1);
}

}  // namespace

CIfoCommand::CIfoCommand(ByteSpan table, std::size_t offset) {
    ByteReader(table).copy(offset, bytes);
}

CIfoCellPlayback::CIfoCellPlayback(ByteSpan table, std::size_t offset) {
    const ByteReader in(table);
    in.copy(offset + pgc::kCellCategory, category);
    playbackTime = in.u32(offset + pgc::kCellPlaybackTime);
    firstSector = in.u32(offset + pgc::kCellFirstSector);
    firstIlvuEndSector = in.u32(offset + pgc::kCellFirstIlvuEnd);
    lastVobuStartSector = in.u32(offset + pgc::kCellLastVobuStart);
    lastSector = in.u32(offset + pgc::kCellLastSector);
}

void CIfoCellPlayback::write(ByteWriter& out, std::size_t offset) const {
    out.bytes(offset + pgc::kCellCategory, category);
    out.u32(offset + pgc::kCellPlaybackTime, playbackTime);
    out.u32(offset + pgc::kCellFirstSector, firstSector);
    out.u32(offset + pgc::kCellFirstIlvuEnd, firstIlvuEndSector);
    out.u32(offset + pgc::kCellLastVobuStart, lastVobuStartSector);
    out.u32(offset + pgc::kCellLastSector, lastSector);
}

CIfoCellPosition::CIfoCellPosition(ByteSpan table, std::size_t offset) {
    const ByteReader in(table);
    vobId = in.u16(offset + pgc::kCellVobId);
    cellId = in.u8(offset + pgc::kCellId);
}

void CIfoCellPosition::write(ByteWriter& out, std::size_t offset) const {
    out.u16(offset + pgc::kCellVobId, vobId);
    out.u8(offset + pgc::kCellId, cellId);
}

CIfoPgc::CIfoPgc(ByteSpan table, std::size_t offset) {
    const ByteReader in(table);
    in.copy(offset, stored);
    rateFlag = stored[pgc::kPlaybackTime + 3] & kRateFlagMask;

    const std::size_t commandOffset = in.u16(offset + pgc::kCommandTableStart);
    if (commandOffset == 0) return;
    const std::size_t header = offset + commandOffset;
    preCommands = in.u16(header + pgc::kPreCommandCount);
    postCommands = in.u16(header + pgc::kPostCommandCount);
    cellCommands = in.u16(header + pgc::kCellCommandCount);
    commandEndAddress = in.u16(header + pgc::kCommandTableSize);

    // Only the commands that lie inside the table are taken; the counts shrink to match, the
    // last group first, so the commands keep their groups.
    const std::size_t wanted = std::size_t{preCommands} + postCommands + cellCommands;
    const std::size_t first = header + pgc::kCommandsStart;
    const std::size_t found = recordsInside(in, first, CIfoCommand::kSize,
                                            std::numeric_limits<std::size_t>::max(), wanted);
    std::size_t missing = wanted - found;
    for (std::uint16_t* count : {&cellCommands, &postCommands, &preCommands}) {
        const std::size_t cut = std::min<std::size_t>(missing, *count);
        *count = static_cast<std::uint16_t>(*count - cut);
        missing -= cut;
    }
    commands.reserve(found);
    for (std::size_t i = 0; i < found; ++i)
        commands.push_back(std::make_unique<CIfoCommand>(table, first + i * CIfoCommand::kSize));
}

std::size_t CIfoPgc::size() const {
    std::size_t n = kStoredSize;
    if (!commands.empty()) n += kCommandTableHeader + CIfoCommand::kSize * commands.size();
    n += evenLength(programMap.size());
    n += CIfoCellPlayback::kSize * cells.size();
    n += CIfoCellPosition::kSize * positions.size();
    return n;
}

std::string CIfoPgc::layoutError() const {
    if (std::size_t{preCommands} + postCommands + cellCommands != commands.size())
        return "PGC: the command counts do not add up to the commands held";
    if (programMap.size() > kMaxCellsOrPrograms)
        return limitError("PGC", "number of programs", programMap.size(), kMaxCellsOrPrograms);
    if (cells.size() > kMaxCellsOrPrograms)
        return limitError("PGC", "number of cells", cells.size(), kMaxCellsOrPrograms);
    return limitError("PGC", "size in bytes", size(), kMaxPgcSize);
}

void CIfoPgc::write(ByteWriter& out, std::size_t offset) {
    stored[pgc::kProgramCount] = static_cast<std::uint8_t>(programMap.size());
    stored[pgc::kCellCount] = static_cast<std::uint8_t>(cells.size());
    put32(stored.data() + pgc::kPlaybackTime, PlaybackTime());

    // The sub-tables follow the general information end to end, each only when it has entries.
    std::size_t next = kStoredSize;
    auto place = [&](std::uint32_t field, bool present, std::size_t length) {
        const std::size_t start = present ? next : 0;
        put16(stored.data() + field, static_cast<std::uint16_t>(start));
        next += present ? length : 0;
        return start;
    };
    const std::size_t commandTable =
        place(pgc::kCommandTableStart, !commands.empty(),
              kCommandTableHeader + CIfoCommand::kSize * commands.size());
    const std::size_t map =
        place(pgc::kProgramMapStart, !programMap.empty(), evenLength(programMap.size()));
    const std::size_t playback =
        place(pgc::kCellPlaybackStart, !cells.empty(), CIfoCellPlayback::kSize * cells.size());
    const std::size_t position = place(pgc::kCellPositionStart, !positions.empty(),
                                       CIfoCellPosition::kSize * positions.size());

    out.bytes(offset, stored);
    if (cells.empty()) {
        // A PGC without cells plays nothing: no user operations, stream controls or palette.
        out.zero(offset + pgc::kProhibitedUops, pgc::kNextPgc - pgc::kProhibitedUops);
        out.zero(offset + pgc::kPalette, pgc::kCommandTableStart - pgc::kPalette);
    }
    if (commandTable != 0) {
        commandEndAddress = static_cast<std::uint16_t>(kCommandTableHeader +
                                                       CIfoCommand::kSize * commands.size() - 1);
        const std::size_t at = offset + commandTable;
        out.u16(at + pgc::kPreCommandCount, preCommands);
        out.u16(at + pgc::kPostCommandCount, postCommands);
        out.u16(at + pgc::kCellCommandCount, cellCommands);
        out.u16(at + pgc::kCommandTableSize, commandEndAddress);
        for (std::size_t i = 0; i < commands.size(); ++i)
            commands[i]->write(out, at + pgc::kCommandsStart + i * CIfoCommand::kSize);
    }
    if (map != 0) out.bytes(offset + map, programMap);
    for (std::size_t i = 0; i < cells.size(); ++i)
        cells[i]->write(out, offset + playback + i * CIfoCellPlayback::kSize);
    for (std::size_t i = 0; i < positions.size(); ++i)
        positions[i]->write(out, offset + position + i * CIfoCellPosition::kSize);
}

Serialised CIfoPgc::serialise() {
    return serialiseTable(layoutError(), size(), [&](ByteWriter& out) { write(out, 0); });
}

CIfoCellPlayback* CIfoPgc::AddCell(ByteSpan playbackEntry, std::uint16_t vobId, std::uint8_t cellId,
                                   bool newProgram) {
    CIfoCellPlayback cell(playbackEntry, 0);
    cell.vobId = vobId;
    cell.cellId = cellId;
    return AddCell(cell, newProgram);
}

CIfoCellPlayback* CIfoPgc::AddCell(const CIfoCellPlayback& cell, bool newProgram) {
    cells.push_back(std::make_unique<CIfoCellPlayback>(cell));
    positions.push_back(std::make_unique<CIfoCellPosition>(static_cast<std::uint16_t>(cell.vobId),
                                                           static_cast<std::uint8_t>(cell.cellId)));
    // The program map holds cell numbers counted from 1: the new cell's number is the count.
    if (newProgram) programMap.push_back(static_cast<std::uint8_t>(cells.size()));
    return cells.back().get();
}

CIfoCommand* CIfoPgc::AddCommand(CommandGroup group, const std::array<std::uint8_t, 8>& bytes) {
    std::size_t at = preCommands;
    std::uint16_t* count = &preCommands;
    if (group == CommandGroup::Post) {
        at += postCommands;
        count = &postCommands;
    } else if (group == CommandGroup::Cell) {
        at += std::size_t{postCommands} + cellCommands;
        count = &cellCommands;
    }
    if (*count == std::numeric_limits<std::uint16_t>::max()) return nullptr;
    at = std::min(at, commands.size());
    auto command = std::make_unique<CIfoCommand>();
    command->bytes = bytes;
    CIfoCommand* added = command.get();
    commands.insert(commands.begin() + static_cast<std::ptrdiff_t>(at), std::move(command));
    ++*count;
    return added;
}

std::uint32_t CIfoPgc::PlaybackTime() const {
    if (cells.empty()) return rateFlag;
    std::uint64_t frames = 0;
    for (const auto& cell : cells)
        if (cell->category[0] < 0x80) frames += bcdTimeToFrames(cell->playbackTime);
    const auto total = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(frames, std::numeric_limits<std::uint32_t>::max()));
    return framesToBcdTime(total, rateFlag == kRateFlag25 ? 25 : 30);
}

}  // namespace navtab
