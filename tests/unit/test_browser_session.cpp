// The browser's commands on the sample disc, with the user's answers and edits scripted.
#include <gtest/gtest.h>

#include <deque>

#include "core/bytes.h"
#include "format/file_tree.h"
#include "session/browser_session.h"
#include "unit/test_support.h"

namespace navtab {
namespace {

// Editors that hand back prepared answers, or cancel when none is left, and record what they
// were shown.
struct ScriptedEditors : FieldEditors {
    std::deque<std::string> values;
    std::deque<std::uint16_t> words;
    std::deque<std::uint32_t> masks;
    std::deque<std::vector<std::uint8_t>> byteEdits;
    std::vector<std::uint16_t> shownWords;
    std::vector<std::vector<std::uint8_t>> shownBytes;
    template <typename T>
    static std::optional<T> next(std::deque<T>& q) {
        if (q.empty()) return std::nullopt;
        T v = q.front();
        q.pop_front();
        return v;
    }
    std::optional<std::string> enterNewValue(const std::string&) override { return next(values); }
    std::optional<std::uint16_t> editVideoAttributes(std::uint16_t word) override {
        shownWords.push_back(word);
        return next(words);
    }
    std::optional<std::uint32_t> editUserOperations(std::uint32_t) override { return next(masks); }
    std::optional<std::vector<std::uint8_t>> editBytes(
        std::span<const std::uint8_t> bytes) override {
        shownBytes.emplace_back(bytes.begin(), bytes.end());
        return next(byteEdits);
    }
};

struct Session : ::testing::Test {
    Session() : session(ui, editors) {
        vts = dir.file("VTS_01_0.IFO");
        test::writeFile(vts, test::readFile(test::sampleFile("ntsc43", "VTS_01_0.IFO")));
    }
    IfoDocument& open() {
        IfoDocument* doc = session.openFile(vts);
        EXPECT_NE(doc, nullptr);
        return *doc;
    }
    TreeNode& node(IfoDocument& doc, const std::string& name) {
        TreeNode* n = findNode(doc.root, name);
        EXPECT_NE(n, nullptr) << name;
        return *n;
    }
    void show(IfoDocument& doc, const std::string& name) {
        if (name.starts_with("VTS_PGC_")) session.ShowSelected(&node(doc, "VTS_PGCITI"));
        session.ShowSelected(&node(doc, name));
    }
    int row(const std::string& description) {
        for (int i = 0; i < session.rowCount(); ++i)
            if (session.row(i).description == description) return i;
        ADD_FAILURE() << "no row " << description;
        return -1;
    }
    const std::uint8_t* mat(IfoDocument& doc) { return doc.ifo->table[ID_MAT].data(); }
    test::TempDir dir;
    std::string vts;
    test::RecordingInteraction ui{true};
    ScriptedEditors editors;
    BrowserSession session;
};

TEST_F(Session, EditsReachTheBytesAndOkAlwaysMarksModified) {
    IfoDocument& doc = open();
    IfoDocument& second = open();
    show(doc, "VTSI_MAT");
    session.OnListDoubleClick(row("Last Sector of VTS"));  // no answer: cancelled
    EXPECT_FALSE(doc.modified);
    editors.values = {"500", "70000"};  // the same value, then a new one
    session.OnListDoubleClick(row("Last Sector of VTS"));
    EXPECT_TRUE(doc.modified);
    session.OnListDoubleClick(row("Last Sector of VTS"));
    EXPECT_EQ(be32(mat(doc) + 12), 70000u);
    EXPECT_EQ(be32(mat(second) + 12), 500u);  // two openings of one file are independent
    session.OnListDoubleClick(-1);
    session.OnListDoubleClick(session.rowCount());
    EXPECT_TRUE(ui.messages.empty());
    editors.words = {0x5318};
    session.OnListDoubleClick(row("Video attributes of VTSTT_VOBS"));
    EXPECT_EQ(editors.shownWords.back(), 0x4318);
    EXPECT_EQ(be16(mat(doc) + 0x200), 0x5318);
    show(doc, "VTS_PGC_1");
    editors.masks = {0x80000401};
    session.OnListDoubleClick(row("  Prohibited user operations"));
    const TreeNode& pgc = node(doc, "VTS_PGC_1");
    EXPECT_EQ(be32(doc.ifo->table[pgc.pgcSlot].data() + pgc.pgcOffset + 8), 0x80000401u);
    EXPECT_EQ(session.workspace().modifiedCount(), 1);  // the same file counts once
}

TEST_F(Session, ByteRunsAndTablesGoThroughTheHexEditorButKeepTheirSize) {
    IfoDocument& doc = open();
    show(doc, "VTSI_MAT");
    editors.byteEdits = {{0x05, 0xC1, 'd', 'e', 0, 0, 0, 0, 0xFF, 0xFF}};
    session.OnListDoubleClick(row("Aud_1: audio attributes"));
    ASSERT_EQ(editors.shownBytes.size(), 1u);
    EXPECT_EQ(editors.shownBytes[0].size(), 8u);
    EXPECT_EQ(mat(doc)[0x206], 'd');
    EXPECT_EQ(mat(doc)[0x20C], 0x04);  // the next record is untouched: at most 8 bytes go in
    auto edited = std::vector<std::uint8_t>(mat(doc), mat(doc) + 2048);
    edited.erase(edited.begin(), edited.begin() + 10);  // ten bytes deleted
    const std::vector<std::uint8_t> tail(mat(doc) + 2038, mat(doc) + 2048);
    editors.byteEdits = {edited};
    session.HexEditTable();
    ASSERT_EQ(editors.shownBytes.back().size(), 2048u);
    EXPECT_EQ(doc.ifo->table[ID_MAT].size(), 2048u);
    EXPECT_EQ(std::vector<std::uint8_t>(mat(doc), mat(doc) + 2038),
              std::vector<std::uint8_t>(edited.begin(), edited.end()));
    EXPECT_EQ(std::vector<std::uint8_t>(mat(doc) + 2038, mat(doc) + 2048), tail);
    EXPECT_TRUE(doc.modified);
    show(doc, "VTS_C_ADT");
    const std::size_t size = doc.ifo->table[ID_VTS_C_ADT].size();
    editors.byteEdits = {std::vector<std::uint8_t>(size + 4096, 0x77)};
    session.HexEditTable();
    EXPECT_EQ(editors.shownBytes.back().size(), size);
    EXPECT_EQ(doc.ifo->table[ID_VTS_C_ADT].size(), size);
    EXPECT_EQ(doc.ifo->table[ID_VTS_C_ADT].back(), 0x77);
}

struct CountingListener : SessionListener {
    int before = 0, after = 0, rows = 0, trees = 0;
    void listAboutToChange() override { ++before; }
    void listChanged() override { ++after; }
    void rowChanged(int) override { ++rows; }
    void treeChanged(IfoDocument&) override { ++trees; }
};

TEST_F(Session, TellsItsListenerWhatChanged) {
    CountingListener listener;
    session.setListener(&listener);
    IfoDocument& doc = open();
    session.ShowSelected(&node(doc, "VTS_PGCITI"));
    EXPECT_EQ(listener.trees, 1);
    session.ShowSelected(&node(doc, "VTS_PGCITI"));
    EXPECT_EQ(listener.trees, 1);  // the PGC nodes are made once
    EXPECT_EQ(listener.after, 2);
    editors.values = {"1"};
    session.OnListDoubleClick(row("Number of VTS_PGCI_SRP"));
    EXPECT_EQ(listener.rows, 1);
}

}  // namespace
}  // namespace navtab
