// The editor of a prohibited-user-operations mask: one check box per bit, checked when the
// operation is prohibited, with "Check all" and "Clear All".
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

#include "format/uop_edit.h"

class QCheckBox;

namespace navtab::ui {

class CUopDlg : public QDialog {
    Q_OBJECT
  public:
    CUopDlg(QWidget* parent, std::uint32_t initial);
    std::uint32_t mask() const;
    QCheckBox* box(int bit) const { return boxes_[static_cast<std::size_t>(bit)]; }

  private:
    void showMask(std::uint32_t mask);

    std::array<QCheckBox*, kUopBits> boxes_{};
};

}  // namespace navtab::ui
