// Arbitrary bytes as VOB sectors (the last may be short) for the player's media pipeline, with an
// audio and a sub-picture stream chosen and a button selected so every decoder and the overlay see
// them; then the whole input as one sub-picture unit, and button highlights read from each sector.
#include "fuzz_support.h"
#include "player/button_highlight.h"
#include "player/media_pipeline.h"
#include "player/sub_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace navtab::player;
    MediaPipeline pipeline;
    pipeline.setDisplay({64, 48, DisplayMode::PanScan});
    pipeline.setVideoShape(DisplayRatio::Ratio16x9);
    pipeline.selectAudio(AudioStreamId{data && size ? data[0] & 7 : 0, AudioCoding::Any});
    pipeline.selectSubPicture(0);
    pipeline.setSelectedButton(1);
    for (std::size_t at = 0; at < size; at += 2048) {
        const std::span<const std::uint8_t> sector(data + at,
                                                   std::min<std::size_t>(2048, size - at));
        pipeline.feedSector(sector);
        buttonHighlightsOf(sector);
    }
    pipeline.drain();
    pipeline.takeFrames();
    pipeline.takeAudio();
    pipeline.redrawLast();
    // A decoded unit has exactly one pixel kind per pixel of its area.
    if (const auto sp = decodeSubPicture({data, size}, 0))
        if (sp->pixels.size() != static_cast<std::size_t>(sp->area.width()) * sp->area.height())
            __builtin_trap();
    return 0;
}
