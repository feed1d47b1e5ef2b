// Saving a document: the backup name, the question, the markers, writes that never leave a
// half-written file behind, and damaged copies of every sample (zeroed pointers, enlarged ends,
// a gap, a cut file): each save keeps what loaded and every other byte, or refuses; repairs
// leave a folder lsdvd reads whenever it read it before.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>

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
}

// Runs `body` in a child process (so that limits and mounts stay there) and gives its exit status,
// or -1 when it did not exit.
int statusOfChild(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) _exit(body());
    int status = 0;
    waitpid(child, &status, 0);
    return child > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SaveIfo, AWriteThatFailsHalfwayLeavesTheTargetUntouched) {
    test::TempDir dir;
    const std::string target = dir.file("VTS_01_0.IFO");
    const Bytes original = test::buildVtsFile({{ID_PTT_SRPTI, 1, 5000}});
    test::writeFile(target, original);
    const int status = statusOfChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{3000, 3000};
        setrlimit(RLIMIT_FSIZE, &limit);
        Workspace ws;
        test::RecordingInteraction ui(true);
        IfoDocument& doc = ws.add(target, openIfoFile(target, ui));
        return SaveIfo(ws, doc, target, ui) ? 1 : 0;
    });
    EXPECT_EQ(status, 0) << "the save reported success";
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

