#include "navigator/dvd_player.h"

#include <algorithm>
#include <cmath>

#include "core/bcd_frames.h"
#include "core/text_printf.h"

namespace navtab::navigator {
namespace {

constexpr const char* kWarning = "Warning";

// The warnings of VOB files that cannot be opened, sought or read: a first line naming the
// trouble, then what it means for playback.
struct FileWarning {
    const char* prefix;  // how the navigator's error text begins
    const char* first;
    const char* second;
};
// "Could not read sector" (no file holds that sector) comes before the plain read failure.
constexpr FileWarning kFileWarnings[] = {
    {"Could not open", "DVD Warning: Could not open a file on the DVD disc.",
     "A file on the DVD disc could not be opened. Playback may not continue."},
    {"Could not read sector", "DVD Warning: Could not seek in a file on the DVD disc.",
     "Could not move to a different part of a file on the DVD disc. Playback may not continue."},
    {"Could not read", "DVD Warning: Could not read a file on the DVD disc.",
     "Could not read part of a file on the DVD disc. Playback may not continue."},
};

constexpr const char* kUnexpectedError =
    "An unexpected error (possibly incorrectly authored content)\nwas encountered.\nCan't "
    "playback this DVD-Video disc.";

constexpr const char* kNoDecoder =
    "The DVD sample could not locate a DVD decoder on your system.\r\n\r\nYou must install a "
    "third-party DirectShow-compatible MPEG-2 decoder,\r\neither software or hardware-based. "
    "Microsoft does not supply an MPEG2\r\ndecoder with DirectShow or as an operating system "
    "component.\r\n\r\nPlease contact your DVD or PC manufacturer for a DVD decoder.\r\n\r\nThis "
    "sample will now exit.";

double cellSeconds(const Cell& c) {
    const auto byte = static_cast<std::uint8_t>(c.playbackTime & 0xFF);
    return static_cast<double>(bcdTimeToFrames(c.playbackTime)) / frameRateOf(byte);
}

}  // namespace

std::string PlayerStateText(int state, double rate) {
    static constexpr const char* texts[] = {"Error - Uninitialized",
                                            "Stopped - resume possible",
                                            "Stopped",
                                            "Navigation stopped",
                                            "Playing",
                                            "Paused",
                                            "Navigation paused"};
    if (state == kScanning) return strprintf("Scanning %f x", rate);
    return state >= 0 && state < kScanning ? texts[state] : texts[0];
}

DvdPlayer::DvdPlayer(PlayerOwner& owner, MediaOutput& output) : owner_(owner), output_(output) {}

DvdPlayer::~DvdPlayer() = default;

bool DvdPlayer::Initialize(const std::string& folder, unsigned failedStreams) {
    auto disc = std::make_unique<Disc>(LoadDisc(folder));
    if (!disc->firstPlay && disc->menus.empty() && disc->titles.empty()) {
        std::string text;
        for (const std::string& p : disc->problems) text += p + "\n";
        if (text.empty()) text = "No valid DVD-Video volume could be located\n";
        owner_.message(text, "RenderDvdVideoVolume Failed!");
        return false;
    }
    if (failedStreams & 1u) {
        owner_.message(kNoDecoder, "Can't initialize DVD sample");
        return false;
    }
    // What renders only in part: the streams without a decoder, and title sets that could not
    // be read.
    std::string report;
    const int failed = std::popcount(failedStreams & 7u);
    if (failed != 0) {
        report +=
            strprintf("* %d out of %d DVD-Video streams failed to render properly\n", failed, 3);
        if (failedStreams & 2u) report += "    - audio stream\n";
        if (failedStreams & 4u) report += "    - subpicture stream\n";
    }
    if (!disc->problems.empty()) report += "* Specified DVD-Video volume was invalid\n";
    if (!report.empty() &&
        !owner_.askYesNo(report + "\n\nDo you still want to continue?", kWarning))
        return false;
    disc_ = std::move(disc);
    nav_ = std::make_unique<Navigator>(*disc_);
    nav_->setParentalQuestion([this](int) {
        return owner_.askYesNo("Accept Parental Level Change Request?", "Accept Change?");
    });
    state_ = kStopped;
    return true;
}

bool DvdPlayer::StopNavigation() {
    if (state_ == kUninitialized) return false;
    navigatorStarted_ = false;
    state_ = kNavigationStopped;
    return true;
}

void DvdPlayer::startNavigator() {
    output_.flush();
    cellsAtOutput_ = 0;
    stillOn_ = false;
    stillEnds_ = -1;
    location_ = PlayerLocation{};
    nav_->start();
    navigatorStarted_ = true;
    cellsSinceTitleOne_ = 0;
    startedWithoutCell_ = true;
}

bool DvdPlayer::Play() {
    switch (state_) {
        case kUninitialized:
            return false;
        case kStoppedResumable:
        case kNavigationStopped:
            output_.setRunning(true);
            if (!navigatorStarted_) startNavigator();
            state_ = kPlaying;
            break;
        case kStopped:
            output_.setRunning(true);
            rate_ = 1.0;
            backwards_ = false;
            output_.setRate(1.0);
            if (!navigatorStarted_) startNavigator();
            state_ = kPlaying;
            break;
        case kPlaying:
            if (stillOn_) {
                if (!result(nav_->stillOff())) return false;
                stillOn_ = false;
                stillEnds_ = -1;
            }
            break;
        case kPaused:
        case kNavigationPaused:
        case kScanning:
            rate_ = 1.0;
            backwards_ = false;
            output_.setRate(1.0);
            output_.setRunning(true);
            state_ = kPlaying;
            break;
        default:
            return false;
    }
    pump(now_);
    owner_.updateStatus();
    return true;
}

bool DvdPlayer::Stop() {
    if (state_ == kUninitialized) return false;
    if (state_ == kStoppedResumable || state_ == kStopped || state_ == kNavigationStopped) {
        // Stopped with the reset option: the next Play starts the disc from its beginning.
        output_.setRunning(false);
        output_.flush();
        cellsAtOutput_ = 0;
        navigatorStarted_ = false;
        stillOn_ = inMenu_ = false;
        rate_ = 1.0;
        backwards_ = false;
        state_ = kStopped;
    } else {
        output_.setRunning(false);
        state_ = kStoppedResumable;
    }
    owner_.updateStatus();
    return true;
}

bool DvdPlayer::result(UopResult r) {
    if (r == UopResult::Prohibited) owner_.operationProhibited();
    return r == UopResult::Done;
}

void DvdPlayer::restartOutput() {
    output_.flush();
    cellsAtOutput_ = 0;
    stillOn_ = false;
    stillEnds_ = -1;
}

bool DvdPlayer::NextChapter() {
    if (state_ != kPlaying || !result(nav_->nextChapter())) return false;
    restartOutput();
    pump(now_);
    return true;
}

bool DvdPlayer::PreviousChapter() {
    if (state_ != kPlaying || !result(nav_->previousChapter())) return false;
    restartOutput();
    pump(now_);
    return true;
}

bool DvdPlayer::Faster() {
    if (state_ != kPlaying && state_ != kScanning) return false;
    return SetRate(rate_ + 0.5);
}

bool DvdPlayer::Rewind() {
    if (state_ != kPlaying && state_ != kScanning) return false;
    if (!nav_->isAllowed(kUopBackwardScan)) {
        owner_.operationProhibited();
        return false;
    }
    rate_ = 8.0;
    backwards_ = true;
    output_.setRate(-8.0);
    state_ = kScanning;
    owner_.updateStatus();
    return true;
}

bool DvdPlayer::SetRate(double rate) {
    if (state_ != kPlaying && state_ != kScanning) return false;
    if (!nav_->isAllowed(kUopForwardScan)) {
        owner_.operationProhibited();
        return false;
    }
    rate_ = rate;
    backwards_ = false;
    output_.setRate(rate);
    state_ = kScanning;
    owner_.updateStatus();
    return true;
}

bool DvdPlayer::RootMenu() {
    return showMenu(kRootMenu);
}

bool DvdPlayer::TitleMenu() {
    return showMenu(kTitleMenu);
}

// In a menu the menu buttons resume the title; elsewhere they call the menu.
bool DvdPlayer::showMenu(int menu) {
    if (state_ == kUninitialized || !navigatorStarted_) return false;
    if (inMenu_) {
        const UopResult r = nav_->resume();
        if (r == UopResult::Done) {
            inMenu_ = false;
            state_ = kPlaying;
            restartOutput();
            pump(now_);
            return true;
        }
        // A menu reached without a title to return to: the menu asked for is shown instead.
        if (r == UopResult::Prohibited) return result(r);
    }
    if (state_ != kPlaying && state_ != kScanning && !inMenu_) return false;
    if (!result(nav_->menuCall(menu))) return false;
    inMenu_ = true;
    if (state_ == kScanning) {
        rate_ = 1.0;
        backwards_ = false;
        output_.setRate(1.0);
    }
    state_ = kPlaying;
    restartOutput();
    pump(now_);
    return true;
}

bool DvdPlayer::jump(UopResult r) {
    if (!result(r)) return false;
    restartOutput();
    pump(now_);
    owner_.updateStatus();
    return true;
}

bool DvdPlayer::PlayTitle(int title) {
    if (state_ == kUninitialized) return false;
    if (!navigatorStarted_) startNavigator();
    return jump(nav_->playTitle(title));
}

bool DvdPlayer::PlayChapter(int chapter) {
    if (state_ == kUninitialized || !navigatorStarted_) return false;
    return jump(nav_->playChapter(chapter));
}

bool DvdPlayer::PlayChapterInTitle(int title, int chapter) {
    if (state_ == kUninitialized) return false;
    if (!navigatorStarted_) startNavigator();
    return jump(nav_->playPart(title, chapter));
}

// ---- Streams --------------------------------------------------------------------------------

const StreamAttributes* DvdPlayer::streamsOfDomain() const {
    if (!nav_) return nullptr;
    const Position& p = nav_->position();
    if (p.domain == Domain::FirstPlay || p.domain == Domain::VmgMenu) return &disc_->menuStreams;
    if (p.titleSet < 1 || p.titleSet > static_cast<int>(disc_->titleSets.size())) return nullptr;
    const TitleSet& ts = disc_->titleSets[p.titleSet - 1];
    return p.domain == Domain::VtsMenu ? &ts.menuStreams : &ts.titleStreams;
}

// The stream id of the chosen audio stream: the PGC's control word names the stream number,
// the attributes its coding (AC-3 0x80, DTS 0x88, LPCM 0xA0, MPEG 0xC0).
int DvdPlayer::audioId() const {
    const StreamAttributes* s = streamsOfDomain();
    const Pgc* pgc = nav_->pgc();
    const int n = nav_->registers().sprm[kAudioStream];
    if (!s || !pgc || n < 0 || n >= static_cast<int>(s->audio.size()) || n >= 8) return -1;
    const std::uint16_t control = pgc->audioControl[n];
    if (!(control & 0x8000)) return -1;
    const int number = (control >> 8) & 7;
    switch (s->audio[n][0] >> 5) {
        case 0:
            return 0x80 + number;
        case 6:
            return 0x88 + number;
        case 4:
            return 0xA0 + number;
        case 2:
        case 3:
            return 0xC0 + number;
        default:
            return -1;
    }
}

// The sub-stream of the chosen sub-picture stream for the picture's display ratio: the 4:3
// number, or the wide one on a 16:9 picture.
int DvdPlayer::subpictureId() const {
    const StreamAttributes* s = streamsOfDomain();
    const Pgc* pgc = nav_->pgc();
    if (!s || !pgc) return -1;
    const int n = nav_->registers().sprm[kSubpictureStream] & 0x3F;
    const std::uint32_t control = n < 32 ? pgc->subpictureControl[n] : 0;
    if (!(control & 0x80000000u)) {
        // A menu has one sub-picture stream, its buttons, whatever the register names.
        return nav_->position().domain == Domain::Title ? -1 : 0x20;
    }
    const bool wide = ((videoAttributes() >> 10) & 3) == 3;
    return 0x20 + static_cast<int>(wide ? (control >> 16) & 0x1F : (control >> 24) & 0x1F);
}

bool DvdPlayer::subpicturesShown() const {
    // Menus show their button pictures whatever the display flag says.
    return nav_->position().domain != Domain::Title ||
           (nav_->registers().sprm[kSubpictureStream] & 0x40) != 0;
}

void DvdPlayer::sendStreams() {
    if (nav_) output_.setStreams(audioId(), subpictureId(), subpicturesShown());
}

void DvdPlayer::sendButtons() {
    if (!nav_) return;
    const Vobu& b = nav_->menuButtons();
    output_.setButtons(b, b.buttons.empty() ? 0 : nav_->highlightedButton());
}

StreamChoice DvdPlayer::audioStreams() const {
    StreamChoice c;
    const StreamAttributes* s = streamsOfDomain();
    if (!s) return c;
    for (const auto& a : s->audio)
        c.languages.push_back((a[0] >> 2 & 3) == 1 ? static_cast<std::uint16_t>(a[2] << 8 | a[3])
                                                   : 0);
    c.current = nav_->registers().sprm[kAudioStream];
    return c;
}

StreamChoice DvdPlayer::subpictureStreams() const {
    StreamChoice c;
    const StreamAttributes* s = streamsOfDomain();
    if (!s) return c;
    for (const auto& a : s->subpictures)
        c.languages.push_back((a[0] & 3) == 1 ? static_cast<std::uint16_t>(a[2] << 8 | a[3]) : 0);
    c.current = nav_->registers().sprm[kSubpictureStream] & 0x3F;
    c.shown = (nav_->registers().sprm[kSubpictureStream] & 0x40) != 0;
    return c;
}

bool DvdPlayer::SelectAudioStream(int stream) {
    if (!nav_ || !result(nav_->selectAudio(stream))) return false;
    sendStreams();
    return true;
}

bool DvdPlayer::SelectSubpictureStream(int stream) {
    if (!nav_ || stream < 0 || stream > 31) return false;
    const int shown = nav_->registers().sprm[kSubpictureStream] & 0x40;
    if (!result(nav_->selectSubpicture(stream | shown))) return false;
    sendStreams();
    return true;
}

bool DvdPlayer::SetSubpictureState(bool on) {
    if (!nav_) return false;
    const int stream = nav_->registers().sprm[kSubpictureStream] & 0x3F;
    if (!result(nav_->selectSubpicture(on ? stream | 0x40 : stream))) return false;
    sendStreams();
    return true;
}

// ---- Menu buttons ---------------------------------------------------------------------------

int DvdPlayer::buttonAt(int x, int y) const {
    if (!nav_) return 0;
    const auto& buttons = nav_->menuButtons().buttons;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const Button& b = buttons[i];
        if (x >= b.x0 && x <= b.x1 && y >= b.y0 && y <= b.y1) return static_cast<int>(i) + 1;
    }
    return 0;
}

