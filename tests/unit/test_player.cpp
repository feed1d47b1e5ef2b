// The media pipeline on the sample discs that ffmpeg, spumux and dvdauthor made: the decoded
// pictures before scaling and the sound against ffmpeg's own decode, sub-pictures and button
// highlights, the placing of pictures on the display; damaged packs and sub-picture units, which
// must be passed over without reading outside their bytes; and the cell feeder, which reads a cell
// from the VOB files as the navigator's cell entries say, with the window's warnings.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <tuple>

#include "core/bytes.h"
#include "navigator/disc_model.h"
#include "player/button_highlight.h"
#include "player/cell_feeder.h"
#include "player/overlay.h"
#include "player/pack_demux.h"
#include "player/picture_scaler.h"
#include "player/video_decoder.h"
#include "player_support.h"

namespace navtab::test {
namespace {

using namespace navtab::player;

// The decoded pictures before scaling and the first second of each sound stream are what
// ffmpeg's own decode of the same VOB gives (the sound within one step).
TEST(PlayerDecode, PicturesAndSoundMatchFfmpeg) {
    const std::string ntsc = sampleFile("ntsc43", "VTS_01_1.VOB");
    const auto want = ffmpegFrameMd5(ntsc);
    ASSERT_GE(want.size(), 100u) << "ffmpeg gave too few pictures";
    VideoDecoder decoder;
    ASSERT_TRUE(decoder.ok());
    std::vector<std::string> got;
    const Bytes file = readFile(ntsc);
    for (auto s : sectorsOf(file)) {
        for (const auto& p : demuxPack(s).packets)
            if (p.kind == StreamKind::Video) decoder.feed(p.payload, p.pts);
        for (auto& pic : decoder.take()) got.push_back(md5Hex(packedPlanes(*pic.frame)));
        if (got.size() >= 100) break;
    }
    ASSERT_GE(got.size(), 100u);
    for (std::size_t i = 0; i < 100; ++i) EXPECT_EQ(got[i], want[i]) << "picture " << i;

    const struct {
        const char* disc;
        AudioStreamId stream;
        int ffmpegIndex;  // the stream's place among the audio streams ffmpeg lists
        unsigned channels;
    } streams[] = {{"ntsc43", {1, AudioCoding::Ac3}, 1, 2},
                   {"pal169", {0, AudioCoding::Mpeg}, 0, 2},
                   {"pal169", {1, AudioCoding::Lpcm}, 1, 2},
                   {"mixed0", {0, AudioCoding::Mpeg}, 1, 1},
                   {"mixed0", {0, AudioCoding::Lpcm}, 2, 1}};
    for (const auto& c : streams) {
        SCOPED_TRACE(std::string(c.disc) + " audio " + std::to_string(c.ffmpegIndex));
        const std::string path = sampleFile(c.disc, "VTS_01_1.VOB");
        MediaPipeline pipeline;
        pipeline.selectAudio(c.stream);
        feedAll(pipeline, readFile(path));
        std::vector<std::int16_t> sound;
        std::int64_t firstPts = -1;
        for (const auto& b : pipeline.takeAudio()) {
            ASSERT_EQ(b.channels, static_cast<int>(c.channels));
            ASSERT_EQ(b.sampleRate, 48000);
            if (firstPts < 0) firstPts = b.pts;
            sound.insert(sound.end(), b.samples.begin(), b.samples.end());
        }
        const auto ffmpeg = ffmpegAudio(path, c.ffmpegIndex);
        ASSERT_GE(ffmpeg.size(), 48000u * c.channels);
        ASSERT_GE(sound.size(), 48000u * c.channels);
        EXPECT_GT(firstPts, 0);
        int worst = 0;
        for (std::size_t i = 0; i < 48000u * c.channels; ++i)
            worst = std::max(worst, std::abs(sound[i] - ffmpeg[i]));
        EXPECT_LE(worst, 1);
    }
}

std::vector<SubPicture> subtitlesOf(const std::string& path, int stream) {
    SubPictureAssembler assembler;
    std::vector<SubPicture> out;
    const Bytes file = readFile(path);
    for (auto s : sectorsOf(file))
        for (const auto& p : demuxPack(s).packets)
            if (p.kind == StreamKind::SubPicture && p.number == stream)
                if (auto unit = assembler.add(p.payload, p.pts))
                    if (auto sp = decodeSubPicture(unit->bytes, unit->pts)) out.push_back(*sp);
    return out;
}

Palette titlePalette() {
    const auto disc = navigator::LoadDisc(std::string(NAVTAB_TEST_DATA) + "/ntsc43/VIDEO_TS");
    return disc.titleSets.at(0).titlePgcs.at(0).pgc.palette;
}

bool near(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) >
            tolerance)
            return false;
    return true;
}

