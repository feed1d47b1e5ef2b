// Descriptor-level file access with 64-bit positions, and the diagnostic line format.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>

namespace navtab {

// Seeks to a byte offset from the start of the file and reads up to `length` bytes, retrying
// interrupted and partial reads until the end of the file. Returns the bytes read or -1.
long long readAt(int fd, std::uint64_t offset, std::size_t length, void* buffer);

// Reads up to `length` bytes from where the descriptor stands, retrying interrupted and partial
// reads until the end of the file. Returns the bytes read or -1.
long long readFully(int fd, std::size_t length, void* buffer);

// Writes all `length` bytes (retrying partial writes). Returns `length` or -1 on failure, with
// errno telling why (ENOSPC when the file takes no more bytes).
long long writeAll(int fd, std::size_t length, const void* buffer);

// Size of the file behind a descriptor, or nothing when it cannot be told.
std::optional<std::uint64_t> fileSizeOf(int fd);

// The low layers tell what they skip on standard error. A program that feeds them damaged bytes by
// the million (a fuzz target) silences them; nothing else changes.
void setDiagnosticsQuiet(bool quiet);
bool diagnosticsQuiet();
// perror(what), unless diagnostics are silenced.
void reportSystemError(const char* what);

}  // namespace navtab

// One diagnostic line on standard error in the form "source/line: text".
#define NAVTAB_DIAG(source, ...)                               \
    do {                                                       \
        if (!navtab::diagnosticsQuiet()) {                     \
            std::fprintf(stderr, "%s/%d: ", source, __LINE__); \
            std::fprintf(stderr, __VA_ARGS__);                 \
        }                                                      \
    } while (0)
