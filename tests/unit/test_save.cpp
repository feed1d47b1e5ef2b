// Saving a document: the backup name, the question, the markers, and writes that never leave a
// half-written file behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
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

// A title set file with every table a player needs, so that it loads as a whole.
Bytes wholeTitleSet() {
    return test::buildVtsFile({{ID_PTT_SRPTI, 1, 300},
                               {ID_VTS_PGCITI, 2, 5000},
                               {ID_VTS_C_ADT, 5, 50},
                               {ID_VTS_VOBU_ADMAP, 6, 50}});
}

IfoDocument& openInto(Workspace& ws, const std::string& path) {
    test::RecordingInteraction ui;
    IfoHandle ifo = openIfoFile(path, ui);
    EXPECT_TRUE(ifo) << path;
    return ws.add(path, std::move(ifo));
}

TEST(BackupPath, ReplacesTheExtensionInTheCaseStyleOfThePath) {
    for (const auto& [path, backup] :
         {std::pair{"/d/video_ts/vts_01_0.ifo", "/d/video_ts/vts_01_0.bup"},
          {"Video_Ts.Ifo", "Video_Ts.Bup"},
          {"/x.IFO.d/VIDEO_TS.IFO", "/x.IFO.d/VIDEO_TS.BUP"},
          {"/x.IFO/name", ""},
          {"/d/VIDEO_TS.BUP", ""}})
        EXPECT_EQ(backupPathFor(path), backup) << path;
}

TEST(SaveIfo, AsksForTheBackupAndClearsTheMarker) {
    test::TempDir dir;
    const Bytes source = wholeTitleSet();
    test::writeFile(dir.file("VTS_01_0.IFO"), source);
    test::writeFile(dir.file("VTS_01_0.BUP"), Bytes{1, 2, 3});
    Workspace ws;
    IfoDocument& doc = openInto(ws, dir.file("VTS_01_0.IFO"));
    ws.markModified(doc);
    ws.markModified(doc);  // counted once
    EXPECT_EQ(ws.modifiedCount(), 1);
    test::RecordingInteraction no(false);
    ASSERT_TRUE(SaveIfo(ws, doc, dir.file("VTS_01_0.IFO"), no));
    EXPECT_EQ(no.questions, std::vector<std::string>{kBackupQuestion});
    EXPECT_FALSE(doc.modified);
    EXPECT_EQ(ws.modifiedCount(), 0);
    EXPECT_EQ(test::readFile(dir.file("VTS_01_0.BUP")), (Bytes{1, 2, 3}));
    doc.ifo->table[ID_PTT_SRPTI][50] = 0x5A;
    test::RecordingInteraction yes(true);
    ASSERT_TRUE(SaveIfo(ws, doc, dir.file("VTS_01_0.IFO"), yes));
    const Bytes saved = test::readFile(dir.file("VTS_01_0.IFO"));
    EXPECT_EQ(saved[kSectorSize + 50], 0x5A);
    EXPECT_EQ(test::readFile(dir.file("VTS_01_0.BUP")), saved);
    ws.noBackupQuestion = true;
    test::RecordingInteraction silent(false);
    ASSERT_TRUE(SaveIfo(ws, doc, dir.file("copy.ifo"), silent));
    EXPECT_TRUE(silent.questions.empty());
    EXPECT_EQ(test::readFile(dir.file("copy.bup")), saved);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);
}

