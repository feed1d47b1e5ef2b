#include "ui/dvd_play_dlg.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QVBoxLayout>
#include <functional>
#include <utility>

#include "ui/playback_engine.h"
#include "ui/video_window.h"

namespace navtab::ui {

using navigator::DvdPlayer;

// A drop-down list that tells when it is about to drop down.
class DropDownList : public QComboBox {
  public:
    using QComboBox::QComboBox;
    std::function<void()> aboutToDrop;
    void showPopup() override {
        if (aboutToDrop) aboutToDrop();
        QComboBox::showPopup();
    }
};

namespace {

struct LanguageName {
    int locale;
    const char* name;
    char code[3];
};

constexpr LanguageName kLanguages[] = {
    {1031, "German", "de"},  {1033, "English", "en"},    {1034, "Spanish", "es"},
    {1036, "French", "fr"},  {1041, "Japanese", "ja"},   {1042, "Korean", "ko"},
    {1043, "Dutch", "nl"},   {2070, "Portuguese", "pt"}, {1053, "Swedish", "sv"},
    {2052, "Chinese", "zh"},
};

QLineEdit* readOnlyField(QWidget* parent) {
    auto* f = new QLineEdit(parent);
    f->setReadOnly(true);
    return f;
}

}  // namespace

CDvdPlayDlg::CDvdPlayDlg(QWidget* parent, const QString& folder, bool sound)
    : QDialog(parent, Qt::Window) {
    setObjectName(QStringLiteral("dialog145"));
    setWindowTitle(QStringLiteral("DVD Play"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose, false);
    buildControls();
    engine_ = std::make_unique<PlaybackEngine>(folder, sound);
    initialise(folder);
}

CDvdPlayDlg::~CDvdPlayDlg() {
    // The player goes first: it talks to the engine's pictures and sound.
    if (engine_) engine_->attach(nullptr);
    player_.reset();
    engine_.reset();
}

QString CDvdPlayDlg::languageOfLocale(int localeId) {
    for (const LanguageName& l : kLanguages)
        if (l.locale == localeId) return QString::fromLatin1(l.name);
    return QStringLiteral("Unknown");
}

int CDvdPlayDlg::localeOfLanguage(std::uint16_t code) {
    for (const LanguageName& l : kLanguages)
        if ((l.code[0] << 8 | l.code[1]) == code) return l.locale;
    return 0;
}

void CDvdPlayDlg::buildControls() {
    auto* outer = new QVBoxLayout(this);
    auto* transport = new QHBoxLayout;
    for (const char* label :
         {"Play", "Stop", "<<", "<", ">", ">>", "Root Menu", "Title Menu", "Exit"}) {
        auto* b = new QPushButton(QString::fromLatin1(label), this);
        b->setObjectName(QString::fromLatin1(label));
        b->setAutoDefault(false);
        transport->addWidget(b);
    }
    outer->addLayout(transport);

    auto* middle = new QHBoxLayout;
    auto* statusBox = new QGroupBox(QStringLiteral("Status"), this);
    auto* statusGrid = new QGridLayout(statusBox);
    titleField_ = readOnlyField(statusBox);
    chapterField_ = readOnlyField(statusBox);
    timeField_ = readOnlyField(statusBox);
    statusGrid->addWidget(new QLabel(QStringLiteral("Title:"), statusBox), 0, 0);
    statusGrid->addWidget(titleField_, 0, 1);
    statusGrid->addWidget(new QLabel(QStringLiteral("Chapter"), statusBox), 1, 0);
    statusGrid->addWidget(chapterField_, 1, 1);
    statusGrid->addWidget(new QLabel(QStringLiteral("Time"), statusBox), 2, 0);
    statusGrid->addWidget(timeField_, 2, 1);
    middle->addWidget(statusBox);

    auto* jumpBox = new QGroupBox(QStringLiteral("Jump"), this);
    auto* jumpGrid = new QGridLayout(jumpBox);
    jumpTitleLabel_ = new QLabel(QStringLiteral("Title:"), jumpBox);
    jumpChapterLabel_ = new QLabel(QStringLiteral("Chapter"), jumpBox);
    for (QLabel* l : {jumpTitleLabel_, jumpChapterLabel_}) {
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
    }
    titles_ = new DropDownList(jumpBox);
    chapters_ = new DropDownList(jumpBox);
    jumpGrid->addWidget(jumpTitleLabel_, 0, 0);
    jumpGrid->addWidget(titles_, 0, 1);
    jumpGrid->addWidget(jumpChapterLabel_, 1, 0);
    jumpGrid->addWidget(chapters_, 1, 1);
    middle->addWidget(jumpBox);

    auto* streamBox = new QGroupBox(QStringLiteral("Streams"), this);
    auto* streamGrid = new QGridLayout(streamBox);
    audio_ = new DropDownList(streamBox);
    subpictures_ = new DropDownList(streamBox);
    streamGrid->addWidget(new QLabel(QStringLiteral("Audio"), streamBox), 0, 0);
    streamGrid->addWidget(audio_, 0, 1);
    streamGrid->addWidget(new QLabel(QStringLiteral("SubPicture"), streamBox), 1, 0);
    streamGrid->addWidget(subpictures_, 1, 1);
    middle->addWidget(streamBox);
    outer->addLayout(middle);

    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName(QStringLiteral("rate"));
    slider_->setTickPosition(QSlider::TicksBelow);
    outer->addWidget(slider_);

    auto* gpBox = new QGroupBox(QStringLiteral("GP Register"), this);
    auto* gpGrid = new QGridLayout(gpBox);
    for (int n = 0; n < 16; ++n) {
        registers_[n] = readOnlyField(gpBox);
        gpGrid->addWidget(registers_[n], n / 4, n % 4);
    }
    outer->addWidget(gpBox);

    status_ = new QLabel(this);
    status_->setFrameShape(QFrame::StyledPanel);
    outer->addWidget(status_);

    // The transport buttons, each one operation of the player.
    static constexpr std::pair<const char*, bool (DvdPlayer::*)()> kTransport[] = {
        {"Play", &DvdPlayer::Play},          {"Stop", &DvdPlayer::Stop},
        {">>", &DvdPlayer::NextChapter},     {"<<", &DvdPlayer::PreviousChapter},
        {">", &DvdPlayer::Faster},           {"<", &DvdPlayer::Rewind},
        {"Root Menu", &DvdPlayer::RootMenu}, {"Title Menu", &DvdPlayer::TitleMenu},
    };
    for (const auto& [label, operation] : kTransport)
        connect(button(QString::fromLatin1(label)), &QPushButton::clicked, this,
                [this, operation = operation] {
                    if (player_) (player_.get()->*operation)();
                });
    connect(button("Exit"), &QPushButton::clicked, this, &QDialog::close);
    connect(slider_, &QSlider::sliderReleased, this, [this] {
        if (player_) player_->SetRate(slider_->value() * 0.5);
    });
    connect(titles_, &QComboBox::activated, this, [this](int n) {
        if (player_ && !filling_) player_->PlayChapterInTitle(n + 1, 1);
    });
    connect(chapters_, &QComboBox::activated, this, [this](int n) {
        if (player_ && !filling_) player_->PlayChapter(n + 1);
    });
    // Wide enough for "Chapter 99" and the longer language names.
    for (QComboBox* list :
         {static_cast<QComboBox*>(titles_), static_cast<QComboBox*>(chapters_),
          static_cast<QComboBox*>(audio_), static_cast<QComboBox*>(subpictures_)}) {
        list->setMinimumContentsLength(10);
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }
    audio_->aboutToDrop = [this] { fillAudioList(); };
    subpictures_->aboutToDrop = [this] { fillSubpictureList(); };
    connect(audio_, &QComboBox::activated, this, &CDvdPlayDlg::onAudioChosen);
    connect(subpictures_, &QComboBox::activated, this, &CDvdPlayDlg::onSubpictureChosen);
}

void CDvdPlayDlg::initialise(const QString& folder) {
    player_ = std::make_unique<DvdPlayer>(*this, *engine_);
    if (!player_->Initialize(folder.toStdString(), engine_->failedStreams())) {
        // The window stays, without playback.
        player_.reset();
        status_->setText(QString::fromStdString(navigator::PlayerStateText(0, 1.0)));
        show();
        return;
    }
    engine_->attach(player_.get());
    engine_->videoWindow()->setWindowTitle(QStringLiteral("DvdPlayer Video Window"));
    player_->StopNavigation();
    playedTitles_.fill(false);
    slider_->setRange(2, 50);
    filling_ = true;
    for (int t = 1; t <= player_->titleCount(); ++t)
        titles_->addItem(QStringLiteral("Title %1").arg(t));
    filling_ = false;
    // The lower edge 5 pixels above the bottom of the work area, the rest as it is.
    adjustSize();
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(x(), area.bottom() - frameGeometry().height() - 5);
    }
    show();
    player_->Play();
}

QPushButton* CDvdPlayDlg::button(const QString& label) const {
    return findChild<QPushButton*>(label);
}
QComboBox* CDvdPlayDlg::titleList() const {
    return titles_;
}
QComboBox* CDvdPlayDlg::chapterList() const {
    return chapters_;
}
QComboBox* CDvdPlayDlg::audioList() const {
    return audio_;
}
QComboBox* CDvdPlayDlg::subpictureList() const {
    return subpictures_;
}
QWidget* CDvdPlayDlg::videoWindow() const {
    return engine_ ? engine_->videoWindow() : nullptr;
}

void CDvdPlayDlg::updateStatus() {
    UpdateStatus();
}

void CDvdPlayDlg::operationProhibited() {
    status_->setText(QStringLiteral("Prohibited"));
}

void CDvdPlayDlg::message(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, this);
    box.exec();
}

