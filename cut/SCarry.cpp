// The carry: planning (labels, alignment, overlaps, decisions) and applying the plan.
#include "SCarry.h"

#include "SErrorCause.h"
#include "SGapFill.h"
#include "SGlobalAlignment.h"
#include "SLineAlignment.h"
#include "SParallel.h"
#include "SRegionMatch.h"
#include "SRegionOverlap.h"
#include "STraceRecolour.h"

#include <algorithm>
#include <map>
#include <set>

using namespace ulib;

namespace {

// The borders of scanned lines are several pixels wide: regions on either side of one are neighbours.
constexpr std::int32_t CarryNeighbourGap = 12;
// The rough overlaps that find the sure matches count every RoughStep-th pixel and row.
constexpr std::int32_t RoughStep = 2;
// A target pixel landing on a source line this close to a region may vote for it.
constexpr std::int32_t LineReach = 4;

bool AnyPainted(const SRegionLabels& labels)
{
    for (std::int32_t l = 1; l <= labels.Count(); ++l)
        if (cel_values::IsPainted(labels.Region(l).colour))
            return true;
    return false;
}

// Finds the mapping from target to source and the overlaps under it: the movement as a whole from
// the regions, the local movement first from the regions that match beyond doubt, then on the lines.
SError Align(const SCel& source, const SCel& target, const SRegionLabels& sourceLabels,
             const SRegionLabels& targetLabels, SCelMapping& mapping, SRegionOverlap& overlap, const SAbort* abort)
{
    mapping.SetGlobal(EstimateSimilarity(sourceLabels, targetLabels, BackgroundRegion(sourceLabels),
                                         BackgroundRegion(targetLabels)));
    // The matches that place the local movement are the large regions: a rough table finds them.
    if (const SError err = overlap.Build(sourceLabels, targetLabels, mapping, abort, RoughStep))
        return err;
    mapping.FitLocal(SureMatches({sourceLabels, targetLabels, overlap, mapping.Global().Scale()}));
    if (const SError err = RefineOnLines(source.paint, target.paint, mapping, abort))
        return err;
    return overlap.Build(sourceLabels, targetLabels, mapping, abort);
}

}  // namespace

SError PlanCarry(const SCel& source, const SCel& target, SCarryPlan& plan, const SAbort* abort, std::int32_t gap)
{
    plan = {};
    if (gap < 0 || gap > LargestFillGap)
        gap = 0;
    if (source.paint.Format() != 32 || target.paint.Format() != 32 || source.paint.Width() != target.paint.Width() ||
        source.paint.Height() != target.paint.Height())
        return ErrorFromIdentifier("carry_size");
    // The two cels are labelled at once.
    SRegionLabels sourceLabels, targetLabels;
    SError sourceError = 0, targetError = 0;
    RunInParallel({[&] {
                       sourceError = sourceLabels.Build(source.paint, CarryNeighbourGap, gap);
                       if (!sourceError && AnyPainted(sourceLabels))
                           sourceError = sourceLabels.SpreadIntoBorders(LineReach);
                   },
                   [&] { targetError = targetLabels.Build(target.paint, CarryNeighbourGap, gap); }},
                  std::int64_t(target.paint.Width()) * target.paint.Height());
    if (sourceError)
        return sourceError;
    if (!AnyPainted(sourceLabels))
        return ErrorFromIdentifier("carry_unpainted");
    if (targetError)
        return targetError;

    SCelMapping mapping(target.paint.Width(), target.paint.Height());
    SRegionOverlap overlap;
    if (const SError err = Align(source, target, sourceLabels, targetLabels, mapping, overlap, abort))
        return err;
    const std::vector<SRegionDecision> decisions =
        DecideRegions({sourceLabels, targetLabels, overlap, mapping.Global().Scale()});

    SCarryPlan result;
    result.gap = gap;
    result.regions = targetLabels.Count();
    for (std::int32_t t = 1; t <= targetLabels.Count(); ++t) {
        const SRegionDecision& d = decisions[std::size_t(t - 1)];
        const SRegionFacts& region = targetLabels.Region(t);
        switch (d.verdict) {
        case SCarryVerdict::Keep:
            ++result.kept;
            break;
        case SCarryVerdict::Paint:
            result.fills.push_back({region.seed, d.colour, region.bounds});
            break;
        case SCarryVerdict::Left:
            result.left.push_back(region.bounds);
            result.leftSeeds.push_back(region.seed);
            break;
        }
    }
    if (const SError err = ChooseLineConversions({source.trace, source.flag}, {target.trace, target.flag}, mapping,
                                                 result.lines, abort))
        return err;
    plan = std::move(result);
    return 0;
}

