// The VOB readers on the sample discs and on hand-made streams: finding the VOB files of a title
// set; the analysis against what dvdauthor wrote; the encoder template against ffprobe; the
// program-stream scanner, also on streams that are odd or damaged (no system headers, junk
// between packets, lost sync, a truncated last sector, files that cannot be opened); navtab-cli
// scan, vobus and template.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "core/bcd_frames.h"
#include "core/bytes.h"
#include "core/ifo_classes_address.h"
#include "core/ifo_stream_usage.h"
#include "core/layout/pgc_layout.h"
#include "unit/model_support.h"
#include "unit/test_support.h"
#include "unit/vob_test_streams.h"
#include "vob/frame_template.h"
#include "vob/pes_packet.h"
#include "vob/stream_names.h"
#include "vob/stream_scanner.h"
#include "vob/title_vob_pass.h"
#include "vob/vob_files.h"
#include "vob/vobu_analysis.h"

namespace navtab::test {
namespace {

using namespace navtab::vob;

// With the ids of the audio streams of the title set, by logical stream: what the VOB files
// carry (README.md of the samples), whatever the PGCs' stream numbers say.
struct TitleSet {
    const char* disc;
    const char* ifo;
    std::vector<std::uint8_t> audioIds;
    // mixed0's muxer puts padding behind video packets in the middle of a picture, where the
    // analysis takes a reference picture to end, and dvdauthor counts its audio that runs on past
    // the last picture into the PGC's playback time: its reference ends and PGC times are not
    // compared.
    bool comparePictureTiming = true;
};
const TitleSet kTitleSets[] = {{"ntsc43", "VTS_01_0.IFO", {0x80, 0x81}},
                               {"ntsc43", "VTS_02_0.IFO", {0x80}},
                               {"pal169", "VTS_01_0.IFO", {0xC0, 0xA1}},
                               {"mixed0", "VTS_01_0.IFO", {0x80, 0xC0, 0xA0}, false}};

struct Analysed {
    IfoHandle ifo;
    Bytes vob;  // the title VOB files one after the other
    VobJob job;
};

Analysed analyseSample(const TitleSet& t) {
    Analysed a;
    const std::string path = sampleFile(t.disc, t.ifo);
    a.ifo = loadSample(path);
    a.job.audioSlots = AudioStreamSlots(CIfoStreamUsage(*a.ifo));
    RecordingInteraction ui;
    const auto files = titleVobPaths(path);
    for (const auto& f : files) {
        const Bytes b = readFile(f);
        a.vob.insert(a.vob.end(), b.begin(), b.end());
    }
    const auto result = ReadVobSectors({files, nullptr, nullptr}, ui, [&](SectorBytes s) {
        AnalyseVobSector(a.job, s);
        ++a.job.sector;
    });
    EXPECT_EQ(result, VobPassResult::Done);
    return a;
}

const std::uint8_t* sectorAt(const Analysed& a, std::uint32_t sector) {
    return a.vob.data() + std::size_t{sector} * kSectorSize;
}

// The time stamp of the packet with audio id `id` that opens a sector (0 without a time stamp),
// read straight from the bytes: stream id at 17, for private stream 1 the sub-stream id behind
// the header data, the PTS at 23 when flagged.
std::optional<std::uint64_t> audioPts(const Analysed& a, std::uint32_t sector, std::uint8_t id) {
    const std::uint8_t* s = sectorAt(a, sector);
    if (s[17] != id && (s[17] != 0xBD || s[23 + s[22]] != id)) return std::nullopt;
    return (s[21] & 0x80) ? decodePts(s + 23) : 0;
}

// After stripping, the a_synca slots follow the compacted streams (on the samples every id goes
// to the slot of its logical stream, checked below).
TEST(VobSamples, AudioSlotsAndTheAnalysisAgreeWithWhatDvdauthorWrote) {
    CIfoStreamUsage mixed(*loadSample(sampleFile("mixed0", "VTS_01_0.IFO")));
    EXPECT_EQ(AudioStreamSlots(mixed).slotOf(0x81), std::nullopt);  // declared by no stream
    std::array<bool, kSubpStreamCount> allSubp{};
    allSubp.fill(true);
    mixed.Compact({true, false, true}, allSubp);  // the MPEG stream stripped
    EXPECT_EQ(AudioStreamSlots(mixed).slotOf(0xA0), 1u);
    EXPECT_EQ(AudioStreamSlots(mixed).slotOf(0xC0), std::nullopt);
    EXPECT_EQ(AudioStreamSlots().slotOf(0x8A), 2u);  // without a title set: the stream number

    // The analysis of each title set against what dvdauthor wrote: the VOBU list against
    // VTS_VOBU_ADMAP and the NAV packs (the cells are held against VTS_C_ADT by the in-place
    // rebuild test), the frames against the cell and PGC playback times, the audio sync offsets
    // against a_synca. dvdauthor points a_synca at the packet that holds the audio frame playing at
    // vobu_s_ptm; the analysis points at the packet where the first frame starting at or after
    // vobu_s_ptm begins: the next packet of the stream when that one starts within one frame (2880
    // ticks) after the time, else the same packet. Where the two differ, it must be for that
    // reason.
    int agree = 0;
    for (const TitleSet& t : kTitleSets) {
        SCOPED_TRACE(std::string(t.disc) + " " + t.ifo);
        const Analysed a = analyseSample(t);
        const CIfoVobuAdmap admap(a.ifo->table[ID_VTS_VOBU_ADMAP]);
        ASSERT_EQ(a.job.vobus.size(), admap.sectors.size());
        std::uint32_t previousVob = 0;
        for (std::size_t k = 0; k < a.job.vobus.size(); ++k) {
            const VobuInfo& v = a.job.vobus[k];
            const std::uint8_t* nav = sectorAt(a, v.sector);
            SCOPED_TRACE("VOBU at " + std::to_string(v.sector));
            EXPECT_EQ(v.sector, admap.sectors[k]);
            EXPECT_EQ(v.lbn, v.sector);
            EXPECT_EQ(v.lastOffset, be32(nav + nav::kVobuEa));
            if (t.comparePictureTiming) {
                EXPECT_EQ(v.refEnd, (std::array{be32(nav + nav::kRef1Ea), be32(nav + nav::kRef2Ea),
                                                be32(nav + nav::kRef3Ea)}));
            }
            for (unsigned n = 0; n < nav::kAudioStreams; ++n) {
                // Every settled offset points at a packet of its stream.
                const std::uint32_t ours = v.audioSync[n].special;
                if (!v.audioSync[n].unsettled() && ours != 0 && ours != nav::kAudioSyncNone) {
                    ASSERT_LT(n, t.audioIds.size()) << "a slot no stream has";
                    const std::uint32_t at = ours & nav::kAudioSyncBackward
                                                 ? v.sector - (ours & nav::kAudioSyncDistanceMask)
                                                 : v.sector + ours;
                    ASSERT_LT(at, a.vob.size() / kSectorSize);
                    EXPECT_TRUE(audioPts(a, at, t.audioIds[n])) << "audio " << n << " at " << at;
                }
                const std::uint16_t theirs = be16(nav + nav::kAudioSync + 2 * n);
                if (theirs == 0 || theirs == nav::kAudioSyncNone) continue;
                ASSERT_FALSE(v.audioSync[n].unsettled()) << "audio " << n;
                EXPECT_TRUE(v.vobId == previousVob || ours == theirs) << "the first VOBU of a VOB";
                if (ours == theirs) {
                    ++agree;
                    continue;
                }
                const auto before = audioPts(a, v.sector + theirs, t.audioIds[n]);
                const auto after = audioPts(a, v.sector + ours, t.audioIds[n]);
                ASSERT_TRUE(before && after) << "audio " << n;
                EXPECT_LT(*before, v.sPtm);
                EXPECT_GT(*after, v.sPtm);
                EXPECT_LE(*after - v.sPtm, 2879u);
                for (std::uint32_t s = v.sector + theirs + 1; s < v.sector + ours; ++s)
                    EXPECT_FALSE(audioPts(a, s, t.audioIds[n])) << "a packet between, at " << s;
            }
            previousVob = v.vobId;
        }
        const auto& pgcit = a.ifo->table[ID_VTS_PGCITI];
        for (unsigned p = 0; p < be16(pgcit.data()); ++p) {
            const std::uint8_t* pgc = pgcit.data() + be32(pgcit.data() + 8 + 8 * p + 4);
            const std::uint8_t* playback = pgc + be16(pgc + pgc::kCellPlaybackStart);
            const std::uint8_t* position = pgc + be16(pgc + pgc::kCellPositionStart);
            double pgcFrames = 0;
            for (unsigned c = 0; c < pgc[pgc::kCellCount]; ++c) {
                double frames = 0;
                for (const VobuInfo& v : a.job.vobus)
                    if (v.vobId == be16(position + 4 * c) && v.cellId == position[4 * c + 3])
                        frames += v.frames;
                EXPECT_EQ(frames, bcdTimeToFrames(be32(playback + pgc::kCellPlaybackSize * c +
                                                       pgc::kCellPlaybackTime)))
                    << "PGC " << p + 1 << " cell " << c + 1;
                pgcFrames += frames;
            }
            if (t.comparePictureTiming) {
                EXPECT_EQ(pgcFrames, bcdTimeToFrames(be32(pgc + pgc::kPlaybackTime)))
                    << "PGC " << p + 1;
            }
        }
    }
    EXPECT_GT(agree, 10) << "offsets as dvdauthor's";
}

// The template's text for a title set.
std::string templateText(const TitleSet& t, const FrameTypes& types) {
    TempDir dir;
    RecordingInteraction ui;
    EXPECT_EQ(CreateTemplate(titleVobPaths(sampleFile(t.disc, t.ifo)), types, dir.file("t.txt"),
                             nullptr, ui),
              TemplateResult::Written);
    const Bytes text = readFile(dir.file("t.txt"));
    return {text.begin(), text.end()};
}

// ffprobe lists the frames in display order, which is stream order for streams without B
// pictures, as the samples are.
TEST(VobSamples, TemplateIFramesAreTheKeyFramesFfprobeReports) {
    for (const TitleSet& t : kTitleSets) {
        SCOPED_TRACE(std::string(t.disc) + " " + t.ifo);
        std::istringstream in(runCommand("ffprobe -v error -select_streams v:0 -show_entries "
                                         "frame=key_frame,pict_type -of csv=p=0 '" +
                                         sampleFile(t.disc, std::string(t.ifo, 7) + "1.VOB") + "'")
                                  .out);
        std::string keyFrames, all;
        int i = 0;
        for (std::string line; std::getline(in, line);) {
            if (line.size() < 3 || line[1] != ',') continue;
            const std::string n = std::to_string(i++);
            if (line[0] == '1') keyFrames += n + ",I\n";
            all += n + "," + line[2] + "\n";
        }
        ASSERT_GT(i, 0);
        EXPECT_EQ(templateText(t, {true, false, false}), keyFrames);
        EXPECT_EQ(templateText(t, {}), all);
    }
}

struct Scan {
    ScanStatus status;
    ScanResults results;
    std::string log;
};

Scan scan(const std::vector<std::string>& paths, unsigned flags = kScanAll) {
    Scan s;
    s.status =
        ScanStreams(paths, s.results, {flags, [&s](const std::string& t) { s.log += t; }, nullptr});
    return s;
}

Scan scanSectors(const std::vector<Sector>& sectors, unsigned flags = kScanAll) {
    TempDir dir;
    writeSectors(dir.file("t.vob"), sectors);
    return scan({dir.file("t.vob")}, flags);
}

TEST(StreamScanner, TitleVobsAreFoundAndChainedWithoutSystemHeadersAndBit32Stamps) {
    TempDir dir;
    const auto touch = [&](const std::string& name, std::size_t bytes = 2048) {
        writeFile(dir.file(name), Bytes(bytes, 0));
    };
    for (const char* n : {"VTS_03_0.IFO", "VTS_03_0.VOB", "VTS_03_1.VOB", "VTS_03_2.VOB",
                          "VTS_03_3.VOB", "VTS_03_5.VOB", "VTS_04_1.VOB", "VTS_01_2.VOB",
                          "vts_06_1.vob", "Vts_06_2.Vob", "video_ts.vob"})
        touch(n);
    EXPECT_EQ(titleVobPaths(dir.file("VTS_03_0.BUP")),
              (std::vector<std::string>{dir.file("VTS_03_1.VOB"), dir.file("VTS_03_2.VOB"),
                                        dir.file("VTS_03_3.VOB")}));
    EXPECT_EQ(*vob::menuVobPath(dir.file("VTS_03_0.IFO")), dir.file("VTS_03_0.VOB"));
    // No first title VOB, no title VOBs.
    EXPECT_TRUE(titleVobPaths(dir.file("VTS_01_0.IFO")).empty());
    EXPECT_FALSE(vob::menuVobPath(dir.file("VTS_01_0.IFO")));
    for (int i = 1; i <= 10; ++i) touch("VTS_02_" + std::to_string(i) + ".VOB");
    const auto files = titleVobPaths(dir.file("VTS_02_0.IFO"));
    ASSERT_EQ(files.size(), 9u);
    EXPECT_EQ(files.back(), dir.file("VTS_02_9.VOB"));
    // Names of another case are found and kept; a folder of a VOB's name is no VOB file.
    EXPECT_EQ(titleVobPaths(dir.file("VTS_06_0.IFO")),
              (std::vector<std::string>{dir.file("vts_06_1.vob"), dir.file("Vts_06_2.Vob")}));
    EXPECT_EQ(*vob::menuVobPath(dir.file("VIDEO_TS.IFO")), dir.file("video_ts.vob"));
    std::filesystem::create_directory(dir.file("VTS_05_1.VOB"));
    EXPECT_TRUE(titleVobPaths(dir.file("VTS_05_0.IFO")).empty());
    touch("a.vob", 3 * 2048 + 100);  // a truncated last sector is not counted
    EXPECT_EQ(*vob::sectorCount(dir.file("a.vob")), 3u);
    EXPECT_FALSE(vob::sectorCount(dir.file("missing.vob")));

    // The lists of the sample title sets are held against VTS_VOBU_ADMAP and VTS_C_ADT by the
    // Auto-Calc tests, which rebuild those tables from them byte for byte.
    const std::string vob = sampleFile("ntsc43", "VTS_02_1.VOB");
    const Scan s = scan({vob, vob});
    EXPECT_EQ(s.status, ScanStatus::End);
    // The second file starts again with VOB 1, cell 1: a cell change at the file border.
    const ScanResults& r = s.results;
    EXPECT_EQ(
        std::tuple(r.vobuStarts.size(), r.lastVobuEnd, r.packs, r.systemHeaders, r.cells.size()),
        std::tuple(12u, 83u, 84u, 12u, 4u));
    EXPECT_EQ(r.vobuStarts.at(6), 42u);
    // Capacities bound the lists, not the counts.
    ScanResults bounded;
    bounded.vobuCapacity = 3;
    bounded.cellCapacity = 1;
    ScanStreams({vob, vob}, bounded, {kScanAll, {}, nullptr});
    EXPECT_EQ(std::tuple(bounded.vobuStarts.size(), bounded.vobusFound, bounded.cells.size(),
                         bounded.cellsFound),
              std::tuple(3u, 12u, 1u, 4u));

    // Packs without system headers, a time stamp with bit 32 set.
    const std::uint64_t pts = (std::uint64_t{1} << 32) + 900;
    const Scan p = scanSectors({paddingSector(), videoSector(sliceData(10), pts)});
    EXPECT_TRUE(p.results.vobuStarts.empty());
    EXPECT_THAT(p.log, Not(HasSubstr("System headers")));
    EXPECT_EQ(p.results.packs, 2u);
    EXPECT_EQ(p.results.streams[0xE0].bytes, 10u);  // the PTS header is no payload
    EXPECT_DOUBLE_EQ(p.results.streams[0xE0].firstPts, static_cast<double>(pts) / 90.0);
    // The padding of both sectors: all but the pack and packet headers, and the video packet.
    EXPECT_EQ(p.results.streams[0xBE].bytes, 2028u + 2004u);
    EXPECT_THAT(p.log, HasSubstr("Padding packets = 2, total bytes = 4032\n"));
}

// A padding packet four bytes shorter than the rest of its sector, with `extra` before it
// (`before`) or after it.
Sector shortPadding(const Bytes& extra, bool before) {
    Sector s = paddingSector();
    s.resize(2044);
    put16(&s[18], 2024);
    s.insert(before ? s.begin() + 14 : s.end(), extra.begin(), extra.end());
    return s;
}

TEST(StreamScanner, JunkLostSyncTruncationEndCodeAndUnreadableInput) {
    Sector junk = packHeader();
    junk.resize(2048, 0x77);  // a pack whose packet was overwritten
    Sector truncated = videoSector(sliceData(10));
    truncated.resize(700);
    const Sector ff(2048, 0xFF);
    // What each stream does: its status, what the log says, the VOBU starts, the packs (0: any).
    const struct {
        std::vector<Sector> sectors;
        ScanStatus status;
        std::string logged;
        std::vector<std::uint32_t> vobus;
        std::size_t packs;
        // clang-format off
    } cases[] = {
        {{shortPadding({0xDE, 0xAD, 0xBE, 0xEF}, true), paddingSector()}, ScanStatus::End,
         "Skipped 0 bytes for resync [@LBA 0]\n", {}, 2},
        {{navPack({}), junk, videoSector(sliceData(10)), navPack({.cellId = 2})}, ScanStatus::End,
         "Skipped 2030 bytes for resync [@LBA 2]\n", {0, 3}, 0},
        {{navPack({}), ff, ff, navPack({})}, ScanStatus::LostSync,
         "\n* Lost sync [@LBA 2], was expecting PACKET_START_CODE_PREFIX!\n", {0}, 0},
        {{navPack({}), truncated}, ScanStatus::End, "Video 0", {0}, 2},
        {{shortPadding({0x00, 0x00, 0x01, 0xB9}, false)}, ScanStatus::End,
         "MPeg End Code [LBA 0]\n", {}, 0},
    };
    // clang-format on
    for (const auto& c : cases) {
        const Scan r = scanSectors(c.sectors);
        EXPECT_EQ(r.status, c.status) << c.logged;
        EXPECT_THAT(r.log, HasSubstr(c.logged));
        EXPECT_EQ(r.results.vobuStarts, c.vobus) << c.logged;
        EXPECT_TRUE(c.packs == 0 || r.results.packs == c.packs) << r.results.packs;
    }
    // Files that cannot be opened or read.
    TempDir dir;
    writeFile(dir.file("empty.vob"), {});
    for (const auto& [file, logged] :
         {std::pair{dir.file("nothing.vob"),
                    "* Unable to open \"" + dir.file("nothing.vob") + "\" for input\n"},
          {dir.file("empty.vob"), "* Unable to read from"}}) {
        const Scan failed = scan({file});
        EXPECT_EQ(failed.status, ScanStatus::InputFailed);
        EXPECT_THAT(failed.log, HasSubstr(logged));
    }
    // A step on a walk that is not open.
    StreamScanner scanner(kScanAll, {});
    EXPECT_EQ(scanner.step(), ScanStatus::NotOpen);
}

TEST(VobCli, ScanAndVobusInTextAndJsonUsageAndFailures) {
    const auto r = runCli({"scan", sampleFile("ntsc43", "VTS_01_1.VOB")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Packs: 426\nSystem headers: 22\n", 0), 0u);
    EXPECT_THAT(
        r.out,
        HasSubstr("Stream 0xE0 Video 0: 264 packets, 514378 bytes, first PTS 0:00:00.533\n"));
    EXPECT_THAT(r.out, HasSubstr("Video: 352x240, [2] 4:3 display, [4] 29.97 (30000/1001) fps\n"));
    EXPECT_THAT(r.out, HasSubstr("VOBU starts: 22\n  0 46 68 94 117 140 164 186 214 223\n"));
    EXPECT_THAT(r.out, HasSubstr("  VOB 3 cell 2: sectors 359-425\nLast VOBU end: 425\n"));
    // The scan log goes to standard error.
    EXPECT_THAT(r.err, HasSubstr("\nSummary:\nMPEG Packs = 426\n"));
    EXPECT_THAT(r.out, Not(HasSubstr("Summary")));

    const auto j = runCli({"scan", sampleFile("pal169", "VTS_01_1.VOB"), "--json"});
    ASSERT_EQ(j.status, 0) << j.err;
    EXPECT_THAT(j.out, HasSubstr("{\"vobId\": 1, \"cellId\": 2, \"start\": 190, \"last\": 523}"));
    EXPECT_THAT(j.out, HasSubstr("{\"id\": 161, \"packets\": "));  // LPCM sub-stream 0xA1

    const auto text = runCli({"vobus", sampleFile("ntsc43", "VTS_01_0.IFO")});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out.rfind("sector\tlbn\tlast\tvob\tcell\tframes\tref1\tref2\tref3\taudio sync\n"
                             "0\t0\t45\t1\t1\t15\t8\t13\t18\ta0=2 a1=3\n",
                             0),
              0u);
    EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\n'), 23);

    const auto json = runCli({"vobus", sampleFile("ntsc43", "VTS_02_0.IFO"), "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_THAT(json.out,
                HasSubstr("{\"sector\": 0, \"lbn\": 0, \"lastOffset\": 5, \"vobId\": 1, "
                          "\"cellId\": 1, \"frames\": 15, \"refEnd\": [3, 3, 3], "
                          "\"sPtm\": 48003, \"ePtm\": 93048, "
                          "\"audioSync\": [2, 0, 0, 0, 0, 0, 0, 0], \"subpSync\": [0, 0,"));
    // ntsc43's first title set has two sub-picture streams: the NAV packs' words as they are.
    const auto subp = runCli({"vobus", sampleFile("ntsc43", "VTS_01_0.IFO"), "--json"});
    EXPECT_THAT(subp.out,
                HasSubstr("\"audioSync\": [2, 3, 0, 0, 0, 0, 0, 0], \"subpSync\": [68, 68, 0,"));

    // Usage errors (status 2): also Re-Mux with Menu Extras or with VOB id stripping. Failures
    // (status 1): a missing file in the middle of a chain, which would shorten the stream without a
    // word; a video manager; title VOB files without a single NAV pack (a padding-only stream),
    // which have nothing to list or write; an unwritable template; a re-mux without a readable
    // video source. Nothing is written.
    TempDir dir;
    const std::string vts = dir.file("VTS_01_0.IFO"), t = dir.file("t.txt");
    std::filesystem::copy_file(sampleFile("pal169", "VTS_01_0.IFO"), vts);
    writeSectors(dir.file("VTS_01_1.VOB"), std::vector<Sector>(4, paddingSector()));
    std::filesystem::create_directory(dir.file("new"));
    const std::string pal = sampleFile("pal169", "VTS_01_0.IFO"),
                      out = dir.file("new/VTS_01_1.VOB");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } runs[] = {
        // clang-format off
        {{"scan"}, 2, ""},
        {{"scan", "--bogus", "x"}, 2, ""},
        {{"vobus"}, 2, ""},
        {{"template", pal}, 2, ""},
        {{"template", pal, t, "--types=X"}, 2, ""},
        {{"template", pal, t, "--types="}, 2, ""},
        {{"vob-extras", pal, out, "--remux", pal, "--strip-vobids", "1"}, 2, "--remux leaves every VOB id in place"},
        {{"menu-extras", pal, dir.file("new/VTS_01_0.VOB"), "--remux", pal}, 2, "menu-extras does not re-mux"},
        {{"scan", sampleFile("pal169", "VTS_01_1.VOB"), "/nonexistent/B.VOB"}, 1, "navtab-cli: cannot read /nonexistent/B.VOB\n"},
        {{"vobus", sampleFile("ntsc43", "VIDEO_TS.IFO")}, 1, "is not a title set IFO file"},
        {{"vobus", vts}, 1, "navtab-cli: the VOB files hold no NAV pack, so there is no VOBU to list\n"},
        {{"template", vts, t}, 1, "navtab-cli: the VOB files hold no NAV pack; " + t + " not written\n"},
        {{"template", pal, dir.file("x/t.txt")}, 1, "navtab-cli: could not write " + dir.file("x/t.txt") + "\n"},
        {{"vob-extras", pal, out, "--remux", ""}, 1, "Missing soure .m2v file for input!"},
        {{"vob-extras", pal, out, "--remux", dir.file("none.m2v")}, 1, "Error opening Mpeg file"},
        // clang-format on
    };
    for (const auto& [args, status, err] : runs) {
        const auto run = runCli(args);
        EXPECT_EQ(run.status, status) << args[0] << " " << args.back();
        EXPECT_THAT(run.err, HasSubstr(err));
        EXPECT_TRUE(status == 2 || args[0] == "vob-extras" || run.out.empty()) << run.out;
    }
    EXPECT_FALSE(std::filesystem::exists(t));
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("new")));
}

}  // namespace
}  // namespace navtab::test
