// The matching rules. A target region's votes are the source regions its pixels land in; a region
// that lands mostly on lines (a sliver between two lines, a thin region a pixel off) counts the
// pixels landing on a line beside a region for that region too. A "cover" is the share of a
// source region that a target region's votes fill, in source pixels (the scale squared per pixel).
#include "SRegionMatch.h"

#include "SCelValues.h"

#include <algorithm>
#include <cmath>

namespace {

// At least this share of a region must land inside source regions to vote with those alone, and
// this share next to them at least to vote at all.
constexpr double LandedShare = 0.5;
// At least this share of the votes must go to regions of one colour.
constexpr double ColourShare = 0.9;
// A target region covering less of its source region than this is a piece of it (a split, or a
// region that appeared inside it) and needs the piece rule.
constexpr double PieceCover = 0.6;
// A target region that swallowed this much of a source region of another colour merged it.
constexpr double SwallowCover = 0.5;
constexpr std::int32_t SmallestSwallowed = 16;
constexpr double SwallowedShare = 0.05;
// More than this share of a region's matched neighbours matching regions that were not neighbours
// of its source region, and the region is not where the source says it is.
constexpr double StrangerShare = 1.0 / 3.0;
constexpr double OneToOneStrangerShare = 2.0 / 3.0;
// Neighbours smaller than this (pixels), or landing less than this share in one source region,
// witness nothing.
constexpr std::int32_t SmallestWitness = 30;
constexpr double WitnessShare = 0.7;
// The source regions that take at least this share of a region's votes are the parts it is made of.
constexpr double PartShare = 0.1;
// Sure matches: most of the region in one source region that it fills nearly alone.
constexpr double SureShare = 0.8;
constexpr double SureCoverLow = 0.7;
constexpr double SureCoverHigh = 1.4;

// The colour of a source region painted in more than one value: alpha 0 and neither a border nor
// unpainted, so no paint value is mistaken for it.
constexpr std::uint32_t Mixed = 0x00000002u;

bool Contains(std::span<const std::int32_t> sorted, std::int32_t v)
{
    return std::binary_search(sorted.begin(), sorted.end(), v);
}

class Rules
{
public:
    explicit Rules(const SMatchCels& c) : c_(c), scale2_(c.scale * c.scale)
    {
        votes_.resize(std::size_t(c.target.Count()));
        for (std::int32_t t = 1; t <= c.target.Count(); ++t)
            votes_[std::size_t(t - 1)] = CollectVotes(t);
        // For each source region, the target region that takes most of it.
        claimer_.assign(std::size_t(c.source.Count()), 0);
        std::vector<std::int32_t> claimed(std::size_t(c.source.Count()), 0);
        for (std::int32_t t = 1; t <= c.target.Count(); ++t)
            for (const SOverlap& o : Votes(t))
                if (o.pixels > claimed[std::size_t(o.source - 1)]) {
                    claimed[std::size_t(o.source - 1)] = o.pixels;
                    claimer_[std::size_t(o.source - 1)] = t;
                }
    }

    // The target region that takes most of source region s (0 when none takes any).
    std::int32_t Claimer(std::int32_t s) const { return claimer_[std::size_t(s - 1)]; }

    // The source regions t's votes go to, most first; empty when too little of t lands near any.
    const std::vector<SOverlap>& Votes(std::int32_t t) const { return votes_[std::size_t(t - 1)]; }
    std::int32_t Dominant(std::int32_t t) const { return Votes(t).empty() ? 0 : Votes(t)[0].source; }

    double Cover(const SOverlap& o) const { return o.pixels * scale2_ / c_.source.Region(o.source).area; }

    // A source region's colour; Mixed for a region a brush or a picture painted, which no fill of
    // one colour repaints.
    std::uint32_t ColourOf(std::int32_t s) const
    {
        const SRegionFacts& region = c_.source.Region(s);
        return region.uniform ? region.colour : Mixed;
    }

    // The colour most of t's votes go to, with its share of them.
    std::uint32_t MainColour(std::int32_t t, double& share) const
    {
        std::vector<std::pair<std::uint32_t, std::int64_t>> byColour;
        std::int64_t all = 0;
        for (const SOverlap& o : Votes(t)) {
            all += o.pixels;
            const std::uint32_t colour = ColourOf(o.source);
            auto it = std::find_if(byColour.begin(), byColour.end(), [&](const auto& b) { return b.first == colour; });
            if (it == byColour.end())
                byColour.push_back({colour, o.pixels});
            else
                it->second += o.pixels;
        }
        const auto best = std::max_element(byColour.begin(), byColour.end(),
                                           [](const auto& a, const auto& b) { return a.second < b.second; });
        share = double(best->second) / double(all);
        return best->first;
    }