bool CDvdPlayDlg::askYesNo(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No, this);
    return box.exec() == QMessageBox::Yes;
}

void CDvdPlayDlg::UpdateStatus() {
    if (!player_) return;
    QString status = QString::fromStdString(player_->stateText());
    if (engine_->silent()) status += QStringLiteral(" (no audio device: playing without sound)");
    status_->setText(status);
    const navigator::PlayerLocation l = player_->location();
    titleField_->setText(QString::number(l.title));
    chapterField_->setText(QString::number(l.chapter));
    timeField_->setText(QString::asprintf("%02d:%02d:%02d", l.hours, l.minutes, l.seconds));
    if (l.title != lastTitle_) {
        filling_ = true;
        if (l.title >= 1 && l.title <= titles_->count()) titles_->setCurrentIndex(l.title - 1);
        filling_ = false;
        if (l.title >= 1 && l.title <= 99) playedTitles_[l.title] = true;
        fillChapterList(l.title);
        fillAudioList();
        fillSubpictureList();
    } else if (l.chapter != lastChapter_ && l.chapter >= 1 && l.chapter <= chapters_->count()) {
        filling_ = true;
        chapters_->setCurrentIndex(l.chapter - 1);
        filling_ = false;
    }
    lastTitle_ = l.title;
    lastChapter_ = l.chapter;
    const auto& gprm = player_->registers().gprm;
    for (int n = 0; n < 16; ++n)
        registers_[n]->setText(QString::asprintf("GPreg<%d>=%d", n, gprm[n]));
}

