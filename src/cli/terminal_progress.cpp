#include "cli/terminal_progress.h"

#include <unistd.h>
#include <algorithm>
#include <cstdio>

namespace navtab::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int) {
    interrupted = 1;
}

constexpr int kBarWidth = 30;
constexpr std::size_t kLabelWidth = 40;

// The last line of a progress text, with a path shown by its file name, cut to fit beside the
// bar.
std::string shortLabel(const std::string& text) {
    const auto nl = text.rfind('\n');
    std::string line = nl == std::string::npos ? text : text.substr(nl + 1);
    const auto slash = line.rfind('/');
    if (slash != std::string::npos) {
        const auto space = line.rfind(' ', slash);
        line.erase(space == std::string::npos ? 0 : space + 1,
                   slash - (space == std::string::npos ? 0 : space + 1) + 1);
    }
    if (line.size() > kLabelWidth) line = "..." + line.substr(line.size() - (kLabelWidth - 3));
    return line;
}

}  // namespace

TerminalProgress::TerminalProgress() : tty_(isatty(STDERR_FILENO) == 1) {
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous_);
}

TerminalProgress::~TerminalProgress() {
    clearLine();
    sigaction(SIGINT, &previous_, nullptr);
}

void TerminalProgress::SetRange(int lower, int upper, int step) {
    state_.setRange(lower, upper, step);
    state_.reset();
    draw();
}

int TerminalProgress::SetPos(int pos) {
    const int before = state_.pos();
    state_.setPos(pos);
    draw();
    return before;
}

int TerminalProgress::OffsetPos(int delta) {
    return SetPos(state_.pos() + delta);
}

int TerminalProgress::StepIt() {
    return SetPos(state_.pos() + state_.step());
}

void TerminalProgress::SetText(const std::string& text) {
    label_ = shortLabel(text);
    draw();
}

void TerminalProgress::PeekAndPump(bool /*cancelOnEscape*/) {}

bool TerminalProgress::Cancelled() const {
    return interrupted != 0;
}

void TerminalProgress::clearLine() {
    if (!tty_ || !shown_) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    shown_ = false;
    drawnPercent_ = -1;
}

void TerminalProgress::draw() {
    if (!tty_) return;
    const int percent = std::clamp(state_.percent(), 0, 100);
    if (shown_ && percent == drawnPercent_ && label_ == drawnLabel_) return;
    const int filled = percent * kBarWidth / 100;
    std::fprintf(stderr, "\r\033[K[%s%s] %3d%% %s",
                 std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(kBarWidth - filled), ' ').c_str(), percent,
                 label_.c_str());
    std::fflush(stderr);
    shown_ = true;
    drawnPercent_ = percent;
    drawnLabel_ = label_;
}

}  // namespace navtab::cli
