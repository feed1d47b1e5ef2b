#include "iso_directory.h"

#include <fstream>

namespace navtab::test {
namespace {

constexpr std::size_t kSector = 2048;

std::uint32_t le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::optional<std::vector<unsigned char>> readSectors(const std::string& image,
                                                      std::uint32_t sector, std::uint32_t length) {
    std::ifstream in(image, std::ios::binary);
    std::vector<unsigned char> bytes(length);
    in.seekg(static_cast<std::streamoff>(sector) * static_cast<std::streamoff>(kSector));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length));
    if (!in) return std::nullopt;
    return bytes;
}

std::optional<IsoEntry> rootOf(const std::string& image) {
    const auto pvd = readSectors(image, 16, kSector);
    if (!pvd || (*pvd)[0] != 1 || std::string(pvd->begin() + 1, pvd->begin() + 6) != "CD001")
        return std::nullopt;
    const unsigned char* root = pvd->data() + 156;
    return IsoEntry{"", le32(root + 2), le32(root + 10), true};
}

std::optional<std::vector<IsoEntry>> entriesOf(const std::string& image, const IsoEntry& dir) {
    const auto bytes = readSectors(image, dir.sector, dir.length);
    if (!bytes) return std::nullopt;
    std::vector<IsoEntry> entries;
    std::size_t at = 0;
    while (at < bytes->size()) {
        const unsigned char* r = bytes->data() + at;
        const std::size_t length = r[0];
        if (length == 0) {  // records never cross a sector: the rest of this one is padding
            at = (at / kSector + 1) * kSector;
            continue;
        }
        if (at + length > bytes->size() || length < 34 || 33u + r[32] > length) return std::nullopt;
        std::string name(reinterpret_cast<const char*>(r + 33), r[32]);
        at += length;
        if (name.size() == 1 && (name[0] == 0 || name[0] == 1)) continue;  // "." and ".."
        if (const auto semicolon = name.find(';'); semicolon != std::string::npos)
            name.resize(semicolon);
        entries.push_back({name, le32(r + 2), le32(r + 10), (r[25] & 2) != 0});
    }
    return entries;
}

}  // namespace

std::optional<std::vector<IsoEntry>> readIsoFolder(const std::string& image,
                                                   const std::string& path) {
    auto dir = rootOf(image);
    if (!dir) return std::nullopt;
    std::size_t start = 1;
    while (start < path.size()) {
        const auto slash = path.find('/', start);
        const std::string part = path.substr(start, slash - start);
        const auto entries = entriesOf(image, *dir);
        if (!entries) return std::nullopt;
        dir.reset();
        for (const IsoEntry& e : *entries)
            if (e.folder && e.name == part) dir = e;
        if (!dir) return std::nullopt;
        start = slash == std::string::npos ? path.size() : slash + 1;
    }
    return entriesOf(image, *dir);
}

std::string isoVolumeLabel(const std::string& image) {
    const auto pvd = readSectors(image, 16, kSector);
    if (!pvd) return {};
    std::string label(pvd->begin() + 40, pvd->begin() + 72);
    label.erase(label.find_last_not_of(' ') + 1);
    return label;
}

}  // namespace navtab::test
