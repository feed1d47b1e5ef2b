// The line texts that both overviews share: stream lines, the VOB ids a PGC uses, menu sections.
#pragma once

#include <cstdint>
#include <string>

#include "format/field_list.h"
#include "format/table_rows.h"

namespace navtab {

// "  Video: MPEG-2 ..." of a video attribute word; with a title-set number, the "  VTS_%d Video:"
// form.
std::string videoLine(const std::uint8_t* video, int titleSet = 0);

// The audio and sub-picture texts: the plain form, the "  VTS_%d ..." form (titleSet > 0), or the
// form that a list of stream ids follows (withIds).
std::string audioText(const std::uint8_t* audio, int stream, int titleSet = 0,
                      bool withIds = false);
std::string subpictureText(const std::uint8_t* subp, int stream, int titleSet = 0,
                           bool withIds = false);

// " (uses VOB-IDs: 1,2)" for the PGC starting at `pgc`, or nothing when it has no cells (or no cell
// position table inside the buffer).
std::string vobIdList(const TableRows& pgc);

// "(Programs: %d) (Cells: %d)" of a PGC.
std::string programsAndCells(const TableRows& pgc);

enum class MenuTable { Vmgm, Vtsm };

// The menu section of a menu PGCI unit table: its language units and one line per menu PGC, each
// line carrying the menu PGC's address.
void addMenuSection(FieldList& list, const ifo_t& ifo, int slot, MenuTable kind);

}  // namespace navtab
