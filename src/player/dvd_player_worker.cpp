#include "player/dvd_player_worker.h"

#include <chrono>
#include <cmath>
#include <optional>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "player/cell_feeder.h"
#include "player/media_pipeline.h"

namespace navtab::player {
namespace {

// How far the thread decodes ahead of the window.
constexpr std::size_t kPicturesAhead = 6;
constexpr std::int64_t kSoundAhead = 90000;  // one second
// Sectors fed between two looks at the choices and the queues.
constexpr std::size_t kSectorsPerFeed = 8;

std::optional<AudioStreamId> audioStreamOf(int id) {
    if (id < 0) return std::nullopt;
    if (id >= 0xC0 && id <= 0xC7) return AudioStreamId{id - 0xC0, AudioCoding::Mpeg};
    if (id >= 0xA0 && id <= 0xA7) return AudioStreamId{id - 0xA0, AudioCoding::Lpcm};
    if (id >= 0x88 && id <= 0x8F) return AudioStreamId{id - 0x88, AudioCoding::Dts};
    if (id >= 0x80 && id <= 0x87) return AudioStreamId{id - 0x80, AudioCoding::Ac3};
    return std::nullopt;
}

}  // namespace

ScanPlan scanPlanFor(double rate) {
    ScanPlan p;
    const double speed = std::fabs(rate);
    if (rate > 0 && speed <= 2.0) {
        // Every picture, the clock running faster; sound only at the normal rate.
        p.clockRate = rate;
        p.sound = rate == 1.0;
        return p;
    }
    // Key pictures only: one VOBU (about half a second) per step at up to four times, farther
    // steps above, each picture held so that the title passes at the rate asked for.
    const int halfSeconds = std::max(1, static_cast<int>(std::lround(speed / 4.0)));
    p.step = rate < 0 ? -halfSeconds : halfSeconds;
    p.hold = 0.5 * halfSeconds / speed;
    p.sound = false;
    return p;
}

std::pair<int, int> codedPicturePoint(std::uint16_t videoAttributes, int x, int y, int width,
                                      int height) {
    const bool pal = ((videoAttributes >> 12) & 3) == 1;
    const bool wide = ((videoAttributes >> 10) & 3) == 3;
    static constexpr int widths[] = {720, 704, 352, 352};
    const int resolution = (videoAttributes >> 3) & 7;
    const int codedWidth = widths[resolution & 3];
    const int codedHeight = (pal ? 576 : 480) / (resolution == 3 ? 2 : 1);
    // The picture fills the frame's height or its width, whichever its ratio allows.
    const double ratio = wide ? 16.0 / 9.0 : 4.0 / 3.0;
    double shownWidth = width, shownHeight = height;
    if (width > height * ratio)
        shownWidth = height * ratio;
    else
        shownHeight = width / ratio;
    const double left = (width - shownWidth) / 2, top = (height - shownHeight) / 2;
    if (shownWidth <= 0 || shownHeight <= 0) return {-1, -1};
    return {static_cast<int>(std::floor((x - left) * codedWidth / shownWidth)),
            static_cast<int>(std::floor((y - top) * codedHeight / shownHeight))};
}

unsigned missingDecoders() {
    unsigned missing = 0;
    if (!avcodec_find_decoder(AV_CODEC_ID_MPEG2VIDEO)) missing |= 1u;
    if (!avcodec_find_decoder(AV_CODEC_ID_AC3) && !avcodec_find_decoder(AV_CODEC_ID_MP2))
        missing |= 2u;
    return missing;
}

struct DecodeWorker::Choices {
    bool flush = false;
    std::optional<double> rate;
    bool streamsChanged = false;
    int audioId = -1, subpictureId = -1;
    bool shown = false;
    std::optional<std::pair<int, bool>> button;
    std::optional<Display> display;
};

DecodeWorker::DecodeWorker(std::string folder)
    : pipeline_(std::make_unique<MediaPipeline>()),
      feeder_(std::make_unique<CellFeeder>(std::move(folder))),
      choices_(std::make_unique<Choices>()) {
    thread_ = std::thread([this] { run(); });
}

DecodeWorker::~DecodeWorker() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

std::uint64_t DecodeWorker::playCell(const navigator::CellToPlay& cell) {
    std::uint64_t n;
    {
        std::lock_guard lock(mutex_);
        n = nextCell_++;
        cells_.emplace_back(n, cell);
    }
    wake_.notify_all();
    return n;
}

void DecodeWorker::flush() {
    {
        std::lock_guard lock(mutex_);
        ++generation_;
        cells_.clear();
        items_.clear();
        sound_.clear();
        queuedTicks_ = 0;
        choices_->flush = true;
    }
    wake_.notify_all();
}

void DecodeWorker::setRate(double rate) {
    {
        std::lock_guard lock(mutex_);
        choices_->rate = rate;
    }
    wake_.notify_all();
}

void DecodeWorker::setStreams(int audioId, int subpictureId, bool shown) {
    {
        std::lock_guard lock(mutex_);
        choices_->streamsChanged = true;
        choices_->audioId = audioId;
        choices_->subpictureId = subpictureId;
        choices_->shown = shown;
    }
    wake_.notify_all();
}

void DecodeWorker::setButton(int button, bool activated) {
    {
        std::lock_guard lock(mutex_);
        choices_->button = std::pair{button, activated};
    }
    wake_.notify_all();
}

void DecodeWorker::setDisplay(const Display& display) {
    {
        std::lock_guard lock(mutex_);
        choices_->display = display;
    }
    wake_.notify_all();
}

void DecodeWorker::take(std::vector<DecodedItem>& items, std::size_t maxItems,
                        std::vector<DecodedSound>& sound, std::int64_t maxTicks) {
    bool took = false;
    {
        std::lock_guard lock(mutex_);
        std::size_t n = 0;
        while (n < items_.size() && n < maxItems) items.push_back(std::move(items_[n++]));
        items_.erase(items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(n));
        std::size_t m = 0;
        for (std::int64_t ticks = 0; m < sound_.size() && ticks < maxTicks; ++m) {
            ticks += sound_[m].block.duration();
            queuedTicks_ -= sound_[m].block.duration();
            sound.push_back(std::move(sound_[m]));
        }
        sound_.erase(sound_.begin(), sound_.begin() + static_cast<std::ptrdiff_t>(m));
        took = n + m > 0;
    }
    if (took) wake_.notify_all();
}

std::vector<std::string> DecodeWorker::takeWarnings() {
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    out.swap(warnings_);
    return out;
}

std::uint64_t DecodeWorker::picturesDecoded() const {
    std::lock_guard lock(mutex_);
    return pictures_;
}

// Runs on the thread with the choices taken from under the lock; true when the pictures shown
// need drawing again.
bool DecodeWorker::applyChoices(Choices& c) {
    if (c.flush) pipeline_->flush();
    if (c.rate) {
        const ScanPlan plan = scanPlanFor(*c.rate);
        feeder_->setScan(plan.step);
        pipeline_->setKeyFramesOnly(plan.step != 0);
        // Scanning backwards reads the VOBUs in the other order: what was decoded is of no use.
        pipeline_->flush();
    }
    if (c.display) pipeline_->setDisplay(*c.display);
    if (c.streamsChanged) {
        pipeline_->selectAudio(audioStreamOf(c.audioId));
        pipeline_->selectSubPicture(
            c.subpictureId >= 0x20 ? std::optional<int>(c.subpictureId - 0x20) : std::nullopt);
        pipeline_->showSubPictures(c.shown);
    }
    if (c.button) pipeline_->setSelectedButton(c.button->first, c.button->second);
    return c.button || c.streamsChanged || c.display;
}

void DecodeWorker::collect(std::uint64_t cell, std::uint64_t generation) {
    std::vector<VideoFrame> frames = pipeline_->takeFrames();
    std::vector<AudioBlock> blocks = pipeline_->takeAudio();
    std::lock_guard lock(mutex_);
    pictures_ += frames.size();
    if (generation != generation_) return;  // flushed meanwhile
    for (VideoFrame& f : frames) {
        DecodedItem item;
        item.frame = std::move(f);
        item.cell = cell;
        items_.push_back(std::move(item));
    }
    for (AudioBlock& b : blocks) {
        queuedTicks_ += b.duration();
        sound_.push_back({std::move(b), cell});
    }
}

void DecodeWorker::run() {
    std::uint64_t cell = 0;  // the cell being read; 0 for none
    std::uint64_t generation = 0;
    for (;;) {
        Choices c;
        std::optional<navigator::CellToPlay> next;
        std::uint64_t nextNumber = 0;
        bool room = false;
        {
            std::unique_lock lock(mutex_);
            const auto busy = [&] {
                return quit_ || choices_->flush || choices_->rate || choices_->streamsChanged ||
                       choices_->button || choices_->display || (cell == 0 && !cells_.empty()) ||
                       (cell != 0 && items_.size() < kPicturesAhead && queuedTicks_ < kSoundAhead);
            };
            wake_.wait_for(lock, std::chrono::milliseconds(50), busy);
            if (quit_) return;
            c = std::move(*choices_);
            *choices_ = Choices{};
            if (c.flush) cell = 0;
            generation = generation_;
            if (cell == 0 && !cells_.empty()) {
                nextNumber = cells_.front().first;
                next = std::move(cells_.front().second);
                cells_.pop_front();
            }
            room = items_.size() < kPicturesAhead && queuedTicks_ < kSoundAhead;
        }
        if (applyChoices(c) && cell == 0) {
            // A still or a menu: the picture on screen again, with the highlight as it is now.
            if (auto again = pipeline_->redrawLast()) {
                std::lock_guard lock(mutex_);
                DecodedItem item;
                item.frame = std::move(*again);
                item.redraw = true;
                items_.push_back(std::move(item));
            }
        }
        if (next) {
            cell = nextNumber;
            pipeline_->setVideoAttributes(next->videoAttributes);
            pipeline_->setPalette(next->palette);
            pipeline_->selectAudio(audioStreamOf(next->audioId));
            pipeline_->selectSubPicture(next->subpictureId >= 0x20
                                            ? std::optional<int>(next->subpictureId - 0x20)
                                            : std::nullopt);
            pipeline_->showSubPictures(next->subpicturesShown);
            if (!feeder_->startCell(next->domain, next->titleSet, next->first, next->last)) {
                std::lock_guard lock(mutex_);
                warnings_.push_back(feeder_->error());
            }
            room = true;
        }
        if (cell == 0 || !room) continue;
        if (feeder_->feed(*pipeline_, kSectorsPerFeed) == 0) {
            if (!feeder_->error().empty()) {
                std::lock_guard lock(mutex_);
                warnings_.push_back(feeder_->error());
            }
            pipeline_->drain();
            collect(cell, generation);
            std::lock_guard lock(mutex_);
            if (generation == generation_) {
                DecodedItem end;
                end.kind = DecodedItem::Kind::CellEnd;
                end.cell = cell;
                items_.push_back(std::move(end));
            }
            cell = 0;
            continue;
        }
        collect(cell, generation);
    }
}

}  // namespace navtab::player
