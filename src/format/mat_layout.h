// Field layout of the two management tables, VMGI_MAT (VIDEO_TS.IFO) and VTSI_MAT (VTS_xx_0.IFO),
// in file order, with the label the field list shows for each field.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace navtab {

enum class MatRow {
    Byte,          // 8-bit number
    Word,          // 16-bit number
    Dword,         // 32-bit number
    Text,          // text of at most `width` bytes, shown through `format`
    Bytes,         // run of `width` bytes
    Separator,     // empty note row
    VersionNote,   // version byte shown only as "vM.m" (no address)
    VersionByte,   // version byte as an editable 8-bit row showing "vM.m"
    RegionMask,    // 8-bit row followed by one note per allowed region
    Video,         // 16-bit video attribute word followed by its details
    Audio,         // audio attribute record (8 bytes) with details when not all zero
    Subpicture,    // sub-picture attribute record (6 bytes) with details when not all zero
    Multichannel,  // multichannel extension record (24 bytes) with details when not all zero
};

struct MatField {
    std::uint32_t offset;
    MatRow row;
    std::string_view label;        // may hold one %d, the record number counted from 1
    int count = 1;                 // consecutive fields of the same label
    std::uint32_t width = 0;       // Text and Bytes: the field width
    std::string_view format = {};  // Text: the value format
};

// Width of one field of each row kind (records and runs: per record).
std::uint32_t matFieldWidth(const MatField& f);

std::span<const MatField> vmgiMatLayout();
std::span<const MatField> vtsiMatLayout();

}  // namespace navtab
