// The check of a cel before it leaves for compositing: the mistakes a checker looks for by eye,
// found in the paint and trace layers. Unpainted areas (regions the fill would paint that still
// hold unpainted pixels, the background aside), specks (small painted regions in a colour none of
// their neighbours has) and coloured pencil lines that were never converted.
#pragma once

#include "SAbort.h"
#include "SBitmap.h"
#include "SError.h"
#include "SGeometry.h"
#include "SRunGroups.h"

#include <cstdint>
#include <vector>

enum class SFindingKind : std::int32_t { Unpainted, Speck, Line };

struct SFinding
{
    SFindingKind kind = SFindingKind::Unpainted;
    ulib::SRect bounds;       // of the pixels found
    std::int64_t pixels = 0;  // unpainted pixels of the region, the speck's pixels, the line's pixels
    ulib::SPoint at;          // a pixel found: the first in row order
    std::uint32_t code = 0;   // a line's colour code (cel_values::CodeRed, CodeBlue, CodeGreen)
};

// The speck size below which a painted region of its own colour is a speck.
inline constexpr std::int32_t DefaultMinSpeck = 12;
inline constexpr std::int32_t LargestMinSpeck = 100000;

struct SCheckOptions
{
    std::int32_t minSpeck = DefaultMinSpeck;  // 0 finds no specks
    // Unpainted regions that stay unpainted on purpose are checked too: the one holding pixel
    // (1, 1) and those touching the cel's edge.
    bool includeEdge = false;
};

// The kind's name in the converter's output and the JSON: "unpainted", "speck", "line".
const char* FindingKindName(SFindingKind kind);
// A line's colour code as the converter's output and the JSON name it: "red", "blue", "green".
const char* LineCodeName(std::uint32_t code);

// Checks the cel's 32-bit paint and trace layers of one size (an empty trace layer has no lines).
// The findings come kind by kind (unpainted, specks, lines), each kind in the row order of its
// first pixel. Errors: "domain" (a layer not 32-bit, or the two of different sizes),
// "memory_temp", "abort" (polled between rows); any error leaves the findings empty.
ulib::SError CheckCel(const ulib::SBitmap& paint, const ulib::SBitmap& trace, const SCheckOptions& options,
                      std::vector<SFinding>& findings, const ulib::SAbort* abort = nullptr);

// The lines' half of CheckCel: the unconverted coloured pencil lines, appended in row order.
ulib::SError FindUnconvertedLines(const ulib::SBitmap& trace, std::vector<SFinding>& findings, const ulib::SAbort* abort);

// The check kept between edits: the paint layer's regions as the last full check found them, so
// that after an edit that moved no border only what the edit touched is looked at again.
class SCelChecker
{
public:
    // The full check, as CheckCel; the regions are kept. Errors as CheckCel's (no findings then).
    ulib::SError Check(const ulib::SBitmap& paint, const ulib::SBitmap& trace, const SCheckOptions& options,
                       const ulib::SAbort* abort = nullptr);
    // After pixels of the paint layer changed inside `changed` with every border where it was (a
    // fill click, in any colour mode): the regions the rectangle reaches, and the small ones near
    // it, are looked at again. False (nothing looked at) without a full check of a layer this size
    // to follow.
    bool RecheckPaint(const ulib::SBitmap& paint, const ulib::SRect& changed);
    const std::vector<SFinding>& Findings() const { return findings_; }

private:
    struct Region
    {
        std::int64_t area = 0;
        std::int64_t unpainted = 0;
        ulib::SRect unpaintedBounds;
        ulib::SPoint firstUnpainted{-1, -1};
        bool edge = false;        // touches the cel's edge
        bool background = false;  // holds pixel (1, 1)
        bool speck = false;
        ulib::SRect bounds;
    };

    void FindRegions(const ulib::SBitmap& paint);
    void SumUnpainted(std::int32_t region);
    void JudgeSpeck(const ulib::SBitmap& paint, std::int32_t region);
    void Collect();

    SCheckOptions options_;
    std::int32_t width_ = 0, height_ = 0;
    std::vector<SKeyedRun> runs_;           // the paint layer's runs of non-border pixels, row by row
    std::vector<std::int32_t> rowStart_;    // each row's first run, and the end
    std::vector<std::int32_t> runRegion_;   // each run's region
    struct RunUnpainted
    {
        std::int32_t count = 0;
        std::int32_t first = 0, last = 0;  // columns of the first and last unpainted pixel
    };
    std::vector<RunUnpainted> unpainted_;  // each run's
    static RunUnpainted CountUnpainted(const std::uint32_t* row, std::int32_t x0, std::int32_t x1);
    std::vector<std::int32_t> regionRuns_;  // the runs of region 0, then of region 1, ...
    std::vector<std::int32_t> regionStart_;
    std::vector<Region> regions_;
    std::vector<std::int32_t> small_;  // the regions smaller than the speck size
    std::vector<SFinding> lines_;
    std::vector<SFinding> findings_;
};
