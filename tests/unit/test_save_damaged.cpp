// Saving damaged copies of the sample IFO files: a zeroed table pointer, an end address enlarged
// over the next table or past the file, a gap between tables, a cut file. Every save either
// writes back every table that loaded, at its place, and every other byte as it was, or refuses
// and leaves the file alone. The repairs that save on the same copies leave a folder that lsdvd
// reads whenever it read it before.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

#include "core/bytes.h"
#include "core/document.h"
#include "unit/test_support.h"

namespace navtab {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

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
            EXPECT_NE(run.err.find(kNotAnIfoFileText), std::string::npos) << run.err;
            EXPECT_EQ(test::readFile(file), bytes);
            EXPECT_EQ(test::readFile(dir.file("VTS_01_0.BUP")), bytes);
        }
    }
}

}  // namespace
}  // namespace navtab
