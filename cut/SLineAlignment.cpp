// The line refinement: the source's edge distances, the target's edge pixels around each node,
// the search per node and the smoothing of the grid.
#include "SLineAlignment.h"

#include "SCelValues.h"
#include "SChamferDistance.h"
#include "SParallel.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

using namespace ulib;

namespace {

// A mapped edge pixel farther than this from every source edge costs this much and no more, so
// lines that changed between the cels do not pull.
constexpr std::int32_t CostCap = 6 * ChamferStraight;
// Edge pixels sampled around a node, at most.
constexpr std::size_t SamplesPerNode = 240;
// A node with fewer edge pixels around it is placed by its neighbours.
constexpr std::size_t FewestSamples = 40;
// The coarse-to-fine search's first step in each round, in pixels (it reaches about twice as far):
// the first round corrects what the regions left, the second settles the smoothed grid.
constexpr std::int32_t FirstSteps[] = {16, 2};
// A node farther than this (pixels) from the median of its neighbours takes that median.
constexpr double Disagreement = 3.0;

// The edge pixels of a paint layer, 1 per pixel in row order: the non-border pixels with a border
// pixel to their left, right, top or bottom.
std::vector<std::uint8_t> EdgeMask(const SBitmap& paint)
{
    const std::int32_t w = paint.Width(), h = paint.Height();
    std::vector<std::uint8_t> edge(std::size_t(w) * std::size_t(h), 0);
    const std::size_t n = static_cast<std::size_t>(w);
    std::vector<std::uint8_t> above(n, 0), here(n, 0), below(n, 0);
    auto borders = [&](std::int32_t y, std::vector<std::uint8_t>& out) {
        const std::uint32_t* row = paint.Row32(y);
        for (std::int32_t x = 0; x < w; ++x)
            out[std::size_t(x)] = cel_values::IsBorder(row[x]);
    };
    if (h > 0)
        borders(0, here);
    for (std::int32_t y = 0; y < h; ++y) {
        if (y + 1 < h)
            borders(y + 1, below);
        else
            std::fill(below.begin(), below.end(), 0);
        std::uint8_t* out = edge.data() + std::size_t(y) * std::size_t(w);
        for (std::int32_t x = 0; x < w; ++x) {
            const std::size_t i = std::size_t(x);
            const bool side = (x > 0 && here[i - 1]) || (x + 1 < w && here[i + 1]);
            out[x] = !here[i] && (side || above[i] || below[i]);
        }
        std::swap(above, here);
        std::swap(here, below);
    }
    return edge;
}

// The chamfer distance of every pixel to the nearest edge pixel, capped at 255.
std::vector<std::uint8_t> EdgeDistances(const SBitmap& paint)
{
    std::vector<std::uint8_t> d = EdgeMask(paint);
    for (std::uint8_t& v : d)
        v = v ? 0 : 255;
    ChamferDistances(d.data(), paint.Width(), paint.Height());
    return d;
}

struct Sample
{
    std::int32_t sx, sy;  // where the current mapping puts the target edge pixel in the source
};

class NodeSearch
{
public:
    NodeSearch(const std::vector<std::uint8_t>& distance, std::int32_t w, std::int32_t h) : d_(distance), w_(w), h_(h) {}

    std::int64_t Cost(const std::vector<Sample>& samples, std::int32_t ox, std::int32_t oy) const
    {
        std::int64_t cost = 0;
        for (const Sample& s : samples) {
            const std::int32_t x = s.sx + ox, y = s.sy + oy;
            cost += x < 0 || y < 0 || x >= w_ || y >= h_
                        ? CostCap
                        : std::min<std::int32_t>(CostCap, d_[std::size_t(y) * std::size_t(w_) + std::size_t(x)]);
        }
        return cost;
    }

    // The offset (added to the mapping) of the least cost, from steps of firstStep pixels to single
    // pixels; the search reaches about twice firstStep.
    void Best(const std::vector<Sample>& samples, std::int32_t firstStep, std::int32_t& bestX, std::int32_t& bestY) const
    {
        bestX = bestY = 0;
        std::int64_t best = Cost(samples, 0, 0);
        for (std::int32_t step = firstStep; step >= 1; step /= 2) {
            for (bool moved = true; moved;) {
                moved = false;
                const std::int32_t cx = bestX, cy = bestY;
                for (std::int32_t dy = -step; dy <= step; dy += step)
                    for (std::int32_t dx = -step; dx <= step; dx += step) {
                        if ((dx == 0 && dy == 0) || std::abs(cx + dx) > 2 * firstStep || std::abs(cy + dy) > 2 * firstStep)
                            continue;
                        const std::int64_t c = Cost(samples, cx + dx, cy + dy);
                        if (c < best) {
                            best = c;
                            bestX = cx + dx;
                            bestY = cy + dy;
                            moved = true;
                        }
                    }
            }
        }
    }

private:
    const std::vector<std::uint8_t>& d_;
    std::int32_t w_, h_;
};

double Median(std::vector<double> v)
{
    std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(v.size() / 2), v.end());
    return v[v.size() / 2];
}


