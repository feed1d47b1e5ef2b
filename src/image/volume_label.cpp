#include "image/volume_label.h"
#include "core/path_parts.h"

#include "core/ascii_case.h"
#include "repair/sector_correction.h"

namespace navtab::image {
namespace {

bool isLabelCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

std::string volumeLabelProblem(const std::string& label) {
    if (label.size() > kMaxVolumeLabel)
        return "The volume label \"" + label + "\" is " + std::to_string(label.size()) +
               " characters long; a volume label holds at most 32.";
    for (char c : label)
        if (!isLabelCharacter(c))
            return "The volume label \"" + label +
                   "\" may only hold the capital letters A to Z, the digits 0 to 9 and '_'.";
    return {};
}

std::string defaultVolumeLabel(const std::string& videoTsFolder) {
    std::string label = upperAscii(fileNameOf(folderOf(videoTsFolder)));
    for (char& c : label)
        if (!isLabelCharacter(c)) c = '_';
    if (label.size() > kMaxVolumeLabel) label.resize(kMaxVolumeLabel);
    if (label.find_first_not_of('_') == std::string::npos) return "DVDVOLUME";
    return label;
}

std::string effectiveVolumeLabel(const std::string& label, const std::string& videoTsFolder) {
    return label.empty() ? defaultVolumeLabel(videoTsFolder) : label;
}

}  // namespace navtab::image
