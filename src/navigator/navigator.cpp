#include "navigator/navigator.h"

#include <algorithm>
#include <numeric>

#include "core/bcd_frames.h"
#include "navcmd/nav_command.h"

namespace navtab::navigator {

using navcmd::Flow;
using navcmd::Instruction;

std::string_view eventName(EventKind kind) {
    static constexpr std::string_view names[] = {"domain", "title",   "chapter",   "cell",
                                                 "vobu",   "still",   "highlight", "stream",
                                                 "stop",   "warning", "error",     "command"};
    return names[static_cast<int>(kind)];
}

Navigator::Navigator(const Disc& disc, std::uint32_t seed, long guard)
    : disc_(disc), random_(seed), executor_(regs_, random_), guard_(guard), budget_(guard) {
    if (disc.menuVob) vmgVobs_ = VobGroup({*disc.menuVob});
    for (const TitleSet& ts : disc.titleSets) {
        menuVobs_.emplace_back(ts.menuVob ? std::vector<std::string>{*ts.menuVob}
                                          : std::vector<std::string>{});
        titleVobs_.emplace_back(ts.titleVobs);
    }
    executor_.trace = [this](const navcmd::NavBytes& c, const std::vector<RegisterChange>& ch) {
        if (!trace_) return;
        post(EventKind::Command);
        events_.back().text = DecodeNavCommand(c.data());
        events_.back().registers = registerChangesText(ch);
    };
}

// ---- Events and small helpers ------------------------------------------------------------

int Navigator::title() const {
    return pos_.domain == Domain::Title ? regs_.sprm[kTitleNumber] : 0;
}

void Navigator::post(EventKind kind) {
    Event e;
    e.kind = kind;
    e.domain = pos_.domain;
    e.titleSet = pos_.titleSet;
    e.title = title();
    e.pgc = pos_.pgc;
    e.cell = pos_.cell;
    e.part = pos_.domain == Domain::Title ? regs_.sprm[kPartNumber] : 0;
    e.button = highlightedButton();
    events_.push_back(std::move(e));
}

void Navigator::warn(std::string_view text) {
    post(EventKind::Warning);
    events_.back().text = std::string(text);
}

std::vector<Event> Navigator::takeEvents() {
    std::vector<Event> out;
    out.swap(events_);
    return out;
}

void Navigator::stopPlayback() {
    if (status_ == Status::Stopped && action_ == Action::None) return;
    status_ = Status::Stopped;
    action_ = Action::None;
    post(EventKind::Stop);
}

// The language unit the menu language register chooses, else the first.
namespace {
int languageUnit(const std::vector<MenuLanguage>& units, std::uint16_t language) {
    for (std::size_t i = 0; i < units.size(); ++i)
        if (units[i].language == language) return static_cast<int>(i);
    return 0;
}
}  // namespace

void Navigator::setDomain(Domain d, int titleSet) {
    pos_.domain = d;
    pos_.titleSet = titleSet;
    pos_.pgc = pos_.program = pos_.cell = 0;
    if (d != shownDomain_ || titleSet != shownTitleSet_) {
        shownDomain_ = d;
        shownTitleSet_ = titleSet;
        shownPart_ = 0;
        buttons_ = Vobu{};
        post(EventKind::Domain);
    }
    if (d != Domain::Title) shownTitle_ = 0;
    // A menu domain plays the language unit of the menu language register, however its PGC is
    // reached (a menu jump, a PGC number, a resume).
    if (d == Domain::VmgMenu) pos_.language = languageUnit(disc_.menus, regs_.sprm[kMenuLanguage]);
    if (d == Domain::VtsMenu && titleSet >= 1 &&
        titleSet <= static_cast<int>(disc_.titleSets.size()))
        pos_.language =
            languageUnit(disc_.titleSets[titleSet - 1].menus, regs_.sprm[kMenuLanguage]);
}

const std::vector<PgcEntry>* Navigator::pgcTable() const {
    const auto menuUnit =
        [&](const std::vector<MenuLanguage>& units) -> const std::vector<PgcEntry>* {
        if (units.empty()) return nullptr;
        const std::size_t i = std::min<std::size_t>(pos_.language, units.size() - 1);
        return &units[i].pgcs;
    };
    const TitleSet* ts =
        pos_.titleSet >= 1 && pos_.titleSet <= static_cast<int>(disc_.titleSets.size())
            ? &disc_.titleSets[pos_.titleSet - 1]
            : nullptr;
    switch (pos_.domain) {
        case Domain::FirstPlay:
            return nullptr;
        case Domain::VmgMenu:
            return menuUnit(disc_.menus);
        case Domain::VtsMenu:
            return ts ? menuUnit(ts->menus) : nullptr;
        case Domain::Title:
            return ts ? &ts->titlePgcs : nullptr;
    }
    return nullptr;
}

const Pgc* Navigator::currentPgc() const {
    if (pos_.domain == Domain::FirstPlay) return disc_.firstPlay ? &*disc_.firstPlay : nullptr;
    const auto* table = pgcTable();
    if (!table || pos_.pgc < 1 || pos_.pgc > static_cast<int>(table->size())) return nullptr;
    return &(*table)[pos_.pgc - 1].pgc;
}

VobGroup& Navigator::vobsFor(Domain d, int titleSet) {
    static VobGroup none;
    if (d == Domain::FirstPlay || d == Domain::VmgMenu) return vmgVobs_;
    if (titleSet < 1 || titleSet > static_cast<int>(menuVobs_.size())) return none;
    return d == Domain::VtsMenu ? menuVobs_[titleSet - 1] : titleVobs_[titleSet - 1];
}

// ---- Entering places ------------------------------------------------------------------------

void Navigator::start() {
    regs_ = Registers::initial();
    regs_.sprm[kMenuLanguage] = menuLanguage_;
    resume_ = Resume{};
    events_.clear();
    status_ = Status::Running;
    shownTitleSet_ = -1;
    for (const std::string& p : disc_.problems) {
        post(EventKind::Error);
        events_.back().text = p;
    }
    if (!enterFirstPlay() && !enterMenu(Domain::VmgMenu, 0, kTitleMenu) && !enterTitle(1, 1))
        stopPlayback();
}

void Navigator::startAndSettle() {
    start();
    for (int guard = 0; guard < 1000; ++guard) {
        const bool cell = std::any_of(events_.begin(), events_.end(),
                                      [](const Event& e) { return e.kind == EventKind::Cell; });
        if (cell || status_ == Status::Stopped) return;
        if (status_ == Status::Still) stillOff();
        if (step() == Status::Menu) return;
    }
}

bool Navigator::enterFirstPlay() {
    if (!disc_.firstPlay) return false;
    setDomain(Domain::FirstPlay, 0);
    pos_.pgc = 0;
    action_ = Action::EnterPgc;
    return true;
}

bool Navigator::enterMenu(Domain d, int titleSet, int menu) {
    const std::vector<MenuLanguage>* units = nullptr;
    if (d == Domain::VmgMenu)
        units = &disc_.menus;
    else if (titleSet >= 1 && titleSet <= static_cast<int>(disc_.titleSets.size()))
        units = &disc_.titleSets[titleSet - 1].menus;
    if (!units || units->empty()) return false;
    const int unit = languageUnit(*units, regs_.sprm[kMenuLanguage]);
    const auto& pgcs = (*units)[unit].pgcs;
    for (std::size_t i = 0; i < pgcs.size(); ++i) {
        if ((pgcs[i].category & kMenuEntryFlag) && (pgcs[i].category & 0x0F) == menu) {
            setDomain(d, titleSet);
            pos_.language = unit;
            return enterPgcNumber(static_cast<int>(i) + 1);
        }
    }
    return false;
}

bool Navigator::enterPgcNumber(int pgc, int program) {
    const auto* table = pgcTable();
    if (pos_.domain == Domain::FirstPlay || !table || pgc < 1 ||
        pgc > static_cast<int>(table->size()))
        return false;
    if (pos_.domain == Domain::Title) {
        pgc = parentalVersion(*table, pgc);
        if (pgc == 0) {
            blockParental();
            return true;
        }
    }
    pos_.pgc = pgc;
    pos_.program = program;
    if (pos_.domain == Domain::Title) regs_.sprm[kTitlePgc] = static_cast<std::uint16_t>(pgc);
    action_ = Action::EnterPgc;
    return true;
}

bool Navigator::enterTitle(int title, int part) {
    if (title < 1 || title > static_cast<int>(disc_.titles.size())) return false;
    const Title& t = disc_.titles[title - 1];
    if (t.titleSet < 1 || t.titleSet > static_cast<int>(disc_.titleSets.size())) return false;
    const auto& parts = disc_.titleSets[t.titleSet - 1].parts;
    if (t.titleSetTitle < 1 || t.titleSetTitle > static_cast<int>(parts.size())) return false;
    const auto& list = parts[t.titleSetTitle - 1];
    if (part < 1 || part > static_cast<int>(list.size())) return false;
    if (const auto allowed = parentalAllowance(t.titleSet);
        allowed && t.parentalMask != 0 && (t.parentalMask & *allowed) == 0) {
        blockParental();
        return true;
    }
    regs_.sprm[kTitleNumber] = static_cast<std::uint16_t>(title);
    regs_.sprm[kVtsTitleNumber] = static_cast<std::uint16_t>(t.titleSetTitle);
    regs_.sprm[kPartNumber] = static_cast<std::uint16_t>(part);
    setDomain(Domain::Title, t.titleSet);
    if (shownTitle_ != title) {
        shownTitle_ = title;
        shownPart_ = 0;
        post(EventKind::Title);
    }
    return enterPgcNumber(list[part - 1].pgc, list[part - 1].program);
}

// The parental IDs the player's level (1 to 8) allows in a title set, by the disc's table for the
// player's country; nullopt when no limit applies (level 15 is "off").
std::optional<std::uint16_t> Navigator::parentalAllowance(int titleSet) const {
    const int level = regs_.sprm[kParentalLevel];
    if (level < 1 || level > 8) return std::nullopt;
    return ParentalAllowance(disc_.parentalTable, regs_.sprm[kParentalCountry], level, titleSet);
}

// A title may hold one PGC per parental version of its story; the player plays the one its level
// allows: a PGC whose parental IDs the level does not allow gives way to a PGC of the same title
// that it does. 0 when the level allows none.
int Navigator::parentalVersion(const std::vector<PgcEntry>& table, int pgc) const {
    const auto allowed = parentalAllowance(pos_.titleSet);
    const auto plays = [&](const PgcEntry& e) {
        return !allowed || e.parentalMask == 0 || (e.parentalMask & *allowed) != 0;
    };
    if (plays(table[pgc - 1])) return pgc;
    const int title = table[pgc - 1].category & 0x7F;
    for (std::size_t i = 0; i < table.size(); ++i)
        if ((table[i].category & 0x7F) == title && plays(table[i])) return static_cast<int>(i) + 1;
    return 0;
}

void Navigator::blockParental() {
    post(EventKind::Error);
    events_.back().text = kParentalTooLowText;
    stopPlayback();
}

// The disc title that plays title `vtsTitle` of the current title set.
bool Navigator::enterTitleSetPart(int vtsTitle, int part) {
    for (std::size_t i = 0; i < disc_.titles.size(); ++i)
        if (disc_.titles[i].titleSet == pos_.titleSet && disc_.titles[i].titleSetTitle == vtsTitle)
            return enterTitle(static_cast<int>(i) + 1, part);
    return false;
}

// ---- Stepping -------------------------------------------------------------------------------

Status Navigator::step() {
    if (status_ != Status::Running) return status_;
    switch (action_) {
        case Action::EnterPgc:
            doEnterPgc();
            break;
        case Action::PlayCell:
            doPlayCell();
            break;
        case Action::PlayVobu:
            doPlayVobu();
            break;
        case Action::CellEnd:
            doCellEnd();
            break;
        case Action::PgcEnd:
            doPgcEnd();
            break;
        case Action::None:
            stopPlayback();
            break;
    }
    if (budget_ <= 0 && status_ != Status::Stopped) {
        warn(kIllegalCommandText);
        stopPlayback();
    }
    return status_;
}

// Runs commands; true when they linked (and the link was carried out).
void Navigator::noteStreams(const std::array<std::uint16_t, 3>& before) {
    static constexpr const char* kinds[] = {"audio", "sub-picture", "angle"};
    for (int i = 0; i < 3; ++i) {
        const std::uint16_t now = regs_.sprm[kAudioStream + i];
        if (now == before[i]) continue;
        post(EventKind::Stream);
        events_.back().text = std::string(kinds[i]) + " " + std::to_string(now);
    }
}

std::array<std::uint16_t, 3> Navigator::streams() const {
    return {regs_.sprm[kAudioStream], regs_.sprm[kSubpictureStream], regs_.sprm[kAngle]};
}

// At the start of a title PGC the stream registers must name streams the PGC has: an audio
// stream whose control word is not marked available gives way to the first available one, and
// so does a sub-picture stream (its display flag, bit 6, is kept).
void Navigator::chooseStreams(const Pgc& pgc) {
    if (pos_.domain != Domain::Title) return;
    const auto audioOk = [&](int n) { return n < 8 && (pgc.audioControl[n] & 0x8000) != 0; };
    if (!audioOk(regs_.sprm[kAudioStream])) {
        for (int n = 0; n < 8; ++n)
            if (audioOk(n)) {
                regs_.sprm[kAudioStream] = static_cast<std::uint16_t>(n);
                break;
            }
    }
    const auto subpOk = [&](int n) { return n < 32 && (pgc.subpictureControl[n] & 0x80000000u); };
    const int subp = regs_.sprm[kSubpictureStream] & 0x3F;
    if (subp < 32 && !subpOk(subp)) {
        for (int n = 0; n < 32; ++n)
            if (subpOk(n)) {
                regs_.sprm[kSubpictureStream] =
                    static_cast<std::uint16_t>((regs_.sprm[kSubpictureStream] & 0x40) | n);
                break;
            }
    }
}

// The navigation timer counts down with playback; at 0 a title jumps to the PGC it names.
bool Navigator::countDownTimer(unsigned seconds) {
    std::uint16_t& timer = regs_.sprm[kNavTimer];
    if (timer == 0 || seconds == 0) return false;
    timer = static_cast<std::uint16_t>(timer > seconds ? timer - seconds : 0);
    if (timer != 0 || pos_.domain != Domain::Title || regs_.sprm[kNavTimerPgc] == 0) return false;
    return enterPgcNumber(regs_.sprm[kNavTimerPgc]);
}

bool Navigator::runCommands(const std::vector<navcmd::NavBytes>& commands) {
    const auto before = streams();
    const ExecutionResult r = executor_.run(commands, 0, budget_);
    noteStreams(before);
    if (r.exhausted || !r.linked) return false;
    if (applyLink(r.link)) return true;
    warn(kIllegalCommandText);
    return false;
}

void Navigator::doEnterPgc() {
    // Entering a PGC counts against the loop guard, so that PGCs that link to each other
    // without commands or cells stop too.
    --budget_;
    const Pgc* pgc = currentPgc();
    if (!pgc) {
        warn(kIllegalCommandText);
        stopPlayback();
        return;
    }
    const int program = pos_.program;
    cellStillDone_ = pgcStillDone_ = false;
    order_.clear();
    orderAt_ = 0;
    action_ = Action::None;
    if (runCommands(pgc->pre)) return;
    if (status_ == Status::Stopped) return;
    const auto before = streams();
    chooseStreams(*pgc);
    noteStreams(before);
    if (pgc->cells.empty() || pgc->programMap.empty()) {
        action_ = Action::PgcEnd;
        return;
    }
    // Random and shuffle PGCs choose their order when they start from the top (a title's first
    // part names program 1); a link to a later program plays on from there in order.
    if (pgc->playbackMode != 0 && program <= 1) {
        chooseProgramOrder();
        startProgram(nextProgram());
        return;
    }
    startProgram(std::max(program, 1));
}

void Navigator::chooseProgramOrder() {
    const Pgc* pgc = currentPgc();
    const int programs = static_cast<int>(pgc->programMap.size());
    const int count = (pgc->playbackMode & 0x7F) + 1;
    order_.clear();
    orderAt_ = 0;
    if (pgc->playbackMode & 0x80) {
        // Shuffle: each program at most once.
        std::vector<int> all(programs);
        std::iota(all.begin(), all.end(), 1);
        std::shuffle(all.begin(), all.end(), random_);
        all.resize(std::min(programs, count));
        order_ = all;
    } else {
        for (int i = 0; i < count; ++i)
            order_.push_back(1 + static_cast<int>(random_() % static_cast<unsigned>(programs)));
    }
}

// The next program of the random or shuffle order; 0 when it is played out.
int Navigator::nextProgram() {
    if (orderAt_ >= order_.size()) return 0;
    return order_[orderAt_++];
}

void Navigator::startProgram(int program) {
    const Pgc* pgc = currentPgc();
    if (!pgc || program < 1 || program > static_cast<int>(pgc->programMap.size())) {
        action_ = Action::PgcEnd;
        return;
    }
    pos_.program = program;
    startCell(pgc->programMap[program - 1]);
}

void Navigator::startCell(int cell) {
    const Pgc* pgc = currentPgc();
    if (!pgc || cell < 1 || cell > static_cast<int>(pgc->cells.size())) {
        action_ = Action::PgcEnd;
        return;
    }
    // In an angle block the cell of the chosen angle plays.
    const auto& cells = pgc->cells;
    if (cells[cell - 1].inAngleBlock() && cells[cell - 1].blockMode() != 0) {
        int first = cell;
        while (first > 1 && cells[first - 1].blockMode() != 1 && cells[first - 2].inAngleBlock())
            --first;
        int last = first;
        while (last < static_cast<int>(cells.size()) && cells[last - 1].blockMode() != 3) ++last;
        cell = std::min(first + std::max(1, int{regs_.sprm[kAngle]}) - 1, last);
    }
    pos_.cell = cell;
    pos_.program = std::max(pos_.program, 1);
    if (pos_.program > static_cast<int>(pgc->programMap.size()) ||
        programOfCell(cell) != pos_.program)
        pos_.program = programOfCell(cell);
    cellStillDone_ = false;
    playedVobu_ = resumeVobu_ = 0;
    action_ = Action::PlayCell;
}

int Navigator::programOfCell(int cell) const {
    const Pgc* pgc = currentPgc();
    int program = 1;
    if (!pgc) return program;
    for (std::size_t p = 0; p < pgc->programMap.size(); ++p)
        if (pgc->programMap[p] <= cell) program = static_cast<int>(p) + 1;
    return program;
}

void Navigator::noteChapter() {
    if (pos_.domain != Domain::Title) return;
    const Title& t = disc_.titles[regs_.sprm[kTitleNumber] - 1];
    const auto& parts = disc_.titleSets[t.titleSet - 1].parts[t.titleSetTitle - 1];
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (parts[i].pgc == pos_.pgc && parts[i].program == pos_.program) {
            regs_.sprm[kPartNumber] = static_cast<std::uint16_t>(i + 1);
            if (shownPart_ != static_cast<int>(i) + 1) {
                shownPart_ = static_cast<int>(i) + 1;
                post(EventKind::Chapter);
            }
            return;
        }
    }
}