SRect ApplyCarry(SPaintContext& context, const SCarryPlan& plan, SError& err)
{
    err = 0;
    const SToolState kept = context.tools;
    context.tools.colourMode = SColourMode::Colour;
    SRect changed;
    for (const SCarryFill& fill : plan.fills) {
        context.tools.currentColour = SColor::FromPixel(fill.colour);
        SError fillError = 0;
        changed = changed.Union(FillRegionClosingGaps(context, fill.seed, plan.gap, false, fillError));
        if (fillError && !err)
            err = fillError;
    }
    // Lines: each run of neighbouring pixels of one row taking one colour is recoloured at once.
    SCel& cel = context.cel;
    for (std::size_t i = 0; i < plan.lines.size();) {
        const SLineConversion& first = plan.lines[i];
        std::size_t j = i + 1;
        while (j < plan.lines.size() && plan.lines[j].y == first.y && plan.lines[j].x == plan.lines[j - 1].x + 1 &&
               plan.lines[j].colour == first.colour)
            ++j;
        const std::int32_t x1 = plan.lines[j - 1].x + 1;
        context.tools.currentColour = SColor::FromValue(first.colour);
        context.undo.RecordRow(cel.trace, first.y, first.x, x1);
        RecolourTraceSpan(cel, context.tools, context.reference, first.y, first.x, x1);
        SError composeError = 0;
        cel.ComposeRow(first.y, first.x, x1, composeError);
        changed = changed.Union({first.x, first.y, x1, first.y + 1});
        i = j;
    }
    context.tools = kept;
    return changed;
}

namespace {

std::uint64_t KeyOf(ulib::SPoint p) { return std::uint64_t(std::uint32_t(p.y)) << 32 | std::uint32_t(p.x); }

// Joins the plans of several sources for one target (see CarryColours). Regions are named by their
// seeds, which all plans share since they label the same target.
SCarryPlan JoinPlans(std::vector<SCarryPlan>& plans)
{
    SCarryPlan joined = std::move(plans[0]);
    if (plans.size() == 1)
        return joined;
    std::map<std::uint64_t, std::size_t> fillOf, leftOf;
    for (std::size_t i = 0; i < joined.fills.size(); ++i)
        fillOf[KeyOf(joined.fills[i].seed)] = i;
    for (std::size_t i = 0; i < joined.leftSeeds.size(); ++i)
        leftOf[KeyOf(joined.leftSeeds[i])] = i;
    std::vector<bool> conflict(joined.fills.size(), false), resolved(joined.leftSeeds.size(), false);
    std::set<std::uint64_t> lined;
    for (const SLineConversion& l : joined.lines)
        lined.insert(KeyOf({l.x, l.y}));
    for (std::size_t p = 1; p < plans.size(); ++p) {
        for (const SCarryFill& fill : plans[p].fills) {
            const std::uint64_t key = KeyOf(fill.seed);
            if (const auto f = fillOf.find(key); f != fillOf.end()) {
                conflict[f->second] = conflict[f->second] || joined.fills[f->second].colour != fill.colour;
                continue;
            }
            if (const auto l = leftOf.find(key); l != leftOf.end())
                resolved[l->second] = true;
            fillOf[key] = joined.fills.size();
            joined.fills.push_back(fill);
            conflict.push_back(false);
        }
        for (const SLineConversion& l : plans[p].lines)
            if (lined.insert(KeyOf({l.x, l.y})).second)
                joined.lines.push_back(l);
    }
    SCarryPlan result;
    result.regions = joined.regions;
    result.kept = joined.kept;
    result.gap = joined.gap;
    for (std::size_t i = 0; i < joined.leftSeeds.size(); ++i)
        if (!resolved[i]) {
            result.left.push_back(joined.left[i]);
            result.leftSeeds.push_back(joined.leftSeeds[i]);
        }
    for (std::size_t i = 0; i < joined.fills.size(); ++i) {
        if (!conflict[i]) {
            result.fills.push_back(joined.fills[i]);
            continue;
        }
        result.left.push_back(joined.fills[i].bounds);
        result.leftSeeds.push_back(joined.fills[i].seed);
    }
    // Fills and lines in the order one source's plan has them.
    const auto byRow = [](SPoint a, SPoint b) { return a.y != b.y ? a.y < b.y : a.x < b.x; };
    std::sort(result.fills.begin(), result.fills.end(), [&](const SCarryFill& a, const SCarryFill& b) { return byRow(a.seed, b.seed); });
    result.lines = std::move(joined.lines);
    std::sort(result.lines.begin(), result.lines.end(),
              [&](const SLineConversion& a, const SLineConversion& b) { return byRow({a.x, a.y}, {b.x, b.y}); });
    return result;
}

}  // namespace

SError CarryColours(const std::vector<const SCel*>& sources, SPaintContext& context, SCarryReport& report,
                    const SAbort* abort)
{
    report = {};
    std::vector<SCarryPlan> plans;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        SCarryPlan plan;
        if (const SError err = PlanCarry(*sources[i], context.cel, plan, abort, context.tools.fillGap)) {
            if (i == 0 || ErrorIdentity(err) == ErrorFromIdentifier("abort"))
                return err;
            continue;
        }
        plans.push_back(std::move(plan));
    }
    return CarryPlans(std::move(plans), context, report);
}

SError CarryPlans(std::vector<SCarryPlan> plans, SPaintContext& context, SCarryReport& report)
{
    report = {};
    if (plans.empty())
        return 0;
    SCarryPlan plan = JoinPlans(plans);
    SError err = 0;
    report.changed = ApplyCarry(context, plan, err);
    report.regions = plan.regions;
    report.painted = std::int32_t(plan.fills.size());
    report.lines = std::int32_t(plan.lines.size());
    report.left = std::int32_t(plan.left.size());
    report.leftBounds = std::move(plan.left);
    report.leftSeeds = std::move(plan.leftSeeds);
    return err;
}
