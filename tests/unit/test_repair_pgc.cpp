// Removing prohibited user operations and deleting a menu's playback, on copies of the sample
// disc whose PGC records were given masks and times in their bytes (dvdauthor writes none).
#include <gtest/gtest.h>

#include <regex>

#include "core/bytes.h"
#include "core/layout/pgc_layout.h"
#include "format/describe.h"
#include "format/file_tree.h"
#include "repair/delete_playback.h"
#include "repair/prohibited_uops.h"
#include "session/browser_session.h"
#include "unit/test_support.h"

namespace navtab {
namespace {

using test::Bytes;

struct PgcNode {
    std::string caption;
    int slot;
    std::uint32_t offset;
};

// The program chains the describers find in a file, as its tree lists them.
std::vector<PgcNode> pgcNodes(const std::string& path) {
    Workspace workspace;
    test::RecordingInteraction ui;
    IfoDocument& doc = AddFileToTree(workspace, path, openIfoFile(path, ui));
    FieldList scratch;
    std::vector<PgcNode> out;
    for (auto& table : doc.root.children) {
        DescribeNode(*doc.ifo, scratch, *table);
        for (auto& child : table->children)
            if (child->kind == NodeKind::Pgc)
                out.push_back({child->caption, child->pgcSlot, child->pgcOffset});
    }
    return out;
}

// Writes `mask` into the PGC record of a node, in the bytes of its file (a table starts at the
// sector its management-table pointer gives).
void setMask(Bytes& file, const PgcNode& pgc, std::uint32_t mask) {
    const std::size_t table =
        pgc.slot == ID_MAT ? 0 : be32(&file[tableLocation(pgc.slot)->matPointer]) * kSectorSize;
    put32(&file[table + pgc.offset + pgc::kProhibitedUops], mask);
}

std::string reportLine(const std::string& caption) {
    std::smatch m;
    if (caption == "First Play PGC") return "Removed P-UOP in First Play-PGC\n";
    if (std::regex_search(caption, m, std::regex("PGC-Menu_(\\d+)")))
        return "Removed P-UOP in Menu-PGC <" + m[1].str() + ">\n";
    if (std::regex_search(caption, m, std::regex("VTS_PGC_(\\d+)")))
        return "Removed P-UOP in Title-PGC <" + m[1].str() + ">\n";
    return "?";
}

TEST(RemoveProhibitedUops, ClearsExactlyTheMasksThatWereSetAndNothingElse) {
    for (const std::string name : {"VIDEO_TS.IFO", "VTS_01_0.IFO"}) {
        SCOPED_TRACE(name);
        test::TempDir dir;
        const std::string source = test::sampleFile("ntsc43", name);
        const std::string path = dir.file(name);
        const Bytes original = test::readFile(source);
        Bytes file = original;
        const std::vector<PgcNode> pgcs = pgcNodes(source);
        ASSERT_GE(pgcs.size(), 2u);
        std::string firstPlay, menus, titles;
        for (std::size_t i = 0; i < pgcs.size(); ++i) {
            if (i == 1) continue;
            setMask(file, pgcs[i], 0x00010000u << (i % 8) | 1u);
            const std::string line = reportLine(pgcs[i].caption);
            (line.find("First") != std::string::npos  ? firstPlay
             : line.find("Menu") != std::string::npos ? menus
                                                      : titles) += line;
        }
        const std::string expected = firstPlay + menus + titles;
        test::writeFile(path, file);
        const auto dry = test::runCli({"remove-puops", path, "--dry-run"});
        EXPECT_EQ(dry.status, 0);
        EXPECT_EQ(dry.out, expected + "Dry run: " + path + " not changed\n");
        EXPECT_EQ(test::readFile(path), file);
        const auto run = test::runCli({"remove-puops", path});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, expected + "Saved " + path + " and " +
                               dir.file(name.substr(0, 9) + "BUP") + "\n");
        EXPECT_EQ(test::readFile(path), original);
        EXPECT_EQ(test::readFile(dir.file(name.substr(0, 9) + "BUP")), original);
        const auto again = test::runCli({"remove-puops", path});
        EXPECT_EQ(again.out, "No P-UOPs found in this IFO\n");
    }
}

TEST(RemoveProhibitedUops, NumbersMenusPerLanguageUnitAndSkipsWhatLiesOutsideTheTable) {
    test::RecordingInteraction ui;
    IfoHandle ifo = openIfoFile(test::sampleFile("ntsc43", "VTS_01_0.IFO"), ui);
    auto& menus = ifo->table[ID_VTSM_PGCI_UT];
    for (const PgcNode& pgc : pgcNodes(test::sampleFile("ntsc43", "VTS_01_0.IFO")))
        if (pgc.slot == ID_VTSM_PGCI_UT) put32(&menus[pgc.offset + pgc::kProhibitedUops], 0x10);
    const std::uint32_t unit2 = be32(&menus[8 + 8 + 4]);
    put32(&menus[unit2 + 8 + 8 + 4], 0xFFFFFF00u);
    const repair::UopRemoval removal = repair::RemoveProhibitedUops(*ifo);
    EXPECT_EQ(removal.report,
              "Removed P-UOP in Menu-PGC <1>\nRemoved P-UOP in Menu-PGC <2>\n"
              "Removed P-UOP in Menu-PGC <1>\n"
              "Skipped Menu-PGC <2>: its offset lies outside VTSM_PGCI_UT\n");
    put32(&menus[8 + 8 + 4], 0x7FFFFFF0u);
    put16(&menus[0], 0xFFFF);
    auto& titles = ifo->table[ID_VTS_PGCITI];
    put16(&titles[0], 0xFFFF);
    const repair::UopRemoval damaged = repair::RemoveProhibitedUops(*ifo);
    EXPECT_THAT(damaged.report,
                HasSubstr("Skipped Language Unit <2>: its offset lies outside VTSM_PGCI_UT"));
    IfoHandle vmg = openIfoFile(test::sampleFile("ntsc43", "VIDEO_TS.IFO"), ui);
    put32(&vmg->table[ID_MAT][kVmgFirstPlayPgc], 0);
    EXPECT_EQ(repair::uopRemovalMessage(repair::RemoveProhibitedUops(*vmg)),
              "No P-UOPs found in this IFO");
    EXPECT_EQ(std::string(vmg->table[ID_MAT].begin(), vmg->table[ID_MAT].begin() + 12),
              "DVDVIDEO-VMG");
}

// The browser on a copy of VIDEO_TS.IFO, showing its overview.
struct OverviewSession {
    test::TempDir dir;
    test::RecordingInteraction ui;
    struct NoEditors : FieldEditors {
        std::optional<std::string> enterNewValue(const std::string&) override { return {}; }
        std::optional<std::uint16_t> editVideoAttributes(std::uint16_t) override { return {}; }
        std::optional<std::uint32_t> editUserOperations(std::uint32_t) override { return {}; }
        std::optional<std::vector<std::uint8_t>> editBytes(std::span<const std::uint8_t>) override {
            return {};
        }
    } editors;
    BrowserSession session{ui, editors};
    IfoDocument* doc = nullptr;
    explicit OverviewSession(const std::string& name) {
        const std::string path = dir.file(name);
        test::writeFile(path, test::readFile(test::sampleFile("ntsc43", name)));
        doc = session.openFile(path);
        session.ShowSelected(&doc->root);
    }
    int rowStarting(const std::string& text) const {
        for (int i = 0; i < session.rowCount(); ++i)
            if (session.row(i).description.find(text) != std::string::npos) return i;
        return -1;
    }
};

TEST(DeletePlayback, EmptiesAMenuPgcKeepingItsFrameRateAndCountsTheFileOnce) {
    OverviewSession s("VTS_01_0.IFO");
    const int row = s.rowStarting("Menu 2: ");
    ASSERT_GE(row, 0);
    const ByteRef pgc = *s.session.row(row).data;
    auto& table = s.doc->ifo->table[pgc.slot];
    table[pgc.offset + pgc::kPlaybackTime + 1] = 0x12;
    table[pgc.offset + pgc::kPlaybackTime + 3] = 0xC5;
    const Bytes before = table;
    s.session.DeletePlayback(row);
    EXPECT_TRUE(s.ui.messages.empty());
    const std::uint8_t* record = &table[pgc.offset];
    EXPECT_EQ(record[pgc::kProgramCount], 0);
    EXPECT_EQ(record[pgc::kCellCount], 0);
    EXPECT_EQ(be32(record + pgc::kPlaybackTime), 0x000000C0u);
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (i < pgc.offset + 2 || i >= pgc.offset + 8) {
            ASSERT_EQ(table[i], before[i]) << i;
        }
    }
    EXPECT_THAT(s.session.row(row).description, HasSubstr("(Programs: 0) (Cells: 0)"));
    const Bytes once = table;
    s.session.DeletePlayback(row);
    EXPECT_EQ(table, once);
    EXPECT_EQ(s.session.workspace().modifiedCount(), 1);
}