void CDvdPlayDlg::fillChapterList(int title) {
    filling_ = true;
    chapters_->clear();
    const int count = player_->chapterCount(title);
    for (int c = 1; c <= count; ++c) chapters_->addItem(QStringLiteral("Chapter %1").arg(c));
    if (count > 0) chapters_->setCurrentIndex(0);
    filling_ = false;
}

// The platform's name of the language, else the table's name of its locale.
QString CDvdPlayDlg::streamName(std::uint16_t language) const {
    if (language != 0) {
        const char code[3] = {static_cast<char>(language >> 8), static_cast<char>(language & 0xFF),
                              0};
        const QLocale locale(QString::fromLatin1(code));
        if (locale.language() != QLocale::C) return QLocale::languageToString(locale.language());
    }
    return languageOfLocale(localeOfLanguage(language));
}

void CDvdPlayDlg::fillAudioList() {
    if (!player_) return;
    filling_ = true;
    audio_->clear();
    audio_->setEnabled(false);
    const navigator::StreamChoice s = player_->audioStreams();
    for (std::uint16_t language : s.languages) audio_->addItem(streamName(language));
    if (s.current >= 0 && s.current < audio_->count()) audio_->setCurrentIndex(s.current);
    audio_->setEnabled(true);
    filling_ = false;
}

