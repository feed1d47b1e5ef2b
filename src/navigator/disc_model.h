// The navigation data of a DVD-Video folder as the navigator plays it: the first-play PGC, the
// menus of the video manager and of each title set by language, the titles of the disc with their
// chapters, the title PGCs and the VOB files that hold the cells. Built from the raw tables of
// the loaded IFO files; every count and offset of the tables is checked against the bytes, so a
// damaged file gives fewer PGCs, cells or commands, never a read outside a table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/ifo_classes_common.h"
#include "core/ifo_main.h"
#include "navcmd/nav_operands.h"

namespace navtab::navigator {

using navcmd::NavBytes;

// One cell playback entry.
struct Cell {
    std::array<std::uint8_t, 4> category{};
    std::uint32_t playbackTime = 0;  // BCD time word
    std::uint32_t first = 0;         // sectors of the cell, counted from the start of its VOB group
    std::uint32_t firstIlvuEnd = 0;
    std::uint32_t lastVobuStart = 0;
    std::uint32_t last = 0;

    // Block mode (byte 0, bits 7..6): 0 no block, 1 first, 2 inside, 3 last cell of a block.
    int blockMode() const { return category[0] >> 6; }
    // Block type (bits 5..4): 1 is an angle block.
    bool inAngleBlock() const { return ((category[0] >> 4) & 3) == 1; }
    bool interleaved() const { return (category[0] & 0x04) != 0; }
    // Still time in seconds; 255 holds the picture until the user ends it.
    int stillTime() const { return category[2]; }
    // 1-based number of the cell command that runs when the cell ends; 0 for none.
    int command() const { return category[3]; }
};

struct Pgc {
    std::uint32_t prohibitedUops = 0;
    std::array<std::uint16_t, 8> audioControl{};
    std::array<std::uint32_t, 32> subpictureControl{};
    std::uint16_t nextPgc = 0;
    std::uint16_t prevPgc = 0;
    std::uint16_t upPgc = 0;
    std::uint8_t stillTime = 0;
    // 0 sequential; bit 7 shuffle, else random, of (bits 6..0) + 1 programs.
    std::uint8_t playbackMode = 0;
    // The colours of sub-pictures and button highlights: 16 words 0x00YYCrCb.
    std::array<std::uint32_t, 16> palette{};
    std::vector<NavBytes> pre, post, cellCommands;
    std::vector<std::uint8_t> programMap;  // 1-based entry cell of each program
    std::vector<Cell> cells;
};

// A PGC of a PGC table with its search pointer's category byte (title number or menu type).
struct PgcEntry {
    std::uint8_t category = 0;
    Pgc pgc;
    // The parental IDs the PGC plays for; a title may hold one PGC per parental version of the
    // story. 0 plays for every level.
    std::uint16_t parentalMask = 0;
};

// One language unit of a menu table.
struct MenuLanguage {
    std::uint16_t language = 0;  // two ASCII letters, as the menu language register holds them
    std::vector<PgcEntry> pgcs;
};

// The menu type in the low four bits of a menu PGC's category byte, with the entry flag.
inline constexpr std::uint8_t kMenuEntryFlag = 0x80;

// The streams a domain's VOBs carry, as its management table lists them.
struct StreamAttributes {
    std::vector<std::array<std::uint8_t, 8>> audio;
    std::vector<std::array<std::uint8_t, 6>> subpictures;
};

struct Part {
    std::uint16_t pgc = 0;
    std::uint16_t program = 0;
};

struct TitleSet {
    bool loaded = false;
    std::vector<PgcEntry> titlePgcs;
    std::vector<std::vector<Part>> parts;  // per title of the set, its chapters
    std::vector<MenuLanguage> menus;
    StreamAttributes menuStreams, titleStreams;
    std::vector<std::string> titleVobs;
    std::optional<std::string> menuVob;
    // The video attribute words of the menus and of the titles (ratio, display modes).
    std::uint16_t menuVideo = 0;
    std::uint16_t titleVideo = 0;
};

// A title of the disc as the title search table gives it.
struct Title {
    std::uint8_t playbackType = 0;
    int angles = 0;
    int parts = 0;
    int titleSet = 0;
    int titleSetTitle = 0;
    std::uint16_t parentalMask = 0;  // the parental IDs of the title's versions; 0 for none
};

struct Disc {
    std::string folder;
    std::optional<Pgc> firstPlay;
    std::vector<MenuLanguage> menus;
    StreamAttributes menuStreams;  // of the video manager's menus
    std::vector<Title> titles;
    std::vector<TitleSet> titleSets;  // index 0 is title set 1
    std::optional<std::string> menuVob;
    // The bytes of the parental management table (VMG_PTL_MAIT), read as the player's country
    // and level ask; empty when the disc has none.
    std::vector<std::uint8_t> parentalTable;
    std::uint16_t menuVideo = 0;  // video attribute word of the VMG menus
    // Files that could not be opened or read, in the words the navigator reports them with.
    std::vector<std::string> problems;
};

// Reads VIDEO_TS.IFO (or its .BUP) and every title set's IFO of `folder`, names matched without
// regard to case. A folder without a readable video manager gives a disc with no PGCs and a
// problem.
Disc LoadDisc(const std::string& folder);

// The navigation data of loaded IFO files, without any VOB file; `titleSets[n]` may be null.
Disc DiscFromIfos(const ifo_t* vmg, const std::vector<const ifo_t*>& titleSets);

// The parental IDs that play at `level` (1 to 8) for `country` (two ASCII letters) in the video
// manager (`titleSet` 0) or a title set, from a parental management table; nullopt when the table
// names no limit for them (no such country, or a mask outside the table).
std::optional<std::uint16_t> ParentalAllowance(ByteSpan table, std::uint16_t country, int level,
                                               int titleSet);

// Parses the PGC at `offset` of `table`.
Pgc ParsePgc(ByteSpan table, std::size_t offset);

}  // namespace navtab::navigator
