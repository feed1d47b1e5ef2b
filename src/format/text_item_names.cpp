#include "format/text_item_names.h"

#include <array>

namespace navtab {
namespace {

struct NamedCodes {
    int first;
    int last;
    std::string_view name;
};

// Codes in ranges that share one name; every code not listed has no name.
constexpr NamedCodes kNamedCodes[] = {
    {0x00, 0x00, "unvalid"},     {0x01, 0x01, "Volume"},         {0x02, 0x02, "Title"},
    {0x03, 0x03, "Parental ID"}, {0x04, 0x04, "Chapter"},        {0x05, 0x05, "Cell"},
    {0x10, 0x10, "Audio"},       {0x11, 0x11, "Subpicture"},     {0x12, 0x12, "Angle"},
    {0x20, 0x20, "Channel"},     {0x30, 0x30, "  Name"},         {0x31, 0x31, "  Comments"},
    {0x38, 0x38, "Series"},      {0x3E, 0x3E, "Series"},         {0x44, 0x44, "Series"},
    {0x39, 0x39, "Movie"},       {0x3F, 0x3F, "Movie"},          {0x45, 0x45, "Movie"},
    {0x3A, 0x3A, "Video"},       {0x40, 0x40, "Video"},          {0x46, 0x46, "Video"},
    {0x3B, 0x3B, "Album"},       {0x41, 0x41, "Album"},          {0x47, 0x47, "Album"},
    {0x3C, 0x3C, "Song"},        {0x42, 0x42, "Song"},           {0x48, 0x48, "Song"},
    {0x3D, 0x3D, "Other"},       {0x43, 0x43, "Other"},          {0x49, 0x49, "Other"},
    {0x4A, 0x4A, "Other scene"}, {0x4B, 0x4B, "Other cut"},      {0x4C, 0x4C, "Other take"},
    {0x4D, 0x4D, "Other label"}, {0x52, 0x53, "Language"},       {0x56, 0x61, "Work"},
    {0x66, 0x87, "Character"},   {0x8A, 0x8C, "Data"},           {0x8E, 0x93, "Karaoke"},
    {0x96, 0x99, "Category"},    {0x9A, 0x9C, "Lyrics"},         {0x9E, 0x9E, "Document"},
    {0xA2, 0xA2, "Other"},       {0xAA, 0xC3, "Administration"}, {0xDA, 0xE9, "Vendor unique"},
    {0xEA, 0xEA, "Sorting"},
};

// The 255 names, indexed by the code.
constexpr std::array<std::string_view, 255> kItemNames = [] {
    std::array<std::string_view, 255> names{};
    for (const auto& c : kNamedCodes)
        for (int code = c.first; code <= c.last; ++code) names[code] = c.name;
    return names;
}();

}  // namespace

std::string_view TextItemName(int code) {
    if (code < 0 || code >= static_cast<int>(kItemNames.size())) return {};
    return kItemNames[code];
}

}  // namespace navtab