    // Whether t swallowed a good part of a source region of another colour that is a part of t
    // worth its name (not a speck between two lines that t now covers).
    bool SwallowedAnother(std::int32_t t, std::uint32_t colour) const
    {
        std::int64_t all = 0;
        for (const SOverlap& o : Votes(t))
            all += o.pixels;
        for (const SOverlap& o : Votes(t))
            if (ColourOf(o.source) != colour && c_.source.Region(o.source).area >= SmallestSwallowed &&
                o.pixels >= SwallowedShare * double(all) && Cover(o) >= SwallowCover)
                return true;
        return false;
    }

    // Whether a neighbour of t lands in a neighbour of s: t reaches the outline s had, so it is a
    // piece of a split s rather than something new drawn inside it.
    bool TouchesOutline(std::int32_t t, std::int32_t s) const
    {
        for (const std::int32_t n : c_.target.Neighbours(t)) {
            const std::int32_t d = Dominant(n);
            if (d != 0 && d != s && WereNeighbours(s, d))
                return true;
        }
        return false;
    }

    // Whether t, covering only part of its source region s, takes s's colour: a speck between lines
    // does when it reaches s's outline; a region worth its name only when it is also the largest
    // piece of s. The other pieces of a region a new line split may be an area the source could
    // not tell apart (its line missing there) rather than more of the same: they are left.
    bool PieceKeepsColour(std::int32_t t, std::int32_t s) const
    {
        if (!TouchesOutline(t, s))
            return false;
        return c_.target.Region(t).area < SmallestWitness || Claimer(s) == t;
    }

    // Whether source regions a and b were neighbours, directly or across a speck between them (two
    // lines close together leave one, which the next cel may not have).
    bool WereNeighbours(std::int32_t a, std::int32_t b) const
    {
        if (Contains(c_.source.Neighbours(a), b))
            return true;
        for (const std::int32_t m : c_.source.Neighbours(a))
            if (c_.source.Region(m).area < SmallestWitness && Contains(c_.source.Neighbours(m), b))
                return true;
        return false;
    }

    // Whether neighbour n of a region can tell where that region is: big enough to be more than a
    // speck between lines, and itself landing mostly in one source region.
    bool Witness(std::int32_t n) const
    {
        if (c_.target.Region(n).area < SmallestWitness || Votes(n).empty())
            return false;
        std::int64_t all = 0;
        for (const SOverlap& o : Votes(n))
            all += o.pixels;
        return Votes(n)[0].pixels >= WitnessShare * double(all);
    }

    // The source regions that take at least PartShare of t's votes: the parts t is made of (one,
    // or several where t joins them).
    std::vector<std::int32_t> Parts(std::int32_t t) const
    {
        std::int64_t all = 0;
        for (const SOverlap& o : Votes(t))
            all += o.pixels;
        std::vector<std::int32_t> parts;
        for (const SOverlap& o : Votes(t))
            if (o.pixels >= PartShare * double(all))
                parts.push_back(o.source);
        return parts;
    }

    // Whether too many of t's neighbours are made of regions that were neighbours of none of t's
    // parts. Witnesses count by their size; a region that fills its one source region as that
    // region filled the source needs more of them against it than one that does not.
    bool AmongStrangers(std::int32_t t) const
    {
        const double cover = Cover(Votes(t)[0]);
        const bool oneToOne = Parts(t).size() == 1 && cover >= SureCoverLow && cover <= SureCoverHigh;
        const std::vector<std::int32_t> parts = Parts(t);
        double known = 0, strangers = 0;
        for (const std::int32_t n : c_.target.Neighbours(t)) {
            if (!Witness(n))
                continue;
            const double weight = std::sqrt(double(c_.target.Region(n).area));
            bool near = false;
            for (const std::int32_t d : Parts(n))
                near = near || std::any_of(parts.begin(), parts.end(),
                                           [&](std::int32_t s) { return s == d || WereNeighbours(s, d); });
            (near ? known : strangers) += weight;
        }
        return strangers > (oneToOne ? OneToOneStrangerShare : StrangerShare) * (known + strangers);
    }

