#include "player/overlay.h"

#include <algorithm>
#include <array>

namespace navtab::player {
namespace {

std::uint32_t clampByte(double v) {
    return static_cast<std::uint32_t>(std::clamp(v + 0.5, 0.0, 255.0));
}

bool inside(const Area& a, int x, int y) {
    return x >= a.x0 && x <= a.x1 && y >= a.y0 && y <= a.y1;
}

std::uint32_t blend(std::uint32_t under, std::uint32_t over, unsigned contrast) {
    std::uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const unsigned a = under >> shift & 0xFF, b = over >> shift & 0xFF;
        out |= ((b * contrast + a * (15 - contrast) + 7) / 15) << shift;
    }
    return out;
}

}  // namespace

std::uint32_t rgbOfPaletteEntry(std::uint32_t v) {
    const double y = 1.164 * (static_cast<double>(v >> 16 & 0xFF) - 16);
    const double cr = static_cast<double>(v >> 8 & 0xFF) - 128;
    const double cb = static_cast<double>(v & 0xFF) - 128;
    return 0xFF000000u | clampByte(y + 1.596 * cr) << 16 |
           clampByte(y - 0.813 * cr - 0.391 * cb) << 8 | clampByte(y + 2.018 * cb);
}

void drawSubPicture(VideoFrame& frame, const PicturePlacement& p, const SubPicture& sp,
                    const Palette& palette, const std::optional<Highlight>& highlight) {
    if (sp.area.empty() || p.cropWidth <= 0 || p.sourceHeight <= 0 || p.width <= 0 ||
        p.height <= 0 || frame.pixels.size() < static_cast<std::size_t>(frame.width) * frame.height)
        return;
    std::array<std::uint32_t, 16> rgb{};
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = rgbOfPaletteEntry(palette[i]);
    // The frame rows and columns the area covers, cut to the placed picture and the frame.
    auto toFrameX = [&](long sx) { return p.x + (sx - p.cropX) * p.width / p.cropWidth; };
    auto toFrameY = [&](long sy) { return p.y + sy * p.height / p.sourceHeight; };
    const long fx0 = std::max<long>({toFrameX(sp.area.x0), p.x, 0});
    const long fx1 = std::min<long>({toFrameX(sp.area.x1 + 1), p.x + p.width, frame.width});
    const long fy0 = std::max<long>({toFrameY(sp.area.y0), p.y, 0});
    const long fy1 = std::min<long>({toFrameY(sp.area.y1 + 1), p.y + p.height, frame.height});
    const int w = sp.area.width();
    for (long fy = fy0; fy < fy1; ++fy) {
        const int sy = static_cast<int>((fy - p.y) * p.sourceHeight / p.height);
        if (sy < sp.area.y0 || sy > sp.area.y1) continue;
        std::uint32_t* row = frame.pixels.data() + fy * frame.width;
        for (long fx = fx0; fx < fx1; ++fx) {
            const int sx = static_cast<int>(p.cropX + (fx - p.x) * p.cropWidth / p.width);
            if (sx < sp.area.x0 || sx > sp.area.x1) continue;
            const std::size_t at =
                static_cast<std::size_t>(sy - sp.area.y0) * w + (sx - sp.area.x0);
            if (at >= sp.pixels.size()) continue;
            const std::uint8_t kind = sp.pixels[at] & 3;
            const ColourSet& c =
                highlight && inside(highlight->area, sx, sy) ? highlight->colours : sp.colours;
            const unsigned contrast = c.contrast[kind];
            if (contrast == 0) continue;
            row[fx] = blend(row[fx], rgb[c.colour[kind] & 15], contrast);
        }
    }
}

}  // namespace navtab::player
