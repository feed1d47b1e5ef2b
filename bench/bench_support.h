// What the benchmarks share: a user interaction that never shows anything, the sample files, the
// big files built from them, and a VOBU address map of many entries.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/bytes.h"
#include "core/user_interaction.h"

namespace navtab::bench {

class SilentInteraction : public UserInteraction {
  public:
    explicit SilentInteraction(bool yes = false) : yes_(yes) {}
    void message(const std::string&) override {}
    bool askYesNo(const std::string&) override { return yes_; }

  private:
    bool yes_;
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

// A VOBU address map table of `entries` VOBUs that start every 37 sectors.
inline void fillVobuAdmap(std::vector<std::uint8_t>& t, std::uint32_t entries) {
    t.assign(roundToSector(4 + 4 * std::size_t{entries}), 0);
    put32(t.data(), 4 * entries + 3);
    for (std::uint32_t i = 0; i < entries; ++i) put32(t.data() + 4 + 4 * i, 37 * i);
}

}  // namespace navtab::bench
