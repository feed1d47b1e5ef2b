// The options of Auto-Calc: which tables of the title set it rewrites from the VOB files.
#pragma once

#include <QDialog>

#include "vob/vob_command_ui.h"

class QCheckBox;

namespace navtab::ui {

class CAutoCalcDlg : public QDialog {
    Q_OBJECT
  public:
    CAutoCalcDlg(QWidget* parent, const vob::AutoCalcTables& initial);
    vob::AutoCalcTables tables() const;

  private:
    QCheckBox* admap_;
    QCheckBox* cadt_;
    QCheckBox* pgcit_;
    QCheckBox* tmapt_;
};

}  // namespace navtab::ui
