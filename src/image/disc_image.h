// Building a DVD-Video image of a folder with the image program, and writing it to a disc.
//
// The image program (genisoimage -dvd-video -udf) lays the VIDEO_TS files out the way players
// expect: VIDEO_TS first, each file's sectors in one run, every title set starting where the
// sizes of the files before it put it, which is where the video manager's title set start
// sectors point once "Get VTS sectors" has been run. It needs a folder whose VIDEO_TS folder and
// files are spelled in capitals, so the run builds one: a scratch folder with VIDEO_TS holding a
// link under its capital name to each DVD-Video file of the user's folder (nothing else, so no
// stray file and no earlier image lands on the disc) and an empty AUDIO_TS, as discs have.
//
// The image is written under a temporary name beside its target and renamed only when the
// program succeeded and wrote all it said it would; a failed or cancelled run removes it and
// leaves an existing image of that name as it was.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/progress.h"
#include "image/child_process.h"

namespace navtab::image {

// "Your files must be located in a folder named: 'VIDEO_TS'."
extern const char* const kNotVideoTsText;

// The VIDEO_TS folder of an IFO file (the folder it lies in, made absolute without following
// links); nothing when that folder is not named VIDEO_TS in any case.
std::optional<std::string> videoTsFolderOf(const std::string& ifoPath);

// The folder that holds VIDEO_TS: the root of the image.
std::string imageRootOf(const std::string& videoTsFolder);
// The VIDEO_TS folder (any case) inside a root folder; nothing when it has none.
std::optional<std::string> videoTsFolderIn(const std::string& root);

struct DiscImageRequest {
    std::string builder;  // the image program
    std::string videoTsFolder;
    std::string imagePath;    // the image file to write
    std::string volumeLabel;  // empty: the default of volume_label.h
};

struct RunReport {
    enum class Status { Done, Failed, Cancelled };
    Status status = Status::Failed;
    std::string message;                 // one line for the user
    std::vector<std::string> lastLines;  // the program's last lines, when it failed
    bool done() const { return status == Status::Done; }
    // The message followed by the program's last lines, one per line.
    std::string text() const;
};

// The arguments of the image program, each one a single argument: the program, its options,
// the volume label, the file to write and the folder to image.
std::vector<std::string> builderArguments(const std::string& builder, const std::string& root,
                                          const std::string& output, const std::string& label);
// growisofs -dvd-compat -Z DEVICE=IMAGE
std::vector<std::string> burnArguments(const std::string& burner, const std::string& device,
                                       const std::string& image);

// Builds the image. `log` receives every line the program writes; `progress` (when given) shows
// its percentage (range 0..1000) and may cancel.
RunReport buildDiscImage(const DiscImageRequest& request, const OutputLine& log,
                         Progress* progress);

// Writes a finished image to the disc in `device` with the writer program `burner`.
RunReport burnDiscImage(const std::string& burner, const std::string& device,
                        const std::string& image, const OutputLine& log, Progress* progress);

}  // namespace navtab::image
