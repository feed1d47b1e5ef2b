// Damaged input and the cell feeder: packs and sub-picture units that claim more than they hold
// must be passed over without reading outside their bytes, and a cell is read from the VOB
// files as the navigator's cell entries say, with the window's warnings when files are missing.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>

#include "core/bytes.h"
#include "navigator/disc_model.h"
#include "player/cell_feeder.h"
#include "player/pack_demux.h"
#include "player_support.h"

namespace navtab::test {
namespace {

using namespace navtab::player;

// The first sector of each kind in ntsc43's title VOB.
Bytes firstSector(const Bytes& vob, const std::function<bool(const StreamPacket&)>& is) {
    for (auto s : sectorsOf(vob))
        for (const auto& p : demuxPack(s).packets)
            if (is(p)) return Bytes(s.begin(), s.end());
    return {};
}

struct PackDamage {
    const char* name;
    std::function<void(Bytes&)> damage;
    // The kinds (bits in the order video, AC-3, sub-picture, NAV) whose pack then counts as
    // damaged; -1 when that depends on the garbage.
    int damagedKinds;
};

class PlayerDamagedPack : public testing::TestWithParam<PackDamage> {};

TEST_P(PlayerDamagedPack, IsPassedOverForEveryStream) {
    const Bytes vob = readFile(sampleFile("ntsc43", "VTS_01_1.VOB"));
    const std::vector<std::function<bool(const StreamPacket&)>> kinds = {
        [](const StreamPacket& p) { return p.kind == StreamKind::Video; },
        [](const StreamPacket& p) { return p.kind == StreamKind::Ac3; },
        [](const StreamPacket& p) { return p.kind == StreamKind::SubPicture; },
        [](const StreamPacket& p) { return p.kind == StreamKind::Nav; },
    };
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        Bytes sector = firstSector(vob, kinds[k]);
        ASSERT_EQ(sector.size(), 2048u);
        GetParam().damage(sector);
        MediaPipeline pipeline;
        pipeline.selectAudio(AudioStreamId{0, AudioCoding::Any});
        pipeline.selectSubPicture(0);
        // The damaged pack, then the whole title: decoding goes on behind it.
        pipeline.feedSector(sector);
        if (GetParam().damagedKinds >= 0) {
            EXPECT_EQ(pipeline.counters().damagedSectors, (GetParam().damagedKinds >> k) & 1u)
                << "kind " << k;
        }
        feedAll(pipeline, vob);
        EXPECT_GT(pipeline.takeFrames().size(), 100u);
    }
}

// Byte 18 holds the first packet's length, byte 22 its header data length. 255 bytes of header
// data still fit in the long video and audio packets (the payload is then wrong, not outside);
// they break the short sub-picture packet. A NAV pack's system header has no such byte.
INSTANTIATE_TEST_SUITE_P(
    Damage, PlayerDamagedPack,
    testing::Values(PackDamage{"PacketLongerThanPack", [](Bytes& s) { s[18] = s[19] = 0xFF; }, 15},
                    PackDamage{"HeaderDataPastPacket", [](Bytes& s) { s[22] = 0xFF; }, 4},
                    PackDamage{"NoPackHeader", [](Bytes& s) { s[3] = 0xB3; }, 15},
                    PackDamage{"CutShort", [](Bytes& s) { s.resize(30); }, 15},
                    PackDamage{"GarbageAfterHeader",
                               [](Bytes& s) {
                                   std::mt19937 random(7);
                                   for (std::size_t i = 40; i < s.size(); ++i)
                                       s[i] = static_cast<std::uint8_t>(random());
                               },
                               -1}),
    [](const auto& p) { return std::string(p.param.name); });

// A real sub-picture unit with one field changed at a time: nothing read outside the unit, and any
// unit decoded has exactly one pixel kind per pixel of its area (fuzz_player_demux holds random
// units to the same).
TEST(PlayerDamagedSubPicture, UnitsThatLieAboutTheirLayout) {
    const Bytes sector =
        firstSector(readFile(sampleFile("ntsc43", "VTS_01_1.VOB")),
                    [](const StreamPacket& p) { return p.kind == StreamKind::SubPicture; });
    const StreamPacket packet = demuxPack(sector).packets.at(0);
    const Bytes unit(packet.payload.begin(), packet.payload.end());
    const std::size_t control = be16(unit.data() + 2);
    struct Case {
        std::size_t at;
        std::uint8_t value;
        bool decodes;
    };
    const Case cases[] = {
        {0, 0xFF, true},             // the unit claims 64 KiB: cut at what it has
        {2, 0xFF, false},            // the control sequences lie beyond the unit
        {control + 2, 0x00, true},   // the next-sequence pointer goes backwards
        {control + 17, 0xFF, true},  // area ends at column 4095: pixels of the wider area
        {control + 22, 0xFF, true},  // top field starts past the pixel data: stays background
        {control + 4, 0x07, false},  // an unknown command
    };
    for (const Case& c : cases) {
        Bytes damaged = unit;
        damaged[c.at] = c.value;
        const auto sp = decodeSubPicture(damaged, 0);
        EXPECT_EQ(sp.has_value(), c.decodes) << "byte " << c.at;
        if (sp) {
            EXPECT_EQ(sp->pixels.size(),
                      static_cast<std::size_t>(sp->area.width()) * sp->area.height());
        }
    }
}

class PlayerCellFeeder : public testing::Test {
  protected:
    void SetUp() override {
        copySampleFolder("ntsc43", dir.path());
        const auto disc = navigator::LoadDisc(dir.path().string());
        cell = disc.titleSets.at(0).titlePgcs.at(0).pgc.cells.at(0);
    }
    TempDir dir;
    navigator::Cell cell;
};

TEST_F(PlayerCellFeeder, ReadsEveryVobuOfTheCellAndScansOnlyKeyPictures) {
    CellFeeder feeder(dir.path().string());
    MediaPipeline pipeline;
    ASSERT_TRUE(feeder.startCell(navigator::Domain::Title, 1, cell.first, cell.last));
    std::size_t fed = 0;
    while (std::size_t n = feeder.feed(pipeline, 64)) fed += n;
    EXPECT_TRUE(feeder.atEnd());
    EXPECT_EQ(feeder.error(), "");
    EXPECT_EQ(fed, cell.last - cell.first + 1);
    pipeline.drain();
    const std::size_t allFrames = pipeline.takeFrames().size();
    EXPECT_GT(allFrames, 50u);

    pipeline.flush();
    pipeline.setKeyFramesOnly(true);
    // dvdauthor leaves the one-step forward pointer empty: the feeder goes on with the next.
    feeder.setScan(1);
    ASSERT_TRUE(feeder.startCell(navigator::Domain::Title, 1, cell.first, cell.last));
    std::size_t scanned = 0;
    while (std::size_t n = feeder.feed(pipeline, 64)) scanned += n;
    pipeline.drain();
    const auto keys = pipeline.takeFrames();
    EXPECT_LT(scanned, fed / 2);
    EXPECT_FALSE(keys.empty());
    EXPECT_LT(keys.size(), allFrames / 4);
    for (const auto& f : keys) EXPECT_TRUE(f.keyFrame);
    EXPECT_EQ(keys.front().epoch, 1u);

    // Backward from the last VOBU down to the first one of the cell (at sector 0): one key
    // picture from each VOBU the forward scan met.
    pipeline.flush();
    feeder.setScan(-1);
    ASSERT_TRUE(feeder.startCell(navigator::Domain::Title, 1, cell.first, cell.last));
    feeder.seek(cell.lastVobuStart);
    while (feeder.feed(pipeline, 64) != 0) {
    }
    pipeline.drain();
    EXPECT_EQ(pipeline.takeFrames().size(), keys.size());
}

TEST_F(PlayerCellFeeder, MissingAndShortFilesGiveTheWindowsWarnings) {
    const auto vob = dir.path() / "VTS_01_1.VOB";
    std::filesystem::resize_file(vob, (cell.first + 10) * 2048);
    CellFeeder feeder(dir.path().string());
    MediaPipeline pipeline;
    ASSERT_TRUE(feeder.startCell(navigator::Domain::Title, 1, cell.first, cell.last));
    std::size_t fed = 0;
    while (std::size_t n = feeder.feed(pipeline, 64)) fed += n;
    EXPECT_EQ(fed, 10u);
    EXPECT_EQ(feeder.error(), "DVD Warning: Could not seek in a file on the DVD disc.");
    std::filesystem::remove(vob);
    CellFeeder again(dir.path().string());
    EXPECT_FALSE(again.startCell(navigator::Domain::Title, 1, cell.first, cell.last));
    EXPECT_EQ(again.error(), "DVD Warning: Could not open a file on the DVD disc.");
}

}  // namespace
}  // namespace navtab::test
