// navtab-cli play: runs the navigator on a folder and prints what it does, one event a line.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/json_text.h"
#include "cli/option_args.h"
#include "core/text_printf.h"
#include "navigator/scripted_session.h"

namespace navtab::cli {
namespace {

using navigator::Event;
using navigator::EventKind;

// What an event carries beyond its place: a number or a text, by name.
struct Extra {
    const char* name;
    long long number = 0;
    const std::string* text = nullptr;
};

std::vector<Extra> extrasOf(const Event& e) {
    switch (e.kind) {
        case EventKind::Cell:
            return {{"first", e.first}, {"last", e.last}};
        case EventKind::Vobu:
            return {{"sector", e.first}};
        case EventKind::Chapter:
            return {{"chapter", e.part}};
        case EventKind::Highlight:
            return {{"button", e.button}};
        case EventKind::Still:
            return {{"still", e.still}};
        case EventKind::Command:
            return {{"text", 0, &e.text}, {"registers", 0, &e.registers}};
        case EventKind::Stream:
        case EventKind::Warning:
        case EventKind::Error:
            return {{"text", 0, &e.text}};
        default:
            return {};
    }
}

std::string textLine(const Event& e) {
    std::string line = strprintf("%-9s %-4s vts=%d title=%d pgc=%d cell=%d",
                                 std::string(navigator::eventName(e.kind)).c_str(),
                                 std::string(navigator::domainName(e.domain)).c_str(), e.titleSet,
                                 e.title, e.pgc, e.cell);
    for (const Extra& x : extrasOf(e)) {
        if (!x.text)
            line += strprintf(" %s=%lld", x.name, x.number);
        else if (std::string_view(x.name) == "registers")
            line += x.text->empty() ? "" : "  [" + *x.text + "]";
        else
            line += "  " + *x.text;
    }
    return line;
}

std::string jsonLine(const Event& e) {
    std::string line = strprintf(
        "{\"event\": \"%s\", \"domain\": \"%s\", \"vts\": %d, \"title\": %d, \"pgc\": %d, "
        "\"cell\": %d",
        std::string(navigator::eventName(e.kind)).c_str(),
        std::string(navigator::domainName(e.domain)).c_str(), e.titleSet, e.title, e.pgc, e.cell);
    bool button = false;
    for (const Extra& x : extrasOf(e)) {
        button = button || std::string_view(x.name) == "button";
        line += x.text ? strprintf(", \"%s\": ", x.name) + jsonString(*x.text)
                       : strprintf(", \"%s\": %lld", x.name, x.number);
    }
    if (!button) line += strprintf(", \"button\": %d", e.button);
    return line + "}";
}

std::optional<int> number(const std::string& text, int low, int high) {
    try {
        std::size_t used = 0;
        const int n = std::stoi(text, &used);
        if (used == text.size() && n >= low && n <= high) return n;
    } catch (...) {
    }
    return std::nullopt;
}

}  // namespace

int runPlay(const Args& args) {
    auto o = parseOptions(args, {"--trace", "--json"},
                          {"--title", "--chapter", "--press", "--menu", "--steps"});
    if (!o) return kExitUsage;
    if (o->positional.size() != 1) return fail(kExitUsage, "play needs one DVD-Video folder");
    navigator::Script script;
    if (o->values.count("--title")) {
        const auto t = number(o->values["--title"], 1, 99);
        if (!t) return fail(kExitUsage, "--title needs a title number from 1 to 99");
        script.title = *t;
    }
    if (o->values.count("--chapter")) {
        const auto c = number(o->values["--chapter"], 1, 999);
        if (!c || script.title == 0)
            return fail(kExitUsage, "--chapter needs --title and a chapter number from 1 to 999");
        script.chapter = *c;
    }
    for (const std::string& p : o->repeated["--press"]) {
        const auto k = number(p, 1, 36);
        if (!k) return fail(kExitUsage, "--press needs a button number from 1 to 36");
        script.presses.push_back(*k);
    }
    if (o->values.count("--menu")) {
        const std::string& m = o->values["--menu"];
        if (m == "root")
            script.menu = navigator::kRootMenu;
        else if (m == "title")
            script.menu = navigator::kTitleMenu;
        else
            return fail(kExitUsage, "--menu is root or title");
    }
    if (o->values.count("--steps")) {
        const auto s = number(o->values["--steps"], 1, 1000000000);
        if (!s) return fail(kExitUsage, "--steps needs a positive number");
        script.maxCells = *s;
    }
    const bool json = o->has("--json");
    const navigator::Disc disc = navigator::LoadDisc(o->positional[0]);
    navigator::Navigator nav(disc);
    nav.setTrace(o->has("--trace"));
    navigator::RunScript(nav, script, [&](const Event& e) {
        std::printf("%s\n", (json ? jsonLine(e) : textLine(e)).c_str());
    });
    return disc.firstPlay || !disc.titles.empty() ? kExitOk : kExitFailure;
}

}  // namespace navtab::cli
