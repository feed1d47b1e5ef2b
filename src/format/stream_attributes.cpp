#include "format/stream_attributes.h"

#include "core/bytes.h"
#include "format/language.h"
#include "format/value_format.h"

namespace navtab {
namespace {

int bits(std::uint8_t byte, int high, int low) {
    return (byte >> low) & ((1 << (high - low + 1)) - 1);
}
bool bit(std::uint8_t byte, int n) {
    return ((byte >> n) & 1) != 0;
}

template <std::size_t N>
std::string_view pick(const std::string_view (&texts)[N], int index, std::string_view other) {
    return index >= 0 && static_cast<std::size_t>(index) < N ? texts[index] : other;
}

}  // namespace

std::string_view AudioCodingName(int codingMode) {
    static constexpr std::string_view k[] = {"Dolby AC-3", "Unknown1", "Mpeg-1", "Mpeg-2ext",
                                             "Linear PCM", "Unknown2", "DTS",    "SDDS"};
    return pick(k, codingMode, "Invalid coding mode");
}

std::string_view AudioSampleRateName(int sampleRateBits) {
    return sampleRateBits == 0 ? "48Kbps" : "Unknown Sample Rate";
}

std::string_view AudioQuantizationName(int quantizationBits) {
    static constexpr std::string_view k[] = {"16bps", "20bps", "24bps",
                                             "DRC (dynamic range control)"};
    return pick(k, quantizationBits, "Invalid Quantisation");
}

std::string_view AudioExtensionName(int codeExtension) {
    static constexpr std::string_view k[] = {"unspecified language extesion", "normal",
                                             "for visually impaired", "director's comments",
                                             "alternate director's comments "};
    return pick(k, codeExtension, "Unknown language extension");
}

std::string_view SubpictureCodingName(int codingBits) {
    return codingBits == 0 ? "2-bit rle" : "Unknown coding mode";
}

std::string_view SubpictureExtensionName(int codeExtension) {
    static constexpr std::string_view k[] = {"unspecified sub-picture extension",
                                             "normal",
                                             "large",
                                             "children",
                                             {},
                                             "normal captions",
                                             "large captions ",
                                             "childrens captions ",
                                             {},
                                             "forced ",
                                             {},
                                             {},
                                             {},
                                             "director comments ",
                                             "large director comments ",
                                             "director comments for children "};
    std::string_view name = pick(k, codeExtension, {});
    return name.empty() ? "Unknown sub-picture language extension" : name;
}

// Only NTSC and PAL have resolutions; the two undefined TV-system values are reported as such.
std::string_view VideoResolutionName(int resolutionBits, int tvSystem) {
    static constexpr std::string_view k[] = {"720x480 (NTSC)", "704x480 (NTSC)", "352x480 (NTSC)",
                                             "352x240 (NTSC)", "720x576 (PAL)",  "704x576 (PAL)",
                                             "352x576 (PAL)",  "352x288 (PAL)"};
    if (tvSystem < 0 || tvSystem > 1) return "unknown TV system";
    return pick(k, resolutionBits + 4 * tvSystem, "unknown TV system");
}

std::string_view AspectRatioName(int aspectBits) {
    static constexpr std::string_view k[] = {"4:3", "not specified ratio!", "Reserved!", "16:9"};
    return pick(k, aspectBits, "unvalid ratio");
}

std::string_view DisplayModeName(int displayModeBits) {
    static constexpr std::string_view k[] = {"pan-scan & letterboxed", "pan-scan", "letterboxed",
                                             "not specified perm.display"};
    return pick(k, displayModeBits, "Invalid perm.display");
}

void DescribeVideoAttributes(FieldList& list, const std::uint8_t* v) {
    static constexpr std::string_view kAspect[] = {"4:3", "not specified!", "Reserved!", "16:9"};
    static constexpr std::string_view kDisplay[] = {"pan-scan & letterboxed", "pan-scan",
                                                    "letterboxed", "not specified"};
    const int tvSystem = bits(v[0], 5, 4);
    list.addNote("  Video attribute details:");
    list.addNote("    Video compression", formatWithInt("MPEG-%d", bits(v[0], 7, 6) + 1));
    list.addNote("    TV system ", tvSystem == 0 ? "NTSC 525/60" : "PAL 625/50");
    list.addNote("    Aspect ratio ", kAspect[bits(v[0], 3, 2)]);
    list.addNote("    Display Mode ", kDisplay[bits(v[0], 1, 0)]);
    list.addNote("    CC for Line21-1 (NTSC only) ",
                 bit(v[1], 7) ? "data present in GOP" : "no data");
    list.addNote("    CC for Line21-2 (NTSC only) ",
                 bit(v[1], 6) ? "data present in GOP" : "no data");
    list.addNote("    Bit Rate ", bit(v[1], 4) ? "CBR" : "VBR");
    list.addNote("    Source Resolution ", VideoResolutionName(bits(v[1], 3, 2), tvSystem));
    list.addNote("    Letterboxed ", bit(v[1], 1) ? "yes" : "no");
    list.addNote("    Mode ", bit(v[1], 0) ? "Film (PAL only)" : "Camera");
}

void DescribeAudioAttributes(FieldList& list, const std::uint8_t* a) {
    static constexpr std::string_view kApplication[] = {"unspecified", "Karaoke", "Surround",
                                                        "value unvalid"};
    static constexpr std::string_view kCoding[] = {"AC3",  "Unknown1", "Mpeg-1", "Mpeg-2ext",
                                                   "LPCM", "Unknown2", "DTS",    "SDDS"};
    static constexpr std::string_view kQuantization[] = {"16bps", "20bps", "24bps",
                                                         "DRC (dynamic range control)"};
    static constexpr std::string_view kType[] = {"unspecified", "normal", "for visually impaired",
                                                 "director's comments",
                                                 "alternate director's comments "};
    static constexpr std::string_view kChannels[] = {
        "1+1 (not valid)", "1/0 (not valid)", "2/0 L,R",       "3/0 L,M,R",
        "2/1 L,R,V1",      "3/1 L,M,R,V1",    "2/2 L,R,V1,V2", "3/2 L,M,R,V1,V2"};
    const int application = bits(a[0], 1, 0);
    list.addNote("  Audio attribute details:");
    list.addNote("    Application mode ", kApplication[application]);
    list.addNote("    Language type ", bits(a[0], 3, 2) != 0 ? "present" : "not specified");
    list.addNote("    Multichannel extension ", bit(a[0], 4) ? "present" : "not present");
    list.addNote("    Coding mode ", kCoding[bits(a[0], 7, 5)]);
    list.addNote("    Channels ", formatWithInt("%d", bits(a[1], 2, 0) + 1));
    list.addNote("    Sample Rate ", bits(a[1], 5, 4) == 0 ? "48Kbps" : "Unknown");
    list.addNote("    Quantization/DRC ", kQuantization[bits(a[1], 7, 6)]);
    list.addNote("    Language ", LanguageName(be16(a + 2)));
    list.addNote("    Language extension ", formatWithInt("[%02x]", a[4]));
    list.addNote("    Code extension (Audio Type) ", pick(kType, a[5], "Unknown"));
    if (application == 1) {
        list.addNote("    Channel assignments: ", kChannels[bits(a[7], 6, 4)]);
        list.addNote("    Karaoke version: ", formatWithInt("%d", bits(a[7], 3, 2)));
        list.addNote("    MC intro present: ", bit(a[7], 1) ? "yes" : "no");
        list.addNote("    solo/duet: ", bit(a[7], 0) ? "duet" : "solo");
    } else if (application == 2) {
        list.addNote("    suitable for Dolby surround decoding:", bit(a[7], 2) ? "yes" : "no");
    }
}

void DescribeSubpictureAttributes(FieldList& list, const std::uint8_t* s) {
    static constexpr std::string_view kCaption[] = {"unspecified caption",
                                                    "closed caption",
                                                    "large caption",
                                                    "children caption",
                                                    {},
                                                    "normal captions ",
                                                    "large captions ",
                                                    "childrens captions ",
                                                    {},
                                                    "forced caption",
                                                    {},
                                                    {},
                                                    {},
                                                    "director comments ",
                                                    "large director comments ",
                                                    "director comments for children "};
    std::string_view caption = pick(kCaption, s[5], {});
    list.addNote("  Sub-picture attribute details:");
    list.addNote("    Language type ", bits(s[0], 1, 0) != 0 ? "present" : "not specified");
    list.addNote("    Coding mode ", bits(s[0], 7, 5) == 0 ? "2-bit rle" : "Unknown");
    list.addNote("    Language ", LanguageName(be16(s + 2)));
    list.addNote("    Language extension ", formatWithInt("[%02x]", s[4]));
    list.addNote("    Code extension (Sub-Picture caption) ",
                 caption.empty() ? "Unknown" : caption);
}

void DescribeMultichannelExtension(FieldList& list, const std::uint8_t* m) {
    struct Flag {
        int byte;
        int bit;
        std::string_view text;
    };
    static constexpr Flag kFlags[] = {
        {0, 0, "    ACH0 Guide Melody exists"},   {1, 0, "    ACH1 Guide Melody exists"},
        {2, 3, "    ACH2 Guide Vocal 1 exists"},  {2, 2, "    ACH2 Guide Vocal 2 exists"},
        {2, 1, "    ACH2 Guide Melody 1 exists"}, {2, 0, "    ACH2 Guide Melody 2 exists"},
        {3, 3, "    ACH3 Guide Vocal 1 exists"},  {3, 2, "    ACH3 Guide Vocal 2 exists"},
        {3, 1, "    ACH3 Guide Melody A exists"}, {3, 0, "    ACH3 Sound Effect A exists"},
        {4, 3, "    ACH4 Guide Vocal 1 exists"},  {4, 2, "    ACH4 Guide Vocal 2 exists"},
        {4, 1, "    ACH4 Guide Melody B exists"}, {4, 0, "    ACH4 Sound Effect B exists"},
    };
    for (const auto& f : kFlags)
        if (bit(m[f.byte], f.bit)) list.addNote(f.text);
}

}  // namespace navtab
