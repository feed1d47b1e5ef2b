// The detail rows and short names of video, audio and sub-picture attribute records.
#include <gtest/gtest.h>

#include "format/language.h"
#include "format/stream_attributes.h"

namespace navtab {
namespace {

using Texts = std::vector<std::string>;

// The description (`labels`) or the value column of each detail row of a record.
template <typename Describe>
Texts column(Describe describe, std::vector<std::uint8_t> record, bool labels = false) {
    FieldList list;
    describe(list, record.data());
    Texts out;
    for (const auto& r : list.rows()) out.push_back(labels ? r.description : r.dec);
    return out;
}

TEST(StreamAttributes, VideoAudioAndSubpictureDetails) {
    EXPECT_EQ(column(DescribeVideoAttributes, {0x4C, 0x00}),
              (Texts{"", "MPEG-2", "NTSC 525/60", "16:9", "pan-scan & letterboxed", "no data",
                     "no data", "VBR", "720x480 (NTSC)", "no", "Camera"}));
    EXPECT_EQ(column(DescribeVideoAttributes, {0x52, 0xDF}),
              (Texts{"", "MPEG-2", "PAL 625/50", "4:3", "letterboxed", "data present in GOP",
                     "data present in GOP", "CBR", "352x288 (PAL)", "yes", "Film (PAL only)"}));
    EXPECT_EQ(column(DescribeVideoAttributes, {0x70, 0x00})[8], "unknown TV system");
    EXPECT_EQ(column(DescribeAudioAttributes, {0x04, 0x01, 'e', 'n', 0, 1, 0, 0}),
              (Texts{"", "unspecified", "present", "not present", "AC3", "2", "48Kbps", "16bps",
                     "English", "[00]", "normal"}));
    EXPECT_EQ(column(DescribeAudioAttributes, {0x91, 0x85, 'd', 'e', 7, 9, 0, 0x7B}),
              (Texts{"", "Karaoke", "not specified", "present", "LPCM", "6", "48Kbps", "24bps",
                     "Deutsch", "[07]", "Unknown", "3/2 L,M,R,V1,V2", "2", "yes", "duet"}));
    const auto surround = column(DescribeAudioAttributes, {0x42, 0x00, 'f', 'r', 0, 0, 0, 0x04});
    ASSERT_EQ(surround.size(), 12u);
    EXPECT_EQ(surround[4], "Mpeg-1");
    EXPECT_EQ(surround[11], "yes");
    EXPECT_EQ(column(DescribeAudioAttributes, {0x03, 0, 0, 0, 0, 0, 0, 0xFF}).size(), 11u);
    EXPECT_EQ(column(DescribeSubpictureAttributes, {0x01, 0, 'd', 'e', 0, 9}),
              (Texts{"", "present", "2-bit rle", "Deutsch", "[00]", "forced caption"}));
    const auto unknown = column(DescribeSubpictureAttributes, {0x20, 0, 0, 0, 0, 4});
    EXPECT_EQ(unknown[2], "Unknown");
    EXPECT_EQ(unknown[5], "Unknown");
    std::vector<std::uint8_t> mc(24, 0);
    EXPECT_TRUE(column(DescribeMultichannelExtension, mc).empty());
    mc[1] = 1, mc[2] = 0x0A, mc[4] = 0x01;
    EXPECT_EQ(column(DescribeMultichannelExtension, mc, true),
              (Texts{"    ACH1 Guide Melody exists", "    ACH2 Guide Vocal 1 exists",
                     "    ACH2 Guide Melody 1 exists", "    ACH4 Sound Effect B exists"}));
}

TEST(StreamAttributes, LanguageNames) {
    const std::pair<int, std::string> languages[] = {{0x2020, "Not Specified"},
                                                     {0, "Not Specified"},
                                                     {'i' * 256 + 'w', "Hebrew"},
                                                     {'x' * 256 + 'x', ""}};
    for (const auto& [code, name] : languages)
        EXPECT_EQ(LanguageName(static_cast<std::uint16_t>(code)), name) << code;
}

}  // namespace
}  // namespace navtab
