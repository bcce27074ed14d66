// The evaluation set of the gap-closing fill: closed line art (the paint layers of drawn scenes,
// BenchLayers.h), its true regions (the 4-connected non-border pixels of the unbroken layer),
// openings of known widths cut straight across its lines so that each joins two true regions, and
// seeds beside the openings and elsewhere. A fill is scored by whether it paints a true region
// other than the seed's (a leak) and by the share of the seed's region it paints.
#pragma once

#include "BenchLayers.h"
#include "SCel.h"
#include "SCelValues.h"
#include "SGapFill.h"
#include "SHuedraneUndoBuffer.h"
#include "SRegionFill.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace gap_evaluation {

using bench_layers::Random;
using ulib::SBitmap;
using ulib::SPoint;
using ulib::SRect;

// The scene's paint layer before painting: borders under the lines, every other pixel unpainted,
// so that every pixel a fill paints changes to its colour.
inline SBitmap LineArt(const bench_layers::Scene& scene)
{
    SBitmap paint = bench_layers::MakePaintLayer(scene, 1);
    for (std::int32_t y = 0; y < paint.Height(); ++y) {
        std::uint32_t* row = paint.Row32(y);
        for (std::int32_t x = 0; x < paint.Width(); ++x)
            if (!cel_values::IsBorder(row[x]))
                row[x] = cel_values::Unpainted;
    }
    return paint;
}

// The true regions of an unbroken paint layer; label 0 is the borders.
struct Truth
{
    cv::Mat labels;                  // CV_32S, one label per pixel
    std::vector<std::int64_t> area;  // by label
    std::vector<float> reach;        // the largest distance of a pixel of the region from a border
    std::vector<cv::Rect> box;       // by label

    std::int32_t Count() const { return std::int32_t(area.size()); }
    std::int32_t At(std::int32_t x, std::int32_t y) const { return labels.ptr<std::int32_t>(y)[x]; }
};

inline Truth LabelRegions(const SBitmap& paint)
{
    cv::Mat mask(paint.Height(), paint.Width(), CV_8UC1);
    for (std::int32_t y = 0; y < paint.Height(); ++y) {
        const std::uint32_t* row = paint.Row32(y);
        std::uint8_t* m = mask.ptr<std::uint8_t>(y);
        for (std::int32_t x = 0; x < paint.Width(); ++x)
            m[x] = cel_values::IsBorder(row[x]) ? 0 : 1;
    }
    Truth t;
    cv::Mat stats, centroids, distance;
    const int count = cv::connectedComponentsWithStats(mask, t.labels, stats, centroids, 4, CV_32S);
    cv::distanceTransform(mask, distance, cv::DIST_L2, cv::DIST_MASK_PRECISE);
    t.area.resize(static_cast<std::size_t>(count));
    t.box.resize(static_cast<std::size_t>(count));
    t.reach.assign(static_cast<std::size_t>(count), 0.0f);
    for (int l = 0; l < count; ++l) {
        t.area[std::size_t(l)] = stats.at<int>(l, cv::CC_STAT_AREA);
        t.box[std::size_t(l)] = {stats.at<int>(l, cv::CC_STAT_LEFT), stats.at<int>(l, cv::CC_STAT_TOP),
                                 stats.at<int>(l, cv::CC_STAT_WIDTH), stats.at<int>(l, cv::CC_STAT_HEIGHT)};
    }
    t.area[0] = 0;  // the borders are no region
    for (std::int32_t y = 0; y < paint.Height(); ++y) {
        const std::int32_t* l = t.labels.ptr<std::int32_t>(y);
        const float* d = distance.ptr<float>(y);
        for (std::int32_t x = 0; x < paint.Width(); ++x)
            t.reach[std::size_t(l[x])] = std::max(t.reach[std::size_t(l[x])], d[x]);
    }
    return t;
}

