#include "vob/vobu_info.h"

#include "core/ifo_classes_common.h"

namespace navtab::vob {
namespace {

// A BCD byte read as its two hexadecimal digits taken for decimal ones (0x59 gives 59).
std::uint32_t bcd(std::uint32_t byte) {
    return ((byte >> 4) & 0x0F) * 10 + (byte & 0x0F);
}

bool isSearchSpecial(std::uint32_t word, bool stepPointer) {
    return word == nav::kSearchNone || word == nav::kSearchSpecial7F ||
           word == nav::kSearchSpecialBF || (stepPointer && word == nav::kSearchStepSpecial);
}

}  // namespace

ElapsedTime decodeElapsedTime(std::uint32_t word) {
    const std::uint32_t frameByte = word & 0xFF;
    ElapsedTime t;
    t.rate = (frameByte & 0xC0) == 0x40 ? 25 : 30;
    t.seconds = bcd(word >> 24) * 3600 + bcd((word >> 16) & 0xFF) * 60 + bcd((word >> 8) & 0xFF);
    t.frames = t.seconds * t.rate + bcd(frameByte & 0x3F);
    return t;
}

SearchPointer decodeSearchPointer(std::uint32_t word, bool stepPointer) {
    SearchPointer p;
    p.flags = word & nav::kSearchFlagsMask;
    if (isSearchSpecial(word, stepPointer)) {
        p.special = word;
        p.distance = 0xFFFFFFFFu;
    } else {
        p.distance = word & nav::kSearchDistanceMask;
    }
    return p;
}

SyncOffset decodeAudioSync(std::uint16_t word) {
    if (word == 0 || word == nav::kAudioSyncNone) return {word, 0xFFFFFFFFu};
    if (word & nav::kAudioSyncBackward)
        return {SyncOffset::kBackward, std::uint32_t{word} & nav::kAudioSyncDistanceMask};
    return {SyncOffset::kForward, word};
}

SyncOffset decodeSubpSync(std::uint32_t word) {
    if (word == 0 || word == nav::kSubpSyncNone || word == nav::kSubpSyncSpecial7F)
        return {word, 0xFFFFFFFFu};
    if (word & nav::kSubpSyncBackward)
        return {SyncOffset::kBackward, word & nav::kSubpSyncDistanceMask};
    return {SyncOffset::kForward, word};
}

bool isNavPack(SectorBytes sector) {
    return sector.size() > kStreamIdByte && sector[kStreamIdByte] == kSystemHeaderCode;
}

VobuInfo ParseNavPackFull(SectorBytes sector) {
    const ByteReader in(sector);
    VobuInfo v;
    v.lbn = in.u32(nav::kPciLbn);
    v.vobId = in.u16(nav::kVobId);
    v.cellId = in.u8(nav::kCellId);
    v.eltm = in.u32(nav::kPciEEltm);
    v.sPtm = in.u32(nav::kVobuSPtm);
    v.ePtm = in.u32(nav::kVobuEPtm);
    const ElapsedTime t = decodeElapsedTime(v.eltm);
    v.rate = t.rate;
    v.eltmSeconds = t.seconds;
    v.eltmFrames = t.frames;

    // The DSI lists the forward pointers farthest first; the record keeps both nearest first.
    for (std::uint32_t i = 0; i < nav::kStepCount; ++i) {
        v.forward[nav::kStepCount - 1 - i] =
            decodeSearchPointer(in.u32(nav::kForward + 4 * i), true);
        v.backward[i] = decodeSearchPointer(in.u32(nav::kBackward + 4 * i), true);
    }
    v.nextVideo = decodeSearchPointer(in.u32(nav::kNextVideo), false);
    v.nextVobu = decodeSearchPointer(in.u32(nav::kNextVobu), false);
    v.prevVobu = decodeSearchPointer(in.u32(nav::kPrevVobu), false);
    v.prevVideo = decodeSearchPointer(in.u32(nav::kPrevVideo), false);

    for (std::uint32_t i = 0; i < nav::kAudioStreams; ++i)
        v.audioSync[i] = decodeAudioSync(v.sourceAudioSync[i] = in.u16(nav::kAudioSync + 2 * i));
    for (std::uint32_t i = 0; i < nav::kSubpStreams; ++i)
        v.subpSync[i] = decodeSubpSync(in.u32(nav::kSubpSync + 4 * i));

    v.ilvuCategory = in.u16(nav::kIlvuCategory);
    v.ilvuEnd = in.u32(nav::kIlvuEa);
    v.ilvuStart = in.u32(nav::kIlvuSa);
    v.ilvuSize = in.u16(nav::kIlvuSize);
    for (std::uint32_t i = 0; i < nav::kAngleCount; ++i) {
        v.nsmlAngle[i] = in.u32(nav::kNsmlAngle + 4 * i);
        v.smlAngleAddress[i] = in.u32(nav::kSmlAngle + nav::kSmlAngleEntrySize * i);
        v.smlAngleSize[i] = in.u16(nav::kSmlAngle + nav::kSmlAngleEntrySize * i + 4);
    }
    return v;
}

}  // namespace navtab::vob
