// Saving a document: the backup name, the question, the markers, and writes that never leave a
// half-written file behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include "core/bytes.h"
#include "core/document.h"
#include "unit/test_support.h"

namespace navtab {
namespace {

using test::Bytes;

const char* kBackupQuestion =
    "Do you want to save it as .BUP, aswell?\nAttention: Existing file would be overwritten.";

IfoDocument& openInto(Workspace& ws, const std::string& path) {
    test::RecordingInteraction ui;
    IfoHandle ifo = openIfoFile(path, ui);
    EXPECT_TRUE(ifo) << path;
    return ws.add(path, std::move(ifo));
}

TEST(BackupPath, ReplacesTheExtensionInTheCaseStyleOfThePath) {
    EXPECT_EQ(backupPathFor("/d/VIDEO_TS/VTS_01_0.IFO"), "/d/VIDEO_TS/VTS_01_0.BUP");
    EXPECT_EQ(backupPathFor("/d/video_ts/vts_01_0.ifo"), "/d/video_ts/vts_01_0.bup");
    EXPECT_EQ(backupPathFor("Video_Ts.Ifo"), "Video_Ts.Bup");
    EXPECT_EQ(backupPathFor("/x.IFO.d/VIDEO_TS.IFO"), "/x.IFO.d/VIDEO_TS.BUP");
    EXPECT_EQ(backupPathFor("/x.IFO/name"), "");
    EXPECT_EQ(backupPathFor("/d/VIDEO_TS.BUP"), "");
    EXPECT_EQ(backupPathFor("/d/table.bin"), "");
}

TEST(SaveIfo, AsksForTheBackupAndClearsTheMarker) {
    test::TempDir dir;
    const Bytes source = test::buildVtsFile({{ID_PTT_SRPTI, 1, 300}});
    test::writeFile(dir.file("VTS_01_0.IFO"), source);
    test::writeFile(dir.file("VTS_01_0.BUP"), Bytes{1, 2, 3});

    Workspace ws;
    IfoDocument& doc = openInto(ws, dir.file("VTS_01_0.IFO"));
    ws.markModified(doc);
    ws.markModified(doc);  // counted once
    EXPECT_EQ(ws.modifiedCount(), 1);

    // No: the main file is written, the existing backup stays as it was.
    test::RecordingInteraction no(false);
    ASSERT_TRUE(SaveIfo(ws, doc, dir.file("VTS_01_0.IFO"), no));
    EXPECT_EQ(no.questions, std::vector<std::string>{kBackupQuestion});
    EXPECT_FALSE(doc.modified);
    EXPECT_EQ(ws.modifiedCount(), 0);
    EXPECT_EQ(test::readFile(dir.file("VTS_01_0.BUP")), (Bytes{1, 2, 3}));

    // Yes: the backup is a second copy of what was just written.
    doc.ifo->table[ID_PTT_SRPTI][50] = 0x5A;
    test::RecordingInteraction yes(true);
    ASSERT_TRUE(SaveIfo(ws, doc, dir.file("VTS_01_0.IFO"), yes));
    const Bytes saved = test::readFile(dir.file("VTS_01_0.IFO"));
    EXPECT_EQ(saved[kSectorSize + 50], 0x5A);
    EXPECT_EQ(test::readFile(dir.file("VTS_01_0.BUP")), saved);

    // While a tool suppresses the question the backup is written without asking, in lower case
    // for a lower-case name.
    ws.noBackupQuestion = true;
    test::RecordingInteraction silent(false);
    ASSERT_TRUE(SaveIfo(ws, doc, dir.file("copy.ifo"), silent));
    EXPECT_TRUE(silent.questions.empty());
    EXPECT_EQ(test::readFile(dir.file("copy.bup")), saved);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);
}

TEST(SaveIfo, AFailedSaveSaysSoAndKeepsTheMarker) {
    test::TempDir dir;
    test::writeFile(dir.file("VTS_01_0.IFO"), test::buildVtsFile({{ID_PTT_SRPTI, 1, 300}}));
    Workspace ws;
    IfoDocument& doc = openInto(ws, dir.file("VTS_01_0.IFO"));
    ws.markModified(doc);

    test::RecordingInteraction ui(true);
    EXPECT_FALSE(SaveIfo(ws, doc, dir.file("missing/VTS_01_0.IFO"), ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Error open file.\nMaybe it is write protected!");
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(ws.modifiedCount(), 1);

    // A folder in the target's place cannot be replaced; no temporary file is left behind.
    std::filesystem::create_directory(dir.file("dir.IFO"));
    EXPECT_FALSE(SaveIfo(ws, doc, dir.file("dir.IFO"), ui));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(SaveIfo, AWriteThatFailsHalfwayLeavesTheTargetUntouched) {
    test::TempDir dir;
    const std::string target = dir.file("VTS_01_0.IFO");
    const Bytes original = test::buildVtsFile({{ID_PTT_SRPTI, 1, 5000}});
    test::writeFile(target, original);

    // In a child process whose files may not grow past 3000 bytes, the save must fail cleanly.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{3000, 3000};
        setrlimit(RLIMIT_FSIZE, &limit);
        Workspace ws;
        test::RecordingInteraction ui(true);
        IfoHandle ifo = openIfoFile(target, ui);
        IfoDocument& doc = ws.add(target, std::move(ifo));
        _exit(SaveIfo(ws, doc, target, ui) ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save reported success";
    EXPECT_EQ(test::readFile(target), original);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace navtab
