#include "PaintFixture.h"
#include "SColourSource.h"

#include <gtest/gtest.h>

using namespace ulib;

namespace {

SToolState Mode(SColourMode mode, SColor colour = SColor(255, 192, 128))
{
    SToolState tools;
    tools.colourMode = mode;
    tools.currentColour = colour;
    return tools;
}

TEST(ColourSource, ColourModeGivesTheColourWithAlphaAndTransparentGivesUnpainted)
{
    const SBitmap none;
    EXPECT_EQ(SColourSource(Mode(SColourMode::Colour, SColor(0x12, 0x34, 0x56)), none).ValueAt(5, 7), 0xFF123456u);
    EXPECT_EQ(SColourSource(Mode(SColourMode::Colour, SColor(0x12, 0x34, 0x56, 127)), none).ValueAt(0, 0), 0x80123456u);
    EXPECT_EQ(SColourSource(Mode(SColourMode::Colour, SColor(0x12, 0x34, 0x56, 255)), none).ValueAt(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(SColourSource(Mode(SColourMode::Eraser), none).ValueAt(3, 3), 0x00FFFFFFu);
    // Bitmap mode without a reference picture erases.
    const SColourSource noReference(Mode(SColourMode::Bitmap), none);
    EXPECT_FALSE(noReference.PaintsNothing());
    EXPECT_EQ(noReference.ValueAt(1, 1), 0x00FFFFFFu);
}

TEST(ColourSource, TextureAndUnknownModesPaintNothing)
{
    SCel cel = CelFromArt({"R.H#"});
    const SBitmap none;
    for (SColourMode mode : {SColourMode::Texture, SColourMode(0), SColourMode(7)}) {
        const SColourSource source(Mode(mode), none);
        EXPECT_TRUE(source.PaintsNothing());
        PaintSpan(cel.paint, source, 0, 0, 4);
        EXPECT_EQ(PaintArt(cel), Art({"R.H#"}));
    }
}

TEST(ColourSource, BitmapModeReadsTheReferenceRepeatedFromTheOriginByDepth)
{
    SBitmap ref32;
    ref32.Create(3, 2, 32);
    ref32.Row32(0)[0] = 0xFF102030u;
    ref32.Row32(0)[1] = 0x00102030u;  // alpha 0: unpainted
    ref32.Row32(1)[2] = 0x01ABCDEFu;
    const SColourSource s32(Mode(SColourMode::Bitmap), ref32);
    EXPECT_EQ(s32.ValueAt(0, 0), 0xFF102030u);
    EXPECT_EQ(s32.ValueAt(6, 4), 0xFF102030u);
    EXPECT_EQ(s32.ValueAt(-3, -2), 0xFF102030u);
    EXPECT_EQ(s32.ValueAt(4, 0), 0x00FFFFFFu);
    EXPECT_EQ(s32.ValueAt(-1, 1), 0x01ABCDEFu);

    SBitmap ref24;
    ref24.Create(2, 2, 24);
    ref24.SetColor(1, 1, SColor(0x40, 0x50, 0x60));
    const SColourSource s24(Mode(SColourMode::Bitmap), ref24);
    EXPECT_EQ(s24.ValueAt(3, 5), 0xFF405060u);
    EXPECT_EQ(s24.ValueAt(0, 0), 0xFFFFFFFFu);  // a fresh 24-bit image is white

    SBitmap ref8;
    ref8.Create(2, 1, 8);
    ref8.SetPaletteEntry(1, SColor(9, 8, 7));
    ref8.SetIndex(1, 0, 1);
    const SColourSource s8(Mode(SColourMode::Bitmap), ref8);
    EXPECT_EQ(s8.ValueAt(1, 0), 0xFF090807u);
    EXPECT_EQ(s8.ValueAt(2, 0), s8.ValueAt(0, 0));
}

TEST(ColourSource, RowValuesMatchValueAtAcrossTheWrap)
{
    SBitmap ref32, ref24, ref1;
    ref32.Create(7, 3, 32);
    ref24.Create(5, 3, 24);
    ref1.Create(3, 2, 1);
    for (std::int32_t y = 0; y < 3; ++y)
        for (std::int32_t x = 0; x < 7; ++x) {
            ref32.Row32(y)[x] = (x + y) % 3 == 0 ? 0x00AA0000u : 0xFF000000u | std::uint32_t(x * 40 + y);
            ref24.SetColor(x, y, SColor(std::uint8_t(x * 30), std::uint8_t(y * 70), 5));
            ref1.SetIndex(x, y, std::uint32_t(x + y) & 1);
        }
    for (const SBitmap* ref : {&ref32, &ref24, &ref1}) {
        const SColourSource source(Mode(SColourMode::Bitmap), *ref);
        std::uint32_t row[40];
        source.RowValues(4, 13, 53, row);
        for (std::int32_t i = 0; i < 40; ++i)
            ASSERT_EQ(row[i], source.ValueAt(13 + i, 4)) << "format " << ref->Format() << " column " << 13 + i;
    }
}

TEST(PaintSpan, PaintsPaintedAndUnpaintedPixelsOnlyAndClips)
{
    SCel cel = CelFromArt({"#rgb.~RHK.",
                           "..........",
                           "R.R.R.R.R."});
    const SBitmap none;
    const SColourSource blue(Mode(SColourMode::Colour, ArtColour('B')), none);
    PaintSpan(cel.paint, blue, 0, -5, 100);
    PaintSpan(cel.paint, blue, 1, 3, 6);
    PaintSpan(cel.paint, blue, 2, 8, 3);  // reversed: nothing
    PaintSpan(cel.paint, blue, -1, 0, 10);
    PaintSpan(cel.paint, blue, 3, 0, 10);
    EXPECT_EQ(PaintArt(cel), Art({"#rgbB~BBBB",
                                  "...BBB....",
                                  "R.R.R.R.R."}));
}

TEST(PaintSpan, BitmapModePaintsEachPixelFromItsOwnPosition)
{
    // Longer than the pieces the span is painted in, and starting off the reference's origin.
    SBitmap paint;
    paint.Create(700, 3, 32);
    paint.FillRect(SColor::FromPixel(cel_values::Unpainted));
    paint.Row32(2)[300] = cel_values::BorderRed;
    SBitmap ref;
    ref.Create(7, 3, 32);
    for (std::int32_t y = 0; y < 3; ++y)
        for (std::int32_t x = 0; x < 7; ++x)
            ref.Row32(y)[x] = 0xFF000000u | std::uint32_t(y << 8 | x);
    const SColourSource source(Mode(SColourMode::Bitmap), ref);
    PaintSpan(paint, source, 2, 3, 650);
    const std::uint32_t* row = paint.Row32(2);
    for (std::int32_t x = 0; x < 700; ++x) {
        const std::uint32_t expected = x == 300                 ? cel_values::BorderRed
                                       : x >= 3 && x < 650 ? 0xFF000000u | std::uint32_t(2 << 8 | x % 7)
                                                           : cel_values::Unpainted;
        ASSERT_EQ(row[x], expected) << "column " << x;
    }
}

}  // namespace
