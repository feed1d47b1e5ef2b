// Draws a decoded sub-picture, and the highlight of a menu button inside it, onto a scaled frame.
// The sub-picture's coordinates are those of the decoded picture; each frame pixel inside the
// sub-picture's area looks up the pixel it shows, takes its palette colour and contrast (from the
// highlight inside the button's area) and is blended over the picture: contrast 0 leaves the
// picture, 15 covers it.
#pragma once

#include <cstdint>
#include <optional>

#include "player/media_frames.h"
#include "player/picture_scaler.h"
#include "player/sub_picture.h"

namespace navtab::player {

// A palette word 0x00YYCrCb as the colour 0xFFRRGGBB (studio-range BT.601).
std::uint32_t rgbOfPaletteEntry(std::uint32_t yCrCb);

void drawSubPicture(VideoFrame& frame, const PicturePlacement& placement, const SubPicture& sp,
                    const Palette& palette, const std::optional<Highlight>& highlight);

}  // namespace navtab::player
