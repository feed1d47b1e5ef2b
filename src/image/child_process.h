// Runs an external program (the image builder, the disc writer) without a shell: every argument
// reaches it as it stands, whatever blanks, quotes or dashes it holds. Its standard output and
// standard error are read as one stream of lines while it runs, and a cancel asked for through
// the progress interface ends it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/progress.h"

namespace navtab::image {

struct ChildOutcome {
    enum class Status {
        Exited,     // ran to its end; `exitCode` says how it went
        Signalled,  // ended by a signal it did not ask for (`signal`)
        Cancelled,  // ended because the user cancelled
        NotStarted  // could not be started (`error` holds the errno value)
    };
    Status status = Status::NotStarted;
    int exitCode = -1;
    int signal = 0;
    int error = 0;

    bool succeeded() const { return status == Status::Exited && exitCode == 0; }
};

// One line of the program's output, without its end. Progress lines that end in a carriage
// return count as lines too.
using OutputLine = std::function<void(const std::string& line)>;

// Runs argv[0] (looked up on PATH when it holds no '/') with standard input from /dev/null.
// While it runs, `progress` (when given) is pumped at least every 100 ms; once it reports a
// cancel, the program is asked to end (SIGTERM) and, two seconds later, made to (SIGKILL).
// The program runs in its own process group, so a Ctrl-C on the terminal reaches only this
// process, which turns it into the same clean cancel.
ChildOutcome runChild(const std::vector<std::string>& argv, const OutputLine& onLine,
                      Progress* progress);

// The percentage a progress line of the image builder or the disc writer states: the number
// just before the first '%' (" 45.12% done, estimate finish ...", "... (27.0%) @3.2x ...").
// Negative when the line states none.
double percentOfLine(const std::string& line);

}  // namespace navtab::image
