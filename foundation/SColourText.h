// Colours as text: the written forms "(R,G,B)" and "(R,G,B,A)" of the colour chart and the status
// bar, and the lenient reader that turns any text into a colour (a chart file value, a script word).
#pragma once

#include "SColor.h"
#include "SString.h"

#include <string_view>

namespace ulib {

// The colour in decimal. Format "" (and any other than "/"): "(R,G,B)" when opaque, else
// "(R,G,B,A)"; format "/": "(R,G,B)" when opaque, else "(R,G,B) A". A is 255 - transparency.
SString ColourToText(SColor colour, std::string_view format);

// Never fails: every text gives some colour.
// - "" gives opaque black.
// - "#" and up to 8 hex digits (up to the first other byte): RRGGBBAA (transparency 255 - AA);
//   RRGGBB, also with a seventh digit that is ignored, opaque; fewer than 6 digits opaque black.
// - Anything else is a list of integers: each maximal digit run is a number, negative with a "-"
//   directly before it; "0b", "0o", "0d", "0x", "0h" (either case) read the digits of base 2, 8,
//   10, 16, 16 that follow, and the next byte starts a new number or separates. Every other byte
//   separates; scanning stops at the first byte outside 0x20..0x7E. The first four numbers are
//   R, G, B, A, each clamped to 0..255, missing ones 0; with three or fewer the colour is opaque.
SColor TextToColour(std::string_view text);

}  // namespace ulib
