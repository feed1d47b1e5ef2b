// Helpers shared by the unit tests: temporary folders, whole-file reads and writes, a recording
// user interaction, running navtab-cli, and hand-built IFO bytes.
#pragma once

#include <gmock/gmock.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/user_interaction.h"

// Text checks read as EXPECT_THAT(out, HasSubstr("...")) and print the text when they fail.
using ::testing::HasSubstr;
using ::testing::Not;

namespace navtab::test {

using Bytes = std::vector<std::uint8_t>;

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

Bytes readFile(const std::string& path);
// Every file of a folder, by name.
std::map<std::string, Bytes> folderFiles(const std::filesystem::path& folder);
void writeFile(const std::string& path, const Bytes& bytes);

class RecordingInteraction : public UserInteraction {
  public:
    explicit RecordingInteraction(bool yes = false) : answer(yes) {}
    void message(const std::string& text) override { messages.push_back(text); }
    bool askYesNo(const std::string& text) override {
        questions.push_back(text);
        return answer;
    }
    bool answer;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
};

struct CommandResult {
    int status = -1;
    std::string out;
    std::string err;
};
// Runs a shell command line and captures its output streams and exit status.
CommandResult runCommand(const std::string& commandLine);
// Runs navtab-cli with arguments (each quoted for the shell).
CommandResult runCli(const std::vector<std::string>& args);

// The sample disc folders made by tests/data/make-samples.sh.
std::string sampleFile(const std::string& disc, const std::string& name);
// Every IFO and BUP file of every sample disc.
std::vector<std::string> allSampleInfoFiles();
// Copies the files of a sample disc's VIDEO_TS folder into `to`, their names lower-cased if asked.
void copySampleFolder(const std::string& disc, const std::filesystem::path& to, bool lower = false);
// What `lsdvd -x` prints of a folder, or "" when it fails.
std::string lsdvdOf(const std::filesystem::path& folder);

void put32At(Bytes& b, std::size_t offset, std::uint32_t v);

// A title set file: the management table and, for each (table id, sector, end address), a table
// at that sector whose end-address word holds the end address. The last-sector field matches.
Bytes buildVtsFile(const std::vector<std::tuple<int, std::uint32_t, std::uint32_t>>& tables);

}  // namespace navtab::test