TEST(DeletePlayback, AcceptsOnlyTheOverviewLinesOfMenuPgcs) {
    OverviewSession s("VTS_01_0.IFO");
    const Bytes before = s.doc->ifo->table[ID_VTSM_PGCI_UT];
    const int title = s.rowStarting("PGC_1");
    std::vector<int> wrong = {-1, 0, s.session.rowCount()};
    if (title >= 0) wrong.push_back(title);
    for (int row : wrong) s.session.DeletePlayback(row);
    TreeNode* menu = findNode(s.doc->root, "VTSM_PGCI_UT");
    ASSERT_NE(menu, nullptr);
    s.session.ShowSelected(menu);
    ASSERT_FALSE(menu->children.empty());
    s.session.ShowSelected(menu->children[0].get());
    for (int i = 0; i < s.session.rowCount(); ++i) s.session.DeletePlayback(i);
    EXPECT_EQ(s.doc->ifo->table[ID_VTSM_PGCI_UT], before);
    EXPECT_EQ(s.session.workspace().modifiedCount(), 0);
    ASSERT_FALSE(s.ui.messages.empty());
    for (const auto& m : s.ui.messages)
        EXPECT_EQ(m,
                  "Wrong Item selected!\nPlease select a Menu with programs in VMG/VTS Overview.");
}

TEST(DeletePlayback, CommandLineNamesTheRowAsShowPrintsIt) {
    test::TempDir dir;
    const std::string path = dir.file("VIDEO_TS.IFO");
    test::writeFile(path, test::readFile(test::sampleFile("ntsc43", "VIDEO_TS.IFO")));
    const auto shown = test::runCli({"show", path});
    int row = 0, menuRow = 0;
    for (std::size_t at = 0; at < shown.out.size(); at = shown.out.find('\n', at) + 1) {
        ++row;
        if (shown.out.compare(at, 13, "   \t    Menu ") == 0) menuRow = row;
    }
    ASSERT_GT(menuRow, 0);
    EXPECT_EQ(test::runCli({"delete-playback", path, "1"}).status, 1);
    const auto done = test::runCli({"delete-playback", path, std::to_string(menuRow)});
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_THAT(done.out, HasSubstr("(Programs: 0) (Cells: 0)"));
    EXPECT_THAT(done.out, HasSubstr("Saved " + path));
    const auto again = test::runCli({"delete-playback", path, std::to_string(menuRow)});
    EXPECT_THAT(again.out, Not(HasSubstr("Saved")));
}

}  // namespace
}  // namespace navtab
