// The disc image run against stand-in image programs (shell scripts that record their arguments,
// write what they are told or fail), and the checks that come before a run: the volume label,
// the VIDEO_TS folder, the percentage of a progress line.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "image/disc_image.h"
#include "image/image_programs.h"
#include "image/volume_label.h"
#include "unit/test_support.h"

namespace navtab::test {
namespace {

namespace fs = std::filesystem;
using image::RunReport;

TEST(VolumeLabel, CheckedAgainstTheImageCharacterSetAndTakenFromTheFolder) {
    // clang-format off
    for (const auto& [label, valid] : {std::pair<std::string, bool>{"", true}, {"MY_DISC_2", true},
             {std::string(32, 'A'), true}, {std::string(33, 'A'), false}, {"my disc", false},
             {"DISC-1", false}, {"D\xC3\x9CSE", false}})
        EXPECT_EQ(image::volumeLabelProblem(label).empty(), valid) << label;
    // clang-format on
    // clang-format off
    const std::pair<std::string, std::string> defaults[] = {
        {"/home/u/Holiday 2023/VIDEO_TS", "HOLIDAY_2023"}, {"/VIDEO_TS", "DVDVOLUME"},
        {"/d/a-very-long-folder-name-that-goes-on-and-on/video_ts", "A_VERY_LONG_FOLDER_NAME_THAT_GOE"},
        {"/x/---/VIDEO_TS", "DVDVOLUME"}};
    // clang-format on
    for (const auto& [folder, label] : defaults) {
        EXPECT_EQ(image::defaultVolumeLabel(folder), label) << folder;
        EXPECT_TRUE(image::volumeLabelProblem(image::defaultVolumeLabel(folder)).empty());
    }
    // The folder is named VIDEO_TS in any case.
    EXPECT_EQ(image::videoTsFolderOf("/d/Film/VIDEO_TS/VTS_01_0.IFO"), "/d/Film/VIDEO_TS");
    EXPECT_EQ(image::videoTsFolderOf("/d/Film/video_ts/vts_01_0.ifo"), "/d/Film/video_ts");
    EXPECT_EQ(image::videoTsFolderOf("/d/Film/DVD/VIDEO_TS.IFO"), std::nullopt);
    EXPECT_EQ(image::videoTsFolderOf("/d/VIDEO_TSX/VIDEO_TS.IFO"), std::nullopt);
    EXPECT_EQ(image::videoTsFolderOf("VIDEO_TS/VIDEO_TS.IFO").value_or("").substr(0, 1), "/");
    EXPECT_EQ(image::imageRootOf("/d/Film/VIDEO_TS"), "/d/Film");
}

TEST(ProgressLine, PercentBeforeTheFirstPercentSign) {
    const std::pair<std::string, double> cases[] = {
        {" 45.12% done, estimate finish Mon Dec  7 05:00:00 2026", 45.12},
        {"100.00% done", 100},
        {"  4390912/1031802880 ( 0.4%) @0.0x, remaining 3:27 RBU 100.0%", 0.4},
        {"Total translation table size: 0", -1},
        {"%", -1},
        {"The pad was 6 for file VIDEO_TS.VOB", -1},
    };
    for (const auto& [line, percent] : cases)
        EXPECT_DOUBLE_EQ(image::percentOfLine(line), percent) << line;
}

TEST(ImagePrograms, FoundOnThePathOrTakenFromTheSetting) {
    TempDir dir;
    const std::string bin = dir.file("bin");
    fs::create_directories(bin);
    std::ofstream(bin + "/mkisofs") << "#!/bin/sh\n";
    fs::permissions(bin + "/mkisofs", fs::perms::owner_all);
    std::ofstream(bin + "/genisoimage") << "not runnable";
    EXPECT_EQ(image::discoverImageBuilder("", "/nonexistent:" + bin), bin + "/mkisofs");
    EXPECT_EQ(image::discoverImageBuilder("/opt/x/genisoimage", bin), "/opt/x/genisoimage");
    EXPECT_EQ(image::discoverImageBuilder("", "/nonexistent"), "");
    EXPECT_EQ(image::firstOpticalDrive(dir.path().string()), "");
    EXPECT_NE(image::burnUnavailableReason("", "/dev/sr0"), "");
    EXPECT_NE(image::burnUnavailableReason("/usr/bin/growisofs", ""), "");
}

std::string fileText(const std::string& path) {
    const Bytes b = readFile(path);
    return {b.begin(), b.end()};
}

// A progress that asks for a cancel once the program has run for a while.
class CancellingProgress : public Progress {
  public:
    void SetRange(int, int, int) override {}
    int SetPos(int pos) override { return last = pos; }
    int OffsetPos(int) override { return 0; }
    int StepIt() override { return 0; }
    void SetText(const std::string&) override {}
    void PeekAndPump(bool) override { ++pumps; }
    bool Cancelled() const override { return cancelAfter >= 0 && pumps > cancelAfter; }
    int pumps = 0;
    int cancelAfter = -1;
    int last = -1;
};

// A VIDEO_TS folder with two small files under a root whose name has a blank and a quote, and
// stand-in image programs beside it.
class StandInRun : public ::testing::Test {
  protected:
    void SetUp() override {
        root = dir.file("my 'disc'");
        videoTs = root + "/video_ts";
        fs::create_directories(videoTs);
        std::ofstream(videoTs + "/video_ts.ifo") << std::string(2048, 'i');
        std::ofstream(videoTs + "/VTS_01_1.VOB") << std::string(4096, 'v');
        std::ofstream(videoTs + "/notes.txt") << "not a disc file";
        image = dir.file("-out \"new\".img");
    }
    // A shell script as the image program; `body` runs with the arguments.
    std::string program(const std::string& name, const std::string& body) {
        const std::string path = dir.file(name);
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(path, fs::perms::owner_all);
        return path;
    }
    RunReport build(const std::string& builder, const std::string& label = "TEST",
                    Progress* progress = nullptr) {
        lines.clear();
        return image::buildDiscImage(
            {builder, videoTs, image, label}, [this](const std::string& l) { lines.push_back(l); },
            progress);
    }
    std::vector<std::string> filesBeside() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.path()))
            if (e.is_regular_file()) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    TempDir dir;
    std::string root, videoTs, image;
    std::vector<std::string> lines;
};