bool DvdPlayer::pressButton(int button) {
    if (!nav_) return false;
    UopResult r = nav_->selectButton(button);
    // A button with auto action has run on its selection.
    if (r == UopResult::Done && nav_->status() == Status::Menu) r = nav_->activateButton();
    return jump(r);
}

bool DvdPlayer::moveSelection(Direction d) {
    if (!nav_) return false;
    if (!result(nav_->moveSelection(d))) return false;
    if (nav_->status() != Status::Menu) return jump(UopResult::Done);
    HandleEvents();
    return true;
}

bool DvdPlayer::activateButton() {
    if (!nav_) return false;
    return jump(nav_->activateButton());
}

// ---- Events and pacing ----------------------------------------------------------------------

void DvdPlayer::HandleEvents() {
    if (!nav_) return;
    for (const Event& e : nav_->takeEvents()) handle(e);
}

void DvdPlayer::warnOnce(const std::string& key, const char* first, const char* second) {
    if (!warned_.insert(key).second) return;
    owner_.message(first, kWarning);
    if (second) owner_.message(second, kWarning);
}

void DvdPlayer::handle(const Event& e) {
    switch (e.kind) {
        case EventKind::Domain:
            if (e.domain == Domain::VmgMenu || e.domain == Domain::VtsMenu) inMenu_ = true;
            if (e.domain == Domain::Title) inMenu_ = false;
            sendButtons();
            break;
        case EventKind::Title:
            location_.title = e.title;
            location_.chapter = 1;
            owner_.updateStatus();
            break;
        case EventKind::Chapter:
            location_.chapter = e.part;
            owner_.updateStatus();
            break;
        case EventKind::Cell:
            playCell(e);
            break;
        case EventKind::Still:
            stillOn_ = e.still != 0;
            stillEnds_ = e.still != 0 && e.still != 255 ? now_ + e.still : -1;
            break;
        case EventKind::Highlight:
            sendButtons();
            break;
        case EventKind::Stream:
            sendStreams();
            break;
        case EventKind::Stop:
            if (startedWithoutCell_) {
                // Nothing of the disc could be played.
                owner_.message(kUnexpectedError, "Error");
                output_.setRunning(false);
            } else if (cellsSinceTitleOne_ > 0) {
                // Playback ended: title 1 again, as long as it plays something each time.
                cellsSinceTitleOne_ = 0;
                if (nav_->playTitle(1) == UopResult::Done) restartOutput();
            }
            break;
        case EventKind::Warning:
            if (e.text == kIllegalCommandText)
                warnOnce(e.text, kIllegalCommandText.data(), nullptr);
            else
                warnOnce(e.text, "DVD Warning: An unknown (0) warning received.", nullptr);
            break;
        case EventKind::Error:
            for (const FileWarning& w : kFileWarnings) {
                if (e.text.rfind(w.prefix, 0) == 0) {
                    warnOnce(w.first, w.first, w.second);
                    return;
                }
            }
            // The navigator's own refusal of a title the parental level forbids has its
            // message; any other error is unexpected.
            owner_.message(e.text == kParentalTooLowText ? std::string(kParentalTooLowText)
                                                         : std::string(kUnexpectedError),
                           "Error");
            output_.setRunning(false);
            break;
        default:
            break;
    }
}