// The English subtitle of ntsc43's title 1: a yellow bar at (24, 184), 160 x 28, with a two
// pixel dark outline; spumux codes the outline as pattern pixels, the bar as emphasis 1.
TEST(PlayerSubPicture, SpumuxSubtitleAndMenuButtonsAreDecodedAndDrawn) {
    const auto units = subtitlesOf(sampleFile("ntsc43", "VTS_01_1.VOB"), 0);
    ASSERT_EQ(units.size(), 4u);  // two subtitles in each of the two source files
    const SubPicture& sp = units[0];
    EXPECT_EQ(std::tuple(sp.area.x0, sp.area.y0, sp.area.x1, sp.area.y1),
              std::tuple(24, 184, 183, 211));
    ASSERT_TRUE(sp.end);
    // Shown from 0.5 s to 1.8 s of the source: 1.3 s in whole 1024-tick units.
    EXPECT_EQ(*sp.end - sp.start, 0x72 * 1024);
    EXPECT_FALSE(sp.forced);
    const int w = sp.area.width();
    auto kind = [&](int x, int y) { return sp.pixels[static_cast<std::size_t>(y * w + x)]; };
    for (int y : {0, 1, 26, 27}) EXPECT_EQ(kind(80, y), 1) << "outline row " << y;
    for (int x : {0, 1, 158, 159}) EXPECT_EQ(kind(x, 14), 1) << "outline column " << x;
    EXPECT_EQ(kind(2, 2), 2);
    EXPECT_EQ(kind(80, 14), 2);
    const Palette palette = titlePalette();
    EXPECT_TRUE(near(rgbOfPaletteEntry(palette[sp.colours.colour[2]]), 0xFFFFE000u, 12));
    EXPECT_EQ(sp.colours.contrast[0], 0);   // background transparent
    EXPECT_EQ(sp.colours.contrast[2], 15);  // the bar opaque

    // The pipeline draws the chosen stream's subtitle on exactly the frames of its time (though the
    // multiplexer sends the pictures well before the unit), and only while sub-pictures are shown.
    const Bytes vob = readFile(sampleFile("ntsc43", "VTS_01_1.VOB"));
    const auto german = subtitlesOf(sampleFile("ntsc43", "VTS_01_1.VOB"), 1);
    ASSERT_EQ(german.size(), 4u);
    // The first VOB's two units: from 0.5 s to 1.8 s and from 2.2 s to 3.6 s of its time.
    auto showing = [&](std::int64_t pts) {
        return (pts >= german[0].start && pts < *german[0].end) ||
               (pts >= german[1].start && pts < *german[1].end);
    };
    for (bool shown : {true, false}) {
        MediaPipeline pipeline;
        pipeline.setDisplay({352, 240, DisplayMode::Letterbox});
        pipeline.setPalette(palette);
        pipeline.selectSubPicture(1);  // German: a cyan bar at (168, 192)
        pipeline.showSubPictures(shown);
        feedAll(pipeline, vob);
        int seen = 0, restarts = 0;
        for (const VideoFrame& f : pipeline.takeFrames()) {
            // Title 1's second VOB and title 2 count their time from the start again.
            restarts += f.discontinuity;
            if (restarts > 0) continue;
            const bool due = shown && showing(f.pts);
            const std::uint32_t inside = f.pixels[static_cast<std::size_t>(205 * f.width + 250)];
            EXPECT_EQ(near(inside, 0xFF00E0FFu, 24), due) << f.pts << " " << std::hex << inside;
            seen += due;
        }
        EXPECT_EQ(seen, shown ? 39 + 42 : 0);  // 1.3 s and 1.4 s at 30000/1001 a second
        EXPECT_EQ(restarts, 2);
    }

    // ts1-root-en: three buttons drawn by spumux at x 96..256 and y 60..100, 110..150, 160..200.
    const Bytes menu = readFile(sampleFile("ntsc43", "VTS_01_0.VOB"));
    std::optional<ButtonHighlights> h;
    for (auto s : sectorsOf(menu))
        if ((h = buttonHighlightsOf(s))) break;
    ASSERT_TRUE(h);
    ASSERT_EQ(h->buttons.size(), 3u);
    for (int b = 0; b < 3; ++b) {
        EXPECT_EQ(h->buttons[b].area.x0, 96);
        EXPECT_EQ(h->buttons[b].area.y0, 60 + 50 * b);
        EXPECT_GE(h->buttons[b].colourTable, 1);
    }
    EXPECT_FALSE(h->of(4, false));
    EXPECT_FALSE(h->of(0, false));

    // Selecting button 2 changes the picture inside its area and nowhere else.
    auto render = [&](int button) {
        MediaPipeline pipeline;
        pipeline.setDisplay({352, 240, DisplayMode::Letterbox});
        pipeline.selectSubPicture(0);
        Palette grey;
        for (std::size_t i = 0; i < grey.size(); ++i)
            grey[i] = static_cast<std::uint32_t>(0x108080 + 0x0E0000 * i);
        pipeline.setPalette(grey);
        pipeline.setSelectedButton(button);
        for (auto s : sectorsOf(menu)) pipeline.feedSector(s);
        pipeline.drain();
        // Half a second into the first menu of the VOB, the English root menu.
        return pipeline.takeFrames().at(15);
    };
    const VideoFrame none = render(0), second = render(2);
    int changedInside = 0, changedOutside = 0;
    for (int y = 0; y < none.height; ++y)
        for (int x = 0; x < none.width; ++x) {
            const auto at = static_cast<std::size_t>(y * none.width + x);
            if (none.pixels[at] == second.pixels[at]) continue;
            (x >= 96 && x <= 256 && y >= 110 && y <= 150 ? changedInside : changedOutside)++;
        }
    EXPECT_GT(changedInside, 100);
    EXPECT_EQ(changedOutside, 0);
}

