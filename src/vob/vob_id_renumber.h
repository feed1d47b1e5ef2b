// The PGCs after VOB ids were stripped from the VOB files: cells of a dropped VOB id leave their
// PGCs, kept ones take their new ids, and the chapters of programs left without cells go. The
// menu form can also leave out whole language units.
#pragma once

#include <string>

#include "core/ifo_main.h"
#include "vob/extras_options.h"

namespace navtab::vob {

// Rebuilds VTS_PGCITI and VTS_PTT_SRPT of a title-set file. A program that lost every cell goes,
// with the chapters that name it; the chapters after it in its PGC are renumbered, and a title
// left without chapters goes, the titles after it moving down in the PGC search pointers' title
// numbers. Returns "" or why a table could not be written (nothing changed then).
std::string RenumberPgcVobIds(ifo_t& ifo, const StripChoices& strip);

// Rebuilds the menu PGCI unit table of the file (VTSM_PGCI_UT or VMGM_PGCI_UT) the same way,
// and with `stripLanguageUnits` leaves out every language unit strip.keepLanguageUnit does not
// keep. Returns "" or why the table could not be written (nothing changed then).
std::string RenumberMenuVobIds(ifo_t& ifo, const StripChoices& strip, bool stripLanguageUnits);

}  // namespace navtab::vob
