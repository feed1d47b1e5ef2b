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

namespace navtab {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

constexpr std::size_t kSector = 2048;

// The VOB files of one title set (or one menu VOB) as one run of sectors.
struct SectorRun {
    Bytes bytes;
    explicit SectorRun(const std::vector<std::string>& files) {
        for (const auto& f : files) {
            const Bytes b = test::readFile(f);
            bytes.insert(bytes.end(), b.begin(), b.end());
        }
    }
    std::size_t sectors() const { return bytes.size() / kSector; }
    const std::uint8_t* at(std::size_t s) const { return &bytes[s * kSector]; }
    bool navPack(std::size_t s) const { return at(s)[17] == 0xBB; }
    std::vector<std::uint32_t> navSectors() const {
        std::vector<std::uint32_t> out;
        for (std::size_t s = 0; s < sectors(); ++s)
            if (navPack(s)) out.push_back(static_cast<std::uint32_t>(s));
        return out;
    }
    std::uint16_t vobId(std::size_t s) const { return be16(at(s) + 1055); }
    // The private stream 1 sub-stream id of a sector, or its MPEG stream id.
    int streamOf(std::size_t s) const {
        const std::uint8_t* p = at(s);
        return p[17] == 0xBD ? p[23 + p[22]] : p[17];
    }
};

// The 42 search words: next video, 19 forward (farthest first), next, previous, 19 backward
// (nearest first), previous video. Forward words point ahead.
struct SearchWord {
    std::size_t offset;
    bool forward;
    bool step;
};
std::vector<SearchWord> searchWords() {
    std::vector<SearchWord> w{{1265, true, false}};
    for (int i = 0; i < 19; ++i) w.push_back({1269u + 4u * i, true, true});
    w.push_back({1345, true, false});
    w.push_back({1349, false, false});
    for (int i = 0; i < 19; ++i) w.push_back({1353u + 4u * i, false, true});
    w.push_back({1429, false, false});
    return w;
}

bool specialSearch(std::uint32_t word, bool step) {
    return word == 0x3FFFFFFF || word == 0x7FFFFFFF || word == 0xBFFFFFFF ||
           (step && word == 0x80000000);
}

// Every NAV pack of `out` against the source VOBU it was copied from: `kept` lists, for each
// output VOBU, the index of its source VOBU. Old pointers name source sectors; the output must
// name the output VOBU that stands for the first kept source VOBU at or beyond (before) it.
// Streams the run left out have no packets in the output, and their offsets must say so (0).
struct Stripped {
    std::set<int> audio, subp;
};

void checkNavPacks(const SectorRun& src, const SectorRun& out, const std::vector<std::size_t>& kept,
                   const Stripped& stripped = {}) {
    const auto srcNav = src.navSectors();
    const auto outNav = out.navSectors();
    ASSERT_EQ(outNav.size(), kept.size());
    auto outIndexAtOrAfter = [&](std::size_t from, std::uint64_t target) {
        for (std::size_t j = from; j < kept.size(); ++j)
            if (srcNav[kept[j]] >= target) return j;
        return kept.size() - 1;
    };
    auto outIndexAtOrBefore = [&](std::size_t from, std::int64_t target) {
        for (std::size_t j = from + 1; j-- > 0;)
            if (static_cast<std::int64_t>(srcNav[kept[j]]) <= target) return j;
        return std::size_t{0};
    };
    for (std::size_t i = 0; i < outNav.size(); ++i) {
        SCOPED_TRACE("output VOBU " + std::to_string(i) + " at sector " +
                     std::to_string(outNav[i]));
        const std::uint8_t* o = out.at(outNav[i]);
        const std::uint8_t* s = src.at(srcNav[kept[i]]);
        EXPECT_EQ(be32(o + 45), outNav[i]);
        EXPECT_EQ(be32(o + 1035), outNav[i]);
        const auto end =
            i + 1 < outNav.size() ? outNav[i + 1] : static_cast<std::uint32_t>(out.sectors());
        EXPECT_EQ(outNav[i] + be32(o + 1039) + 1, end);
        for (int r = 0; r < 3; ++r) {
            if (const std::uint32_t ref = be32(o + 1043 + 4 * r); ref != 0) {
                EXPECT_EQ(out.streamOf(outNav[i] + ref), 0xE0) << "reference end " << r;
            }
        }
        for (const SearchWord& w : searchWords()) {
            const std::uint32_t sw = be32(s + w.offset), ow = be32(o + w.offset);
            if (specialSearch(sw, w.step)) {
                EXPECT_EQ(ow, sw) << "special word at " << w.offset;
                continue;
            }
            const std::uint32_t d = sw & 0x3FFFFFFF;
            const std::size_t j = w.forward ? outIndexAtOrAfter(i + 1 < kept.size() ? i + 1 : i,
                                                                std::uint64_t{srcNav[kept[i]]} + d)
                                            : outIndexAtOrBefore(i > 0 ? i - 1 : 0,
                                                                 std::int64_t{srcNav[kept[i]]} - d);
            const std::uint32_t distance =
                w.forward ? outNav[j] - outNav[i] : outNav[i] - outNav[j];
            EXPECT_EQ(ow, (sw & 0xC0000000) | distance) << "search word at " << w.offset;
        }
        // Sync offsets lead to the very packet the source's offset led to.
        for (int n = 0; n < 8; ++n) {
            const std::uint16_t sw = be16(s + 1433 + 2 * n), ow = be16(o + 1433 + 2 * n);
            if (sw == 0 || sw == 0x3FFF || stripped.audio.count(n)) {
                EXPECT_EQ(ow, stripped.audio.count(n) ? 0 : sw) << "audio " << n;
                continue;
            }
            ASSERT_NE(ow, 0) << "audio " << n << " lost its offset";
            const auto at = [](std::uint32_t nav, std::uint16_t w) {
                return w & 0x8000 ? nav - (w & 0x3FFF) : nav + w;
            };
            const std::uint32_t srcTarget = at(srcNav[kept[i]], sw), outTarget = at(outNav[i], ow);
            EXPECT_TRUE(
                std::equal(src.at(srcTarget), src.at(srcTarget) + kSector, out.at(outTarget)))
                << "audio " << n;
        }
        for (int n = 0; n < 32; ++n) {
            const std::uint32_t sw = be32(s + 1449 + 4 * n), ow = be32(o + 1449 + 4 * n);
            if (sw == 0 || sw == 0x3FFFFFFF || sw == 0x7FFFFFFF || stripped.subp.count(n)) {
                EXPECT_EQ(ow, stripped.subp.count(n) ? 0 : sw) << "sub-picture " << n;
                continue;
            }
            const auto at = [](std::uint32_t nav, std::uint32_t w) {
                return w & 0x80000000 ? nav - (w & 0x3FFFFFFF) : nav + w;
            };
            EXPECT_EQ(out.streamOf(at(outNav[i], ow)), src.streamOf(at(srcNav[kept[i]], sw)))
                << "sub-picture " << n;
        }
    }
}

std::map<std::string, Bytes> snapshot(const fs::path& folder) {
    std::map<std::string, Bytes> files;
    for (const auto& e : fs::directory_iterator(folder))
        files[e.path().filename().string()] = test::readFile(e.path().string());
    return files;
}

// A copy of a sample's VIDEO_TS folder and an empty destination folder beside it.
struct ExtrasDisc {
    test::TempDir dir;
    fs::path src, out;
    std::map<std::string, Bytes> before;
    explicit ExtrasDisc(const std::string& disc) {
        src = dir.path() / "src" / "VIDEO_TS";
        out = dir.path() / "out" / "VIDEO_TS";
        fs::create_directories(src);
        fs::create_directories(out);
        const fs::path from = fs::path(test::sampleFile(disc, "VIDEO_TS.IFO")).parent_path();
        for (const auto& e : fs::directory_iterator(from))
            fs::copy_file(e.path(), src / e.path().filename());
        before = snapshot(src);
    }
    std::string s(const std::string& name) const { return (src / name).string(); }
    std::string o(const std::string& name) const { return (out / name).string(); }
    // The files the run did not write, copied in so that the output is a whole disc.
    void completeOutput() const {
        for (const auto& e : fs::directory_iterator(src))
            if (!fs::exists(out / e.path().filename()))
                fs::copy_file(e.path(), out / e.path().filename());
    }
    std::string lsdvd(const fs::path& folder) const {
        return test::runCommand("lsdvd -x '" + folder.parent_path().string() + "' 2>/dev/null").out;
    }
};

std::vector<std::size_t> allOf(std::size_t n) {
    std::vector<std::size_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = i;
    return v;
}

// The title lines and stream lines of lsdvd, without the sizes and sectors that change.
std::string lsdvdTitles(const std::string& text) {
    std::string out;
    static const std::regex line(
        R"((Title: \d+, Length: [^\n]*)|(\tAudio: \d+, Language: [a-z]+)|(\tSubtitle: \d+, Language: [a-z]+))");
    for (std::sregex_iterator it(text.begin(), text.end(), line), end; it != end; ++it)
        out += it->str() + "\n";
    return out;
}

TEST(VobExtras, StrippingAnAudioAndASubPictureStreamKeepsEveryPointerRight) {
    ExtrasDisc d("ntsc43");
    const auto sourceList = d.lsdvd(d.src);
    const auto run = test::runCli(
        {"vob-extras", d.s("VTS_01_0.IFO"), d.o("VTS_01_1.VOB"), "--strip-streams", "0x81,0x21"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Saved " + d.o("VIDEO_TS.IFO")), std::string::npos) << run.out;

    const SectorRun src({d.s("VTS_01_1.VOB")}), out({d.o("VTS_01_1.VOB")});
    for (std::size_t s = 0; s < out.sectors(); ++s) {
        EXPECT_NE(out.streamOf(s), 0x81) << "sector " << s;
        EXPECT_NE(out.streamOf(s), 0x21) << "sector " << s;
    }
    checkNavPacks(src, out, allOf(src.navSectors().size()), {{1}, {1}});

    d.completeOutput();
    std::string expected = lsdvdTitles(sourceList);
    expected = std::regex_replace(expected, std::regex("Audio streams: 02"), "Audio streams: 01");
    expected = std::regex_replace(expected, std::regex("Subpictures: 02"), "Subpictures: 01");
    expected = std::regex_replace(expected, std::regex("\tAudio: 2, Language: fr\n"), "");
    expected = std::regex_replace(expected, std::regex("\tSubtitle: 02, Language: de\n"), "");
    EXPECT_EQ(lsdvdTitles(d.lsdvd(d.out)), expected);
    EXPECT_EQ(snapshot(d.src), d.before);
}

}  // namespace
}  // namespace navtab

namespace navtab {
namespace {

// What reaches the destination when the run cannot write it: the run stops at once and saves no
// IFO file that would describe VOB files which were not written.
TEST(VobExtras, AFailedWriteEndsTheRunBeforeAnyIfoIsSaved) {
    ExtrasDisc d("ntsc43");
    // The shell ignores the file-size signal, so a write past the limit fails with EFBIG as a
    // full disk would.
    const auto run = test::runCommand("trap '' XFSZ; ulimit -f 300; '" NAVTAB_CLI "' vob-extras '" +
                                      d.s("VTS_01_0.IFO") + "' '" + d.o("VTS_01_1.VOB") +
                                      "' --strip-streams 0x81");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Error writing file!"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(d.o("VTS_01_0.IFO")));
    EXPECT_FALSE(fs::exists(d.o("VIDEO_TS.IFO")));
    EXPECT_EQ(snapshot(d.src), d.before);
}

// Other spellings of the source: a "./" path, a link to the source folder, a destination file
// that is a link to a source VOB, another letter case in the source folder.
TEST(VobExtras, NoSpellingOfTheSourceGetsPastTheOverwriteGuard) {
    ExtrasDisc d("ntsc43");
    fs::create_directory_symlink(d.src, d.dir.path() / "linked");
    fs::create_symlink(d.src / "VTS_01_1.VOB", d.out / "VTS_01_1.VOB");
    const std::string sameFolder = (d.src / "." / "VTS_01_1.VOB").string();
    for (const std::string& dest : {sameFolder, (d.dir.path() / "linked" / "VTS_01_1.VOB").string(),
                                    d.s("vts_01_1.vob"), d.o("VTS_01_1.VOB")}) {
        const auto run =
            test::runCli({"vob-extras", d.s("VTS_01_0.IFO"), dest, "--strip-streams", "0x81"});
        EXPECT_EQ(run.status, 1) << dest;
        EXPECT_NE(run.err.find("You've selected to overwrite your original VOB files!"),
                  std::string::npos)
            << dest << ": " << run.err;
    }
    const auto menu =
        test::runCli({"menu-extras", d.s("VTS_01_0.IFO"), d.s("VTS_01_0.VOB"), "--strip-lus", "2"});
    EXPECT_NE(menu.err.find("original Menu VOB file!"), std::string::npos) << menu.err;
    EXPECT_EQ(snapshot(d.src), d.before);
}

}  // namespace
}  // namespace navtab

namespace navtab {
namespace {

std::vector<std::size_t> vobusWhere(const SectorRun& run,
                                    const std::function<bool(std::uint16_t)>& keep) {
    std::vector<std::size_t> kept;
    const auto nav = run.navSectors();
    for (std::size_t i = 0; i < nav.size(); ++i)
        if (keep(run.vobId(nav[i]))) kept.push_back(i);
    return kept;
}

// Stripping VOB id 1 (the first two chapters of title 1): its VOBUs go whole, ids 2 and 3 become
// 1 and 2, title 1 keeps its last two chapters, the other titles stay as they were.
TEST(VobExtras, StrippingAVobIdDropsItsVobusAndRenumbersTheRest) {
    ExtrasDisc d("ntsc43");
    const auto sourceList = d.lsdvd(d.src);
    const auto run = test::runCli(
        {"vob-extras", d.s("VTS_01_0.IFO"), d.o("VTS_01_1.VOB"), "--strip-vobids", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    const SectorRun src({d.s("VTS_01_1.VOB")}), out({d.o("VTS_01_1.VOB")});
    const auto kept = vobusWhere(src, [](std::uint16_t id) { return id != 1; });
    checkNavPacks(src, out, kept);
    const auto srcNav = src.navSectors(), outNav = out.navSectors();
    for (std::size_t i = 0; i < kept.size() && i < outNav.size(); ++i)
        EXPECT_EQ(out.vobId(outNav[i]), src.vobId(srcNav[kept[i]]) - 1);

    d.completeOutput();
    std::string expected =
        std::regex_replace(lsdvdTitles(sourceList),
                           std::regex("Title: 01, Length: 00:00:08.000 Chapters: 04, Cells: 04"),
                           "Title: 01, Length: 00:00:04.000 Chapters: 02, Cells: 02");
    EXPECT_EQ(lsdvdTitles(d.lsdvd(d.out)), expected);
    EXPECT_EQ(snapshot(d.src), d.before);
}

// Leaving out the German menus of title set 1: only the English unit's VOB ids reach the menu VOB,
// and the rebuilt menu address tables describe it sector for sector.
TEST(VobExtras, StrippingALanguageUnitKeepsTheOtherUnitsMenus) {
    ExtrasDisc d("ntsc43");
    const auto run =
        test::runCli({"menu-extras", d.s("VTS_01_0.IFO"), d.o("VTS_01_0.VOB"), "--strip-lus", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    const SectorRun src({d.s("VTS_01_0.VOB")}), out({d.o("VTS_01_0.VOB")});
    checkNavPacks(src, out, vobusWhere(src, [](std::uint16_t id) { return id <= 2; }));

    test::RecordingInteraction ui;
    const IfoHandle ifo = openIfoFile(d.o("VTS_01_0.IFO"), ui);
    ASSERT_TRUE(ifo);
    const auto& admap = ifo->table[ID_VTSM_VOBU_ADMAP];
    const auto outNav = out.navSectors();
    ASSERT_EQ(be32(&admap[0]) + 1, 4 + 4 * outNav.size());
    for (std::size_t i = 0; i < outNav.size(); ++i) EXPECT_EQ(be32(&admap[4 + 4 * i]), outNav[i]);
    const auto& units = ifo->table[ID_VTSM_PGCI_UT];
    EXPECT_EQ(be16(&units[0]), 1) << "language units";
    const auto& cadt = ifo->table[ID_VTSM_C_ADT];
    EXPECT_EQ(be16(&cadt[0]), 2) << "VOB ids";
    EXPECT_EQ(be32(&cadt[8 + 12 + 8]), out.sectors() - 1) << "the last cell ends with the file";
    EXPECT_EQ(snapshot(d.src), d.before);
}

}  // namespace
}  // namespace navtab

namespace navtab {
namespace {

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
// own output every NAV pack comes out as dvdauthor wrote it (its user operations are already
// clear), and the rebuilt tables equal dvdauthor's but for two choices of this rebuild: a cell
// that begins a new VOB is flagged for seamless playback, and a PGC's playing time is the sum of
// its cells' (dvdauthor rounds the whole).
TEST(VobExtras, CorrectingInPlaceGivesBackWhatDvdauthorWrote) {
    for (const std::string disc : {"ntsc43", "pal169", "mixed0"}) {
        SCOPED_TRACE(disc);
        ExtrasDisc d(disc);
        const auto run = test::runCli({"vob-extras", d.s("VTS_01_0.IFO"), d.o("unused.VOB")});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(test::readFile(d.s("VTS_01_1.VOB")), d.before["VTS_01_1.VOB"]);
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

namespace navtab {
namespace {

// Leaving out every VOB id keeps nothing: no file is written and the source IFO stays as it was.
TEST(VobExtras, StrippingEverythingChangesNothing) {
    ExtrasDisc d("ntsc43");
    const auto run = test::runCli(
        {"vob-extras", d.s("VTS_01_0.IFO"), d.o("VTS_01_1.VOB"), "--strip-vobids", "1,2,3"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Nothing of the source was kept"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::is_empty(d.out));
    EXPECT_EQ(snapshot(d.src), d.before);
}

}  // namespace
}  // namespace navtab
