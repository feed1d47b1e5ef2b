// The pictures and sound of the player in the window: the decoding thread's pictures shown in the
// video window at their time, the sound played through the audio device, the device's clock as
// the pictures' clock (a steady clock when there is no sound), and the clicks and keys of the
// video window handed to the player's menu buttons.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <deque>
#include <memory>

#include "navigator/dvd_player.h"
#include "player/dvd_player_worker.h"

class QAudioSink;
class QIODevice;

namespace navtab::ui {

class CVideoWindow;

class PlaybackEngine : public QObject, public navigator::MediaOutput {
    Q_OBJECT
  public:
    // `folder`: the VIDEO_TS folder. `sound` false never opens an audio device.
    PlaybackEngine(const QString& folder, bool sound);
    ~PlaybackEngine() override;

    // The player to report to (null: none, the pictures stop).
    void attach(navigator::DvdPlayer* player);
    CVideoWindow* videoWindow() const { return video_.get(); }
    // No audio device: the pictures play without sound.
    bool silent() const { return silent_; }
    unsigned failedStreams() const;
    // Seconds of the steady clock the player is paced with.
    double now() const;
    // Pictures shown so far, and when the first one was shown (seconds of now()).
    long picturesShown() const { return shown_; }
    double firstPictureAt() const { return firstPictureAt_; }

    void playCell(const navigator::CellToPlay& cell) override;
    void flush() override;
    void setRunning(bool running) override;
    void setRate(double rate) override;
    void setStreams(int audioId, int subpictureId, bool subpicturesShown) override;
    void setButtons(const navigator::Vobu& buttons, int highlighted) override;

  private:
    void tick();
    void present(double now);
    void show(player::DecodedItem& item, double now);
    void writeSound();
    // The presentation time (90 kHz) the pictures of the cell on screen are due at.
    double clockPts(double now) const;
    bool soundClock(double& pts) const;
    void dropSound();
    void onClick(QPoint at);
    void onMenuKey(int key);

    std::unique_ptr<CVideoWindow> video_;
    std::unique_ptr<player::DecodeWorker> worker_;
    navigator::DvdPlayer* player_ = nullptr;
    QTimer timer_;
    QElapsedTimer steady_;
    std::deque<player::DecodedItem> pictures_;
    std::deque<player::DecodedSound> sound_;

    bool running_ = false;
    double rate_ = 1.0;
    player::ScanPlan plan_;
    std::uint64_t clockCell_ = 0;  // the cell whose pictures set the clock
    double clockBasePts_ = 0;      // the clock at clockBaseTime_
    double clockBaseTime_ = 0;
    double pausedAt_ = -1;
    double cellFirstPts_ = 0;
    double nextScanPicture_ = 0;
    double shownUntil_ = 0;  // when the picture on screen has had its time (seconds of now())
    long shown_ = 0;
    double firstPictureAt_ = -1;

    // Sound: what was written to the device, by cell, for the clock.
    struct Written {
        std::uint64_t cell;
        double pts;
        qint64 firstByte;
        qint64 bytesPerSecond;
    };
    bool wantSound_ = true;
    bool silent_ = false;
    std::unique_ptr<QAudioSink> sink_;
    QIODevice* device_ = nullptr;
    int sinkRate_ = 0, sinkChannels_ = 0;
    qint64 bytesWritten_ = 0;
    std::deque<Written> written_;
    QByteArray pending_;  // bytes of the block being written
    std::uint64_t pendingCell_ = 0;
    double pendingPts_ = 0;
};

}  // namespace navtab::ui
