#include "ui/enter_value_dlg.h"

#include "ui/ok_cancel_row.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace navtab::ui {

CEnterValueDlg::CEnterValueDlg(QWidget* parent, const QString& value) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Navtab"));
    auto* label = new QLabel(QStringLiteral("Enter new Value"), this);
    edit_ = new QLineEdit(value, this);
    edit_->setObjectName(QStringLiteral("value"));
    QHBoxLayout* buttons = okCancelRow(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(edit_);
    layout->addLayout(buttons);

    // The whole value is selected, so typing replaces it.
    edit_->setFocus();
    edit_->selectAll();
}

QString CEnterValueDlg::value() const {
    return edit_->text();
}

}  // namespace navtab::ui
