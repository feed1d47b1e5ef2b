// The strip dialog's lists and what its check marks mean. The dialog lists the audio and
// sub-picture streams of a title set, the VOB ids of its title or menu cells, or the language
// units of its menus; on "Strip it" the marks become the run's keep and renumbering tables.
#pragma once

#include <string>
#include <vector>

#include "core/ifo_main.h"
#include "core/ifo_stream_usage.h"
#include "vob/extras_options.h"

namespace navtab::vob {

enum class StripMode { Streams, VobIds, LanguageUnits };

struct StripRow {
    bool keep = false;
    std::string id;                 // the second column
    std::string text;               // the third column
    std::vector<std::uint8_t> ids;  // stream mode: the MPEG ids of the row's stream
};

// What the strip dialog shows and, after "Strip it", what the user ticked.
struct StripDialog {
    StripMode mode = StripMode::Streams;
    std::vector<StripRow> rows;
    // Stream mode: the stream each row stands for (audio rows first, then sub-picture rows).
    std::vector<std::size_t> streamOf;
    std::size_t audioRows = 0;
    bool stripVobFiles = true;  // "Strip VOB files": always on from the VOB tools
    bool correctIfo = true;     // "Correct IFO tables"

    // The column titles: "Keep" and the two of the mode.
    std::string idColumn() const;
    std::string textColumn() const;
};

// Stream mode, from the streams the title set's PGCs declare available. Only the rows of audio
// stream 0 and sub-picture stream 0 start ticked.
StripDialog streamStripDialog(const CIfoStreamUsage& usage);
// VOB id mode: one row per VOB id 1..count, ticked as the keep table says.
StripDialog vobIdStripDialog(std::size_t vobIdCount, const StripChoices& choices);
// Language unit mode, from a menu PGCI unit table (VTSM_PGCI_UT or VMGM_PGCI_UT); only the first
// unit starts ticked.
StripDialog languageUnitStripDialog(const ifo_t& ifo);

// "Strip it": the marks into the choices.
void applyStreamChoice(const StripDialog& dialog, StripChoices& choices);
void applyVobIdChoice(const StripDialog& dialog, StripChoices& choices);
// Keeps the language units ticked, then keeps the VOB ids their PGCs play (ids 1..vobIdCount)
// and renumbers those.
void applyLanguageUnitChoice(const StripDialog& dialog, const ifo_t& ifo, std::size_t vobIdCount,
                             StripChoices& choices);

// The number of VOB ids the cell address table of a title set (title or menu form) or of the
// video manager's menus declares; 0 when it is not loaded.
std::size_t cellAddressVobIds(const ifo_t& ifo, bool menu);

}  // namespace navtab::vob