void Navigator::setButton(int button) {
    if (button < 1 || button == highlightedButton()) return;
    regs_.sprm[kHighlightedButton] = static_cast<std::uint16_t>(button << 10);
    if (!buttons_.buttons.empty()) post(EventKind::Highlight);
}

void Navigator::showButtons(const Vobu& v) {
    const bool had = !buttons_.buttons.empty();
    buttons_ = v;
    const int count = buttonCount();
    int button = highlightedButton();
    if (v.forcedSelect != 0) button = v.forcedSelect;
    if (button < 1 || button > count) button = 1;
    regs_.sprm[kHighlightedButton] = static_cast<std::uint16_t>(button << 10);
    if (!had) post(EventKind::Highlight);
}

// The cell at the position; none (and the PGC ends) when the position names no cell.
const Cell* Navigator::cellPlaying() {
    const Pgc* pgc = currentPgc();
    if (!pgc || pos_.cell < 1 || pos_.cell > static_cast<int>(pgc->cells.size())) {
        action_ = Action::PgcEnd;
        return nullptr;
    }
    return &pgc->cells[pos_.cell - 1];
}

void Navigator::doPlayCell() {
    const Cell* playing = cellPlaying();
    if (!playing) return;
    const Cell& cell = *playing;
    budget_ = guard_;  // a cell plays: that is progress
    noteChapter();
    // A resume starts at the VOBU that played when the menu was called.
    const std::uint32_t start =
        resumeVobu_ > cell.first && resumeVobu_ <= cell.last ? resumeVobu_ : cell.first;
    resumeVobu_ = 0;
    post(EventKind::Cell);
    events_.back().first = start;
    events_.back().last = cell.last;
    menuAnswered_ = false;
    if (pos_.domain == Domain::Title || buttons_.highlightStatus == 0) buttons_ = Vobu{};
    vobuAt_ = start;
    action_ = Action::PlayVobu;
}

