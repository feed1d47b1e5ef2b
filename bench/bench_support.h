// What the benchmarks share: a user interaction that never shows anything, the sample files, the
// big files built from them, a VOBU address map of many entries.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "core/bytes.h"
#include "core/user_interaction.h"

namespace navtab::bench {

struct SilentInteraction : UserInteraction {
    void message(const std::string&) override {}
    bool askYesNo(const std::string&) override { return yes; }
    bool yes = false;  // the answer to every question
};

// A file of the sample discs: sample("ntsc43/VIDEO_TS/VTS_01_1.VOB").
inline std::string sample(const std::string& path) {
    return std::string(NAVTAB_TEST_DATA) + "/" + path;
}

inline std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Writes `bytes` again and again to `path` until at least `atLeast` bytes (or, with `whole`
// false, as many whole copies as fit in `atLeast`) are written.
inline void writeRepeated(const std::string& path, const std::string& bytes, std::uintmax_t atLeast,
                          bool whole = true) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (std::uintmax_t n = 0; whole ? n < atLeast : n + bytes.size() <= atLeast; n += bytes.size())
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A big input made at the first run and kept in /tmp: `make` writes the file it is given, which
// becomes `path` once it succeeded (a broken run leaves nothing behind). Empty when it failed.
inline std::string keptFile(const std::string& path,
                            const std::function<bool(const std::string&)>& make) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::file_size(path, ec) > 0 && !ec) return path;
    fs::create_directories(fs::path(path).parent_path());
    if (!make(path + ".part")) return {};
    fs::rename(path + ".part", path);
    return path;
}

// A VOBU address map table of `entries` VOBUs that start every 37 sectors.
inline void fillVobuAdmap(std::vector<std::uint8_t>& t, std::uint32_t entries) {
    t.assign(roundToSector(4 + 4 * std::size_t{entries}), 0);
    put32(t.data(), 4 * entries + 3);
    for (std::uint32_t i = 0; i < entries; ++i) put32(t.data() + 4 + 4 * i, 37 * i);
}

}  // namespace navtab::bench
