// navtab-cli scan and vobus on the sample discs, in text and JSON, and their usage errors.
#include <gtest/gtest.h>
#include <filesystem>

#include "unit/vob_test_streams.h"

namespace navtab::test {
namespace {

TEST(VobCli, ScanPrintsStatisticsVobusAndCellsInTextAndJson) {
    const auto r = runCli({"scan", sampleFile("ntsc43", "VTS_01_1.VOB")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Packs: 426\nSystem headers: 22\n", 0), 0u);
    EXPECT_THAT(
        r.out,
        HasSubstr("Stream 0xE0 Video 0: 264 packets, 514378 bytes, first PTS 0:00:00.533\n"));
    EXPECT_THAT(r.out, HasSubstr("Video: 352x240, [2] 4:3 display, [4] 29.97 (30000/1001) fps\n"));
    EXPECT_THAT(r.out, HasSubstr("VOBU starts: 22\n  0 46 68 94 117 140 164 186 214 223\n"));
    EXPECT_THAT(r.out, HasSubstr("  VOB 3 cell 2: sectors 359-425\nLast VOBU end: 425\n"));
    // The scan log goes to standard error.
    EXPECT_THAT(r.err, HasSubstr("\nSummary:\nMPEG Packs = 426\n"));
    EXPECT_THAT(r.out, Not(HasSubstr("Summary")));

    const auto j = runCli({"scan", sampleFile("pal169", "VTS_01_1.VOB"), "--json"});
    ASSERT_EQ(j.status, 0) << j.err;
    EXPECT_THAT(j.out, HasSubstr("{\"vobId\": 1, \"cellId\": 2, \"start\": 190, \"last\": 523}"));
    EXPECT_THAT(j.out, HasSubstr("{\"id\": 161, \"packets\": "));  // LPCM sub-stream 0xA1
}

TEST(VobCli, UsageAndFailures) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"scan"}, {"scan", "--bogus", "x"}, {"vobus"}})
        EXPECT_EQ(runCli(args).status, 2) << args.back();
    // A missing file in the middle of a chain would shorten the stream without a word.
    const auto chain = runCli({"scan", sampleFile("pal169", "VTS_01_1.VOB"), "/nonexistent/B.VOB"});
    EXPECT_EQ(chain.status, 1);
    EXPECT_EQ(chain.out, "");
    EXPECT_THAT(chain.err, HasSubstr("navtab-cli: cannot read /nonexistent/B.VOB\n"));
    const auto vmg = runCli({"vobus", sampleFile("ntsc43", "VIDEO_TS.IFO")});
    EXPECT_EQ(vmg.status, 1);
    EXPECT_THAT(vmg.err, HasSubstr("is not a title set IFO file"));
}

TEST(VobCli, VobusTextAndJson) {
    const auto text = runCli({"vobus", sampleFile("ntsc43", "VTS_01_0.IFO")});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out.rfind("sector\tlbn\tlast\tvob\tcell\tframes\tref1\tref2\tref3\taudio sync\n"
                             "0\t0\t45\t1\t1\t15\t8\t13\t18\ta0=2 a1=3\n",
                             0),
              0u);
    EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\n'), 23);

    const auto json = runCli({"vobus", sampleFile("ntsc43", "VTS_02_0.IFO"), "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_THAT(json.out,
                HasSubstr("{\"sector\": 0, \"lbn\": 0, \"lastOffset\": 5, \"vobId\": 1, "
                          "\"cellId\": 1, \"frames\": 15, \"refEnd\": [3, 3, 3], "
                          "\"sPtm\": 48003, \"ePtm\": 93048, "
                          "\"audioSync\": [2, 0, 0, 0, 0, 0, 0, 0], \"subpSync\": [0, 0,"));
    // ntsc43's first title set has two sub-picture streams: the NAV packs' words as they are.
    const auto subp = runCli({"vobus", sampleFile("ntsc43", "VTS_01_0.IFO"), "--json"});
    EXPECT_THAT(subp.out,
                HasSubstr("\"audioSync\": [2, 3, 0, 0, 0, 0, 0, 0], \"subpSync\": [68, 68, 0,"));
}

// Title VOB files without a single NAV pack (a padding-only stream): nothing to list or write.
TEST(VobCli, VobusAndTemplateFailOnVobFilesWithoutNavPacks) {
    TempDir dir;
    std::filesystem::copy_file(sampleFile("pal169", "VTS_01_0.IFO"), dir.file("VTS_01_0.IFO"));
    writeSectors(dir.file("VTS_01_1.VOB"), std::vector<Sector>(4, paddingSector()));
    const auto vobus = runCli({"vobus", dir.file("VTS_01_0.IFO")});
    EXPECT_EQ(vobus.status, 1);
    EXPECT_EQ(vobus.out, "");
    EXPECT_EQ(vobus.err,
              "navtab-cli: the VOB files hold no NAV pack, so there is no VOBU to list\n");
    const auto templ = runCli({"template", dir.file("VTS_01_0.IFO"), dir.file("t.txt")});
    EXPECT_EQ(templ.status, 1);
    EXPECT_EQ(templ.err, "navtab-cli: the VOB files hold no NAV pack; " + dir.file("t.txt") +
                             " not written\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("t.txt")));
}

}  // namespace
}  // namespace navtab::test