void DvdPlayer::playCell(const Event& e) {
    const Pgc* pgc = nav_->pgc();
    CellToPlay c;
    c.domain = e.domain;
    c.first = e.first;
    c.last = e.last;
    c.titleSet = e.titleSet;
    c.videoAttributes = videoAttributes();
    if (pgc) c.palette = pgc->palette;
    c.audioId = audioId();
    c.subpictureId = subpictureId();
    c.subpicturesShown = subpicturesShown();
    output_.playCell(c);
    lastCell_ = c;
    ++cellsAtOutput_;
    ++cellsSinceTitleOne_;
    startedWithoutCell_ = false;
    // The title's clock: the playback times of the PGC's cells before this one.
    cellStartSeconds_ = 0;
    if (pgc && e.cell >= 1 && e.cell <= static_cast<int>(pgc->cells.size())) {
        for (int i = 0; i + 1 < e.cell; ++i) cellStartSeconds_ += cellSeconds(pgc->cells[i]);
        framesPerSecond_ = static_cast<int>(
            frameRateOf(static_cast<std::uint8_t>(pgc->cells[e.cell - 1].playbackTime & 0xFF)));
    }
    mediaTime(0);
    sendButtons();
}

void DvdPlayer::mediaTime(double secondsIntoCell) {
    const double t = std::max(0.0, cellStartSeconds_ + secondsIntoCell);
    const auto whole = static_cast<int>(t);
    PlayerLocation l = location_;
    l.hours = whole / 3600;
    l.minutes = whole / 60 % 60;
    l.seconds = whole % 60;
    l.frames = static_cast<int>((t - whole) * framesPerSecond_);
    const bool secondChanged = l.seconds != location_.seconds || l.minutes != location_.minutes ||
                               l.hours != location_.hours;
    location_ = l;
    if (secondChanged) owner_.updateStatus();
}

