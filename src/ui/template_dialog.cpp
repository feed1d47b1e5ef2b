#include "ui/template_dialog.h"

#include "ui/ok_cancel_row.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace navtab::ui {

CTemplateDlg::CTemplateDlg(QWidget* parent, const vob::FrameTypes& initial) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Create Tmpg Template"));
    i_ = new QCheckBox(QStringLiteral("I frames"), this);
    p_ = new QCheckBox(QStringLiteral("P frames"), this);
    b_ = new QCheckBox(QStringLiteral("B frames"), this);
    i_->setChecked(initial.i);
    p_->setChecked(initial.p);
    b_->setChecked(initial.b);

    QHBoxLayout* buttons = okCancelRow(this);

    auto* layout = new QVBoxLayout(this);
    for (QCheckBox* box : {i_, p_, b_}) layout->addWidget(box);
    layout->addLayout(buttons);
}

vob::FrameTypes CTemplateDlg::types() const {
    return {i_->isChecked(), p_->isChecked(), b_->isChecked()};
}

}  // namespace navtab::ui
