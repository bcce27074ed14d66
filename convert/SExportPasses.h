// The passes that turn a cel's paint and trace layers into an exportable picture. The paint and
// trace images are 32-bit layer images holding the cel's values (SCelValues.h): unpainted, borders,
// painted pixels with a non-zero alpha byte, trace pixels made by import with alpha 0 and the black
// density in byte 0. Each pass reports its rows to the progress object when one is given
// (SetPosition(row) in the caller's range) and stops with "abort" when asked to.
#pragma once

#include "SAbort.h"
#include "SBitmap.h"
#include "SCelValues.h"
#include "SColor.h"
#include "SError.h"

#include <cstdint>

inline constexpr std::uint32_t ExportOpaqueWhite = 0xFFFFFFFFu;

// Closes unpainted specks: an unpainted pixel (x 2..w-3, y 2..h-3) none of whose twelve probes two
// pixels away (those inside columns 0..w-3 and rows 0..h-3) is unpainted turns every unpainted pixel
// of its 3 x 3 block into red border, seen by the pixels after it. Images narrower or lower than 32
// are left as they are. err: "domain" (not 32-bit), "abort".
ulib::SError FillIsolatedGaps(ulib::SBitmap& paint, ulib::SAbort* progress = nullptr);

// Carries the paint under the border lines: each black or red border pixel takes the average of
// the nearest counted pixels in squares of radius 0..3 (opaque white and borders are not counted;
// more than one opaque white seen, or nothing found by radius 3, gives up). Averages are seen by the
// pixels after them in scan order; pixels that gave up keep their border value in the result.
// err: "domain" (not 32-bit), "memory_alloc", "abort".
ulib::SError PaintUnderLines(ulib::SBitmap& paint, ulib::SAbort* progress = nullptr);

// Turns import-made trace pixels (alpha 0) into the colour's blue, green and red with their black
// density as alpha, or into 0 when the density is 0 or the pixel is "no line";
// pixels with alpha already set stay.
// err: "domain" (not 32-bit), "abort".
ulib::SError ColourTraceLines(ulib::SBitmap& trace, ulib::SColor colour, ulib::SAbort* progress = nullptr);

// A new image of the given depth and the source's size with two-valued transparency: colours equal
// to the key (all four bytes) are first moved one step toward the middle on blue, green and red;
// then T below 192 is written opaque and T of 192 or more as the key. The empty image when it cannot
// be created.
ulib::SBitmap KeyTransparency(const ulib::SBitmap& source, ulib::SColor key, std::int32_t depth);