void DvdPlayer::cellPlayed() {
    if (cellsAtOutput_ > 0) --cellsAtOutput_;
    if (backwards_) {
        // Scanning backwards stops at the start of the cell, which then plays at the normal
        // rate.
        backwards_ = false;
        rate_ = 1.0;
        output_.setRate(1.0);
        state_ = kPlaying;
        output_.playCell(lastCell_);
        ++cellsAtOutput_;
        owner_.updateStatus();
    }
    pump(now_);
}

void DvdPlayer::pump(double now) {
    now_ = now;
    HandleEvents();
    if (!nav_ || !navigatorStarted_ || (state_ != kPlaying && state_ != kScanning)) return;
    // A bounded number of steps per call: commands that jump about without playing a cell
    // never hold up the window.
    // In a menu the navigator reads the cell's NAV packs at once, so that the buttons show with
    // the first picture; in a title it reads them after the output has played the cell, so that
    // a menu called meanwhile resumes at the cell's start rather than past it.
    const auto readingMenuCell = [&] {
        return nav_->playingVobus() && nav_->position().domain != Domain::Title;
    };
    for (int guard = 0; guard < 64 && (cellsAtOutput_ == 0 || readingMenuCell()); ++guard) {
        const Status st = nav_->status();
        if (st == Status::Still) {
            if (stillEnds_ < 0 || now_ < stillEnds_) break;
            nav_->stillOff();
            stillEnds_ = -1;
            HandleEvents();
            continue;
        }
        if (st == Status::Menu || st == Status::Stopped) break;
        nav_->step();
        HandleEvents();
    }
}

