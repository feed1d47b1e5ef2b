#include "image/disc_image.h"
#include "core/path_parts.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <variant>

#include "core/ascii_case.h"
#include "core/file_replace.h"
#include "core/text_printf.h"
#include "image/image_programs.h"
#include "image/staged_folder.h"
#include "image/volume_label.h"
#include "repair/sector_correction.h"

namespace navtab::image {

const char* const kNotVideoTsText = "Your files must be located in a folder named: 'VIDEO_TS'.";

namespace {

constexpr std::size_t kTailLines = 12;
constexpr int kProgressRange = 1000;

std::string absolutePath(const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) == nullptr) return path;
    return path.empty() || path == "." ? std::string(cwd) : std::string(cwd) + "/" + path;
}

RunReport report(RunReport::Status status, std::string message,
                 std::vector<std::string> lines = {}) {
    RunReport r;
    r.status = status;
    r.message = std::move(message);
    r.lastLines = std::move(lines);
    return r;
}

// What a run of the image program or the disc writer said: every line to the log, the
// percentage to the progress bar, the last lines kept for a failure, and the builder's closing
// count of sectors written ("1017 extents written (1 MB)").
class OutputWatch {
  public:
    OutputWatch(const OutputLine& log, Progress* progress) : log_(log), progress_(progress) {}

    void operator()(const std::string& line) {
        // The links are the run's own scratch folder, made for this: the warning is not the
        // user's concern.
        if (line.rfind("Warning: -follow-links", 0) == 0) return;
        if (log_) log_(line);
        const double percent = percentOfLine(line);
        if (percent >= 0 && (line.find("done") != std::string::npos ||
                             line.find("remaining") != std::string::npos)) {
            if (progress_ != nullptr)
                progress_->SetPos(static_cast<int>(std::lround(percent * kProgressRange / 100)));
            return;  // progress lines say nothing about a failure
        }
        unsigned long long extents = 0;
        if (std::sscanf(line.c_str(), "%llu extents written", &extents) == 1) extents_ = extents;
        tail_.push_back(line);
        if (tail_.size() > kTailLines) tail_.pop_front();
    }
    std::vector<std::string> tail() const { return {tail_.begin(), tail_.end()}; }
    std::optional<unsigned long long> extents() const { return extents_; }

  private:
    const OutputLine& log_;
    Progress* progress_;
    std::deque<std::string> tail_;
    std::optional<unsigned long long> extents_;
};

// genisoimage checks that the files lie where the IFO files say and otherwise only says that
// VIDEO_TS is missing or "has invalid contents"; the user is told what mends such a folder.
std::string hintFor(const std::vector<std::string>& tail) {
    for (const std::string& line : tail)
        if (line.find("Unable to make a DVD-Video image") != std::string::npos)
            return " The sizes of the files in VIDEO_TS may not match the sector addresses its "
                   "IFO files keep; \"Get VTS sectors\" for all IFO files corrects them.";
    return {};
}

ChildOutcome runWatched(const std::vector<std::string>& argv, OutputWatch& watch,
                        Progress* progress) {
    if (progress != nullptr) {
        progress->SetRange(0, kProgressRange, 1);
        progress->SetPos(0);
    }
    const ChildOutcome outcome = runChild(
        argv, [&watch](const std::string& line) { watch(line); }, progress);
    if (progress != nullptr && outcome.succeeded()) progress->SetPos(kProgressRange);
    return outcome;
}

// Why a run that did not succeed failed, in a few words.
std::string failureOf(const ChildOutcome& outcome, const std::string& program) {
    switch (outcome.status) {
        case ChildOutcome::Status::NotStarted:
            return outcome.error == ENOENT
                       ? cannotLocateText(program)
                       : "cannot run " + program + ": " + std::strerror(outcome.error);
        case ChildOutcome::Status::Signalled:
            return program + " was ended by signal " + std::to_string(outcome.signal);
        case ChildOutcome::Status::Exited:
            return program + " failed (exit status " + std::to_string(outcome.exitCode) + ")";
        case ChildOutcome::Status::Cancelled:
            return "cancelled";
    }
    return "failed";
}

// The file the image program writes: a free name beside the target, which the program creates
// itself. (Creating it empty beforehand would make the program truncate it, and ext4 then writes
// the whole image out when the program closes it, which costs a second per gigabyte.) An image
// it replaces passes its permission bits on.
class TemporaryImage {
  public:
    ~TemporaryImage() { discard(); }
    // An error text, or empty.
    std::string create(const std::string& target) {
        const auto resolved = resolveWriteTarget(target);
        if (const auto* failure = std::get_if<WriteFailure>(&resolved))
            return "cannot write " + target + ": " + failure->reason;
        target_ = std::get<std::string>(resolved);
        const std::string folder = folderOf(target_);
        const std::string stem = (folder.empty() ? std::string() : folder + "/") + "." +
                                 fileNameOf(target_) + ".navtab-";
        if (access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) != 0)
            return "cannot write " + target + ": " + std::strerror(errno);
        struct stat existing {};
        replacing_ = stat(target_.c_str(), &existing) == 0;
        mode_ = existing.st_mode & 07777;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const std::string candidate =
                stem + std::to_string(getpid()) + "-" + std::to_string(attempt) + ".part";
            struct stat taken {};
            if (lstat(candidate.c_str(), &taken) != 0 && errno == ENOENT) path_ = candidate;
        }
        if (path_.empty()) return "cannot write " + target + ": no free temporary name";
        return {};
    }
    const std::string& path() const { return path_; }
    // An image of that name existed before the run.
    bool replacing() const { return replacing_; }
    std::uint64_t size() const {
        struct stat st {};
        return stat(path_.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    }
    bool commit() {
        if (replacing_) chmod(path_.c_str(), mode_);
        if (std::rename(path_.c_str(), target_.c_str()) != 0) return false;
        path_.clear();
        return true;
    }
    void discard() {
        if (!path_.empty()) unlink(path_.c_str());
        path_.clear();
    }

  private:
    std::string target_;
    std::string path_;
    bool replacing_ = false;
    mode_t mode_ = 0;
};

}  // namespace