// A region much narrower than the gap is split or skipped by a fill that closes such gaps, as it
// should be: one of fewer than gap * gap * 4 pixels, or none of whose pixels lies farther than
// gap / 2 + 1 from the borders, counts as no true region of its own for the area share, and no
// opening is cut into it.
inline bool Substantial(const Truth& t, std::int32_t label, std::int32_t gap)
{
    return label > 0 && t.area[std::size_t(label)] >= std::int64_t(4) * gap * gap &&
           t.reach[std::size_t(label)] > float(gap) / 2.0f + 1.0f;
}

// An opening cut through a line: `width` rows (or columns) of a border stroke set to unpainted,
// joining regionA (on the side of mouthA) and regionB.
struct Cut
{
    std::int32_t width = 0;
    std::int32_t regionA = 0;
    std::int32_t regionB = 0;
    SPoint mouthA;
    SPoint mouthB;
    SRect keep;  // the stretch no other opening may come near
};

// The layers seen along a walk: u runs through the stroke, v across it (the opening's width);
// rows for a horizontal walk, columns for a vertical one.
struct Walk
{
    SBitmap& paint;
    SBitmap& trace;
    const Truth& truth;
    bool vertical;

    std::int32_t Length() const { return vertical ? paint.Height() : paint.Width(); }
    std::int32_t Breadth() const { return vertical ? paint.Width() : paint.Height(); }
    std::uint32_t& Paint(std::int32_t u, std::int32_t v) { return vertical ? paint.Row32(u)[v] : paint.Row32(v)[u]; }
    std::uint32_t& Trace(std::int32_t u, std::int32_t v) { return vertical ? trace.Row32(u)[v] : trace.Row32(v)[u]; }
    std::int32_t Label(std::int32_t u, std::int32_t v) const { return vertical ? truth.At(v, u) : truth.At(u, v); }
    bool Border(std::int32_t u, std::int32_t v) { return cel_values::IsBorder(Paint(u, v)); }
    SPoint Point(std::int32_t u, std::int32_t v) const { return vertical ? SPoint{v, u} : SPoint{u, v}; }
    SRect Rect(std::int32_t u0, std::int32_t v0, std::int32_t u1, std::int32_t v1) const
    {
        return vertical ? SRect{v0, u0, v1, u1} : SRect{u0, v0, u1, v1};
    }
};

struct Run
{
    std::int32_t start = 0;
    std::int32_t end = 0;  // exclusive
    bool Overlaps(const Run& o) const { return start < o.end && o.start < end; }
};

// The one border run of line v within [lo, hi), with only region a before it and only region b
// after it, no longer than maxRun and clear of the window's ends; false when the line is not such
// a clean crossing (a junction, another stroke or region, an earlier opening).
inline bool CleanCrossing(Walk& walk, std::int32_t v, std::int32_t lo, std::int32_t hi, std::int32_t a,
                          std::int32_t b, std::int32_t maxRun, Run& run)
{
    std::int32_t start = -1, end = -1;
    for (std::int32_t u = lo; u < hi; ++u) {
        if (walk.Border(u, v)) {
            if (end >= 0)
                return false;
            if (start < 0)
                start = u;
            continue;
        }
        if (start >= 0 && end < 0)
            end = u;
        if (walk.Label(u, v) != (start < 0 ? a : b))
            return false;
    }
    if (start <= lo || end < 0 || end - start > maxRun)
        return false;
    run = {start, end};
    return true;
}

// Strokes crossed by a walk at most this long are cut; a longer crossing runs along the stroke.
inline constexpr std::int32_t MaxCrossing = 10;

