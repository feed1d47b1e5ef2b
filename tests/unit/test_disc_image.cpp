// The disc image: the checks before a run (volume label, VIDEO_TS folder, progress percentage);
// runs of stand-in image programs (shell scripts that record their arguments, write what they are
// told or fail); images of the sample discs built by the real program, where lsdvd reads the same
// titles as from the folder, isoinfo lists the disc's files in disc order, and after
// "get-vts-sectors --all" every title set lies where the video manager says; navtab-cli disc-image.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/cli_interaction.h"
#include "core/ascii_case.h"
#include "core/bytes.h"
#include "core/document.h"
#include "core/layout/title_tables_layout.h"
#include "image/disc_image.h"
#include "image/image_programs.h"
#include "image/volume_label.h"
#include "repair/disc_listing.h"
#include "unit/test_support.h"
#include "unit/vob_fake_ui.h"

namespace navtab::test {
namespace {

namespace fs = std::filesystem;
using image::RunReport;

// A runnable shell script; `body` runs with the arguments.
std::string script(const std::string& path, const std::string& body) {
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(path, fs::perms::owner_all);
    return path;
}

std::string fileText(const std::string& path) {
    const Bytes b = readFile(path);
    return {b.begin(), b.end()};
}

TEST(DiscImageChecks, LabelFolderProgressLineAndPrograms) {
    using S = std::string;
    for (const S& label : {S(), S("MY_DISC_2"), S(32, 'A')})
        EXPECT_EQ(image::volumeLabelProblem(label), "") << label;
    for (const S& label : {S(33, 'A'), S("my disc"), S("DISC-1"), S("D\xC3\x9CSE")})
        EXPECT_NE(image::volumeLabelProblem(label), "") << label;
    for (const auto& [folder, label] :
         {std::pair<std::string, std::string>{"/home/u/Holiday 2023/VIDEO_TS", "HOLIDAY_2023"},
          {"/VIDEO_TS", "DVDVOLUME"},
          {"/d/a-very-long-folder-name-that-goes-on-and-on/video_ts",
           "A_VERY_LONG_FOLDER_NAME_THAT_GOE"},
          {"/x/---/VIDEO_TS", "DVDVOLUME"}}) {
        EXPECT_EQ(image::defaultVolumeLabel(folder), label) << folder;
        EXPECT_TRUE(image::volumeLabelProblem(label).empty());
    }
    // The folder is named VIDEO_TS in any case.
    EXPECT_EQ(image::videoTsFolderOf("/d/Film/VIDEO_TS/VTS_01_0.IFO"), "/d/Film/VIDEO_TS");
    EXPECT_EQ(image::videoTsFolderOf("/d/Film/video_ts/vts_01_0.ifo"), "/d/Film/video_ts");
    EXPECT_EQ(image::videoTsFolderOf("/d/Film/DVD/VIDEO_TS.IFO"), std::nullopt);
    EXPECT_EQ(image::videoTsFolderOf("/d/VIDEO_TSX/VIDEO_TS.IFO"), std::nullopt);
    EXPECT_EQ(image::videoTsFolderOf("VIDEO_TS/VIDEO_TS.IFO").value_or("").substr(0, 1), "/");
    EXPECT_EQ(image::imageRootOf("/d/Film/VIDEO_TS"), "/d/Film");
    // The percentage of a progress line stands before its first percent sign.
    for (const auto& [line, percent] :
         {std::pair<S, double>{" 45.12% done, estimate finish", 45.12},
          {"100.00% done", 100},
          {"  4390912/1031802880 ( 0.4%) @0.0x, RBU 100.0%", 0.4},
          {"Total translation table size: 0", -1},
          {"%", -1}})
        EXPECT_DOUBLE_EQ(image::percentOfLine(line), percent) << line;
    // The image program: the setting, else the first runnable one on the path.
    TempDir dir;
    const std::string bin = dir.file("bin");
    fs::create_directories(bin);
    script(bin + "/mkisofs", "");
    std::ofstream(bin + "/genisoimage") << "not runnable";
    EXPECT_EQ(image::discoverImageBuilder("", "/nonexistent:" + bin), bin + "/mkisofs");
    EXPECT_EQ(image::discoverImageBuilder("/opt/x/genisoimage", bin), "/opt/x/genisoimage");
    EXPECT_EQ(image::discoverImageBuilder("", "/nonexistent"), "");
    EXPECT_EQ(image::firstOpticalDrive(dir.path().string()), "");
    EXPECT_NE(image::burnUnavailableReason("", "/dev/sr0"), "");
    EXPECT_NE(image::burnUnavailableReason("/usr/bin/growisofs", ""), "");
}

// A VIDEO_TS folder with two small files under a root whose name has a blank and a quote, and
// stand-in image programs beside it.
class StandInRun : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string videoTs = dir.file("my 'disc'/video_ts");
        fs::create_directories(videoTs);
        std::ofstream(videoTs + "/video_ts.ifo") << std::string(2048, 'i');
        std::ofstream(videoTs + "/VTS_01_1.VOB") << std::string(4096, 'v');
        std::ofstream(videoTs + "/notes.txt") << "not a disc file";
        request = {"", videoTs, dir.file("-out \"new\".img"), "TEST"};
    }
    RunReport build(const std::string& body, const std::string& label = "TEST",
                    Progress* progress = nullptr) {
        request.builder = body.empty() ? body : script(dir.file("builder"), body);
        request.volumeLabel = label;
        return image::buildDiscImage(request, {}, progress);
    }
    std::vector<std::string> filesBeside() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.path()))
            if (e.is_regular_file()) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    TempDir dir;
    image::DiscImageRequest request;
};