std::uint16_t DvdPlayer::videoAttributes() const {
    if (!nav_) return 0;
    const Position& p = nav_->position();
    if (p.domain == Domain::FirstPlay || p.domain == Domain::VmgMenu) return disc_->menuVideo;
    if (p.titleSet < 1 || p.titleSet > static_cast<int>(disc_->titleSets.size())) return 0;
    const TitleSet& ts = disc_->titleSets[p.titleSet - 1];
    return p.domain == Domain::VtsMenu ? ts.menuVideo : ts.titleVideo;
}

void DvdPlayer::mediaWarning(const std::string& text) {
    for (const FileWarning& w : kFileWarnings)
        if (text == w.first) return warnOnce(text, w.first, w.second);
    warnOnce(text, text.c_str(), nullptr);
}

int DvdPlayer::titleCount() const {
    return disc_ ? static_cast<int>(disc_->titles.size()) : 0;
}

int DvdPlayer::chapterCount(int title) const {
    if (!disc_ || title < 1 || title > static_cast<int>(disc_->titles.size())) return 0;
    return disc_->titles[title - 1].parts;
}

const Registers& DvdPlayer::registers() const {
    static const Registers none = Registers::initial();
    return nav_ ? nav_->registers() : none;
}

}  // namespace navtab::navigator