// Tries to cut an opening `width` wide at a random place; false when the place does not qualify.
// A qualifying place is a stroke crossed cleanly on every line of the opening and on two lines
// either side, between two substantial regions, whose stroke ends either side of the opening face
// each other (so the opening is no wider than `width`), away from the edges and other openings.
inline bool TryCut(Walk& walk, Random& rng, std::int32_t width, std::int32_t maxGap, std::vector<Cut>& cuts)
{
    const std::int32_t margin = maxGap + MaxCrossing + 8;
    if (walk.Length() <= 2 * margin || walk.Breadth() <= 2 * margin + width)
        return false;
    const std::int32_t u0 = margin + rng.Below(walk.Length() - 2 * margin);
    const std::int32_t v = margin + rng.Below(walk.Breadth() - 2 * margin - width);
    const std::int32_t a = walk.Label(u0, v);
    if (!Substantial(walk.truth, a, maxGap))
        return false;
    std::int32_t start = u0;
    while (start < walk.Length() - margin && start - u0 < 32 && !walk.Border(start, v))
        ++start;
    std::int32_t end = start;
    while (end < walk.Length() - margin && end - start <= MaxCrossing && walk.Border(end, v))
        ++end;
    if (start == end || end - start > MaxCrossing || end >= walk.Length() - margin)
        return false;
    const std::int32_t b = walk.Label(end, v);
    if (b == a || !Substantial(walk.truth, b, maxGap))
        return false;

    const std::int32_t v0 = v - rng.Below(width);  // the opening's lines are v0..v0+width-1
    const std::int32_t lo = start - MaxCrossing - 3, hi = end + MaxCrossing + 3;
    if (lo < 2 || hi > walk.Length() - 2 || v0 < 4 || v0 + width + 4 > walk.Breadth())
        return false;
    std::vector<Run> runs(static_cast<std::size_t>(width + 4));
    for (std::int32_t i = 0; i < width + 4; ++i) {
        Run& run = runs[std::size_t(i)];
        if (!CleanCrossing(walk, v0 - 2 + i, lo, hi, a, b, MaxCrossing, run) ||
            (i > 0 && !run.Overlaps(runs[std::size_t(i - 1)])))
            return false;
    }
    if (!runs[1].Overlaps(runs[std::size_t(width + 2)]))
        return false;
    const std::int32_t space = 2 * maxGap + 8;
    const SRect keep = walk.Rect(lo - space, v0 - 2 - space, hi + space, v0 + width + 2 + space);
    for (const Cut& c : cuts)
        if (c.keep.Overlaps(keep))
            return false;

    for (std::int32_t i = 2; i < width + 2; ++i) {
        const Run& run = runs[std::size_t(i)];
        for (std::int32_t u = run.start; u < run.end; ++u) {
            walk.Paint(u, v0 - 2 + i) = cel_values::Unpainted;
            walk.Trace(u, v0 - 2 + i) = cel_values::NoLine;
        }
    }
    const Run& middle = runs[std::size_t(2 + width / 2)];
    const std::int32_t vm = v0 + width / 2;
    cuts.push_back({width, a, b, walk.Point(middle.start - 1, vm), walk.Point(middle.end, vm), keep});
    return true;
}

// Cuts up to `count` openings into the layers, their widths 1..maxGap in turn, at random places.
inline std::vector<Cut> CutOpenings(SBitmap& paint, SBitmap& trace, const Truth& truth, std::int32_t maxGap,
                                    std::int32_t count, std::uint32_t seed)
{
    Random rng(seed);
    std::vector<Cut> cuts;
    for (std::int32_t attempt = 0; attempt < count * 4000 && std::int32_t(cuts.size()) < count; ++attempt) {
        Walk walk{paint, trace, truth, rng.Below(2) == 1};
        TryCut(walk, rng, 1 + std::int32_t(cuts.size()) % maxGap, maxGap, cuts);
    }
    return cuts;
}

// A random pixel of `region` inside `box`; false when none is found after many tries.
inline bool PixelOf(const Truth& t, std::int32_t region, cv::Rect box, Random& rng, SPoint& at)
{
    box &= cv::Rect(0, 0, t.labels.cols, t.labels.rows);
    if (box.width <= 0 || box.height <= 0)
        return false;
    for (int tries = 0; tries < 20000; ++tries) {
        const SPoint p{box.x + rng.Below(box.width), box.y + rng.Below(box.height)};
        if (t.At(p.x, p.y) == region) {
            at = p;
            return true;
        }
    }
    return false;
}