TEST(PlayerPlacement, PictureLandsWhereTheRatioSays) {
    constexpr VideoShape k43{DisplayRatio::Ratio4x3, true, true};
    constexpr VideoShape k169{DisplayRatio::Ratio16x9, true, true};
    constexpr VideoShape k169NoPanScan{DisplayRatio::Ratio16x9, true, false};
    constexpr VideoShape k169NoLetterbox{DisplayRatio::Ratio16x9, false, true};
    const struct {
        const char* name;
        VideoShape shape;
        Display display;
        PicturePlacement want;  // source size 720 x 576
    } cases[] = {
        // clang-format off
        {"4:3 fills", k43, {720, 540, DisplayMode::Letterbox}, {720, 576, 0, 720, 0, 0, 720, 540}},
        {"4:3 on wide has side bars", k43, {960, 540, DisplayMode::Wide}, {720, 576, 0, 720, 120, 0, 720, 540}},
        {"wide on wide fills", k169, {960, 540, DisplayMode::Wide}, {720, 576, 0, 720, 0, 0, 960, 540}},
        {"letterbox", k169, {720, 540, DisplayMode::Letterbox}, {720, 576, 0, 720, 0, 67, 720, 405}},
        {"pan-scan cuts the sides", k169, {720, 540, DisplayMode::PanScan}, {720, 576, 90, 540, 0, 0, 720, 540}},
        {"pan-scan forbidden letterboxes", k169NoPanScan, {720, 540, DisplayMode::PanScan}, {720, 576, 0, 720, 0, 67, 720, 405}},
        {"letterbox forbidden pans and scans", k169NoLetterbox, {720, 540, DisplayMode::Letterbox}, {720, 576, 90, 540, 0, 0, 720, 540}},
        // clang-format on
    };
    const auto shown = [](const PicturePlacement& p) {
        return std::tuple(p.cropX, p.cropWidth, p.x, p.y, p.width, p.height);
    };
    for (const auto& c : cases)
        EXPECT_EQ(shown(placePicture(720, 576, c.shape, c.display)), shown(c.want)) << c.name;
}

