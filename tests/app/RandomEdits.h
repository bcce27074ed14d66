// Random cels and random editing steps for the controller's property tests (undo, autosave).
#pragma once

#include "SHuedraneController.h"

#include <random>
#include <utility>

namespace random_edits {

using namespace ulib;

constexpr std::int32_t Width = 61;
constexpr std::int32_t Height = 47;

// A cel as an import leaves it: borders under black and coloured lines, some areas painted.
inline void MakeRandomCel(SHuedraneController& c, std::mt19937& random)
{
    SCel& cel = c.PaintContext().cel;
    cel.display.Create(Width, Height, 32);
    cel.genga.Create(Width, Height, 24);
    cel.paint.Create(Width, Height, 32);
    cel.trace.Create(Width, Height, 32);
    cel.flag.Create(Width, Height, 8);
    cel.extra.Create(0, 0, 32);
    cel.held.Clear();
    cel.held.Append(cel.genga);
    const std::uint32_t fills[] = {0x00FFFFFFu, 0xFFE0B090u, 0xFF3080C0u, 0x80FF0000u};
    for (std::int32_t y = 0; y < Height; ++y)
        for (std::int32_t x = 0; x < Width; ++x) {
            const bool line = x % 11 == 0 || y % 9 == 0 || (x + y) % 23 == 0;
            const std::uint32_t kind = random() % 8;
            if (line) {
                const bool coloured = kind == 0;
                cel.trace.Row32(y)[x] = coloured ? 0x00C00000u | (random() % 3) << 8 : 0x000000FFu - random() % 64;
                cel.paint.Row32(y)[x] = coloured ? 0x00FF0000u : 0x00000000u;
            } else {
                cel.trace.Row32(y)[x] = 0;
                cel.paint.Row32(y)[x] = fills[(x / 11 + y / 9) % 4];
            }
        }
    c.PaintContext().undo.Clear();
    c.PaintContext().undo.SetDocumentSize(Width, Height);
    SBitmap reference;
    reference.Create(4, 3, 24);
    for (std::int32_t y = 0; y < 3; ++y)
        for (std::int32_t x = 0; x < 4; ++x)
            reference.SetColor(x, y, SColor(std::uint8_t(x * 60), std::uint8_t(y * 80), 30));
    c.SetReferenceImage(std::move(reference));
    cel.ComposeAll();
}

inline SPoint RandomPoint(std::mt19937& random)
{
    // Now and then outside the cel, which tools must clip or skip.
    return {std::int32_t(random() % (Width + 6)) - 3, std::int32_t(random() % (Height + 6)) - 3};
}

// One undoable step: a drag with a random tool, or a whole-cel operation.
inline void RandomStep(SHuedraneController& c, std::mt19937& random)
{
    static const SColourMode modes[] = {SColourMode::Colour, SColourMode::Eraser, SColourMode::Bitmap};
    c.SetColourMode(modes[random() % 3]);
    c.SetCurrentColour(SColor(std::uint8_t(random()), std::uint8_t(random()), std::uint8_t(random()),
                              random() % 4 == 0 ? std::uint8_t(random()) : 0));
    c.SetTracePen(std::int32_t(random() % 5));
    c.SetBrush({std::int32_t(random() % 8), std::int32_t(random() % 101), std::int32_t(random() % 256)});
    if (random() % 5 == 0)
        c.SetLayerSwitch(LayerExtra, true);

    if (random() % 4 == 0) {
        static const SWholeCelOperation operations[] = {
            SWholeCelOperation::FillPaint, SWholeCelOperation::FillTrace,  SWholeCelOperation::FillExtra,
            SWholeCelOperation::FillBoth,  SWholeCelOperation::BlackToRed, SWholeCelOperation::Gundress};
        c.RunWholeCel(operations[random() % 6]);
        return;
    }
    static const STool tools[] = {ToolPaint,       ToolTracePen,   ToolBrush,          ToolBoundaryFix, ToolBoundaryDelete,
                                  ToolRepaint,     ToolBlackToRed, ToolColouredToBlack, ToolExtraBrush,  ToolKnife};
    c.MouseDown(tools[random() % 10], RandomPoint(random));
    for (std::uint32_t moves = random() % 4; moves > 0; --moves)
        c.MouseMove(RandomPoint(random));
    c.MouseUp();
}

}  // namespace random_edits
