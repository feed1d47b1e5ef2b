// Finding the VOB files of a title set: index order, the first gap ends the list, at most nine,
// names in either case.
#include <gtest/gtest.h>

#include "unit/test_support.h"
#include "vob/vob_files.h"

namespace navtab::test {
namespace {

using navtab::vob::titleVobPaths;

TEST(VobFiles, TitleVobsInIndexOrderUpToTheFirstGapAtMostNineInEitherCase) {
    TempDir dir;
    const auto touch = [&](const std::string& name, std::size_t bytes = 2048) {
        writeFile(dir.file(name), Bytes(bytes, 0));
    };
    for (const char* n : {"VTS_03_0.IFO", "VTS_03_0.VOB", "VTS_03_1.VOB", "VTS_03_2.VOB",
                          "VTS_03_3.VOB", "VTS_03_5.VOB", "VTS_04_1.VOB", "VTS_01_2.VOB",
                          "vts_06_1.vob", "Vts_06_2.Vob", "video_ts.vob"})
        touch(n);
    EXPECT_EQ(titleVobPaths(dir.file("VTS_03_0.BUP")),
              (std::vector<std::string>{dir.file("VTS_03_1.VOB"), dir.file("VTS_03_2.VOB"),
                                        dir.file("VTS_03_3.VOB")}));
    EXPECT_EQ(*vob::menuVobPath(dir.file("VTS_03_0.IFO")), dir.file("VTS_03_0.VOB"));
    // No first title VOB, no title VOBs.
    EXPECT_TRUE(titleVobPaths(dir.file("VTS_01_0.IFO")).empty());
    EXPECT_FALSE(vob::menuVobPath(dir.file("VTS_01_0.IFO")));
    for (int i = 1; i <= 10; ++i) touch("VTS_02_" + std::to_string(i) + ".VOB");
    const auto files = titleVobPaths(dir.file("VTS_02_0.IFO"));
    ASSERT_EQ(files.size(), 9u);
    EXPECT_EQ(files.back(), dir.file("VTS_02_9.VOB"));
    // Names of another case are found and kept; a folder of a VOB's name is no VOB file.
    EXPECT_EQ(titleVobPaths(dir.file("VTS_06_0.IFO")),
              (std::vector<std::string>{dir.file("vts_06_1.vob"), dir.file("Vts_06_2.Vob")}));
    EXPECT_EQ(*vob::menuVobPath(dir.file("VIDEO_TS.IFO")), dir.file("video_ts.vob"));
    std::filesystem::create_directory(dir.file("VTS_05_1.VOB"));
    EXPECT_TRUE(titleVobPaths(dir.file("VTS_05_0.IFO")).empty());
    touch("a.vob", 3 * 2048 + 100);  // a truncated last sector is not counted
    EXPECT_EQ(*vob::sectorCount(dir.file("a.vob")), 3u);
    EXPECT_FALSE(vob::sectorCount(dir.file("missing.vob")));
}

}  // namespace
}  // namespace navtab::test
