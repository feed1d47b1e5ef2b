// Splits a command's arguments into positional ones, flags and options with a value
// ("--tables LIST" or "--tables=LIST").
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace navtab::cli {

struct Options {
    std::vector<std::string> positional;
    std::set<std::string> flags;
    std::map<std::string, std::string> values;
    // Every value of an option given more than once, in order ("--press 1 --press 2").
    std::map<std::string, std::vector<std::string>> repeated;

    bool has(const std::string& flag) const { return flags.count(flag) != 0; }
};

// Nothing (after printing the usage error) on an unknown option or a missing value.
std::optional<Options> parseOptions(const Args& args, const std::set<std::string>& flags,
                                    const std::set<std::string>& valued);

}  // namespace navtab::cli
