// Navtab's DVD navigator: a virtual machine that plays a folder's navigation without decoding a
// picture. It runs the PGC commands, plays programs and cells in their order, follows links,
// jumps and calls between the first-play PGC, the menus and the titles, shows menu buttons from
// the NAV packs and carries out the user operations a player offers, and tells all of it as
// events. Playback advances one step at a time; a still or a menu waits until the user acts.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <vector>

#include "navigator/command_executor.h"
#include "navigator/disc_model.h"
#include "navigator/navigator_events.h"
#include "navigator/player_state.h"
#include "navigator/vobu_source.h"

namespace navtab::navigator {

enum class Status : std::uint8_t {
    Running,  // step() goes on
    Still,    // a still picture waits for its end (stillOff)
    Menu,     // buttons wait for a selection or activation
    Stopped,
};

// The user operations, as bit numbers of the prohibited-operation masks.
enum Uop : int {
    kUopTimePlay = 0,
    kUopChapterPlay = 1,
    kUopTitlePlay = 2,
    kUopStop = 3,
    kUopGoUp = 4,
    kUopTopOrPrevProgram = 6,
    kUopNextProgram = 7,
    kUopForwardScan = 8,
    kUopBackwardScan = 9,
    kUopTitleMenu = 10,
    kUopRootMenu = 11,
    kUopSubpictureMenu = 12,
    kUopAudioMenu = 13,
    kUopAngleMenu = 14,
    kUopChapterMenu = 15,
    kUopResume = 16,
    kUopButton = 17,
    kUopStillOff = 18,
    kUopAudioChange = 20,
    kUopSubpictureChange = 21,
    kUopAngleChange = 22,
};

// Menu types as JumpSS, CallSS and the menu call operation name them.
enum MenuType : int {
    kTitleMenu = 2,
    kRootMenu = 3,
    kSubpictureMenu = 4,
    kAudioMenu = 5,
    kAngleMenu = 6,
    kChapterMenu = 7,
};

enum class Direction : std::uint8_t { Up, Down, Left, Right };

// How the result of a user operation reads.
enum class UopResult : std::uint8_t { Done, Prohibited, Impossible };

class Navigator {
  public:
    // Commands run without a cell being played before the loop guard stops playback.
    static constexpr long kCommandsWithoutProgress = 100000;

    // `guard` is the number of commands without a cell played that counts as a loop.
    explicit Navigator(const Disc& disc, std::uint32_t seed = 1,
                       long guard = kCommandsWithoutProgress);

    // Starts at the first-play PGC (or the title menu when there is none).
    void start();
    // Starts, then plays until the first cell has played: the first-play commands and whatever
    // they lead to have run, as on a player where the disc has just been loaded.
    void startAndSettle();
    // Does one unit of playback (enter a PGC, start a cell, play one of its VOBUs, end a cell or
    // a PGC).
    Status step();
    Status status() const { return status_; }

    // Events since the last take.
    std::vector<Event> takeEvents();
    // The menu language the player prefers (two ASCII letters); start() puts it in the menu
    // language register.
    void setMenuLanguage(std::uint16_t language) { menuLanguage_ = language; }
    // Asked when a command wants to change the parental level for this disc (SetTmpPML); the
    // level changes, and the command's jump is taken, only on a yes. Without a question the
    // player agrees.
    void setParentalQuestion(std::function<bool(int level)> ask) {
        executor_.acceptParentalLevel = std::move(ask);
    }
    // Adds a command event for every command run.
    void setTrace(bool on) { trace_ = on; }

    const Registers& registers() const { return regs_; }
    Registers& registers() { return regs_; }
    const Position& position() const { return pos_; }
    int title() const;
    // A cell has started and its VOBUs are being played, one a step.
    bool playingVobus() const { return action_ == Action::PlayVobu; }
    // The last VOBU of the cell has played; the next step ends the cell.
    bool atCellEnd() const { return action_ == Action::CellEnd; }
    int highlightedButton() const { return regs_.sprm[kHighlightedButton] >> 10; }
    int buttonCount() const { return static_cast<int>(buttons_.buttons.size()); }
    // The buttons of the menu on screen (none outside a menu).
    const Vobu& menuButtons() const { return buttons_; }
    // The PGC being played, or null.
    const Pgc* pgc() const { return currentPgc(); }
    const Disc& disc() const { return disc_; }
    // Whether the masks of the PGC and the VOBU on screen allow a user operation now.
    bool isAllowed(int uop) const { return allowed(uop); }