struct Seed
{
    SPoint at;
    std::int32_t region = 0;
    const Cut* cut = nullptr;  // the opening it was chosen beside, if any
};

// Four seeds per opening (on each side, one within a few gap sizes of the opening and one
// anywhere in the region), and `elsewhere` more, each in a region chosen at random.
inline std::vector<Seed> ChooseSeeds(const Truth& t, const std::vector<Cut>& cuts, std::int32_t maxGap,
                                     std::int32_t elsewhere, std::uint32_t seed)
{
    Random rng(seed);
    std::vector<Seed> seeds;
    const std::int32_t near = 2 * maxGap + 4;
    for (const Cut& c : cuts)
        for (const auto& [region, mouth] : {std::pair{c.regionA, c.mouthA}, std::pair{c.regionB, c.mouthB}}) {
            Seed s{{}, region, &c};
            if (PixelOf(t, region, {mouth.x - near, mouth.y - near, 2 * near + 1, 2 * near + 1}, rng, s.at))
                seeds.push_back(s);
            if (PixelOf(t, region, t.box[std::size_t(region)], rng, s.at))
                seeds.push_back(s);
        }
    for (std::int32_t i = 0; i < elsewhere && t.Count() > 1; ++i) {
        Seed s;
        s.region = 1 + rng.Below(t.Count() - 1);
        if (PixelOf(t, s.region, t.box[std::size_t(s.region)], rng, s.at))
            seeds.push_back(s);
    }
    return seeds;
}

// What one fill painted, by the true regions.
struct Outcome
{
    std::int64_t inside = 0;  // pixels of the seed's region
    std::int64_t leaked = 0;  // pixels of other regions (an opening's own pixels are neither)
    ulib::SError err = 0;
};

// A working cel of a cut layer with the undo buffer and tools the fills paint through. Each fill
// opens an undo step, is scored, and its rectangle is put back from the cut layer. The buffer
// refers to the cel's layer variables, so a desk is neither copied nor moved.
class Desk
{
public:
    Desk(const SBitmap& paint, const SBitmap& trace) : cut_(paint)
    {
        cel_.paint = paint;
        cel_.trace = trace;
        cel_.flag.Create(paint.Width(), paint.Height(), 8);
        cel_.display.Create(paint.Width(), paint.Height(), 32);
        cel_.ComposeAll();
        undo_.SetDocumentSize(paint.Width(), paint.Height());
        tools_.currentColour = ulib::SColor(240, 200, 160);
    }
    Desk(const Desk&) = delete;
    Desk& operator=(const Desk&) = delete;

    // gap 0 is the plain fill.
    Outcome Fill(const Truth& t, const Seed& seed, std::int32_t gap)
    {
        undo_.BeginStep(ulib::SString("fill"));
        SPaintContext context{cel_, undo_, tools_, reference_};
        Outcome o;
        const SRect changed = gap == 0 ? FillRegion(context, seed.at, true, o.err)
                                       : FillRegionClosingGaps(context, seed.at, gap, true, o.err);
        const std::uint32_t colour = tools_.currentColour.Pixel();
        for (std::int32_t y = changed.top; y < changed.bottom; ++y) {
            std::uint32_t* row = cel_.paint.Row32(y);
            const std::int32_t* label = t.labels.ptr<std::int32_t>(y);
            for (std::int32_t x = changed.left; x < changed.right; ++x)
                if (row[x] == colour) {
                    o.inside += label[x] == seed.region;
                    o.leaked += label[x] != seed.region && label[x] != 0;
                }
            std::memcpy(row + changed.left, cut_.Row32(y) + changed.left,
                        std::size_t(changed.Width()) * sizeof(std::uint32_t));
            ulib::SError ignored = 0;
            cel_.ComposeRow(y, changed.left, changed.right, ignored);
        }
        return o;
    }

