#include "image/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace navtab::image {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPollMs = 100;
constexpr auto kKillAfter = std::chrono::seconds(2);

// Splits what the program wrote into lines; a line may end in '\n' or '\r'.
class LineSplitter {
  public:
    explicit LineSplitter(const OutputLine& onLine) : onLine_(onLine) {}
    void add(const char* data, std::size_t length) {
        for (std::size_t i = 0; i < length; ++i) {
            const char c = data[i];
            if (c == '\n' || c == '\r') {
                flush();
            } else {
                pending_ += c;
            }
        }
    }
    void flush() {
        if (!pending_.empty() && onLine_) onLine_(pending_);
        pending_.clear();
    }

  private:
    const OutputLine& onLine_;
    std::string pending_;
};

// Ends the program's process group once the user cancelled: first politely, then for good.
class Stopper {
  public:
    explicit Stopper(pid_t pid) : pid_(pid) {}
    void check(Progress* progress) {
        if (progress == nullptr) return;
        progress->PeekAndPump();
        if (!progress->Cancelled()) return;
        const auto now = Clock::now();
        if (!asked_) {
            kill(-pid_, SIGTERM);
            asked_ = true;
            askedAt_ = now;
        } else if (!forced_ && now - askedAt_ >= kKillAfter) {
            kill(-pid_, SIGKILL);
            forced_ = true;
        }
    }
    bool asked() const { return asked_; }

  private:
    pid_t pid_;
    bool asked_ = false;
    bool forced_ = false;
    Clock::time_point askedAt_{};
};

ChildOutcome outcomeOf(int status, bool cancelled) {
    ChildOutcome out;
    if (cancelled) {
        out.status = ChildOutcome::Status::Cancelled;
    } else if (WIFEXITED(status)) {
        out.status = ChildOutcome::Status::Exited;
        out.exitCode = WEXITSTATUS(status);
    } else {
        out.status = ChildOutcome::Status::Signalled;
        out.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }
    return out;
}

}  // namespace

ChildOutcome runChild(const std::vector<std::string>& argv, const OutputLine& onLine,
                      Progress* progress) {
    ChildOutcome failed;
    if (argv.empty()) {
        failed.error = EINVAL;
        return failed;
    }
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        failed.error = errno;
        return failed;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int s : {SIGINT, SIGTERM, SIGPIPE, SIGHUP}) sigaddset(&defaults, s);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(
        &attr,
        static_cast<short>(POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF));

    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, args[0], &actions, &attr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        failed.error = spawned;
        return failed;
    }

    LineSplitter lines(onLine);
    Stopper stopper(pid);
    char buffer[4096];
    for (bool open = true; open;) {
        pollfd p{pipeFds[0], POLLIN, 0};
        const int ready = poll(&p, 1, kPollMs);
        if (ready > 0) {
            const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
            if (n > 0)
                lines.add(buffer, static_cast<std::size_t>(n));
            else if (n == 0 || (errno != EINTR && errno != EAGAIN))
                open = false;
        } else if (ready < 0 && errno != EINTR) {
            open = false;
        }
        stopper.check(progress);
    }
    lines.flush();
    close(pipeFds[0]);

    // The output is closed; the program is ending (or closed it early and keeps working).
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (done < 0 && errno != EINTR) {
            failed.error = errno;
            return failed;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        stopper.check(progress);
    }
    return outcomeOf(status, stopper.asked());
}

double percentOfLine(const std::string& line) {
    const auto percent = line.find('%');
    if (percent == std::string::npos) return -1;
    std::size_t start = percent;
    while (start > 0 &&
           (std::isdigit(static_cast<unsigned char>(line[start - 1])) || line[start - 1] == '.'))
        --start;
    if (start == percent) return -1;
    const std::string number = line.substr(start, percent - start);
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (end == number.c_str()) return -1;
    return value;
}

}  // namespace navtab::image
