// The management table of an IFO file as an object: VMGI_MAT of the video manager (with its
// first-play PGC) or VTSI_MAT of a title set. The general part and the table pointers are kept as
// they stand; the stream attributes are kept as lists so the tools can change them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/ifo_classes_attr.h"
#include "core/ifo_classes_common.h"
#include "core/ifo_classes_pgc.h"

namespace navtab {

// Fields of both management tables that the object writes.
namespace mat {
inline constexpr std::size_t kStoredSize = 254;  // 0x000-0x0FD, kept as they stand
inline constexpr std::uint32_t kVersion = 0x021;
inline constexpr std::uint32_t kEndAddress = 0x080;
inline constexpr std::uint32_t kFirstPlayPgcStart = 0x084;  // VMGI_MAT only, a byte offset
inline constexpr std::uint32_t kMenuVideo = 0x100;
inline constexpr std::uint32_t kMenuAudioCount = 0x103;
inline constexpr std::uint32_t kMenuAudio = 0x104;
inline constexpr std::uint32_t kMenuSubpCount = 0x155;
inline constexpr std::uint32_t kMenuSubp = 0x156;
inline constexpr std::uint32_t kTitleVideo = 0x200;  // VTSI_MAT only, from here on
inline constexpr std::uint32_t kTitleAudioCount = 0x203;
inline constexpr std::uint32_t kTitleAudio = 0x204;
inline constexpr std::uint32_t kTitleSubpCount = 0x255;
inline constexpr std::uint32_t kTitleSubp = 0x256;

inline constexpr std::size_t kMenuAudioSlots = 8;
inline constexpr std::size_t kMenuSubpSlots = 1;
inline constexpr std::size_t kTitleAudioSlots = 8;
inline constexpr std::size_t kTitleSubpSlots = 32;

// Where the first-play PGC of a new video manager goes: right after the 1024 bytes of fields.
inline constexpr std::uint32_t kVmgFieldsSize = 0x400;
inline constexpr std::size_t kVtsiMatSize = 2048;
}  // namespace mat

enum class MatForm { TitleSet, Manager };

class CIfoMat {
  public:
    // A new management table of that form: "DVDVIDEO-VTS", or "DVDVIDEO-VMG" with one volume, one
    // title set and a first-play PGC that jumps to title 1.
    explicit CIfoMat(MatForm form);
    // Parses a management table; the form follows the identifier ("DVDVIDEO-VMG" is a manager).
    explicit CIfoMat(ByteSpan table);
    CIfoMat(MatForm form, ByteSpan table);

    // VTSI_MAT: 2048. VMGI_MAT: 1024 plus the first-play PGC.
    std::size_t size() const;
    std::string layoutError() const;
    Serialised serialise();

    CIfoAudioAttr* AddMenuAudio();
    CIfoSubpAttr* AddMenuSubp();
    CIfoAudioAttr* AddTitleAudio();
    CIfoSubpAttr* AddTitleSubp();

    MatForm form;
    std::array<std::uint8_t, mat::kStoredSize> stored{};
    std::uint16_t menuVideo = 0;
    std::uint16_t titleVideo = 0;
    std::vector<std::unique_ptr<CIfoAudioAttr>> menuAudio;
    std::vector<std::unique_ptr<CIfoSubpAttr>> menuSubp;
    std::vector<std::unique_ptr<CIfoAudioAttr>> titleAudio;
    std::vector<std::unique_ptr<CIfoSubpAttr>> titleSubp;
    std::unique_ptr<CIfoPgc> firstPlay;  // manager form only
};

}  // namespace navtab
