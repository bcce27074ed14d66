// The check of a cel before it leaves for compositing: the mistakes a checker looks for by eye,
// found in the paint and trace layers. Unpainted areas (regions the fill would paint that still
// hold unpainted pixels, the background aside), specks (small painted regions in a colour none of
// their neighbours has) and coloured pencil lines that were never converted.
#pragma once

#include "SAbort.h"
#include "SBitmap.h"
#include "SError.h"
#include "SGeometry.h"

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

// The two halves of CheckCel, findings appended in the order CheckCel gives them.
ulib::SError FindRegionMistakes(const ulib::SBitmap& paint, const SCheckOptions& options, std::vector<SFinding>& findings,
                                const ulib::SAbort* abort);
ulib::SError FindUnconvertedLines(const ulib::SBitmap& trace, std::vector<SFinding>& findings, const ulib::SAbort* abort);
