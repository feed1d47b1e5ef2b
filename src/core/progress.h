// Progress of a long-running tool: the range and position of its bar, the percentage its window's
// caption shows, and the interface through which a tool reports and learns of a cancel.
#pragma once

#include <string>

namespace navtab {

// The numbers behind a progress bar. The percentage counts the position from 0, not from the
// lower end, exactly as the caption has always shown it.
class ProgressState {
  public:
    void setRange(int lower, int upper, int step) {
        lower_ = lower;
        upper_ = upper;
        step_ = step;
    }
    int lower() const { return lower_; }
    int upper() const { return upper_; }
    int step() const { return step_; }
    int pos() const { return pos_; }
    int percent() const { return percent_; }

    int setStep(int step) {
        const int previous = step_;
        step_ = step;
        return previous;
    }
    // Moves to `pos`; true when the percentage changed, so the caption needs rewriting.
    bool setPos(int pos) {
        pos_ = pos;
        const int percent =
            upper_ > lower_
                ? static_cast<int>(static_cast<long long>(pos) * 100 / (upper_ - lower_))
                : 0;
        if (percent == percent_) return false;
        percent_ = percent;
        return true;
    }
    bool offsetPos(int delta) { return setPos(pos_ + delta); }
    bool stepIt() { return setPos(pos_ + step_); }
    void reset() {
        pos_ = 0;
        percent_ = 0;
    }

    // "Title [42%]"
    static std::string caption(const std::string& title, int percent) {
        return title + " [" + std::to_string(percent) + "%]";
    }

  private:
    int lower_ = 0;
    int upper_ = 100;
    int step_ = 1;
    int pos_ = 0;
    int percent_ = 0;
};

// What a tool needs from the progress window while it works; the window is one implementation.
class Progress {
  public:
    virtual ~Progress() = default;
    virtual void SetRange(int lower, int upper, int step) = 0;
    virtual int SetPos(int pos) = 0;  // each returns the position before the move
    virtual int OffsetPos(int delta) = 0;
    virtual int StepIt() = 0;
    virtual void SetText(const std::string& text) = 0;
    // Lets the user interface run; a tool calls this after each unit of work ...
    virtual void PeekAndPump(bool cancelOnEscape = true) = 0;
    // ... and stops at the next clean point once this is set.
    virtual bool Cancelled() const = 0;
};

}  // namespace navtab
