// Carrying the conversions of colour lines: the red, blue and green pencil lines the painter turned
// into a colour in the source cel are turned into the same colour in the target where they match.
// A target line is taken as a whole connected piece (one pencil colour, 8-connected) when the
// source's pixels around it agree on one colour; a piece the source converted in parts is converted
// pixel by pixel where the source is unanimous around the pixel. Black lines are never touched.
#pragma once

#include "SAbort.h"
#include "SBitmap.h"
#include "SCelMapping.h"
#include "SError.h"

#include <cstdint>
#include <vector>

struct SLineConversion
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t colour = 0;  // blue, green and red in the low 24 bits
};

struct SLineLayers
{
    const ulib::SBitmap& trace;  // 32-bit
    const ulib::SBitmap& flag;   // 8-bit with the converted pixels' pencil colours, or empty
};

// The target's unconverted colour-line pixels that take a colour, in row order. Errors: "abort"
// and "memory_temp" (nothing chosen).
ulib::SError ChooseLineConversions(const SLineLayers& source, const SLineLayers& target, const SCelMapping& mapping,
                                   std::vector<SLineConversion>& chosen, const ulib::SAbort* abort = nullptr);
