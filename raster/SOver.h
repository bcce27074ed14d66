// The "over" rule: a colour composited onto another, with 12-bit widened channels.
// Shared by BlendColor, the display compositor and layer decoding, so it lives inline here.
#pragma once

#include "SColor.h"

#include <cstdint>

namespace ulib {

inline std::uint32_t WidenTo12(std::uint32_t v) { return (v << 4) + (v >> 4); }

// Source S over destination D. An opaque source wins, a fully transparent source leaves D (even a
// fully transparent D, whose colour channels may still matter to the caller), and anything over a
// fully transparent D is S unchanged.
inline SColor Over(SColor s, SColor d)
{
    if (s.t == 0)
        return s;
    if (s.t == 255)
        return d;
    if (d.t == 255)
        return s;
    std::uint32_t ws = WidenTo12(255u - s.t);
    std::uint32_t wd = 4095 - ws;
    std::uint8_t t = 0;
    if (d.t != 0) {
        std::uint32_t dd = (wd * WidenTo12(255u - d.t)) >> 12;
        std::uint32_t sum = ws + dd;
        t = std::uint8_t(255 - (sum >> 4));
        wd = dd * 4096 / sum;
        ws = ws * 4096 / sum;
    }
    // wd + ws never exceeds 4096, so a 12-bit channel times its weight fits and >> 16 gives 8 bits.
    auto mix = [&](std::uint8_t dc, std::uint8_t sc) {
        return std::uint8_t((WidenTo12(dc) * wd + WidenTo12(sc) * ws) >> 16);
    };
    return SColor(mix(d.r, s.r), mix(d.g, s.g), mix(d.b, s.b), t);
}

}  // namespace ulib
