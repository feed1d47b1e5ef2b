// The folder the image program is pointed at: a scratch folder holding VIDEO_TS with a link,
// under its capital name, to each DVD-Video file of the user's VIDEO_TS folder, and an empty
// AUDIO_TS. The user's folder may spell its names in lower case and may hold other files; the
// image gets only the disc's files, named as players look them up. Removed with the object.
#pragma once

#include <string>
#include <vector>

namespace navtab::image {

class StagedFolder {
  public:
    StagedFolder() = default;
    ~StagedFolder();
    StagedFolder(const StagedFolder&) = delete;
    StagedFolder& operator=(const StagedFolder&) = delete;

    // Builds the folder in the system's temporary folder; an error text when that fails or the
    // folder holds no DVD-Video file, else empty.
    std::string create(const std::string& videoTsFolder);
    const std::string& root() const { return root_; }
    // The files linked, by their capital names, in disc order.
    const std::vector<std::string>& names() const { return names_; }

  private:
    void remove();

    std::string root_;
    std::vector<std::string> links_;
    std::vector<std::string> names_;
};

}  // namespace navtab::image