// One VOBU of the cell, found through the previous NAV pack's pointer to the next. Its NAV pack
// brings the buttons and the operations the VOBU forbids.
void Navigator::doPlayVobu() {
    const Cell* playing = cellPlaying();
    if (!playing) return;
    const Cell& cell = *playing;
    const std::uint32_t at = vobuAt_;
    std::array<std::uint8_t, 2048> sector{};
    std::string error;
    bool last = true;
    if (vobsFor(pos_.domain, pos_.titleSet).read(at, sector, error)) {
        const Vobu v = ParseNavPack(sector.data(), at);
        // Pointers run forward only; one that goes back or leaves the cell ends it.
        last = v.next <= at || v.next > cell.last;
        post(EventKind::Vobu);
        events_.back().first = at;
        events_.back().last = last ? std::max(cell.last, at) : v.next - 1;
        playedVobu_ = at;
        vobuUops_ = v.prohibitedUops;
        if (v.highlightStatus != 0 && !v.buttons.empty()) showButtons(v);
        vobuAt_ = v.next;
    } else {
        post(EventKind::Error);
        events_.back().text = error;
    }
    if (last) finishCell(cell);
}

// The cell has played: its time counts, and a menu waits for its buttons.
void Navigator::finishCell(const Cell& cell) {
    const unsigned seconds = bcdTimeToFrames(cell.playbackTime) /
                             frameRateOf(static_cast<std::uint8_t>(cell.playbackTime & 0xFF));
    regs_.advanceSeconds(seconds);
    action_ = Action::CellEnd;
    if (countDownTimer(seconds)) return;
    if (!buttons_.buttons.empty()) {
        if (buttons_.forcedActivate != 0) {
            runButton(buttons_.forcedActivate);
            return;
        }
        status_ = Status::Menu;
    }
}