// Writes `$WRITE` sectors to the file after -o, lists what the folder it images holds and says
// it wrote `$SAY` sectors, as genisoimage does.
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
    TestProgress progress;
    const RunReport r = build(kWritingBody, "TEST", &progress);
    ASSERT_TRUE(r.done()) << r.text();
    EXPECT_EQ(fs::file_size(request.imagePath), 3u * 2048);
    EXPECT_EQ(progress.last, 1000);
    std::istringstream in(fileText(args));
    std::vector<std::string> got;
    for (std::string line; std::getline(in, line);) got.push_back(line);
    ASSERT_EQ(got.size(), 10u);  // the arguments after the program's name
    EXPECT_EQ(std::vector(got.begin() + 5, got.begin() + 8),
              (std::vector<std::string>{"-V", "TEST", "-o"}));
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

TEST_F(StandInRun, AFailedOrShortBuildKeepsTheOldImageAndNothingRunsWithoutProgramOrLabel) {
    setenv("ARGS", dir.file("args").c_str(), 1);
    setenv("WRITE", "1", 1);
    setenv("SAY", "3", 1);
    const std::pair<std::string, std::string> cases[] = {
        {"for i in $(seq 1 20); do echo \"line $i\"; done; exit 3", "line 20"},
        {"echo dying; kill -9 $$", "dying"},
        // Says it wrote three sectors, but only one reached the file (a full disk).
        {std::string(kWritingBody) + "; exit 0", "3 extents written (0 MB)"},
    };
    for (const auto& [body, lastLine] : cases) {
        std::ofstream(request.imagePath) << "old image";
        const RunReport r = build(body);
        EXPECT_EQ(r.status, RunReport::Status::Failed) << lastLine;
        ASSERT_FALSE(r.lastLines.empty()) << lastLine;
        EXPECT_EQ(r.lastLines.back(), lastLine);
        EXPECT_LE(r.lastLines.size(), 12u);
        EXPECT_EQ(fileText(request.imagePath), "old image") << lastLine;
        for (const std::string& name : filesBeside()) EXPECT_THAT(name, Not(HasSubstr(".part")));
    }

    // Without a program or with a bad label nothing runs.
    EXPECT_EQ(build("").message, "ERROR: Can't locate genisoimage");
    request.builder = dir.file("nonexistent/genisoimage");
    EXPECT_EQ(image::buildDiscImage(request, {}, nullptr).message,
              "ERROR: Can't locate genisoimage");
    EXPECT_THAT(build("touch '" + dir.file("ran") + "'", "my disc").message,
                HasSubstr("may only hold"));
    EXPECT_FALSE(fs::exists(dir.file("ran")));
    EXPECT_EQ(fileText(request.imagePath), "old image");
}

