#include "ui/autocalc_dialog.h"

#include "ui/ok_cancel_row.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace navtab::ui {

CAutoCalcDlg::CAutoCalcDlg(QWidget* parent, const vob::AutoCalcTables& initial) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Auto-Calc Sector's"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("Attention: This will scan ALL VTS_xx_x.VOB files for this\n"
                                  "IFO-file to get the new sector addresses for\n"
                                  "following tables:"),
                   this));
    const auto box = [&](const char* text, bool checked) {
        auto* b = new QCheckBox(QString::fromLatin1(text), this);
        b->setChecked(checked);
        layout->addWidget(b);
        return b;
    };
    admap_ = box("AutoCalc: VTS_VOBU_ADMAP", initial.vobuAdmap);
    cadt_ = box("AutoCalc: VTS_C_ADT", initial.cellAdt);
    pgcit_ = box("AutoCalc: VTS_PGCITI", initial.pgcit);
    tmapt_ = box("AutoCalc: VTS_TMAPTI", initial.tmapt);
    // Shown, but no pass belongs to it.
    box("AutoCorrect VOB files", false)->setEnabled(false);
    layout->addWidget(
        new QLabel(QStringLiteral("Depending on your system performance, this operation\n"
                                  "might take a while to complete."),
                   this));

    QHBoxLayout* buttons = okCancelRow(this);
    layout->addLayout(buttons);
}

vob::AutoCalcTables CAutoCalcDlg::tables() const {
    return {admap_->isChecked(), cadt_->isChecked(), pgcit_->isChecked(), tmapt_->isChecked()};
}

}  // namespace navtab::ui
