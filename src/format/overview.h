// The one-page summaries of a file shown when its root node is selected: the video manager
// overview (menu streams, titles, title sets, First Play PGC, menus) and the title-set overview
// (streams with their MPEG ids, every title PGC cell by cell, menus).
#pragma once

#include <cstdint>

#include "core/angle_table.h"
#include "format/describe.h"

namespace navtab {

// Runs the overview that fits the file's kind; does nothing for a file of neither kind.
void ShowOverview(DescribeContext& ctx);
void ShowVmgOverview(DescribeContext& ctx);
// Fills `angles` (emptied first) with the angles its cells carry.
void ShowVtsOverview(DescribeContext& ctx);

// The chapter (counted from 1 within its title) whose part-of-title entry in VTS_PTT_SRPT is the
// given PGC and program (both from 1); 0 when none is, or the table is absent.
std::uint8_t ChapterOfProgram(const ifo_t& ifo, int pgcNumber, int programNumber);

}  // namespace navtab