TEST(SaveIfo, MissingProtectedAndLinkedTargets) {
    {
        SavePair p;
        test::RecordingInteraction ui;
        const std::string missing = p.dir.file("missing/VTS_01_0.IFO");
        EXPECT_FALSE(SaveIfo(p.ws, *p.doc, missing, ui));
        EXPECT_EQ(ui.messages, std::vector<std::string>{"Error open file.\nMaybe it is write "
                                                        "protected!\n\n" +
                                                        missing + ": No such file or directory"});
        EXPECT_TRUE(p.doc->modified);
        EXPECT_EQ(p.ws.modifiedCount(), 1);
        std::filesystem::create_directory(p.dir.file("dir.IFO"));
        EXPECT_FALSE(SaveIfo(p.ws, *p.doc, p.dir.file("dir.IFO"), ui));
    }
    {
        SavePair p;
        std::filesystem::permissions(p.bup(), std::filesystem::perms::owner_read |
                                                  std::filesystem::perms::group_read |
                                                  std::filesystem::perms::others_read);
        test::RecordingInteraction ui;
        const SaveResult r = SaveIfo(p.ws, *p.doc, p.ifo(), ui);
        EXPECT_EQ(r.failedPath, p.bup());
        EXPECT_TRUE(p.untouched());
    }
    for (const char* leadsTo : {"nowhere.IFO", "loop.IFO"}) {
        SavePair p;
        std::filesystem::create_symlink(leadsTo, p.dir.file("loop.IFO"));
        test::RecordingInteraction ui;
        EXPECT_FALSE(SaveIfo(p.ws, *p.doc, p.dir.file("loop.IFO"), ui)) << leadsTo;
        EXPECT_TRUE(std::filesystem::is_symlink(p.dir.file("loop.IFO")));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_THAT(ui.messages[0], HasSubstr("the symbolic link leads nowhere"));
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
    const int status = statusOfChild([] {
        test::TempDir dir;
        if (unshare(CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=256k") != 0)
            return 77;
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
        return failures == 0 ? 0 : 1;
    });
    if (status == 77) GTEST_SKIP() << "no private mount namespace here";
    EXPECT_EQ(status, 0);
}

namespace fs = std::filesystem;

struct Damaged {
    std::string what;
    Bytes bytes;
};

IfoKind kindOf(const Bytes& file) {
    if (file.size() < 12) return IfoKind::Unknown;
    const std::string id(file.begin(), file.begin() + 12);
    return id == "DVDVIDEO-VMG"   ? IfoKind::Vmg
           : id == "DVDVIDEO-VTS" ? IfoKind::Vts
                                  : IfoKind::Unknown;
}

std::vector<Damaged> damagedCopies(const Bytes& file) {
    std::vector<Damaged> out;
    std::uint32_t firstTable = 0;
    for (const TableLocation& t : tablesOf(kindOf(file))) {
        const std::uint32_t sector = be32(&file[t.matPointer]);
        if (sector == 0) continue;
        if (firstTable == 0 || sector < firstTable) firstTable = sector;
        Bytes zeroed = file;
        test::put32At(zeroed, t.matPointer, 0);
        out.push_back({std::string(t.name) + " pointer zeroed", zeroed});
        const std::size_t endWord = std::size_t{sector} * kSectorSize + t.endWord;
        for (std::uint32_t grow : {2048u, 1u << 20}) {
            Bytes enlarged = file;
            test::put32At(enlarged, endWord, be32(&file[endWord]) + grow);
            out.push_back(
                {std::string(t.name) + " end enlarged by " + std::to_string(grow), enlarged});
        }
    }
    Bytes gap = file;
    const auto at = static_cast<std::ptrdiff_t>(std::size_t{firstTable} * kSectorSize);
    gap.insert(gap.begin() + at, kSectorSize, 0xEE);
    for (const TableLocation& t : tablesOf(kindOf(file)))
        if (be32(&file[t.matPointer]) != 0)
            test::put32At(gap, t.matPointer, be32(&file[t.matPointer]) + 1);
    test::put32At(gap, kMatLastSectorOfIfo, be32(&file[kMatLastSectorOfIfo]) + 1);
    out.push_back({"gap before the first table", gap});
    for (std::size_t size : {std::size_t{1000}, file.size() / 2, file.size() - kSectorSize}) {
        Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
        out.push_back({"cut to " + std::to_string(size) + " bytes", cut});
    }
    return out;
}

TEST(SaveDamaged, EverySaveKeepsWhatLoadedAndEveryOtherByteOrRefuses) {
    test::TempDir dir;
    int saved = 0, refused = 0;
    for (const std::string& sample : test::allSampleInfoFiles()) {
        for (const Damaged& d : damagedCopies(test::readFile(sample))) {
            SCOPED_TRACE(sample + ": " + d.what);
            const std::string path = dir.file("VTS_01_0.IFO");
            test::writeFile(path, d.bytes);
            Workspace ws;
            test::RecordingInteraction ui(false);
            IfoHandle loaded = openIfoFile(path, ui);
            ASSERT_TRUE(loaded);
            IfoDocument& doc = ws.add(path, std::move(loaded));
            std::vector<bool> held(d.bytes.size(), false);
            std::fill_n(held.begin(), std::min(held.size(), kSectorSize), true);
            std::vector<std::pair<int, std::size_t>> tables;
            for (const TableLocation& t : tablesOf(ifoKind(doc.ifo.get()))) {
                if (!doc.ifo->has(t.id)) continue;
                const std::size_t at = std::size_t{be32(&d.bytes[t.matPointer])} * kSectorSize;
                tables.emplace_back(t.id, at);
                for (std::size_t i = at;
                     i < std::min(held.size(), at + ifoTableSize(doc.ifo.get(), t.id)); ++i)
                    held[i] = true;
            }
            if (!SaveIfo(ws, doc, path, ui)) {
                ++refused;
                EXPECT_EQ(test::readFile(path), d.bytes);
                continue;
            }
            ++saved;
            const Bytes written = test::readFile(path);
            ASSERT_GE(written.size(), d.bytes.size());
            for (std::size_t i = 0; i < d.bytes.size(); ++i)
                if (!held[i]) {
                    ASSERT_EQ(written[i], d.bytes[i]) << "byte " << i;
                }
            IfoHandle again = openIfoFile(path, ui);
            ASSERT_TRUE(again);
            for (const auto& [id, at] : tables) {
                EXPECT_EQ(again->table[id], doc.ifo->table[id]) << ifoTableName(id);
                EXPECT_TRUE(std::equal(doc.ifo->table[id].begin(), doc.ifo->table[id].end(),
                                       written.begin() + static_cast<std::ptrdiff_t>(at)));
            }
        }
    }
    EXPECT_GT(saved, 50);
    EXPECT_GT(refused, 5);
}

// A copy of the ntsc43 folder whose program chains prohibit user operations (so that Remove
// P-UOPs has something to save) and whose title VOBs grew by a sector (so that Get VTS sectors
// has).
struct RepairFolder {
    test::TempDir dir;
    std::map<std::string, Bytes> originals;
    RepairFolder() {
        test::copySampleFolder("ntsc43", dir.path());
        for (const char* vob : {"VTS_01_1.VOB", "VTS_02_1.VOB"})
            fs::resize_file(dir.file(vob), fs::file_size(dir.file(vob)) + kSectorSize);
        for (const char* name : {"VIDEO_TS", "VTS_01_0", "VTS_02_0"}) {
            Bytes ifo = test::readFile(dir.file(std::string(name) + ".IFO"));
            prohibitFirstPgc(ifo);
            originals[name] = ifo;
        }
    }
    static void prohibitFirstPgc(Bytes& ifo) {
        std::size_t pgc = 0;
        if (kindOf(ifo) == IfoKind::Vmg) {
            pgc = be32(&ifo[0x84]);
        } else {
            const std::size_t pgcit = std::size_t{be32(&ifo[0xCC])} * kSectorSize;
            pgc = pgcit + be32(&ifo[pgcit + 12]);
        }
        test::put32At(ifo, pgc + 8, 0x00000FFF);
    }
    void install(const std::string& name, const Bytes& ifo) {
        for (const auto& [n, bytes] : originals) {
            test::writeFile(dir.file(n + ".IFO"), n == name ? ifo : bytes);
            test::writeFile(dir.file(n + ".BUP"), bytes);
        }
    }
    bool lsdvdReads() const {
        return test::lsdvdOf(dir.path()).find("Longest track:") != std::string::npos;
    }
};

TEST(SaveDamaged, RepairsLeaveAFolderLsdvdReadsWheneverItReadItBefore) {
    RepairFolder folder;
    int readBefore = 0;
    for (const auto& [name, original] : folder.originals) {
        for (const Damaged& d : damagedCopies(original)) {
            folder.install(name, d.bytes);
            if (!folder.lsdvdReads()) continue;
            ++readBefore;
            for (const char* repair : {"remove-puops", "get-vts-sectors"}) {
                SCOPED_TRACE(name + ": " + d.what + ", " + repair);
                folder.install(name, d.bytes);
                test::runCli({repair, folder.dir.file(name + ".IFO")});
                EXPECT_TRUE(folder.lsdvdReads());
            }
        }
    }
    EXPECT_GT(readBefore, 40);
}

TEST(SaveDamaged, RepairsAndSavesRefuseAFileThatIsNoIfo) {
    test::TempDir dir;
    const Bytes vob = test::readFile(test::sampleFile("ntsc43", "VTS_01_1.VOB"));
    const std::vector<Bytes> foreign = {{},
                                        Bytes{'n', 'o', 't', 'e', 's', '\n'},
                                        Bytes(vob.begin(), vob.begin() + 8 * kSectorSize)};
    const std::vector<std::vector<std::string>> commands = {
        {"remove-puops"}, {"delete-playback", "1"}, {"get-vts-sectors"}, {"save", "OUT"}};
    for (const Bytes& bytes : foreign) {
        for (std::vector<std::string> args : commands) {
            SCOPED_TRACE(args[0] + " on " + std::to_string(bytes.size()) + " bytes");
            const std::string file = dir.file("VTS_01_0.IFO");
            test::writeFile(file, bytes);
            test::writeFile(dir.file("VTS_01_0.BUP"), bytes);
            args.insert(args.begin() + 1, file);
            if (args.back() == "OUT") args.back() = file;
            const auto run = test::runCli(args);
            EXPECT_EQ(run.status, 1);
            EXPECT_THAT(run.err, HasSubstr(kNotAnIfoFileText));
            EXPECT_EQ(test::readFile(file), bytes);
            EXPECT_EQ(test::readFile(dir.file("VTS_01_0.BUP")), bytes);
        }
    }
}

}  // namespace
}  // namespace navtab
