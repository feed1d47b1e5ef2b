#include "core/bcd_frames.h"

namespace navtab {
namespace {

std::uint32_t fromBcd(std::uint32_t byte) {
    return (byte >> 4) * 10 + (byte & 0x0F);
}

std::uint32_t toBcd(std::uint32_t value) {
    return ((value / 10 % 10) << 4) | (value % 10);
}

}  // namespace

std::uint32_t bcdTimeToFrames(std::uint32_t time) {
    const std::uint32_t rate = frameRateOf(static_cast<std::uint8_t>(time));
    const std::uint32_t hours = fromBcd(time >> 24);
    const std::uint32_t minutes = fromBcd((time >> 16) & 0xFF);
    const std::uint32_t seconds = fromBcd((time >> 8) & 0xFF);
    const std::uint32_t frames = fromBcd(time & 0x3F);
    return frames + seconds * rate + minutes * rate * 60 + hours * rate * 3600;
}

std::uint32_t framesToBcdTime(std::uint32_t frames, unsigned rate) {
    const std::uint32_t fps = rate == 25 ? 25 : 30;
    const std::uint32_t hours = frames / (3600 * fps);
    std::uint32_t rest = frames % (3600 * fps);
    const std::uint32_t minutes = rest / (60 * fps);
    rest %= 60 * fps;
    const std::uint32_t seconds = rest / fps;
    const std::uint32_t frame = rest % fps;
    const std::uint32_t flag = fps == 25 ? kRateFlag25 : kRateFlag30;
    return (toBcd(hours) << 24) | (toBcd(minutes) << 16) | (toBcd(seconds) << 8) | flag |
           toBcd(frame);
}

}  // namespace navtab
