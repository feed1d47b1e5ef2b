// The HexEdit window: the hex editor control on a copy of some bytes, a slider for the bytes per
// row and check boxes for the columns. OK hands the edited bytes back; the caller writes them.
#pragma once

#include <QDialog>
#include <cstdint>
#include <span>
#include <vector>

class QCheckBox;
class QSlider;

namespace navtab::ui {

class HexEditCtrl;

class CHexEditDlg : public QDialog {
    Q_OBJECT
  public:
    CHexEditDlg(QWidget* parent, std::span<const std::uint8_t> bytes);
    std::vector<std::uint8_t> data() const;

    HexEditCtrl* control() const { return ctrl_; }
    QSlider* bytesPerRow() const { return slider_; }
    QCheckBox* addressBox() const { return address_; }
    QCheckBox* hexBox() const { return hex_; }
    QCheckBox* asciiBox() const { return ascii_; }
    QCheckBox* wideBox() const { return wide_; }

  private:
    void applyOptions();

    HexEditCtrl* ctrl_;
    QSlider* slider_;
    QCheckBox* address_;
    QCheckBox* hex_;
    QCheckBox* ascii_;
    QCheckBox* wide_;
};

}  // namespace navtab::ui
