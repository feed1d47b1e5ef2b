// The options of a disc image: the source (the folder that holds VIDEO_TS, the only entry of the
// "Source Drive:" list and not to be changed, as any folder can be an image's root), the image
// file with its browse button, the volume label and whether to write the image to a disc. The
// image file and the source are remembered in the settings ("SETTINGS", "IMGPATH" and "DRIVE")
// when the dialog is confirmed.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace navtab::ui {

class CDiscImageDlg : public QDialog {
    Q_OBJECT
  public:
    // The filter of the browse button's file dialog.
    static constexpr const char* kImageFilter = "Img Files (*.img)|*.img|All Files (*.*)|*.*||";

    // `burnUnavailable` says why no disc can be written here (the check box is then disabled);
    // empty when one can.
    CDiscImageDlg(QWidget* parent, const QString& sourceFolder, const QString& burnUnavailable);

    QString drive() const { return drive_; }
    QString imageFile() const;
    QString volumeLabel() const;
    bool burn() const;

    QComboBox* driveList() const { return driveList_; }
    QLabel* driveLabel() const { return driveLabel_; }
    QLineEdit* imageEdit() const { return image_; }
    QLineEdit* labelEdit() const { return label_; }
    QCheckBox* burnBox() const { return burn_; }
    QPushButton* browseButton() const { return browse_; }

    // "Create Image": refuses an empty image file and a volume label the image cannot carry,
    // else remembers the choices and closes.
    void accept() override;

  private:
    void browse();

    QString drive_;
    QComboBox* driveList_;
    QLabel* driveLabel_;
    QLineEdit* image_;
    QLineEdit* label_;
    QCheckBox* burn_;
    QPushButton* browse_;
};

}  // namespace navtab::ui
