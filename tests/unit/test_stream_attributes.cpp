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

TEST(StreamAttributes, VideoWordDetails) {
    Pairs rows = detailRows(DescribeVideoAttributes, {0x4C, 0x00});
    Pairs expected = {{"  Video attribute details:", ""},
                      {"    Video compression", "MPEG-2"},
                      {"    TV system ", "NTSC 525/60"},
                      {"    Aspect ratio ", "16:9"},
                      {"    Display Mode ", "pan-scan & letterboxed"},
                      {"    CC for Line21-1 (NTSC only) ", "no data"},
                      {"    CC for Line21-2 (NTSC only) ", "no data"},
                      {"    Bit Rate ", "VBR"},
                      {"    Source Resolution ", "720x480 (NTSC)"},
                      {"    Letterboxed ", "no"},
                      {"    Mode ", "Camera"}};
    EXPECT_EQ(rows, expected);

    // PAL, 4:3 letterboxed, both captions, CBR, 352x288, letterboxed source, film.
    rows = detailRows(DescribeVideoAttributes, {0x52, 0xDF});
    EXPECT_EQ(rows[2].second, "PAL 625/50");
    EXPECT_EQ(rows[4].second, "letterboxed");
    EXPECT_EQ(rows[5].second, "data present in GOP");
    EXPECT_EQ(rows[6].second, "data present in GOP");
    EXPECT_EQ(rows[7].second, "CBR");
    EXPECT_EQ(rows[8].second, "352x288 (PAL)");
    EXPECT_EQ(rows[9].second, "yes");
    EXPECT_EQ(rows[10].second, "Film (PAL only)");

    // The undefined TV systems read as PAL and have no resolution of their own.
    rows = detailRows(DescribeVideoAttributes, {0x70, 0x00});
    EXPECT_EQ(rows[2].second, "PAL 625/50");
    EXPECT_EQ(rows[8].second, "unknown TV system");
}

TEST(StreamAttributes, AudioRecordDetailsByApplicationMode) {
    // AC-3, language present, 2 channels, "en", normal.
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

    // Karaoke: LPCM, 24 bits, channel assignment 3/2, version 2, MC intro, duet.
    Pairs karaoke = detailRows(DescribeAudioAttributes, {0x91, 0x85, 'd', 'e', 7, 9, 0, 0x7B});
    ASSERT_EQ(karaoke.size(), 15u);
    EXPECT_EQ(karaoke[3].second, "present");
    EXPECT_EQ(karaoke[4].second, "LPCM");
    EXPECT_EQ(karaoke[5].second, "6");
    EXPECT_EQ(karaoke[7].second, "24bps");
    EXPECT_EQ(karaoke[8].second, "Deutsch");
    EXPECT_EQ(karaoke[9].second, "[07]");
    EXPECT_EQ(karaoke[10].second, "Unknown");
    EXPECT_EQ(karaoke[11], (std::pair<std::string, std::string>{"    Channel assignments: ",
                                                                "3/2 L,M,R,V1,V2"}));
    EXPECT_EQ(karaoke[12].second, "2");
    EXPECT_EQ(karaoke[13].second, "yes");
    EXPECT_EQ(karaoke[14].second, "duet");

    // Surround mode: only the Dolby row; mode 3: neither.
    Pairs surround = detailRows(DescribeAudioAttributes, {0x42, 0x00, 'f', 'r', 0, 0, 0, 0x04});
    ASSERT_EQ(surround.size(), 12u);
    EXPECT_EQ(surround[4].second, "Mpeg-1");
    EXPECT_EQ(surround[11], (std::pair<std::string, std::string>{
                                "    suitable for Dolby surround decoding:", "yes"}));
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
    EXPECT_EQ(AudioCodingName(0), "Dolby AC-3");
    EXPECT_EQ(AudioCodingName(4), "Linear PCM");
    EXPECT_EQ(AudioCodingName(8), "Invalid coding mode");
    EXPECT_EQ(AudioQuantizationName(3), "DRC (dynamic range control)");
    EXPECT_EQ(AudioExtensionName(4), "alternate director's comments ");
    EXPECT_EQ(AudioExtensionName(5), "Unknown language extension");
    EXPECT_EQ(SubpictureExtensionName(4), "Unknown sub-picture language extension");
    EXPECT_EQ(SubpictureExtensionName(15), "director comments for children ");
    EXPECT_EQ(VideoResolutionName(3, 1), "352x288 (PAL)");
    EXPECT_EQ(AspectRatioName(3), "16:9");
    EXPECT_EQ(DisplayModeName(4), "Invalid perm.display");

    EXPECT_EQ(LanguageName(0x2020), "Not Specified");
    EXPECT_EQ(LanguageName(0), "Not Specified");
    EXPECT_EQ(LanguageName('f' * 256 + 'r'), "Français");
    EXPECT_EQ(LanguageName('z' * 256 + 'u'), "Zulu");
    EXPECT_EQ(LanguageName('i' * 256 + 'w'), "Hebrew");
    EXPECT_EQ(LanguageName('x' * 256 + 'x'), "");
}

}  // namespace
}  // namespace navtab
