// Scaling of decoded pictures to the display with libswscale, into the RGB32 frames a widget
// shows. Where the picture lands follows from its display ratio, the screen's and the display
// mode: a 16:9 picture on a 4:3 screen is letterboxed (whole, bars above and below) or
// pan-scanned (its middle 3/4, moved by the stream's pan-scan vector when it has one).
#pragma once

#include <cstdint>
#include <memory>

#include "player/media_frames.h"

struct AVFrame;

namespace navtab::player {

// What the video attributes say about the pictures.
struct VideoShape {
    DisplayRatio ratio = DisplayRatio::Ratio4x3;
    bool letterboxAllowed = true;
    bool panScanAllowed = true;
};

// The part of the decoded picture that is shown and where it lands in the frame.
struct PicturePlacement {
    int sourceWidth = 0, sourceHeight = 0;
    int cropX = 0, cropWidth = 0;             // columns of the decoded picture shown
    int x = 0, y = 0, width = 0, height = 0;  // the rectangle in the frame
};

// `panScanOffset` is the horizontal offset of the picture's centre from the centre of the part
// to show, in sixteenths of a pixel (the MPEG-2 pan-scan vector).
PicturePlacement placePicture(int sourceWidth, int sourceHeight, const VideoShape& shape,
                              const Display& display, int panScanOffset = 0);

class PictureScaler {
  public:
    PictureScaler();
    ~PictureScaler();
    PictureScaler(const PictureScaler&) = delete;
    PictureScaler& operator=(const PictureScaler&) = delete;

    // A frame of the display's size with the picture drawn where `placement` says and black
    // bars around it. `out` is reused when it already has the size.
    void scale(const AVFrame& picture, const PicturePlacement& placement, const Display& display,
               VideoFrame& out);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace navtab::player