// The files of the image's VIDEO_TS as isoinfo lists them: name (without the ";1" version) to
// first sector and length.
std::map<std::string, std::pair<std::int64_t, std::uint64_t>> isoVideoTs(const std::string& image) {
    std::istringstream in(runCommand("isoinfo -l -i '" + image + "'").out);
    std::map<std::string, std::pair<std::int64_t, std::uint64_t>> files;
    bool inVideoTs = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("Directory listing of ", 0) == 0)
            inVideoTs = line.find("/VIDEO_TS/") != std::string::npos;
        const auto open = line.find('['), semicolon = line.find(';');
        if (!inVideoTs || line[0] != '-' || open == std::string::npos || semicolon < open) continue;
        std::istringstream fields(line);
        std::string skip;
        std::uint64_t length = 0;
        fields >> skip >> skip >> skip >> skip >> length;
        const auto close = line.find("]  ", open);
        files[line.substr(close + 3, semicolon - close - 3)] = {std::stoll(line.substr(open + 1)),
                                                                length};
    }
    return files;
}

std::string isoVolumeLabel(const std::string& image) {
    const std::string info = runCommand("isoinfo -d -i '" + image + "'").out;
    const auto at = info.find("\nVolume id: ");
    return at == std::string::npos ? "" : info.substr(at + 12, info.find('\n', at + 1) - at - 12);
}

std::string builderOrSkip() {
    return image::discoverImageBuilder({}, image::environmentPath());
}

// The title lines lsdvd prints: number, length, chapters, cells and streams of each title.
std::string lsdvdTitles(const std::string& source) {
    std::istringstream in(runCommand("lsdvd '" + source + "'").out);
    std::string titles;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("Title:", 0) == 0) titles += line + "\n";
    return titles;
}

struct SampleCase {
    std::string disc;
    std::string leftOut;  // a file the copy lacks, in the spelling of the copy
    bool lowerCase;       // the copy spells its folder and files in lower case
};

class SampleImage : public ::testing::TestWithParam<SampleCase> {
  protected:
    void SetUp() override {
        builder = builderOrSkip();
        if (builder.empty()) GTEST_SKIP() << "genisoimage is not installed";
        const SampleCase& c = GetParam();
        root = dir.file(c.disc);
        videoTs = root + (c.lowerCase ? "/video_ts" : "/VIDEO_TS");
        fs::create_directories(videoTs);
        copySampleFolder(c.disc, videoTs, c.lowerCase);
        if (!c.leftOut.empty()) fs::remove(videoTs + "/" + c.leftOut);
        vmg = videoTs + (c.lowerCase ? "/video_ts.ifo" : "/VIDEO_TS.IFO");
    }
    RunReport build(const std::string& name) {
        return image::buildDiscImage({builder, videoTs, dir.file(name), ""}, {}, nullptr);
    }
    TempDir dir;
    std::string builder, root, videoTs, vmg;
};

// A title VOB that grew (re-encoded) no longer fits the addresses of the IFO files: the image
// program refuses the folder, and the user learns what mends it. After "get-vts-sectors --all"
// the image reads as the folder does, holds the disc's files in disc order, and every title set
// lies where the video manager says.
TEST_P(SampleImage, AGrownFolderIsRefusedAndAfterGetVtsSectorsTitleSetsLieWhereTheManagerSays) {
    const std::string vob = videoTs + (GetParam().lowerCase ? "/vts_01_1.vob" : "/VTS_01_1.VOB");
    std::ofstream(vob, std::ios::binary | std::ios::app) << std::string(64 * 2048, '\0');
    const auto refused = build("disc.img");
    EXPECT_EQ(refused.status, RunReport::Status::Failed);
    EXPECT_THAT(refused.message, HasSubstr("\"Get VTS sectors\"")) << refused.text();
    EXPECT_FALSE(fs::exists(dir.file("disc.img")));
    const CommandResult fixed = runCli({"get-vts-sectors", vmg, "--all"});
    ASSERT_EQ(fixed.status, 0) << fixed.err;
    const RunReport r = build("disc.img");
    ASSERT_TRUE(r.done()) << r.text();
    const std::string image = dir.file("disc.img");
    const std::string titles = lsdvdTitles(root);
    ASSERT_FALSE(titles.empty());
    EXPECT_EQ(lsdvdTitles(image), titles);
    EXPECT_EQ(isoVolumeLabel(image), upperAscii(GetParam().disc));
    // Every file of the folder, in the order of a disc.
    const auto files = isoVideoTs(image);
    const auto listing = repair::DiscListing::read(videoTs);
    ASSERT_TRUE(listing);
    ASSERT_EQ(files.size(), listing->entries().size());
    std::int64_t previous = 0;
    for (const auto& file : listing->entries()) {
        const std::string name = upperAscii(file.name);
        ASSERT_TRUE(files.contains(name)) << name;
        EXPECT_EQ(files.at(name).second, file.length) << name;
        EXPECT_GT(files.at(name).first, previous) << name << " lies before the file it follows";
        previous = files.at(name).first;
    }
    CliInteraction ui;
    const IfoHandle ifo = openIfoFile(vmg, ui);
    ASSERT_TRUE(ifo && ifo->has(ID_VMG_PTT_SRPT));
    const auto& t = ifo->table[ID_VMG_PTT_SRPT];
    ASSERT_GT(be16(&t[vmg_ptt::kTitleCount]), 0u);
    for (unsigned i = 0; i < be16(&t[vmg_ptt::kTitleCount]); ++i) {
        const std::uint8_t* entry = &t[vmg_ptt::kFirstTitle + i * vmg_ptt::kTitleSize];
        const std::string vts = repair::titleSetIfoName(entry[vmg_ptt::kVtsNumber]);
        ASSERT_TRUE(files.contains(vts)) << vts;
        EXPECT_EQ(files.at(vts).first,
                  files.at("VIDEO_TS.IFO").first + be32(entry + vmg_ptt::kVtsStart))
            << "title " << i + 1 << " in " << vts;
    }
}

