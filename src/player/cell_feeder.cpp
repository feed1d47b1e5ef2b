#include "player/cell_feeder.h"

#include <array>
#include <map>
#include <optional>
#include <utility>

#include "core/bytes.h"
#include "core/text_printf.h"
#include "navigator/vobu_source.h"
#include "player/media_pipeline.h"
#include "player/pack_demux.h"
#include "vob/nav_pack_layout.h"
#include "vob/vob_files.h"

namespace navtab::player {
namespace {

namespace nav = vob::nav;

constexpr const char* kOpenWarning = "DVD Warning: Could not open a file on the DVD disc.";
constexpr const char* kSeekWarning = "DVD Warning: Could not seek in a file on the DVD disc.";
constexpr const char* kReadWarning = "DVD Warning: Could not read a file on the DVD disc.";

// The intervals, in half seconds, of the DSI's forward search pointers (the farthest first);
// the backward ones are the same in the opposite order.
constexpr std::array<int, nav::kStepCount> kForwardSteps = {
    240, 120, 60, 20, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};

// The distance in sectors to the VOBU about `halfSeconds` away (backward when negative), from
// the DSI's search pointers. When the pointer for that interval has no distance (the end of the
// cell is nearer, or the authoring tool left the entry empty) the shorter intervals are tried in
// turn; nothing when none has one.
std::optional<std::uint32_t> searchDistance(const std::array<std::uint8_t, 2048>& s,
                                            int halfSeconds) {
    const int want = halfSeconds < 0 ? -halfSeconds : halfSeconds;
    for (std::size_t i = 0; i < kForwardSteps.size(); ++i) {
        if (kForwardSteps[i] > want) continue;
        const std::uint32_t word =
            halfSeconds > 0 ? be32(&s[nav::kForward + 4 * i])
                            : be32(&s[nav::kBackward + 4 * (kForwardSteps.size() - 1 - i)]);
        const std::uint32_t distance = word & nav::kSearchDistanceMask;
        if (word != nav::kSearchNone && distance != 0 && distance != nav::kSearchNone)
            return distance;
    }
    return std::nullopt;
}

std::string twoDigits(int n) {
    return strprintf("%02d", n);
}

}  // namespace

struct CellFeeder::Impl {
    std::string folder;
    std::map<std::pair<int, int>, navigator::VobGroup> groups;
    navigator::VobGroup* group = nullptr;
    std::uint32_t first = 0, last = 0, pos = 0;
    std::uint32_t vobuEnd = 0;  // last sector of the current VOBU (or of its part being read)
    std::optional<std::uint32_t> next;  // where the VOBU after it starts
    bool inVobu = false;
    bool ended = true;
    int scan = 0;
    std::string error, detail;
    std::array<std::uint8_t, 2048> sector{};

    std::vector<std::string> pathsOf(navigator::Domain domain, int titleSet) const {
        const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
        const std::string ifo = titleSet == 0 || domain == navigator::Domain::FirstPlay ||
                                        domain == navigator::Domain::VmgMenu
                                    ? prefix + "VIDEO_TS.IFO"
                                    : prefix + "VTS_" + twoDigits(titleSet) + "_0.IFO";
        if (domain == navigator::Domain::Title) return vob::titleVobPaths(ifo);
        auto menu = vob::menuVobPath(ifo);
        return menu ? std::vector<std::string>{*menu} : std::vector<std::string>{};
    }

    void fail(const std::string& why) {
        detail = why;
        error = why.starts_with("Could not open")          ? kOpenWarning
                : why.starts_with("Could not read sector") ? kSeekWarning
                                                           : kReadWarning;
        ended = true;
    }

