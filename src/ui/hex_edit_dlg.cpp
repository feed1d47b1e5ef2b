#include "ui/hex_edit_dlg.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "ui/hex_edit_ctrl.h"

namespace navtab::ui {

CHexEditDlg::CHexEditDlg(QWidget* parent, std::span<const std::uint8_t> bytes) : QDialog(parent) {
    setWindowTitle(QStringLiteral("HexEdit"));
    ctrl_ = new HexEditCtrl(this);
    ctrl_->SetData(bytes);

    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setRange(1, 16);
    slider_->setValue(8);
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setTickInterval(1);
    slider_->setPageStep(1);
    address_ = new QCheckBox(QStringLiteral("Address"), this);
    hex_ = new QCheckBox(QStringLiteral("Hex"), this);
    ascii_ = new QCheckBox(QStringLiteral("Ascii"), this);
    wide_ = new QCheckBox(QStringLiteral("4/8"), this);
    for (QCheckBox* box : {address_, hex_, ascii_, wide_}) {
        box->setChecked(true);
        box->setFocusPolicy(Qt::TabFocus);
        connect(box, &QCheckBox::toggled, this, &CHexEditDlg::applyOptions);
    }
    connect(slider_, &QSlider::valueChanged, ctrl_, &HexEditCtrl::SetBytesPerRow);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    for (QPushButton* b : {ok, cancel}) b->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* options = new QHBoxLayout;
    options->addWidget(new QLabel(QStringLiteral("Bytes per row"), this));
    options->addWidget(slider_, 1);
    for (QCheckBox* box : {address_, hex_, ascii_, wide_}) options->addWidget(box);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ctrl_, 1);
    layout->addLayout(options);
    layout->addLayout(buttons);
    resize(640, 460);
    ctrl_->setFocus();
}

void CHexEditDlg::applyOptions() {
    ctrl_->SetOptions(address_->isChecked(), hex_->isChecked(), ascii_->isChecked(),
                      wide_->isChecked());
}

std::vector<std::uint8_t> CHexEditDlg::data() const {
    return ctrl_->data();
}

}  // namespace navtab::ui