void Navigator::doCellEnd() {
    const Pgc* pgc = currentPgc();
    if (!pgc || pos_.cell < 1 || pos_.cell > static_cast<int>(pgc->cells.size())) {
        action_ = Action::PgcEnd;
        return;
    }
    const Cell& cell = pgc->cells[pos_.cell - 1];
    if (cell.stillTime() != 0 && !cellStillDone_) {
        cellStillDone_ = true;
        status_ = Status::Still;
        post(EventKind::Still);
        events_.back().still = cell.stillTime();
        return;
    }
    if (const int n = cell.command(); n >= 1 && n <= static_cast<int>(pgc->cellCommands.size())) {
        const std::vector<navcmd::NavBytes> one{pgc->cellCommands[n - 1]};
        if (runCommands(one)) return;
        if (status_ == Status::Stopped) return;
    }
    // The next cell: past an angle block as a whole.
    int next = pos_.cell + 1;
    if (cell.inAngleBlock() && cell.blockMode() != 0)
        while (next <= static_cast<int>(pgc->cells.size()) &&
               pgc->cells[next - 2].blockMode() != 3 && pgc->cells[next - 1].inAngleBlock())
            ++next;
    if (!order_.empty()) {
        // Random and shuffle play whole programs: on to the next one at a program's end.
        if (next <= static_cast<int>(pgc->cells.size()) && programOfCell(next) == pos_.program) {
            startCell(next);
            return;
        }
        const int program = nextProgram();
        if (program == 0)
            action_ = Action::PgcEnd;
        else
            startProgram(program);
        return;
    }
    if (next > static_cast<int>(pgc->cells.size())) {
        action_ = Action::PgcEnd;
        return;
    }
    startCell(next);
}