TEST(SaveIfo, AFailedSaveSaysSoAndKeepsTheMarker) {
    test::TempDir dir;
    test::writeFile(dir.file("VTS_01_0.IFO"), wholeTitleSet());
    Workspace ws;
    IfoDocument& doc = openInto(ws, dir.file("VTS_01_0.IFO"));
    ws.markModified(doc);
    test::RecordingInteraction ui(true);
    const SaveResult result = SaveIfo(ws, doc, dir.file("missing/VTS_01_0.IFO"), ui);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.failedPath, dir.file("missing/VTS_01_0.IFO"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Error open file.\nMaybe it is write protected!\n\n" +
                                  dir.file("missing/VTS_01_0.IFO") + ": No such file or directory");
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(ws.modifiedCount(), 1);
    std::filesystem::create_directory(dir.file("dir.IFO"));
    EXPECT_FALSE(SaveIfo(ws, doc, dir.file("dir.IFO"), ui));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(SaveIfo, AWriteThatFailsHalfwayLeavesTheTargetUntouched) {
    test::TempDir dir;
    const std::string target = dir.file("VTS_01_0.IFO");
    const Bytes original = test::buildVtsFile({{ID_PTT_SRPTI, 1, 5000}});
    test::writeFile(target, original);
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

// A file to save and its folder, with a .BUP copy that differs from it, so that a save that
// touched either shows.
struct SavePair {
    test::TempDir dir;
    Bytes ifoBytes = wholeTitleSet();
    Bytes bupBytes = Bytes(4 * kSectorSize, 0xB0);
    Workspace ws;
    IfoDocument* doc = nullptr;
    explicit SavePair(const std::filesystem::path& folder = {}) {
        const auto base = folder.empty() ? dir.path() : folder;
        test::writeFile((base / "VTS_01_0.IFO").string(), ifoBytes);
        test::writeFile((base / "VTS_01_0.BUP").string(), bupBytes);
        doc = &openInto(ws, (base / "VTS_01_0.IFO").string());
        doc->ifo->table[ID_PTT_SRPTI][40] = 0x77;  // a change to save
        ws.markModified(*doc);
        ws.noBackupQuestion = true;
    }
    std::string ifo() const { return folderOf(doc->path) + "/VTS_01_0.IFO"; }
    std::string bup() const { return folderOf(doc->path) + "/VTS_01_0.BUP"; }
    static std::string folderOf(const std::string& p) { return p.substr(0, p.rfind('/')); }
    bool untouched() const {
        return test::readFile(ifo()) == ifoBytes && test::readFile(bup()) == bupBytes;
    }
};

TEST(SaveIfo, ProtectedAndLinkedTargets) {
    {
        SavePair p;
        std::filesystem::permissions(p.bup(), std::filesystem::perms::owner_read |
                                                  std::filesystem::perms::group_read |
                                                  std::filesystem::perms::others_read);
        test::RecordingInteraction ui;
        const SaveResult r = SaveIfo(p.ws, *p.doc, p.ifo(), ui);
        EXPECT_FALSE(r);
        EXPECT_EQ(r.failedPath, p.bup());
        EXPECT_TRUE(p.untouched());
        EXPECT_TRUE(p.doc->modified);
    }
    for (const char* leadsTo : {"nowhere.IFO", "loop.IFO"}) {
        SavePair p;
        std::filesystem::create_symlink(leadsTo, p.dir.file("loop.IFO"));
        test::RecordingInteraction ui;
        EXPECT_FALSE(SaveIfo(p.ws, *p.doc, p.dir.file("loop.IFO"), ui)) << leadsTo;
        EXPECT_TRUE(std::filesystem::is_symlink(p.dir.file("loop.IFO")));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_NE(ui.messages[0].find("the symbolic link leads nowhere"), std::string::npos);
    }
    {
        SavePair p;
        std::filesystem::create_directory(p.dir.file("elsewhere"));
        test::writeFile(p.dir.file("elsewhere/VTS_01_0.IFO"), p.ifoBytes);
        std::filesystem::create_symlink("elsewhere/VTS_01_0.IFO", p.dir.file("link.IFO"));
        test::RecordingInteraction ui;
        ASSERT_TRUE(SaveIfo(p.ws, *p.doc, p.dir.file("link.IFO"), ui));
        EXPECT_TRUE(std::filesystem::is_symlink(p.dir.file("link.IFO")));
        const Bytes saved = test::readFile(p.dir.file("elsewhere/VTS_01_0.IFO"));
        EXPECT_EQ(saved[kSectorSize + 40], 0x77);
        EXPECT_EQ(test::readFile(p.dir.file("elsewhere/VTS_01_0.BUP")), saved);
        EXPECT_FALSE(std::filesystem::exists(p.dir.file("link.BUP")));
        EXPECT_EQ(test::readFile(p.bup()), p.bupBytes);
    }
}

TEST(SaveIfo, AnIfoThatDidNotLoadAsAWholeNeverOverwritesItsBackup) {
    SavePair p;
    Bytes cut = p.ifoBytes;
    cut.resize(3 * kSectorSize);  // VTS_PGCIT is cut short: it cannot be loaded
    test::writeFile(p.ifo(), cut);
    Workspace ws;
    IfoDocument& doc = openInto(ws, p.ifo());
    ASSERT_FALSE(doc.ifo->loadProblems.empty());
    doc.ifo->table[ID_PTT_SRPTI][40] = 0x77;
    ws.noBackupQuestion = true;
    test::RecordingInteraction ui;
    const SaveResult r = SaveIfo(ws, doc, p.ifo(), ui);
    EXPECT_TRUE(r);
    EXPECT_TRUE(r.backupSkipped);
    EXPECT_EQ(test::readFile(p.bup()), p.bupBytes);
    Bytes expected = cut;
    expected[kSectorSize + 40] = 0x77;
    EXPECT_EQ(test::readFile(p.ifo()), expected);  // the cut table's bytes are kept as they were
    ASSERT_EQ(ui.messages.size(), 2u);             // the .BUP notice and the end-sector warning
    EXPECT_EQ(ui.messages[0], "The .BUP copy is left as it is: " + p.ifo() +
                                  " did not load as a whole IFO file (ID_VTS_PGCITI could not be "
                                  "loaded from sector 2).");
}

// In a child process with its own small file system: every amount of free space that is too
// little for the file and its copy leaves both exactly as they were.
TEST(SaveIfo, AFullDiskLeavesTheFileAndItsBackupAsTheyWere) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        test::TempDir dir;
        if (unshare(CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=256k") != 0)
            _exit(77);
        int failures = 0;
        for (std::size_t free = 0; free <= 40960; free += 4096) {
            SavePair p(dir.path());
            struct statvfs vfs {};
            statvfs(dir.path().c_str(), &vfs);
            const std::size_t avail = vfs.f_bavail * vfs.f_frsize;
            if (avail > free) test::writeFile(dir.file("filler"), Bytes(avail - free, 0));
            test::RecordingInteraction ui;
            const SaveResult r = SaveIfo(p.ws, *p.doc, p.ifo(), ui);
            const bool clean =
                r ? test::readFile(p.bup()) == test::readFile(p.ifo())
                  : p.untouched() && !ui.messages.empty() &&
                        ui.messages[0].find(r.failedPath + ": No space left on device") !=
                            std::string::npos;
            failures += !clean;
            std::filesystem::remove(dir.file("filler"));
            for (const auto& e : std::filesystem::directory_iterator(dir.path()))
                std::filesystem::remove(e.path());
        }
        umount(dir.path().c_str());
        std::filesystem::remove(dir.path());
        _exit(failures == 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no private mount namespace here";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace navtab
