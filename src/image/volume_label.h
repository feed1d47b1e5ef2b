// The volume label of a disc image. ISO 9660 keeps it in 32 "d-characters": the capital letters
// A to Z, the digits and '_'; players show it as the disc's name. A label is checked before the
// image program runs, so that a wrong one is told in words instead of as a failed build.
#pragma once

#include <string>

namespace navtab::image {

inline constexpr std::size_t kMaxVolumeLabel = 32;

// Why `label` cannot be a volume label; empty when it can. An empty label is not checked here:
// it stands for the default.
std::string volumeLabelProblem(const std::string& label);

// The label of an image of `videoTsFolder` when the user gave none: the name of the folder
// above VIDEO_TS, upper-cased, each character outside the allowed set replaced by '_', cut to 32
// characters; "DVDVOLUME" when that leaves nothing.
std::string defaultVolumeLabel(const std::string& videoTsFolder);

// The label given, or the default when it is empty.
std::string effectiveVolumeLabel(const std::string& label, const std::string& videoTsFolder);

}  // namespace navtab::image
