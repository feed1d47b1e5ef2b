#include "navcmd/nav_names.h"

#include <array>

namespace navtab::navcmd {
namespace {

constexpr std::array<std::string_view, 8> kCompareOperators = {
    "none", "&", "==", "!=", ">=", ">", "<=", "<"};

constexpr std::array<std::string_view, 12> kSetOperators = {
    "none", "mov", "swp", "add", "sub", "mul", "div", "mod", "rnd", "and", "or", "xor"};

constexpr std::array<std::string_view, 32> kLinkSubsets = {
    "NOP",          "LinkTopCell", "LinkNextCell", "LinkPrevCell", "invalid",     "LinkTopPG",
    "LinkNextPG",   "LinkPrevPG",  "invalid",      "LinkTopPGC",   "LinkNextPGC", "LinkPrevPGC",
    "LinkGroupPGC", "LinkTailPGC", "invalid",      "invalid",      "RSM",         "invalid",
    "invalid",      "invalid",     "invalid",      "invalid",      "invalid",     "invalid",
    "invalid",      "invalid",     "invalid",      "invalid",      "invalid",     "invalid",
    "invalid",      "invalid"};

constexpr std::array<std::string_view, 8> kMenus = {"illegal",     "unknown", "title", "root",
                                                    "sub-picture", "audio",   "angle", "chapter"};

// A name from a table, or "invalid-<what><code>" for a code the table does not cover.
template <std::size_t N>
std::string nameOr(const std::array<std::string_view, N>& names, int code, std::string_view what) {
    if (code >= 0 && static_cast<std::size_t>(code) < N)
        return std::string(names[static_cast<std::size_t>(code)]);
    return "invalid-" + std::string(what) + "<" + std::to_string(code) + ">";
}

}  // namespace

std::string_view compareOperatorName(int code) {
    return kCompareOperators[static_cast<std::size_t>(code & 0x07)];
}

std::string setOperatorName(int code) {
    return nameOr(kSetOperators, code, "op");
}

bool isDefinedSetOperator(int code) {
    return code >= 1 && static_cast<std::size_t>(code) < kSetOperators.size();
}

std::string_view linkSubsetName(int code) {
    return kLinkSubsets[static_cast<std::size_t>(code & 0x1F)];
}

std::string menuName(int code) {
    return nameOr(kMenus, code, "menu");
}

}  // namespace navtab::navcmd
