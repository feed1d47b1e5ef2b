// The editor of a video attribute word: a radio group or a check box per bit group. The height
// labels beside the resolutions and the closed-caption and film controls follow the standard.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

#include "format/video_attr_edit.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QRadioButton;

namespace navtab::ui {

class CVideoAttrDlg : public QDialog {
    Q_OBJECT
  public:
    CVideoAttrDlg(QWidget* parent, std::uint16_t word);
    // The word the controls describe; the reserved bit comes from the word the dialog opened with.
    std::uint16_t word() const;

    QButtonGroup* codingMode() const { return coding_; }
    QButtonGroup* standard() const { return standard_; }
    QButtonGroup* aspectRatio() const { return aspect_; }
    QButtonGroup* bitRate() const { return bitRate_; }
    QButtonGroup* resolution() const { return resolution_; }
    QButtonGroup* film() const { return film_; }
    QCheckBox* ccField1() const { return cc1_; }
    QCheckBox* ccField2() const { return cc2_; }
    QRadioButton* filmButton() const { return filmButton_; }
    // The labels shown beside the resolutions for NTSC (480, 480, 480, 240) and PAL.
    const std::array<QLabel*, 4>& ntscHeights() const { return ntscHeights_; }
    const std::array<QLabel*, 4>& palHeights() const { return palHeights_; }

  private:
    QButtonGroup* radioGroup(QWidget* box, std::initializer_list<const char*> labels);
    void showChoices(const VideoAttrChoices& c);
    void followStandard();

    std::uint16_t oldWord_;
    QButtonGroup* coding_ = nullptr;
    QButtonGroup* standard_ = nullptr;
    QButtonGroup* aspect_ = nullptr;
    QButtonGroup* bitRate_ = nullptr;
    QButtonGroup* resolution_ = nullptr;
    QButtonGroup* film_ = nullptr;
    QCheckBox* panScan_ = nullptr;
    QCheckBox* letterbox_ = nullptr;
    QCheckBox* cc1_ = nullptr;
    QCheckBox* cc2_ = nullptr;
    QCheckBox* letterboxed_ = nullptr;
    QRadioButton* filmButton_ = nullptr;
    std::array<QLabel*, 4> ntscHeights_{};
    std::array<QLabel*, 4> palHeights_{};
};

}  // namespace navtab::ui
