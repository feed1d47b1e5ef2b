// Images of the sample discs built with the real image program: lsdvd reads the same titles from
// the image as from the folder, the image's VIDEO_TS (as isoinfo lists it) holds the disc's files
// in disc order, and after "get-vts-sectors --all" every title set lies
// where the video manager says. Also the disc-image command of navtab-cli.
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
#include "repair/disc_listing.h"
#include "unit/test_support.h"

namespace navtab::test {
namespace {

namespace fs = std::filesystem;

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
        std::string mode, user, group, links;
        std::uint64_t length = 0;
        fields >> mode >> links >> user >> group >> length;
        const auto close = line.find("]  ", open);
        files[line.substr(close + 3, semicolon - close - 3)] = {std::stoll(line.substr(open + 1)),
                                                                length};
    }
    return files;
}

std::string isoVolumeLabel(const std::string& image) {
    std::istringstream in(runCommand("isoinfo -d -i '" + image + "'").out);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("Volume id: ", 0) == 0) return line.substr(11);
    return {};
}

std::string builderOrSkip() {
    return image::discoverImageBuilder({}, image::environmentPath());
}

// The title lines lsdvd prints: number, length, chapters, cells and streams of each title.
std::string lsdvdTitles(const std::string& source) {
    const CommandResult r = runCommand("lsdvd '" + source + "'");
    std::istringstream in(r.out);
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
    }
    std::string vmgPath() const {
        return videoTs + (GetParam().lowerCase ? "/video_ts.ifo" : "/VIDEO_TS.IFO");
    }
    std::string build(const std::string& name) {
        const std::string path = dir.file(name);
        const auto r = image::buildDiscImage({builder, videoTs, path, ""}, {}, nullptr);
        EXPECT_TRUE(r.done()) << r.text();
        return path;
    }
    TempDir dir;
    std::string builder, root, videoTs;
};

TEST_P(SampleImage, LsdvdReadsTheSameTitlesAndFilesLieInDiscOrder) {
    const std::string image = build("disc.img");
    const std::string titles = lsdvdTitles(root);
    ASSERT_FALSE(titles.empty());
    EXPECT_EQ(lsdvdTitles(image), titles);
    EXPECT_EQ(isoVolumeLabel(image), upperAscii(GetParam().disc));
    const auto files = isoVideoTs(image);
    const auto listing = repair::DiscListing::read(videoTs);
    ASSERT_TRUE(listing);
    ASSERT_EQ(files.size(), listing->entries().size());
    std::int64_t previous = 0;
    for (const auto& file : listing->entries()) {
        const std::string name = upperAscii(file.name);
        ASSERT_TRUE(files.contains(name)) << name;
        const auto [sector, length] = files.at(name);
        EXPECT_EQ(length, file.length) << name;
        EXPECT_GT(sector, previous) << name << " lies before the file it follows on a disc";
        previous = sector;
    }
}

TEST_P(SampleImage, TitleSetsLieWhereTheVideoManagerSaysAfterGetVtsSectors) {
    const CommandResult fixed = runCli({"get-vts-sectors", vmgPath(), "--all", "--force"});
    ASSERT_EQ(fixed.status, 0) << fixed.err;
    const std::string image = build("fixed.img");
    const auto files = isoVideoTs(image);
    auto sectorOf = [&](const std::string& name) {
        return files.contains(name) ? files.at(name).first : -1;
    };
    CliInteraction ui;
    const IfoHandle vmg = openIfoFile(vmgPath(), ui);
    ASSERT_TRUE(vmg && vmg->has(ID_VMG_PTT_SRPT));
    const auto& t = vmg->table[ID_VMG_PTT_SRPT];
    const unsigned titles = be16(&t[vmg_ptt::kTitleCount]);
    ASSERT_GT(titles, 0u);
    for (unsigned i = 0; i < titles; ++i) {
        const std::uint8_t* entry = &t[vmg_ptt::kFirstTitle + i * vmg_ptt::kTitleSize];
        const int titleSet = entry[vmg_ptt::kVtsNumber];
        const std::string ifo = repair::titleSetIfoName(titleSet);
        EXPECT_EQ(sectorOf(ifo), sectorOf("VIDEO_TS.IFO") + be32(entry + vmg_ptt::kVtsStart))
            << "title " << i + 1 << " in " << ifo;
    }
}

// A title VOB that grew (re-encoded) no longer fits the addresses of the IFO files: the image
// program refuses the folder, and the user learns what mends it; "get-vts-sectors --all" does.
TEST_P(SampleImage, AFolderWhoseAddressesDisagreeIsNamedWithItsRepair) {
    const std::string vob = videoTs + (GetParam().lowerCase ? "/vts_01_1.vob" : "/VTS_01_1.VOB");
    std::ofstream(vob, std::ios::binary | std::ios::app) << std::string(64 * 2048, '\0');
    const auto refused =
        image::buildDiscImage({builder, videoTs, dir.file("grown.img"), ""}, {}, nullptr);
    EXPECT_EQ(refused.status, image::RunReport::Status::Failed);
    EXPECT_THAT(refused.message, HasSubstr("\"Get VTS sectors\"")) << refused.text();
    EXPECT_FALSE(fs::exists(dir.file("grown.img")));
    ASSERT_EQ(runCli({"get-vts-sectors", vmgPath(), "--all"}).status, 0);
    build("grown.img");
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
    const std::string elsewhere = dir.file("VTS.IFO");
    fs::copy_file(vmg, elsewhere);
    const CommandResult notVideoTs = runCli({"disc-image", elsewhere, image});
    EXPECT_EQ(notVideoTs.status, 1);
    EXPECT_THAT(notVideoTs.err,
                HasSubstr("Your files must be located in a folder named: 'VIDEO_TS'."));
    // A failing image program: its output and exit status 1, the image kept (the run's other
    // failures are held in test_disc_image_runs).
    const std::string failing = dir.file("failing builder");
    std::ofstream(failing) << "#!/bin/sh\necho 'cannot write: No space left on device'\nexit 5\n";
    fs::permissions(failing, fs::perms::owner_all);
    const auto before = fs::file_size(image);
    const CommandResult failed = runCli({"disc-image", vmg, image, "--builder", failing});
    EXPECT_EQ(failed.status, 1);
    EXPECT_THAT(failed.err, HasSubstr("No space left on device"));
    EXPECT_EQ(fs::file_size(image), before);
    // Ctrl-C reaches navtab-cli alone (the image program runs in its own process group): the run
    // ends the program, keeps the image and says so.
    const std::string slow = dir.file("slow");
    std::ofstream(slow) << "#!/bin/sh\necho ' 1.00% done'\nsleep 30\n";
    fs::permissions(slow, fs::perms::owner_all);
    const auto start = std::chrono::steady_clock::now();
    const CommandResult interrupted =
        runCommand("timeout --preserve-status -s INT 1 " + std::string(NAVTAB_CLI) +
                   " disc-image '" + vmg + "' '" + image + "' --builder '" + slow + "'");
    EXPECT_EQ(interrupted.status, 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_THAT(interrupted.err, HasSubstr("Cancelled; "));
    EXPECT_EQ(fs::file_size(image), before);
}

}  // namespace
}  // namespace navtab::test
