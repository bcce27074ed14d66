// The mapping between two cels of a cut and its fits.
#include "SCelMapping.h"

#include <algorithm>

namespace {

// Nodes about this many to the longer side: local movements are smooth over a few percent of it.
constexpr std::int32_t NodesAlongLongerSide = 40;
constexpr std::int32_t SmallestCell = 16;
// A point speaks for the nodes within 3 sigma, sigma 1.5 cells.
constexpr double SigmaInCells = 1.5;
// How strongly a node is drawn towards no local shift, as a share of the mean point weight.
constexpr double PriorShare = 0.1;
// Residuals this far (pixels) from the fitted field count half in the refit; farther ones less.
constexpr double RobustScale = 4.0;

}  // namespace

SSimilarity FitSimilarity(const std::vector<SCorrespondence>& points)
{
    double w = 0, mx = 0, my = 0, msx = 0, msy = 0;
    for (const SCorrespondence& p : points) {
        w += p.weight;
        mx += p.weight * p.x;
        my += p.weight * p.y;
        msx += p.weight * p.sx;
        msy += p.weight * p.sy;
    }
    if (w <= 0)
        return {};
    mx /= w, my /= w, msx /= w, msy /= w;
    // With complex numbers z = x + iy, the best (a + ib) is sum(w s conj(z)) / sum(w |z|^2) over the
    // centred points.
    double re = 0, im = 0, norm = 0;
    for (const SCorrespondence& p : points) {
        const double x = p.x - mx, y = p.y - my, sx = p.sx - msx, sy = p.sy - msy;
        re += p.weight * (sx * x + sy * y);
        im += p.weight * (sy * x - sx * y);
        norm += p.weight * (x * x + y * y);
    }
    if (norm <= 1e-9)
        return {};
    SSimilarity s;
    s.a = re / norm;
    s.b = im / norm;
    s.tx = msx - (s.a * mx - s.b * my);
    s.ty = msy - (s.b * mx + s.a * my);
    return s;
}

SCelMapping::SCelMapping(std::int32_t width, std::int32_t height)
    : width_(std::max(width, 1)), height_(std::max(height, 1))
{
    cell_ = std::max(SmallestCell, std::max(width_, height_) / NodesAlongLongerSide);
    columns_ = (width_ - 1) / cell_ + 2;
    rows_ = (height_ - 1) / cell_ + 2;
    dx_.assign(std::size_t(columns_) * std::size_t(rows_), 0.0f);
    dy_.assign(dx_.size(), 0.0f);
}

