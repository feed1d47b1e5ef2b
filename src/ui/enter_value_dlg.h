// The "Enter new Value" dialog of a number field: one edit field holding the value in decimal.
#pragma once

#include <QDialog>

class QLineEdit;

namespace navtab::ui {

class CEnterValueDlg : public QDialog {
    Q_OBJECT
  public:
    CEnterValueDlg(QWidget* parent, const QString& value);
    QString value() const;
    QLineEdit* edit() const { return edit_; }

  private:
    QLineEdit* edit_;
};

}  // namespace navtab::ui
