#include "format/uop_edit.h"

namespace navtab {
namespace {

constexpr std::array<std::string_view, kUopBits> kLabels = {
    "Time play or search",
    "PTT play or search",
    "Title play",
    "Stop",
    "Goup",
    "Time or PTT search",
    "TopPG or PrevPG search",
    "NextPG search",
    "Forward scan",
    "Backward scan",
    "Menu call - Title",
    "Menu call - Root",
    "Menu call - Subpicture",
    "Menu call - Audio",
    "Menu call - Angle",
    "Menu call - PTT",
    "Resume",
    "Button select or activate",
    "Still off",
    "Pause on",
    "Audio stream change",
    "Subpicture stream change",
    "Angle change",
    "Karaoke audio mix change",
    "Video presentation mode change",
    "Unkown",
    "Unkown",
    "Unkown",
    "Unkown",
    "Unkown",
    "Unkown",
    "Unkown",
};

constexpr int kPlayback[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
constexpr int kResume[] = {16, 17, 18, 19};
constexpr int kMenus[] = {10, 11, 12, 13, 14, 15};
constexpr int kStreams[] = {20, 21, 22, 23, 24};
constexpr int kUnnamed[] = {25, 26, 27, 28, 29, 30, 31};

constexpr std::span<const int> kGroups[] = {kPlayback, kResume, kMenus, kStreams, kUnnamed};

}  // namespace

std::string_view uopLabel(int bit) {
    return bit >= 0 && bit < kUopBits ? kLabels[bit] : std::string_view();
}

std::span<const std::span<const int>> uopGroups() {
    return kGroups;
}

}  // namespace navtab