// The target's edge pixels by grid cell (cell (i, j) spans pixels i * cell .. (i + 1) * cell - 1),
// each cell's thinned evenly to a quarter of the samples a node takes.
std::vector<std::vector<std::pair<std::int32_t, std::int32_t>>> EdgesByCell(const SBitmap& paint, std::int32_t cell,
                                                                           std::int32_t columns, std::int32_t rows)
{
    std::vector<std::vector<std::pair<std::int32_t, std::int32_t>>> cells(std::size_t(columns) * std::size_t(rows));
    const std::vector<std::uint8_t> edge = EdgeMask(paint);
    const std::int32_t w = paint.Width();
    for (std::int32_t y = 0; y < paint.Height(); ++y) {
        const std::uint8_t* row = edge.data() + std::size_t(y) * std::size_t(w);
        for (std::int32_t x = 0; x < w; ++x)
            if (row[x])
                cells[std::size_t(y / cell) * std::size_t(columns) + std::size_t(x / cell)].push_back({x, y});
    }
    for (auto& edges : cells) {
        const double stride = double(edges.size()) / double(SamplesPerNode / 4);
        if (stride <= 1)
            continue;
        std::vector<std::pair<std::int32_t, std::int32_t>> kept;
        for (double k = 0; k < double(edges.size()); k += stride)
            kept.push_back(edges[std::size_t(k)]);
        edges.swap(kept);
    }
    return cells;
}

// Places every node by the search, then smooths the grid.
void RefineRound(const NodeSearch& search, const std::vector<std::vector<std::pair<std::int32_t, std::int32_t>>>& cells,
                 std::int32_t firstStep, SCelMapping& mapping)
{
    const std::int32_t columns = mapping.Columns(), rows = mapping.Rows();
    std::vector<double> shiftX(std::size_t(columns) * std::size_t(rows)), shiftY(shiftX.size());
    std::vector<bool> placed(shiftX.size(), false);
    std::vector<Sample> samples;
    for (std::int32_t j = 0; j < rows; ++j)
        for (std::int32_t i = 0; i < columns; ++i) {
            const std::size_t n = std::size_t(j) * std::size_t(columns) + std::size_t(i);
            mapping.NodeShift(i, j, shiftX[n], shiftY[n]);
            // The four cells around the node.
            samples.clear();
            for (std::int32_t b = std::max(0, j - 1); b <= std::min(rows - 1, j); ++b)
                for (std::int32_t a = std::max(0, i - 1); a <= std::min(columns - 1, i); ++a)
                    for (const auto& [x, y] : cells[std::size_t(b) * std::size_t(columns) + std::size_t(a)]) {
                        double sx = 0, sy = 0;
                        mapping.Map(x, y, sx, sy);
                        samples.push_back({std::int32_t(std::lrint(sx)), std::int32_t(std::lrint(sy))});
                    }
            if (samples.size() < FewestSamples)
                continue;
            std::int32_t ox = 0, oy = 0;
            search.Best(samples, firstStep, ox, oy);
            shiftX[n] += ox;
            shiftY[n] += oy;
            placed[n] = true;
        }
    // A node that disagrees with the median of the placed nodes of its 3 x 3 block, or that was
    // not placed, takes that median.
    for (std::int32_t j = 0; j < rows; ++j)
        for (std::int32_t i = 0; i < columns; ++i) {
            std::vector<double> xs, ys;
            for (std::int32_t b = std::max(0, j - 1); b <= std::min(rows - 1, j + 1); ++b)
                for (std::int32_t a = std::max(0, i - 1); a <= std::min(columns - 1, i + 1); ++a) {
                    const std::size_t m = std::size_t(b) * std::size_t(columns) + std::size_t(a);
                    if (placed[m]) {
                        xs.push_back(shiftX[m]);
                        ys.push_back(shiftY[m]);
                    }
                }
            const std::size_t n = std::size_t(j) * std::size_t(columns) + std::size_t(i);
            double dx = shiftX[n], dy = shiftY[n];
            if (xs.size() >= 3) {
                const double mx = Median(xs), my = Median(ys);
                if (!placed[n] || std::hypot(dx - mx, dy - my) > Disagreement) {
                    dx = mx;
                    dy = my;
                }
            }
            mapping.SetNodeShift(i, j, dx, dy);
        }
}

}  // namespace

SError RefineOnLines(const SBitmap& sourcePaint, const SBitmap& targetPaint, SCelMapping& mapping, const SAbort* abort)
{
    // The source's distances and the target's edges are found at once.
    std::vector<std::uint8_t> distance;
    std::vector<std::vector<std::pair<std::int32_t, std::int32_t>>> cells;
    bool failed = false;
    RunInParallel({[&] {
                       try {
                           distance = EdgeDistances(sourcePaint);
                       } catch (const std::bad_alloc&) {
                           failed = true;
                       }
                   },
                   [&] {
                       try {
                           cells = EdgesByCell(targetPaint, mapping.Cell(), mapping.Columns(), mapping.Rows());
                       } catch (const std::bad_alloc&) {
                           cells.clear();
                       }
                   }},
                  std::int64_t(targetPaint.Width()) * targetPaint.Height());
    if (failed || cells.empty())
        return ErrorFromIdentifier("memory_temp");
    try {
        const NodeSearch search(distance, sourcePaint.Width(), sourcePaint.Height());
        for (const std::int32_t firstStep : FirstSteps) {
            if (abort && abort->IsAborted())
                return ErrorFromIdentifier("abort");
            RefineRound(search, cells, firstStep, mapping);
        }
    } catch (const std::bad_alloc&) {
        return ErrorFromIdentifier("memory_temp");
    }
    return 0;
}