    // Reads the NAV pack at `pos` (when it is one) and sets what of its VOBU is read and where
    // the next one starts.
    void beginVobu() {
        inVobu = true;
        if (!isNavPack(sector)) {
            vobuEnd = pos;
            next = pos + 1;
            return;
        }
        const std::uint32_t vobuLast = be32(&sector[nav::kVobuEa]);
        vobuEnd = pos + vobuLast;
        // The navigator's reading of the next-VOBU pointer says 0 at the end of the cell.
        next.reset();
        if (const std::uint32_t n = navigator::ParseNavPack(sector.data(), pos).next)
            next = n;
        else if (vobuEnd < last)
            next = vobuEnd + 1;
        if (scan == 0) return;
        // Fast playback: the VOBU up to its first reference picture, then the search pointer.
        const std::uint32_t ref = be32(&sector[nav::kRef1Ea]);
        if (ref != 0 && ref < vobuLast) vobuEnd = pos + ref;
        const auto distance = searchDistance(sector, scan);
        // Forward without a pointer the next VOBU follows; going back, the cell's first VOBU
        // lies at a distance equal to the position.
        if (distance && scan > 0)
            next = pos + *distance;
        else if (distance && *distance <= pos)
            next = pos - *distance;
        else if (scan < 0)
            next.reset();
    }
};

CellFeeder::CellFeeder(std::string folder) : impl_(std::make_unique<Impl>()) {
    impl_->folder = std::move(folder);
}

CellFeeder::~CellFeeder() = default;

bool CellFeeder::startCell(navigator::Domain domain, int titleSet, std::uint32_t first,
                           std::uint32_t last) {
    Impl& d = *impl_;
    d.error.clear();
    d.detail.clear();
    const int key = domain == navigator::Domain::Title ? 1 : 0;
    const int set =
        domain == navigator::Domain::VtsMenu || domain == navigator::Domain::Title ? titleSet : 0;
    auto found = d.groups.find({set, key});
    if (found == d.groups.end()) {
        auto paths = d.pathsOf(domain, set);
        if (paths.empty()) {
            d.group = nullptr;
            d.fail("Could not open the VOB files of " +
                   (set == 0 ? std::string("the video manager") : "title set " + twoDigits(set)));
            return false;
        }
        found = d.groups.emplace(std::pair{set, key}, navigator::VobGroup(std::move(paths))).first;
    }
    d.group = &found->second;
    d.first = first;
    d.last = last;
    d.pos = first;
    d.inVobu = false;
    d.ended = last < first;
    return true;
}

bool CellFeeder::startCell(const navigator::Event& e) {
    return startCell(e.domain, e.titleSet, e.first, e.last);
}

void CellFeeder::seek(std::uint32_t sector) {
    Impl& d = *impl_;
    if (!d.group) return;
    d.pos = sector;
    d.inVobu = false;
    d.ended = sector < d.first || sector > d.last;
}

void CellFeeder::setScan(int halfSecondsPerStep) {
    impl_->scan = halfSecondsPerStep;
}

std::size_t CellFeeder::feed(MediaPipeline& pipeline, std::size_t maxSectors) {
    Impl& d = *impl_;
    std::size_t fed = 0;
    while (fed < maxSectors && !d.ended && d.group) {
        std::string why;
        if (!d.group->read(d.pos, d.sector, why)) {
            d.fail(why);
            break;
        }
        if (!d.inVobu) d.beginVobu();
        pipeline.feedSector(d.sector);
        ++fed;
        if (d.pos < d.vobuEnd && d.pos < d.last) {
            ++d.pos;
            continue;
        }
        // The VOBU (or the part of it wanted) is read: on to the next, inside the cell only.
        d.inVobu = false;
        const bool onward = d.next && (d.scan < 0 ? *d.next < d.pos && *d.next >= d.first
                                                  : *d.next > d.pos && *d.next <= d.last);
        if (onward)
            d.pos = *d.next;
        else
            d.ended = true;
    }
    return fed;
}

bool CellFeeder::atEnd() const {
    return impl_->ended;
}

std::uint32_t CellFeeder::position() const {
    return impl_->pos;
}

const std::string& CellFeeder::error() const {
    return impl_->error;
}

const std::string& CellFeeder::errorDetail() const {
    return impl_->detail;
}

}  // namespace navtab::player
