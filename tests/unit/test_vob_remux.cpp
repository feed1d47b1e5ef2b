// VOB Extras with Re-Mux on copies of the sample discs: the title set's video is encoded anew with
// ffmpeg and put into the VOB files in place of the old one. The copy is checked from the
// outside: ffprobe counts its frames, ffmpeg decodes it, its other packets are compared with the
// source's, every NAV pack is walked and lsdvd reads the folder.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>
#include <sstream>

#include "unit/test_support.h"
#include "unit/vob_extras_checks.h"
#include "unit/vob_test_streams.h"
#include "vob/m2v_reader.h"

namespace navtab {
namespace {

using test::Bytes;
using test::ExtrasDisc;
using test::SectorRun;

int framesOf(const std::string& file) {
    const auto r = test::runCommand(
        "ffprobe -v error -select_streams v:0 -count_frames -show_entries stream=nb_read_frames "
        "-of csv=p=0 '" +
        file + "'");
    return std::atoi(r.out.c_str());
}

// The picture numbers of the I frames that navtab-cli's frame-type template lists.
std::vector<int> templateIFrames(const ExtrasDisc& d) {
    const std::string txt = (d.dir.path() / "template.txt").string();
    EXPECT_EQ(test::runCli({"template", d.s("VTS_01_0.IFO"), txt, "--types", "I"}).status, 0);
    std::vector<int> frames;
    std::stringstream in(test::runCommand("cat '" + txt + "'").out);
    for (std::string line; std::getline(in, line);) frames.push_back(std::atoi(line.c_str()));
    return frames;
}

// The title video encoded anew: same size, rate and display ratio (ffmpeg keeps them), closed
// GOPs, I frames exactly where `keys` says (an ffmpeg expression in n, the picture number), at
// most `frames` pictures.
std::string encode(const ExtrasDisc& d, const std::string& keys, const std::string& bitrate,
                   int frames = 100000) {
    const std::string m2v = (d.dir.path() / ("new-" + bitrate + ".m2v")).string();
    const auto r = test::runCommand(
        "ffmpeg -v error -y -i '" + d.s("VTS_01_1.VOB") +
        "' -map 0:v -vsync passthrough -c:v mpeg2video -bf 0 -g 100000 -flags +cgop "
        "-sc_threshold 1000000000 -threads 1 -force_key_frames 'expr:" +
        keys + "' -b:v " + bitrate + " -frames:v " + std::to_string(frames) + " -f mpeg2video '" +
        m2v + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    return m2v;
}

// The sectors that are neither NAV nor video packs, in order.
std::vector<Bytes> otherPackets(const SectorRun& r) {
    std::vector<Bytes> out;
    for (std::size_t s = 0; s < r.sectors(); ++s)
        if (r.at(s)[17] != 0xBB && r.at(s)[17] != 0xE0) out.emplace_back(r.at(s), r.at(s) + 2048);
    return out;
}

// Cell lengths in milliseconds as lsdvd shows them.
std::vector<int> cellLengths(const std::string& lsdvd) {
    static const std::regex cell(R"(Cell: \d+, Length: (\d+):(\d+):(\d+)\.(\d+))");
    std::vector<int> out;
    for (std::sregex_iterator it(lsdvd.begin(), lsdvd.end(), cell), end; it != end; ++it)
        out.push_back(
            (std::stoi((*it)[1]) * 3600 + std::stoi((*it)[2]) * 60 + std::stoi((*it)[3])) * 1000 +
            std::stoi((*it)[4]));
    return out;
}

// Re-muxes `m2v` into a copy of the title set and checks what must hold for every stream.
void remuxAndCheck(const ExtrasDisc& d, const std::string& m2v) {
    const auto run =
        test::runCli({"vob-extras", d.s("VTS_01_0.IFO"), d.o("VTS_01_1.VOB"), "--remux", m2v});
    EXPECT_EQ(run.status, 0) << run.err;
    double frames = 0;
    EXPECT_EQ(std::sscanf(run.out.substr(run.out.find("Re-muxed")).c_str(), "Re-muxed %lf frames",
                          &frames),
              1)
        << run.out;
    const int encoded = framesOf(m2v);
    EXPECT_GT(encoded, 0);
    EXPECT_EQ(framesOf(d.o("VTS_01_1.VOB")), encoded);
    EXPECT_EQ(frames, encoded);
    const auto decode = test::runCommand("ffmpeg -v error -i '" + d.o("VTS_01_1.VOB") +
                                         "' -map 0:v -f null - 2>&1");
    EXPECT_EQ(decode.out, "");
    const SectorRun src(d.s("VTS_01_1.VOB")), out(d.o("VTS_01_1.VOB"));
    EXPECT_TRUE(otherPackets(src) == otherPackets(out)) << "audio and sub-picture packets";
    test::checkNavPacks(src, out, src.vobusWhere([](std::uint16_t) { return true; }));
}

// An encode with the GOPs of the source: the same frames in every VOBU, so the folder plays as
// the source did, titles, chapters and cells alike.
TEST(VobRemux, ANewEncodeWithTheSourcesGopsReplacesTheVideo) {
    for (const char* disc : {"ntsc43", "pal169"}) {
        SCOPED_TRACE(disc);
        ExtrasDisc d(disc);
        std::string keys;
        for (const int n : templateIFrames(d))
            keys += (keys.empty() ? "" : "+") + ("eq(n," + std::to_string(n) + ")");
        ASSERT_FALSE(keys.empty());
        remuxAndCheck(d, encode(d, keys, "800k"));
        const std::string before = test::lsdvdOf(d.src.parent_path());
        const std::string after = d.lsdvd(true), full = test::lsdvdOf(d.out.parent_path());
        EXPECT_EQ(after, d.lsdvd(false));
        const auto cellsBefore = cellLengths(before), cellsAfter = cellLengths(full);
        ASSERT_EQ(cellsAfter.size(), cellsBefore.size());
        ASSERT_FALSE(cellsBefore.empty());
        for (std::size_t i = 0; i < cellsBefore.size(); ++i)
            EXPECT_LE(std::abs(cellsAfter[i] - cellsBefore[i]), 40) << "cell " << i;
    }
}

// The reader counts the frames ffprobe counts on progressive and interlaced encodes by ffmpeg
// (field pictures, which ffmpeg does not encode, are counted on hand-made streams in
// test_remux_parts).
TEST(VobRemux, ReaderCountsTheFramesFfprobeCounts) {
    test::TempDir dir;
    const auto readerFrames = [](const std::string& m2v) {
        test::RecordingInteraction ui;
        vob::M2vReader reader(m2v, ui);
        int frames = 0;
        for (int n; (n = reader.ReadChunk()) > 0;) frames += n;
        EXPECT_TRUE(ui.messages.empty());
        return frames;
    };
    for (const std::string flags : {"", "-flags +ildct+ilme -top 1", "-flags +ildct+ilme -top 0"}) {
        SCOPED_TRACE(flags);
        const std::string m2v = dir.file("x.m2v");
        ASSERT_EQ(test::runCommand("ffmpeg -v error -y -f lavfi -i testsrc=size=176x144:rate=25 "
                                   "-frames:v 37 -c:v mpeg2video -g 12 " +
                                   flags + " -f mpeg2video '" + m2v + "'")
                      .status,
                  0);
        EXPECT_EQ(readerFrames(m2v), framesOf(m2v));
        EXPECT_EQ(framesOf(m2v), 37);
    }
}

// A video source that cannot be read ends the run before anything is written, and Re-Mux goes
// with neither Menu Extras nor VOB id stripping (the source and a failed write are guarded as
// for every run: test_vob_extras).
TEST(VobRemux, RefusesOrStopsWithoutLeavingADescribedCopy) {
    ExtrasDisc d("ntsc43");
    const std::string m2v = encode(d, "eq(mod(n,15),0)", "300k", 60);
    const std::string cli = "'" NAVTAB_CLI "' vob-extras '" + d.s("VTS_01_0.IFO") + "' ";
    const struct {
        std::string command;
        const char* message;
        int status = 1;
    } runs[] = {
        {cli + "'" + d.o("VTS_01_1.VOB") + "' --remux ''", "Missing soure .m2v file for input!"},
        {cli + "'" + d.o("VTS_01_1.VOB") + "' --remux '" + d.o("none.m2v") + "'",
         "Error opening Mpeg file"},
        {cli + "'" + d.o("VTS_01_1.VOB") + "' --remux '" + m2v + "' --strip-vobids 1",
         "--remux leaves every VOB id in place", 2},
        {"'" NAVTAB_CLI "' menu-extras '" + d.s("VTS_01_0.IFO") + "' '" + d.o("VTS_01_0.VOB") +
             "' --remux '" + m2v + "'",
         "menu-extras does not re-mux", 2},
    };
    for (const auto& run : runs) {
        const auto r = test::runCommand(run.command);
        EXPECT_EQ(r.status, run.status) << run.command;
        EXPECT_NE(r.err.find(run.message), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(d.o("VTS_01_0.IFO")));
        EXPECT_FALSE(std::filesystem::exists(d.o("VTS_01_1.VOB")));
    }
}

}  // namespace
}  // namespace navtab
