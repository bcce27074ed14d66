// The zoom steps of the canvas and the reference pane and the arithmetic between screen and
// document coordinates they share.
#pragma once

#include "SGeometry.h"

#include <cstdint>

namespace canvas {

inline constexpr std::int32_t MinZoom = -4;
inline constexpr std::int32_t MaxZoom = 4;

// A document length on screen at zoom z (arithmetic shifts, as every conversion here).
constexpr std::int32_t ToScreen(std::int32_t length, std::int32_t zoom)
{
    return zoom >= 0 ? length << zoom : length >> -zoom;
}
// A screen coordinate as a document coordinate at zoom z; negative coordinates stay negative.
constexpr std::int32_t ToDocument(std::int32_t screen, std::int32_t zoom)
{
    return zoom >= 0 ? screen >> zoom : screen << -zoom;
}

// View navigation shared by the canvas and the reference pane. The scroll position after a zoom
// from `from` to `to` that keeps the picture point `anchor` at the same place of the view: the
// point moves by the difference of its two scaled positions, and the view scrolls by as much.
constexpr ulib::SPoint ScrollKeepingPoint(ulib::SPoint scroll, ulib::SPoint anchor, std::int32_t from, std::int32_t to)
{
    return {scroll.x + ToScreen(anchor.x, to) - ToScreen(anchor.x, from),
            scroll.y + ToScreen(anchor.y, to) - ToScreen(anchor.y, from)};
}
// The same for a point given on the screen (a canvas position at zoom `from`, as under the
// pointer), kept to the screen pixel rather than the document pixel: the wheel and the pinch zoom
// about it.
constexpr ulib::SPoint ScrollKeepingScreenPoint(ulib::SPoint scroll, ulib::SPoint screen, std::int32_t from, std::int32_t to)
{
    const auto scale = [from, to](std::int32_t at) { return to >= from ? at << (to - from) : at >> (from - to); };
    return {scroll.x + scale(screen.x) - screen.x, scroll.y + scale(screen.y) - screen.y};
}

// One notch of a mouse wheel, in the wheel's eighths of a degree.
inline constexpr std::int32_t WheelNotch = 120;
// The zoom steps a wheel turn of `delta` makes, keeping the rest in `pending` for the next turn:
// fine-grained wheels and touchpads send parts of a notch. Turning back drops what was pending.
constexpr std::int32_t WheelSteps(std::int32_t& pending, std::int32_t delta)
{
    if ((pending > 0 && delta < 0) || (pending < 0 && delta > 0))
        pending = 0;
    pending += delta;
    const std::int32_t steps = pending / WheelNotch;
    pending -= steps * WheelNotch;
    return steps;
}

// The scroll position during a hand drag, measured on the screen (the picture moves under the
// pointer while it scrolls): the start's scroll moved against the pointer's way.
constexpr ulib::SPoint DragScroll(ulib::SPoint startScroll, ulib::SPoint startPointer, ulib::SPoint pointer)
{
    return {startScroll.x + startPointer.x - pointer.x, startScroll.y + startPointer.y - pointer.y};
}

}  // namespace canvas