    // Pixels left changed after the fills: a fill painted outside the rectangle it returned.
    std::int64_t Stray() const
    {
        std::int64_t n = 0;
        for (std::int32_t y = 0; y < cut_.Height(); ++y)
            n += std::memcmp(cut_.Row32(y), cel_.paint.Row32(y), std::size_t(cut_.Width()) * 4) != 0;
        return n;
    }

private:
    SBitmap cut_;
    SCel cel_;
    SHuedraneUndoBuffer undo_{cel_.trace, cel_.paint, cel_.extra};
    SToolState tools_;
    SBitmap reference_;
};

// The figures of a set of fills at one gap size.
struct Figures
{
    std::int64_t cuts = 0;
    std::int64_t fills = 0;
    std::int64_t besideCuts = 0;  // fills seeded beside an opening
    std::int64_t plainLeaks = 0;  // plain fills that paint another true region
    std::int64_t plainHeld = 0;   // plain fills beside an opening that do not: a fault of the set
    std::int64_t leaks = 0;
    std::int64_t errors = 0;      // fills that report an error
    std::int64_t stray = 0;       // rows left changed outside a fill's returned rectangle
    std::int64_t scored = 0;      // fills in substantial regions, which the area shares cover
    double shareSum = 0;          // of the seed's true region
    double shareMin = 100;
    std::int64_t below97 = 0;
    std::int64_t pinched = 0;     // of those, as low without the openings: the region's own narrows
    double keptSum = 0;           // of what the same fill paints of the region without the openings
    double keptMin = 100;
    // Fills in regions closed at the gap size: the same fill on the unbroken layer paints all of
    // them, so the region has no opening or narrow part of its own that the size closes (a free
    // stroke's tip stopping short of a line is one), and only the cut openings can cost area.
    std::int64_t closed = 0;
    double closedSum = 0;
    double closedMin = 100;
    std::int64_t regions = 0;     // true regions
    std::int64_t excluded = 0;    // of which too small or narrow for the gap
    std::int64_t excludedFills = 0;

    void Add(const Figures& o)
    {
        cuts += o.cuts, fills += o.fills, besideCuts += o.besideCuts, plainLeaks += o.plainLeaks;
        plainHeld += o.plainHeld, leaks += o.leaks, errors += o.errors, stray += o.stray, scored += o.scored;
        shareSum += o.shareSum, shareMin = std::min(shareMin, o.shareMin), below97 += o.below97, pinched += o.pinched;
        keptSum += o.keptSum, keptMin = std::min(keptMin, o.keptMin);
        closed += o.closed, closedSum += o.closedSum, closedMin = std::min(closedMin, o.closedMin);
        regions += o.regions, excluded += o.excluded, excludedFills += o.excludedFills;
    }
    void Print(const char* title) const
    {
        const double n = scored ? double(scored) : 1.0;
        std::printf("%-32s openings %3lld | fills %4lld (%4lld beside openings) | plain-fill leaks %4lld | gap-fill "
                    "leaks %2lld | area mean %6.2f%% min %6.2f%%, <97%% %3lld (%3lld pinched) | of unbroken fill mean "
                    "%6.2f%% min %6.2f%% | excluded %4lld of %4lld regions, %3lld fills",
                    title, static_cast<long long>(cuts), static_cast<long long>(fills), static_cast<long long>(besideCuts),
                    static_cast<long long>(plainLeaks), static_cast<long long>(leaks), shareSum / n, shareMin,
                    static_cast<long long>(below97), static_cast<long long>(pinched), keptSum / n, keptMin,
                    static_cast<long long>(excluded), static_cast<long long>(regions),
                    static_cast<long long>(excludedFills));
        std::printf(" | closed regions: %4lld fills, area mean %6.2f%% min %6.2f%%", static_cast<long long>(closed),
                    closed ? closedSum / double(closed) : 100.0, closedMin);
        if (plainHeld || errors || stray)
            std::printf(" | SET FAULTS: %lld plain fills beside openings held, %lld errors, %lld stray rows",
                        static_cast<long long>(plainHeld), static_cast<long long>(errors), static_cast<long long>(stray));
        std::printf("\n");
    }
};

