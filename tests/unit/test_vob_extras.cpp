// VOB Extras and Menu Extras on copies of the sample discs, checked from the outside: the files
// written are walked here sector by sector, independently of the writer, and held against the
// source; lsdvd reads the folder; the source folder must come through byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "core/bytes.h"
#include "core/document.h"
#include "unit/test_support.h"
#include "unit/vob_extras_checks.h"

namespace navtab {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::checkNavPacks;
using test::ExtrasDisc;
using test::replaced;
using test::SectorRun;

TEST(VobExtras, StrippingAnAudioAndASubPictureStreamKeepsEveryPointerRight) {
    ExtrasDisc d("ntsc43");
    const auto run = test::runCli(
        {"vob-extras", d.s("VTS_01_0.IFO"), d.o("VTS_01_1.VOB"), "--strip-streams", "0x81,0x21"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("Saved " + d.o("VIDEO_TS.IFO")));
    const SectorRun src(d.s("VTS_01_1.VOB")), out(d.o("VTS_01_1.VOB"));
    for (std::size_t s = 0; s < out.sectors(); ++s) {
        EXPECT_NE(out.streamOf(s), 0x81) << "sector " << s;
        EXPECT_NE(out.streamOf(s), 0x21) << "sector " << s;
    }
    checkNavPacks(src, out, src.vobusWhere([](std::uint16_t) { return true; }), {1}, {1});
    EXPECT_EQ(d.lsdvd(true), replaced(d.lsdvd(false), {{"Audio streams: 02", "Audio streams: 01"},
                                                       {"Subpictures: 02", "Subpictures: 01"},
                                                       {"\tAudio: 2, Language: fr\n", ""},
                                                       {"\tSubtitle: 02, Language: de\n", ""}}));
}

// Stripping VOB id 1 (the first two chapters of title 1): its VOBUs go whole, ids 2 and 3 become
// 1 and 2, title 1 keeps its last two chapters, the other titles stay as they were.
TEST(VobExtras, StrippingAVobIdDropsItsVobusAndRenumbersTheRest) {
    ExtrasDisc d("ntsc43");
    const auto run = test::runCli(
        {"vob-extras", d.s("VTS_01_0.IFO"), d.o("VTS_01_1.VOB"), "--strip-vobids", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    const SectorRun src(d.s("VTS_01_1.VOB")), out(d.o("VTS_01_1.VOB"));
    const auto kept = src.vobusWhere([](std::uint16_t id) { return id != 1; });
    checkNavPacks(src, out, kept);
    const auto srcNav = src.navSectors(), outNav = out.navSectors();
    for (std::size_t i = 0; i < kept.size() && i < outNav.size(); ++i)
        EXPECT_EQ(out.vobId(outNav[i]), src.vobId(srcNav[kept[i]]) - 1);
    EXPECT_EQ(
        d.lsdvd(true),
        replaced(d.lsdvd(false), {{"Title: 01, Length: 00:00:08.000 Chapters: 04, Cells: 04",
                                   "Title: 01, Length: 00:00:04.000 Chapters: 02, Cells: 02"}}));
}

// Leaving out the German menus of title set 1: only the English unit's VOB ids reach the menu VOB,
// and the rebuilt menu address tables describe it sector for sector.
TEST(VobExtras, StrippingALanguageUnitKeepsTheOtherUnitsMenus) {
    ExtrasDisc d("ntsc43");
    const auto run =
        test::runCli({"menu-extras", d.s("VTS_01_0.IFO"), d.o("VTS_01_0.VOB"), "--strip-lus", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    const SectorRun src(d.s("VTS_01_0.VOB")), out(d.o("VTS_01_0.VOB"));
    checkNavPacks(src, out, src.vobusWhere([](std::uint16_t id) { return id <= 2; }));
    test::RecordingInteraction ui;
    const IfoHandle ifo = openIfoFile(d.o("VTS_01_0.IFO"), ui);
    ASSERT_TRUE(ifo);
    const auto& admap = ifo->table[ID_VTSM_VOBU_ADMAP];
    const auto outNav = out.navSectors();
    ASSERT_EQ(be32(&admap[0]) + 1, 4 + 4 * outNav.size());
    for (std::size_t i = 0; i < outNav.size(); ++i) EXPECT_EQ(be32(&admap[4 + 4 * i]), outNav[i]);
    EXPECT_EQ(be16(&ifo->table[ID_VTSM_PGCI_UT][0]), 1) << "language units";
    const auto& cadt = ifo->table[ID_VTSM_C_ADT];
    EXPECT_EQ(be16(&cadt[0]), 2) << "VOB ids";
    EXPECT_EQ(be32(&cadt[8 + 12 + 8]), out.sectors() - 1) << "the last cell ends with the file";
}

// A run that cannot write its destination (the shell ignores the file-size signal, so a write
// past the limit fails with EFBIG as a full disk would) stops at once and saves no IFO file that
// would describe VOB files which were not written; a run that keeps nothing writes nothing.
TEST(VobExtras, AFailedWriteOrAnEmptyResultSavesNoIfo) {
    ExtrasDisc d("ntsc43");
    const std::string cli =
        "'" NAVTAB_CLI "' vob-extras '" + d.s("VTS_01_0.IFO") + "' '" + d.o("VTS_01_1.VOB") + "'";
    const std::pair<std::string, const char*> runs[] = {
        {"trap '' XFSZ; ulimit -f 300; " + cli + " --strip-streams 0x81", "Error writing file!"},
        {cli + " --strip-vobids 1,2,3", "Nothing of the source was kept"}};
    for (const auto& [command, message] : runs) {
        const auto run = test::runCommand(command);
        EXPECT_EQ(run.status, 1);
        EXPECT_THAT(run.err, HasSubstr(message));
        EXPECT_FALSE(fs::exists(d.o("VTS_01_0.IFO")));
        EXPECT_FALSE(fs::exists(d.o("VIDEO_TS.IFO")));
        fs::remove_all(d.out);
        fs::create_directories(d.out);
    }
}

// Other spellings of the source: a "./" path, a link to the source folder, a destination file
// that is a link to a source VOB, another letter case in the source folder.
TEST(VobExtras, NoSpellingOfTheSourceGetsPastTheOverwriteGuard) {
    ExtrasDisc d("ntsc43");
    fs::create_directory_symlink(d.src, d.dir.path() / "linked");
    fs::create_symlink(d.src / "VTS_01_1.VOB", d.out / "VTS_01_1.VOB");
    for (const std::string& dest : {(d.src / "." / "VTS_01_1.VOB").string(),
                                    (d.dir.path() / "linked" / "VTS_01_1.VOB").string(),
                                    d.s("vts_01_1.vob"), d.o("VTS_01_1.VOB")}) {
        const auto run =
            test::runCli({"vob-extras", d.s("VTS_01_0.IFO"), dest, "--strip-streams", "0x81"});
        EXPECT_EQ(run.status, 1) << dest;
        EXPECT_THAT(run.err, HasSubstr("You've selected to overwrite your original VOB files!"))
            << dest << ": " << run.err;
    }
    const auto menu =
        test::runCli({"menu-extras", d.s("VTS_01_0.IFO"), d.s("VTS_01_0.VOB"), "--strip-lus", "2"});
    EXPECT_THAT(menu.err, HasSubstr("original Menu VOB file!"));
}

// The rows of `show FILE NODE` that differ between two files.
std::vector<std::string> differingRows(const std::string& a, const std::string& b,
                                       const std::string& node) {
    const auto split = [](const std::string& text) {
        std::vector<std::string> lines;
        std::stringstream in(text);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    };
    const auto x = split(test::runCli({"show", a, node}).out);
    const auto y = split(test::runCli({"show", b, node}).out);
    EXPECT_GT(x.size(), 2u) << node;
    std::vector<std::string> out;
    for (std::size_t i = 0; i < std::max(x.size(), y.size()); ++i)
        if (i >= x.size() || i >= y.size() || x[i] != y[i])
            out.push_back(i < x.size() ? x[i] : y[i]);
    return out;
}

// Nothing stripped, both corrections on: the title set is corrected in place. Over dvdauthor's
// own output every NAV pack comes out as dvdauthor wrote it, and the rebuilt tables equal
// dvdauthor's but for two choices of this rebuild: a cell that begins a new VOB is flagged for
// seamless playback, and a PGC's playing time is the sum of its cells' (dvdauthor rounds the
// whole).
TEST(VobExtras, CorrectingInPlaceGivesBackWhatDvdauthorWrote) {
    for (const std::string disc : {"ntsc43", "pal169", "mixed0"}) {
        SCOPED_TRACE(disc);
        ExtrasDisc d(disc);
        const auto run = test::runCli({"vob-extras", d.s("VTS_01_0.IFO"), d.o("unused.VOB")});
        ASSERT_EQ(run.status, 0) << run.err;
        for (const char* rewritten : {"VTS_01_0.IFO", "VTS_01_0.BUP"})
            d.before[rewritten] = test::readFile(d.s(rewritten));
        const std::string original = test::sampleFile(disc, "VTS_01_0.IFO");
        for (const char* table : {"VTS_VOBU_ADMAP", "VTS_C_ADT", "VTS_TMAPTI", "PTT_SRPTI"})
            EXPECT_EQ(differingRows(d.s("VTS_01_0.IFO"), original, table),
                      std::vector<std::string>{})
                << table;
        const std::string tree = test::runCli({"tree", original}).out;
        const std::regex pgcNode("VTS_PGC_\\d+");
        for (std::sregex_iterator it(tree.begin(), tree.end(), pgcNode), end; it != end; ++it)
            for (const std::string& row : differingRows(d.s("VTS_01_0.IFO"), original, it->str()))
                EXPECT_TRUE(row.find("Cell type (Angle)") != std::string::npos ||
                            row.find("seamless playback linked in PCI") != std::string::npos ||
                            row.rfind("[00000004]", 0) == 0 ||
                            row.find("(hh:mm:ss.frame)") != std::string::npos)
                    << it->str() << ": " << row;
        EXPECT_FALSE(fs::exists(d.o("unused.VOB")));
    }
}

}  // namespace
}  // namespace navtab