// Writes `$2` sectors to the file after -o, lists what the folder it images holds and says how
// much it wrote, as genisoimage does.
constexpr const char* kWritingBody =
    "out=''; prev=''; for a in \"$@\"; do [ \"$prev\" = -o ] && out=$a; prev=$a; done\n"
    "printf '%s\\n' \"$@\" > \"$ARGS\"\n"
    "for a in \"$@\"; do last=$a; done; ls \"$last\" \"$last/VIDEO_TS\" > \"$ARGS.ls\"\n"
    "echo ' 50.00% done, estimate finish'\n"
    "head -c $((WRITE * 2048)) /dev/zero > \"$out\"\n"
    "echo \"$SAY extents written (0 MB)\"";

TEST_F(StandInRun, ArgumentsReachTheProgramWholeAndTheImageIsRenamed) {
    const std::string args = dir.file("args");
    setenv("ARGS", args.c_str(), 1);
    setenv("WRITE", "3", 1);
    setenv("SAY", "3", 1);
    CancellingProgress progress;
    const RunReport r = build(program("builder", kWritingBody), "TEST", &progress);
    ASSERT_TRUE(r.done()) << r.text();
    EXPECT_EQ(fs::file_size(image), 3u * 2048);
    EXPECT_EQ(progress.last, 1000);
    std::istringstream in(fileText(args));
    std::vector<std::string> got;
    for (std::string line; std::getline(in, line);) got.push_back(line);
    ASSERT_EQ(got.size(), 10u);  // the arguments after the program's name
    EXPECT_EQ(got[5], "-V");
    EXPECT_EQ(got[6], "TEST");
    EXPECT_EQ(got[7], "-o");
    // The temporary image lies beside the target, under a name of its own made from it.
    EXPECT_EQ(fs::path(got[8]).parent_path(), dir.path());
    EXPECT_EQ(fs::path(got[8]).filename().string().rfind(".-out \"new\".img.navtab-", 0), 0u)
        << got[8];
    // The folder imaged holds VIDEO_TS with the disc's files in capitals, and AUDIO_TS.
    const std::string all = fileText(args + ".ls");
    EXPECT_THAT(all, HasSubstr("AUDIO_TS\nVIDEO_TS\n"));
    EXPECT_THAT(all, HasSubstr("VIDEO_TS.IFO\nVTS_01_1.VOB\n"));
    EXPECT_THAT(all, Not(HasSubstr("notes")));
    EXPECT_FALSE(fs::exists(got[9])) << "the scratch folder is removed";
    EXPECT_EQ(filesBeside(),
              (std::vector<std::string>{"-out \"new\".img", "args", "args.ls", "builder"}));
}