// The three fills from one seed: plain and closing gaps on the cut layer, and closing gaps on the
// unbroken layer (what the fill makes of the region's own shape, openings aside).
struct Trial
{
    const char* title;
    const Truth& truth;
    std::int32_t gap;
    Desk& cut;
    Desk& unbroken;
    int listed = 0;  // every leak is listed, and the first few low shares
};

inline void Score(Trial& trial, const Seed& s, Figures& f)
{
    const Truth& t = trial.truth;
    const double area = double(t.area[std::size_t(s.region)]);
    ++f.fills;
    f.besideCuts += s.cut != nullptr;
    const Outcome plain = trial.cut.Fill(t, s, 0);
    f.plainLeaks += plain.leaked > 0;
    f.plainHeld += s.cut && plain.leaked == 0;
    const Outcome o = trial.cut.Fill(t, s, trial.gap);
    const Outcome whole = trial.unbroken.Fill(t, s, trial.gap);
    f.errors += plain.err != 0 || o.err != 0 || whole.err != 0;
    f.leaks += o.leaked > 0;
    const double share = 100.0 * double(o.inside) / area, wholeShare = 100.0 * double(whole.inside) / area;
    const bool substantial = Substantial(t, s.region, trial.gap);
    if (o.leaked > 0 || (substantial && share < 97.0 && trial.listed++ < 4))
        std::printf("    %s, gap %d, seed (%d, %d) in region %d of %.0f px (reach %.1f)%s%d: %.2f%% painted "
                    "(%.2f%% without the openings), %lld px of other regions\n",
                    trial.title, trial.gap, s.at.x, s.at.y, s.region, area, double(t.reach[std::size_t(s.region)]),
                    s.cut ? " beside an opening of width " : " away from the openings", s.cut ? s.cut->width : 0, share,
                    wholeShare, static_cast<long long>(o.leaked));
    if (!substantial) {
        ++f.excludedFills;
        return;
    }
    const double kept = whole.inside ? 100.0 * double(o.inside) / double(whole.inside) : 100.0;
    ++f.scored;
    f.shareSum += share;
    f.shareMin = std::min(f.shareMin, share);
    f.below97 += share < 97.0;
    f.pinched += share < 97.0 && wholeShare < 97.0;
    f.keptSum += kept;
    f.keptMin = std::min(f.keptMin, kept);
    if (whole.inside == std::int64_t(area)) {
        ++f.closed;
        f.closedSum += share;
        f.closedMin = std::min(f.closedMin, share);
    }
}

// One layer and gap size: cuts the openings, fills from every seed, and scores the fills. Every
// leak is listed, and the first few shares below 97% of each layer and gap size.
inline Figures Evaluate(const char* title, const SBitmap& paint, const SBitmap& trace, const Truth& t,
                        std::int32_t maxGap, std::int32_t openings, std::int32_t elsewhere, std::uint32_t seed)
{
    SBitmap cutPaint = paint, cutTrace = trace;
    const std::vector<Cut> cuts = CutOpenings(cutPaint, cutTrace, t, maxGap, openings, seed);
    const std::vector<Seed> seeds = ChooseSeeds(t, cuts, maxGap, elsewhere, seed * 3 + 1);
    Figures f;
    f.cuts = std::int64_t(cuts.size());
    for (std::int32_t l = 1; l < t.Count(); ++l) {
        ++f.regions;
        f.excluded += !Substantial(t, l, maxGap);
    }
    Desk cut(cutPaint, cutTrace), unbroken(paint, trace);
    Trial trial{title, t, maxGap, cut, unbroken};
    for (const Seed& s : seeds)
        Score(trial, s, f);
    f.stray = cut.Stray() + unbroken.Stray();
    return f;
}

}  // namespace gap_evaluation
