// The program-stream scanner: its lists on the sample discs and what it does with
// streams that are odd or damaged (no system headers, junk between packets, lost sync,
// a truncated last sector, files that cannot be opened).
#include <gtest/gtest.h>

#include "core/bytes.h"
#include "core/ifo_classes_address.h"
#include "unit/model_support.h"
#include "unit/vob_test_streams.h"
#include "vob/stream_names.h"
#include "vob/stream_scanner.h"

namespace navtab::test {
namespace {

using namespace navtab::vob;

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

TEST(StreamScanner, SampleListsAgreeWithTheIfoTables) {
    for (const auto& [disc, ifo, vob] : {std::tuple{"ntsc43", "VTS_01_0.IFO", "VTS_01_1.VOB"},
                                         {"ntsc43", "VTS_02_0.IFO", "VTS_02_1.VOB"},
                                         {"pal169", "VTS_01_0.IFO", "VTS_01_1.VOB"}}) {
        SCOPED_TRACE(std::string(disc) + " " + ifo);
        const IfoHandle handle = loadSample(sampleFile(disc, ifo));
        const CIfoVobuAdmap admap(handle->table[ID_VTS_VOBU_ADMAP]);
        const CIfoCadt cadt(handle->table[ID_VTS_C_ADT]);
        const Scan s = scan({sampleFile(disc, vob)});
        EXPECT_EQ(s.status, ScanStatus::End);
        EXPECT_EQ(s.results.vobuStarts, admap.sectors);
        ASSERT_EQ(s.results.cells.size(), cadt.cells.size());
        for (std::size_t i = 0; i < cadt.cells.size(); ++i) {
            EXPECT_EQ(s.results.cells[i].vobId, cadt.cells[i]->vobId);
            EXPECT_EQ(s.results.cells[i].cellId, cadt.cells[i]->cellId);
            EXPECT_EQ(s.results.cells[i].start, cadt.cells[i]->startSector);
        }
        EXPECT_EQ(s.results.lastVobuEnd, cadt.cells.back()->lastSector);
        EXPECT_EQ(s.results.systemHeaders, admap.sectors.size());
        EXPECT_EQ(s.results.packs, readFile(sampleFile(disc, vob)).size() / 2048);
    }
}

TEST(StreamScanner, ChainedFilesShareOneSectorCount) {
    const std::string vob = sampleFile("ntsc43", "VTS_02_1.VOB");
    Scan s = scan({vob, vob});
    EXPECT_EQ(s.status, ScanStatus::End);
    ASSERT_EQ(s.results.vobuStarts.size(), 12u);
    EXPECT_EQ(s.results.vobuStarts[6], 42u);
    EXPECT_EQ(s.results.lastVobuEnd, 83u);
    // The second file starts again with VOB 1, cell 1: a cell change at the file border.
    EXPECT_EQ(s.results.cells.size(), 4u);
    // Capacities bound the lists, not the counts.
    ScanResults r;
    r.vobuCapacity = 3;
    r.cellCapacity = 1;
    ScanStreams({vob, vob}, r, {kScanAll, {}, nullptr});
    EXPECT_EQ(r.vobuStarts.size(), 3u);
    EXPECT_EQ(r.vobusFound, 12u);
    EXPECT_EQ(r.cells.size(), 1u);
    EXPECT_EQ(r.cellsFound, 4u);
}

TEST(StreamScanner, PacksWithoutSystemHeadersAndTimeStampsWithBit32) {
    const std::uint64_t pts = (std::uint64_t{1} << 32) + 900;
    const Scan s = scanSectors({paddingSector(), videoSector(sliceData(10), pts)});
    EXPECT_TRUE(s.results.vobuStarts.empty());
    EXPECT_THAT(s.log, Not(HasSubstr("System headers")));
    EXPECT_EQ(s.results.packs, 2u);
    EXPECT_EQ(s.results.streams[0xE0].bytes, 10u);  // the PTS header is no payload
    EXPECT_DOUBLE_EQ(s.results.streams[0xE0].firstPts, static_cast<double>(pts) / 90.0);
    // The padding of both sectors: all but the pack and packet headers, and the video packet.
    EXPECT_EQ(s.results.streams[0xBE].bytes, 2028u + 2004u);
    EXPECT_THAT(s.log, HasSubstr("Padding packets = 2, total bytes = 4032\n"));
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

TEST(StreamScanner, JunkLostSyncTruncationAndTheEndCode) {
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
        if (c.packs != 0) {
            EXPECT_EQ(r.results.packs, c.packs) << c.logged;
        }
    }
}

TEST(StreamScanner, InputThatCannotBeOpenedOrRead) {
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

}  // namespace
}  // namespace navtab::test
