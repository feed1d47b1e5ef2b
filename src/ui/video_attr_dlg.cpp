#include "ui/video_attr_dlg.h"

#include "ui/ok_cancel_row.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace navtab::ui {
namespace {

QGroupBox* groupBox(const char* title) {
    auto* box = new QGroupBox(QString::fromUtf8(title));
    new QVBoxLayout(box);
    return box;
}

void check(QButtonGroup* group, int id) {
    // A value without a button leaves the group without a choice, which an exclusive group only
    // allows while it is not exclusive.
    group->setExclusive(false);
    for (auto* b : group->buttons()) b->setChecked(group->id(b) == id);
    group->setExclusive(true);
}

}  // namespace

QButtonGroup* CVideoAttrDlg::radioGroup(QWidget* box, std::initializer_list<const char*> labels) {
    auto* group = new QButtonGroup(this);
    int id = 0;
    for (const char* label : labels) {
        auto* button = new QRadioButton(QString::fromUtf8(label), box);
        group->addButton(button, id++);
        box->layout()->addWidget(button);
    }
    return group;
}

CVideoAttrDlg::CVideoAttrDlg(QWidget* parent, std::uint16_t word)
    : QDialog(parent), oldWord_(word) {
    setWindowTitle(QStringLiteral("Video Attributes"));

    QGroupBox* codingBox = groupBox("Coding Mode");
    coding_ = radioGroup(codingBox, {"MPEG-1", "MPEG-2"});
    QGroupBox* standardBox = groupBox("Standard");
    standard_ = radioGroup(standardBox, {"NTSC", "PAL"});
    QGroupBox* aspectBox = groupBox("Aspect Ratio");
    aspect_ = radioGroup(aspectBox, {"4:3", "Unspecified", "Reserved", "16:9"});
    aspect_->button(2)->setEnabled(false);

    auto* displayBox = new QGroupBox;
    auto* displayLayout = new QVBoxLayout(displayBox);
    panScan_ = new QCheckBox(QStringLiteral("Automatic Pan&&Scan"), displayBox);
    letterbox_ = new QCheckBox(QStringLiteral("Automatic Letterboxed"), displayBox);
    displayLayout->addWidget(panScan_);
    displayLayout->addWidget(letterbox_);

    QGroupBox* ccBox = groupBox("CC for Line 21");
    cc1_ = new QCheckBox(QStringLiteral("field 1 in GOP"), ccBox);
    cc2_ = new QCheckBox(QStringLiteral("field 2 in GOP"), ccBox);
    ccBox->layout()->addWidget(cc1_);
    ccBox->layout()->addWidget(cc2_);

    QGroupBox* bitRateBox = groupBox("Bit Rate");
    bitRate_ = radioGroup(bitRateBox, {"VBR", "CBR"});

    // Each resolution button is followed by its height, one label per standard.
    auto* resolutionBox = new QGroupBox(QStringLiteral("Resolution"));
    auto* resolutionGrid = new QGridLayout(resolutionBox);
    resolution_ = new QButtonGroup(this);
    const char* widths[] = {"720 x ", "704 x", "352 x", "352 x"};
    const char* ntsc[] = {"480", "480", "480", "240"};
    const char* pal[] = {"576", "576", "576", "288"};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QRadioButton(QString::fromUtf8(widths[i]), resolutionBox);
        resolution_->addButton(button, i);
        ntscHeights_[i] = new QLabel(QString::fromUtf8(ntsc[i]), resolutionBox);
        palHeights_[i] = new QLabel(QString::fromUtf8(pal[i]), resolutionBox);
        resolutionGrid->addWidget(button, i, 0);
        resolutionGrid->addWidget(ntscHeights_[i], i, 1);
        resolutionGrid->addWidget(palHeights_[i], i, 1);
    }

    auto* sourceBox = new QGroupBox;
    auto* sourceLayout = new QVBoxLayout(sourceBox);
    letterboxed_ = new QCheckBox(QStringLiteral("Letterboxed (top&&botton cropped)"), sourceBox);
    sourceLayout->addWidget(letterboxed_);
    sourceLayout->addStretch();

    QGroupBox* filmBox = groupBox("Film");
    film_ = radioGroup(filmBox, {"Camera", "Film"});
    filmButton_ = qobject_cast<QRadioButton*>(film_->button(1));

    for (QGroupBox* box : {codingBox, standardBox, aspectBox, ccBox, bitRateBox, filmBox})
        static_cast<QVBoxLayout*>(box->layout())->addStretch();

    auto* grid = new QGridLayout;
    grid->addWidget(codingBox, 0, 0);
    grid->addWidget(standardBox, 0, 1);
    grid->addWidget(aspectBox, 0, 2);
    grid->addWidget(displayBox, 1, 0);
    grid->addWidget(ccBox, 1, 1);
    grid->addWidget(bitRateBox, 1, 2);
    grid->addWidget(resolutionBox, 2, 0);
    grid->addWidget(sourceBox, 2, 1);
    grid->addWidget(filmBox, 2, 2);

    QHBoxLayout* buttons = okCancelRow(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    showChoices(decodeVideoAttr(word));
    connect(standard_, &QButtonGroup::idClicked, this, [this](int) { followStandard(); });
    followStandard();
}

void CVideoAttrDlg::showChoices(const VideoAttrChoices& c) {
    check(coding_, c.codingMode);
    check(standard_, c.standard);
    check(aspect_, c.aspectRatio);
    panScan_->setChecked(c.automaticPanScan);
    letterbox_->setChecked(c.automaticLetterbox);
    cc1_->setChecked(c.ccField1);
    cc2_->setChecked(c.ccField2);
    check(bitRate_, c.bitRate);
    check(resolution_, c.resolution);
    letterboxed_->setChecked(c.letterboxed);
    check(film_, c.film);
}

void CVideoAttrDlg::followStandard() {
    // Film mode exists only for PAL; line-21 closed captions only for NTSC.
    const bool pal = standard_->checkedId() == 1;
    for (int i = 0; i < 4; ++i) {
        ntscHeights_[i]->setVisible(!pal);
        palHeights_[i]->setVisible(pal);
    }
    filmButton_->setEnabled(pal);
    cc1_->setEnabled(!pal);
    cc2_->setEnabled(!pal);
}

std::uint16_t CVideoAttrDlg::word() const {
    VideoAttrChoices c;
    c.codingMode = coding_->checkedId();
    c.standard = standard_->checkedId();
    c.aspectRatio = aspect_->checkedId();
    c.automaticPanScan = panScan_->isChecked();
    c.automaticLetterbox = letterbox_->isChecked();
    c.ccField1 = cc1_->isChecked();
    c.ccField2 = cc2_->isChecked();
    c.bitRate = bitRate_->checkedId();
    c.resolution = resolution_->checkedId();
    c.letterboxed = letterboxed_->isChecked();
    c.film = film_->checkedId();
    return encodeVideoAttr(c, oldWord_);
}

}  // namespace navtab::ui
