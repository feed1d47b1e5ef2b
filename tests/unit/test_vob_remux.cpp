// Re-Mux: on hand-made elementary streams, the chunks the reader cuts and the frames it counts,
// how it ends damaged streams, the video packs that carry chunk bytes and how many chunks each VOB
// unit takes; on copies of the sample discs, the title video encoded anew by ffmpeg in place of
// the old one, checked from the outside (ffprobe counts the frames the reader counted, ffmpeg
// decodes the copy, the NAV packs are walked, lsdvd reads the folder).
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "core/bytes.h"
#include "unit/vob_extras_checks.h"
#include "unit/vob_test_streams.h"
#include "vob/m2v_reader.h"
#include "vob/pes_packet.h"
#include "vob/remux_pack.h"
#include "vob/remux_video_pack.h"

namespace navtab::test {
namespace {

using namespace navtab::vob;

struct Pic {
    unsigned structure = 3;
    bool topFirst = false, repeat = false;
};

// A GOP header whose time code is `frames` pictures into the second `seconds`.
Bytes gopHeader(unsigned seconds, unsigned frames) {
    return {0,
            0,
            1,
            0xB8,
            0,
            std::uint8_t(0x08 | seconds >> 3),
            std::uint8_t((seconds & 7) << 5 | frames >> 1),
            std::uint8_t((frames & 1) << 7 | 0x40)};
}

Bytes chunkOf(const std::vector<Pic>& pics, bool progressive, const Bytes& gop = {},
              std::size_t pictureBytes = 100) {
    Bytes b = concat({sequenceHeader(), sequenceExtension(progressive), gop});
    for (const Pic& p : pics)
        b = concat({b, pictureHeader(1), pictureCodingExtension(p.structure, p.topFirst, p.repeat),
                    sliceData(pictureBytes)});
    return b;
}

std::vector<Pic> frames(int n, std::initializer_list<int> repeated = {}) {
    std::vector<Pic> pics(static_cast<std::size_t>(n));
    for (int i : repeated) pics[static_cast<std::size_t>(i)].repeat = true;
    return pics;
}

std::vector<Pic> fieldPairs(int n, bool bottomFirst) {
    std::vector<Pic> pics;
    for (int i = 0; i < 2 * n; ++i) pics.push_back({(i % 2 == 0) == bottomFirst ? 2u : 1u});
    return pics;
}

struct ReaderOn {
    TempDir dir;
    RecordingInteraction ui;
    std::unique_ptr<M2vReader> reader;
    explicit ReaderOn(const Bytes& stream) {
        writeFile(dir.file("v.m2v"), stream);
        reader = std::make_unique<M2vReader>(dir.file("v.m2v"), ui);
    }
};

TEST(M2vReader, CountsFramesAndEndsDamagedStreamsWithItsMessages) {
    const struct {
        const char* name;
        Bytes chunk;
        int whole;
        double frames;
    } cases[] = {
        {"12 interlaced pictures, 3 repeat the first field", chunkOf(frames(12, {1, 5, 9}), false),
         13, 13.5},
        {"progressive: repeated with top first shows 3 times, without twice",
         chunkOf({{3, true, true}, {}, {3, false, true}, {}}, true), 7, 7},
        {"6 frames as top-first field pairs", chunkOf(fieldPairs(6, false), false), 6, 6},
        {"6 frames as bottom-first field pairs", chunkOf(fieldPairs(6, true), false), 6, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReaderOn r(concat({c.chunk, c.chunk}));
        EXPECT_EQ(r.reader->ReadChunk(), c.whole);
        EXPECT_EQ(r.reader->lastChunkFrames(), c.frames);
        EXPECT_EQ(r.reader->pts(), 0u) << "the first chunk starts the time line";
        EXPECT_EQ(Bytes(r.reader->remaining().begin(), r.reader->remaining().end()), c.chunk);
        EXPECT_EQ(r.reader->ReadChunk(), c.whole);
        // The second chunk starts after the whole frames of the first, at 29.97 frames a second.
        EXPECT_EQ(r.reader->pts(), static_cast<std::uint32_t>(c.whole * 3003));
        EXPECT_EQ(r.reader->ReadChunk(), 0);
        EXPECT_TRUE(r.reader->atEnd());
        EXPECT_TRUE(r.ui.messages.empty());
    }

    // Damaged or unusual streams: the reader stops where the stream stops making sense, says why in
    // the words of its messages, and never hands out a byte it did not read.
    const Bytes chunk = chunkOf(frames(3), false);
    Bytes cutInPicture = concat({chunk, sequenceHeader(), pictureHeader(1)});
    cutInPicture.resize(cutInPicture.size() - 2);
    Bytes noRate = chunk;
    noRate[7] &= 0xF0;  // frame_rate_code 0
    // A stream that never repeats its sequence header would be one chunk of the whole file: the
    // chunk buffer stops growing at its bound and the stream ends there.
    Bytes unbounded = chunkOf(frames(1), false);
    unbounded.resize(M2vReader::kMaxChunkBytes + 1, 0x5A);
    const std::string sync = "Synchronization Error on MPeg file!";
    const struct {
        const char* name;
        Bytes stream;
        std::vector<int> chunks;  // what each ReadChunk returns, up to the first 0
        std::vector<std::string> messages;
    } damaged[] = {
        {"empty", {}, {}, {sync}},
        {"no sequence header first", concat({sliceData(10), chunk}), {}, {sync}},
        {"a lone start code prefix", {0x00, 0x00, 0x01}, {}, {sync}},
        {"cut inside a picture", cutInPicture, {3, 1}, {}},
        {"ended by a sequence end code, rubbish behind it",
         concat({chunk, {0x00, 0x00, 0x01, 0xB7}, sliceData(9)}),
         {3},
         {}},
        {"a frame rate code of 0", concat({noRate, noRate}), {3, 3}, {}},
        {"one chunk past the bound", unbounded, {}, {"Error, could not realloc enough memory!"}},
    };
    for (const auto& c : damaged) {
        SCOPED_TRACE(c.name);
        ReaderOn r(c.stream);
        std::vector<int> got;
        std::size_t bytes = 0;
        for (int n; (n = r.reader->ReadChunk()) > 0;) {
            got.push_back(n);
            bytes += r.reader->remaining().size();
            EXPECT_GE(r.reader->GopTimeFrames(), 0);
        }
        EXPECT_EQ(got, c.chunks);
        EXPECT_EQ(r.ui.messages, c.messages);
        EXPECT_LE(bytes, c.stream.size());
        EXPECT_EQ(r.reader->ReadChunk(), 0) << "ended for good";
    }
    RecordingInteraction ui;
    M2vReader missing("/nonexistent/v.m2v", ui);
    EXPECT_FALSE(missing.opened());
    EXPECT_EQ(missing.ReadChunk(), 0);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Error opening Mpeg file"});
}

int framesOf(const std::string& file) {
    return std::atoi(runCommand("ffprobe -v error -select_streams v:0 -count_frames "
                                "-show_entries stream=nb_read_frames -of csv=p=0 '" +
                                file + "'")
                         .out.c_str());
}

// A title of VOB units of `vobuFrames` frames each (at 30 frames a second), one VOB id per two
// units, each unit a NAV pack, `videoPacks` video packs and an audio pack.
std::vector<Sector> sourceTitle(int vobus, std::uint32_t vobuFrames, int videoPacks) {
    std::vector<Sector> out;
    for (int v = 0; v < vobus; ++v) {
        NavFields f;
        f.vobId = static_cast<std::uint16_t>(1 + v / 2);
        f.sPtm = 90000 + static_cast<std::uint32_t>(v % 2) * vobuFrames * 3003;
        f.ePtm = f.sPtm + vobuFrames * 3003;
        out.push_back(navPack(f));
        out.push_back(videoSector(concat({sequenceHeader(), sliceData(900)}), f.sPtm + 3003));
        for (int p = 1; p < videoPacks; ++p) out.push_back(videoSector(sliceData(2000)));
        out.push_back(privateSector(0x80, f.sPtm));
    }
    return out;
}

struct RemuxOutput {
    std::vector<Sector> sectors;
    std::vector<int> chunksPerVobu;  // packs that begin a chunk, per VOB unit
    Bytes video;                     // the video payloads in order
    std::uint64_t added = 0, dropped = 0;
};

RemuxOutput remux(const std::vector<Sector>& source, const Bytes& stream) {
    ReaderOn r(stream);
    VobJob job;
    job.remux.reader = r.reader.get();
    RemuxOutput out;
    const KeepSector keep = [&](std::span<std::uint8_t> s, bool) {
        EXPECT_EQ(s.size(), 2048u);
        out.sectors.emplace_back(s.begin(), s.end());
        if (s[17] == 0xBB) out.chunksPerVobu.push_back(0);
        if (s[17] != 0xE0) return true;
        const auto packet = pesPacketOf(s);
        out.video.insert(out.video.end(), packet->payload.begin(), packet->payload.end());
        if (packet->pts) ++out.chunksPerVobu.back();
        return true;
    };
    for (Sector s : source) EXPECT_TRUE(RemuxPack(job, s, keep));
    EXPECT_TRUE(FinishRemux(job, keep));
    out.added = job.remux.packsAdded;
    out.dropped = job.remux.packsDropped;
    EXPECT_TRUE(r.ui.messages.empty());
    return out;
}

// Every way a chunk's bytes can end in a pack: the pack stays one sector, its PES packet carries
// exactly the bytes taken, a padding packet or header stuffing fills what is left.
TEST(RemuxPack, KeepsEveryPackOneSectorFillsEachVobuWithTheChunksThatFitItAndTimesThem) {
    Bytes chunk(5000);
    for (std::size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<std::uint8_t>(i * 7);
    const std::optional<VideoPackStamps> stampsOf[] = {std::nullopt,
                                                       VideoPackStamps{0x1FFFFFFFFull, 1234, false},
                                                       VideoPackStamps{90000, 87000, true}};
    for (const auto& stamps : stampsOf) {
        const std::size_t header = stamps ? (stamps->pstdBuffer ? 13 : 10) : 0;
        for (const std::size_t left : {0, 1, 2000, 2004, 2005, 2007, 2008, 2011, 2012, 2014, 2015,
                                       2017, 2018, 2024, 2025, 5000}) {
            SCOPED_TRACE(std::to_string(header) + " header bytes, " + std::to_string(left));
            Sector sector = videoSector(sliceData(100));
            const std::size_t took = FillVideoPack(sector, std::span(chunk.data(), left), stamps);
            EXPECT_EQ(took, std::min(left, 2025 - header));
            const auto packet = pesPacketOf(sector);
            ASSERT_TRUE(packet);
            EXPECT_TRUE(std::equal(packet->payload.begin(), packet->payload.end(), chunk.begin()));
            EXPECT_EQ(packet->payload.size(), took);
            const std::size_t end = 20 + packet->length;
            if (end < 2048) {
                ASSERT_GE(2048 - end, 6u);
                EXPECT_EQ(be32(&sector[end]), 0x000001BEu);
                EXPECT_EQ(end + 6 + be16(&sector[end + 4]), 2048u);
                EXPECT_TRUE(std::all_of(sector.begin() + end + 6, sector.end(),
                                        [](std::uint8_t b) { return b == 0xFF; }));
            }
            EXPECT_LE(sector[22] - header, 7u) << "stuffing";
            if (stamps) {
                EXPECT_EQ(packet->pts, stamps->pts);
                EXPECT_EQ(decodePts(&sector[28]), stamps->dts);
                EXPECT_EQ(sector[21], stamps->pstdBuffer ? 0xC1 : 0xC0);
            }
        }
    }

    // How many chunks a VOB unit takes: as many as fit its frames, at least one, the next carried
    // over; by GOP time codes when they count differently from the pictures (pulldown).
    const auto chunks = [](int n, int pictures, int timeCodeStep, std::size_t bytes) {
        Bytes s;
        for (int i = 0; i < n; ++i) {
            const unsigned tc = static_cast<unsigned>(i * timeCodeStep);
            s = concat({s, chunkOf(frames(pictures), false,
                                   timeCodeStep ? gopHeader(tc / 30, tc % 30) : Bytes{}, bytes)});
        }
        return s;
    };
    const struct {
        const char* name;
        std::uint32_t vobuFrames;
        Bytes stream;
        std::vector<int> perVobu;
        bool adds, drops;
    } cases[] = {
        // clang-format off
        {"one GOP per unit, smaller than the source", 15, chunks(6, 15, 15, 20), {1, 1, 1, 1, 1, 1}, false, true},
        {"one GOP per unit, larger than the source", 15, chunks(6, 15, 15, 600), {1, 1, 1, 1, 1, 1}, true, false},
        {"three short GOPs per unit", 15, chunks(18, 5, 5, 20), {3, 3, 3, 3, 3, 3}, false, true},
        {"longer GOPs are carried, the last units get none", 15, chunks(4, 18, 18, 20), {1, 1, 1, 1, 0, 0}, false, true},
        {"pictures counted without time codes", 60, chunks(30, 12, 0, 20), {5, 5, 5, 5, 5, 5}, true, false},
        {"pulldown time codes count displayed frames", 60, chunks(24, 12, 15, 20), {4, 4, 4, 4, 4, 4}, false, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RemuxOutput out = remux(sourceTitle(6, c.vobuFrames, 4), c.stream);
        EXPECT_EQ(out.chunksPerVobu, c.perVobu);
        EXPECT_EQ(out.added > 0, c.adds);
        EXPECT_EQ(out.dropped > 0, c.drops);
        EXPECT_EQ(out.video, c.stream) << "every chunk written once, whole, in order";
        EXPECT_EQ(std::count_if(out.sectors.begin(), out.sectors.end(),
                                [](const Sector& s) { return s[17] == 0xBD; }),
                  6);
    }

    // The time stamps of the chunks: each VOB id's first gop starts at the source's first video
    // time stamps and carries the P-STD buffer size; the next chunks follow by their frames.
    const Bytes gop = chunkOf(frames(15), false);
    const RemuxOutput out = remux(sourceTitle(4, 15, 2), concat({gop, gop, gop, gop}));
    std::vector<std::pair<std::uint64_t, bool>> stamps;
    for (const auto& s : out.sectors)
        if (s[17] == 0xE0 && (s[21] & 0x80)) stamps.emplace_back(decodePts(&s[23]), s[21] & 1);
    const std::uint64_t first = 90000 + 3003, second = first + 15 * 3003;
    EXPECT_EQ(stamps, (std::vector<std::pair<std::uint64_t, bool>>{
                          {first, true}, {second, false}, {first, true}, {second, false}}));
}

// The sectors that are neither NAV nor video packs, in order.
std::vector<Bytes> otherPackets(const SectorRun& r) {
    std::vector<Bytes> out;
    for (std::size_t s = 0; s < r.sectors(); ++s)
        if (r.at(s)[17] != 0xBB && r.at(s)[17] != 0xE0) out.emplace_back(r.at(s), r.at(s) + 2048);
    return out;
}

// Cell lengths in milliseconds as lsdvd shows them.
std::vector<int> cellLengths(const fs::path& folder) {
    static const std::regex cell(R"(Cell: \d+, Length: (\d+):(\d+):(\d+)\.(\d+))");
    const std::string text = lsdvdOf(folder);
    std::vector<int> out;
    for (std::sregex_iterator it(text.begin(), text.end(), cell), end; it != end; ++it)
        out.push_back(
            ((std::stoi((*it)[1]) * 60 + std::stoi((*it)[2])) * 60 + std::stoi((*it)[3])) * 1000 +
            std::stoi((*it)[4]));
    return out;
}

// An encode with I frames where navtab-cli's frame-type template lists them, closed GOPs (ffmpeg
// keeps size, rate and ratio): the same frames in every VOBU, so the folder plays as the source
// did, titles, chapters and cells alike.
TEST(VobRemux, ANewEncodeWithTheSourcesGopsReplacesTheVideo) {
    for (const char* disc : {"ntsc43", "pal169"}) {
        SCOPED_TRACE(disc);
        ExtrasDisc d(disc);
        const std::string txt = d.dir.file("template.txt"), m2v = d.dir.file("new.m2v");
        ASSERT_EQ(runCli({"template", d.s("VTS_01_0.IFO"), txt, "--types", "I"}).status, 0);
        std::string keys = "0";
        std::istringstream in(runCommand("cat '" + txt + "'").out);
        for (std::string line; std::getline(in, line);)
            keys += "+eq(n," + line.substr(0, line.find(',')) + ")";
        ASSERT_NE(keys, "0");
        const auto encode =
            runCommand("ffmpeg -v error -y -i '" + d.s("VTS_01_1.VOB") +
                       "' -map 0:v -vsync passthrough -c:v mpeg2video -bf 0 -g 100000 -flags +cgop "
                       "-sc_threshold 1000000000 -threads 1 -force_key_frames 'expr:" +
                       keys + "' -b:v 800k -f mpeg2video '" + m2v + "'");
        ASSERT_EQ(encode.status, 0) << encode.err;
        const auto run =
            runCli({"vob-extras", d.s("VTS_01_0.IFO"), d.o("VTS_01_1.VOB"), "--remux", m2v});
        ASSERT_EQ(run.status, 0) << run.err;
        const int encoded = framesOf(m2v);
        EXPECT_GT(encoded, 0);
        EXPECT_THAT(run.out, HasSubstr("Re-muxed " + std::to_string(encoded) + ".0 frames"));
        EXPECT_EQ(framesOf(d.o("VTS_01_1.VOB")), encoded);
        const std::string decode = "ffmpeg -v error -i '" + d.o("VTS_01_1.VOB") + "' -map 0:v";
        EXPECT_EQ(runCommand(decode + " -f null - 2>&1").out, "");
        const SectorRun src(d.s("VTS_01_1.VOB")), out(d.o("VTS_01_1.VOB"));
        EXPECT_TRUE(otherPackets(src) == otherPackets(out)) << "audio and sub-picture packets";
        checkNavPacks(src, out, src.vobusWhere([](std::uint16_t) { return true; }));
        EXPECT_EQ(d.lsdvd(true), d.lsdvd(false));
        const auto before = cellLengths(d.src.parent_path()),
                   after = cellLengths(d.out.parent_path());
        ASSERT_EQ(after.size(), before.size());
        ASSERT_FALSE(before.empty());
        for (std::size_t i = 0; i < before.size(); ++i)
            EXPECT_LE(std::abs(after[i] - before[i]), 40) << "cell " << i;
    }
}

}  // namespace
}  // namespace navtab::test