void Navigator::doPgcEnd() {
    const Pgc* pgc = currentPgc();
    if (!pgc) {
        stopPlayback();
        return;
    }
    if (pgc->stillTime != 0 && !pgcStillDone_) {
        pgcStillDone_ = true;
        status_ = Status::Still;
        post(EventKind::Still);
        events_.back().still = pgc->stillTime;
        return;
    }
    action_ = Action::None;
    if (runCommands(pgc->post)) return;
    if (status_ == Status::Stopped) return;
    if (pgc->nextPgc != 0 && pos_.domain != Domain::FirstPlay && enterPgcNumber(pgc->nextPgc))
        return;
    stopPlayback();
}

// ---- Links, jumps and calls ---------------------------------------------------------------

bool Navigator::linkSubset(int subset) {
    const Pgc* pgc = currentPgc();
    if (!pgc) return false;
    switch (subset) {
        case navcmd::kLinkTopCell:
            startCell(pos_.cell);
            return true;
        case navcmd::kLinkNextCell:
            startCell(pos_.cell + 1);
            return true;
        case navcmd::kLinkPrevCell:
            startCell(std::max(1, pos_.cell - 1));
            return true;
        case navcmd::kLinkTopPg:
            startProgram(std::max(1, pos_.program));
            return true;
        case navcmd::kLinkNextPg:
            startProgram(pos_.program + 1);
            return true;
        case navcmd::kLinkPrevPg:
            startProgram(std::max(1, pos_.program - 1));
            return true;
        case navcmd::kLinkTopPgc:
            pos_.program = 0;
            action_ = Action::EnterPgc;
            return true;
        case navcmd::kLinkNextPgc:
            return enterPgcNumber(pgc->nextPgc);
        case navcmd::kLinkPrevPgc:
            return enterPgcNumber(pgc->prevPgc);
        case navcmd::kLinkGoUpPgc:
            return enterPgcNumber(pgc->upPgc);
        case navcmd::kLinkTailPgc:
            action_ = Action::PgcEnd;
            pgcStillDone_ = false;
            return true;
        case navcmd::kLinkResume:
            return doResume();
        default:
            return false;
    }
}

