// The options dialog of VOB Extras and Menu Extras. It draws an ExtrasDialogState: every click
// goes through the state, which applies the interlocks, and the widgets are then set from it.
#pragma once

#include <QDialog>
#include <map>

#include "vob/extras_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace navtab::ui {

class CVobExtrasDlg : public QDialog {
    Q_OBJECT
  public:
    CVobExtrasDlg(QWidget* parent, const vob::ExtrasDialogState& state);
    // The state as the user left it; on OK the kept angle is the "Keep Angle:" selection.
    const vob::ExtrasDialogState& state() const { return state_; }

    QCheckBox* box(vob::ExtrasBox which) const { return boxes_.at(which); }
    QLineEdit* destinationEdit() const { return destination_; }
    QLineEdit* videoSourceEdit() const { return videoSource_; }
    QPushButton* destinationBrowse() const { return destinationBrowse_; }
    QPushButton* videoSourceBrowse() const { return videoSourceBrowse_; }
    QComboBox* keepAngleCombo() const { return keepAngle_; }

    void accept() override;

  private:
    void refresh();
    void browseDestination();
    void browseVideoSource();

    vob::ExtrasDialogState state_;
    std::map<vob::ExtrasBox, QCheckBox*> boxes_;
    QLabel* keepAngleLabel_ = nullptr;
    QComboBox* keepAngle_ = nullptr;
    QLabel* destinationLabel_ = nullptr;
    QLineEdit* destination_ = nullptr;
    QPushButton* destinationBrowse_ = nullptr;
    QLabel* videoSourceLabel_ = nullptr;
    QLineEdit* videoSource_ = nullptr;
    QPushButton* videoSourceBrowse_ = nullptr;
};

}  // namespace navtab::ui
