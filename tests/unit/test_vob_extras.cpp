// VOB Extras and Menu Extras. On copies of the sample discs, checked from the outside: the files
// written are walked sector by sector, independently of the writer, and held against the source;
// lsdvd reads the folder; the source folder must come through byte for byte. On hand-made input:
// the sector decision of stripping, the destination writer's file split, the NAV-pack rewrite on
// VOB files that do not match the list, and Remove Angles on an angle block.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "core/bytes.h"
#include "core/document.h"
#include "core/ifo_classes.h"
#include "format/file_tree.h"
#include "unit/test_support.h"
#include "unit/vob_extras_checks.h"
#include "unit/vob_fake_ui.h"
#include "unit/vob_test_streams.h"
#include "vob/destination_writer.h"
#include "vob/extras_dialog.h"
#include "vob/extras_run.h"
#include "vob/held_nav_correction.h"
#include "vob/nav_pack_rewrite.h"
#include "vob/strip_sector.h"
#include "vob/title_vob_pass.h"

namespace navtab::test {
namespace {

using vob::ExtrasBox;

// Stripping an audio and a sub-picture stream of ntsc43's title set 1, or its VOB id 1 (the first
// two chapters of title 1: its VOBUs go whole, ids 2 and 3 become 1 and 2): no packet of a
// stripped stream is left, every pointer of every NAV pack is right, and lsdvd reads the rest.
TEST(VobExtras, StrippingStreamsVobIdsOrALanguageUnitKeepsEveryPointerRight) {
    const struct {
        std::vector<std::string> strip;
        std::uint16_t vobIdsLeftOut;
        std::set<int> audio, subp;  // the stripped streams' numbers
        std::vector<std::pair<const char*, const char*>> lsdvdEdits;
    } runs[] = {
        // clang-format off
        {{"--strip-streams", "0x81,0x21"}, 0, {1}, {1},
         {{"Audio streams: 02", "Audio streams: 01"}, {"Subpictures: 02", "Subpictures: 01"},
          {"\tAudio: 2, Language: fr\n", ""}, {"\tSubtitle: 02, Language: de\n", ""}}},
        {{"--strip-vobids", "1"}, 1, {}, {},
         {{"Title: 01, Length: 00:00:08.000 Chapters: 04, Cells: 04",
           "Title: 01, Length: 00:00:04.000 Chapters: 02, Cells: 02"}}},
        // clang-format on
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.strip[0]);
        ExtrasDisc d("ntsc43");
        std::vector<std::string> args = {"vob-extras", d.s("VTS_01_0.IFO"), d.o("VTS_01_1.VOB")};
        args.insert(args.end(), run.strip.begin(), run.strip.end());
        const auto r = runCli(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_THAT(r.out,
                    HasSubstr("Saved " + d.o(run.vobIdsLeftOut ? "VTS_01_0.IFO" : "VIDEO_TS.IFO")));
        const SectorRun src(d.s("VTS_01_1.VOB")), out(d.o("VTS_01_1.VOB"));
        for (std::size_t s = 0; s < out.sectors(); ++s)
            EXPECT_FALSE(run.audio.count(out.streamOf(s) - 0x80) ||
                         run.subp.count(out.streamOf(s) - 0x20))
                << "sector " << s;
        const auto kept = src.vobusWhere([&](std::uint16_t id) { return id > run.vobIdsLeftOut; });
        checkNavPacks(src, out, kept, run.audio, run.subp);
        const auto srcNav = src.navSectors(), outNav = out.navSectors();
        for (std::size_t i = 0; i < kept.size() && i < outNav.size(); ++i)
            EXPECT_EQ(out.vobId(outNav[i]), src.vobId(srcNav[kept[i]]) - run.vobIdsLeftOut);
        EXPECT_EQ(d.lsdvd(true), replaced(d.lsdvd(false), run.lsdvdEdits));
    }

    // Leaving out the German menus of title set 1: only the English unit's VOB ids reach the menu
    // VOB, and the rebuilt menu address tables describe it sector for sector.
    ExtrasDisc d("ntsc43");
    const auto run =
        runCli({"menu-extras", d.s("VTS_01_0.IFO"), d.o("VTS_01_0.VOB"), "--strip-lus", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    const SectorRun src(d.s("VTS_01_0.VOB")), out(d.o("VTS_01_0.VOB"));
    checkNavPacks(src, out, src.vobusWhere([](std::uint16_t id) { return id <= 2; }));
    RecordingInteraction ui;
    const IfoHandle ifo = openIfoFile(d.o("VTS_01_0.IFO"), ui);
    ASSERT_TRUE(ifo);
    const auto& admap = ifo->table[ID_VTSM_VOBU_ADMAP];
    const auto outNav = out.navSectors();
    ASSERT_EQ(be32(&admap[0]) + 1, 4 + 4 * outNav.size());
    for (std::size_t i = 0; i < outNav.size(); ++i) EXPECT_EQ(be32(&admap[4 + 4 * i]), outNav[i]);
    EXPECT_EQ(be16(&ifo->table[ID_VTSM_PGCI_UT][0]), 1) << "language units";
    const auto& cadt = ifo->table[ID_VTSM_C_ADT];
    EXPECT_EQ(be16(&cadt[0]), 2) << "VOB ids";
    EXPECT_EQ(be32(&cadt[8 + 12 + 8]), out.sectors() - 1) << "the last cell ends with the file";
}

// A run that cannot write its destination (the shell ignores the file-size signal, so a write
// past the limit fails with EFBIG as a full disk would) stops at once and saves no IFO file that
// would describe VOB files which were not written; a run that keeps nothing writes nothing.
TEST(VobExtras, AFailedWriteAnEmptyResultOrTheSourceAsDestinationSavesNoIfo) {
    ExtrasDisc d("ntsc43");
    const std::string cli =
        "'" NAVTAB_CLI "' vob-extras '" + d.s("VTS_01_0.IFO") + "' '" + d.o("VTS_01_1.VOB") + "'";
    const std::pair<std::string, const char*> runs[] = {
        {"trap '' XFSZ; ulimit -f 300; " + cli + " --strip-streams 0x81", "Error writing file!"},
        {cli + " --strip-vobids 1,2,3", "Nothing of the source was kept"}};
    for (const auto& [command, message] : runs) {
        const auto run = runCommand(command);
        EXPECT_EQ(run.status, 1);
        EXPECT_THAT(run.err, HasSubstr(message));
        EXPECT_FALSE(fs::exists(d.o("VTS_01_0.IFO")));
        EXPECT_FALSE(fs::exists(d.o("VIDEO_TS.IFO")));
        fs::remove_all(d.out);
        fs::create_directories(d.out);
    }

    // Other spellings of the source: a "./" path, a link to the source folder, a destination file
    // that is a link to a source VOB, another letter case in the source folder.
    fs::create_directory_symlink(d.src, d.dir.path() / "linked");
    fs::create_symlink(d.src / "VTS_01_1.VOB", d.out / "VTS_01_1.VOB");
    for (const std::string& dest : {(d.src / "." / "VTS_01_1.VOB").string(),
                                    (d.dir.path() / "linked" / "VTS_01_1.VOB").string(),
                                    d.s("vts_01_1.vob"), d.o("VTS_01_1.VOB")}) {
        const auto run =
            runCli({"vob-extras", d.s("VTS_01_0.IFO"), dest, "--strip-streams", "0x81"});
        EXPECT_EQ(run.status, 1) << dest;
        EXPECT_THAT(run.err, HasSubstr("You've selected to overwrite your original VOB files!"))
            << dest << ": " << run.err;
    }
    const auto menu =
        runCli({"menu-extras", d.s("VTS_01_0.IFO"), d.s("VTS_01_0.VOB"), "--strip-lus", "2"});
    EXPECT_THAT(menu.err, HasSubstr("original Menu VOB file!"));
}

// Nothing stripped, both corrections on: the title set is corrected in place. Over dvdauthor's
// own output every NAV pack comes out as dvdauthor wrote it (the VOB files stay as they were), and
// so do the address and time maps, the cell addresses and the chapters (the PGCs' cells are held
// against dvdauthor's by the table rebuild tests).
TEST(VobExtras, CorrectingInPlaceGivesBackWhatDvdauthorWrote) {
    for (const std::string disc : {"ntsc43", "pal169", "mixed0"}) {
        SCOPED_TRACE(disc);
        ExtrasDisc d(disc);
        const auto run = runCli({"vob-extras", d.s("VTS_01_0.IFO"), d.o("unused.VOB")});
        ASSERT_EQ(run.status, 0) << run.err;
        for (const char* rewritten : {"VTS_01_0.IFO", "VTS_01_0.BUP"})
            d.before[rewritten] = readFile(d.s(rewritten));
        RecordingInteraction ui;
        const IfoHandle ours = openIfoFile(d.s("VTS_01_0.IFO"), ui);
        const IfoHandle theirs = openIfoFile(sampleFile(disc, "VTS_01_0.IFO"), ui);
        ASSERT_TRUE(ours && theirs);
        for (int id : {ID_VTS_VOBU_ADMAP, ID_VTS_C_ADT, ID_VTS_TMAPTI, ID_PTT_SRPTI})
            EXPECT_EQ(ours->table[id], theirs->table[id]) << "table " << id;
        EXPECT_FALSE(fs::exists(d.o("unused.VOB")));
    }
}

// VOB ids 1, 2, 3 with 2 left out: 2's VOBU goes whole, 3 is written as 2; an MPEG audio packet
// of a stripped number stays, a private stream 1 packet of one goes.
TEST(StripSector, DropsWholeVobusAndStrippedSubstreamsAndTheWriterSplitsFiles) {
    vob::VobJob job;
    job.strip.keepVobId[2] = false;
    job.strip.newVobId[3] = 2;
    job.strip.keepStreamId.fill(true);
    job.strip.keepStreamId[0x81] = false;
    const auto nav = [](std::uint16_t id) { return navPack({.vobId = id}); };
    constexpr auto W = vob::SectorFate::Write, D = vob::SectorFate::Drop;
    std::vector<std::pair<Sector, vob::SectorFate>> steps{
        {nav(1), W}, {privateSector(0x81, 1000), D}, {pesSector(0xC1, {1, 2, 3}, 1000), W},
        {nav(2), D}, {videoSector({0, 0, 1, 0}), D}, {privateSector(0x80, 1000), D},
        {nav(3), W}, {privateSector(0x80, 1000), W}};
    for (std::size_t i = 0; i < steps.size(); ++i)
        EXPECT_EQ(vob::StripSector(job, steps[i].first, true, true), steps[i].second) << i;
    EXPECT_EQ(be16(&steps[6].first[1055]), 2);
    Sector cut(100, 0xBD);
    EXPECT_EQ(vob::StripSector(job, cut, true, true), vob::SectorFate::Drop);

    // Files already there are overwritten: one that has no other name is replaced, one with a
    // second name is truncated in place, so that the other name sees the new file too.
    TempDir dir;
    writeFile(dir.file("VTS_07_1.VOB"), Bytes(5 * 2048, 0x55));
    writeFile(dir.file("VTS_07_2.VOB"), Bytes(9 * 2048, 0x66));
    fs::create_hard_link(dir.file("VTS_07_2.VOB"), dir.file("other.VOB"));
    vob::DestinationWriter writer(dir.file("VTS_07_1.VOB"), false, 3);
    const Sector sector = paddingSector();
    for (int i = 0; i < 7; ++i) ASSERT_TRUE(writer.WriteDestinationSector(sector));
    ASSERT_TRUE(writer.close());
    ASSERT_EQ(writer.files().size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(writer.files()[i], dir.file("VTS_07_" + std::to_string(i + 1) + ".VOB"));
        EXPECT_EQ(readFile(writer.files()[i]), i < 2 ? concat({sector, sector, sector}) : sector);
    }
    EXPECT_EQ(readFile(dir.file("other.VOB")), readFile(dir.file("VTS_07_2.VOB")));
    EXPECT_EQ(vob::menuDestinationPath("/x/VIDEO_TS.VOB.bak"), "/x/VIDEO_TS.VOB");
}

// The NAV packs a copy corrects while it still holds them must come out exactly as those the
// rewrite after the copy corrects. A copy that holds everything is held against one that splits
// its output every 37 sectors (both leave out a stream of each kind and a VOB id), so that most of
// its NAV packs go to a file before their pointers' targets are written and are left to the
// rewrite.
TEST(NavPackRewrite, HeldCorrectionGivesTheRewritesBytesAndTheRewriteStopsAtDamage) {
    const auto copy = [](const std::string& folder, bool hold) {
        fs::create_directories(folder);
        vob::VobJob job;
        job.options.remux = false;
        job.strip.keepStreamId.fill(true);
        job.strip.keepStreamId[0x81] = job.strip.keepStreamId[0x21] = false;
        job.options.stripVobIds = true;
        job.strip.keepVobId[1] = false;
        vob::DestinationWriter writer(folder + "/VTS_01_1.VOB", false, hold ? 524287 : 37);
        if (hold) vob::PrepareHeldNavCorrection(job, writer);
        RecordingInteraction ui;
        vob::ReadVobSectors({{sampleFile("ntsc43", "VTS_01_1.VOB")}}, ui, [&](auto s) {
            Bytes sector(s.begin(), s.end());
            EXPECT_TRUE(vob::ProcessSector(job, sector, &writer));
        });
        vob::CorrectHeldNavPacks(job, writer, true);
        EXPECT_TRUE(writer.close());
        FakeDialogs dialogs;
        EXPECT_EQ(vob::CorrectVobNavPacks(job, writer.files(), dialogs, ui),
                  vob::NavRewriteResult::Finished);
        std::size_t held = 0;
        for (const auto& v : job.vobus) held += v.navWritten;
        Bytes all;
        for (const auto& f : writer.files()) all = concat({all, readFile(f)});
        return std::make_tuple(all, held, job.vobus.size());
    };
    TempDir dir;
    const auto [heldBytes, heldCount, vobus] = copy(dir.file("held"), true);
    const auto [splitBytes, splitHeld, splitVobus] = copy(dir.file("split"), false);
    EXPECT_EQ(heldCount, vobus);
    EXPECT_LT(splitHeld, splitVobus / 2);
    EXPECT_TRUE(heldBytes == splitBytes);

    // The rewrite meets a file that is shorter than the list says, and a sector that is no NAV
    // pack: each ends it with its message and nothing is written beyond.
    TempDir files;
    vob::VobJob list;
    list.vobus.resize(2);
    list.vobus[1].sector = 2;
    writeSectors(files.file("a.VOB"), {navPack({}), paddingSector(), navPack({})});
    FakeDialogs dialogs;
    RecordingInteraction ui;
    EXPECT_EQ(vob::CorrectVobNavPacks(list, {files.file("a.VOB")}, dialogs, ui),
              vob::NavRewriteResult::Finished);
    list.vobus[1].sector = 1;
    EXPECT_EQ(vob::CorrectVobNavPacks(list, {files.file("a.VOB")}, dialogs, ui),
              vob::NavRewriteResult::Failed);
    EXPECT_EQ(ui.messages.back(), "Synchronization failure on VOB file");
    writeSectors(files.file("b.VOB"), {navPack({})});
    fs::resize_file(files.file("b.VOB"), 3000);
    EXPECT_EQ(vob::CorrectVobNavPacks(list, {files.file("b.VOB")}, dialogs, ui),
              vob::NavRewriteResult::Failed);
    EXPECT_EQ(ui.messages.back(), "Error reading VOB file");
    EXPECT_EQ(fs::file_size(files.file("b.VOB")), 3000u);
}

// A title whose only PGC is an angle block of two cells, VOB id 1 (angle 1) and 2 (angle 2), in
// interleaved units of one VOBU each: 1, 2, 1, 2.
void writeAngleTitleSet(const std::string& folder) {
    std::vector<Sector> sectors;
    for (std::uint16_t unit = 0; unit < 4; ++unit) {
        Sector nav = navPack({.lbn = 3u * unit, .vobId = std::uint16_t(1 + unit % 2), .vobuEa = 2});
        put16(&nav[1063], 0x4000);  // part of an interleaved unit
        put32(&nav[1065], 2);       // the unit ends with this VOBU
        put32(&nav[1211 + 6], 3);   // seamless angle 2 three sectors on
        put16(&nav[1211 + 6 + 4], 3);
        sectors.push_back(nav);
        sectors.push_back(videoSector(concat({pictureHeader(1)})));
        sectors.push_back(paddingSector());
    }
    writeSectors(folder + "/VTS_01_1.VOB", sectors);

    CIfoVtsBuilder b;
    b.pttSrpt = std::make_unique<CIfoPttSrpt>();
    b.pttSrpt->AddTitle()->AddPtt(1, 1);
    b.pgcit = std::make_unique<CIfoPgcit>();
    CIfoPgc& pgc = *b.pgcit->AddSrp()->pgc;
    const std::pair<std::uint8_t, std::uint32_t> cells[] = {{0x55, 0}, {0xD5, 3}};
    for (std::uint16_t vob = 1; vob <= 2; ++vob) {
        std::array<std::uint8_t, 24> entry{};
        entry[0] = cells[vob - 1].first;
        put32(&entry[8], cells[vob - 1].second);
        put32(&entry[16], cells[vob - 1].second + 6);
        put32(&entry[20], cells[vob - 1].second + 8);
        pgc.AddCell(entry, vob, 1, vob == 1);
    }
    b.cadt = std::make_unique<CIfoCadt>();
    b.cadt->AddCell(1, 1, 0, 8);
    b.cadt->AddCell(2, 1, 3, 11);
    b.vobuAdmap = std::make_unique<CIfoVobuAdmap>();
    for (std::uint32_t s : {0u, 3u, 6u, 9u}) b.vobuAdmap->AddVobu(s);
    IfoHandle ifo = b.BuildIfo();
    ASSERT_TRUE(ifo);
    RecordingInteraction ui;
    ASSERT_TRUE(writeIfoFileAtomically(folder + "/VTS_01_0.IFO", *ifo, ui));
}

TEST(VobExtras, RemovingAnglesLeavesOneAngleWithoutInterleaving) {
    TempDir dir;
    for (const char* sub : {"src", "out"}) fs::create_directories(dir.path() / sub);
    writeAngleTitleSet(dir.file("src"));
    ASSERT_THAT(runCli({"show", dir.file("src/VTS_01_0.IFO")}).out, HasSubstr("(Angle 2)"));
    Workspace workspace;
    RecordingInteraction ui(true);
    WorkspaceDocuments documents(workspace, ui);
    IfoDocument* doc = documents.documentFor(dir.file("src/VTS_01_0.IFO"));
    ASSERT_NE(doc, nullptr);
    FakeDialogs dialogs;
    dialogs.extrasOptions = [&](vob::ExtrasDialogState& s) {
        s.click(ExtrasBox::StripStreams, false);
        s.click(ExtrasBox::RemoveAngles, true);
        s.options.keepAngle = 2;
        s.options.destination = dir.file("out/VTS_01_1.VOB");
    };
    vob::ExtrasContext ctx{workspace, documents, dialogs, ui};
    const auto outcome = vob::VobExtras(ctx, *doc);
    ASSERT_EQ(outcome.result, vob::ExtrasOutcome::Result::Done)
        << ::testing::PrintToString(ui.messages);

    const Bytes out = readFile(dir.file("out/VTS_01_1.VOB"));
    ASSERT_EQ(out.size(), 6u * 2048);  // the two units of angle 2
    for (std::size_t s : {0u, 3u}) {
        const std::uint8_t* nav = &out[s * 2048];
        EXPECT_EQ(be16(nav + 1055), 1) << "VOB id 2 becomes 1";
        EXPECT_EQ(be16(nav + 1063), 0) << "no interleaving";
        EXPECT_EQ(be32(nav + 1065), 0u);
        EXPECT_TRUE(std::all_of(nav + 1211, nav + 1265, [](std::uint8_t b) { return b == 0; }));
    }
    const IfoHandle saved = openIfoFile(dir.file("out/VTS_01_0.IFO"), ui);
    ASSERT_TRUE(saved);
    const CIfoPgcit pgcit(saved->table[ID_VTS_PGCITI]);
    ASSERT_EQ(pgcit.srps.size(), 1u);
    EXPECT_EQ(pgcit.srps[0]->pgc->stored[3], 1) << "one cell";
    EXPECT_EQ(saved->table[ID_VTS_C_ADT][1], 1) << "one VOB id";
    EXPECT_THAT(runCli({"show", dir.file("out/VTS_01_0.IFO")}).out, Not(HasSubstr("Angle")));
}

}  // namespace
}  // namespace navtab::test
