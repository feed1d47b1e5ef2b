#include "ui/about_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/app_icon.h"

namespace navtab::ui {

CNavtabAboutDlg::CNavtabAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Info über Navtab"));
    auto* icon = new QLabel(this);
    icon->setPixmap(appIcon().pixmap(32, 32));
    auto* text = new QVBoxLayout;
    text->addWidget(new QLabel(QStringLiteral("Navtab Version 0.88"), this));
    text->addWidget(new QLabel(QStringLiteral("Editor for Video_ts.ifo & VTS_xx.ifo files"), this));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text);
    top->addSpacing(12);
    top->addWidget(ok, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace navtab::ui
