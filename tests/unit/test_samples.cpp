// The sample discs made by dvdauthor: navtab-cli writes every IFO and BUP back byte for byte, and
// what it shows of the management tables agrees with lsdvd, an independent reader.
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <map>
#include <regex>
#include <sstream>

#include "core/document.h"
#include "format/describe.h"
#include "format/file_tree.h"
#include "unit/test_support.h"

namespace navtab {
namespace {

TEST(Samples, EveryIfoAndBupIsWrittenBackByteForByte) {
    const auto files = test::allSampleInfoFiles();
    ASSERT_GE(files.size(), 10u);
    test::TempDir dir;
    for (const auto& file : files) {
        const std::string out = dir.file("OUT.IFO");
        auto r = test::runCli({"save", file, out, "--bup"});
        ASSERT_EQ(r.status, 0) << file << "\n" << r.err;
        EXPECT_THAT(r.err, Not(HasSubstr("something wrong"))) << file << "\n" << r.err;
        EXPECT_EQ(test::readFile(out), test::readFile(file)) << file;
        EXPECT_EQ(test::readFile(dir.file("OUT.BUP")), test::readFile(file)) << file;
    }
}

// One row of `navtab-cli show` output: address, description, dec, hex.
using Row = std::vector<std::string>;

// The rows of a node, or of the file's overview for an empty node name.
std::vector<Row> showRows(const std::string& file, const std::string& node) {
    auto r = node.empty() ? test::runCli({"show", file}) : test::runCli({"show", file, node});
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<Row> rows;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);) {
        Row row;
        std::istringstream fields(line);
        for (std::string f; std::getline(fields, f, '\t');) row.push_back(f);
        row.resize(4);
        rows.push_back(row);
    }
    return rows;
}

// The detail rows (description without surrounding blanks -> value) that follow a field's row.
std::map<std::string, std::string> details(const std::vector<Row>& rows, const std::string& label) {
    std::map<std::string, std::string> out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i][1] != label) continue;
        for (std::size_t k = i + 1; k < rows.size() && rows[k][0] == "   " && !rows[k][1].empty();
             ++k) {
            std::string d = rows[k][1];
            d.erase(0, d.find_first_not_of(' '));
            d.erase(d.find_last_not_of(' ') + 1);
            out[d] = rows[k][2];
        }
    }
    return out;
}

std::string value(const std::vector<Row>& rows, const std::string& label) {
    for (const auto& r : rows)
        if (r[1] == label) return r[2];
    return "<missing " + label + ">";
}

// One title as `lsdvd -x` reports it: its title set, its program chain and its streams.
struct LsdvdTitle {
    int vts = 0, ttn = 0, chapters = 0, cells = 0;
    std::string length, format, aspect, width, height, displayFormat;
    std::vector<std::string> cellLengths, palette;
    struct Audio {
        std::string language, format, quantization, channels;
    };
    std::vector<Audio> audio;
    std::vector<std::string> subtitles;
};