TEST_F(StandInRun, AFailedOrShortBuildKeepsTheOldImage) {
    setenv("ARGS", dir.file("args").c_str(), 1);
    struct Case {
        const char* what;
        std::string body;
        std::string lastLine;
    };
    const Case cases[] = {
        {"exit status", "for i in $(seq 1 20); do echo \"line $i\"; done; exit 3", "line 20"},
        {"signal", "echo dying; kill -9 $$", "dying"},
        // Says it wrote three sectors, but only one reached the file (a full disk).
        {"short file", std::string(kWritingBody) + "; exit 0", "3 extents written (0 MB)"},
    };
    setenv("WRITE", "1", 1);
    setenv("SAY", "3", 1);
    for (const Case& c : cases) {
        std::ofstream(image) << "old image";
        const RunReport r = build(program("builder", c.body));
        EXPECT_EQ(r.status, RunReport::Status::Failed) << c.what;
        ASSERT_FALSE(r.lastLines.empty()) << c.what;
        EXPECT_EQ(r.lastLines.back(), c.lastLine) << c.what;
        EXPECT_LE(r.lastLines.size(), 12u);
        EXPECT_EQ(fileText(image), "old image") << c.what;
        for (const std::string& name : filesBeside())
            EXPECT_THAT(name, Not(HasSubstr(".part"))) << c.what << ": " << name;
    }
}

TEST_F(StandInRun, CancelEndsTheProgramAndLeavesNoImage) {
    CancellingProgress progress;
    progress.cancelAfter = 2;
    const auto start = std::chrono::steady_clock::now();
    // The program ignores the polite request; it is ended all the same.
    const RunReport r =
        build(program("builder", "trap '' TERM; echo started; sleep 30"), "TEST", &progress);
    EXPECT_EQ(r.status, RunReport::Status::Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_FALSE(fs::exists(image));
    EXPECT_EQ(filesBeside(), std::vector<std::string>{"builder"});
}

TEST_F(StandInRun, NothingRunsWithoutProgramOrWithABadLabel) {
    const std::string ran = dir.file("ran");
    const std::string builder = program("builder", "touch '" + ran + "'");
    for (const std::string& missing : {dir.file("nonexistent/genisoimage"), std::string()})
        EXPECT_EQ(build(missing).message, "ERROR: Can't locate genisoimage");
    const RunReport label = build(builder, "my disc");
    EXPECT_THAT(label.message, HasSubstr("may only hold"));
    EXPECT_FALSE(fs::exists(ran));
    EXPECT_FALSE(fs::exists(image));
}

}  // namespace
}  // namespace navtab::test
