// Where things lie inside a 2048-byte VOB sector: the MPEG-2 pack header, the PES packet that
// follows it, and every field of a navigation pack (NAV pack) that Navtab reads or writes. A NAV
// pack is the first pack of each video object unit (VOBU): a pack header, a system header, then
// two private stream 2 packets, the presentation control information (PCI) and the data search
// information (DSI). All numbers are big-endian. This is the one place these offsets are written
// down; every VOB reader and writer takes them from here.
#pragma once

#include <cstdint>

namespace navtab::vob {

// ---- Sector level -------------------------------------------------------------------------

// Every DVD pack starts with a 14-byte MPEG-2 pack header (00 00 01 BA, clock reference, mux
// rate, no stuffing), so the start code of whatever follows ends at byte 17.
inline constexpr std::uint32_t kPackHeaderSize = 14;
inline constexpr std::uint32_t kStreamIdByte = 17;

// Stream ids as they stand in byte 17 (and after any 00 00 01 prefix).
inline constexpr std::uint8_t kProgramEndCode = 0xB9;
inline constexpr std::uint8_t kPackStartCode = 0xBA;
inline constexpr std::uint8_t kSystemHeaderCode = 0xBB;  // in a VOB: the NAV pack
inline constexpr std::uint8_t kProgramStreamMap = 0xBC;
inline constexpr std::uint8_t kPrivateStream1 = 0xBD;  // AC-3, DTS, LPCM audio, sub-pictures
inline constexpr std::uint8_t kPaddingStream = 0xBE;
inline constexpr std::uint8_t kPrivateStream2 = 0xBF;  // PCI and DSI
inline constexpr std::uint8_t kMpegAudioFirst = 0xC0;
inline constexpr std::uint8_t kMpegAudioLast = 0xC7;
inline constexpr std::uint8_t kVideoFirst = 0xE0;
inline constexpr std::uint8_t kVideoLast = 0xE7;
inline constexpr std::uint8_t kVideoStream = 0xE0;  // the one video stream of a DVD

// ---- The PES packet that follows the pack header ------------------------------------------

// An MPEG-2 PES packet: 00 00 01, stream id, 16-bit length of what follows the length field,
// two flag bytes, the length of the optional header data, the header data, then the payload.
namespace pes {
inline constexpr std::uint32_t kStart = kPackHeaderSize;  // 00 00 01 xx at 14..17
inline constexpr std::uint32_t kLength = 18;              // 16-bit
inline constexpr std::uint32_t kLengthEnd = 20;           // the packet ends at 20 + length
inline constexpr std::uint32_t kFlags2 = 21;              // bit 7: a PTS is present
inline constexpr std::uint8_t kPtsPresent = 0x80;
inline constexpr std::uint32_t kHeaderDataLength = 22;
inline constexpr std::uint32_t kHeaderData = 23;  // the PTS, when present, is its first 5 bytes
inline constexpr std::uint32_t kPtsSize = 5;
// Bytes of the packet length taken by the two flag bytes and the header data length byte.
inline constexpr std::uint32_t kFixedHeaderBytes = 3;
}  // namespace pes

// First payload byte of a private stream 1 packet: which sub-stream it carries.
namespace substream {
inline constexpr std::uint8_t kSubpictureFirst = 0x20;
inline constexpr std::uint8_t kSubpictureLast = 0x3F;
inline constexpr std::uint8_t kAc3First = 0x80;
inline constexpr std::uint8_t kAc3Last = 0x87;
inline constexpr std::uint8_t kDtsFirst = 0x88;
inline constexpr std::uint8_t kDtsLast = 0x8F;
inline constexpr std::uint8_t kLpcmFirst = 0xA0;
inline constexpr std::uint8_t kLpcmLast = 0xA7;
}  // namespace substream

// ---- The navigation pack ------------------------------------------------------------------

namespace nav {
// Packet layout: the pack header, the system header (00 00 01 BB at 14..17, 24 bytes), the PCI
// packet (header at 38, sub-stream byte 0x00 at 44, data 45..1023), the DSI packet (header at
// 1024, sub-stream byte 0x01 at 1030, data 1031..2047).
inline constexpr std::uint32_t kSystemHeader = 14;
inline constexpr std::uint32_t kPciPacket = 38;
inline constexpr std::uint32_t kPciSubstream = 44;
inline constexpr std::uint32_t kPciData = 45;
inline constexpr std::uint32_t kDsiPacket = 1024;
inline constexpr std::uint32_t kDsiSubstream = 1030;
inline constexpr std::uint32_t kDsiData = 1031;
inline constexpr std::uint8_t kPciSubstreamId = 0x00;
inline constexpr std::uint8_t kDsiSubstreamId = 0x01;

// PCI general information.
inline constexpr std::uint32_t kPciLbn = 45;      // 32-bit: this pack's sector in its VOB group
inline constexpr std::uint32_t kPciUopCtl = 53;   // 32-bit: prohibited user operations
inline constexpr std::uint32_t kVobuSPtm = 57;    // 32-bit: VOBU start time, 90 kHz
inline constexpr std::uint32_t kVobuEPtm = 61;    // 32-bit: VOBU end time, 90 kHz
inline constexpr std::uint32_t kPciEEltm = 69;    // 4 bytes BCD h m s f: cell elapsed time
inline constexpr std::uint32_t kNsmlAngle = 105;  // 9 x 32-bit non-seamless angle destinations
inline constexpr std::uint32_t kAngleCount = 9;

// PCI highlight information: the menu buttons of the VOBU.
inline constexpr std::uint32_t kHliStatus =
    141;  // 16-bit, bits 1..0: 0 none, 1 new, 2 same, 3 new commands
inline constexpr std::uint32_t kButtonMode = 155;      // 16-bit, bits 13..12: button groups
inline constexpr std::uint32_t kButtonOffset = 157;    // 8-bit: number of the first button
inline constexpr std::uint32_t kButtonCount = 158;     // 8-bit
inline constexpr std::uint32_t kNumericButtons = 159;  // 8-bit: buttons selectable by number
inline constexpr std::uint32_t kForcedSelect = 161;    // 8-bit: button selected on arrival
inline constexpr std::uint32_t kForcedActivate = 162;  // 8-bit: button activated on arrival
inline constexpr std::uint32_t kButtons = 187;         // 36 x 18-byte button records
inline constexpr std::uint32_t kButtonSize = 18;
inline constexpr std::uint32_t kMaxButtons = 36;
// Inside a button record: the auto-action mode in byte 3 bits 7..6, the neighbours up, down,
// left and right in bytes 6..9 (bits 5..0) and the button command in bytes 10..17.
inline constexpr std::uint32_t kButtonAutoAction = 3;
inline constexpr std::uint32_t kButtonUp = 6;
inline constexpr std::uint32_t kButtonCommand = 10;

// DSI general information.
inline constexpr std::uint32_t kDsiLbn = 1035;    // 32-bit: this pack's sector
inline constexpr std::uint32_t kVobuEa = 1039;    // 32-bit: last sector of the VOBU, relative
inline constexpr std::uint32_t kRef1Ea = 1043;    // 32-bit: end of the first reference picture
inline constexpr std::uint32_t kRef2Ea = 1047;    // 32-bit: ... second
inline constexpr std::uint32_t kRef3Ea = 1051;    // 32-bit: ... third
inline constexpr std::uint32_t kVobId = 1055;     // 16-bit
inline constexpr std::uint32_t kCellId = 1058;    // 8-bit
inline constexpr std::uint32_t kDsiCEltm = 1059;  // 4 bytes BCD: cell elapsed time

// DSI seamless playback information.
inline constexpr std::uint32_t kIlvuCategory = 1063;  // 16-bit, bit 14: part of an ILVU
inline constexpr std::uint16_t kIlvuFlag = 0x4000;
inline constexpr std::uint16_t kIlvuUnitEnd = 0x1000;  // bit 12: last VOBU of its ILVU
inline constexpr std::uint32_t kIlvuEa = 1065;         // 32-bit
inline constexpr std::uint32_t kIlvuSa = 1069;         // 32-bit: next ILVU start
inline constexpr std::uint32_t kIlvuSize = 1073;       // 16-bit: next ILVU size

// DSI seamless angle information: 9 x (32-bit address, 16-bit size).
inline constexpr std::uint32_t kSmlAngle = 1211;
inline constexpr std::uint32_t kSmlAngleEntrySize = 6;

// DSI VOBU search information: 42 words from 1265 to 1432.
inline constexpr std::uint32_t kNextVideo = 1265;
inline constexpr std::uint32_t kForward = 1269;  // 19 words, the farthest first
inline constexpr std::uint32_t kNextVobu = 1345;
inline constexpr std::uint32_t kPrevVobu = 1349;
inline constexpr std::uint32_t kBackward = 1353;  // 19 words, the nearest first
inline constexpr std::uint32_t kPrevVideo = 1429;
inline constexpr std::uint32_t kStepCount = 19;

// DSI synchronous information.
inline constexpr std::uint32_t kAudioSync = 1433;  // 8 x 16-bit, audio streams 0..7
inline constexpr std::uint32_t kAudioStreams = 8;
inline constexpr std::uint32_t kSubpSync = 1449;  // 32 x 32-bit, sub-picture streams 0..31
inline constexpr std::uint32_t kSubpStreams = 32;

// Offsets inside the DSI packet's payload (which starts with the sub-stream byte at 1030), as a
// reader that walks packets sees them.
inline constexpr std::uint32_t kDsiPayloadVobuEa = kVobuEa - kDsiSubstream;         // 9..12
inline constexpr std::uint32_t kDsiPayloadVobuEaLow = kVobuEa + 2 - kDsiSubstream;  // 11..12
inline constexpr std::uint32_t kDsiPayloadVobId = kVobId - kDsiSubstream;           // 25..26
inline constexpr std::uint32_t kDsiPayloadCellId = kCellId - kDsiSubstream;         // 28

// ---- Special values -----------------------------------------------------------------------

// Search pointer words: the top two bits are flags; these words mean "no such VOBU", "end of
// cell" and the like and are never relocated. 0x80000000 is special for the 38 step pointers
// only.
inline constexpr std::uint32_t kSearchFlagsMask = 0xC0000000u;
inline constexpr std::uint32_t kSearchDistanceMask = 0x3FFFFFFFu;
inline constexpr std::uint32_t kSearchNone = 0x3FFFFFFFu;
inline constexpr std::uint32_t kSearchSpecial7F = 0x7FFFFFFFu;
inline constexpr std::uint32_t kSearchSpecialBF = 0xBFFFFFFFu;
inline constexpr std::uint32_t kSearchStepSpecial = 0x80000000u;

// Audio sync words: 0 and 0x3FFF are special; bit 15 marks a backward distance in bits 0..13.
inline constexpr std::uint16_t kAudioSyncNone = 0x3FFF;
inline constexpr std::uint16_t kAudioSyncBackward = 0x8000;
inline constexpr std::uint16_t kAudioSyncDistanceMask = 0x3FFF;

// Sub-picture sync words: 0, 0x3FFFFFFF and 0x7FFFFFFF are special; bit 31 marks a backward
// distance in bits 0..29.
inline constexpr std::uint32_t kSubpSyncNone = 0x3FFFFFFFu;
inline constexpr std::uint32_t kSubpSyncSpecial7F = 0x7FFFFFFFu;
inline constexpr std::uint32_t kSubpSyncBackward = 0x80000000u;
inline constexpr std::uint32_t kSubpSyncDistanceMask = 0x3FFFFFFFu;
}  // namespace nav

}  // namespace navtab::vob
