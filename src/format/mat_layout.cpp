#include "format/mat_layout.h"

#include "format/stream_attributes.h"

namespace navtab {
namespace {

using R = MatRow;

constexpr MatField kVmgiMat[] = {
    {0x000, R::Text, "VMG Identifier", 1, 12, "%12s"},
    {0x00C, R::Dword, "Last Sector of VMG"},
    {0x010, R::Dword, "Reserved", 3},
    {0x01C, R::Dword, "Last Sector of VMGI"},
    {0x020, R::Byte, "Reserved"},
    {0x021, R::VersionNote, "Specification version number"},
    {0x022, R::Byte, "VMG Category"},
    {0x023, R::RegionMask, "VMG Category, Regional Code mask"},
    {0x024, R::Word, "VMG Category"},
    {0x026, R::Word, "VMG Number of Volumes"},
    {0x028, R::Word, "VMG This Volume"},
    {0x02A, R::Byte, "Disc side"},
    {0x02B, R::Byte, "Reserved"},
    {0x02C, R::Dword, "Reserved", 4},
    {0x03C, R::Word, "Reserved"},
    {0x03E, R::Word, "VMG Number of Title Sets"},
    {0x040, R::Text, "Provider ID", 1, 32, "%-32s"},
    {0x060, R::Bytes, "VMG POS Code", 1, 8},
    {0x068, R::Dword, "Reserved", 6},
    {0x080, R::Dword, "End byte of VMGI_MAT"},
    {0x084, R::Dword, "First Play PGC start byte (FP_PGC)"},
    {0x088, R::Dword, "Reserved", 14},
    {0x0C0, R::Dword, "Start sector of VMGM_VOBS"},
    {0x0C4, R::Dword, "Start offset of VMG_PTT_SRPT"},
    {0x0C8, R::Dword, "Start offset of VMGM_PGCI_UT"},
    {0x0CC, R::Dword, "Start offset of VMG_PTL_MAIT"},
    {0x0D0, R::Dword, "Start offset of VMG_VTS_ATRT"},
    {0x0D4, R::Dword, "Start offset of VMG_TXTDT_MG"},
    {0x0D8, R::Dword, "Start offset of VMGM_C_ADT"},
    {0x0DC, R::Dword, "Start offset of VMGM_VOBU_ADMAP"},
    {0x0E0, R::Dword, "Reserved", 8},
    {0x100, R::Separator, ""},
    {0x100, R::Video, "Video attributes of VMGM_VOBS"},
    {0x102, R::Byte, "Reserved"},
    {0x103, R::Byte, "Number of audio streams in VMGM_VOBS"},
    {0x104, R::Audio, "    Audio_%d: VMGM audio attributes", 8},
    {0x144, R::Dword, "Reserved", 4},
    {0x154, R::Byte, "Reserved"},
    {0x155, R::Byte, "Number of Sub-picture streams in VMGM"},
    {0x156, R::Subpicture, "    Sub-pic_%d: VMGM sub-picture stream attributes"},
};

constexpr MatField kVtsiMat[] = {
    {0x000, R::Text, "VTS Identifier", 1, 12, "%-12s"},
    {0x00C, R::Dword, "Last Sector of VTS"},
    {0x010, R::Dword, "Reserved", 3},
    {0x01C, R::Dword, "Last Sector of VTSI"},
    {0x020, R::Byte, "Reserved"},
    {0x021, R::VersionByte, "Specification version number"},
    {0x022, R::Dword, "VTS Category"},
    {0x026, R::Word, "Reserved"},
    {0x028, R::Word, "Reserved"},
    {0x02A, R::Byte, "Reserved"},
    {0x02B, R::Byte, "Reserved"},
    {0x02C, R::Dword, "Reserved", 4},
    {0x03C, R::Word, "Reserved"},
    {0x03E, R::Word, "Reserved"},
    {0x040, R::Bytes, "Reserved", 1, 32},
    {0x060, R::Bytes, "Reserved", 1, 8},
    {0x068, R::Dword, "Reserved", 6},
    {0x080, R::Dword, "End byte of VTSI_MAT"},
    {0x084, R::Dword, "Reserved", 15},
    {0x0C0, R::Dword, "Start sector of VTSM_VOBS"},
    {0x0C4, R::Dword, "Start sector of VTSTT_VOBS"},
    {0x0C8, R::Dword, "Start offset of VTS_PTT_SRPT"},
    {0x0CC, R::Dword, "Start offset of VTS_PGCIT"},
    {0x0D0, R::Dword, "Start offset of VTSM_PGCI_UT"},
    {0x0D4, R::Dword, "Start offset of VTS_TMAPT"},
    {0x0D8, R::Dword, "Start offset of VTSM_C_ADT"},
    {0x0DC, R::Dword, "Start offset of VTSM_VOBU_ADMAP"},
    {0x0E0, R::Dword, "Start offset of VTS_C_ADT"},
    {0x0E4, R::Dword, "Start offset of VTS_VOBU_ADMAP"},
    {0x0E8, R::Dword, "Reserved", 6},
    {0x100, R::Separator, ""},
    {0x100, R::Video, "Video attributes of VTSM_VOBS"},
    {0x102, R::Byte, "Reserved"},
    {0x103, R::Byte, "Number of audio streams in VTSM_VOBS"},
    {0x104, R::Audio, "  Audio_%d: VTSM audio attributes", 8},
    {0x144, R::Dword, "Reserved", 4},
    {0x154, R::Byte, "Reserved"},
    {0x155, R::Byte, "Number of Sub-picture streams in VTSM"},
    {0x156, R::Subpicture, "Sub-pic_%d: VTSM sub-picture stream attributes"},
    {0x15C, R::Separator, ""},
    {0x1FE, R::Word, "Reserved"},
    {0x200, R::Video, "Video attributes of VTSTT_VOBS"},
    {0x202, R::Byte, "Reserved"},
    {0x203, R::Byte, "Number of audio streams in VTSTT_VOBS"},
    {0x204, R::Audio, "Aud_%d: audio attributes", 8},
    {0x254, R::Byte, "Reserved"},
    {0x255, R::Byte, "Number of sub-picture streams in VTSTT_VOBS"},
    {0x256, R::Subpicture, "Sub-p_%02d: Sub-picture stream attributes", 32},
    {0x316, R::Word, "Reserved"},
    {0x318, R::Multichannel, "%02d. Multichannel extension", 8},
};

}  // namespace

std::uint32_t matFieldWidth(const MatField& f) {
    switch (f.row) {
        case R::Byte:
        case R::VersionNote:
        case R::VersionByte:
        case R::RegionMask:
            return 1;
        case R::Word:
        case R::Video:
            return 2;
        case R::Dword:
            return 4;
        case R::Text:
        case R::Bytes:
            return f.width;
        case R::Audio:
            return kAudioAttrSize;
        case R::Subpicture:
            return kSubpAttrSize;
        case R::Multichannel:
            return kMultichannelSize;
        case R::Separator:
            return 0;
    }
    return 0;
}

std::span<const MatField> vmgiMatLayout() {
    return kVmgiMat;
}
std::span<const MatField> vtsiMatLayout() {
    return kVtsiMat;
}

}  // namespace navtab
