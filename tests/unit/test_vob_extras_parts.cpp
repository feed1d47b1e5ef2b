// The pieces of the VOB processing runs on hand-made input: the sector decision of stripping, the
// destination writer's file split, the NAV-pack rewrite on VOB files that do not match the list,
// and Remove Angles on an angle block.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/bytes.h"
#include "core/document.h"
#include "core/ifo_classes.h"
#include "format/file_tree.h"
#include "unit/test_support.h"
#include "unit/vob_fake_ui.h"
#include "unit/vob_test_streams.h"
#include "vob/destination_writer.h"
#include "vob/extras_dialog.h"
#include "vob/extras_run.h"
#include "vob/held_nav_correction.h"
#include "vob/nav_pack_rewrite.h"
#include "vob/strip_sector.h"
#include "vob/title_vob_pass.h"

namespace navtab {
namespace {

using test::Bytes;
using vob::ExtrasBox;
namespace fs = std::filesystem;

// VOB ids 1, 2, 3 with 2 left out: 2's VOBU goes whole, 3 is written as 2; an MPEG audio packet
// of a stripped number stays, a private stream 1 packet of one goes.
TEST(StripSector, DropsWholeVobusAndStrippedSubstreams) {
    vob::VobJob job;
    job.strip.keepVobId[2] = false;
    job.strip.newVobId[3] = 2;
    job.strip.keepStreamId.fill(true);
    job.strip.keepStreamId[0x81] = false;
    const auto nav = [](std::uint16_t id) { return test::navPack({.vobId = id}); };
    constexpr auto W = vob::SectorFate::Write, D = vob::SectorFate::Drop;
    std::vector<std::pair<test::Sector, vob::SectorFate>> steps{
        {nav(1), W},
        {test::privateSector(0x81, 1000), D},
        {test::pesSector(0xC1, {1, 2, 3}, 1000), W},
        {nav(2), D},
        {test::videoSector({0, 0, 1, 0}), D},
        {test::privateSector(0x80, 1000), D},
        {nav(3), W},
        {test::privateSector(0x80, 1000), W}};
    for (std::size_t i = 0; i < steps.size(); ++i)
        EXPECT_EQ(vob::StripSector(job, steps[i].first, true, true), steps[i].second) << i;
    EXPECT_EQ(be16(&steps[6].first[1055]), 2);
    test::Sector cut(100, 0xBD);
    EXPECT_EQ(vob::StripSector(job, cut, true, true), vob::SectorFate::Drop);
}

// Files already there are overwritten: one that has no other name is replaced, one with a second
// name is truncated in place, so that the other name sees the new file too.
TEST(DestinationWriter, BeginsTheNextFileAtTheSectorLimit) {
    test::TempDir dir;
    test::writeFile(dir.file("VTS_07_1.VOB"), Bytes(5 * 2048, 0x55));
    test::writeFile(dir.file("VTS_07_2.VOB"), Bytes(9 * 2048, 0x66));
    fs::create_hard_link(dir.file("VTS_07_2.VOB"), dir.file("other.VOB"));
    vob::DestinationWriter writer(dir.file("VTS_07_1.VOB"), false, 3);
    const test::Sector sector = test::paddingSector();
    for (int i = 0; i < 7; ++i) ASSERT_TRUE(writer.WriteDestinationSector(sector));
    ASSERT_TRUE(writer.close());
    ASSERT_EQ(writer.files().size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(writer.files()[i], dir.file("VTS_07_" + std::to_string(i + 1) + ".VOB"));
        Bytes want;
        for (int k = 0; k < (i < 2 ? 3 : 1); ++k)
            want.insert(want.end(), sector.begin(), sector.end());
        EXPECT_EQ(test::readFile(writer.files()[i]), want);
    }
    EXPECT_EQ(test::readFile(dir.file("other.VOB")), test::readFile(dir.file("VTS_07_2.VOB")));
    EXPECT_EQ(vob::menuDestinationPath("/x/VIDEO_TS.VOB.bak"), "/x/VIDEO_TS.VOB");
}

// The NAV packs a copy corrects while it still holds them must come out exactly as those the
// rewrite after the copy corrects. A copy that holds everything is held against one that holds
// nothing and splits its output every 37 sectors (both leave out a stream of each kind and a VOB
// id), so that most of its NAV packs go to a file
// before their pointers' targets are written and are left to the rewrite.
TEST(HeldNavCorrection, GivesTheBytesTheRewriteAfterTheCopyGives) {
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
        test::RecordingInteraction ui;
        vob::ReadVobSectors({{test::sampleFile("ntsc43", "VTS_01_1.VOB")}}, ui, [&](auto s) {
            Bytes sector(s.begin(), s.end());
            EXPECT_TRUE(vob::ProcessSector(job, sector, &writer));
        });
        vob::CorrectHeldNavPacks(job, writer, true);
        EXPECT_TRUE(writer.close());
        test::FakeDialogs dialogs;
        EXPECT_EQ(vob::CorrectVobNavPacks(job, writer.files(), dialogs, ui),
                  vob::NavRewriteResult::Finished);
        std::size_t held = 0;
        for (const auto& v : job.vobus) held += v.navWritten;
        Bytes all;
        for (const auto& f : writer.files()) {
            const Bytes b = test::readFile(f);
            all.insert(all.end(), b.begin(), b.end());
        }
        return std::make_tuple(all, held, job.vobus.size());
    };
    test::TempDir dir;
    const auto [heldBytes, heldCount, vobus] = copy(dir.file("held"), true);
    const auto [splitBytes, splitHeld, splitVobus] = copy(dir.file("split"), false);
    EXPECT_EQ(heldCount, vobus);
    EXPECT_LT(splitHeld, splitVobus / 2);
    EXPECT_TRUE(heldBytes == splitBytes);
}

// The rewrite meets a file that is shorter than the list says, and a sector that is no NAV pack:
// each ends it with its message and nothing is written beyond.
TEST(NavPackRewrite, StopsAtAShortFileOrALostNavPack) {
    test::TempDir dir;
    vob::VobJob job;
    job.vobus.resize(2);
    job.vobus[1].sector = 2;
    test::writeSectors(dir.file("a.VOB"),
                       {test::navPack({}), test::paddingSector(), test::navPack({})});
    test::FakeDialogs dialogs;
    test::RecordingInteraction ui;
    EXPECT_EQ(vob::CorrectVobNavPacks(job, {dir.file("a.VOB")}, dialogs, ui),
              vob::NavRewriteResult::Finished);
    job.vobus[1].sector = 1;
    EXPECT_EQ(vob::CorrectVobNavPacks(job, {dir.file("a.VOB")}, dialogs, ui),
              vob::NavRewriteResult::Failed);
    EXPECT_EQ(ui.messages.back(), "Synchronization failure on VOB file");
    test::writeSectors(dir.file("b.VOB"), {test::navPack({})});
    fs::resize_file(dir.file("b.VOB"), 3000);
    EXPECT_EQ(vob::CorrectVobNavPacks(job, {dir.file("b.VOB")}, dialogs, ui),
              vob::NavRewriteResult::Failed);
    EXPECT_EQ(ui.messages.back(), "Error reading VOB file");
    EXPECT_EQ(fs::file_size(dir.file("b.VOB")), 3000u);
}

// A title whose only PGC is an angle block of two cells, VOB id 1 (angle 1) and 2 (angle 2), in
// interleaved units of one VOBU each: 1, 2, 1, 2.
void writeAngleTitleSet(const std::string& folder) {
    std::vector<test::Sector> sectors;
    for (std::uint16_t unit = 0; unit < 4; ++unit) {
        test::Sector nav =
            test::navPack({.lbn = 3u * unit, .vobId = std::uint16_t(1 + unit % 2), .vobuEa = 2});
        put16(&nav[1063], 0x4000);  // part of an interleaved unit
        put32(&nav[1065], 2);       // the unit ends with this VOBU
        put32(&nav[1211 + 6], 3);   // seamless angle 2 three sectors on
        put16(&nav[1211 + 6 + 4], 3);
        sectors.push_back(nav);
        sectors.push_back(test::videoSector(test::concat({test::pictureHeader(1)})));
        sectors.push_back(test::paddingSector());
    }
    test::writeSectors(folder + "/VTS_01_1.VOB", sectors);

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
    test::RecordingInteraction ui;
    ASSERT_TRUE(writeIfoFileAtomically(folder + "/VTS_01_0.IFO", *ifo, ui));
}

TEST(VobExtras, RemovingAnglesLeavesOneAngleWithoutInterleaving) {
    test::TempDir dir;
    for (const char* sub : {"src", "out"}) fs::create_directories(dir.path() / sub);
    writeAngleTitleSet(dir.file("src"));
    ASSERT_THAT(test::runCli({"show", dir.file("src/VTS_01_0.IFO")}).out, HasSubstr("(Angle 2)"));
    Workspace workspace;
    test::RecordingInteraction ui(true);
    WorkspaceDocuments documents(workspace, ui);
    IfoDocument* doc = documents.documentFor(dir.file("src/VTS_01_0.IFO"));
    ASSERT_NE(doc, nullptr);
    test::FakeDialogs dialogs;
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

    const test::Bytes out = test::readFile(dir.file("out/VTS_01_1.VOB"));
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
    const std::uint8_t* stored = pgcit.srps[0]->pgc->stored.data();
    EXPECT_EQ(stored[3], 1) << "one cell";
    EXPECT_EQ(saved->table[ID_VTS_C_ADT][1], 1) << "one VOB id";
    const auto tree = test::runCli({"show", dir.file("out/VTS_01_0.IFO")}).out;
    EXPECT_THAT(tree, Not(HasSubstr("Angle")));
}

}  // namespace
}  // namespace navtab
