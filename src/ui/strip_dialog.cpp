#include "ui/strip_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace navtab::ui {

CStripDlg::CStripDlg(QWidget* parent, const vob::StripDialog& dialog)
    : QDialog(parent), dialog_(dialog) {
    setWindowTitle(QStringLiteral("Strip"));
    list_ = new QTreeWidget(this);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderLabels({QStringLiteral("Keep"), QString::fromStdString(dialog_.idColumn()),
                            QString::fromStdString(dialog_.textColumn())});
    for (const vob::StripRow& row : dialog_.rows) {
        auto* item = new QTreeWidgetItem(
            list_, {QString(), QString::fromStdString(row.id), QString::fromStdString(row.text)});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, row.keep ? Qt::Checked : Qt::Unchecked);
    }
    QHeaderView* header = list_->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    header->resizeSection(0, 40);
    header->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(2, QHeaderView::ResizeToContents);

    auto* checkAll = new QPushButton(QStringLiteral("Check All"), this);
    auto* uncheckAll = new QPushButton(QStringLiteral("Uncheck All"), this);
    auto* stripIt = new QPushButton(QStringLiteral("Strip it"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    stripIt->setDefault(true);
    for (QPushButton* b : {checkAll, uncheckAll, cancel}) b->setAutoDefault(false);
    connect(checkAll, &QPushButton::clicked, this, [this] { this->checkAll(true); });
    connect(uncheckAll, &QPushButton::clicked, this, [this] { this->checkAll(false); });
    connect(stripIt, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* stripVob = new QCheckBox(QStringLiteral("Strip VOB files"), this);
    stripVob->setChecked(dialog_.stripVobFiles);
    stripVob->setEnabled(false);  // the VOB tools always write the VOB files
    correctIfo_ = new QCheckBox(QStringLiteral("Correct IFO tables"), this);
    correctIfo_->setChecked(dialog_.correctIfo);

    auto* marks = new QHBoxLayout;
    marks->addWidget(checkAll);
    marks->addWidget(uncheckAll);
    marks->addStretch();
    marks->addWidget(stripVob);
    marks->addWidget(correctIfo_);
    auto* confirm = new QHBoxLayout;
    confirm->addStretch();
    confirm->addWidget(stripIt);
    confirm->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(marks);
    layout->addLayout(confirm);
    // Wide enough for the longest row, so that a stream's ids are not cut off.
    const QAbstractItemView* view = list_;  // the width hints are public on the base view
    const int rows = 40 + view->sizeHintForColumn(1) + view->sizeHintForColumn(2) +
                     2 * list_->frameWidth() + list_->verticalScrollBar()->sizeHint().width();
    resize(std::clamp(rows + 2 * layout->contentsMargins().left(), 560, 1100), 360);
}

void CStripDlg::checkAll(bool keep) {
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        list_->topLevelItem(i)->setCheckState(0, keep ? Qt::Checked : Qt::Unchecked);
}

vob::StripDialog CStripDlg::result() const {
    vob::StripDialog out = dialog_;
    for (std::size_t i = 0; i < out.rows.size(); ++i)
        out.rows[i].keep = list_->topLevelItem(static_cast<int>(i))->checkState(0) == Qt::Checked;
    out.correctIfo = correctIfo_->isChecked();
    return out;
}

}  // namespace navtab::ui
