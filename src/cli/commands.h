// The commands of navtab-cli. Each takes its own arguments (after the command name) and returns the
// process exit status.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace navtab::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

using Args = std::vector<std::string>;

struct Command {
    std::string_view name;
    std::string_view synopsis;  // the arguments, for usage lines
    std::string_view help;      // what the command does, for --help
    int (*run)(const Args& args);
};

const std::vector<Command>& commands();

int runTree(const Args& args);
int runShow(const Args& args);
int runSave(const Args& args);
int runDecode(const Args& args);
int runScan(const Args& args);
int runVobus(const Args& args);
int runAutocalc(const Args& args);
int runTemplate(const Args& args);
int runRemovePuops(const Args& args);
int runDeletePlayback(const Args& args);
int runGetVtsSectors(const Args& args);
int runVobExtras(const Args& args);
int runMenuExtras(const Args& args);
int runCreateIfos(const Args& args);
int runDiscImage(const Args& args);
int runPlay(const Args& args);

// Prints "navtab-cli: text" on standard error and returns the status given.
int fail(int status, const std::string& text);

}  // namespace navtab::cli
