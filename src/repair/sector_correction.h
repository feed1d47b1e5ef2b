// "Get VTS sectors": recomputes, from the sizes of the files beside a loaded IFO file, every
// sector address the management tables and the title table keep about those files: where the
// video manager and each title set end, where their menu and title VOBs begin, where each title
// set begins, and how many title sets there are. It repairs a folder whose VOB files were replaced
// by re-encoded ones of another size. Corrections go into the loaded buffers; the single-file mode
// leaves saving to the user, the all-files mode saves every corrected IFO and its .BUP at once.
#pragma once

#include <string>
#include <vector>

#include "core/document.h"
#include "core/path_parts.h"
#include "repair/disc_listing.h"

namespace navtab::repair {

// Each routine corrects the fields of its table that differ from the listing and returns one
// report line per corrected field (empty when nothing differed or the table is not loaded).
std::string CorrectVmgiMat(ifo_t& ifo, const DiscListing& listing);
std::string CorrectTitleSearchPointers(ifo_t& ifo, const DiscListing& listing);
// `fileName` is the loaded file's name without its folder (VTS_nn_0.IFO, or its BUP).
std::string CorrectVtsiMat(ifo_t& ifo, const DiscListing& listing, const std::string& fileName);

// Runs the routines that fit the document's kind, shows each table's report under its heading
// and marks the document modified when anything changed. Returns whether anything changed.
bool correctDocumentSectors(Workspace& workspace, IfoDocument& doc, const DiscListing& listing,
                            UserInteraction& ui);

// Single-file mode: the corrections, then "Finished correcting sector addresses" or "No sector's
// found that are different!".
void CorrectLoadedIfo(Workspace& workspace, IfoDocument& doc, const DiscListing& listing,
                      UserInteraction& ui);

struct AllFilesOutcome {
    IfoDocument* last = nullptr;       // the last document handled
    std::vector<std::string> changed;  // paths of the files corrected (or saved to write a
                                       // missing .BUP), in disc order
    std::vector<std::string> failed;   // those of them whose save failed
    bool declined = false;             // the folder did not fit its IFO files and the user stopped
};

// All-files mode: every IFO file of the listing in disc order (VIDEO_TS.IFO first, then the title
// sets by number) is corrected and, when changed or without its .BUP copy, saved with its .BUP
// without asking; the addresses count the copies this writes. A failed save is reported and the
// others go on. Without `save` nothing is written (a dry run). When the folder does not fit the
// disc its IFO files describe, the user is asked first whether to go on; a file that did not load
// as a whole is left alone with its .BUP.
AllFilesOutcome CorrectAllIfoFiles(Workspace& workspace, DocumentSource& source,
                                   const std::string& folder, const DiscListing& listing,
                                   UserInteraction& ui, bool save = true);

// The "Get VTS sectors" button: nothing without a loaded file or a readable folder; otherwise asks
// whether to process all IFO files. Returns the document loaded at the end.
IfoDocument* OnGetVtsSectors(Workspace& workspace, IfoDocument* loaded, DocumentSource& source,
                             UserInteraction& ui);

}  // namespace navtab::repair
