// The angles of a title set as its overview found them: the highest angle number met and, for each
// angle 1 to 9, the VOB ids of the cells that carry it. The VOB tools read this to split angles.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace navtab {

struct AngleTable {
    static constexpr int kMaxListedAngle = 9;
    int highestAngle = 0;
    std::array<std::vector<std::uint32_t>, kMaxListedAngle> vobIds;  // index 0 = angle 1

    void clear() {
        highestAngle = 0;
        for (auto& ids : vobIds) ids.clear();
    }
};

}  // namespace navtab
