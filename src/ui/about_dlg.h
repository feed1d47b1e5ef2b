// The About box: program icon, name and version, and what the program edits.
#pragma once

#include <QDialog>

namespace navtab::ui {

class CNavtabAboutDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CNavtabAboutDlg(QWidget* parent = nullptr);
};

}  // namespace navtab::ui
