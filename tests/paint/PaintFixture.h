// Small cels for the paint tests, drawn and read back as ASCII art, one character per paint pixel:
//   '#' black border, 'r' red border, 'g' green border, 'b' blue border, '.' unpainted,
//   'R' 'G' 'B' 'Y' 'C' 'M' 'K' 'W' opaque red, green, blue, yellow, cyan, magenta, black, white,
//   'H' red at alpha 128, '~' an alpha-0 value that is neither a border nor unpainted;
// PaintArt prints '?' for any other value.
#pragma once

#include "SCel.h"
#include "SGeometry.h"
#include "SPaintContext.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <queue>
#include <string>
#include <string_view>
#include <vector>

namespace paint_art {

struct Glyph
{
    char c;
    std::uint32_t value;
};

inline constexpr Glyph Glyphs[] = {
    {'#', 0x00000000u}, {'r', 0x00FF0000u}, {'g', 0x0000FF00u}, {'b', 0x000000FFu}, {'.', 0x00FFFFFFu},
    {'R', 0xFFFF0000u}, {'G', 0xFF00FF00u}, {'B', 0xFF0000FFu}, {'Y', 0xFFFFFF00u}, {'C', 0xFF00FFFFu},
    {'M', 0xFFFF00FFu}, {'K', 0xFF000000u}, {'W', 0xFFFFFFFFu}, {'H', 0x80FF0000u}, {'~', 0x00808080u},
};

}  // namespace paint_art

using Art = std::vector<std::string>;

// The layer value a character stands for; an unknown character fails the test and gives unpainted.
inline std::uint32_t ArtValue(char c)
{
    for (const paint_art::Glyph& g : paint_art::Glyphs)
        if (g.c == c)
            return g.value;
    ADD_FAILURE() << "no art character '" << c << "'";
    return 0x00FFFFFFu;
}

inline char ArtChar(std::uint32_t value)
{
    for (const paint_art::Glyph& g : paint_art::Glyphs)
        if (g.value == value)
            return g.c;
    return '?';
}

// The current colour that paints a character's value (for 'R', 'H' and the other painted ones).
inline ulib::SColor ArtColour(char c) { return ulib::SColor::FromPixel(ArtValue(c)); }

// Writes the art into the top-left corner of a 32-bit layer (rows beyond the layer are ignored).
inline void DrawArt(ulib::SBitmap& layer, const Art& art)
{
    for (std::int32_t y = 0; y < std::int32_t(art.size()) && y < layer.Height(); ++y)
        for (std::int32_t x = 0; x < std::int32_t(art[y].size()) && x < layer.Width(); ++x)
            layer.Row32(y)[x] = ArtValue(art[y][x]);
}

// A composed cel of the art's size: paint from the art, white genga, empty trace, no extra layer.
inline SCel CelFromArt(const Art& art)
{
    const std::int32_t height = std::int32_t(art.size());
    const std::int32_t width = height ? std::int32_t(art[0].size()) : 0;
    for (const std::string& row : art)
        EXPECT_EQ(std::int32_t(row.size()), width) << "art rows differ in length";
    SCel cel;
    cel.display.Create(width, height, 32);
    cel.genga.Create(width, height, 24);
    cel.trace.Create(width, height, 32);
    cel.paint.Create(width, height, 32);
    cel.flag.Create(width, height, 8);
    cel.trace.FillRect(ulib::SColor::FromPixel(cel_values::NoLine));
    DrawArt(cel.paint, art);
    cel.ComposeAll();
    return cel;
}

inline Art PaintArt(const SCel& cel)
{
    Art art(std::size_t(cel.paint.Height()), std::string(std::size_t(cel.paint.Width()), ' '));
    for (std::int32_t y = 0; y < cel.paint.Height(); ++y)
        for (std::int32_t x = 0; x < cel.paint.Width(); ++x)
            art[y][x] = ArtChar(cel.paint.Row32(y)[x]);
    return art;
}

// A cel with the undo buffer and tool state wired as the controller wires them. The cel's layers
// are the variables the undo buffer refers to, so the desk is neither copied nor moved.
struct PaintDesk
{
    SCel cel;
    SHuedraneUndoBuffer undo{cel.trace, cel.paint, cel.extra};
    SToolState tools;
    ulib::SBitmap reference;

    explicit PaintDesk(const Art& art)
    {
        cel = CelFromArt(art);
        undo.SetDocumentSize(cel.display.Width(), cel.display.Height());
    }
    PaintDesk(const PaintDesk&) = delete;
    PaintDesk& operator=(const PaintDesk&) = delete;

    SPaintContext Context() { return {cel, undo, tools, reference}; }
};

// The reference fill for the walk and the labelling: marks with `label` every pixel of the row-major
// w x h map that is inside (inside(x, y)), still 0 and 4-connected to the seed, breadth first.
template <class Inside>
void FloodFrom(std::vector<std::int32_t>& map, std::int32_t w, std::int32_t h, ulib::SPoint seed, std::int32_t label,
               const Inside& inside)
{
    std::queue<ulib::SPoint> queue;
    auto reach = [&](std::int32_t x, std::int32_t y) {
        if (x >= 0 && y >= 0 && x < w && y < h && inside(x, y) && map[std::size_t(y * w + x)] == 0) {
            map[std::size_t(y * w + x)] = label;
            queue.push({x, y});
        }
    };
    reach(seed.x, seed.y);
    for (; !queue.empty(); queue.pop()) {
        const ulib::SPoint p = queue.front();
        reach(p.x - 1, p.y);
        reach(p.x + 1, p.y);
        reach(p.x, p.y - 1);
        reach(p.x, p.y + 1);
    }
}
