// The detail rows and short names of video, audio and sub-picture attribute records.
#include <gtest/gtest.h>

#include "format/language.h"
#include "format/stream_attributes.h"

namespace navtab {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

template <typename Describe>
Pairs detailRows(Describe describe, std::vector<std::uint8_t> record) {
    FieldList list;
    describe(list, record.data());
    Pairs rows;
    for (const auto& r : list.rows()) rows.emplace_back(r.description, r.dec);
    return rows;
}

// The value column of each detail row, by row.
template <typename Describe>
std::vector<std::string> values(Describe describe, std::vector<std::uint8_t> record) {
    std::vector<std::string> out;
    for (const auto& [description, value] : detailRows(describe, std::move(record)))
        out.push_back(value);
    return out;
}

TEST(StreamAttributes, VideoWordDetails) {
    EXPECT_EQ(detailRows(DescribeVideoAttributes, {0x4C, 0x00}),
              (Pairs{{"  Video attribute details:", ""},
                     {"    Video compression", "MPEG-2"},
                     {"    TV system ", "NTSC 525/60"},
                     {"    Aspect ratio ", "16:9"},
                     {"    Display Mode ", "pan-scan & letterboxed"},
                     {"    CC for Line21-1 (NTSC only) ", "no data"},
                     {"    CC for Line21-2 (NTSC only) ", "no data"},
                     {"    Bit Rate ", "VBR"},
                     {"    Source Resolution ", "720x480 (NTSC)"},
                     {"    Letterboxed ", "no"},
                     {"    Mode ", "Camera"}}));
    EXPECT_EQ(values(DescribeVideoAttributes, {0x52, 0xDF}),
              (std::vector<std::string>{"", "MPEG-2", "PAL 625/50", "4:3", "letterboxed",
                                        "data present in GOP", "data present in GOP", "CBR",
                                        "352x288 (PAL)", "yes", "Film (PAL only)"}));
    EXPECT_EQ(values(DescribeVideoAttributes, {0x70, 0x00})[8], "unknown TV system");
}

TEST(StreamAttributes, AudioRecordDetailsByApplicationMode) {
    Pairs plain = detailRows(DescribeAudioAttributes, {0x04, 0x01, 'e', 'n', 0, 1, 0, 0});
    Pairs expected = {{"  Audio attribute details:", ""},
                      {"    Application mode ", "unspecified"},
                      {"    Language type ", "present"},
                      {"    Multichannel extension ", "not present"},
                      {"    Coding mode ", "AC3"},
                      {"    Channels ", "2"},
                      {"    Sample Rate ", "48Kbps"},
                      {"    Quantization/DRC ", "16bps"},
                      {"    Language ", "English"},
                      {"    Language extension ", "[00]"},
                      {"    Code extension (Audio Type) ", "normal"}};
    EXPECT_EQ(plain, expected);
    EXPECT_EQ(values(DescribeAudioAttributes, {0x91, 0x85, 'd', 'e', 7, 9, 0, 0x7B}),
              (std::vector<std::string>{"", "Karaoke", "not specified", "present", "LPCM", "6",
                                        "48Kbps", "24bps", "Deutsch", "[07]", "Unknown",
                                        "3/2 L,M,R,V1,V2", "2", "yes", "duet"}));
    const auto surround = values(DescribeAudioAttributes, {0x42, 0x00, 'f', 'r', 0, 0, 0, 0x04});
    ASSERT_EQ(surround.size(), 12u);
    EXPECT_EQ(surround[4], "Mpeg-1");
    EXPECT_EQ(surround[11], "yes");
    EXPECT_EQ(detailRows(DescribeAudioAttributes, {0x03, 0, 0, 0, 0, 0, 0, 0xFF}).size(), 11u);
}

TEST(StreamAttributes, SubpictureAndMultichannelDetails) {
    Pairs sub = detailRows(DescribeSubpictureAttributes, {0x01, 0, 'd', 'e', 0, 9});
    Pairs expected = {{"  Sub-picture attribute details:", ""},
                      {"    Language type ", "present"},
                      {"    Coding mode ", "2-bit rle"},
                      {"    Language ", "Deutsch"},
                      {"    Language extension ", "[00]"},
                      {"    Code extension (Sub-Picture caption) ", "forced caption"}};
    EXPECT_EQ(sub, expected);
    EXPECT_EQ(detailRows(DescribeSubpictureAttributes, {0x20, 0, 0, 0, 0, 4})[5].second, "Unknown");
    EXPECT_EQ(detailRows(DescribeSubpictureAttributes, {0x20, 0, 0, 0, 0, 4})[2].second, "Unknown");
    std::vector<std::uint8_t> mc(24, 0);
    EXPECT_TRUE(detailRows(DescribeMultichannelExtension, mc).empty());
    mc[1] = 1, mc[2] = 0x0A, mc[4] = 0x01;
    Pairs flags = detailRows(DescribeMultichannelExtension, mc);
    ASSERT_EQ(flags.size(), 4u);
    EXPECT_EQ(flags[0].first, "    ACH1 Guide Melody exists");
    EXPECT_EQ(flags[1].first, "    ACH2 Guide Vocal 1 exists");
    EXPECT_EQ(flags[2].first, "    ACH2 Guide Melody 1 exists");
    EXPECT_EQ(flags[3].first, "    ACH4 Sound Effect B exists");
}

TEST(StreamAttributes, ShortNamesAndLanguages) {
    const std::pair<std::string_view, std::string_view> names[] = {
        {AudioCodingName(4), "Linear PCM"},
        {AudioCodingName(8), "Invalid coding mode"},
        {AudioQuantizationName(3), "DRC (dynamic range control)"},
        {AudioExtensionName(5), "Unknown language extension"},
        {SubpictureExtensionName(4), "Unknown sub-picture language extension"},
        {SubpictureExtensionName(15), "director comments for children "},
        {VideoResolutionName(3, 1), "352x288 (PAL)"},
        {AspectRatioName(3), "16:9"},
        {DisplayModeName(4), "Invalid perm.display"}};
    for (const auto& [name, expected] : names) EXPECT_EQ(name, expected);
    const std::pair<int, std::string> languages[] = {{0x2020, "Not Specified"},
                                                     {0, "Not Specified"},
                                                     {'f' * 256 + 'r', "Français"},
                                                     {'i' * 256 + 'w', "Hebrew"},
                                                     {'x' * 256 + 'x', ""}};
    for (const auto& [code, name] : languages)
        EXPECT_EQ(LanguageName(static_cast<std::uint16_t>(code)), name) << code;
}

}  // namespace
}  // namespace navtab
