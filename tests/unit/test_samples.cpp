// The sample discs made by dvdauthor: navtab-cli writes every IFO and BUP back byte for byte, and
// what it shows of the management tables agrees with lsdvd, an independent reader.
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <sstream>

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
        EXPECT_EQ(r.err.find("something wrong"), std::string::npos) << file << "\n" << r.err;
        EXPECT_EQ(test::readFile(out), test::readFile(file)) << file;
        EXPECT_EQ(test::readFile(dir.file("OUT.BUP")), test::readFile(file)) << file;
    }
}

// One row of `navtab-cli show` output: address, description, dec, hex.
using Row = std::vector<std::string>;

std::vector<Row> showRows(const std::string& file, const std::string& node) {
    auto r = test::runCli({"show", file, node});
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
        for (std::size_t k = i + 1; k < rows.size() && rows[k][0] == "   " && !rows[k][1].empty(); ++k) {
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

struct LsdvdTitle {
    int vts = 0;
    std::string format, aspect, width, height, displayFormat;
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
    const std::regex title(R"(^Title: \d+,)");
    const std::regex vts(R"(VTS: (\d+), TTN: \d+, FPS: [\d.]+, Format: (\w+), Aspect ratio: (\S+), Width: (\d+), Height: (\d+), DF: (.*)$)");
    const std::regex audio(R"(Audio: \d+, Language: (\w+) - .*, Format: (\w+) *, Frequency: \d+, Quantization: (\w+), Channels: (\d+),)");
    const std::regex subtitle(R"(Subtitle: \d+, Language: (\w+) - )");
    std::istringstream in(r.out);
    std::smatch m;
    for (std::string line; std::getline(in, line);) {
        if (std::regex_search(line, title)) titles.emplace_back();
        if (titles.empty()) continue;
        auto& t = titles.back();
        if (std::regex_search(line, m, vts)) {
            t.vts = std::stoi(m[1]);
            t.format = m[2], t.aspect = m[3], t.width = m[4], t.height = m[5], t.displayFormat = m[6];
        } else if (std::regex_search(line, m, audio)) {
            t.audio.push_back({m[1], m[2], m[3], m[4]});
        } else if (std::regex_search(line, m, subtitle)) {
            t.subtitles.push_back(m[1]);
        }
    }
    return titles;
}

// lsdvd's words for what the attribute rows say.
const std::map<std::string, std::string> kCoding = {
    {"ac3", "AC3"}, {"mpeg1", "Mpeg-1"}, {"mpeg2ext", "Mpeg-2ext"}, {"lpcm", "LPCM"}, {"dts", "DTS"}};
const std::map<std::string, std::string> kQuantization = {
    {"16bit", "16bps"}, {"20bit", "20bps"}, {"24bit", "24bps"}, {"drc", "DRC (dynamic range control)"}};
const std::map<std::string, std::string> kLanguage = {
    {"en", "English"}, {"fr", "Français"}, {"de", "Deutsch"}};
const std::map<std::string, std::string> kDisplay = {{"P&S + Letter", "pan-scan & letterboxed"},
                                                     {"Pan&Scan", "pan-scan"},
                                                     {"Letterbox", "letterboxed"},
                                                     {"?", "not specified"}};

void compareWithLsdvd(const std::string& disc, int expectedTitleSets) {
    SCOPED_TRACE(disc);
    const auto titles = lsdvd(disc);
    ASSERT_FALSE(titles.empty());
    int titleSets = 0;
    for (const auto& t : titles) {
        titleSets = std::max(titleSets, t.vts);
        char name[16];
        std::snprintf(name, sizeof name, "VTS_%02d_0.IFO", t.vts);
        for (const std::string& file : {test::sampleFile(disc, name),
                                        test::sampleFile(disc, std::string(name).replace(9, 3, "BUP"))}) {
            SCOPED_TRACE(file);
            const auto rows = showRows(file, "VTSI_MAT");
            auto video = details(rows, "Video attributes of VTSTT_VOBS");
            EXPECT_EQ(video["TV system"], t.format == "NTSC" ? "NTSC 525/60" : "PAL 625/50");
            EXPECT_EQ(video["Aspect ratio"], t.aspect == "16/9" ? "16:9" : "4:3");
            EXPECT_EQ(video["Source Resolution"].substr(0, video["Source Resolution"].find(' ')),
                      t.width + "x" + t.height);
            EXPECT_EQ(video["Display Mode"], kDisplay.at(t.displayFormat));

            // lsdvd lists the streams a title's program chain enables; the title set declares
            // at least those.
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
    }
    EXPECT_EQ(titleSets, expectedTitleSets);
    const auto vmg = showRows(test::sampleFile(disc, "VIDEO_TS.IFO"), "VMGM_MAT");
    EXPECT_EQ(value(vmg, "VMG Number of Title Sets"), std::to_string(titleSets));
    EXPECT_EQ(vmg[0][2], "DVDVIDEO-VMG");
}

TEST(Samples, ManagementTablesAgreeWithLsdvd) {
    compareWithLsdvd("ntsc43", 2);
    compareWithLsdvd("pal169", 1);
}

TEST(NavtabCli, ShowTreeAndUsageErrors) {
    const std::string vts = test::sampleFile("ntsc43", "VTS_01_0.IFO");
    const std::string vmg = test::sampleFile("ntsc43", "VIDEO_TS.IFO");

    // Without NODE the management table is shown; --reserved adds the reserved rows.
    auto plain = test::runCli({"show", vts});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out, test::runCli({"show", vts, "VTSI_MAT"}).out);
    EXPECT_EQ(plain.out.find("Reserved"), std::string::npos);
    EXPECT_NE(test::runCli({"show", vts, "--reserved"}).out.find("\tReserved\t"), std::string::npos);

    auto json = test::runCli({"show", vmg, "VMGM_MAT", "--json"});
    ASSERT_EQ(json.status, 0);
    EXPECT_EQ(json.out.rfind("[\n  {\"address\": 0, \"description\": \"VMG Identifier\", \"dec\": "
                             "\"DVDVIDEO-VMG\", \"hex\": \"\", \"kind\": 4, \"length\": 12}", 0), 0u)
        << json.out.substr(0, 200);
    EXPECT_NE(json.out.find("{\"address\": null, \"description\": \"  Video attribute details:\""),
              std::string::npos);

    auto tree = test::runCli({"tree", vmg});
    ASSERT_EQ(tree.status, 0);
    EXPECT_NE(tree.out.find("\n  VMGM_MAT           -Video Manager Information Managment Table\n"
                            "    First Play PGC\n  VMG_PTT_SRPT"),
              std::string::npos)
        << tree.out;

    // Failures: one clear line on standard error and the right status.
    auto missing = test::runCli({"show", "/no/such/VIDEO_TS.IFO"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "navtab-cli: cannot open /no/such/VIDEO_TS.IFO: No such file or directory\n");
    EXPECT_EQ(test::runCli({"show", vts, "NO_SUCH_NODE"}).status, 1);
    EXPECT_EQ(test::runCli({"show"}).status, 2);
    EXPECT_EQ(test::runCli({"show", vts, "--bogus"}).status, 2);
    EXPECT_EQ(test::runCli({"frobnicate"}).status, 2);
    EXPECT_EQ(test::runCli({"save", vts, "/tmp/x.bin", "--bup"}).status, 2);
    for (const char* command : {"tree", "show", "save"}) {
        auto help = test::runCli({command, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.out.rfind(std::string("usage: navtab-cli ") + command, 0), 0u);
    }
}

}  // namespace
}  // namespace navtab
