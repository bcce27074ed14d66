// Helpers for the tool tests on top of PaintFixture.h: trace-layer art, layer snapshots for undo
// checks, and drags with the tool in effect.
//   Trace art: '.' no line (0x00FFFFFF), '0' the value 0, '#' black line of density 255,
//   'r' 'g' 'b' coloured red, green, blue lines of density 255, and converted lines of density 255
//   in the paint art's colours: 'R' 'G' 'B' 'Y' 'C' 'M' 'K' 'W'; '?' any other value.
#pragma once

#include "PaintFixture.h"
#include "STools.h"

#include <initializer_list>
#include <vector>

namespace trace_art {

inline constexpr paint_art::Glyph Glyphs[] = {
    {'.', 0x00FFFFFFu}, {'0', 0x00000000u}, {'#', 0x000000FFu}, {'r', 0x00FF0000u}, {'g', 0x00FF0200u},
    {'b', 0x00FF0100u}, {'R', 0xFFFF0000u}, {'G', 0xFF00FF00u}, {'B', 0xFF0000FFu}, {'Y', 0xFFFFFF00u},
    {'C', 0xFF00FFFFu}, {'M', 0xFFFF00FFu}, {'K', 0xFF000000u}, {'W', 0xFFFFFFFFu},
};

}  // namespace trace_art

inline void DrawTrace(ulib::SBitmap& trace, const Art& art)
{
    for (std::int32_t y = 0; y < std::int32_t(art.size()) && y < trace.Height(); ++y)
        for (std::int32_t x = 0; x < std::int32_t(art[y].size()) && x < trace.Width(); ++x) {
            std::uint32_t value = 0x00FFFFFFu;
            bool known = false;
            for (const paint_art::Glyph& g : trace_art::Glyphs)
                if (g.c == art[y][x]) {
                    value = g.value;
                    known = true;
                }
            EXPECT_TRUE(known) << "no trace art character '" << art[y][x] << "'";
            trace.Row32(y)[x] = value;
        }
}

inline Art TraceArt(const SCel& cel)
{
    Art art(std::size_t(cel.trace.Height()), std::string(std::size_t(cel.trace.Width()), '?'));
    for (std::int32_t y = 0; y < cel.trace.Height(); ++y)
        for (std::int32_t x = 0; x < cel.trace.Width(); ++x)
            for (const paint_art::Glyph& g : trace_art::Glyphs)
                if (g.value == cel.trace.Row32(y)[x])
                    art[y][x] = g.c;
    return art;
}

inline std::uint32_t PaintAt(const SCel& cel, std::int32_t x, std::int32_t y) { return cel.paint.Row32(y)[x]; }
inline std::uint32_t TraceAt(const SCel& cel, std::int32_t x, std::int32_t y) { return cel.trace.Row32(y)[x]; }

// Every pixel of the three undoable layers, and the extra layer's size.
struct LayerSnapshot
{
    std::vector<std::uint32_t> trace, paint, extra;
    std::int32_t extraWidth = 0, extraHeight = 0;

    static std::vector<std::uint32_t> Pixels(const ulib::SBitmap& layer)
    {
        std::vector<std::uint32_t> out;
        for (std::int32_t y = 0; y < layer.Height(); ++y)
            out.insert(out.end(), layer.Row32(y), layer.Row32(y) + layer.Width());
        return out;
    }
    static LayerSnapshot Of(const SCel& cel)
    {
        return {Pixels(cel.trace), Pixels(cel.paint), Pixels(cel.extra), cel.extra.Width(), cel.extra.Height()};
    }
    bool operator==(const LayerSnapshot&) const = default;
};

// A left-button drag with `tool` in effect: down at the first point, a move to each further point,
// up. Returns the union of the changed rectangles.
inline ulib::SRect Drag(PaintDesk& desk, STool tool, std::initializer_list<ulib::SPoint> points)
{
    SPaintContext context = desk.Context();
    SStroke stroke;
    ulib::SRect changed;
    bool first = true;
    for (const ulib::SPoint& p : points) {
        changed = changed.Union(first ? stroke.MouseDown(context, tool, p) : stroke.MouseMove(context, p));
        first = false;
    }
    stroke.MouseUp();
    return changed;
}

// Whether the display already shows what a full recomposition gives (the tools recompose only
// what they changed).
inline bool DisplayIsFresh(SCel& cel)
{
    const std::vector<std::uint32_t> before = LayerSnapshot::Pixels(cel.display);
    cel.ComposeAll();
    return LayerSnapshot::Pixels(cel.display) == before;
}
