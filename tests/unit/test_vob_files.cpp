// Finding the VOB files of a title set: index order, the first gap ends the list, at most nine,
// names in either case.
#include <gtest/gtest.h>

#include "unit/test_support.h"
#include "vob/vob_files.h"

namespace navtab::test {
namespace {

using navtab::vob::titleVobPaths;

void touch(const TempDir& dir, const std::string& name, std::size_t bytes = 2048) {
    writeFile(dir.file(name), Bytes(bytes, 0));
}

TEST(VobFiles, TitleVobsInIndexOrderUpToTheFirstGapAndAtMostNine) {
    TempDir dir;
    for (const char* n : {"VTS_03_0.IFO", "VTS_03_0.VOB", "VTS_03_1.VOB", "VTS_03_2.VOB",
                          "VTS_03_3.VOB", "VTS_03_5.VOB", "VTS_04_1.VOB", "VTS_01_2.VOB"})
        touch(dir, n);
    EXPECT_EQ(titleVobPaths(dir.file("VTS_03_0.IFO")),
              (std::vector<std::string>{dir.file("VTS_03_1.VOB"), dir.file("VTS_03_2.VOB"),
                                        dir.file("VTS_03_3.VOB")}));
    EXPECT_EQ(titleVobPaths(dir.file("VTS_03_0.BUP")).size(), 3u);  // the same title set
    EXPECT_EQ(*vob::menuVobPath(dir.file("VTS_03_0.IFO")), dir.file("VTS_03_0.VOB"));
    // No first title VOB, no title VOBs.
    EXPECT_TRUE(titleVobPaths(dir.file("VTS_01_0.IFO")).empty());
    EXPECT_FALSE(vob::menuVobPath(dir.file("VTS_01_0.IFO")));
    for (int i = 1; i <= 10; ++i) touch(dir, "VTS_02_" + std::to_string(i) + ".VOB");
    const auto files = titleVobPaths(dir.file("VTS_02_0.IFO"));
    ASSERT_EQ(files.size(), 9u);
    EXPECT_EQ(files.back(), dir.file("VTS_02_9.VOB"));
    touch(dir, "a.vob", 3 * 2048 + 100);  // a truncated last sector is not counted
    EXPECT_EQ(*vob::sectorCount(dir.file("a.vob")), 3u);
    EXPECT_FALSE(vob::sectorCount(dir.file("missing.vob")));
}

TEST(VobFiles, NamesAreFoundWhateverTheirCaseAndKeepIt) {
    TempDir dir;
    touch(dir, "vts_01_0.ifo");
    touch(dir, "vts_01_1.vob");
    touch(dir, "Vts_01_2.Vob");
    touch(dir, "video_ts.vob");
    EXPECT_EQ(titleVobPaths(dir.file("vts_01_0.ifo")),
              (std::vector<std::string>{dir.file("vts_01_1.vob"), dir.file("Vts_01_2.Vob")}));
    EXPECT_EQ(titleVobPaths(dir.file("VTS_01_0.IFO")).size(), 2u);
    EXPECT_EQ(*vob::menuVobPath(dir.file("VIDEO_TS.IFO")), dir.file("video_ts.vob"));
    // A folder of that name is no VOB file.
    std::filesystem::create_directory(dir.file("VTS_05_1.VOB"));
    EXPECT_TRUE(titleVobPaths(dir.file("VTS_05_0.IFO")).empty());
}

}  // namespace
}  // namespace navtab::test
