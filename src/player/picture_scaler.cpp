#include "player/picture_scaler.h"

#include <algorithm>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace navtab::player {
namespace {

constexpr std::uint32_t kBlack = 0xFF000000u;

}  // namespace

PicturePlacement placePicture(int sw, int sh, const VideoShape& shape, const Display& display,
                              int panScanOffset) {
    PicturePlacement p;
    p.sourceWidth = sw;
    p.sourceHeight = sh;
    p.cropWidth = sw;
    // The display ratio of what is shown, as a fraction.
    int rw = 4, rh = 3;
    if (shape.ratio == DisplayRatio::Ratio16x9) {
        const bool wantPanScan = display.mode == DisplayMode::PanScan;
        const bool panScan = display.mode != DisplayMode::Wide &&
                             (wantPanScan ? shape.panScanAllowed || !shape.letterboxAllowed
                                          : !shape.letterboxAllowed && shape.panScanAllowed);
        if (panScan) {
            // The middle three quarters of a 16:9 picture is 4:3; an even start keeps the
            // chroma columns of 4:2:0 in step.
            p.cropWidth = sw * 3 / 4;
            const int centred = (sw - p.cropWidth) / 2 - panScanOffset / 16;
            p.cropX = std::clamp(centred, 0, sw - p.cropWidth) & ~1;
        } else {
            rw = 16;
            rh = 9;
        }
    }
    // Fit the ratio into the display, centred.
    const long dw = std::max(display.width, 1), dh = std::max(display.height, 1);
    if (dw * rh > dh * rw) {
        p.height = static_cast<int>(dh);
        p.width = static_cast<int>(dh * rw / rh);
    } else {
        p.width = static_cast<int>(dw);
        p.height = static_cast<int>(dw * rh / rw);
    }
    p.width = std::max(p.width, 1);
    p.height = std::max(p.height, 1);
    p.x = static_cast<int>(dw - p.width) / 2;
    p.y = static_cast<int>(dh - p.height) / 2;
    return p;
}

struct PictureScaler::Impl {
    SwsContext* sws = nullptr;
    ~Impl() { sws_freeContext(sws); }
};

PictureScaler::PictureScaler() : impl_(std::make_unique<Impl>()) {}
PictureScaler::~PictureScaler() = default;

void PictureScaler::scale(const AVFrame& f, const PicturePlacement& p, const Display& display,
                          VideoFrame& out) {
    const int w = std::max(display.width, 1), h = std::max(display.height, 1);
    out.width = w;
    out.height = h;
    out.pixels.assign(static_cast<std::size_t>(w) * h, kBlack);
    const auto format = static_cast<AVPixelFormat>(f.format);
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(format);
    if (!d || p.cropWidth <= 0 || f.width < p.cropX + p.cropWidth || f.height <= 0) return;
    impl_->sws = sws_getCachedContext(impl_->sws, p.cropWidth, f.height, format, p.width, p.height,
                                      AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!impl_->sws) return;
    // The crop starts the source planes further right.
    const std::uint8_t* src[4] = {};
    for (int i = 0; i < 4 && f.data[i]; ++i)
        src[i] = f.data[i] + (i == 0 || i == 3 ? p.cropX : p.cropX >> d->log2_chroma_w);
    std::uint8_t* dst[4] = {reinterpret_cast<std::uint8_t*>(
        out.pixels.data() + static_cast<std::size_t>(p.y) * w + p.x)};
    const int dstStride[4] = {w * 4};
    sws_scale(impl_->sws, src, f.linesize, 0, f.height, dst, dstStride);
}

}  // namespace navtab::player