    SRegionDecision Decide(std::int32_t t) const
    {
        if (c_.target.Region(t).colour != cel_values::Unpainted)
            return {};  // painted already: the painter's work stays
        const std::int32_t s = Dominant(t);
        if (s == 0)
            return {SCarryVerdict::Left, 0};
        double share = 0;
        const std::uint32_t colour = MainColour(t, share);
        if (colour == Mixed || share < ColourShare || SwallowedAnother(t, colour))
            return {SCarryVerdict::Left, 0};
        if (Cover(Votes(t)[0]) < PieceCover && !PieceKeepsColour(t, s))
            return {SCarryVerdict::Left, 0};
        if (AmongStrangers(t))
            return {SCarryVerdict::Left, 0};
        if (!cel_values::IsPainted(colour))
            return {};  // unpainted in the source as well
        return {SCarryVerdict::Paint, colour};
    }

private:
    std::vector<SOverlap> CollectVotes(std::int32_t t) const
    {
        const std::int32_t area = c_.target.Region(t).area;
        std::int64_t inside = 0, near = 0;
        for (const SOverlap& o : c_.overlap.Of(t)) {
            if (o.source > 0)
                inside += o.pixels;
            else if (o.source < 0)
                near += o.pixels;
        }
        const bool withNear = inside < LandedShare * area;
        if (withNear && inside + near < LandedShare * area)
            return {};
        std::vector<SOverlap> votes;
        for (const SOverlap& o : c_.overlap.Of(t)) {
            if (o.source == 0 || (o.source < 0 && !withNear))
                continue;
            const std::int32_t s = std::abs(o.source);
            auto it = std::find_if(votes.begin(), votes.end(), [&](const SOverlap& v) { return v.source == s; });
            if (it == votes.end())
                votes.push_back({s, o.pixels});
            else
                it->pixels += o.pixels;
        }
        std::sort(votes.begin(), votes.end(), [](const SOverlap& a, const SOverlap& b) {
            return a.pixels != b.pixels ? a.pixels > b.pixels : a.source < b.source;
        });
        return votes;
    }

    const SMatchCels& c_;
    double scale2_;
    std::vector<std::vector<SOverlap>> votes_;
    std::vector<std::int32_t> claimer_;
};

bool TouchesEdge(const SRegionFacts& r, const SRegionLabels& labels)
{
    return r.bounds.left == 0 || r.bounds.top == 0 || r.bounds.right == labels.Width() || r.bounds.bottom == labels.Height();
}

}  // namespace

std::int32_t BackgroundRegion(const SRegionLabels& labels)
{
    return labels.Width() > 1 && labels.Height() > 1 ? std::max(labels.At(1, 1), 0) : 0;
}

std::vector<SRegionDecision> DecideRegions(const SMatchCels& cels)
{
    const Rules rules(cels);
    std::vector<SRegionDecision> decisions(std::size_t(cels.target.Count()));
    for (std::int32_t t = 1; t <= cels.target.Count(); ++t)
        decisions[std::size_t(t - 1)] = rules.Decide(t);

    // An unpainted background stays unpainted: what lies around the figure is never painted by a
    // carry, however the figure moved over the corner.
    const std::int32_t background = BackgroundRegion(cels.target), sourceBackground = BackgroundRegion(cels.source);
    if (background != 0 && sourceBackground != 0 && !cel_values::IsPainted(cels.source.Region(sourceBackground).colour))
        decisions[std::size_t(background - 1)] = {};
    return decisions;
}

std::vector<SCorrespondence> SureMatches(const SMatchCels& cels)
{
    const Rules rules(cels);
    std::vector<SCorrespondence> points;
    for (std::int32_t t = 1; t <= cels.target.Count(); ++t) {
        const std::int32_t s = rules.Dominant(t);
        // A sure match is mutual: t takes most of s.
        if (s == 0 || rules.Claimer(s) != t)
            continue;
        const SRegionFacts& region = cels.target.Region(t);
        const std::int32_t landed = cels.overlap.Landed(t);
        const SOverlap& main = rules.Votes(t)[0];
        const double cover = rules.Cover(main);
        if (landed < LandedShare * region.area || main.pixels < SureShare * landed || cover < SureCoverLow ||
            cover > SureCoverHigh)
            continue;
        const SRegionFacts& partner = cels.source.Region(s);
        // A region the cel's edge cuts has its centroid moved by the cut, not by the drawing.
        if (TouchesEdge(region, cels.target) || TouchesEdge(partner, cels.source))
            continue;
        const double ratio = partner.area / (region.area * cels.scale * cels.scale);
        if (ratio < SureCoverLow || ratio > SureCoverHigh)
            continue;
        points.push_back({region.CentroidX(), region.CentroidY(), partner.CentroidX(), partner.CentroidY(),
                          std::sqrt(double(region.area))});
    }
    return points;
}