// The first sector with a packet of `kind`.
Bytes firstSector(const Bytes& vob, StreamKind kind) {
    for (auto s : sectorsOf(vob))
        for (const auto& p : demuxPack(s).packets)
            if (p.kind == kind) return Bytes(s.begin(), s.end());
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

// The damaged pack of each kind, then the whole title: decoding goes on behind it.
TEST_P(PlayerDamagedPack, IsPassedOverForEveryStream) {
    const Bytes vob = readFile(sampleFile("ntsc43", "VTS_01_1.VOB"));
    unsigned bit = 0;
    for (const StreamKind kind :
         {StreamKind::Video, StreamKind::Ac3, StreamKind::SubPicture, StreamKind::Nav}) {
        Bytes sector = firstSector(vob, kind);
        ASSERT_EQ(sector.size(), 2048u);
        GetParam().damage(sector);
        MediaPipeline pipeline;
        pipeline.selectAudio(AudioStreamId{0, AudioCoding::Any});
        pipeline.selectSubPicture(0);
        pipeline.feedSector(sector);
        if (GetParam().damagedKinds >= 0) {
            EXPECT_EQ(pipeline.counters().damagedSectors, (GetParam().damagedKinds >> bit) & 1u)
                << "kind " << bit;
        }
        ++bit;
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
        firstSector(readFile(sampleFile("ntsc43", "VTS_01_1.VOB")), StreamKind::SubPicture);
    const StreamPacket packet = demuxPack(sector).packets.at(0);
    const Bytes unit(packet.payload.begin(), packet.payload.end());
    const std::size_t control = be16(unit.data() + 2);
    const struct {
        std::size_t at;
        std::uint8_t value;
        bool decodes;
    } cases[] = {
        {0, 0xFF, true},             // the unit claims 64 KiB: cut at what it has
        {2, 0xFF, false},            // the control sequences lie beyond the unit
        {control + 2, 0x00, true},   // the next-sequence pointer goes backwards
        {control + 17, 0xFF, true},  // area ends at column 4095: pixels of the wider area
        {control + 22, 0xFF, true},  // top field starts past the pixel data: stays background
        {control + 4, 0x07, false},  // an unknown command
    };
    for (const auto& c : cases) {
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

TEST_F(PlayerCellFeeder, ReadsTheCellScansKeyPicturesAndWarnsOfMissingAndShortFiles) {
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

    // A VOB file cut short, then none: the warnings of the window.
    const auto vob = dir.path() / "VTS_01_1.VOB";
    std::filesystem::resize_file(vob, (cell.first + 10) * 2048);
    CellFeeder cut(dir.path().string());
    MediaPipeline cutPipeline;
    ASSERT_TRUE(cut.startCell(navigator::Domain::Title, 1, cell.first, cell.last));
    std::size_t fedCut = 0;
    while (std::size_t n = cut.feed(cutPipeline, 64)) fedCut += n;
    EXPECT_EQ(fedCut, 10u);
    EXPECT_EQ(cut.error(), "DVD Warning: Could not seek in a file on the DVD disc.");
    std::filesystem::remove(vob);
    CellFeeder again(dir.path().string());
    EXPECT_FALSE(again.startCell(navigator::Domain::Title, 1, cell.first, cell.last));
    EXPECT_EQ(again.error(), "DVD Warning: Could not open a file on the DVD disc.");
}

}  // namespace
}  // namespace navtab::test