void CDvdPlayDlg::fillSubpictureList() {
    if (!player_) return;
    filling_ = true;
    subpictures_->clear();
    subpictures_->setEnabled(false);
    subpictures_->addItem(QStringLiteral("Off"));
    const navigator::StreamChoice s = player_->subpictureStreams();
    for (std::uint16_t language : s.languages) subpictures_->addItem(streamName(language));
    const int selected = s.shown ? s.current + 1 : 0;
    if (selected < subpictures_->count()) subpictures_->setCurrentIndex(selected);
    subpictures_->setEnabled(true);
    filling_ = false;
}

void CDvdPlayDlg::onAudioChosen(int index) {
    if (player_ && !filling_) player_->SelectAudioStream(index);
}

void CDvdPlayDlg::onSubpictureChosen(int index) {
    if (!player_ || filling_) return;
    if (index == 0) {
        player_->SetSubpictureState(false);
    } else if (player_->SelectSubpictureStream(index - 1)) {
        player_->SetSubpictureState(true);
    }
}

void CDvdPlayDlg::popUpTitleMenu(const QPoint& at) {
    if (!player_) return;
    QMenu menu(this);
    for (int t = 1; t <= player_->titleCount(); ++t)
        menu.addAction(QStringLiteral("Title %1").arg(t))->setData(t);
    if (QAction* chosen = menu.exec(at)) player_->PlayTitle(chosen->data().toInt());
}

void CDvdPlayDlg::popUpChapterMenu(const QPoint& at) {
    if (!player_) return;
    QMenu menu(this);
    const int count = player_->chapterCount(titles_->currentIndex() + 1);
    for (int c = 1; c <= count; ++c)
        menu.addAction(QStringLiteral("Chapter %1").arg(c))->setData(c);
    if (QAction* chosen = menu.exec(at)) player_->PlayChapter(chosen->data().toInt());
}

bool CDvdPlayDlg::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonRelease) {
        const QPoint at = static_cast<QMouseEvent*>(e)->globalPosition().toPoint();
        if (watched == jumpTitleLabel_) {
            popUpTitleMenu(at);
            return true;
        }
        if (watched == jumpChapterLabel_) {
            popUpChapterMenu(at);
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

QString CDvdPlayDlg::playedTitlesText() const {
    QString text = QStringLiteral("Played Titles:\n\n");
    for (int t = 1; t <= 99; ++t)
        if (playedTitles_[t]) text += QStringLiteral("Title %1\n").arg(t);
    return text;
}

void CDvdPlayDlg::closeEvent(QCloseEvent* e) {
    if (closing_) {
        e->accept();
        return;
    }
    closing_ = true;
    // The player and its pictures and sound go before the report of what was played.
    if (engine_) engine_->attach(nullptr);
    player_.reset();
    engine_.reset();
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Navtab"), playedTitlesText(),
                    QMessageBox::Ok, this);
    box.exec();
    e->accept();
    emit closed();
}

}  // namespace navtab::ui
