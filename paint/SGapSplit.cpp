// The split works on the set's pixels alone, span after span, so its cost follows the set and not
// its bounding box: a chamfer distance in two passes that keep the row before in a line as wide as
// the cel, cores as runs joined across rows, and a flood from the cores' edges over the pixels near
// the borders, widest passages first.
#include "SGapSplit.h"

#include "SChamferDistance.h"
#include "SRunGroups.h"

#include <algorithm>
#include <new>

using namespace ulib;

namespace {

constexpr std::int32_t NotInSet = -1;
constexpr std::int32_t Unowned = 0;
constexpr std::uint32_t NoPixel = 0;  // the slot before the first span
constexpr std::int32_t Far = 255;

std::uint8_t Near(std::int32_t a, std::int32_t b) { return std::uint8_t(std::min({a, b, Far})); }

// What the row before or after offers a pixel at x, with line[x + 1] holding pixel x of that row.
std::int32_t Offered(const std::uint8_t* line, std::int32_t x)
{
    return std::min({line[x] + ChamferDiagonal, line[x + 1] + ChamferStraight, line[x + 2] + ChamferDiagonal});
}

}  // namespace

bool SGapSplit::Split(std::vector<SRowSpan> spans, std::int32_t celWidth, std::int32_t celHeight, std::int32_t gap)
{
    try {
        spans_ = std::move(spans);
        cores_ = 0;
        coreSeeds_.clear();
        Index();
        MeasureDistances(celWidth, celHeight);
        LinkRows();
        // An opening `gap` pixels wide has no pixel farther than half of it from its sides.
        const std::int32_t reach = (ChamferStraight * gap + 1) / 2 + ChamferStraight;
        LabelCores(reach);
        ShareAmongCores(reach);
        return true;
    } catch (const std::bad_alloc&) {
        *this = SGapSplit();
        return false;
    }
}

std::pair<std::size_t, std::size_t> SGapSplit::RowSpans(std::int32_t y) const
{
    if (spans_.empty() || y < top_ || y - top_ + 1 >= std::int32_t(rowFirst_.size()))
        return {0, 0};
    return {rowFirst_[std::size_t(y - top_)], rowFirst_[std::size_t(y - top_ + 1)]};
}

void SGapSplit::Index()
{
    start_.resize(spans_.size());
    std::size_t next = 1;
    for (std::size_t s = 0; s < spans_.size(); ++s) {
        start_[s] = next;
        next += std::size_t(spans_[s].x1 - spans_[s].x0) + 1;
    }
    owner_.assign(next, Unowned);
    owner_[0] = NotInSet;
    for (std::size_t s = 0; s < spans_.size(); ++s)
        owner_[start_[s] + std::size_t(spans_[s].x1 - spans_[s].x0)] = NotInSet;
    distance_.assign(next, 0);
    top_ = spans_.empty() ? 0 : spans_.front().y;
    const std::int32_t rows = spans_.empty() ? 0 : spans_.back().y - top_ + 1;
    rowFirst_.assign(std::size_t(rows) + 1, spans_.size());
    for (std::size_t s = spans_.size(); s-- > 0;)
        rowFirst_[std::size_t(spans_[s].y - top_)] = s;
    // A row without spans starts where the next row does.
    for (std::size_t r = std::size_t(rows); r-- > 0;)
        rowFirst_[r] = std::min(rowFirst_[r], rowFirst_[r + 1]);
}

// Two chamfer passes over the spans. `line` holds the row before (after) the one being measured:
// its set pixels' distances, 0 at its other pixels (borders) and 255 beyond the cel's edge.
void SGapSplit::MeasureDistances(std::int32_t celWidth, std::int32_t celHeight)
{
    if (spans_.empty())
        return;
    std::vector<std::uint8_t> line(std::size_t(celWidth) + 2, 0);
    const auto reset = [&](bool beyondEdge) {
        std::fill(line.begin(), line.end(), std::uint8_t(beyondEdge ? Far : 0));
        line.front() = line.back() = Far;
    };
    const auto hold = [&](std::int32_t y, bool keep) {
        const auto [first, end] = RowSpans(y);
        for (std::size_t s = first; s < end; ++s) {
            const std::uint8_t* d = distance_.data() + start_[s];
            std::uint8_t* to = line.data() + spans_[s].x0 + 1;
            const std::size_t n = std::size_t(spans_[s].x1 - spans_[s].x0);
            if (keep)
                std::copy(d, d + n, to);
            else
                std::fill(to, to + std::ptrdiff_t(n), std::uint8_t(0));
        }
    };
    const std::int32_t bottom = spans_.back().y + 1;
    reset(top_ == 0);
    for (std::int32_t y = top_; y < bottom; ++y) {
        const auto [first, end] = RowSpans(y);
        for (std::size_t s = first; s < end; ++s) {
            std::uint8_t* d = distance_.data() + start_[s] - spans_[s].x0;
            std::int32_t run = spans_[s].x0 == 0 ? Far : 0;
            for (std::int32_t x = spans_[s].x0; x < spans_[s].x1; ++x)
                d[x] = std::uint8_t(run = Near(run + ChamferStraight, Offered(line.data(), x)));
        }
        if (y == top_)
            reset(false);
        else
            hold(y - 1, false);
        hold(y, true);
    }
    reset(bottom == celHeight);
    for (std::int32_t y = bottom - 1; y >= top_; --y) {
        const auto [first, end] = RowSpans(y);
        for (std::size_t s = first; s < end; ++s) {
            std::uint8_t* d = distance_.data() + start_[s] - spans_[s].x0;
            std::int32_t run = spans_[s].x1 == celWidth ? Far : 0;
            for (std::int32_t x = spans_[s].x1 - 1; x >= spans_[s].x0; --x)
                d[x] = std::uint8_t(run = Near(run + ChamferStraight, std::min<std::int32_t>(d[x], Offered(line.data(), x))));
        }
        if (y == bottom - 1)
            reset(false);
        else
            hold(y + 1, false);
        hold(y, true);
    }
}

