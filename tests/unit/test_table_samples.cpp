// The title, attribute, address and time-map tables of the dvdauthor sample discs: they agree
// with what lsdvd reports of the discs (written down below) and with one another.
#include <gtest/gtest.h>
#include <regex>
#include <set>

#include "core/document.h"
#include "format/describe.h"
#include "format/file_tree.h"
#include "unit/test_support.h"

namespace navtab {
namespace {

// One title as `lsdvd -x` reports it.
struct Title {
    int chapters, cells, audio, subpictures, vts, ttn;
};
const std::vector<Title> kNtsc43 = {{4, 4, 2, 2, 1, 1}, {2, 2, 2, 0, 1, 2}, {2, 2, 1, 0, 2, 1}};
const std::vector<Title> kPal169 = {{2, 2, 2, 0, 1, 1}};

// The rows of one table node of a sample file.
struct Shown {
    Shown(const std::string& disc, const std::string& file, const std::string& node) {
        test::RecordingInteraction ui;
        const std::string path = test::sampleFile(disc, file);
        IfoDocument& doc = AddFileToTree(workspace, path, openIfoFile(path, ui));
        TreeNode* n = findNode(doc.root, node);
        if (n == nullptr || DescribeNode(*doc.ifo, list, *n) != DescribeResult::Shown)
            ADD_FAILURE() << "cannot show " << node << " of " << path;
    }
    std::string value(const std::string& description) const {
        for (const auto& r : list.rows())
            if (r.description == description) return r.dec;
        return "<no " + description + ">";
    }
    std::vector<std::string> values(const std::string& descriptionPattern) const {
        std::vector<std::string> out;
        for (const auto& r : list.rows())
            if (std::regex_match(r.description, std::regex(descriptionPattern)))
                out.push_back(r.dec);
        return out;
    }
    Workspace workspace;
    FieldList list;
};

void compareTables(const std::string& disc, const std::vector<Title>& titles, int titleSets) {
    SCOPED_TRACE(disc);
    const Shown search(disc, "VIDEO_TS.IFO", "VMG_PTT_SRPT");
    const Shown sets(disc, "VIDEO_TS.IFO", "VMG_VTS_ATRT");
    EXPECT_EQ(search.value("Number of Title play Maps"), std::to_string(titles.size()));
    EXPECT_EQ(sets.value("Number of Video Title Sets"), std::to_string(titleSets));
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const Title& t = titles[i];
        const std::string title = "Title_" + std::to_string(i + 1) + ": ";
        EXPECT_EQ(search.value(title + "Number of PTTs (Chapters/PGs)"),
                  std::to_string(t.chapters));
        EXPECT_EQ(search.value(title + "Title set number (VTS#)"), std::to_string(t.vts));
        EXPECT_EQ(search.value(title + "VTS_TTN (PGC)"), std::to_string(t.ttn));
        const std::string vts = "  VTS_" + std::to_string(t.vts) + ": Number of ";
        EXPECT_EQ(sets.value(vts + "audio streams in Title (VTSTT_VOBS)"), std::to_string(t.audio));

        // The title's unit in its title set's chapter table has one PTT per chapter.
        const std::string file = "VTS_0" + std::to_string(t.vts) + "_0.IFO";
        const Shown ptt(disc, file, "PTT_SRPTI");
        const auto& rows = ptt.list.rows();
        auto unit = std::find_if(rows.begin(), rows.end(), [&](const FieldRow& r) {
            return r.description == "  TTU_" + std::to_string(t.ttn) + " PTTs:";
        });
        ASSERT_NE(unit, rows.end());
        auto end = std::find_if(unit + 1, rows.end(), [](const FieldRow& r) {
            return r.description.rfind("  TTU_", 0) == 0;
        });
        EXPECT_EQ(end - unit - 1, 2 * t.chapters);
    }

    for (int vts = 1; vts <= titleSets; ++vts) {
        const std::string file = "VTS_0" + std::to_string(vts) + "_0.IFO";
        SCOPED_TRACE(file);
        int cells = 0, pgcs = 0;
        for (const auto& t : titles)
            if (t.vts == vts) cells += t.cells, ++pgcs;
        // Every cell and every time-map entry starts on a VOBU of the address map.
        const Shown cadt(disc, file, "VTS_C_ADT");
        const Shown admap(disc, file, "VTS_VOBU_ADMAP");
        const Shown tmap(disc, file, "VTS_TMAPTI");
        const auto starts = cadt.values(R"(  \d+\. Cell: Start sector)");
        const auto vobus = admap.values(R"(  VOBU_\d+: start sector)");
        const auto entries = tmap.values(R"( +(Discontinuity )?Entry \d+: at sector)");
        EXPECT_EQ(starts.size(), static_cast<std::size_t>(cells));
        EXPECT_EQ(admap.values(" number of VOBU's: " + std::to_string(vobus.size())).size(), 1u);
        EXPECT_EQ(tmap.value("Number of VTS_TMAPs"), std::to_string(pgcs));
        EXPECT_FALSE(entries.empty());
        const std::set<std::string> vobuSet(vobus.begin(), vobus.end());
        for (const auto& s : starts) EXPECT_EQ(vobuSet.count(s), 1u) << "cell at " << s;
        for (const auto& e : entries) EXPECT_EQ(vobuSet.count(e), 1u) << "time map at " << e;
    }

    // Neither disc has parental management or text data.
    EXPECT_EQ(Shown(disc, "VIDEO_TS.IFO", "VMG_PTL_MAIT").list.rows().size(), 1u);
    EXPECT_EQ(Shown(disc, "VIDEO_TS.IFO", "VMG_TXTDT_MG").list.rows().size(), 1u);
}

TEST(Samples, TitleAddressAndTimeMapTablesAgreeWithLsdvd) {
    compareTables("ntsc43", kNtsc43, 2);
    compareTables("pal169", kPal169, 1);
}

// Title set 1's four menu cells lie in VOB ids 1 to 4, one each.
TEST(Samples, MenuCellsOfTheNtscDisc) {
    EXPECT_EQ(Shown("ntsc43", "VTS_01_0.IFO", "VTSM_C_ADT").values(R"(  \d\. Cell: VOB ID)"),
              (std::vector<std::string>{"1", "2", "3", "4"}));
}

}  // namespace
}  // namespace navtab
