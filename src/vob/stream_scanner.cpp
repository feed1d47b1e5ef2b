#include "vob/stream_scanner.h"

#include <sys/stat.h>
#include <algorithm>

#include "core/progress.h"
#include "core/text_printf.h"
#include "vob/nav_pack_layout.h"
#include "vob/pes_packet.h"
#include "vob/stream_names.h"

namespace navtab::vob {
namespace {

constexpr std::uint32_t kPrefix = 0x000001;

// NAV pack fields as offsets from the sub-stream byte of their packet, where the walk stands when
// it meets a private stream 2 packet.
constexpr long kPciPayloadVobuSPtm = nav::kVobuSPtm - nav::kPciSubstream;
constexpr long kPciPayloadVobuEPtm = nav::kVobuEPtm - nav::kPciSubstream;
constexpr long kDsiPayloadCEltm = nav::kDsiCEltm - nav::kDsiSubstream;

// Streams whose packets carry no MPEG-2 header extension: the length is followed by the payload.
bool hasPlainPayload(std::uint8_t id) {
    switch (id) {
        case kProgramStreamMap:
        case kPaddingStream:
        case kPrivateStream2:
        case 0xF0:  // ECM
        case 0xF1:  // EMM
        case 0xF2:  // DSM-CC
        case 0xF8:  // H.222.1 type E
        case 0xFF:  // program stream directory
            return true;
        default:
            return false;
    }
}

}  // namespace

StreamScanner::StreamScanner(unsigned flags, ScanLog log) : flags_(flags), log_(std::move(log)) {}

void StreamScanner::log(unsigned flag, const std::string& text) const {
    if ((flag == 0 || (flags_ & flag)) && log_) log_(text);
}

ScanStatus StreamScanner::open(std::vector<std::string> paths, ScanResults& results) {
    close();
    results_ = &results;
    results.streams = {};
    results.subStreams = {};
    results.packs = results.systemHeaders = 0;
    lastVobId_ = lastCellId_ = -1;
    sequenceLogged_ = (flags_ & kScanVerbose) == 0;
    const std::string input = paths.empty() ? std::string() : paths.front();
    reader_ = std::make_unique<SectorChainReader>(
        std::move(paths), [this](const std::string& line) { log(kScanErrors, line); });
    if (!reader_->open()) {
        log(kScanErrors, "* Unable to open \"" + input + "\" for input\n");
        reader_.reset();
        return ScanStatus::InputFailed;
    }
    if (!reader_->readFirstSector()) {
        log(kScanErrors, "* Unable to read from \"" + input + "\"\n");
        reader_.reset();
        return ScanStatus::InputFailed;
    }
    return ScanStatus::Continue;
}

void StreamScanner::close() {
    reader_.reset();
}

ScanStatus StreamScanner::step() {
    if (!reader_) return ScanStatus::NotOpen;
    if (reader_->ended()) return endTest();
    const std::uint32_t code = reader_->read(4);
    if ((code >> 8) != kPrefix) return resync();
    return dispatch(static_cast<std::uint8_t>(code));
}

ScanStatus StreamScanner::dispatch(std::uint8_t code) {
    SectorChainReader& r = *reader_;
    switch (code) {
        case kProgramEndCode:
            log(0, strprintf("MPeg End Code [LBA %d]\n", static_cast<int>(r.lba())));
            return endTest();
        case kPackStartCode:
            ++results_->packs;
            r.skip(9);  // clock reference and mux rate
            r.skip(r.read(1) & 0x07);
            return endTest();
        case kSystemHeaderCode:
            ++results_->vobusFound;
            if (results_->vobuStarts.size() < results_->vobuCapacity) {
                results_->vobuStarts.push_back(r.lba());
                results_->vobuTimes.emplace_back();
            }
            ++results_->systemHeaders;
            r.skip(8);
            // Stream entries of three bytes follow while the next byte names a stream.
            while (!r.ended() && (r.peek(0) & 0xF0) != 0) r.skip(3);
            return endTest();
        default:
            // An elementary-stream start code is no pack-level item: the walk is out of step.
            if (code < kProgramEndCode) return resync();
            return packet(code);
    }
}

// Looks for the next 00 00 01 prefix that opens a pack-level item. The prefix is searched from
// the three bytes after the item that failed; a prefix followed by an elementary-stream code (a
// start code inside a payload) does not end the search.
ScanStatus StreamScanner::resync() {
    SectorChainReader& r = *reader_;
    std::uint32_t window = r.read(3);
    unsigned moves = 0;
    std::uint8_t code = 0;
    for (;;) {
        while (window != kPrefix) {
            if (r.ended()) return endTest();
            if (++moves >= kResyncLimit) {
                log(kScanErrors,
                    strprintf("\n* Lost sync [@LBA %u], was expecting PACKET_START_CODE_PREFIX!\n",
                              r.lba()));
                close();
                return ScanStatus::LostSync;
            }
            window = ((window << 8) | r.read(1)) & 0xFFFFFF;
        }
        code = static_cast<std::uint8_t>(r.read(1));
        if (r.overrun()) return endTest();
        if (code >= kProgramEndCode) break;
        window = ((window << 8) | code) & 0xFFFFFF;
    }
    log(kScanErrors, strprintf("Skipped %u bytes for resync [@LBA %u]\n", moves, r.lba()));
    return dispatch(code);
}

ScanStatus StreamScanner::packet(std::uint8_t streamId) {
    SectorChainReader& r = *reader_;
    StreamEntry& own = results_->streams[streamId];
    StreamEntry* current = &own;
    int subStream = -1;
    if (streamId == kPrivateStream1) {
        // The sub-stream byte is the first payload byte, behind the header data.
        subStream = r.peek(5 + r.peek(4));
        ++own.packets;
        current = &results_->subStreams[static_cast<std::size_t>(subStream)];
    }
    const std::uint32_t length = r.read(2);
    ++current->packets;

    if (hasPlainPayload(streamId)) {
        own.bytes += length;
        if (streamId == kPrivateStream2) privateStream2();
        logFirstSeen(*current, streamId, subStream);
        r.skip(length);
        return endTest();
    }

    r.skip(1);
    const std::uint32_t flags = r.read(1);
    const std::uint32_t headerLength = r.read(1);
    if ((flags & pes::kPtsPresent) && current->firstPts == 0) {
        std::uint8_t five[pes::kPtsSize];
        for (unsigned i = 0; i < pes::kPtsSize; ++i) five[i] = r.peek(static_cast<long>(i));
        current->firstPts = static_cast<double>(decodePts(five)) / 90.0;
    }
    logFirstSeen(*current, streamId, subStream);
    r.skip(headerLength + 1);  // the header data and the first payload byte
    const std::uint32_t payload = length > headerLength + pes::kFixedHeaderBytes
                                      ? length - headerLength - pes::kFixedHeaderBytes
                                      : 0;
    own.bytes += payload;
    if (subStream >= 0) current->bytes += payload;
    if (streamId >= kVideoFirst && streamId <= kVideoLast && r.peek(-1, 4) == 0x000001B3)
        logSequenceHeader();
    r.skip(payload > 0 ? payload - 1 : 0);
    return endTest();
}

void StreamScanner::privateStream2() {
    SectorChainReader& r = *reader_;
    ScanResults& res = *results_;
    // The PCI and DSI of a NAV pack whose VOBU start was just kept; peeks outside the sector
    // read as 0.
    ScanVobuTime* time = !res.vobuTimes.empty() && res.vobuTimes.size() == res.vobuStarts.size() &&
                                 res.vobuStarts.back() == r.lba()
                             ? &res.vobuTimes.back()
                             : nullptr;
    if (r.peek(0) == nav::kPciSubstreamId && time) {
        time->startPtm = r.peek(kPciPayloadVobuSPtm, 4);
        time->endPtm = r.peek(kPciPayloadVobuEPtm, 4);
    }
    if (r.peek(0) != nav::kDsiSubstreamId) return;
    if (time) {
        time->vobId = static_cast<std::uint16_t>(r.peek(nav::kDsiPayloadVobId, 2));
        time->cellId = r.peek(nav::kDsiPayloadCellId);
        time->cellElapsed = r.peek(kDsiPayloadCEltm, 4);
    }
    res.lastVobuEnd = r.lba() + r.peek(nav::kDsiPayloadVobuEaLow, 2);
    const int vobId = static_cast<int>(r.peek(nav::kDsiPayloadVobId, 2));
    const int cellId = r.peek(nav::kDsiPayloadCellId);
    if (vobId == lastVobId_ && cellId == lastCellId_) return;
    if (flags_ & kScanVerbose) {
        log(kScanVerbose,
            strprintf("  %s VOB-ID: %02u/CELL-ID: %02u [@LBA %u]\n", "Found",
                      static_cast<unsigned>(vobId), static_cast<unsigned>(cellId), r.lba()));
        ++res.cellsFound;
        if (res.cells.size() < res.cellCapacity)
            res.cells.push_back({static_cast<std::uint16_t>(vobId),
                                 static_cast<std::uint8_t>(cellId), r.lba(),
                                 r.lba() + r.peek(nav::kDsiPayloadVobuEa, 4)});
    }
    lastVobId_ = vobId;
    lastCellId_ = cellId;
}

void StreamScanner::logFirstSeen(StreamEntry& entry, std::uint8_t streamId, int subStream) {
    if (!(flags_ & kScanVerbose) || entry.seen) return;
    entry.seen = true;
    std::string line = subStream >= 0
                           ? strprintf("%s 0x%02X = %s, sub 0x%02X", "Found", unsigned{streamId},
                                       "Private 1", static_cast<unsigned>(subStream))
                           : strprintf("%s 0x%02X = %s", "Found", unsigned{streamId},
                                       streamName(streamId).c_str());
    line += " [";
    if (entry.firstPts > 0) line += strprintf("PTS %s ", FormatPts(entry.firstPts).c_str());
    line += strprintf("@LBA %u]\n", reader_->lba());
    log(kScanVerbose, line);
}

// Called with the reader on the second payload byte of a video packet that opens with a
// sequence header: 12 bits of width and height, then aspect-ratio and frame-rate codes.
void StreamScanner::logSequenceHeader() {
    ScanResults& res = *results_;
    const SectorChainReader& r = *reader_;
    const std::uint32_t size = r.peek(3, 3);
    const unsigned codes = r.peek(6);
    if (!res.sequenceFound) {
        res.sequenceFound = true;
        res.width = size >> 12;
        res.height = size & 0xFFF;
        res.aspectCode = codes >> 4;
        res.frameRateCode = codes & 0x0F;
    }
    if (sequenceLogged_) return;
    sequenceLogged_ = true;
    log(kScanVerbose, strprintf("  Width = %u\n", size >> 12));
    log(kScanVerbose, strprintf("  Height = %u\n", size & 0xFFF));
    log(kScanVerbose, strprintf("  Aspect-ratio = %s\n", aspectRatioName(codes >> 4)));
    log(kScanVerbose, strprintf("  Frame-rate = %s\n", frameRateName(codes & 0x0F)));
}

ScanStatus StreamScanner::endTest() {
    if (!reader_->ended()) return ScanStatus::Continue;
    logSummary();
    close();
    return ScanStatus::End;
}

void StreamScanner::logSummary() {
    if (!(flags_ & kScanSummary)) return;
    const ScanResults& res = *results_;
    std::string text = "\nSummary:\n";
    text += strprintf("MPEG Packs = %u\n", res.packs);
    if (res.systemHeaders > 0) text += strprintf("System headers = %u\n", res.systemHeaders);
    const double videoPts = res.streams[kVideoStream].firstPts;
    for (unsigned id = 0; id < 256; ++id) {
        const StreamEntry& e = res.streams[id];
        if (e.packets == 0) continue;
        text += strprintf("%s packets = %u, total bytes = %u\n",
                          streamName(static_cast<std::uint8_t>(id)).c_str(), e.packets, e.bytes);
        if (id != kPrivateStream1) continue;
        for (unsigned sub = 0; sub < 256; ++sub) {
            const StreamEntry& s = res.subStreams[sub];
            if (s.packets == 0) continue;
            text +=
                strprintf("  Sub 0x%02X packets = %u, total bytes = %u", sub, s.packets, s.bytes);
            if (s.firstPts != 0 && videoPts != 0 && s.firstPts != videoPts)
                text += strprintf(" (delay %s)\n", FormatPts(s.firstPts - videoPts).c_str());
            else
                text += "\n";
        }
    }
    log(kScanSummary, text);
}

ScanStatus ScanStreams(const std::vector<std::string>& paths, ScanResults& results,
                       const ScanOptions& options) {
    if (options.log) options.log("Scanning for stream id's, press control-c to quit...\n");
    std::uint64_t total = 0;
    for (const auto& p : paths) {
        struct stat st {};
        if (stat(p.c_str(), &st) == 0) total += static_cast<std::uint64_t>(st.st_size);
    }
    StreamScanner scanner(options.flags, options.log);
    ScanStatus status = scanner.open(paths, results);
    if (status != ScanStatus::Continue) return status;

    // Progress in sectors, reported every 512 sectors (1 MiB) so it costs nothing.
    constexpr std::uint32_t kReportEvery = 512;
    Progress* progress = options.progress;
    if (progress)
        progress->SetRange(0, static_cast<int>(std::min<std::uint64_t>(total / 2048, 0x7FFFFFFF)),
                           1);
    std::uint32_t nextReport = kReportEvery;
    while (status == ScanStatus::Continue) {
        status = scanner.step();
        if (progress && status == ScanStatus::Continue && scanner.reader()->lba() >= nextReport) {
            nextReport = scanner.reader()->lba() + kReportEvery;
            progress->SetPos(
                static_cast<int>(std::min<std::uint32_t>(scanner.reader()->lba(), 0x7FFFFFFF)));
            progress->PeekAndPump();
            if (progress->Cancelled()) {
                scanner.close();
                return ScanStatus::Cancelled;
            }
        }
    }
    return status;
}

}  // namespace navtab::vob
