// The pieces of the VOB processing runs on hand-made input: the options dialog's interlocks, the
// sector decision of stripping, the destination writer's file split and the NAV-pack rewrite on
// VOB files that do not match the list.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/bytes.h"
#include "unit/test_support.h"
#include "unit/vob_fake_ui.h"
#include "unit/vob_test_streams.h"
#include "vob/destination_writer.h"
#include "vob/extras_dialog.h"
#include "vob/nav_pack_rewrite.h"
#include "vob/strip_sector.h"

namespace navtab {
namespace {

using vob::ExtrasBox;
namespace fs = std::filesystem;

TEST(ExtrasDialog, InterlocksFollowTheClicks) {
    auto s = vob::ExtrasDialogState::forVobExtras("/disc/VTS_03_0.IFO", 2);
    EXPECT_EQ(s.options.destination, "VTS_03_1.VOB");
    EXPECT_FALSE(s.visible(ExtrasBox::StripLanguageUnits));
    EXPECT_FALSE(s.enabled(ExtrasBox::Remux));  // not built: shown, never taken
    EXPECT_TRUE(s.checked(ExtrasBox::StripStreams));

    s.click(ExtrasBox::RemoveAngles, true);
    EXPECT_TRUE(s.checked(ExtrasBox::StripVobIds));
    EXPECT_TRUE(s.checked(ExtrasBox::RemoveAnglePointers));
    EXPECT_TRUE(s.keepAngleEnabled());
    EXPECT_EQ(s.keepAngleItems(), (std::vector<std::string>{"Angle 1", "Angle 2"}));
    s.click(ExtrasBox::AdjustAnglePointers, true);
    EXPECT_FALSE(s.checked(ExtrasBox::RemoveAnglePointers));
    s.click(ExtrasBox::RemovePuops, false);
    s.click(ExtrasBox::CorrectNavPacks, false);  // the pointer options go back to their start
    EXPECT_TRUE(s.checked(ExtrasBox::RemovePuops));
    EXPECT_FALSE(s.checked(ExtrasBox::AdjustAnglePointers));
    EXPECT_FALSE(s.enabled(ExtrasBox::AdjustVobuPointers));

    s.click(ExtrasBox::StripVobIds, false);
    s.click(ExtrasBox::StripStreams, false);
    EXPECT_FALSE(s.destinationEnabled());

    auto one = vob::ExtrasDialogState::forVobExtras("VTS_01_0.IFO", 1);
    EXPECT_FALSE(one.enabled(ExtrasBox::AdjustAnglePointers));  // no angles to adjust
}

TEST(ExtrasDialog, MenuExtrasStripsVobIdsAndLanguageUnitsOnly) {
    const auto s = vob::ExtrasDialogState::forMenuExtras("/disc/VIDEO_TS.IFO");
    EXPECT_EQ(s.options.destination, "VIDEO_TS.VOB");
    EXPECT_TRUE(s.visible(ExtrasBox::StripLanguageUnits));
    EXPECT_TRUE(s.checked(ExtrasBox::StripLanguageUnits));
    EXPECT_TRUE(s.checked(ExtrasBox::StripVobIds));
    for (ExtrasBox b :
         {ExtrasBox::Remux, ExtrasBox::StripStreams, ExtrasBox::CreateNew, ExtrasBox::RebuildPts}) {
        EXPECT_FALSE(s.checked(b));
        EXPECT_FALSE(s.enabled(b));
    }
    EXPECT_FALSE(s.videoSourceEnabled());
}

// VOB ids 1, 2, 3 with 2 left out: 2's VOBU goes whole, 3 is written as 2; an MPEG audio packet
// of a stripped number stays, a private stream 1 packet of one goes.
TEST(StripSector, DropsWholeVobusAndStrippedSubstreams) {
    vob::VobJob job;
    job.strip.keepVobId[2] = false;
    job.strip.newVobId[3] = 2;
    job.strip.keepStreamId.fill(true);
    job.strip.keepStreamId[0x81] = false;
    struct Step {
        test::Sector sector;
        vob::SectorFate fate;
    };
    const auto nav = [](std::uint16_t id) {
        test::NavFields f;
        f.vobId = id;
        return test::navPack(f);
    };
    std::vector<Step> steps{
        {nav(1), vob::SectorFate::Write},
        {test::privateSector(0x81, 1000), vob::SectorFate::Drop},
        {test::pesSector(0xC1, {1, 2, 3}, 1000), vob::SectorFate::Write},
        {nav(2), vob::SectorFate::Drop},
        {test::videoSector({0, 0, 1, 0}), vob::SectorFate::Drop},
        {test::privateSector(0x80, 1000), vob::SectorFate::Drop},
        {nav(3), vob::SectorFate::Write},
        {test::privateSector(0x80, 1000), vob::SectorFate::Write},
    };
    for (std::size_t i = 0; i < steps.size(); ++i)
        EXPECT_EQ(vob::StripSector(job, steps[i].sector, true, true), steps[i].fate) << i;
    EXPECT_EQ(be16(&steps[6].sector[1055]), 2);
    test::Sector cut(100, 0xBD);
    EXPECT_EQ(vob::StripSector(job, cut, true, true), vob::SectorFate::Drop);
}

TEST(DestinationWriter, BeginsTheNextFileAtTheSectorLimit) {
    test::TempDir dir;
    vob::DestinationWriter writer(dir.file("VTS_07_1.VOB"), false, 3);
    const test::Sector sector = test::paddingSector();
    for (int i = 0; i < 7; ++i) ASSERT_TRUE(writer.WriteDestinationSector(sector));
    ASSERT_TRUE(writer.close());
    const std::vector<std::string> files{dir.file("VTS_07_1.VOB"), dir.file("VTS_07_2.VOB"),
                                         dir.file("VTS_07_3.VOB")};
    EXPECT_EQ(writer.files(), files);
    EXPECT_EQ(fs::file_size(files[0]), 3u * 2048);
    EXPECT_EQ(fs::file_size(files[2]), 1u * 2048);
    EXPECT_EQ(vob::menuDestinationPath("/x/VIDEO_TS.VOB.bak"), "/x/VIDEO_TS.VOB");
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

}  // namespace
}  // namespace navtab
