// Builders that gather a management table and the tables of one IFO file as objects, place the
// tables sector by sector behind the management table and produce a new ifo_t from them.
#pragma once

#include <memory>
#include <string>

#include "core/ifo_classes_address.h"
#include "core/ifo_classes_mat.h"
#include "core/ifo_classes_pgci.h"
#include "core/ifo_classes_ptt.h"
#include "core/ifo_classes_tmap.h"
#include "core/ifo_classes_tt_srpt.h"
#include "core/ifo_classes_vts_atrt.h"
#include "core/ifo_main.h"

namespace navtab {

// A title set file (VTS_xx_0.IFO). Absent tables stay null.
class CIfoVtsBuilder {
  public:
    CIfoVtsBuilder() : mat(std::make_unique<CIfoMat>(MatForm::TitleSet)) {}

    // Writes the start sector of every present table into the management table, in file order
    // from sector 1, the pointer of every absent table as 0, and the last sector of the file.
    void Layout();
    // Lays the tables out and serialises the management table and every present table into a new
    // handle. Null when a table cannot be written; `error` (when given) then tells why.
    IfoHandle BuildIfo(std::string* error = nullptr);

    std::unique_ptr<CIfoMat> mat;
    std::unique_ptr<CIfoPttSrpt> pttSrpt;
    std::unique_ptr<CIfoPgcit> pgcit;
    std::unique_ptr<CIfoPgciUt> menuPgciUt;
    std::unique_ptr<CIfoTmapt> tmapt;
    std::unique_ptr<CIfoCadt> menuCadt;
    std::unique_ptr<CIfoVobuAdmap> menuVobuAdmap;
    std::unique_ptr<CIfoCadt> cadt;
    std::unique_ptr<CIfoVobuAdmap> vobuAdmap;
};

// The video manager file (VIDEO_TS.IFO). It holds no parental management or text data table; the
// pointers to those are written as 0.
class CIfoVmgBuilder {
  public:
    CIfoVmgBuilder() : mat(std::make_unique<CIfoMat>(MatForm::Manager)) {}

    void Layout();
    IfoHandle BuildIfo(std::string* error = nullptr);

    std::unique_ptr<CIfoMat> mat;
    std::unique_ptr<CIfoTtSrpt> ttSrpt;
    std::unique_ptr<CIfoPgciUt> menuPgciUt;
    std::unique_ptr<CIfoVtsAtrt> vtsAtrt;
    std::unique_ptr<CIfoCadt> menuCadt;
    std::unique_ptr<CIfoVobuAdmap> menuVobuAdmap;
};

}  // namespace navtab