INSTANTIATE_TEST_SUITE_P(Discs, SampleImage,
                         ::testing::Values(SampleCase{"ntsc43", "", false},
                                           SampleCase{"pal169", "", false},
                                           SampleCase{"mixed0", "", false},
                                           SampleCase{"ntsc43", "VTS_01_0.BUP", false},
                                           SampleCase{"mixed0", "video_ts.bup", true}),
                         [](const ::testing::TestParamInfo<SampleCase>& p) {
                             return p.param.disc + (p.param.leftOut.empty() ? "" : "_without_bup") +
                                    (p.param.lowerCase ? "_lower_case" : "");
                         });

TEST(DiscImageCli, BuildsRefusesAndReportsFailures) {
    if (builderOrSkip().empty()) GTEST_SKIP() << "genisoimage is not installed";
    TempDir dir;
    const std::string vmg = sampleFile("pal169", "VIDEO_TS.IFO");
    // A leading dash reaches the command as a name after "--".
    const std::string image = dir.file("-pal 169.img");
    const CommandResult ok = runCli({"disc-image", "--label", "PAL_169", "--", vmg, image});
    ASSERT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(isoVolumeLabel(image), "PAL_169");
    EXPECT_THAT(ok.out, HasSubstr("is written"));
    EXPECT_EQ(runCli({"disc-image", vmg, image, "--label", "lower case"}).status, 2);
    EXPECT_EQ(runCli({"disc-image", vmg}).status, 2);
    fs::copy_file(vmg, dir.file("VTS.IFO"));
    const CommandResult notVideoTs = runCli({"disc-image", dir.file("VTS.IFO"), image});
    EXPECT_EQ(notVideoTs.status, 1);
    EXPECT_THAT(notVideoTs.err,
                HasSubstr("Your files must be located in a folder named: 'VIDEO_TS'."));
    // A failing image program: its output and exit status 1, the image kept.
    const auto before = fs::file_size(image);
    const std::string failing =
        script(dir.file("failing builder"), "echo 'cannot write: No space left on device'; exit 5");
    const CommandResult failed = runCli({"disc-image", vmg, image, "--builder", failing});
    EXPECT_EQ(failed.status, 1);
    EXPECT_THAT(failed.err, HasSubstr("No space left on device"));
    EXPECT_EQ(fs::file_size(image), before);
    // Ctrl-C reaches navtab-cli alone (the image program runs in its own process group): the run
    // ends the program, though it ignores the polite request, keeps the image, leaves no scratch
    // file and says so.
    const std::string slow = script(dir.file("slow"), "trap '' TERM; echo ' 1.00% done'; sleep 30");
    const auto start = std::chrono::steady_clock::now();
    const CommandResult interrupted =
        runCommand("timeout --preserve-status -s INT 1 " + std::string(NAVTAB_CLI) +
                   " disc-image '" + vmg + "' '" + image + "' --builder '" + slow + "'");
    EXPECT_EQ(interrupted.status, 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_THAT(interrupted.err, HasSubstr("Cancelled; "));
    EXPECT_EQ(fs::file_size(image), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 4);
}

}  // namespace
}  // namespace navtab::test
