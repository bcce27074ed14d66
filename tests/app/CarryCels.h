// Two cels of one cut for the colour carry's command tests: boxes whose black borders part the paint
// layer into regions (two of them inside others), painted in the source, moved and unpainted in the
// target, which may add boxes of its own that the source knows nothing of.
#pragma once

#include "../document/CelFixture.h"
#include "SCel.h"
#include "SDocumentFile.h"
#include "SGeometry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace carry_cels {

struct Box
{
    ulib::SRect rect;  // borders included, two pixels wide
    std::uint32_t colour;
};

// An enclosing box comes before the boxes inside it.
inline const std::vector<Box>& Boxes()
{
    static const std::vector<Box> boxes = {
        {{10, 10, 60, 50}, 0xFFFF0000u},  {{70, 10, 100, 70}, 0xFF00FF00u}, {{110, 15, 180, 50}, 0xFF0000FFu},
        {{15, 70, 75, 130}, 0xFFFFFF00u}, {{30, 85, 50, 105}, 0xFF00FFFFu}, {{90, 80, 180, 130}, 0xFFFF00FFu},
        {{120, 95, 150, 115}, 0xFF804020u},
    };
    return boxes;
}

inline constexpr std::int32_t Width = 200;
inline constexpr std::int32_t Height = 150;
// How far the target's drawing moved from the source's.
inline constexpr ulib::SPoint Shift{3, 2};
// Boxes only the target has, inside the red and the blue box: nothing in the source tells their colour.
inline const std::vector<ulib::SRect> NewBoxes = {{20, 20, 40, 30}, {135, 20, 160, 40}};

// The boxes moved by shift, painted in their colours or unpainted, then the extra boxes unpainted.
inline SCel Drawing(ulib::SPoint shift, bool painted, const std::vector<ulib::SRect>& extra = {},
                    std::int32_t width = Width, std::int32_t height = Height)
{
    SCel cel = MakeCel(width, height);
    cel.held.Clear();
    EXPECT_EQ(cel.held.Append(cel.genga), 0u);
    auto draw = [&](ulib::SRect r, std::uint32_t colour) {
        r = r.Offset(shift.x, shift.y);
        for (std::int32_t y = r.top; y < r.bottom && y < height; ++y)
            for (std::int32_t x = r.left; x < r.right && x < width; ++x) {
                const bool border = x < r.left + 2 || x >= r.right - 2 || y < r.top + 2 || y >= r.bottom - 2;
                SetPixel(cel.paint, x, y, border ? cel_values::BorderBlack : colour);
            }
    };
    for (const Box& box : Boxes())
        draw(box.rect, painted ? box.colour : cel_values::Unpainted);
    for (const ulib::SRect& r : extra)
        draw(r, cel_values::Unpainted);
    cel.ComposeAll();
    return cel;
}

inline SCel Source()
{
    return Drawing({0, 0}, true);
}

inline SCel Target()
{
    return Drawing(Shift, false, NewBoxes);
}

// A pixel of the target inside box i, clear of the boxes inside it and of the new boxes.
inline ulib::SPoint InsideBox(std::size_t i)
{
    const ulib::SRect& r = Boxes()[i].rect;
    return {r.left + 3 + Shift.x, r.top + 3 + Shift.y};
}

inline void Save(const SCel& cel, const std::string& path)
{
    ASSERT_EQ(SaveDocument(cel, ulib::SString(path)), 0u);
}

// The layer's pixels row by row, to compare a layer before and after.
inline std::vector<std::uint32_t> Pixels(const ulib::SBitmap& layer)
{
    std::vector<std::uint32_t> pixels;
    for (std::int32_t y = 0; y < layer.Height(); ++y)
        pixels.insert(pixels.end(), layer.Row32(y), layer.Row32(y) + layer.Width());
    return pixels;
}

}  // namespace carry_cels
