// The editors a double-click or the HexEdit button opens. The core hands each one the current value
// and gets back the new one, or nothing when the user cancelled; the window shows them as dialogs.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace navtab {

class FieldEditors {
  public:
    virtual ~FieldEditors() = default;
    // The "Enter new Value" dialog, opened with `current`; the text typed.
    virtual std::optional<std::string> enterNewValue(const std::string& current) = 0;
    // The video attribute word (byte 0 in the high half), edited bit group by bit group.
    virtual std::optional<std::uint16_t> editVideoAttributes(std::uint16_t word) = 0;
    // The prohibited-user-operations mask, one check box per bit.
    virtual std::optional<std::uint32_t> editUserOperations(std::uint32_t mask) = 0;
    // The hex editor on a copy of `bytes`; the edited bytes, which may be shorter or longer.
    virtual std::optional<std::vector<std::uint8_t>> editBytes(
        std::span<const std::uint8_t> bytes) = 0;
};

}  // namespace navtab