void SCelMapping::FitLocal(const std::vector<SCorrespondence>& points)
{
    std::fill(dx_.begin(), dx_.end(), 0.0f);
    std::fill(dy_.begin(), dy_.end(), 0.0f);
    if (points.empty())
        return;
    double meanWeight = 0;
    for (const SCorrespondence& p : points)
        meanWeight += p.weight;
    meanWeight /= double(points.size());
    const double sigma = SigmaInCells * cell_, reach = 3 * sigma;

    std::vector<double> weights(points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        weights[i] = points[i].weight;
    // Twice: the second fit counts a point less the farther it lies from the first fit, so a
    // wrong correspondence does not bend the field around it.
    for (int round = 0; round < 2; ++round) {
        std::vector<double> sumW(dx_.size(), PriorShare * meanWeight), sumX(dx_.size(), 0.0), sumY(dx_.size(), 0.0);
        for (std::size_t k = 0; k < points.size(); ++k) {
            const SCorrespondence& p = points[k];
            const double rx = p.sx - global_.X(p.x, p.y), ry = p.sy - global_.Y(p.x, p.y);
            const std::int32_t i0 = std::max(0, std::int32_t(std::ceil((p.x - reach) / cell_)));
            const std::int32_t i1 = std::min(columns_ - 1, std::int32_t(std::floor((p.x + reach) / cell_)));
            const std::int32_t j0 = std::max(0, std::int32_t(std::ceil((p.y - reach) / cell_)));
            const std::int32_t j1 = std::min(rows_ - 1, std::int32_t(std::floor((p.y + reach) / cell_)));
            for (std::int32_t j = j0; j <= j1; ++j)
                for (std::int32_t i = i0; i <= i1; ++i) {
                    const double ex = i * cell_ - p.x, ey = j * cell_ - p.y;
                    const double g = weights[k] * std::exp(-(ex * ex + ey * ey) / (2 * sigma * sigma));
                    sumW[Node(i, j)] += g;
                    sumX[Node(i, j)] += g * rx;
                    sumY[Node(i, j)] += g * ry;
                }
        }
        for (std::size_t n = 0; n < dx_.size(); ++n) {
            dx_[n] = float(sumX[n] / sumW[n]);
            dy_[n] = float(sumY[n] / sumW[n]);
        }
        for (std::size_t k = 0; k < points.size(); ++k) {
            double sx = 0, sy = 0;
            Map(points[k].x, points[k].y, sx, sy);
            const double e = std::hypot(points[k].sx - sx, points[k].sy - sy) / RobustScale;
            weights[k] = points[k].weight / (1 + e * e);
        }
    }
}

void SCelMapping::Local(double x, double y, double& dx, double& dy) const
{
    const double fx = std::clamp(x / cell_, 0.0, double(columns_ - 1) - 1e-9);
    const double fy = std::clamp(y / cell_, 0.0, double(rows_ - 1) - 1e-9);
    const std::int32_t i = std::int32_t(fx), j = std::int32_t(fy);
    const double u = fx - i, v = fy - j;
    const std::size_t n00 = Node(i, j), n10 = Node(i + 1, j), n01 = Node(i, j + 1), n11 = Node(i + 1, j + 1);
    dx = (1 - v) * ((1 - u) * dx_[n00] + u * dx_[n10]) + v * ((1 - u) * dx_[n01] + u * dx_[n11]);
    dy = (1 - v) * ((1 - u) * dy_[n00] + u * dy_[n10]) + v * ((1 - u) * dy_[n01] + u * dy_[n11]);
}

void SCelMapping::Map(double x, double y, double& sx, double& sy) const
{
    double dx = 0, dy = 0;
    Local(x, y, dx, dy);
    sx = global_.X(x, y) + dx;
    sy = global_.Y(x, y) + dy;
}

void SCelMapping::MapRow(std::int32_t y, std::int32_t x0, std::int32_t x1, std::int32_t* sx, std::int32_t* sy) const
{
    // Along a row the global part is linear and the local part linear between two node columns,
    // so both are stepped from the segment's start, in fixed point (16 bits of fraction; the
    // error stays far below a pixel over a segment).
    constexpr double One = 65536.0;
    std::int32_t x = x0;
    while (x < x1) {
        const std::int32_t segmentEnd = std::min(x1, (x / cell_ + 1) * cell_);
        double dx0 = 0, dy0 = 0, dx1 = 0, dy1 = 0;
        Local(x, y, dx0, dy0);
        Local(segmentEnd, y, dx1, dy1);
        const double n = segmentEnd - x;
        const std::int64_t stepX = std::llrint((global_.a + (dx1 - dx0) / n) * One);
        const std::int64_t stepY = std::llrint((global_.b + (dy1 - dy0) / n) * One);
        // Rounding to the nearest pixel is flooring after adding a half.
        std::int64_t fx = std::llrint((global_.X(x, y) + dx0 + 0.5) * One);
        std::int64_t fy = std::llrint((global_.Y(x, y) + dy0 + 0.5) * One);
        for (; x < segmentEnd; ++x, fx += stepX, fy += stepY) {
            sx[x - x0] = std::int32_t(fx >> 16);
            sy[x - x0] = std::int32_t(fy >> 16);
        }
    }
}
