#include "core/ifo_classes_mat.h"

#include <algorithm>
#include <cstring>

#include "core/bytes.h"
#include "core/ifo_tables.h"

namespace navtab {
namespace {

constexpr char kVmgIdentifier[] = "DVDVIDEO-VMG";
constexpr char kVtsIdentifier[] = "DVDVIDEO-VTS";
constexpr char kProviderId[] = "NAVTAB BY KORVEL";
constexpr std::uint32_t kProviderField = 0x040;
constexpr std::uint8_t kVersion11 = 0x11;
// The one command of a new first-play PGC: jump to title 1.
constexpr std::array<std::uint8_t, 8> kJumpTitle1 = {0x30, 0x02, 0x00, 0x00,
                                                     0x00, 0x01, 0x00, 0x00};

MatForm formOf(ByteSpan table) {
    return table.size() >= kMatIdentifierLength &&
                   std::memcmp(table.data() + kMatIdentifier, kVmgIdentifier,
                               kMatIdentifierLength) == 0
               ? MatForm::Manager
               : MatForm::TitleSet;
}

// A stream count byte and the records it counts, at most as many as the table has room for.
template <typename Attr>
void parseRecords(ByteSpan table, std::uint32_t countField, std::uint32_t first, std::size_t slots,
                  AttrList<Attr>& out) {
    const std::size_t n = std::min<std::size_t>(ByteReader(table).u8(countField), slots);
    parseAttrRecords(table, first, n, out);
}

template <typename Attr>
void writeRecords(ByteWriter& out, std::uint32_t countField, std::uint32_t first,
                  const AttrList<Attr>& records) {
    out.u8(countField, static_cast<std::uint8_t>(records.size()));
    writeAttrRecords(out, first, records);
}

}  // namespace

CIfoMat::CIfoMat(MatForm matForm) : form(matForm) {
    const bool manager = form == MatForm::Manager;
    std::memcpy(stored.data() + kMatIdentifier, manager ? kVmgIdentifier : kVtsIdentifier,
                kMatIdentifierLength);
    stored[mat::kVersion] = kVersion11;
    if (!manager) return;
    stored[0x0F] = 21;               // last sector of the VMG
    stored[0x23] = 0x40;             // region mask: region 7 not allowed
    put16(stored.data() + 0x26, 1);  // number of volumes
    put16(stored.data() + 0x28, 1);  // this volume
    stored[0x2A] = 1;                // disc side
    put16(stored.data() + 0x3E, 1);  // number of title sets
    put32(stored.data() + mat::kFirstPlayPgcStart, mat::kVmgFieldsSize);
    std::memcpy(stored.data() + kProviderField, kProviderId, sizeof kProviderId - 1);
    firstPlay = std::make_unique<CIfoPgc>();
    firstPlay->AddCommand(CommandGroup::Pre, kJumpTitle1);
}

CIfoMat::CIfoMat(ByteSpan table) : CIfoMat(formOf(table), table) {}

CIfoMat::CIfoMat(MatForm matForm, ByteSpan table) : form(matForm) {
    const ByteReader in(table);
    in.copy(0, stored);
    menuVideo = in.u16(mat::kMenuVideo);
    parseRecords(table, mat::kMenuAudioCount, mat::kMenuAudio, mat::kMenuAudioSlots, menuAudio);
    parseRecords(table, mat::kMenuSubpCount, mat::kMenuSubp, mat::kMenuSubpSlots, menuSubp);
    if (form == MatForm::TitleSet) {
        titleVideo = in.u16(mat::kTitleVideo);
        parseRecords(table, mat::kTitleAudioCount, mat::kTitleAudio, mat::kTitleAudioSlots,
                     titleAudio);
        parseRecords(table, mat::kTitleSubpCount, mat::kTitleSubp, mat::kTitleSubpSlots, titleSubp);
        return;
    }
    if (const std::uint32_t start = in.u32(mat::kFirstPlayPgcStart); start != 0)
        firstPlay = std::make_unique<CIfoPgc>(table, start);
}

std::size_t CIfoMat::size() const {
    if (form == MatForm::TitleSet) return mat::kVtsiMatSize;
    return mat::kVmgFieldsSize + (firstPlay ? firstPlay->size() : 0);
}

std::string CIfoMat::layoutError() const {
    const bool manager = form == MatForm::Manager;
    const char* table = manager ? "VMGI_MAT" : "VTSI_MAT";
    if (std::string e =
            streamRecordsError(table, {{menuAudio.size(), mat::kMenuAudioSlots},
                                       {menuSubp.size(), mat::kMenuSubpSlots},
                                       {titleAudio.size(), manager ? 0 : mat::kTitleAudioSlots},
                                       {titleSubp.size(), manager ? 0 : mat::kTitleSubpSlots}});
        !e.empty())
        return e;
    if (!manager || !firstPlay) return {};
    if (std::string e = firstPlay->layoutError(); !e.empty()) return "first-play " + e;
    // The management table is one sector of the file: the first-play PGC must lie behind its
    // fields and inside that sector, or it would overwrite them or the first table.
    const std::size_t start = be32(stored.data() + mat::kFirstPlayPgcStart);
    if (start < mat::kVmgFieldsSize || start + firstPlay->size() > kSectorSize)
        return "VMGI_MAT: the first-play PGC (" + std::to_string(firstPlay->size()) +
               " bytes at byte " + std::to_string(start) +
               ") does not fit between byte 1024 and the end of the first sector";
    return {};
}

Serialised CIfoMat::serialise() {
    return serialiseTable(layoutError(), size(), [&](ByteWriter& out) {
        put32(stored.data() + mat::kEndAddress, static_cast<std::uint32_t>(size() - 1));
        out.bytes(0, stored);
        out.u16(mat::kMenuVideo, menuVideo);
        writeRecords(out, mat::kMenuAudioCount, mat::kMenuAudio, menuAudio);
        writeRecords(out, mat::kMenuSubpCount, mat::kMenuSubp, menuSubp);
        if (form == MatForm::TitleSet) {
            out.u16(mat::kTitleVideo, titleVideo);
            writeRecords(out, mat::kTitleAudioCount, mat::kTitleAudio, titleAudio);
            writeRecords(out, mat::kTitleSubpCount, mat::kTitleSubp, titleSubp);
        } else if (firstPlay) {
            firstPlay->write(out, be32(stored.data() + mat::kFirstPlayPgcStart));
        }
    });
}

CIfoAudioAttr* CIfoMat::AddMenuAudio() {
    return addAttrRecord(menuAudio);
}
CIfoSubpAttr* CIfoMat::AddMenuSubp() {
    return addAttrRecord(menuSubp);
}
CIfoAudioAttr* CIfoMat::AddTitleAudio() {
    return addAttrRecord(titleAudio);
}
CIfoSubpAttr* CIfoMat::AddTitleSubp() {
    return addAttrRecord(titleSubp);
}

}  // namespace navtab
