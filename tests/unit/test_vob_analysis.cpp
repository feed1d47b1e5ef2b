// The per-sector passes on hand-made streams: the analysis (picture counting, reference-picture
// ends, audio sync offsets, damaged sectors; arbitrary bytes are fed to it by fuzz/fuzz_vob.cpp),
// the decoding of a NAV pack into its VobuInfo record, and the frame-type template with its file
// and its command.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/bytes.h"
#include "unit/vob_fake_ui.h"
#include "unit/vob_test_streams.h"
#include "vob/frame_template.h"
#include "vob/vobu_analysis.h"
#include "vob/vobu_info.h"

namespace navtab::test {
namespace {

using namespace navtab::vob;
using RefEnds = std::array<std::uint32_t, 3>;

VobJob analyse(const std::vector<Sector>& sectors) {
    VobJob job;
    for (const Sector& s : sectors) {
        AnalyseVobSector(job, s);
        ++job.sector;
    }
    return job;
}

const Bytes kI = pictureHeader(kIPicture);
const Bytes kP = pictureHeader(kPPicture);
const Bytes kB = pictureHeader(kBPicture);

// Frames and reference-picture ends of the first VOBU of hand-made streams (a NAV pack, then
// video sectors filled by their packet).
TEST(VobuAnalysis, PicturesCountFramesAndReferenceEndsAndDamagedSectorsStayInside) {
    const auto v = [](const Bytes& head, const Bytes& tail = {}) {
        return fullVideoSector(head, tail);
    };
    const auto coded = [](const Bytes& picture, unsigned structure, bool top = false,
                          bool rff = false) {
        return concat({picture, pictureCodingExtension(structure, top, rff)});
    };
    const auto repeated = [&](bool progressive, bool top) {
        return std::vector<Sector>{
            v(concat({sequenceHeader(), sequenceExtension(progressive), coded(kI, 3, top, true)}))};
    };
    // The picture start code of the P picture: 00 00 01 at the end of sector 2, the rest in 3.
    const Bytes p = concat({kP, sliceData(8)});
    const Bytes ext = pictureCodingExtension(kBottomField, false, false);
    std::vector<Sector> manyP = {navPack({}), v(kI)};
    for (int i = 0; i < 6; ++i) manyP.push_back(v(kP));
    const struct {
        const char* what;
        std::vector<Sector> sectors;
        double frames;
        RefEnds refEnds;
    } cases[] = {
        // clang-format off
        // The split start code counts once; the I picture ended in the packet before the split.
        {"split start code", {v(kI), v({}, {0, 0, 1}), v(Bytes(p.begin() + 3, p.end())), paddingSector()},
         2.0, {2, 0, 0}},
        // A bottom field whose coding extension straddles two packets pairs with its top field.
        {"split coding extension", {v(coded(kI, kTopField, true)),
          v({}, concat({kP, Bytes(ext.begin(), ext.begin() + 5)})), v(Bytes(ext.begin() + 5, ext.end()))},
         1.0, {}},
        // Field pairs count one frame whichever field comes first; the second field's start is
        // no reference end.
        {"top field first", {v(coded(kI, kTopField)), v(coded(kP, kBottomField)), v(coded(kP, 3))}, 2.0, {2, 0, 0}},
        {"bottom field first", {v(coded(kI, kBottomField)), v(coded(kP, kTopField)), v(coded(kP, 3))}, 2.0, {2, 0, 0}},
        // Repeat first field: a progressive sequence repeats frames, an interlaced one a field.
        {"progressive, top first", repeated(true, true), 3.0, {}},
        {"progressive, bottom first", repeated(true, false), 2.0, {}},
        {"interlaced", repeated(false, true), 1.5, {}},
        // I B B P B B P in coding order, padding behind the last P's data: the first B's start,
        // the second P's start, the padding.
        {"open GOP", {v(kI), v(kB), v(kB), v(kP), v(kB), v(kB), v(kP), videoSector(sliceData(100))}, 7.0, {1, 4, 8}},
        {"at most three reference ends", {manyP.begin() + 1, manyP.end()}, 7.0, {1, 2, 3}},
        // clang-format on
    };
    for (const auto& c : cases) {
        std::vector<Sector> sectors = {navPack({})};
        sectors.insert(sectors.end(), c.sectors.begin(), c.sectors.end());
        const auto job = analyse(sectors);
        ASSERT_FALSE(job.vobus.empty()) << c.what;
        EXPECT_EQ(job.vobus[0].frames, c.frames) << c.what;
        EXPECT_TRUE(c.refEnds == RefEnds{} || job.vobus[0].refEnd == c.refEnds) << c.what;
    }
    // The counter starts again at the next NAV pack; the open reference carries over.
    manyP.push_back(navPack({}));
    manyP.push_back(fullVideoSector(kP));
    const auto job = analyse(manyP);
    EXPECT_EQ(job.vobus[1].refEnd[0], 0u);
    EXPECT_EQ(job.vobus[1].frames, 1.0);

    Sector longPes = fullVideoSector(concat({kI, sliceData(100), kP}));
    longPes[vob::pes::kLength] = 0xFF;  // 65535 bytes claimed
    longPes[vob::pes::kLength + 1] = 0xFF;
    EXPECT_EQ(analyse({navPack({}), longPes}).vobus[0].frames, 2.0);

    Sector longHeader = fullVideoSector(kI);  // header data past the end: no payload
    longHeader[vob::pes::kHeaderDataLength] = 0xFF;
    const auto header =
        analyse({navPack({}), longHeader, privateSector(0x80, 1), videoSector(sliceData(50))});
    EXPECT_EQ(header.vobus[0].frames, 0.0);
    EXPECT_EQ(header.vobus[0].refEnd, RefEnds{});

    Sector nav = navPack({.lbn = 3, .vobId = 9});
    nav.resize(40);  // the DSI and most of the PCI are missing
    Sector video = fullVideoSector(kI);
    video.resize(30);
    const auto cut = analyse({nav, video, Sector{0x00, 0x00, 0x01}});
    ASSERT_EQ(cut.vobus.size(), 1u);
    EXPECT_EQ(cut.vobus[0].vobId, 0u);  // lies beyond the 40 bytes: read as zero
    EXPECT_EQ(cut.vobus[0].lastOffset, 2u);
}

// Audio stream 0 announced with the word `word`, VOBU time `sPtm`.
Sector navWithAudio(std::uint16_t word, std::uint32_t sPtm = 90000, std::uint16_t vobId = 1) {
    return navPack({.vobId = vobId, .sPtm = sPtm, .audioSync = {word}});
}

std::uint32_t sync0(const VobJob& job, std::size_t vobu = 0) {
    return job.vobus[vobu].audioSync[0].special;
}

// The offset points at the packet where the first audio frame starting at or after the VOBU's
// time begins: the next packet of the stream when that one starts within one frame (2880 ticks)
// after the time, else the one before.
TEST(VobuAnalysis, AudioSyncPointsAtThePacketOfTheVobuTime) {
    const Sector nav = navWithAudio(5);
    const auto a = [](std::uint64_t pts) { return privateSector(0x80, pts); };
    const std::pair<std::vector<Sector>, std::uint32_t> cases[] = {
        {{nav, paddingSector(), a(90000)}, 2},  // a packet that starts exactly at the time
        {{nav, paddingSector(), paddingSector(), a(95000)}, 3},
        {{nav, a(80000), paddingSector(), a(92880)}, 1},
        {{nav, a(80000), paddingSector(), a(92879)}, 3},
        {{navWithAudio(0), a(90000)}, 0},  // 0 and "none" stay as they are
        {{navWithAudio(nav::kAudioSyncNone), a(90000)}, nav::kAudioSyncNone},
        {{a(80000), navWithAudio(0x8003), a(95000)}, 0x8001},  // backward to the earlier packet
    };
    for (const auto& [sectors, word] : cases) EXPECT_EQ(sync0(analyse(sectors)), word);

    // VOBU 0 sees only a packet before its time; the next one comes after VOBU 1 has begun.
    const auto later =
        analyse({navWithAudio(5), a(80000), navWithAudio(5, 135045), a(96000), a(140000)});
    EXPECT_EQ(sync0(later, 0), 1u);  // 96000 is more than a frame after 90000: the earlier packet
    EXPECT_EQ(sync0(later, 1), 1u);  // 140000 > 135045 + 2879: the packet before, in sector 3
    // Time stamps start afresh in a new VOB; a packet there says nothing of the old VOBU.
    const auto newVob =
        analyse({navWithAudio(5, 90000, 1), a(80000), navWithAudio(5, 90000, 2), a(95000)});
    EXPECT_TRUE(newVob.vobus[0].audioSync[0].unsettled());
    EXPECT_EQ(sync0(newVob, 1), 1u);

    // MPEG, LPCM and DTS audio settle their streams; a sub-picture packet is counted.
    const auto job = analyse({navPack({.audioSync = {1, 1, 1, 1}}),
                              pesSector(0xC1, Bytes(100, 0x11), 90000), privateSector(0xA2, 90000),
                              privateSector(0x8B, 90000), privateSector(0x20, 90000)});
    for (unsigned n = 1; n <= 3; ++n) EXPECT_EQ(job.vobus[0].audioSync[n].special, n);
    EXPECT_TRUE(job.vobus[0].audioSync[0].unsettled());
    EXPECT_EQ(job.audioPackets[1], 1u);
    EXPECT_EQ(job.subpPackets[0], 1u);
}

// The elapsed time (00, 10 and 11 all mean 30 frames per second; BCD digits read as decimal
// ones), search pointers and sync offsets with their reserved values.
TEST(NavPack, TimeSearchAndSyncWords) {
    const ElapsedTime pal = decodeElapsedTime(0x01020344);  // 1:02:03, frame 4, 25 fps
    EXPECT_EQ(pal.rate, 25u);
    EXPECT_EQ(pal.frames, 3723u * 25 + 4);
    for (std::uint32_t flag : {0xC0u, 0x00u, 0x80u}) EXPECT_EQ(decodeElapsedTime(flag).rate, 30u);
    EXPECT_EQ(decodeElapsedTime(0x00005900 | 0xC0 | 0x29).frames, 59u * 30 + 29);

    for (std::uint32_t w : {nav::kSearchNone, nav::kSearchSpecial7F, nav::kSearchSpecialBF})
        EXPECT_EQ(decodeSearchPointer(w, false).special, w);
    // 0x80000000 is reserved only for the 38 step pointers.
    EXPECT_EQ(decodeSearchPointer(0x80000000u, true).special, 0x80000000u);
    EXPECT_EQ(decodeSearchPointer(0x80000000u, false).special, SearchPointer::kOrdinary);
    const SearchPointer p = decodeSearchPointer(0x40000123u, true);
    EXPECT_EQ(p.flags, 0x40000000u);
    EXPECT_EQ(p.distance, 0x123u);

    EXPECT_EQ(decodeAudioSync(0x3FFF).special, 0x3FFFu);
    EXPECT_EQ(decodeAudioSync(0x8005).special, SyncOffset::kBackward);
    EXPECT_EQ(decodeAudioSync(0x8005).distance, 5u);
    EXPECT_EQ(decodeSubpSync(0x7FFFFFFF).special, 0x7FFFFFFFu);
    EXPECT_EQ(decodeSubpSync(0x80000010).distance, 0x10u);
    EXPECT_EQ(decodeSubpSync(0x40000010).distance, 0x40000010u);

    // A short sector reads as zeros past its end. (The step pointers' order, nearest first, is
    // checked on the samples by the NAV pack walker of the VOB Extras tests.)
    Sector cut = navPack({.lbn = 5, .vobId = 3});
    cut.resize(50);
    EXPECT_EQ(ParseNavPackFull(cut).lbn, 5u);
    EXPECT_EQ(ParseNavPackFull(cut).vobId, 0u);
    EXPECT_FALSE(isNavPack(Sector(17, 0)));
}

std::string templateOf(const std::vector<Sector>& sectors, FrameTypes types = {}) {
    VobJob job;
    job.templ.selectI = types.i;
    job.templ.selectP = types.p;
    job.templ.selectB = types.b;
    for (const Sector& s : sectors) TemplatePack(job, s);
    return job.templ.lines;
}

std::string text(const std::string& path) {
    const Bytes b = readFile(path);
    return std::string(b.begin(), b.end());
}

// A title set of one hand-made VOB file: two closed GOPs of three pictures.
std::string smallTitleSet(const TempDir& dir) {
    writeFile(dir.file("VTS_01_0.IFO"), Bytes(2048, 0));
    std::vector<Sector> s;
    for (int gop = 0; gop < 2; ++gop) {
        s.push_back(navPack({}));
        s.push_back(fullVideoSector(concat({sequenceHeader(), pictureHeader(kIPicture)})));
        s.push_back(fullVideoSector(pictureHeader(kBPicture)));
        s.push_back(fullVideoSector(pictureHeader(kPPicture)));
    }
    writeSectors(dir.file("VTS_01_1.VOB"), s);
    return dir.file("VTS_01_0.IFO");
}

// A start code split across packets is found once; other picture types take a number without a
// line; a bottom field hands its number back.
TEST(FrameTemplate, NumberingAndTheFileItReplacesOnlyWhenComplete) {
    const Bytes p = pictureHeader(kPPicture);
    EXPECT_EQ(templateOf({fullVideoSector(pictureHeader(kIPicture), {0, 0}),
                          fullVideoSector(Bytes(p.begin() + 2, p.end()))}),
              "0,I\n1,P\n");
    EXPECT_EQ(templateOf({fullVideoSector(
                  concat({pictureHeader(kIPicture), sliceData(4), pictureHeader(4), sliceData(4),
                          pictureHeader(0), sliceData(4), pictureHeader(kBPicture)}))}),
              "0,I\n3,B\n");
    auto field = [](unsigned type, unsigned structure) {
        return fullVideoSector(
            concat({pictureHeader(type), pictureCodingExtension(structure, true, false)}));
    };
    EXPECT_EQ(templateOf({field(kIPicture, kTopField), field(kPPicture, kBottomField),
                          field(kPPicture, 3)}),
              "0,I\n1,P\n1,P\n");

    // The file is replaced only by a complete template; the command gives a name without extension
    // .txt, and cancelling either dialog writes nothing (through the window: tests/ui).
    TempDir dir;
    IfoDocument doc;
    doc.path = smallTitleSet(dir);
    const std::vector<std::string> vobs = {dir.file("VTS_01_1.VOB")};
    RecordingInteraction ui;
    writeFile(dir.file("t.txt"), {'o', 'l', 'd'});
    FakeDialogs dialogs;
    dialogs.cancel = true;
    EXPECT_EQ(CreateTemplate(vobs, {}, dir.file("t.txt"), dialogs.showProgress("").get(), ui),
              TemplateResult::Cancelled);
    EXPECT_EQ(text(dir.file("t.txt")), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
    EXPECT_EQ(CreateTemplate(vobs, {true, true, false}, dir.file("t.txt"), nullptr, ui),
              TemplateResult::Written);
    EXPECT_EQ(text(dir.file("t.txt")), "0,I\n2,P\n3,I\n5,P\n");
    EXPECT_EQ(CreateTemplate(vobs, {}, dir.file("no/such/folder/t.txt"), nullptr, ui),
              TemplateResult::OpenFailed);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Error opening template file!"});

    dialogs.cancel = false;
    dialogs.types = {false, false, true};
    for (const char* file : {"frames", "cancelled.txt", ""}) {
        dialogs.answer = file[0] != 'c';
        dialogs.templateFile = file[0] ? dir.file(file) : "";
        OnCreateTemplate(&doc, dialogs, ui);
    }
    EXPECT_EQ(text(dir.file("frames.txt")), "1,B\n4,B\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("cancelled.txt")));
    EXPECT_EQ(ui.messages.size(), 1u);
}

}  // namespace
}  // namespace navtab::test
