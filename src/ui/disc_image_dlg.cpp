#include "ui/disc_image_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "image/volume_label.h"
#include "ui/file_filter.h"
#include "ui/qt_interaction.h"
#include "ui/settings.h"

namespace navtab::ui {

CDiscImageDlg::CDiscImageDlg(QWidget* parent, const QString& sourceFolder,
                             const QString& burnUnavailable)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Dialog"));
    auto* text = new QLabel(
        QStringLiteral("This will create a UDF/ISO Image file with your DVD files.\n"
                       "The DVD files must lie in a folder named VIDEO_TS. The folder that holds "
                       "it becomes the root of the image, so it is the source drive and no drive "
                       "substitution is needed. Choose the image file and the volume label."),
        this);
    text->setWordWrap(true);

    driveLabel_ = new QLabel(QStringLiteral("Source Drive:"), this);
    driveList_ = new QComboBox(this);
    driveList_->addItem(sourceFolder);
    driveList_->setCurrentIndex(0);
    driveList_->setEnabled(false);
    driveLabel_->setEnabled(false);
    driveList_->setMinimumContentsLength(30);

    auto settings = navtabSettings();
    image_ = new QLineEdit(settings->value(QStringLiteral("SETTINGS/IMGPATH")).toString(), this);
    browse_ = new QPushButton(QStringLiteral("..."), this);
    browse_->setAutoDefault(false);
    browse_->setFixedWidth(browse_->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    connect(browse_, &QPushButton::clicked, this, &CDiscImageDlg::browse);
    label_ = new QLineEdit(QStringLiteral("DVDVOLUME"), this);
    label_->setMaxLength(static_cast<int>(image::kMaxVolumeLabel));

    burn_ = new QCheckBox(QStringLiteral("Burn to Disc"), this);
    if (!burnUnavailable.isEmpty()) {
        burn_->setEnabled(false);
        burn_->setToolTip(burnUnavailable);
    }

    auto* create = new QPushButton(QStringLiteral("Create Image"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    create->setDefault(true);
    connect(create, &QPushButton::clicked, this, &CDiscImageDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CDiscImageDlg::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(driveLabel_, 0, 0);
    grid->addWidget(driveList_, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Image File:"), this), 1, 0);
    grid->addWidget(image_, 1, 1);
    grid->addWidget(browse_, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Volume Label:"), this), 2, 0);
    grid->addWidget(label_, 2, 1, 1, 2);
    grid->addWidget(burn_, 3, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(create);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

QString CDiscImageDlg::imageFile() const {
    return image_->text().trimmed();
}

QString CDiscImageDlg::volumeLabel() const {
    return label_->text();
}

bool CDiscImageDlg::burn() const {
    return burn_->isEnabled() && burn_->isChecked();
}

void CDiscImageDlg::browse() {
    QFileDialog dialog(this, QString(), image_->text(),
                       qtFileFilter(QString::fromLatin1(kImageFilter)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("img"));
    dialog.setSizeGripEnabled(true);
    if (!image_->text().isEmpty()) dialog.selectFile(image_->text());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    image_->setText(dialog.selectedFiles().first());
}

void CDiscImageDlg::accept() {
    QtInteraction ui(this);
    if (imageFile().isEmpty()) {
        ui.message("Please choose the image file to create.");
        return;
    }
    if (const std::string problem = image::volumeLabelProblem(volumeLabel().toStdString());
        !problem.empty()) {
        ui.message(problem);
        return;
    }
    drive_ = driveList_->currentText();
    auto settings = navtabSettings();
    settings->setValue(QStringLiteral("SETTINGS/IMGPATH"), imageFile());
    settings->setValue(QStringLiteral("SETTINGS/DRIVE"), drive_);
    QDialog::accept();
}

}  // namespace navtab::ui
