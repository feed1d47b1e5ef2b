#include "player/sub_picture.h"

#include <algorithm>

#include "core/bytes.h"

namespace navtab::player {
namespace {

// Display control commands.
enum : std::uint8_t {
    kForcedStart = 0x00,
    kStart = 0x01,
    kStop = 0x02,
    kSetColour = 0x03,
    kSetContrast = 0x04,
    kSetArea = 0x05,
    kSetFieldOffsets = 0x06,
    kChangeColourContrast = 0x07,
    kEnd = 0xFF,
};

// A sequence's delay counts units of 1024 ticks of the 90 kHz clock.
constexpr std::int64_t kDelayUnit = 1024;
// A unit has a few sequences; more than this means its next-offsets go round in circles.
constexpr int kMaxSequences = 64;

struct Controls {
    std::optional<std::int64_t> start, end;
    bool forced = false;
    std::uint16_t colours = 0, contrasts = 0;
    Area area;
    std::uint16_t field[2] = {0, 0};
    bool haveOffsets = false;
};

// Runs the commands of one sequence; false when a command is cut off by the end of the unit.
bool runCommands(std::span<const std::uint8_t> u, std::size_t at, std::int64_t time, Controls& c) {
    while (at < u.size()) {
        const std::uint8_t cmd = u[at++];
        auto need = [&](std::size_t n) { return at + n <= u.size(); };
        switch (cmd) {
            case kForcedStart:
                c.forced = true;
                [[fallthrough]];
            case kStart:
                if (!c.start) c.start = time;
                break;
            case kStop:
                if (!c.end) c.end = time;
                break;
            case kSetColour:
                if (!need(2)) return false;
                c.colours = be16(&u[at]);
                at += 2;
                break;
            case kSetContrast:
                if (!need(2)) return false;
                c.contrasts = be16(&u[at]);
                at += 2;
                break;
            case kSetArea:
                if (!need(6)) return false;
                c.area.x0 = u[at] << 4 | u[at + 1] >> 4;
                c.area.x1 = (u[at + 1] & 0x0F) << 8 | u[at + 2];
                c.area.y0 = u[at + 3] << 4 | u[at + 4] >> 4;
                c.area.y1 = (u[at + 4] & 0x0F) << 8 | u[at + 5];
                at += 6;
                break;
            case kSetFieldOffsets:
                if (!need(4)) return false;
                c.field[0] = be16(&u[at]);
                c.field[1] = be16(&u[at + 2]);
                c.haveOffsets = true;
                at += 4;
                break;
            case kChangeColourContrast: {
                // Colour and contrast changes inside the area: skipped, their size says how far.
                if (!need(2)) return false;
                const std::size_t size = be16(&u[at]);
                if (size < 2 || !need(size)) return false;
                at += size;
                break;
            }
            case kEnd:
                return true;
            default:
                return false;
        }
    }
    return false;
}

// Reads the run-length code of one field: nibbles, most significant first.
class NibbleReader {
  public:
    NibbleReader(std::span<const std::uint8_t> data, std::size_t at, std::size_t end)
        : data_(data), pos_(at * 2), end_(end * 2) {}
    bool more() const { return pos_ < end_; }
    unsigned next() {
        if (pos_ >= end_) return 0;
        const std::uint8_t b = data_[pos_ / 2];
        const unsigned n = (pos_ & 1) ? (b & 0x0F) : (b >> 4);
        ++pos_;
        return n;
    }
    void alignToByte() { pos_ = (pos_ + 1) & ~std::size_t{1}; }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_, end_;
};

// A run: a count of pixels (0 means up to the end of the line) and their kind.
std::pair<int, std::uint8_t> readRun(NibbleReader& r) {
    unsigned v = r.next();
    // 4, 8, 12 or 16 bits: the more leading zero nibbles, the longer the count.
    for (unsigned limit : {0x4u, 0x10u, 0x40u}) {
        if (v >= limit) break;
        v = v << 4 | r.next();
    }
    return {static_cast<int>(v >> 2), static_cast<std::uint8_t>(v & 3)};
}

void decodeField(std::span<const std::uint8_t> u, std::size_t from, std::size_t to, int firstLine,
                 SubPicture& sp) {
    const int w = sp.area.width(), h = sp.area.height();
    NibbleReader r(u, from, to);
    for (int y = firstLine; y < h && r.more(); y += 2) {
        std::uint8_t* row = sp.pixels.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w && r.more();) {
            auto [count, kind] = readRun(r);
            const int n = count == 0 ? w - x : std::min(count, w - x);
            std::fill_n(row + x, n, kind);
            x += n;
        }
        r.alignToByte();
    }
}

}  // namespace

ColourSet colourSetOf(std::uint16_t colours, std::uint16_t contrasts) {
    ColourSet s;
    for (int kind = 0; kind < 4; ++kind) {
        s.colour[kind] = static_cast<std::uint8_t>(colours >> (4 * kind) & 0x0F);
        s.contrast[kind] = static_cast<std::uint8_t>(contrasts >> (4 * kind) & 0x0F);
    }
    return s;
}

std::optional<SubPicture> decodeSubPicture(std::span<const std::uint8_t> u, std::int64_t pts) {
    if (u.size() < 4) return std::nullopt;
    const std::size_t size = std::min<std::size_t>(be16(u.data()), u.size());
    if (size < 4) return std::nullopt;
    u = u.first(size);
    std::size_t seq = be16(&u[2]);
    Controls c;
    for (int i = 0; i < kMaxSequences && seq + 4 <= u.size(); ++i) {
        const std::int64_t time = pts + kDelayUnit * be16(&u[seq]);
        const std::size_t next = be16(&u[seq + 2]);
        if (!runCommands(u, seq + 4, time, c)) break;
        if (next <= seq) break;  // the last sequence points at itself
        seq = next;
    }
    const std::size_t pixelEnd = be16(&u[2]);
    if (!c.start || !c.haveOffsets || c.area.empty() || pixelEnd > u.size()) return std::nullopt;
    SubPicture sp;
    sp.area = c.area;
    sp.start = *c.start;
    sp.end = c.end;
    sp.forced = c.forced;
    sp.colours = colourSetOf(c.colours, c.contrasts);
    sp.pixels.assign(static_cast<std::size_t>(sp.area.width()) * sp.area.height(), 0);
    // The top field (even lines) is coded from its offset, the bottom field from the other; the
    // pixel data ends where the control sequences begin.
    for (int field = 0; field < 2; ++field)
        if (c.field[field] >= 4 && c.field[field] < pixelEnd)
            decodeField(u, c.field[field], pixelEnd, field, sp);
    return sp;
}

std::optional<SubPictureAssembler::Unit> SubPictureAssembler::add(
    std::span<const std::uint8_t> payload, std::optional<std::int64_t> pts) {
    if (pts) {
        bytes_.clear();
        pts_ = *pts;
        started_ = true;
    }
    if (!started_) return std::nullopt;  // the middle of a unit whose start was missed
    bytes_.insert(bytes_.end(), payload.begin(), payload.end());
    if (bytes_.size() < 2) return std::nullopt;
    const std::size_t size = be16(bytes_.data());
    if (size < 4) {
        reset();
        return std::nullopt;
    }
    if (bytes_.size() < size) return std::nullopt;
    Unit unit{std::vector<std::uint8_t>(bytes_.begin(),
                                        bytes_.begin() + static_cast<std::ptrdiff_t>(size)),
              pts_};
    reset();
    return unit;
}

void SubPictureAssembler::reset() {
    bytes_.clear();
    started_ = false;
}

}  // namespace navtab::player
