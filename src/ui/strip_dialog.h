// The strip dialog: the streams, VOB ids or language units of a run, each with a "Keep" check
// box. "Strip it" hands the check marks back to the run; "Cancel" ends it.
#pragma once

#include <QDialog>

#include "vob/strip_choice.h"

class QCheckBox;
class QTreeWidget;

namespace navtab::ui {

class CStripDlg : public QDialog {
    Q_OBJECT
  public:
    CStripDlg(QWidget* parent, const vob::StripDialog& dialog);
    // The rows with the user's check marks and "Correct IFO tables".
    vob::StripDialog result() const;

    QTreeWidget* list() const { return list_; }

  private:
    void checkAll(bool keep);

    vob::StripDialog dialog_;
    QTreeWidget* list_;
    QCheckBox* correctIfo_;
};

}  // namespace navtab::ui
