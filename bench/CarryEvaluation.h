// Scoring a carried cel of an evaluation sequence (CutSequence.h) against its truth: regions right,
// wrong and left, the area right (of all the area that should be painted) and the painted area
// right (of the area the carry painted), and the colour-line pixels converted right.
#pragma once

#include "CutSequence.h"
#include "SCarry.h"
#include "SCel.h"
#include "SHuedraneUndoBuffer.h"

#include <cstdint>
#include <cstdio>

namespace cut_sequence {

struct Figures
{
    std::int64_t regions = 0;  // regions whose true colour is a paint colour, seen in the source cel
    std::int64_t fresh = 0;    // such regions mostly outside the source cel: nothing can carry them
    std::int64_t right = 0;
    std::int64_t wrong = 0;    // painted in another colour, or painted where nothing belongs
    std::int64_t left = 0;
    std::int64_t area = 0;     // pixels of those regions
    std::int64_t areaRight = 0;
    std::int64_t painted = 0;  // pixels of every region the carry painted
    std::int64_t paintedRight = 0;
    std::int64_t lines = 0;    // colour-line pixels whose line the painter converts
    std::int64_t linesRight = 0;
    std::int64_t linesWrong = 0;  // converted in another colour, or converted where the painter does not

    void Add(const Figures& o)
    {
        regions += o.regions, fresh += o.fresh, right += o.right, wrong += o.wrong, left += o.left, area += o.area;
        areaRight += o.areaRight, painted += o.painted, paintedRight += o.paintedRight, lines += o.lines, linesRight += o.linesRight, linesWrong += o.linesWrong;
    }
    double Share(std::int64_t part, std::int64_t whole) const { return whole ? 100.0 * double(part) / double(whole) : 100.0; }
    void Print(const char* title) const
    {
        std::printf("%-28s regions %6lld (+%4lld new): right %6.2f%%  wrong %5.2f%%  left %5.2f%% | area right %6.2f%%, "
                    "painted area right %6.2f%% | lines right %6.2f%%  wrong %5.2f%%\n",
                    title, static_cast<long long>(regions), static_cast<long long>(fresh), Share(right, regions), Share(wrong, regions),
                    Share(left, regions), Share(areaRight, area), Share(paintedRight, painted), Share(linesRight, lines),
                    Share(linesWrong, lines));
    }
};

// The working cel of a drawn cel (its layers as a document holds them, composed).
inline SCel WorkingCel(const Cel& drawn)
{
    SCel cel;
    cel.paint = drawn.paint;
    cel.trace = drawn.trace;
    cel.flag = drawn.flag;
    cel.display.Create(drawn.paint.Width(), drawn.paint.Height(), 32);
    cel.ComposeAll();
    return cel;
}

// The pixels of each region that show a point of the scene the source cel shows too.
inline std::vector<std::int32_t> SeenBefore(const SRegionLabels& labels, const Renderer& target, const Renderer& source)
{
    std::vector<std::int32_t> seen(std::size_t(labels.Count()), 0);
    for (std::int32_t y = 0; y < labels.Height(); ++y)
        for (std::int32_t x = 0; x < labels.Width(); ++x)
            if (const std::int32_t l = labels.At(x, y); l > 0) {
                double qx = 0, qy = 0, sx = 0, sy = 0;
                target.ScenePoint(x, y, qx, qy);
                source.CelPoint(qx, qy, sx, sy);
                seen[std::size_t(l - 1)] += sx >= 0 && sy >= 0 && sx < labels.Width() && sy < labels.Height();
            }
    return seen;
}

// Scores a carried cel; a region whose pixels mostly show what the source cel did not show (it
// came in over the cel's edge) is new: painting it wrong still counts as wrong, leaving it does not.
inline Figures Score(const Scene& scene, const Cel& truth, const SCel& carried, const Renderer& target,
                     const Renderer& source)
{
    Figures f;
    SRegionLabels labels;
    labels.Build(carried.paint);
    const std::vector<std::uint32_t> colours = TrueColours(scene, truth, labels);
    const std::vector<std::int32_t> seen = SeenBefore(labels, target, source);
    for (std::int32_t l = 1; l <= labels.Count(); ++l) {
        const SRegionFacts& r = labels.Region(l);
        const std::uint32_t want = colours[std::size_t(l - 1)];
        if (cel_values::IsPainted(r.colour)) {
            f.painted += r.area;
            f.paintedRight += r.colour == want ? r.area : 0;
        }
        if (!cel_values::IsPainted(want)) {
            f.wrong += cel_values::IsPainted(r.colour);
            continue;
        }
        if (2 * seen[std::size_t(l - 1)] < r.area) {
            ++f.fresh;
            f.wrong += cel_values::IsPainted(r.colour) && r.colour != want;
            continue;
        }
        ++f.regions;
        f.area += r.area;
        if (r.colour == want) {
            ++f.right;
            f.areaRight += r.area;
        } else if (r.colour == cel_values::Unpainted) {
            ++f.left;
        } else {
            ++f.wrong;
        }
    }
    // Colour lines: a pixel showing what the source cel did not show is left out, as new regions are.
    for (std::int32_t y = 0; y < carried.trace.Height(); ++y) {
        const std::uint32_t* row = carried.trace.Row32(y);
        for (std::int32_t x = 0; x < carried.trace.Width(); ++x) {
            const std::uint32_t owner = truth.owner[std::size_t(y) * std::size_t(carried.trace.Width()) + std::size_t(x)];
            if (owner == 0)
                continue;
            const std::uint32_t want = scene.convert[owner];
            const bool converted = cel_values::IsConvertedLine(row[x]);
            double qx = 0, qy = 0, sx = 0, sy = 0;
            target.ScenePoint(x, y, qx, qy);
            source.CelPoint(qx, qy, sx, sy);
            if (sx < 0 || sy < 0 || sx >= carried.trace.Width() || sy >= carried.trace.Height()) {
                f.linesWrong += converted && (want == NotConverted || cel_values::ColourBits(row[x]) != want);
                continue;
            }
            if (want != NotConverted) {
                ++f.lines;
                if (converted && cel_values::ColourBits(row[x]) == want)
                    ++f.linesRight;
                else if (converted)
                    ++f.linesWrong;
            } else if (converted) {
                ++f.linesWrong;
            }
        }
    }
    return f;
}

// A working cel of a drawn cel with the undo buffer and tools a carry paints through, its undo
// step open. The buffer refers to the cel's layer variables, so a desk is neither copied nor moved.
struct Desk
{
    SCel cel;
    SHuedraneUndoBuffer undo{cel.trace, cel.paint, cel.extra};
    SToolState tools;
    ulib::SBitmap reference;

    explicit Desk(const Cel& drawn)
    {
        cel = WorkingCel(drawn);
        undo.SetDocumentSize(cel.display.Width(), cel.display.Height());
        undo.BeginStep(ulib::SString("carry"));
    }
    Desk(const Desk&) = delete;
    Desk& operator=(const Desk&) = delete;

    SPaintContext Context() { return {cel, undo, tools, reference}; }
};

// Carries from the sources (see CarryColours) onto a working cel of `drawn` in one undo step;
// returns the carried cel.
inline SCel Carry(const std::vector<const SCel*>& sources, const Cel& drawn, SCarryReport* reportOut = nullptr)
{
    Desk desk(drawn);
    SPaintContext context = desk.Context();
    SCarryReport report;
    CarryColours(sources, context, report);
    if (reportOut)
        *reportOut = std::move(report);
    return desk.cel;
}

}  // namespace cut_sequence
