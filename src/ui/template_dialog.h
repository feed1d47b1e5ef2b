// The options of the encoder frame-type template: which picture types it lists.
#pragma once

#include <QDialog>

#include "vob/vob_command_ui.h"

class QCheckBox;

namespace navtab::ui {

class CTemplateDlg : public QDialog {
    Q_OBJECT
  public:
    CTemplateDlg(QWidget* parent, const vob::FrameTypes& initial);
    vob::FrameTypes types() const;

  private:
    QCheckBox* i_;
    QCheckBox* p_;
    QCheckBox* b_;
};

}  // namespace navtab::ui