// A part in the PGC being played starts at its program, without the pre-commands; a part in
// another PGC starts that PGC.
bool Navigator::linkPart(int part) {
    const int t = regs_.sprm[kTitleNumber];
    if (t < 1 || t > static_cast<int>(disc_.titles.size())) return false;
    const Title& title = disc_.titles[t - 1];
    const auto& parts = disc_.titleSets[title.titleSet - 1].parts[title.titleSetTitle - 1];
    if (part < 1 || part > static_cast<int>(parts.size())) return false;
    const Part& p = parts[part - 1];
    if (p.pgc != pos_.pgc) return enterTitle(t, part);
    const Pgc* pgc = currentPgc();
    if (!pgc || p.program < 1 || p.program > pgc->programMap.size()) return false;
    startProgram(p.program);
    return true;
}

bool Navigator::doResume() {
    if (!resume_.valid) return false;
    const Resume r = resume_;
    resume_.valid = false;
    for (int i = 0; i < 5; ++i) regs_.sprm[kTitleNumber + i] = r.sprm[i];
    setDomain(Domain::Title, r.position.titleSet);
    shownTitle_ = regs_.sprm[kTitleNumber];
    pos_.pgc = r.position.pgc;
    if (r.cell == 0) {
        pos_.program = 0;
        action_ = Action::EnterPgc;
        return currentPgc() != nullptr;
    }
    pos_.program = r.position.program;
    startCell(r.cell);
    resumeVobu_ = r.vobu;
    return true;
}

bool Navigator::callSystemSpace(const Instruction& in, std::uint32_t resumeVobu) {
    // Calls are made from titles; the resume information keeps where.
    if (pos_.domain != Domain::Title) return false;
    Resume r;
    r.valid = true;
    r.position = pos_;
    r.cell = in.resumeCell;
    r.vobu = resumeVobu;
    for (int i = 0; i < 5; ++i) r.sprm[i] = regs_.sprm[kTitleNumber + i];
    const Position was = pos_;
    bool ok = false;
    switch (in.systemDomain) {
        case navcmd::kSsFirstPlay:
            ok = enterFirstPlay();
            break;
        case navcmd::kSsVmgMenu:
            ok = enterMenu(Domain::VmgMenu, 0, in.menu);
            break;
        case navcmd::kSsVtsMenu:
            ok = enterMenu(Domain::VtsMenu, was.titleSet, in.menu);
            break;
        default:
            setDomain(Domain::VmgMenu, 0);
            ok = enterPgcNumber(in.pgc & 0x7FFF);
            break;
    }
    if (ok) resume_ = r;
    return ok;
}

