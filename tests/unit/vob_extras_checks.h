// What the VOB Extras and re-mux tests check on the files a run wrote, independently of the code
// that wrote them: the sectors of a VOB file, every NAV pack walked against the source VOBU it
// was copied from, and a scratch copy of a sample disc whose source must come through unchanged.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "unit/test_support.h"

namespace navtab::test {

namespace fs = std::filesystem;
constexpr std::size_t kSector = 2048;

// The VOB file of one title set (or one menu VOB) as one run of sectors.
struct SectorRun {
    Bytes bytes;
    explicit SectorRun(const std::string& file) : bytes(readFile(file)) {}
    std::size_t sectors() const { return bytes.size() / kSector; }
    const std::uint8_t* at(std::size_t s) const { return &bytes[s * kSector]; }
    std::vector<std::uint32_t> navSectors() const {
        std::vector<std::uint32_t> out;
        for (std::size_t s = 0; s < sectors(); ++s)
            if (at(s)[17] == 0xBB) out.push_back(static_cast<std::uint32_t>(s));
        return out;
    }
    std::uint16_t vobId(std::size_t s) const { return be16(at(s) + 1055); }
    // The private stream 1 sub-stream id of a sector, or its MPEG stream id.
    int streamOf(std::size_t s) const {
        return at(s)[17] == 0xBD ? at(s)[23 + at(s)[22]] : at(s)[17];
    }
    std::vector<std::size_t> vobusWhere(const std::function<bool(std::uint16_t)>& keep) const {
        std::vector<std::size_t> kept;
        const auto nav = navSectors();
        for (std::size_t i = 0; i < nav.size(); ++i)
            if (keep(vobId(nav[i]))) kept.push_back(i);
        return kept;
    }
};

// The 42 search words: next video, 19 forward (farthest first), next, previous, 19 backward
// (nearest first), previous video; the first 21 point ahead, the 38 step words are 1269..1425
// but for next and previous at 1345 and 1349.
inline bool reservedSearch(std::uint32_t word, bool step) {
    return word == 0x3FFFFFFF || word == 0x7FFFFFFF || word == 0xBFFFFFFF ||
           (step && word == 0x80000000);
}

// Every NAV pack of `out` against the source VOBU it was copied from: `kept` lists, for each
// output VOBU, the index of its source VOBU. Old pointers name source sectors; the output must
// name the output VOBU that stands for the first kept source VOBU at or beyond (before) it.
// Streams left out have no packets in the output, and their offsets must say so (0).
inline void checkNavPacks(const SectorRun& src, const SectorRun& out,
                          const std::vector<std::size_t>& kept,
                          const std::set<int>& strippedAudio = {},
                          const std::set<int>& strippedSubp = {}) {
    const auto srcNav = src.navSectors(), outNav = out.navSectors();
    ASSERT_EQ(outNav.size(), kept.size());
    for (std::size_t i = 0; i < outNav.size(); ++i) {
        SCOPED_TRACE("output VOBU " + std::to_string(i) + " at " + std::to_string(outNav[i]));
        const std::uint8_t *o = out.at(outNav[i]), *s = src.at(srcNav[kept[i]]);
        const std::int64_t here = srcNav[kept[i]];
        EXPECT_EQ(be32(o + 45), outNav[i]);
        EXPECT_EQ(be32(o + 1035), outNav[i]);
        const auto end = i + 1 < outNav.size() ? outNav[i + 1] : out.sectors();
        EXPECT_EQ(outNav[i] + be32(o + 1039) + 1, end);
        for (int r = 0; r < 3; ++r) {
            if (const std::uint32_t ref = be32(o + 1043 + 4 * r); ref != 0) {
                EXPECT_EQ(out.streamOf(outNav[i] + ref), 0xE0) << "reference end " << r;
            }
        }
        for (std::size_t w = 0; w < 42; ++w) {
            const std::size_t at = 1265 + 4 * w;
            const bool forward = w < 21, step = w != 0 && w != 20 && w != 21 && w != 41;
            const std::uint32_t sw = be32(s + at), ow = be32(o + at);
            if (reservedSearch(sw, step)) {
                EXPECT_EQ(ow, sw) << "reserved word at " << at;
                continue;
            }
            const std::int64_t target =
                forward ? here + (sw & 0x3FFFFFFF) : here - (sw & 0x3FFFFFFF);
            std::size_t j = forward ? std::min(i + 1, kept.size() - 1) : i > 0 ? i - 1 : 0;
            while (forward && j + 1 < kept.size() && srcNav[kept[j]] < target) ++j;
            while (!forward && j > 0 && srcNav[kept[j]] > target) --j;
            const std::uint32_t distance = forward ? outNav[j] - outNav[i] : outNav[i] - outNav[j];
            EXPECT_EQ(ow, (sw & 0xC0000000) | distance) << "search word at " << at;
        }
        // Sync offsets lead to the very packet the source's offset led to.
        for (int n = 0; n < 8; ++n) {
            const std::uint16_t sw = be16(s + 1433 + 2 * n), ow = be16(o + 1433 + 2 * n);
            if (sw == 0 || sw == 0x3FFF || strippedAudio.count(n)) {
                EXPECT_EQ(ow, strippedAudio.count(n) ? 0 : sw) << "audio " << n;
                continue;
            }
            ASSERT_NE(ow, 0) << "audio " << n << " lost its offset";
            const auto target = [](std::uint32_t nav, std::uint16_t w) {
                return w & 0x8000 ? nav - (w & 0x3FFF) : nav + w;
            };
            const std::uint8_t* from = src.at(target(srcNav[kept[i]], sw));
            EXPECT_TRUE(std::equal(from, from + kSector, out.at(target(outNav[i], ow)))) << n;
        }
        for (int n = 0; n < 32; ++n) {
            const std::uint32_t sw = be32(s + 1449 + 4 * n), ow = be32(o + 1449 + 4 * n);
            if (sw == 0 || sw == 0x3FFFFFFF || sw == 0x7FFFFFFF || strippedSubp.count(n)) {
                EXPECT_EQ(ow, strippedSubp.count(n) ? 0 : sw) << "sub-picture " << n;
                continue;
            }
            const auto target = [](std::uint32_t nav, std::uint32_t w) {
                return w & 0x80000000 ? nav - (w & 0x3FFFFFFF) : nav + w;
            };
            EXPECT_EQ(out.streamOf(target(outNav[i], ow)),
                      src.streamOf(target(srcNav[kept[i]], sw)))
                << "sub-picture " << n;
        }
    }
}

// A copy of a sample's VIDEO_TS folder and an empty destination folder beside it; at its end the
// source must be as it was.
struct ExtrasDisc {
    TempDir dir;
    fs::path src = dir.path() / "src" / "VIDEO_TS", out = dir.path() / "out" / "VIDEO_TS";
    std::map<std::string, Bytes> before;
    explicit ExtrasDisc(const std::string& disc) {
        fs::create_directories(src);
        fs::create_directories(out);
        copySampleFolder(disc, src);
        before = folderFiles(src);
    }
    ~ExtrasDisc() { EXPECT_EQ(folderFiles(src), before); }
    std::string s(const std::string& name) const { return (src / name).string(); }
    std::string o(const std::string& name) const { return (out / name).string(); }
    // The title and stream lines of lsdvd, without the sizes and sectors that change; for the
    // output the files the run did not write are copied in to make it a whole disc.
    std::string lsdvd(bool output) const {
        if (output)
            for (const auto& e : fs::directory_iterator(src))
                if (!fs::exists(out / e.path().filename()))
                    fs::copy_file(e.path(), out / e.path().filename());
        const std::string text =
            runCommand("lsdvd -x '" + (output ? out : src).parent_path().string() + "' 2>/dev/null")
                .out;
        static const std::regex line(
            R"((Title: \d+, Length: [^\n]*)|(\tAudio: \d+, Language: [a-z]+)|(\tSubtitle: \d+, Language: [a-z]+))");
        std::string lines;
        for (std::sregex_iterator it(text.begin(), text.end(), line), end; it != end; ++it)
            lines += it->str() + "\n";
        return lines;
    }
};

inline std::string replaced(std::string text,
                            const std::vector<std::pair<const char*, const char*>>& edits) {
    for (const auto& [from, to] : edits) text = std::regex_replace(text, std::regex(from), to);
    return text;
}

}  // namespace navtab::test
