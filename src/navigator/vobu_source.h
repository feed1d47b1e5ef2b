// The navigation packs the navigator reads while it plays a cell: each VOBU's PCI (user-operation
// mask, menu buttons) and DSI (where the next VOBU starts). Sectors count from the start of a VOB
// group, the menu VOB or the chain of a title set's title VOBs, as the cell entries count them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "navcmd/nav_operands.h"

namespace navtab::navigator {

struct Button {
    int up = 0, down = 0, left = 0, right = 0;  // neighbour button numbers, 0 for none
    // The button's rectangle on the picture, both edges included: where a mouse click selects it.
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
    bool autoAction = false;  // selecting the button activates it
    navcmd::NavBytes command{};
};

struct Vobu {
    std::uint32_t sector = 0;
    std::uint32_t prohibitedUops = 0;
    int highlightStatus = 0;  // 0 no highlight information; 1, 2, 3 buttons present
    int forcedSelect = 0;
    int forcedActivate = 0;
    std::vector<Button> buttons;  // button n is buttons[n - 1]
    // Where the next VOBU of the cell starts (absolute sector); 0 at the end of the cell.
    std::uint32_t next = 0;
};

// Reads one VOBU's NAV pack from its 2048 bytes. A sector that is no NAV pack gives a VOBU
// without buttons whose next VOBU is unknown (0).
Vobu ParseNavPack(const std::uint8_t* sector, std::uint32_t lba);

// A VOB group: the files in sector order, opened on first use.
class VobGroup {
  public:
    VobGroup() = default;
    explicit VobGroup(std::vector<std::string> paths);
    ~VobGroup();
    VobGroup(VobGroup&& other) noexcept;
    VobGroup& operator=(VobGroup&& other) noexcept;
    VobGroup(const VobGroup&) = delete;
    VobGroup& operator=(const VobGroup&) = delete;

    bool empty() const { return paths_.empty(); }
    // Reads sector `lba` into `out`; false (and `error` set) when no file holds it or a read fails.
    bool read(std::uint32_t lba, std::array<std::uint8_t, 2048>& out, std::string& error);

  private:
    void closeAll();
    std::vector<std::string> paths_;
    std::vector<int> fds_;
    std::vector<std::uint64_t> sectors_;  // sectors of each file, known once opened
    bool opened_ = false;
};

}  // namespace navtab::navigator
