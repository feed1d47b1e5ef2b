// Replacing files on disk so that a failure never leaves a half-written one: each new file is
// written in full to a temporary file beside its target and flushed, and only when every file of
// the group is written are they renamed over their targets. A failure before that leaves every
// target as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace navtab {

struct WriteFailure {
    std::string path;    // the file that could not be written, as the user named it
    int error = 0;       // the errno value behind it
    std::string reason;  // a few words: strerror, or what is wrong with the target
    // The file could not even be opened or created (as against a write that failed halfway).
    bool atOpen = true;
};

// The file a write really replaces: a symbolic link is followed to its file, so that the link
// stays. A link that leads nowhere, a folder in the target's place and a file the user may not
// write (also one without any write permission bit, which the superuser could still write) are
// failures, so such a target is never replaced.
std::variant<std::string, WriteFailure> resolveWriteTarget(const std::string& path);

struct PendingFile {
    std::string target;     // resolved by resolveWriteTarget
    std::string shownPath;  // the name the user knows it by, for a failure
    std::span<const std::uint8_t> bytes;
};

// Writes the group; nothing when every file was replaced. An existing target keeps its
// permission bits.
std::optional<WriteFailure> replaceFiles(std::span<const PendingFile> files);

}  // namespace navtab
