// The decoding thread of the player: it reads the cells the player hands over, sector by sector,
// through the media pipeline, and keeps the pictures and the sound ready for the window, a few
// pictures ahead of what is shown. Every call comes from the window's thread and returns at once;
// the thread takes the choices before it feeds the next sectors.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "navigator/dvd_player.h"
#include "player/media_frames.h"

namespace navtab::player {

class MediaPipeline;
class CellFeeder;

// What the thread gives: a picture, or the mark that a cell has been read to its end. `cell`
// counts the cells handed over, so that the window knows where one ends and the next begins.
struct DecodedItem {
    enum class Kind : std::uint8_t { Picture, CellEnd } kind = Kind::Picture;
    VideoFrame frame;
    std::uint64_t cell = 0;
    bool redraw = false;  // the same picture drawn again (a highlight moved): show at once
};

struct DecodedSound {
    AudioBlock block;
    std::uint64_t cell = 0;
};

// How a play rate is scanned: every picture at `clockRate` times the normal speed, or (`step`
// non-zero) key pictures only, one VOBU about every |step| half seconds, each shown `hold`
// seconds.
struct ScanPlan {
    double clockRate = 1.0;
    int step = 0;
    double hold = 0;
    bool sound = true;
};
ScanPlan scanPlanFor(double rate);

// The point of the coded picture (in its own pixels, as menu buttons are placed) under point
// (x, y) of a frame `width` x `height` that shows it whole with bars, for the video attribute
// word `videoAttributes` (its ratio, TV system and resolution).
std::pair<int, int> codedPicturePoint(std::uint16_t videoAttributes, int x, int y, int width,
                                      int height);

// Which streams no decoder of the libraries can render: bit 0 MPEG video, bit 1 every audio
// coding, bit 2 sub-pictures.
unsigned missingDecoders();

class DecodeWorker {
  public:
    // `folder`: the VIDEO_TS folder.
    explicit DecodeWorker(std::string folder);
    ~DecodeWorker();
    DecodeWorker(const DecodeWorker&) = delete;
    DecodeWorker& operator=(const DecodeWorker&) = delete;

    // Queues a cell; returns its number.
    std::uint64_t playCell(const navigator::CellToPlay& cell);
    // Drops every cell queued and every picture and sound not yet taken.
    void flush();
    void setRate(double rate);
    void setStreams(int audioId, int subpictureId, bool shown);
    void setButton(int button, bool activated);
    void setDisplay(const Display& display);

    // Takes up to `maxItems` pictures and cell ends and up to `maxTicks` of sound (90 kHz) of
    // what has been decoded, appending them. The thread decodes ahead only as far as what it
    // holds is little, so the window takes what it needs soon, not all at once.
    void take(std::vector<DecodedItem>& items, std::size_t maxItems,
              std::vector<DecodedSound>& sound, std::int64_t maxTicks);
    // Warnings of VOB files that could not be read, since the last take.
    std::vector<std::string> takeWarnings();
    // Pictures decoded so far (for measurements).
    std::uint64_t picturesDecoded() const;

  private:
    struct Choices;
    void run();
    bool applyChoices(Choices& c);
    void collect(std::uint64_t cell, std::uint64_t generation);

    std::unique_ptr<MediaPipeline> pipeline_;
    std::unique_ptr<CellFeeder> feeder_;
    std::unique_ptr<Choices> choices_;  // guarded by mutex_
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::pair<std::uint64_t, navigator::CellToPlay>> cells_;
    std::vector<DecodedItem> items_;
    std::vector<DecodedSound> sound_;
    std::vector<std::string> warnings_;
    std::uint64_t nextCell_ = 1;
    std::uint64_t generation_ = 0;  // counts flushes
    std::uint64_t pictures_ = 0;
    std::int64_t queuedTicks_ = 0;  // sound not yet taken, 90 kHz
    bool quit_ = false;
    std::thread thread_;
};

}  // namespace navtab::player
