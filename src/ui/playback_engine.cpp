#include "ui/playback_engine.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <limits>

#include "ui/video_window.h"

namespace navtab::ui {
namespace {

// How much the window holds beside the decoding thread: a few pictures, a quarter second of
// sound.
constexpr std::size_t kPicturesHeld = 3;
constexpr std::int64_t kSoundHeld = 22500;
constexpr int kTickMs = 5;

void freePixels(void* pixels) {
    delete static_cast<std::vector<std::uint32_t>*>(pixels);
}

}  // namespace

PlaybackEngine::PlaybackEngine(const QString& folder, bool sound)
    : video_(std::make_unique<CVideoWindow>()),
      worker_(std::make_unique<player::DecodeWorker>(folder.toStdString())),
      wantSound_(sound && qgetenv("NAVTAB_AUDIO") != "none") {
    steady_.start();
    if (wantSound_ && QMediaDevices::defaultAudioOutput().isNull()) silent_ = true;
    worker_->setDisplay(player::Display{video_->width(), video_->height()});
    connect(video_.get(), &CVideoWindow::resized, this, [this](QSize s) {
        player::Display d{s.width(), s.height()};
        d.mode = s.width() >= s.height() * 1.6 ? player::DisplayMode::Wide
                                               : player::DisplayMode::Letterbox;
        worker_->setDisplay(d);
    });
    connect(video_.get(), &CVideoWindow::clicked, this, &PlaybackEngine::onClick);
    connect(video_.get(), &CVideoWindow::menuKey, this, &PlaybackEngine::onMenuKey);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &PlaybackEngine::tick);
}

PlaybackEngine::~PlaybackEngine() {
    timer_.stop();
    dropSound();
    worker_.reset();
}

void PlaybackEngine::attach(navigator::DvdPlayer* player) {
    player_ = player;
    if (player_)
        timer_.start(kTickMs);
    else
        timer_.stop();
}

unsigned PlaybackEngine::failedStreams() const {
    return player::missingDecoders();
}

double PlaybackEngine::now() const {
    return static_cast<double>(steady_.nsecsElapsed()) / 1e9;
}

// ---- What the player asks -------------------------------------------------------------------

void PlaybackEngine::playCell(const navigator::CellToPlay& cell) {
    worker_->playCell(cell);
}

void PlaybackEngine::flush() {
    worker_->flush();
    pictures_.clear();
    sound_.clear();
    dropSound();
    clockCell_ = 0;
    shownUntil_ = 0;
}

void PlaybackEngine::setRunning(bool running) {
    if (running == running_) return;
    running_ = running;
    if (!running) {
        pausedAt_ = now();
        if (sink_) sink_->suspend();
        return;
    }
    if (pausedAt_ >= 0) {
        const double paused = now() - pausedAt_;
        clockBaseTime_ += paused;
        shownUntil_ += paused;
        pausedAt_ = -1;
    }
    if (sink_) sink_->resume();
    if (video_->isHidden()) video_->show();
}

void PlaybackEngine::setRate(double rate) {
    rate_ = rate;
    plan_ = player::scanPlanFor(rate);
    worker_->setRate(rate);
    clockCell_ = 0;  // the next picture sets the clock
    if (!plan_.sound) {
        sound_.clear();
        dropSound();
    }
}

void PlaybackEngine::setStreams(int audioId, int subpictureId, bool subpicturesShown) {
    worker_->setStreams(audioId, subpictureId, subpicturesShown);
}

void PlaybackEngine::setButtons(const navigator::Vobu&, int highlighted) {
    worker_->setButton(highlighted, false);
}

// ---- Pacing ---------------------------------------------------------------------------------

void PlaybackEngine::tick() {
    if (!player_) return;
    const double t = now();
    for (const std::string& w : worker_->takeWarnings()) player_->mediaWarning(w);
    if (running_) {
        std::vector<player::DecodedItem> items;
        std::vector<player::DecodedSound> sound;
        std::int64_t held = 0;
        for (const auto& s : sound_) held += s.block.duration();
        const std::size_t room =
            pictures_.size() < kPicturesHeld ? kPicturesHeld - pictures_.size() : 0;
        worker_->take(items, room, sound, std::max<std::int64_t>(0, kSoundHeld - held));
        for (auto& i : items) pictures_.push_back(std::move(i));
        // Sound nobody hears (scanning, no device) is dropped so that decoding goes on.
        if (plan_.sound && wantSound_ && !silent_)
            for (auto& s : sound) sound_.push_back(std::move(s));
        writeSound();
        present(t);
    }
    if (player_) player_->pump(t);
}

void PlaybackEngine::present(double now) {
    while (!pictures_.empty() && player_) {
        player::DecodedItem& item = pictures_.front();
        if (item.kind == player::DecodedItem::Kind::CellEnd) {
            if (now < shownUntil_) return;
            pictures_.pop_front();
            player_->cellPlayed();  // may flush and refill the queue
            continue;
        }
        if (item.redraw) {
            show(item, now);
            pictures_.pop_front();
            continue;
        }
        if (plan_.step != 0) {
            if (now < nextScanPicture_) return;
            nextScanPicture_ = now + plan_.hold;
            if (item.cell != clockCell_) {
                clockCell_ = item.cell;
                cellFirstPts_ = static_cast<double>(item.frame.pts);
            }
            show(item, now);
            pictures_.pop_front();
            continue;
        }
        if (item.cell != clockCell_) {
            // The first picture of a cell: the clock starts at its time.
            clockCell_ = item.cell;
            clockBasePts_ = cellFirstPts_ = static_cast<double>(item.frame.pts);
            clockBaseTime_ = now;
        } else {
            const double clock = clockPts(now);
            if (static_cast<double>(item.frame.pts) > clock) return;
            // A late picture gives way to the next when that one is due as well.
            if (pictures_.size() > 1) {
                const player::DecodedItem& after = pictures_[1];
                if (after.kind == player::DecodedItem::Kind::Picture && !after.redraw &&
                    after.cell == item.cell && static_cast<double>(after.frame.pts) <= clock) {
                    pictures_.pop_front();
                    continue;
                }
            }
        }
        show(item, now);
        pictures_.pop_front();
    }
}

