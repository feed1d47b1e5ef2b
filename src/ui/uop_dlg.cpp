#include "ui/uop_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace navtab::ui {

CUopDlg::CUopDlg(QWidget* parent, std::uint32_t initial) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Prohibited User Operations"));

    // Playback and search on the left; resume, menu calls and stream changes in the middle;
    // the bits without a name on the right.
    auto* grid = new QGridLayout;
    const auto groups = uopGroups();
    const int places[][2] = {{0, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}};
    const int spans[] = {3, 1, 1, 1, 3};
    for (std::size_t g = 0; g < groups.size(); ++g) {
        auto* frame = new QGroupBox(this);
        auto* layout = new QVBoxLayout(frame);
        for (int bit : groups[g]) {
            auto* box =
                new QCheckBox(QString::fromUtf8(uopLabel(bit).data(),
                                                static_cast<qsizetype>(uopLabel(bit).size())),
                              frame);
            box->setObjectName(QStringLiteral("uop%1").arg(bit));
            boxes_[static_cast<std::size_t>(bit)] = box;
            layout->addWidget(box);
        }
        layout->addStretch();
        grid->addWidget(frame, places[g][0], places[g][1], spans[g], 1);
    }

    auto* checkAll = new QPushButton(QStringLiteral("Check all"), this);
    auto* clearAll = new QPushButton(QStringLiteral("Clear All"), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    ok->setDefault(true);
    connect(checkAll, &QPushButton::clicked, this, [this] { showMask(checkAllUops(mask())); });
    connect(clearAll, &QPushButton::clicked, this, [this] { showMask(clearAllUops(mask())); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(checkAll);
    buttons->addWidget(clearAll);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    showMask(initial);
}

void CUopDlg::showMask(std::uint32_t value) {
    for (int bit = 0; bit < kUopBits; ++bit)
        boxes_[static_cast<std::size_t>(bit)]->setChecked(uopBit(value, bit));
}

std::uint32_t CUopDlg::mask() const {
    std::uint32_t mask = 0;
    for (int bit = 0; bit < kUopBits; ++bit)
        mask = withUopBit(mask, bit, boxes_[static_cast<std::size_t>(bit)]->isChecked());
    return mask;
}

}  // namespace navtab::ui