std::vector<LsdvdTitle> lsdvd(const std::string& disc) {
    auto r = test::runCommand("lsdvd -x '" + std::string(NAVTAB_TEST_DATA) + "/" + disc + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<LsdvdTitle> titles;
    const std::regex title(R"(^Title: \d+, Length: ([\d:.]+) Chapters: (\d+), Cells: (\d+),)");
    const std::regex vts(
        R"(VTS: (\d+), TTN: (\d+), FPS: [\d.]+, Format: (\w+), Aspect ratio: (\S+), Width: (\d+), Height: (\d+), DF: (.*)$)");
    const std::regex audio(
        R"(Audio: \d+, Language: (\w+) - .*, Format: (\w+) *, Frequency: \d+, Quantization: (\w+), Channels: (\d+),)");
    const std::regex subtitle(R"(Subtitle: \d+, Language: (\w+) - )");
    const std::regex cell(R"(^\s*Cell: \d+, Length: ([\d:.]+))");
    const std::regex palette(R"(Palette: ((?:[0-9a-f]{6} )+))");
    std::istringstream in(r.out);
    std::smatch m;
    for (std::string line; std::getline(in, line);) {
        if (std::regex_search(line, m, title)) {
            titles.emplace_back();
            titles.back().chapters = std::stoi(m[2]);
            titles.back().cells = std::stoi(m[3]);
            titles.back().length = m[1];
        } else if (titles.empty()) {
            continue;
        } else if (auto& t = titles.back(); std::regex_search(line, m, vts)) {
            t.vts = std::stoi(m[1]), t.ttn = std::stoi(m[2]);
            t.format = m[3], t.aspect = m[4], t.width = m[5], t.height = m[6];
            t.displayFormat = m[7];
        } else if (std::regex_search(line, m, audio)) {
            t.audio.push_back({m[1], m[2], m[3], m[4]});
        } else if (std::regex_search(line, m, subtitle)) {
            t.subtitles.push_back(m[1]);
        } else if (std::regex_search(line, m, cell)) {
            t.cellLengths.push_back(m[1]);
        } else if (std::regex_search(line, m, palette)) {
            std::istringstream entries(m[1].str());
            for (std::string e; entries >> e;) t.palette.push_back(e);
        }
    }
    return titles;
}

// lsdvd's words for what the attribute rows say.
using Words = std::map<std::string, std::string>;
// clang-format off
const Words kCoding = {{"ac3", "AC3"}, {"mpeg1", "Mpeg-1"}, {"mpeg2ext", "Mpeg-2ext"},
                       {"lpcm", "LPCM"}, {"dts", "DTS"}};
const Words kQuantization = {{"16bit", "16bps"}, {"20bit", "20bps"}, {"24bit", "24bps"},
                             {"drc", "DRC (dynamic range control)"}};
const Words kLanguage = {{"en", "English"}, {"fr", "Français"}, {"de", "Deutsch"}};
// clang-format on
const std::map<std::string, std::string> kDisplay = {{"P&S + Letter", "pan-scan & letterboxed"},
                                                     {"Pan&Scan", "pan-scan"},
                                                     {"Letterbox", "letterboxed"},
                                                     {"?", "not specified"}};

// A BCD time text "hh:mm:ss.ff / 30 fps" as lsdvd writes a length: hh:mm:ss.mmm, where the frames
// become milliseconds at 29.97 or 25 frames per second.
std::string asLsdvdLength(const std::string& bcd) {
    const int frames = std::stoi(bcd.substr(9, 2));
    const double fps = bcd.find("30 fps") != std::string::npos ? 29.97 : 25.0;
    char ms[8];
    std::snprintf(ms, sizeof ms, "%03d", static_cast<int>(frames * 1000 / fps));
    return bcd.substr(0, 9) + ms;
}

std::vector<std::string> linesOf(const std::vector<Row>& rows, const std::string& start) {
    std::vector<std::string> out;
    for (const auto& r : rows)
        if (r[1].rfind(start, 0) == 0) out.push_back(r[1]);
    return out;
}

// The title set's attributes (in its IFO and its BUP) against lsdvd's title.
void compareAttributes(const std::string& file, const LsdvdTitle& t) {
    SCOPED_TRACE(file);
    const auto rows = showRows(file, "VTSI_MAT");
    auto video = details(rows, "Video attributes of VTSTT_VOBS");
    EXPECT_EQ(video["TV system"], t.format == "NTSC" ? "NTSC 525/60" : "PAL 625/50");
    EXPECT_EQ(video["Aspect ratio"], t.aspect == "16/9" ? "16:9" : "4:3");
    EXPECT_EQ(video["Source Resolution"].substr(0, video["Source Resolution"].find(' ')),
              t.width + "x" + t.height);
    EXPECT_EQ(video["Display Mode"], kDisplay.at(t.displayFormat));
    EXPECT_GE(std::stoul(value(rows, "Number of audio streams in VTSTT_VOBS")), t.audio.size());
    for (std::size_t i = 0; i < t.audio.size(); ++i) {
        auto a = details(rows, "Aud_" + std::to_string(i + 1) + ": audio attributes");
        EXPECT_EQ(a["Coding mode"], kCoding.at(t.audio[i].format));
        EXPECT_EQ(a["Quantization/DRC"], kQuantization.at(t.audio[i].quantization));
        EXPECT_EQ(a["Channels"], t.audio[i].channels);
        EXPECT_EQ(a["Language"], kLanguage.at(t.audio[i].language));
    }
    EXPECT_GE(std::stoul(value(rows, "Number of sub-picture streams in VTSTT_VOBS")),
              t.subtitles.size());
    for (std::size_t i = 0; i < t.subtitles.size(); ++i) {
        char label[64];
        std::snprintf(label, sizeof label, "Sub-p_%02zu: Sub-picture stream attributes", i + 1);
        EXPECT_EQ(details(rows, label)["Language"], kLanguage.at(t.subtitles[i]));
    }
}

// The title's program chain (dvdauthor gives each title its own PGC, in title order): programs,
// cells, their times and the palette.
void comparePgc(const std::string& file, const LsdvdTitle& c) {
    const std::string node = "VTS_PGC_" + std::to_string(c.ttn);
    SCOPED_TRACE(file + " " + node);
    const auto rows = showRows(file, node);
    EXPECT_EQ(value(rows, "  Number of Programs"), std::to_string(c.chapters));
    EXPECT_EQ(value(rows, "  Number of Cells"), std::to_string(c.cells));
    EXPECT_EQ(asLsdvdLength(value(rows, "       Playback time (hh:mm:ss.frame)")), c.length);
    std::vector<std::string> cellLengths, palette;
    for (const auto& r : rows) {
        if (r[1] == "     playback time (hh:mm:ss.frame)")
            cellLengths.push_back(asLsdvdLength(r[2]));
        if (r[1].find(" Y Cr CB") != std::string::npos) {
            std::string hex = r[3];  // "[9a 1b af ]"
            std::erase_if(hex, [](char ch) { return ch == '[' || ch == ']' || ch == ' '; });
            palette.push_back(hex);
        }
    }
    EXPECT_EQ(cellLengths, c.cellLengths);
    EXPECT_EQ(palette, c.palette);
}

// The title set's overview: the title's PGC with its programs and cells, the cell times and
// chapter starts, the running position of the last cell (the title's length), and the stream
// languages.
void compareOverview(const std::string& file, const LsdvdTitle& c) {
    SCOPED_TRACE(file);
    const auto vts = showRows(file, "");
    std::size_t at = 0;
    const std::string heading = "PGC_" + std::to_string(c.ttn) + " (program chain):";
    while (at < vts.size() && vts[at][1].rfind(heading, 0) != 0) ++at;
    ASSERT_LT(at, vts.size()) << heading;
    EXPECT_THAT(vts[at][1], HasSubstr("(Programs: " + std::to_string(c.chapters) +
                                      ") (Cells: " + std::to_string(c.cells) + ")"));
    std::vector<std::string> cellTimes;
    std::string lastPosition;
    int chapters = 0;  // the cells that start a chapter of the title's PTT table
    for (++at; at < vts.size() && vts[at][1].find(": time: ") != std::string::npos; ++at) {
        const std::string& line = vts[at][1];
        chapters += line.find("[Ch ") != std::string::npos;
        cellTimes.push_back(asLsdvdLength(line.substr(line.find(": time: ") + 8, 20)));
        lastPosition = line.substr(line.find("[Pos: ") + 6, 11) + " / " +
                       (line.find("25 fps") != std::string::npos ? "25" : "30") + " fps";
    }
    EXPECT_EQ(cellTimes, c.cellLengths);
    EXPECT_EQ(chapters, c.chapters);
    EXPECT_EQ(asLsdvdLength(lastPosition), c.length);
    for (std::size_t a = 0; a < c.audio.size(); ++a) {
        const auto audio = linesOf(vts, "  Audio " + std::to_string(a + 1) + ": ");
        ASSERT_EQ(audio.size(), 1u);
        EXPECT_THAT(audio[0], HasSubstr(kLanguage.at(c.audio[a].language)));
    }
    for (std::size_t n = 0; n < c.subtitles.size(); ++n) {
        const auto sub = linesOf(vts, "  SubPicture " + std::to_string(n + 1) + ": ");
        ASSERT_EQ(sub.size(), 1u);
        EXPECT_THAT(sub[0], HasSubstr(kLanguage.at(c.subtitles[n])));
    }
}

// What navtab-cli shows of the management tables, the program chains and the overviews agrees
// with what lsdvd reads of each title.
TEST(Samples, TablesProgramChainsAndOverviewsAgreeWithLsdvd) {
    for (const auto& [disc, expectedTitleSets] : {std::pair{"ntsc43", 2}, {"pal169", 1}}) {
        SCOPED_TRACE(disc);
        const auto titles = lsdvd(disc);
        ASSERT_FALSE(titles.empty());
        const auto vmg = showRows(test::sampleFile(disc, "VIDEO_TS.IFO"), "");
        const auto titleLines = linesOf(vmg, "  Title ");
        ASSERT_EQ(titleLines.size(), titles.size());
        int titleSets = 0;
        for (std::size_t i = 0; i < titles.size(); ++i) {
            const LsdvdTitle& t = titles[i];
            titleSets = std::max(titleSets, t.vts);
            char expected[96];
            std::snprintf(expected, sizeof expected,
                          "  Title %3zu: VTS_%d, PGC-Nr.:_%d (Angles: 1) (Chapters: %d)", i + 1,
                          t.vts, t.ttn, t.chapters);
            EXPECT_EQ(titleLines[i].rfind(expected, 0), 0u) << titleLines[i];
            char name[16];
            std::snprintf(name, sizeof name, "VTS_%02d_0.", t.vts);
            compareAttributes(test::sampleFile(disc, name + std::string("IFO")), t);
            compareAttributes(test::sampleFile(disc, name + std::string("BUP")), t);
            comparePgc(test::sampleFile(disc, name + std::string("IFO")), t);
            compareOverview(test::sampleFile(disc, name + std::string("IFO")), t);
        }
        EXPECT_EQ(titleSets, expectedTitleSets);
        const auto mat = showRows(test::sampleFile(disc, "VIDEO_TS.IFO"), "VMGM_MAT");
        EXPECT_EQ(value(mat, "VMG Number of Title Sets"), std::to_string(titleSets));
        EXPECT_EQ(mat[0][2], "DVDVIDEO-VMG");
    }
}

TEST(NavtabCli, ShowTreeAndUsageErrors) {
    const std::string vts = test::sampleFile("ntsc43", "VTS_01_0.IFO");
    const std::string vmg = test::sampleFile("ntsc43", "VIDEO_TS.IFO");
    // The text form of show is held against the window's copy in tests/ui.
    auto json = test::runCli({"show", vmg, "VMGM_MAT", "--json"});
    ASSERT_EQ(json.status, 0);
    EXPECT_EQ(json.out.rfind("[\n  {\"address\": 0, \"description\": \"VMG Identifier\", \"dec\": "
                             "\"DVDVIDEO-VMG\", \"hex\": \"\", \"kind\": 4, \"length\": 12}",
                             0),
              0u)
        << json.out.substr(0, 200);
    EXPECT_THAT(json.out,
                HasSubstr("{\"address\": null, \"description\": \"  Video attribute details:\""));
    auto tree = test::runCli({"tree", vmg});
    ASSERT_EQ(tree.status, 0);
    EXPECT_THAT(tree.out,
                HasSubstr("\n  VMGM_MAT           -Video Manager Information Managment Table\n"
                          "    First Play PGC\n  VMG_PTT_SRPT"));
    auto missing = test::runCli({"show", "/no/such/VIDEO_TS.IFO"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err,
              "navtab-cli: cannot open /no/such/VIDEO_TS.IFO: No such file or directory\n");
    EXPECT_EQ(test::runCli({"show", vts, "NO_SUCH_NODE"}).status, 1);
    for (const std::vector<std::string>& usage : {std::vector<std::string>{"show"},
                                                  {"show", vts, "--bogus"},
                                                  {"frobnicate"},
                                                  {"save", vts, "/tmp/x.bin", "--bup"}})
        EXPECT_EQ(test::runCli(usage).status, 2) << usage.back();
    EXPECT_EQ(test::runCli({"save", "--help"}).out.rfind("usage: navtab-cli save", 0), 0u);
}

using test::Bytes;

// The short name of every node of a file's tree, program chains included.
std::vector<std::string> nodeNames(const std::string& file) {
    Workspace ws;
    test::RecordingInteraction ui;
    IfoDocument& doc = AddFileToTree(ws, file, openIfoFile(file, ui));
    std::vector<std::string> names;
    FieldList scratch;
    std::function<void(TreeNode&)> walk = [&](TreeNode& node) {
        if (node.parent != nullptr) names.push_back(nodeShortName(node));
        DescribeNode(*doc.ifo, scratch, node);
        for (std::size_t i = 0; i < node.children.size(); ++i) walk(*node.children[i]);
    };
    walk(doc.root);
    return names;
}

// Runs `show --json` on each node and decodes the output as strict UTF-8 JSON; the failures, one
// line each.
std::string strictJsonFailures(const std::string& file, const std::vector<std::string>& nodes) {
    std::string line =
        "python3 -c '\n"
        "import json, subprocess, sys\n"
        "for node in sys.argv[3:]:\n"
        "    out = subprocess.run([sys.argv[1], \"show\", sys.argv[2], node, "
        "\"--json\"], capture_output=True).stdout\n"
        "    try:\n"
        "        json.loads(out.decode(\"utf-8\", errors=\"strict\"))\n"
        "    except Exception as e:\n"
        "        print(node, e)\n' '" NAVTAB_CLI "' '" +
        file + "'";
    for (const std::string& node : nodes) line += " '" + node + "'";
    const auto r = test::runCommand(line);
    return r.status == 0 ? r.out : "python3 failed: " + r.err;
}

TEST(NavtabCli, JsonIsStrictUtf8ForEveryNodeAndForDiscTextAboveAscii) {
    for (const std::string& file : test::allSampleInfoFiles()) {
        if (file.find(".BUP") != std::string::npos) continue;  // the same bytes as the IFO
        const auto nodes = nodeNames(file);
        ASSERT_GE(nodes.size(), 5u) << file;
        EXPECT_EQ(strictJsonFailures(file, nodes), "") << file;
    }
    test::TempDir dir;
    Bytes vmg = test::readFile(test::sampleFile("ntsc43", "VIDEO_TS.IFO"));
    const Bytes provider = {'C', 0xE9, 'l', 0xC0, 0x80, 0xED, 0xA0, 0x80, 0xF4, 0x90, 0x80, 0x80};
    std::copy(provider.begin(), provider.end(), vmg.begin() + 0x40);
    test::writeFile(dir.file("VIDEO_TS.IFO"), vmg);
    EXPECT_EQ(strictJsonFailures(dir.file("VIDEO_TS.IFO"), {"VMGM_MAT"}), "");
    const auto json = test::runCli({"show", dir.file("VIDEO_TS.IFO"), "VMGM_MAT", "--json"});
    EXPECT_THAT(json.out,
                HasSubstr("\"C\\u00e9l\\u00c0\\u0080\\u00ed\\u00a0\\u0080\\u00f4\\u0090"));
}

}  // namespace
}  // namespace navtab
