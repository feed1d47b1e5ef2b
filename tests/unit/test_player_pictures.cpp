// Sub-pictures, button highlights and the placing of pictures on the display, checked on the
// sample discs that spumux and dvdauthor made.
#include <gtest/gtest.h>

#include <tuple>

#include "navigator/disc_model.h"
#include "player/button_highlight.h"
#include "player/overlay.h"
#include "player/pack_demux.h"
#include "player/picture_scaler.h"
#include "player_support.h"

namespace navtab::test {
namespace {

using namespace navtab::player;

// The English subtitle of ntsc43's title 1: a yellow bar at (24, 184), 160 x 28, with a two
// pixel dark outline; spumux codes the outline as pattern pixels, the bar as emphasis 1.
constexpr Area kSubtitleArea{24, 184, 183, 211};

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

TEST(PlayerSubPicture, SpumuxSubtitleDecodesToItsBarAndColours) {
    const auto units = subtitlesOf(sampleFile("ntsc43", "VTS_01_1.VOB"), 0);
    ASSERT_EQ(units.size(), 4u);  // two subtitles in each of the two source files
    const SubPicture& sp = units[0];
    const auto corners = [](const Area& a) { return std::tuple(a.x0, a.y0, a.x1, a.y1); };
    EXPECT_EQ(corners(sp.area), corners(kSubtitleArea));
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
}

// The pipeline draws the chosen stream's subtitle on exactly the frames of its time (though the
// multiplexer sends the pictures well before the unit), and only while sub-pictures are shown.
TEST(PlayerSubPicture, PipelineDrawsSubtitleOnItsFramesOnlyWhenShown) {
    const Bytes vob = readFile(sampleFile("ntsc43", "VTS_01_1.VOB"));
    const auto units = subtitlesOf(sampleFile("ntsc43", "VTS_01_1.VOB"), 1);
    ASSERT_EQ(units.size(), 4u);
    // The first VOB's two units: from 0.5 s to 1.8 s and from 2.2 s to 3.6 s of its time.
    auto showing = [&](std::int64_t pts) {
        return (pts >= units[0].start && pts < *units[0].end) ||
               (pts >= units[1].start && pts < *units[1].end);
    };
    for (bool shown : {true, false}) {
        MediaPipeline pipeline;
        pipeline.setDisplay({352, 240, DisplayMode::Letterbox});
        pipeline.setPalette(titlePalette());
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
}

// ts1-root-en: three buttons drawn by spumux at x 96..256 and y 60..100, 110..150, 160..200.
TEST(PlayerSubPicture, MenuButtonsAndTheirHighlight) {
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
        Palette palette;
        for (std::size_t i = 0; i < palette.size(); ++i)
            palette[i] = static_cast<std::uint32_t>(0x108080 + 0x0E0000 * i);
        pipeline.setPalette(palette);
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

struct PlacementCase {
    const char* name;
    VideoShape shape;
    Display display;
    PicturePlacement want;  // source size 720 x 576
};

constexpr VideoShape k43{DisplayRatio::Ratio4x3, true, true};
constexpr VideoShape k169{DisplayRatio::Ratio16x9, true, true};
constexpr VideoShape k169NoPanScan{DisplayRatio::Ratio16x9, true, false};
constexpr VideoShape k169NoLetterbox{DisplayRatio::Ratio16x9, false, true};

TEST(PlayerPlacement, PictureLandsWhereTheRatioSays) {
    // clang-format off
    const PlacementCase cases[] = {
        {"4:3 fills", k43, {720, 540, DisplayMode::Letterbox}, {720, 576, 0, 720, 0, 0, 720, 540}},
        {"4:3 on wide has side bars", k43, {960, 540, DisplayMode::Wide}, {720, 576, 0, 720, 120, 0, 720, 540}},
        {"wide on wide fills", k169, {960, 540, DisplayMode::Wide}, {720, 576, 0, 720, 0, 0, 960, 540}},
        {"letterbox", k169, {720, 540, DisplayMode::Letterbox}, {720, 576, 0, 720, 0, 67, 720, 405}},
        {"pan-scan cuts the sides", k169, {720, 540, DisplayMode::PanScan}, {720, 576, 90, 540, 0, 0, 720, 540}},
        {"pan-scan forbidden letterboxes", k169NoPanScan, {720, 540, DisplayMode::PanScan}, {720, 576, 0, 720, 0, 67, 720, 405}},
        {"letterbox forbidden pans and scans", k169NoLetterbox, {720, 540, DisplayMode::Letterbox}, {720, 576, 90, 540, 0, 0, 720, 540}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto shown = [](const PicturePlacement& p) {
            return std::tuple(p.cropX, p.cropWidth, p.x, p.y, p.width, p.height);
        };
        EXPECT_EQ(shown(placePicture(720, 576, c.shape, c.display)), shown(c.want));
    }
}

}  // namespace
}  // namespace navtab::test