bool Navigator::applyLink(const Instruction& in) {
    if (in.button != 0 && in.flow != Flow::LinkPgcn)
        regs_.sprm[kHighlightedButton] = static_cast<std::uint16_t>(in.button << 10);
    switch (in.flow) {
        case Flow::LinkSubset:
            return linkSubset(in.subset);
        case Flow::LinkPgcn:
            return enterPgcNumber(in.pgc & 0x7FFF);
        case Flow::LinkPttn:
            return pos_.domain == Domain::Title && linkPart(in.part);
        case Flow::LinkPgn:
            if (!currentPgc() || in.program < 1 ||
                in.program > static_cast<int>(currentPgc()->programMap.size()))
                return false;
            startProgram(in.program);
            return true;
        case Flow::LinkCn:
            if (!currentPgc() || in.cell < 1 ||
                in.cell > static_cast<int>(currentPgc()->cells.size()))
                return false;
            startCell(in.cell);
            return true;
        case Flow::Exit:
            stopPlayback();
            return true;
        case Flow::JumpTT:
            return enterTitle(in.title, 1);
        case Flow::JumpVtsTT:
            return pos_.domain != Domain::VmgMenu && pos_.domain != Domain::FirstPlay &&
                   enterTitleSetPart(in.title, 1);
        case Flow::JumpVtsPtt:
            return pos_.domain != Domain::VmgMenu && pos_.domain != Domain::FirstPlay &&
                   enterTitleSetPart(in.title, in.part);
        case Flow::JumpSS:
            switch (in.systemDomain) {
                case navcmd::kSsFirstPlay:
                    return enterFirstPlay();
                case navcmd::kSsVmgMenu:
                    return enterMenu(Domain::VmgMenu, 0, in.menu);
                case navcmd::kSsVtsMenu: {
                    // The title set's title number is kept for the menu to read.
                    if (!enterMenu(Domain::VtsMenu, in.titleSet, in.menu)) return false;
                    regs_.sprm[kVtsTitleNumber] = static_cast<std::uint16_t>(in.title);
                    for (std::size_t i = 0; i < disc_.titles.size(); ++i)
                        if (disc_.titles[i].titleSet == in.titleSet &&
                            disc_.titles[i].titleSetTitle == in.title)
                            regs_.sprm[kTitleNumber] = static_cast<std::uint16_t>(i + 1);
                    return true;
                }
                default: {
                    const Position was = pos_;
                    setDomain(Domain::VmgMenu, 0);
                    if (enterPgcNumber(in.pgc & 0x7FFF)) return true;
                    setDomain(was.domain, was.titleSet);
                    pos_ = was;
                    return false;
                }
            }
        case Flow::CallSS:
            return callSystemSpace(in);
        default:
            return false;
    }
}

// ---- User operations -----------------------------------------------------------------------

std::uint32_t Navigator::prohibited() const {
    const Pgc* pgc = currentPgc();
    std::uint32_t mask = (pgc ? pgc->prohibitedUops : 0) | vobuUops_;
    if (pos_.domain == Domain::Title) {
        const int t = regs_.sprm[kTitleNumber];
        if (t >= 1 && t <= static_cast<int>(disc_.titles.size())) {
            const std::uint8_t type = disc_.titles[t - 1].playbackType;
            if (type & 0x02) mask |= 1u << kUopChapterPlay;
            if (type & 0x01) mask |= 1u << kUopTimePlay;
        }
    }
    return mask;
}

bool Navigator::allowed(int uop) const {
    return status_ != Status::Stopped ? (prohibited() & (1u << uop)) == 0 : true;
}

UopResult Navigator::playTitle(int title) {
    return playPart(title, 1);
}

UopResult Navigator::playPart(int title, int part) {
    if (!allowed(part == 1 ? kUopTitlePlay : kUopChapterPlay)) return UopResult::Prohibited;
    const Position was = pos_;
    if (!enterTitle(title, part)) {
        pos_ = was;
        return UopResult::Impossible;
    }
    if (action_ != Action::None) status_ = Status::Running;  // not blocked
    budget_ = guard_;
    return UopResult::Done;
}

UopResult Navigator::playChapter(int part) {
    if (pos_.domain != Domain::Title) return UopResult::Impossible;
    if (!allowed(kUopChapterPlay)) return UopResult::Prohibited;
    if (!enterTitleSetPart(regs_.sprm[kVtsTitleNumber], part)) return UopResult::Impossible;
    if (action_ != Action::None) status_ = Status::Running;  // not blocked
    return UopResult::Done;
}

UopResult Navigator::nextChapter() {
    if (pos_.domain != Domain::Title) return UopResult::Impossible;
    if (!allowed(kUopNextProgram)) return UopResult::Prohibited;
    const Pgc* pgc = currentPgc();
    if (!pgc || pos_.program >= static_cast<int>(pgc->programMap.size())) {
        // Past the last program: the next part of the title, when it is in another PGC.
        if (enterTitleSetPart(regs_.sprm[kVtsTitleNumber], regs_.sprm[kPartNumber] + 1)) {
            status_ = Status::Running;
            return UopResult::Done;
        }
        return UopResult::Impossible;
    }
    startProgram(pos_.program + 1);
    status_ = Status::Running;
    return UopResult::Done;
}

UopResult Navigator::previousChapter() {
    if (pos_.domain != Domain::Title) return UopResult::Impossible;
    if (!allowed(kUopTopOrPrevProgram)) return UopResult::Prohibited;
    if (pos_.program <= 1) {
        if (regs_.sprm[kPartNumber] > 1 &&
            enterTitleSetPart(regs_.sprm[kVtsTitleNumber], regs_.sprm[kPartNumber] - 1)) {
            status_ = Status::Running;
            return UopResult::Done;
        }
        startProgram(1);
    } else {
        startProgram(pos_.program - 1);
    }
    status_ = Status::Running;
    return UopResult::Done;
}

