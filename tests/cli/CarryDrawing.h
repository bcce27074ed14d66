// A small drawing for the carry tests, as a painted cel and as the next cels of its cut: the same
// shapes moved a few pixels, some of them left out or added.
#pragma once

#include "SCel.h"

#include <cstdint>
#include <vector>

namespace carry_drawing {

using ulib::SPoint;

// The drawing: rectangles A and B, a rectangle D inside B outlined in blue pencil, an ellipse C
// and, in some cels, a rectangle E; every other outline is black. Outlines are 2 pixels wide.
enum class Part { Paper, Line, BlueLine, A, B, C, D, E };

struct Box
{
    int x0, y0, x1, y1;  // inclusive
    bool Holds(int x, int y, int inset) const
    {
        return x >= x0 + inset && x <= x1 - inset && y >= y0 + inset && y <= y1 - inset;
    }
};

constexpr Box BoxA{10, 10, 70, 60}, BoxB{88, 12, 150, 72}, BoxD{104, 28, 132, 54}, BoxE{100, 84, 150, 112};
constexpr SPoint CelSize{170, 125};

inline bool InEllipse(int x, int y, double shrink)
{
    const double u = (x - 50) / (36 - shrink), v = (y - 92) / (20 - shrink);
    return u * u + v * v <= 1;
}

struct Look
{
    bool withC = true;
    bool withE = false;
    bool painted = false;   // A, B, C, D and the pencil line in the painter's colours
    bool ePainted = false;  // E in its colour
};

inline Part PartAt(int x, int y, const Look& look)
{
    if (BoxD.Holds(x, y, 0))
        return BoxD.Holds(x, y, 2) ? Part::D : Part::BlueLine;
    if (BoxB.Holds(x, y, 0))
        return BoxB.Holds(x, y, 2) ? Part::B : Part::Line;
    if (BoxA.Holds(x, y, 0))
        return BoxA.Holds(x, y, 2) ? Part::A : Part::Line;
    if (look.withE && BoxE.Holds(x, y, 0))
        return BoxE.Holds(x, y, 2) ? Part::E : Part::Line;
    if (look.withC && InEllipse(x, y, 0))
        return InEllipse(x, y, 2) ? Part::C : Part::Line;
    return Part::Paper;
}

// The painter's colours for A to E, and the colour the blue pencil line is converted to.
constexpr std::uint32_t ColourA = 0xFFFF0000u, ColourB = 0xFF00C000u, ColourC = 0xFFFFFF00u, ColourD = 0xFF0000FFu,
                        ColourE = 0xFF00FFFFu;
constexpr std::uint32_t LineColour = 0x00FF00FFu;

// The drawing moved by `shift` on paper of `size`, as a document holds it.
inline SCel Drawing(SPoint shift, const Look& look = {}, SPoint size = CelSize)
{
    const std::uint32_t colours[] = {0, 0, 0, ColourA, ColourB, ColourC, ColourD, ColourE};  // by Part
    SCel cel;
    cel.genga.Create(size.x, size.y, 24);
    cel.paint.Create(size.x, size.y, 32);
    cel.trace.Create(size.x, size.y, 32);
    cel.display.Create(size.x, size.y, 32);
    cel.flag.Create(size.x, size.y, 8);
    for (int y = 0; y < size.y; ++y)
        for (int x = 0; x < size.x; ++x) {
            const Part part = PartAt(x - shift.x, y - shift.y, look);
            std::uint32_t paint = cel_values::Unpainted, trace = cel_values::NoLine;
            if (part == Part::Line) {
                paint = cel_values::BorderBlack;
                trace = cel_values::BlackLine(255);
            } else if (part == Part::BlueLine) {
                paint = cel_values::BorderBlue;
                trace = look.painted ? cel_values::ConvertedLine(255, LineColour)
                                     : cel_values::ColouredLine(255, cel_values::CodeBlue);
                cel.flag.Row(y)[x] = look.painted ? cel_values::CodeBlue : 0;
            } else if (part == Part::E ? look.ePainted : part != Part::Paper && look.painted) {
                paint = colours[int(part)];
            }
            cel.paint.Row32(y)[x] = paint;
            cel.trace.Row32(y)[x] = trace;
        }
    cel.held.Append(cel.genga);
    return cel;
}

inline std::vector<std::uint32_t> Pixels(const ulib::SBitmap& layer)
{
    std::vector<std::uint32_t> out;
    for (std::int32_t y = 0; y < layer.Height(); ++y)
        out.insert(out.end(), layer.Row32(y), layer.Row32(y) + layer.Width());
    return out;
}

}  // namespace carry_drawing
