// A drawing program's line art: black lines, with soft edges, on a transparent background whose
// pixels are black with alpha 0. Imported from its RGB + alpha PNG it must give the very document
// that the same drawing laid on white paper beforehand and saved as an opaque PNG gives.
#include "ConversionFolder.h"

#include "SQuickPress.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace ulib;

namespace {

class ImportTransparentPng : public ConversionFolder
{
};

// Blue, green, red, alpha of each pixel: a 2-pixel black outline with a half and a quarter
// covered fringe outside it, a grey stroke at 200/255 cover, and black with alpha 0 elsewhere.
SBitmap LineArt(std::int32_t w, std::int32_t h)
{
    SBitmap image;
    image.Create(w, h, 32);
    image.SetHasAlpha(true);
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x) {
            const std::int32_t edge = std::min({x - 4, y - 4, w - 5 - x, h - 5 - y});
            std::uint8_t* p = image.Row(y) + x * 4;
            std::uint8_t grey = 0, alpha = 0;
            if (edge >= 2 && edge < 4)
                alpha = 255;
            else if (edge == 1)
                alpha = 128;
            else if (edge == 0)
                alpha = 64;
            else if (y == h / 2 && x > 10 && x < w - 10) {
                grey = 90;
                alpha = 200;
            }
            p[0] = p[1] = p[2] = grey;
            p[3] = alpha;
        }
    return image;
}

// The drawing over white paper, each channel rounded to the nearest level.
SBitmap OnWhite(const SBitmap& art)
{
    SBitmap flat;
    flat.Create(art.Width(), art.Height(), 24);
    for (std::int32_t y = 0; y < art.Height(); ++y)
        for (std::int32_t x = 0; x < art.Width(); ++x) {
            const std::uint8_t* in = art.Row(y) + x * 4;
            std::uint8_t* out = flat.Row(y) + x * 3;
            for (int c = 0; c < 3; ++c)
                out[c] = std::uint8_t((in[c] * in[3] + 255 * (255 - in[3]) + 127) / 255);
        }
    return flat;
}

TEST_F(ImportTransparentPng, GivesTheDocumentOfTheDrawingOnWhitePaper)
{
    const SBitmap art = LineArt(40, 30);
    ASSERT_EQ(WritePngFile(&art, Path("art.png")), 0u);
    const SBitmap flat = OnWhite(art);
    ASSERT_EQ(WritePngFile(&flat, Path("flat.png")), 0u);

    const SHuedraneOptions options;
    ASSERT_EQ(ImportImageFileToDocumentFile(Path("art.png"), Path("art.hdq"), options, nullptr, nullptr), 0u);
    ASSERT_EQ(ImportImageFileToDocumentFile(Path("flat.png"), Path("flat.hdq"), options, nullptr, nullptr), 0u);
    EXPECT_FALSE(Bytes("art.hdq").empty());
    EXPECT_EQ(Bytes("art.hdq"), Bytes("flat.hdq"));

    SQuickPress doc;
    ASSERT_EQ(ImportImageFile(&doc, options, nullptr, nullptr, Path("art.png")), 0u);
    SBitmap genga;
    ASSERT_EQ(doc.DecodeLayer(0, genga), 0u);
    ASSERT_EQ(genga.Format(), 24);
    EXPECT_EQ(genga.GetColor(0, 0), SColor::White);       // transparent, though black underneath
    EXPECT_EQ(genga.GetColor(20, 2), SColor::White);
    EXPECT_EQ(genga.GetColor(7, 15), SColor::Black);      // the opaque outline
    EXPECT_EQ(genga.GetColor(5, 15), SColor(127, 127, 127));  // half covered fringe
    EXPECT_EQ(genga.GetColor(20, 15), SColor(126, 126, 126)); // (90 * 200 + 255 * 55 + 127) / 255
}

}  // namespace
