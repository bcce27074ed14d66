// The global alignment: candidate pairs of regions, transforms proposed by two pairs at a time,
// scored by the regions they bring onto a partner.
#include "SGlobalAlignment.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// The largest regions of each cel take part: they are the drawing's main masses, few enough to
// try every pair, and their centroids are the most stable.
constexpr std::size_t RegionsTried = 120;
constexpr std::size_t HypothesesTried = 20000;
// Each candidate proposes transforms with at most this many later ones, so the proposals come from
// many of the large regions rather than from all pairings of the first few.
constexpr std::size_t PartnersTried = 300;
// The partners of each target region most alike in area and shape.
constexpr std::size_t CandidatesPerRegion = 6;
// Area ratios beyond this (after the scale) are another region.
constexpr double AreaSlack = 1.35;
// How far a centroid may move between two cels, as a share of the cel's diagonal.
constexpr double LargestMove = 0.3;
// Two pairs proposing a transform must lie this far apart (share of the diagonal): closer ones
// leave the rotation and scale to the centroids' noise.
constexpr double SmallestBase = 0.1;

struct Candidate
{
    std::int32_t target = 0;  // index into the target's tried regions
    double tx = 0, ty = 0;    // centroids
    double sx = 0, sy = 0;
    double targetArea = 0, sourceArea = 0;
    double unlikeness = 0;  // differences of area and shape, in logarithms
};

// The largest regions, largest first, without the skipped one and without specks.
std::vector<std::int32_t> LargestRegions(const SRegionLabels& labels, std::int32_t skip)
{
    std::vector<std::int32_t> order;
    for (std::int32_t l = 1; l <= labels.Count(); ++l)
        if (l != skip && labels.Region(l).area >= 16)
            order.push_back(l);
    const std::size_t kept = std::min(order.size(), RegionsTried);
    std::partial_sort(order.begin(), order.begin() + std::ptrdiff_t(kept), order.end(),
                      [&](std::int32_t a, std::int32_t b) { return labels.Region(a).area > labels.Region(b).area; });
    order.resize(kept);
    return order;
}

// How elongated a region is (1 for a disc, larger for longer shapes): a shape measure that rotation
// and scale keep.
double Elongation(const SRegionFacts& f)
{
    const double xx = f.SpreadXX(), yy = f.SpreadYY(), xy = f.SpreadXY();
    const double mean = (xx + yy) / 2, diff = std::sqrt((xx - yy) * (xx - yy) / 4 + xy * xy);
    return std::sqrt((mean + diff) / std::max(mean - diff, 0.25));
}

bool Plausible(const SSimilarity& s)
{
    const double scale = s.Scale();
    return std::abs(s.Angle()) <= AlignmentLargestAngle && scale >= AlignmentSmallestScale &&
           scale <= AlignmentLargestScale;
}

// The transform taking the targets of two candidates onto their sources.
SSimilarity Through(const Candidate& p, const Candidate& q)
{
    return FitSimilarity({{p.tx, p.ty, p.sx, p.sy, 1.0}, {q.tx, q.ty, q.sx, q.sy, 1.0}});
}

// The candidates that s brings onto their source within the tolerance, at most one per target
// region (the closest), with the area of its target as weight.
std::vector<const Candidate*> Inliers(const std::vector<Candidate>& candidates, const SSimilarity& s, double tolerance,
                                      std::size_t targets)
{
    std::vector<const Candidate*> best(targets, nullptr);
    std::vector<double> bestError(targets, tolerance * tolerance);  // squared distances
    const double scale2 = s.Scale() * s.Scale();
    for (const Candidate& c : candidates) {
        const double ratio = c.sourceArea / (c.targetArea * scale2);
        if (ratio > AreaSlack || ratio * AreaSlack < 1)
            continue;
        const double ex = s.X(c.tx, c.ty) - c.sx, ey = s.Y(c.tx, c.ty) - c.sy;
        const double e = ex * ex + ey * ey;
        if (e < bestError[std::size_t(c.target)]) {
            bestError[std::size_t(c.target)] = e;
            best[std::size_t(c.target)] = &c;
        }
    }
    std::vector<const Candidate*> kept;
    for (const Candidate* c : best)
        if (c)
            kept.push_back(c);
    return kept;
}

