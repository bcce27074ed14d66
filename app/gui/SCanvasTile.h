// The canvas's pixel rules without any window: the zoom texts and rectangles, and the filling of
// one drawing tile from the display buffer (checkerboard behind transparent pixels, over-blending
// of partly transparent ones, silhouette), also from pictures of other formats for the reference
// pane. Kept free of Qt so the drawing can be tested and measured on its own.
#pragma once

#include "SBitmap.h"
#include "SGeometry.h"
#include "SViewZoom.h"

#include <cstdint>

namespace canvas {

inline constexpr std::int32_t TileSize = 128;  // tile edge in screen pixels

// The zoom step's status text: "6%", "12%", "25%", "50%", "100%" .. "1600%".
const char* ZoomText(std::int32_t zoom);

// A screen rectangle (right and bottom exclusive) as the document rectangle that covers it, each edge
// shifted, right and bottom one pixel further, then cut to the document size.
ulib::SRect ScreenToDocumentRect(const ulib::SRect& screen, std::int32_t zoom, ulib::SPoint documentSize);
// The screen rectangle showing a document rectangle; empty rectangles stay empty.
ulib::SRect DocumentToScreenRect(const ulib::SRect& document, std::int32_t zoom);

// Where a tile (or the part of one that needs drawing) goes: the screen position of its top-left
// pixel and the BGRA destination with its row pitch in bytes.
struct STileTarget
{
    std::uint8_t* bits = nullptr;
    std::int32_t stride = 0;
    ulib::SPoint origin;         // screen position of the tile's top-left pixel
    std::int32_t width = TileSize;
    std::int32_t height = TileSize;
};

// Fills the target's width x height pixels from the 32-bit display buffer (blue, green, red, alpha
// with 255 opaque) at zoom z: nearest pixel, no averaging. Every written pixel is opaque (alpha 255).
// Pixels beyond the document's screen size are left untouched; a display that is not 32-bit or is
// empty fills nothing.
void FillCanvasTile(const ulib::SBitmap& display, std::int32_t zoom, bool silhouette, const STileTarget& target);

// Fills the target from a picture of any format at zoom z, the way FillCanvasTile shows a display
// buffer (never as a silhouette): 32-bit pixels with their alpha, 24-bit pixels opaque, every other
// format as GetColor reads it (indexed formats take the colour table's transparency). Pixels beyond
// the picture's screen size are left untouched; an empty picture fills nothing.
void FillPictureTile(const ulib::SBitmap& picture, std::int32_t zoom, const STileTarget& target);

}  // namespace canvas