// Pairs the pixels of each row with those above and below, overlap by overlap.
void SGapSplit::LinkRows()
{
    up_.assign(owner_.size(), NoPixel);
    down_.assign(owner_.size(), NoPixel);
    if (spans_.empty())
        return;
    for (std::int32_t y = top_ + 1; y <= spans_.back().y; ++y) {
        auto [a, aEnd] = RowSpans(y);
        auto [b, bEnd] = RowSpans(y - 1);
        while (a < aEnd && b < bEnd) {
            const std::int32_t x0 = std::max(spans_[a].x0, spans_[b].x0);
            const std::int32_t x1 = std::min(spans_[a].x1, spans_[b].x1);
            for (std::int32_t x = x0; x < x1; ++x) {
                const std::size_t here = start_[a] + std::size_t(x - spans_[a].x0);
                const std::size_t above = start_[b] + std::size_t(x - spans_[b].x0);
                up_[here] = std::uint32_t(above);
                down_[above] = std::uint32_t(here);
            }
            if (spans_[a].x1 < spans_[b].x1)
                ++a;
            else
                ++b;
        }
    }
}

// Numbers the groups of pixels at least `reach` from the borders from 1, in the order of their first
// pixel, and gives every pixel of a group its number. The groups are 8-connected: two such pixels
// that touch at a corner lie far from every line, with no opening between them to close.
void SGapSplit::LabelCores(std::int32_t reach)
{
    std::vector<SKeyedRun> runs;
    std::vector<std::size_t> starts;  // each run's first pixel in the maps
    for (std::size_t s = 0; s < spans_.size(); ++s) {
        const std::uint8_t* d = distance_.data() + start_[s] - spans_[s].x0;
        for (std::int32_t x = spans_[s].x0; x < spans_[s].x1;) {
            if (d[x] < reach) {
                ++x;
                continue;
            }
            const std::int32_t x0 = x;
            while (x < spans_[s].x1 && d[x] >= reach)
                ++x;
            runs.push_back({spans_[s].y, x0, x, 0});
            starts.push_back(start_[s] + std::size_t(x0 - spans_[s].x0));
        }
    }
    std::vector<std::int32_t> group;
    cores_ = GroupRuns(runs, true, group);
    coreSeeds_.assign(std::size_t(cores_), SPoint{-1, -1});
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const std::int32_t core = group[r] + 1;
        if (coreSeeds_[std::size_t(core - 1)].x < 0)
            coreSeeds_[std::size_t(core - 1)] = {runs[r].x0, runs[r].y};
        std::fill(owner_.begin() + std::ptrdiff_t(starts[r]), owner_.begin() + std::ptrdiff_t(starts[r]) + (runs[r].x1 - runs[r].x0),
                  core);
    }
}

// A flood from the cores at once over the other pixels, widest passage first: each pixel takes the
// core it is joined to by the widest path (the one whose narrowest point lies farthest from the
// borders), and among equally wide ones the nearest along the set. So a neighbour's thin part
// behind an opening stays with the neighbour, whose path to it is no narrower than the part itself,
// while corners stay with the core they open from.
void SGapSplit::ShareAmongCores(std::int32_t reach)
{
    if (cores_ == 0)
        return;
    // levels[d]: the pixels whose widest path narrows to d, in the order they were reached.
    std::vector<std::vector<std::uint32_t>> levels(static_cast<std::size_t>(reach));
    for (std::size_t i = 1; i < owner_.size(); ++i) {
        if (owner_[i] != Unowned)
            continue;
        for (const std::size_t j : {i - 1, i + 1, std::size_t(up_[i]), std::size_t(down_[i])})
            if (owner_[j] > 0 && distance_[j] >= reach) {
                owner_[i] = owner_[j];
                levels[distance_[i]].push_back(std::uint32_t(i));
                break;
            }
    }
    for (std::size_t level = levels.size(); level-- > 0;) {
        std::vector<std::uint32_t>& queue = levels[level];
        for (std::size_t head = 0; head < queue.size(); ++head) {
            const std::size_t i = queue[head];
            for (const std::size_t j : {i - 1, i + 1, std::size_t(up_[i]), std::size_t(down_[i])})
                if (owner_[j] == Unowned) {
                    owner_[j] = owner_[i];
                    levels[std::min<std::size_t>(level, distance_[j])].push_back(std::uint32_t(j));
                }
        }
        queue = {};
    }
}

std::int32_t SGapSplit::Owner(SPoint p) const
{
    const auto [first, end] = RowSpans(p.y);
    const auto after = std::upper_bound(spans_.begin() + std::ptrdiff_t(first), spans_.begin() + std::ptrdiff_t(end), p.x,
                                        [](std::int32_t x, const SRowSpan& s) { return x < s.x0; });
    if (after == spans_.begin() + std::ptrdiff_t(first))
        return 0;
    const std::size_t s = std::size_t(after - spans_.begin()) - 1;
    if (p.x >= spans_[s].x1)
        return 0;
    return std::max(owner_[start_[s] + std::size_t(p.x - spans_[s].x0)], Unowned);
}

bool SGapSplit::IsSeam(std::size_t i) const
{
    for (const std::size_t j : {i - 1, i + 1, std::size_t(up_[i]), std::size_t(down_[i])})
        if (owner_[j] != NotInSet && owner_[j] != owner_[i])
            return true;
    return false;
}