std::optional<std::string> videoTsFolderOf(const std::string& ifoPath) {
    std::string folder = absolutePath(folderOf(absolutePath(ifoPath)));
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (!equalIgnoringAsciiCase(fileNameOf(folder), "VIDEO_TS")) return std::nullopt;
    return folder;
}

std::string imageRootOf(const std::string& videoTsFolder) {
    return folderOf(videoTsFolder);
}

std::optional<std::string> videoTsFolderIn(const std::string& root) {
    const std::string folder = absolutePath(root);
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) return std::nullopt;
    std::optional<std::string> found;
    while (const dirent* e = readdir(dir.get())) {
        const std::string name = e->d_name;
        if (!equalIgnoringAsciiCase(name, "VIDEO_TS")) continue;
        const std::string path = (folder == "/" ? std::string() : folder) + "/" + name;
        struct stat st {};
        // The capital spelling wins over another in the same folder.
        if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (!found || name == "VIDEO_TS"))
            found = path;
    }
    return found;
}

std::string RunReport::text() const {
    std::string out = message;
    for (const std::string& line : lastLines) out += "\n" + line;
    return out;
}

std::vector<std::string> builderArguments(const std::string& builder, const std::string& root,
                                          const std::string& output, const std::string& label) {
    // -f follows the links of the scratch folder; the paths are absolute, so that none can be
    // taken for an option.
    return {
        builder, "-input-charset",     "utf-8",           "-f", "-dvd-video", "-udf", "-V", label,
        "-o",    absolutePath(output), absolutePath(root)};
}

std::vector<std::string> burnArguments(const std::string& burner, const std::string& device,
                                       const std::string& image) {
    return {burner, "-dvd-compat", "-Z", device + "=" + absolutePath(image)};
}

RunReport buildDiscImage(const DiscImageRequest& request, const OutputLine& log,
                         Progress* progress) {
    using Status = RunReport::Status;
    const std::string label = effectiveVolumeLabel(request.volumeLabel, request.videoTsFolder);
    if (const std::string problem = volumeLabelProblem(label); !problem.empty())
        return report(Status::Failed, problem);
    if (request.builder.empty())
        return report(Status::Failed, cannotLocateText(kDefaultBuilderName));
    if (request.imagePath.empty()) return report(Status::Failed, "No image file was given.");

    StagedFolder staged;
    if (std::string error = staged.create(request.videoTsFolder); !error.empty())
        return report(Status::Failed, error);
    TemporaryImage temp;
    if (std::string error = temp.create(absolutePath(request.imagePath)); !error.empty())
        return report(Status::Failed, error);

    OutputWatch watch(log, progress);
    const ChildOutcome outcome = runWatched(
        builderArguments(request.builder, staged.root(), temp.path(), label), watch, progress);
    const std::string kept =
        request.imagePath + (temp.replacing() ? " is left as it was" : " is not written");
    if (outcome.status == ChildOutcome::Status::Cancelled)
        return report(Status::Cancelled, "Cancelled; " + kept + ".");
    if (!outcome.succeeded()) {
        const std::string why = failureOf(outcome, fileNameOf(request.builder));
        if (outcome.status == ChildOutcome::Status::NotStarted) return report(Status::Failed, why);
        return report(Status::Failed, why + "; " + kept + "." + hintFor(watch.tail()),
                      watch.tail());
    }
    // The program's own count of what it wrote is the check that the file is whole.
    const std::uint64_t size = temp.size();
    if (watch.extents() && *watch.extents() * 2048 != size)
        return report(Status::Failed,
                      strprintf("The image holds %llu bytes of the %llu the image program wrote; ",
                                static_cast<unsigned long long>(size), *watch.extents() * 2048ULL) +
                          kept + ".",
                      watch.tail());
    if (!temp.commit())
        return report(Status::Failed, "cannot rename the image to " + request.imagePath + ": " +
                                          std::strerror(errno));
    return report(
        Status::Done,
        strprintf("The image %s is written (%llu MB, volume label %s).", request.imagePath.c_str(),
                  static_cast<unsigned long long>((size + (1 << 19)) >> 20), label.c_str()));
}

RunReport burnDiscImage(const std::string& burner, const std::string& device,
                        const std::string& image, const OutputLine& log, Progress* progress) {
    using Status = RunReport::Status;
    if (const std::string why = burnUnavailableReason(burner, device); !why.empty())
        return report(Status::Failed, why);
    OutputWatch watch(log, progress);
    const ChildOutcome outcome = runWatched(burnArguments(burner, device, image), watch, progress);
    if (outcome.status == ChildOutcome::Status::Cancelled)
        return report(Status::Cancelled, "Cancelled; the disc in " + device + " is not finished.");
    if (!outcome.succeeded())
        return report(
            Status::Failed,
            failureOf(outcome, fileNameOf(burner)) + "; the disc in " + device + " is not written.",
            watch.tail());
    return report(Status::Done,
                  "The image " + image + " is written to the disc in " + device + ".");
}

}  // namespace navtab::image
