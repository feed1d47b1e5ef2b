// The packed attribute records of video, audio and sub-picture streams: the detail rows that follow
// a record in the field list, and the short names the overviews and stream tools use.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "format/field_list.h"

namespace navtab {

inline constexpr std::uint32_t kVideoAttrSize = 2;
inline constexpr std::uint32_t kAudioAttrSize = 8;
inline constexpr std::uint32_t kSubpAttrSize = 6;
inline constexpr std::uint32_t kMultichannelSize = 24;

// Detail rows (note rows) appended after a record's own row; `record` holds the record's bytes.
void DescribeVideoAttributes(FieldList& list, const std::uint8_t* record);
void DescribeAudioAttributes(FieldList& list, const std::uint8_t* record);
void DescribeSubpictureAttributes(FieldList& list, const std::uint8_t* record);
void DescribeMultichannelExtension(FieldList& list, const std::uint8_t* record);

std::string_view AudioCodingName(int codingMode);
std::string_view AudioSampleRateName(int sampleRateBits);
std::string_view AudioQuantizationName(int quantizationBits);
std::string_view AudioExtensionName(int codeExtension);
std::string_view SubpictureCodingName(int codingBits);
std::string_view SubpictureExtensionName(int codeExtension);
std::string_view VideoResolutionName(int resolutionBits, int tvSystem);
std::string_view AspectRatioName(int aspectBits);
std::string_view DisplayModeName(int displayModeBits);

}  // namespace navtab
