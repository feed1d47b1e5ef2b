// "Get VTS sectors" on copies of the sample disc whose files were grown, shrunk or removed: every
// corrected address is checked against sums of the file sizes made here, in disc order.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

#include "core/bytes.h"
#include "core/ifo_main.h"
#include "format/file_tree.h"
#include "repair/folder_fit.h"
#include "repair/sector_correction.h"
#include "unit/test_support.h"

namespace navtab {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

// A copy of the ntsc43 sample's VIDEO_TS folder, its names in the case asked for.
struct DiscCopy {
    test::TempDir dir;
    explicit DiscCopy(bool lowerCase = false) {
        test::copySampleFolder("ntsc43", dir.path(), lowerCase);
    }
    std::string file(const std::string& name) const { return dir.file(name); }
    void resizeBySectors(const std::string& name, int sectors) const {
        const auto size = fs::file_size(file(name));
        fs::resize_file(file(name), size + static_cast<std::int64_t>(sectors) * 2048);
    }
    std::uint64_t sectors(const std::string& name) const {
        return fs::exists(file(name)) ? fs::file_size(file(name)) / 2048 : 0;
    }
    std::uint32_t start(const std::string& name) const {
        static const char* order[] = {
            "VIDEO_TS.IFO", "VIDEO_TS.VOB", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_0.VOB",
            "VTS_01_1.VOB", "VTS_01_0.BUP", "VTS_02_0.IFO", "VTS_02_1.VOB", "VTS_02_0.BUP"};
        std::uint64_t sum = 0;
        for (const char* n : order) {
            if (name == n) break;
            sum += sectors(n);
        }
        return static_cast<std::uint32_t>(sum);
    }
    std::uint32_t last(const std::string& name) const {
        return start(name) + static_cast<std::uint32_t>(sectors(name)) - 1;
    }
};

std::uint32_t field(const Bytes& file, std::size_t offset) {
    return be32(&file[offset]);
}

// The start sectors of the title sets as VMG_PTT_SRPT gives them, title by title.
std::vector<std::uint32_t> titleSetStarts(const Bytes& vmg) {
    const std::size_t table = field(vmg, 0xC4) * kSectorSize;
    std::vector<std::uint32_t> starts;
    for (std::uint32_t t = 0; t < be16(&vmg[table]); ++t)
        starts.push_back(field(vmg, table + 8 + 12 * t + 8));
    return starts;
}

TEST(GetVtsSectors, AllFilesModeFollowsGrownShrunkAndRemovedFiles) {
    DiscCopy disc;
    disc.resizeBySectors("VTS_01_1.VOB", 10);
    disc.resizeBySectors("VTS_02_1.VOB", -3);
    fs::remove(disc.file("VTS_01_0.VOB"));
    fs::remove(disc.file("VIDEO_TS.BUP"));
    test::writeFile(disc.file("notes.txt"), Bytes(5 * 2048, 'x'));  // no disc file: passed by
    fs::create_directory(disc.file("extra"));
    const Bytes before = test::readFile(disc.file("VIDEO_TS.IFO"));
    const auto refused = test::runCli({"get-vts-sectors", disc.file("VTS_02_0.IFO"), "--all"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err, HasSubstr("- VTS_01_0.VOB is missing or empty, but the menu cells of "
                                       "VTS_01_0.IFO point into it."));
    EXPECT_EQ(test::readFile(disc.file("VIDEO_TS.IFO")), before);
    EXPECT_FALSE(fs::exists(disc.file("VIDEO_TS.BUP")));
    const auto run =
        test::runCli({"get-vts-sectors", disc.file("VTS_02_0.IFO"), "--all", "--force"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out,
                HasSubstr("Start sector of VTSM_VOBS: [old: 9] [new: 0] (VTS_01_0.VOB)\n"));
    EXPECT_THAT(run.out, HasSubstr("Saved " + disc.file("VIDEO_TS.IFO") + " and " +
                                   disc.file("VIDEO_TS.BUP")));
    const Bytes vmg = test::readFile(disc.file("VIDEO_TS.IFO"));
    EXPECT_EQ(test::readFile(disc.file("VIDEO_TS.BUP")), vmg);
    EXPECT_EQ(field(vmg, 0x0C), disc.last("VIDEO_TS.BUP"));
    EXPECT_EQ(field(vmg, 0x1C), disc.last("VIDEO_TS.IFO"));
    EXPECT_EQ(field(vmg, 0xC0), disc.start("VIDEO_TS.VOB"));
    EXPECT_EQ(be16(&vmg[0x3E]), 2);
    const std::vector<std::uint32_t> vts1 = {disc.start("VTS_01_0.IFO"), disc.start("VTS_01_0.IFO"),
                                             disc.start("VTS_02_0.IFO")};
    EXPECT_EQ(titleSetStarts(vmg), vts1);
    for (const std::string set : {"VTS_01", "VTS_02"}) {
        SCOPED_TRACE(set);
        const Bytes vts = test::readFile(disc.file(set + "_0.IFO"));
        EXPECT_EQ(test::readFile(disc.file(set + "_0.BUP")), vts);
        const std::uint32_t base = disc.start(set + "_0.IFO");
        EXPECT_EQ(field(vts, 0x0C), disc.last(set + "_0.BUP") - base);
        EXPECT_EQ(field(vts, 0x1C), disc.last(set + "_0.IFO") - base);
        EXPECT_EQ(field(vts, 0xC0), 0u);  // neither has a menu VOB now
        EXPECT_EQ(field(vts, 0xC4), disc.start(set + "_1.VOB") - base);
    }
    EXPECT_THAT(test::lsdvdOf(disc.dir.path()), HasSubstr("Title: 03"));
    const auto again =
        test::runCli({"get-vts-sectors", disc.file("VIDEO_TS.IFO"), "--all", "--force"});
    EXPECT_EQ(again.out, "No sector's found that are different!\n");
}

TEST(GetVtsSectors, AllFilesModeNamesWhatDoesNotFitAndWritesNothingUnlessForced) {
    struct Case {
        const char* what;
        std::function<void(DiscCopy&)> damage;
        std::string line;
    };
    const auto copy = [](const char* from, const char* to) {
        return [=](DiscCopy& d) { fs::copy_file(d.file(from), d.file(to)); };
    };
    const auto cutVmg = [](std::size_t size) {
        return [=](DiscCopy& d) { fs::resize_file(d.file("VIDEO_TS.IFO"), size); };
    };
    const std::vector<Case> cases = {
        {"unlisted title set", copy("VTS_02_0.IFO", "VTS_03_0.IFO"),
         "VTS_03_0.IFO: title set 3 is not listed by the video manager."},
        {"title video removed", [](DiscCopy& d) { fs::remove(d.file("VTS_02_1.VOB")); },
         "VTS_02_1.VOB is missing or empty, but the title cells of VTS_02_0.IFO point into it."},
        {"VOB after a gap", copy("VTS_01_1.VOB", "VTS_01_3.VOB"),
         "VTS_01_3.VOB is numbered past the title set's last VOB file (VTS_01_1.VOB)."},
        {"VOB without a title set", copy("VTS_01_1.VOB", "VTS_05_1.VOB"),
         "VTS_05_1.VOB belongs to no title set: there is no VTS_05_0.IFO."},
        {"cut video manager", cutVmg(1000),
         "VIDEO_TS.IFO did not load as a whole IFO file: the file holds only 1000 bytes of its "
         "2048-byte management table."},
        {"empty video manager", cutVmg(0), std::string("VIDEO_TS.IFO: ") + kNotAnIfoFileText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DiscCopy disc;
        c.damage(disc);
        const auto before = test::folderFiles(disc.dir.path());
        const auto run = test::runCli({"get-vts-sectors", disc.file("VTS_01_0.IFO"), "--all"});
        EXPECT_EQ(run.status, 1);
        EXPECT_THAT(run.err, HasSubstr("\n- " + c.line + "\n"));
        EXPECT_EQ(test::folderFiles(disc.dir.path()), before);
    }
    DiscCopy disc;
    cutVmg(1000)(disc);
    const Bytes vmgBackup = test::readFile(disc.file("VIDEO_TS.BUP"));
    const auto run =
        test::runCli({"get-vts-sectors", disc.file("VTS_01_0.IFO"), "--all", "--force"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(fs::file_size(disc.file("VIDEO_TS.IFO")), 1000u);
    EXPECT_EQ(test::readFile(disc.file("VIDEO_TS.BUP")), vmgBackup);
    EXPECT_THAT(run.out,
                HasSubstr("VIDEO_TS.IFO did not load as a whole IFO file; it and its .BUP copy "
                          "are left as they are."));
    EXPECT_THAT(test::lsdvdOf(disc.dir.path()), HasSubstr("Title: 03"));
}

TEST(GetVtsSectors, SingleFileModeReportsEachTableUnderItsHeading) {
    DiscCopy disc;
    Workspace workspace;
    test::RecordingInteraction ui;
    IfoDocument& vmg = AddFileToTree(workspace, disc.file("VIDEO_TS.IFO"),
                                     openIfoFile(disc.file("VIDEO_TS.IFO"), ui));
    const auto listing = repair::DiscListing::read(disc.dir.path().string());
    ASSERT_TRUE(listing);
    repair::CorrectLoadedIfo(workspace, vmg, *listing, ui);
    const std::vector<std::string> expected = {
        "Corrected sector addresses in table [VMGI_MAT]:\n\n"
        "Last Sector of VMG: [old: 31] [new: 25] (VIDEO_TS.VOB)\n",
        "Corrected sector addresses in table [VMG_PTT_SRPT]:\n\n"
        "Title_1: [old: 32] [new: 26] (VTS_01_0.IFO)\n"
        "Title_2: [old: 32] [new: 26] (VTS_01_0.IFO)\n"
        "Title_3: [old: 533] [new: 527] (VTS_02_0.IFO)\n",
        "Finished correcting sector addresses"};
    EXPECT_EQ(ui.messages, expected);
    EXPECT_EQ(workspace.modifiedCount(), 1);
    EXPECT_EQ(test::readFile(disc.file("VIDEO_TS.IFO")),
              test::readFile(test::sampleFile("ntsc43", "VIDEO_TS.IFO")));
    ui.messages.clear();
    repair::CorrectLoadedIfo(workspace, vmg, *listing, ui);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"No sector's found that are different!"});
    EXPECT_EQ(workspace.modifiedCount(), 1);
}

// The title set's fields count from its IFO, also when the backup is the file loaded; a damaged
// title table and a cut management table are read only as far as they reach.
TEST(GetVtsSectors, TitleSetFieldsCountFromItsIfoAndDamagedTablesAreReadAsFarAsTheyReach) {
    DiscCopy disc;
    disc.resizeBySectors("VTS_01_0.VOB", 4);
    const auto listing = repair::DiscListing::read(disc.dir.path().string());
    ASSERT_TRUE(listing);
    test::RecordingInteraction ui;
    for (const std::string name : {"VTS_01_0.IFO", "VTS_01_0.BUP"}) {
        IfoHandle ifo = openIfoFile(disc.file(name), ui);
        EXPECT_EQ(repair::CorrectVtsiMat(*ifo, *listing, name),
                  "Last Sector of VTS: [old: 500] [new: 504] (VTS_01_0.BUP)\n"
                  "Start sector of VTSTT_VOBS: [old: 66] [new: 70] (VTS_01_1.VOB)\n")
            << name;
    }
    IfoHandle ifo = openIfoFile(disc.file("VTS_01_0.IFO"), ui);
    EXPECT_EQ(repair::CorrectVtsiMat(*ifo, *listing, "backup.ifo"), "");
    IfoHandle vmg = openIfoFile(disc.file("VIDEO_TS.IFO"), ui);
    auto& titles = vmg->table[ID_VMG_PTT_SRPT];
    put16(&titles[0], 0xFFFF);
    titles.resize(8 + 12 + 6);  // the second entry is cut off
    EXPECT_EQ(repair::CorrectTitleSearchPointers(*vmg, *listing),
              "Title_1: [old: 32] [new: 26] (VTS_01_0.IFO)\n");
    vmg->table[ID_MAT].resize(0x20);  // the VOB start and title set count lie beyond
    EXPECT_EQ(repair::CorrectVmgiMat(*vmg, *listing),
              "Last Sector of VMG: [old: 31] [new: 25] (VIDEO_TS.VOB)\n");
}

TEST(DiscListing, OrdersTheFilesAsADiscLaysThemOut) {
    // clang-format off
    const repair::DiscListing listing({
        {"VTS_02_0.BUP", 2048}, {"VTS_01_1.VOB", 10 * 2048}, {"video_ts.bup", 2048},
        {"VTS_01_0.IFO", 2 * 2048}, {"VTS_02_1.VOB", 2048}, {"VTS_01_0.BUP", 2 * 2048 + 100},
        {"VIDEO_TS.VOB", 4 * 2048}, {"VTS_01_2.VOB", 3 * 2048}, {"VTS_02_0.IFO", 2048},
        {"VTS_01_0.VOB", 2048}, {"VIDEO_TS.IFO", 2048}});
    // clang-format on
    std::vector<std::string> names;
    for (const auto& e : listing.entries()) names.push_back(e.name);
    const std::vector<std::string> expected = {"VIDEO_TS.IFO", "VIDEO_TS.VOB", "video_ts.bup",
                                               "VTS_01_0.IFO", "VTS_01_0.VOB", "VTS_01_1.VOB",
                                               "VTS_01_2.VOB", "VTS_01_0.BUP", "VTS_02_0.IFO",
                                               "VTS_02_1.VOB", "VTS_02_0.BUP"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(listing.ListingSector("VTS_01_0.IFO", false), 6);
    EXPECT_EQ(listing.ListingSector("vts_01_2.vob", true), 6 + 2 + 1 + 10 + 3 - 1);
    EXPECT_EQ(listing.ListingSector("VTS_02_0.IFO", false), 6 + 2 + 1 + 10 + 3 + 2);
    EXPECT_EQ(listing.diskName("VIDEO_TS.BUP"), "video_ts.bup");
    EXPECT_EQ(listing.titleSetCount(), 2);
    for (const char* name : {"VIDEO_TS.IFO", "vts_01_9.vob", "VTS_99_0.BUP"})
        EXPECT_TRUE(repair::isDvdVideoFileName(name)) << name;
    for (const char* name : {"VTS_01_1.IFO", "VTS_00_0.IFO", "VTS_1_0.IFO", "notes.txt", "VIDEO_TS",
                             "VTS_01_0.IFO.tmp"})
        EXPECT_FALSE(repair::isDvdVideoFileName(name)) << name;
}

// A title set whose cell address table ends after exactly one cell points into its title VOB; one
// that ends before the first cell does not.
TEST(FolderMisfits, ATitleSetWithOneCellNeedsItsTitleVob) {
    const repair::DiscListing listing({{"VTS_01_0.IFO", 4 * kSectorSize}});
    const std::string missing =
        "VTS_01_1.VOB is missing or empty, but the title cells of VTS_01_0.IFO point into it.";
    for (const std::uint32_t endByte : {7u, 19u}) {
        ifo_t vts;
        vts.table[ID_MAT].assign(kSectorSize, 0);
        std::copy_n("DVDVIDEO-VTS", 12, vts.table[ID_MAT].begin());
        vts.table[ID_VTS_C_ADT].assign(kSectorSize, 0);
        put32(&vts.table[ID_VTS_C_ADT][4], endByte);
        const auto lines = repair::FolderMisfits(listing, {{"VTS_01_0.IFO", &vts}});
        EXPECT_EQ(lines,
                  endByte == 19 ? std::vector<std::string>{missing} : std::vector<std::string>{})
            << endByte;
    }
}

}  // namespace
}  // namespace navtab