    // User operations.
    UopResult playTitle(int title);
    UopResult playPart(int title, int part);
    UopResult playChapter(int part);
    UopResult nextChapter();
    UopResult previousChapter();
    UopResult menuCall(int menu);
    UopResult resume();
    UopResult stop();
    UopResult stillOff();
    UopResult selectButton(int button);
    UopResult moveSelection(Direction d);
    UopResult activateButton();
    UopResult selectAudio(int stream);
    UopResult selectSubpicture(int stream);
    UopResult selectAngle(int angle);

  private:
    enum class Action : std::uint8_t { EnterPgc, PlayCell, PlayVobu, CellEnd, PgcEnd, None };

    // The PGC table of the current domain.
    const std::vector<PgcEntry>* pgcTable() const;
    const Pgc* currentPgc() const;
    VobGroup& vobsFor(Domain d, int titleSet);

    void post(EventKind kind);
    void warn(std::string_view text);
    void stopPlayback();
    void setDomain(Domain d, int titleSet);

    // Entering places: each sets the position and the next action, or warns and returns false.
    bool enterFirstPlay();
    bool enterMenu(Domain d, int titleSet, int menu);
    bool enterPgcNumber(int pgc, int program = 0);
    bool enterTitle(int title, int part);
    bool enterTitleSetPart(int vtsTitle, int part);
    std::optional<std::uint16_t> parentalAllowance(int titleSet) const;
    int parentalVersion(const std::vector<PgcEntry>& table, int pgc) const;
    void blockParental();
    void startProgram(int program);
    void startCell(int cell);

    void doEnterPgc();
    const Cell* cellPlaying();
    void doPlayCell();
    void doPlayVobu();
    void finishCell(const Cell& cell);
    void doCellEnd();
    void doPgcEnd();
    bool runCommands(const std::vector<navcmd::NavBytes>& commands);
    std::array<std::uint16_t, 3> streams() const;
    void noteStreams(const std::array<std::uint16_t, 3>& before);
    void chooseStreams(const Pgc& pgc);
    bool countDownTimer(unsigned seconds);
    bool applyLink(const navcmd::Instruction& in);
    bool linkSubset(int subset);
    bool callSystemSpace(const navcmd::Instruction& in, std::uint32_t resumeVobu = 0);
    bool doResume();
    bool linkPart(int part);

    int programOfCell(int cell) const;
    int nextProgram();
    void chooseProgramOrder();
    void noteChapter();
    void setButton(int button);
    void showButtons(const Vobu& v);
    std::uint32_t prohibited() const;
    bool allowed(int uop) const;
    UopResult runButton(int button);
    UopResult selectStream(int which, int number, int low, int high, int uop);

    const Disc& disc_;
    Registers regs_ = Registers::initial();
    std::mt19937 random_;
    CommandExecutor executor_;
    Position pos_;
    Resume resume_;
    Status status_ = Status::Stopped;
    Action action_ = Action::None;
    bool trace_ = false;
    std::uint16_t menuLanguage_ = languageCode('e', 'n');
    long guard_ = kCommandsWithoutProgress;
    long budget_ = kCommandsWithoutProgress;
    std::vector<Event> events_;

    // Playback order of programs under random and shuffle playback.
    std::vector<int> order_;
    std::size_t orderAt_ = 0;
    std::uint32_t vobuAt_ = 0;      // the next VOBU of the cell to play
    std::uint32_t playedVobu_ = 0;  // the VOBU played last, where a menu call resumes
    std::uint32_t resumeVobu_ = 0;  // where the cell about to play starts, when resumed
    bool cellStillDone_ = false;
    bool pgcStillDone_ = false;
    bool menuAnswered_ = false;
    Vobu buttons_;  // the highlight information of the last VOBU with buttons
    std::uint32_t vobuUops_ = 0;
    int shownPart_ = 0;
    int shownTitle_ = 0;
    Domain shownDomain_ = Domain::FirstPlay;
    int shownTitleSet_ = -1;

    VobGroup vmgVobs_;
    std::vector<VobGroup> menuVobs_, titleVobs_;
};

}  // namespace navtab::navigator
