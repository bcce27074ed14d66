// Carrying the colours of a painted cel to the next cel of its cut. The plan aligns the two cels
// (the drawing's movement as a whole, then the local movements), decides every target region and
// colour line, and lists what to paint; applying it paints each region with one fill click at its
// first pixel in the plan's colour (exactly what the paint tool's click there paints and records)
// and converts the chosen line pixels, all in the undo step the caller opened.
#pragma once

#include "SAbort.h"
#include "SCel.h"
#include "SError.h"
#include "SGeometry.h"
#include "SLineCarry.h"
#include "SPaintContext.h"

#include <cstdint>
#include <vector>

struct SCarryFill
{
    ulib::SPoint seed;
    std::uint32_t colour = 0;  // a painted paint value
    ulib::SRect bounds;        // the region's
};

struct SCarryPlan
{
    std::int32_t regions = 0;  // the target's regions
    std::int32_t kept = 0;     // painted already, or unpainted in the source too
    std::vector<SCarryFill> fills;
    std::vector<ulib::SRect> left;  // the bounds of the regions left unpainted, in label order
    std::vector<ulib::SPoint> leftSeeds;
    std::vector<SLineConversion> lines;
    std::int32_t gap = 0;  // the openings the regions were split at and the fills close (0 none)
};

// Plans the carry from source to target (read only). With a gap (1..LargestFillGap) the regions of
// both cels are those the gap-closing fill paints at that size, and so are the plan's fills; 0 (or
// a size out of range) plans plain regions. Errors: "carry_size" (the paint layers differ in size
// or are not 32-bit), "carry_unpainted" (no region of the source is painted), "abort",
// "memory_temp"; a failure leaves the plan empty.
ulib::SError PlanCarry(const SCel& source, const SCel& target, SCarryPlan& plan, const ulib::SAbort* abort = nullptr,
                       std::int32_t gap = 0);

// Paints the plan into the context's cel, recording every change in the open undo step, and
// recomposes what changed. The tool state is as before on return. Returns the changed rectangle;
// err receives the first fill error ("memory_temp", "buf_overflow"), the rest still being applied.
ulib::SRect ApplyCarry(SPaintContext& context, const SCarryPlan& plan, ulib::SError& err);

// What a carry did to its target.
struct SCarryReport
{
    std::int32_t regions = 0;  // the target's regions
    std::int32_t painted = 0;  // regions the carry painted
    std::int32_t left = 0;     // regions left unpainted because no source was sure of them
    std::int32_t lines = 0;    // colour-line pixels converted
    std::vector<ulib::SRect> leftBounds;  // the bounds of the regions left, in label order
    std::vector<ulib::SPoint> leftSeeds;  // a pixel inside each of them
    ulib::SRect changed;                  // the pixels the carry changed
};

// Carries from the sources into the context's cel, in the undo step the caller opened. Each
// source is planned against the cel as it is, closing the gaps the context's tools close; a region takes the first source's colour, or a later
// source's where the ones before had none for it, and is left when two sources give it different
// colours (so one wrong cel along a cut is not carried on). Lines likewise, first source first.
// Errors as PlanCarry gives them for the first source (nothing changed then); a later source that
// fails is skipped. A fill error is reported after everything else was applied.
ulib::SError CarryColours(const std::vector<const SCel*>& sources, SPaintContext& context, SCarryReport& report,
                          const ulib::SAbort* abort = nullptr);

// CarryColours in two halves, for callers that keep one source in memory at a time: the plans of
// the sources (PlanCarry against the same cel with one gap size, first source first) are joined as CarryColours joins
// them and applied. An empty list changes nothing. Returns a fill error as ApplyCarry does.
ulib::SError CarryPlans(std::vector<SCarryPlan> plans, SPaintContext& context, SCarryReport& report);