UopResult Navigator::menuCall(int menu) {
    static constexpr int uops[] = {0,
                                   0,
                                   kUopTitleMenu,
                                   kUopRootMenu,
                                   kUopSubpictureMenu,
                                   kUopAudioMenu,
                                   kUopAngleMenu,
                                   kUopChapterMenu};
    if (menu < kTitleMenu || menu > kChapterMenu) return UopResult::Impossible;
    if (!allowed(uops[menu])) return UopResult::Prohibited;
    // From a title the call keeps where to resume; the title menu is the video manager's, the
    // others the title set's.
    Instruction call;
    call.flow = Flow::CallSS;
    call.systemDomain = menu == kTitleMenu ? navcmd::kSsVmgMenu : navcmd::kSsVtsMenu;
    call.menu = menu;
    call.resumeCell = pos_.cell;
    bool ok;
    if (pos_.domain == Domain::Title) {
        // A player resumes at the VOBU it was showing.
        ok = callSystemSpace(call, playedVobu_);
    } else if (menu == kTitleMenu) {
        ok = enterMenu(Domain::VmgMenu, 0, menu);
    } else {
        // Outside a title set (first play, the video manager's menus) the menus of title set 1
        // answer, as a remote control's menu button does.
        ok = enterMenu(Domain::VtsMenu, std::max(pos_.titleSet, 1), menu);
    }
    if (!ok) return UopResult::Impossible;
    status_ = Status::Running;
    budget_ = guard_;
    return UopResult::Done;
}

UopResult Navigator::resume() {
    if (!allowed(kUopResume)) return UopResult::Prohibited;
    if (!doResume()) return UopResult::Impossible;
    status_ = Status::Running;
    return UopResult::Done;
}

UopResult Navigator::stop() {
    if (!allowed(kUopStop)) return UopResult::Prohibited;
    stopPlayback();
    return UopResult::Done;
}

UopResult Navigator::stillOff() {
    if (status_ != Status::Still && status_ != Status::Menu) return UopResult::Impossible;
    if (status_ == Status::Still && !allowed(kUopStillOff)) return UopResult::Prohibited;
    if (status_ == Status::Still) {
        post(EventKind::Still);
        events_.back().still = 0;
    }
    status_ = Status::Running;
    return UopResult::Done;
}

UopResult Navigator::selectButton(int button) {
    if (buttons_.buttons.empty() || button < 1 || button > buttonCount())
        return UopResult::Impossible;
    if (!allowed(kUopButton)) return UopResult::Prohibited;
    setButton(button);
    if (buttons_.buttons[button - 1].autoAction) return runButton(button);
    return UopResult::Done;
}

UopResult Navigator::moveSelection(Direction d) {
    if (buttons_.buttons.empty()) return UopResult::Impossible;
    if (!allowed(kUopButton)) return UopResult::Prohibited;
    const int current = std::clamp(highlightedButton(), 1, buttonCount());
    const Button& b = buttons_.buttons[current - 1];
    const int to = d == Direction::Up     ? b.up
                   : d == Direction::Down ? b.down
                   : d == Direction::Left ? b.left
                                          : b.right;
    if (to < 1) return UopResult::Impossible;
    return selectButton(to);
}

UopResult Navigator::activateButton() {
    if (buttons_.buttons.empty()) return UopResult::Impossible;
    if (!allowed(kUopButton)) return UopResult::Prohibited;
    return runButton(std::clamp(highlightedButton(), 1, buttonCount()));
}

UopResult Navigator::runButton(int button) {
    setButton(button);
    const std::vector<navcmd::NavBytes> command{buttons_.buttons[button - 1].command};
    buttons_ = Vobu{};
    status_ = Status::Running;
    budget_ = std::min(budget_, guard_);
    runCommands(command);
    // A button without a link lets the menu play on.
    return UopResult::Done;
}

// The three stream operations share their form: a number in range, a user operation the masks
// may forbid, and the system register it sets (audio, sub-picture or angle, in that order).
UopResult Navigator::selectStream(int which, int number, int low, int high, int uop) {
    if (number < low || number > high) return UopResult::Impossible;
    if (!allowed(uop)) return UopResult::Prohibited;
    const auto before = streams();
    regs_.sprm[kAudioStream + which] = static_cast<std::uint16_t>(number);
    noteStreams(before);
    return UopResult::Done;
}

UopResult Navigator::selectAudio(int stream) {
    return selectStream(0, stream, 0, 7, kUopAudioChange);
}

UopResult Navigator::selectSubpicture(int stream) {
    // Bit 6 of the register is the display flag; the stream number (0..31, 62, 63) below it.
    return selectStream(1, stream, 0, 127, kUopSubpictureChange);
}

UopResult Navigator::selectAngle(int angle) {
    return selectStream(2, angle, 1, 9, kUopAngleChange);
}

}  // namespace navtab::navigator