void PlaybackEngine::show(player::DecodedItem& item, double now) {
    player::VideoFrame& f = item.frame;
    if (f.width <= 0 || f.height <= 0 ||
        f.pixels.size() < static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.height))
        return;
    auto* pixels = new std::vector<std::uint32_t>(std::move(f.pixels));
    QImage image(reinterpret_cast<const uchar*>(pixels->data()), f.width, f.height, f.width * 4,
                 QImage::Format_RGB32, freePixels, pixels);
    video_->showPicture(std::move(image));
    ++shown_;
    if (firstPictureAt_ < 0) firstPictureAt_ = now;
    if (item.redraw) return;
    const double seconds = static_cast<double>(f.duration) / 90000.0;
    shownUntil_ = now + (plan_.step != 0 ? plan_.hold : seconds / plan_.clockRate);
    player_->mediaTime((static_cast<double>(f.pts) - cellFirstPts_) / 90000.0);
}

double PlaybackEngine::clockPts(double now) const {
    double pts = 0;
    if (plan_.sound && soundClock(pts)) return pts;
    const double t = pausedAt_ >= 0 ? pausedAt_ : now;
    return clockBasePts_ + (t - clockBaseTime_) * plan_.clockRate * 90000.0;
}

// The time of the sound being heard: what was written, less what the device still holds.
bool PlaybackEngine::soundClock(double& pts) const {
    if (!sink_ || written_.empty()) return false;
    const qint64 heard = bytesWritten_ - (sink_->bufferSize() - sink_->bytesFree());
    const Written* at = nullptr;
    for (const Written& w : written_)
        if (w.firstByte <= heard) at = &w;
    if (at == nullptr) return false;
    if (at->cell > clockCell_) {
        // The sound has moved on to the next cell: every picture of this one is due.
        pts = std::numeric_limits<double>::infinity();
        return true;
    }
    if (at->cell < clockCell_) return false;
    pts = at->pts + static_cast<double>(heard - at->firstByte) * 90000.0 /
                        static_cast<double>(at->bytesPerSecond);
    return true;
}

void PlaybackEngine::writeSound() {
    if (!running_ || silent_ || !wantSound_ || !plan_.sound) return;
    for (int guard = 0; guard < 64; ++guard) {
        if (pending_.isEmpty()) {
            if (sound_.empty()) return;
            player::AudioBlock& b = sound_.front().block;
            if (sink_ && (b.sampleRate != sinkRate_ || b.channels != sinkChannels_)) dropSound();
            if (!sink_) {
                QAudioFormat format;
                format.setSampleRate(b.sampleRate);
                format.setChannelCount(b.channels);
                format.setSampleFormat(QAudioFormat::Int16);
                const QAudioDevice device = QMediaDevices::defaultAudioOutput();
                if (device.isNull() || !device.isFormatSupported(format)) {
                    // No device for this sound: the pictures go on by the steady clock.
                    silent_ = device.isNull();
                    sound_.pop_front();
                    continue;
                }
                sink_ = std::make_unique<QAudioSink>(device, format);
                sink_->setBufferSize(b.sampleRate * b.channels * 2 / 5);
                device_ = sink_->start();
                sinkRate_ = b.sampleRate;
                sinkChannels_ = b.channels;
                if (!device_) {
                    silent_ = true;
                    sink_.reset();
                    return;
                }
            }
            pending_ = QByteArray(reinterpret_cast<const char*>(b.samples.data()),
                                  static_cast<qsizetype>(b.samples.size() * sizeof(std::int16_t)));
            written_.push_back({sound_.front().cell, static_cast<double>(b.pts), bytesWritten_,
                                static_cast<qint64>(b.sampleRate) * b.channels * 2});
            while (written_.size() > 64) written_.pop_front();
            sound_.pop_front();
        }
        const qint64 room = sink_->bytesFree();
        if (room <= 0) return;
        const qint64 n =
            device_->write(pending_.constData(), std::min<qint64>(room, pending_.size()));
        if (n <= 0) return;
        pending_.remove(0, n);
        bytesWritten_ += n;
    }
}

void PlaybackEngine::dropSound() {
    if (sink_) sink_->stop();
    sink_.reset();
    device_ = nullptr;
    pending_.clear();
    written_.clear();
    bytesWritten_ = 0;
}

// ---- Menus in the video window --------------------------------------------------------------

void PlaybackEngine::onClick(QPoint at) {
    if (!player_) return;
    const QSize size = video_->picture().isNull() ? video_->size() : video_->picture().size();
    const auto [x, y] = player::codedPicturePoint(player_->videoAttributes(), at.x(), at.y(),
                                                  size.width(), size.height());
    if (const int button = player_->buttonAt(x, y)) player_->pressButton(button);
}

void PlaybackEngine::onMenuKey(int key) {
    if (!player_) return;
    static constexpr navigator::Direction directions[] = {
        navigator::Direction::Up, navigator::Direction::Down, navigator::Direction::Left,
        navigator::Direction::Right};
    if (key >= 0 && key < 4)
        player_->moveSelection(directions[key]);
    else
        player_->activateButton();
}

}  // namespace navtab::ui