double Score(const std::vector<const Candidate*>& inliers)
{
    double score = 0;
    for (const Candidate* c : inliers)
        score += std::sqrt(c->targetArea);  // large regions count more, but many small ones still win
    return score;
}

}  // namespace

SSimilarity EstimateSimilarity(const SRegionLabels& source, const SRegionLabels& target, std::int32_t skipSource,
                               std::int32_t skipTarget)
{
    const std::vector<std::int32_t> sources = LargestRegions(source, skipSource);
    const std::vector<std::int32_t> targets = LargestRegions(target, skipTarget);
    const double diagonal = std::hypot(double(target.Width()), double(target.Height()));

    std::vector<Candidate> candidates;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const std::size_t first = candidates.size();
        const SRegionFacts& t = target.Region(targets[i]);
        for (const std::int32_t l : sources) {
            const SRegionFacts& s = source.Region(l);
            const double ratio = double(s.area) / t.area;
            const double scaled = AlignmentLargestScale * AlignmentLargestScale * AreaSlack;
            if (ratio > scaled || ratio * scaled < 1)
                continue;
            if (std::hypot(s.CentroidX() - t.CentroidX(), s.CentroidY() - t.CentroidY()) > LargestMove * diagonal)
                continue;
            const double e = Elongation(s) / Elongation(t);
            if (e > 1.5 || e < 1 / 1.5)
                continue;
            candidates.push_back({std::int32_t(i), t.CentroidX(), t.CentroidY(), s.CentroidX(), s.CentroidY(),
                                  double(t.area), double(s.area), std::abs(std::log(ratio)) + std::abs(std::log(e))});
        }
        const auto begin = candidates.begin() + std::ptrdiff_t(first);
        const std::size_t kept = std::min(candidates.size() - first, CandidatesPerRegion);
        std::partial_sort(begin, begin + std::ptrdiff_t(kept), candidates.end(),
                          [](const Candidate& a, const Candidate& b) { return a.unlikeness < b.unlikeness; });
        candidates.resize(first + kept);
    }

    // The tolerance for a centroid to land on its partner: local movements and changed outlines
    // move centroids by a few percent of the drawing.
    const double tolerance = 0.02 * diagonal;
    SSimilarity best;
    std::vector<const Candidate*> bestInliers = Inliers(candidates, best, tolerance, targets.size());
    double bestScore = Score(bestInliers);
    // Candidates come grouped by target, largest target first: the early pairs are the likeliest.
    std::size_t tried = 0;
    for (std::size_t p = 0; p < candidates.size() && tried < HypothesesTried; ++p)
        for (std::size_t q = p + 1; q < std::min(candidates.size(), p + 1 + PartnersTried) && tried < HypothesesTried;
             ++q) {
            const Candidate& a = candidates[p];
            const Candidate& b = candidates[q];
            if (a.target == b.target || std::hypot(a.tx - b.tx, a.ty - b.ty) < SmallestBase * diagonal)
                continue;
            ++tried;
            const SSimilarity s = Through(a, b);
            if (!Plausible(s))
                continue;
            std::vector<const Candidate*> inliers = Inliers(candidates, s, tolerance, targets.size());
            const double score = Score(inliers);
            if (score > bestScore) {
                bestScore = score;
                best = s;
                bestInliers = std::move(inliers);
            }
        }
    if (bestInliers.size() < 3)
        return {};

    // Refine over the inliers, then once more over those of the refined transform.
    for (int round = 0; round < 2; ++round) {
        std::vector<SCorrespondence> points;
        for (const Candidate* c : bestInliers)
            points.push_back({c->tx, c->ty, c->sx, c->sy, std::sqrt(c->targetArea)});
        const SSimilarity refined = FitSimilarity(points);
        if (!Plausible(refined))
            break;
        best = refined;
        bestInliers = Inliers(candidates, best, tolerance, targets.size());
        if (bestInliers.size() < 3)
            break;
    }
    return best;
}
