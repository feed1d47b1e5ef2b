#include "cli/option_args.h"

namespace navtab::cli {

std::optional<Options> parseOptions(const Args& args, const std::set<std::string>& flags,
                                    const std::set<std::string>& valued) {
    Options o;
    bool namesOnly = false;  // after "--" every argument is a name, also "-file"
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!namesOnly && a == "--") {
            namesOnly = true;
            continue;
        }
        if (namesOnly || a.size() < 2 || a[0] != '-') {
            o.positional.push_back(a);
            continue;
        }
        const auto eq = a.find('=');
        const std::string name = a.substr(0, eq);
        if (valued.count(name)) {
            if (eq != std::string::npos) {
                o.values[name] = a.substr(eq + 1);
            } else if (i + 1 < args.size()) {
                o.values[name] = args[++i];
            } else {
                fail(kExitUsage, "option '" + name + "' needs a value");
                return std::nullopt;
            }
            o.repeated[name].push_back(o.values[name]);
        } else if (flags.count(a)) {
            o.flags.insert(a);
        } else {
            fail(kExitUsage, "unknown option '" + a + "'");
            return std::nullopt;
        }
    }
    return o;
}

}  // namespace navtab::cli
