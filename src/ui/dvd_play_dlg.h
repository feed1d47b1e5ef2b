// "DVD Play": the modeless playback window of a DVD-Video folder. Transport buttons, where
// playback stands, title and chapter jumps, the audio and sub-picture streams, the play rate and
// the sixteen general registers of the navigator, over the DvdPlayer; the pictures appear in the
// player's own top-level video window.
#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <memory>

#include "navigator/dvd_player.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTimer;

namespace navtab::ui {

class PlaybackEngine;

// The stream lists fill themselves each time they drop down.
class DropDownList;

class CDvdPlayDlg : public QDialog, public navigator::PlayerOwner {
    Q_OBJECT
  public:
    // Dialog 145 for the DVD folder `folder`. `sound` false plays without an audio device.
    CDvdPlayDlg(QWidget* parent, const QString& folder, bool sound = true);
    ~CDvdPlayDlg() override;

    // The language names the stream lists fall back on, by Windows locale id; "Unknown" for
    // any other.
    static QString languageOfLocale(int localeId);
    // The locale id of a two-letter language code (0 when the table has none).
    static int localeOfLanguage(std::uint16_t code);

    QPushButton* button(const QString& label) const;
    QLineEdit* titleField() const { return titleField_; }
    QLineEdit* chapterField() const { return chapterField_; }
    QLineEdit* timeField() const { return timeField_; }
    QComboBox* titleList() const;
    QComboBox* chapterList() const;
    QComboBox* audioList() const;
    QComboBox* subpictureList() const;
    QSlider* rateSlider() const { return slider_; }
    QLineEdit* registerField(int n) const { return registers_[n]; }
    QLabel* statusLine() const { return status_; }
    QLabel* titleLabel() const { return jumpTitleLabel_; }
    QLabel* chapterLabel() const { return jumpChapterLabel_; }
    navigator::DvdPlayer* player() const { return player_.get(); }
    PlaybackEngine* engine() const { return engine_.get(); }
    QWidget* videoWindow() const;
    // Which titles were played, 1..99.
    const std::array<bool, 100>& playedTitles() const { return playedTitles_; }
    // "Played Titles:\n\n" and a line per played title.
    QString playedTitlesText() const;

    // Refills the stream lists as when they drop down.
    void fillAudioList();
    void fillSubpictureList();
    // The pop-up menus of the "Title:" and "Chapter" labels of the "Jump" group.
    void popUpTitleMenu(const QPoint& at);
    void popUpChapterMenu(const QPoint& at);

  signals:
    // The window was closed ("Exit" or the close box).
    void closed();

  protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void buildControls();
    void initialise(const QString& folder);
    void UpdateStatus();
    void fillChapterList(int title);
    void onAudioChosen(int index);
    void onSubpictureChosen(int index);
    QString streamName(std::uint16_t language) const;

    void updateStatus() override;
    void operationProhibited() override;
    void message(const std::string& text, const std::string& caption) override;
    bool askYesNo(const std::string& text, const std::string& caption) override;

    std::unique_ptr<PlaybackEngine> engine_;
    std::unique_ptr<navigator::DvdPlayer> player_;
    QLineEdit* titleField_ = nullptr;
    QLineEdit* chapterField_ = nullptr;
    QLineEdit* timeField_ = nullptr;
    DropDownList* titles_ = nullptr;
    DropDownList* chapters_ = nullptr;
    DropDownList* audio_ = nullptr;
    DropDownList* subpictures_ = nullptr;
    QLabel* jumpTitleLabel_ = nullptr;
    QLabel* jumpChapterLabel_ = nullptr;
    QSlider* slider_ = nullptr;
    std::array<QLineEdit*, 16> registers_{};
    QLabel* status_ = nullptr;
    std::array<bool, 100> playedTitles_{};
    int lastTitle_ = -1;
    int lastChapter_ = -1;
    bool filling_ = false;  // lists being refilled: their selection signals are not the user's
    bool closing_ = false;
};

}  // namespace navtab::ui
