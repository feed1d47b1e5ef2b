// The DVD player behind the playback window: Navtab's navigator, the pictures and sound it
// hands cells to, and the player's states with the transport operations a remote control offers.
// The window calls the operations and shows what the player reports; the player steps the
// navigator whenever the output has played the cell it was given, turns the navigator's events
// into the window's notices and messages, and keeps the play rate, the still and menu flags and
// where playback stands.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "navigator/navigator.h"

namespace navtab::navigator {

enum PlayerState : int {
    kUninitialized = 0,
    kStoppedResumable = 1,
    kStopped = 2,
    kNavigationStopped = 3,
    kPlaying = 4,
    kPaused = 5,
    kNavigationPaused = 6,
    kScanning = 7,
};

// The status line of a state: "Playing", "Scanning 2.500000 x", ...
std::string PlayerStateText(int state, double rate);

struct PlayerLocation {
    int title = 0;
    int chapter = 0;
    int hours = 0, minutes = 0, seconds = 0, frames = 0;
};

// One cell for the pictures and sound: where its sectors lie and how to show them.
struct CellToPlay {
    Domain domain = Domain::FirstPlay;
    int titleSet = 0;                   // 0 for the video manager
    std::uint32_t first = 0, last = 0;  // counted in the domain's VOB group
    std::array<std::uint32_t, 16> palette{};
    std::uint16_t videoAttributes = 0;
    int audioId = -1;       // stream id of the audio to play (0x80.., 0xA0.., 0xC0..), -1 none
    int subpictureId = -1;  // sub-stream id 0x20.. of the sub-pictures, -1 none
    bool subpicturesShown = false;
};

// What the player asks of the media pipeline. Every call comes from the window's thread.
class MediaOutput {
  public:
    virtual ~MediaOutput() = default;
    // Plays a cell after what it was given before; calls DvdPlayer::cellPlayed when the last
    // picture of the cell has been shown.
    virtual void playCell(const CellToPlay& cell) = 0;
    // Drops every cell given; the picture on screen stays.
    virtual void flush() = 0;
    // The clock runs or stands (media control Run and Pause).
    virtual void setRunning(bool running) = 0;
    // Play rate: 1.0 normal, above 1 fast forward, negative backwards.
    virtual void setRate(double rate) = 0;
    // Streams of the cell playing, after a selection.
    virtual void setStreams(int audioId, int subpictureId, bool subpicturesShown) = 0;
    // The menu buttons on screen and the highlighted one (0: no highlight).
    virtual void setButtons(const Vobu& buttons, int highlighted) = 0;
};

// The playback window as the player calls it back.
class PlayerOwner {
  public:
    virtual ~PlayerOwner() = default;
    virtual void updateStatus() = 0;
    virtual void operationProhibited() = 0;
    virtual void message(const std::string& text, const std::string& caption) = 0;
    virtual bool askYesNo(const std::string& text, const std::string& caption) = 0;
};

// The streams of the domain being played and the one chosen.
struct StreamChoice {
    std::vector<std::uint16_t> languages;  // two ASCII letters each, 0 when unset
    int current = 0;
    bool shown = true;  // sub-pictures only: the display flag
};

class DvdPlayer {
  public:
    DvdPlayer(PlayerOwner& owner, MediaOutput& output);
    ~DvdPlayer();

    // Loads the folder's navigation; on failure the messages are shown and false returned.
    // `failedStreams` names the streams no decoder can render (bit 0 video, 1 audio, 2
    // sub-pictures), from the media pipeline.
    bool Initialize(const std::string& folder, unsigned failedStreams = 0);
    // Stops the navigator before the first Play ("Navigation stopped").
    bool StopNavigation();

    bool Play();
    bool Stop();
    bool NextChapter();
    bool PreviousChapter();
    bool Faster();
    bool Rewind();
    bool SetRate(double rate);
    bool RootMenu();
    bool TitleMenu();
    bool PlayTitle(int title);
    bool PlayChapter(int chapter);
    bool PlayChapterInTitle(int title, int chapter);

    // Stream selection: audio stream n, sub-picture stream n, sub-pictures on or off.
    bool SelectAudioStream(int stream);
    bool SelectSubpictureStream(int stream);
    bool SetSubpictureState(bool on);
    StreamChoice audioStreams() const;
    StreamChoice subpictureStreams() const;

    // Menu buttons: the button under a picture position (0: none), select and activate it; the
    // arrow keys and Enter.
    int buttonAt(int x, int y) const;
    bool pressButton(int button);
    bool moveSelection(Direction d);
    bool activateButton();

    // Takes the navigator's waiting events and handles each.
    void HandleEvents();
    // Moves playback on at `now` (seconds of a steady clock): ends timed stills and steps the
    // navigator while the output has no cell to play.
    void pump(double now);
    // The output has shown the last picture of the cell it was given.
    void cellPlayed();
    // The output's position inside the cell playing, in seconds.
    void mediaTime(double secondsIntoCell);

    int state() const { return state_; }
    double rate() const { return rate_; }
    bool stillOn() const { return stillOn_; }
    bool inMenu() const { return inMenu_; }
    std::string stateText() const { return PlayerStateText(state_, rate_); }
    PlayerLocation location() const { return location_; }
    // The video attribute word of the domain being played.
    std::uint16_t videoAttributes() const;
    // A warning of the pictures and sound ("DVD Warning: Could not read a file on the DVD
    // disc." ...): shown once, with its second line.
    void mediaWarning(const std::string& text);
    int titleCount() const;
    int chapterCount(int title) const;
    const Registers& registers() const;
    const Navigator* navigator() const { return nav_.get(); }

  private:
    // The result of a user operation: a prohibited one tells the owner.
    bool result(UopResult r);
    // After a jump: drop what the output holds and go on from the navigator's new place.
    void restartOutput();
    void startNavigator();
    bool showMenu(int menu);
    bool jump(UopResult r);
    void handle(const Event& e);
    // Shows a warning (and its second line) once per session and `key`.
    void warnOnce(const std::string& key, const char* first, const char* second);
    void playCell(const Event& e);
    const StreamAttributes* streamsOfDomain() const;
    int audioId() const;
    int subpictureId() const;
    bool subpicturesShown() const;
    void sendStreams();
    void sendButtons();

    PlayerOwner& owner_;
    MediaOutput& output_;
    std::unique_ptr<Disc> disc_;
    std::unique_ptr<Navigator> nav_;
    int state_ = kUninitialized;
    double rate_ = 1.0;
    bool stillOn_ = false;
    bool inMenu_ = false;
    PlayerLocation location_;
    bool navigatorStarted_ = false;
    int cellsAtOutput_ = 0;
    double now_ = 0;
    double stillEnds_ = -1;  // when a timed still ends; -1 none
    double cellStartSeconds_ = 0;
    int framesPerSecond_ = 30;
    long cellsSinceTitleOne_ = 1;
    bool startedWithoutCell_ = false;
    bool backwards_ = false;
    CellToPlay lastCell_;
    std::set<std::string> warned_;
};

}  // namespace navtab::navigator
