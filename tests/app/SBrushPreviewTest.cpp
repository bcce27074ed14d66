// The brush box's dab preview and the about box's texts (both free of Qt).
#include "SAboutText.h"
#include "SBrushPreview.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using ulib::SBitmap;

SBitmap Preview(std::int32_t radius, std::int32_t shape, std::int32_t density)
{
    SBitmap bitmap;
    bitmap.Create(brush_preview::Width, brush_preview::Height, 24);
    brush_preview::Draw(bitmap, SBrushSettings{radius, shape, density});
    return bitmap;
}

std::int32_t Grey(const SBitmap& bitmap, std::int32_t x, std::int32_t y)
{
    const ulib::SColor c = bitmap.GetColor(x, y);
    EXPECT_TRUE(c.r == c.g && c.g == c.b) << x << "," << y;
    return c.r;
}

std::int32_t NonWhiteCount(const SBitmap& bitmap)
{
    std::int32_t count = 0;
    for (std::int32_t y = 0; y < bitmap.Height(); ++y)
        for (std::int32_t x = 0; x < bitmap.Width(); ++x)
            count += Grey(bitmap, x, y) != 255;
    return count;
}

constexpr std::int32_t Cx = brush_preview::Width / 2;
constexpr std::int32_t Cy = brush_preview::Height / 2;

TEST(BrushPreview, IntegerSquareRootIsTheFloor)
{
    for (std::int32_t b = 0; b <= 300; ++b) {
        EXPECT_EQ(brush_preview::IntegerSquareRoot(b * b), b);
        if (b > 0) {
            EXPECT_EQ(brush_preview::IntegerSquareRoot(b * b - 1), b - 1);
        }
        EXPECT_EQ(brush_preview::IntegerSquareRoot(b * b + 2 * b), b);  // (b + 1)^2 - 1
    }
    EXPECT_EQ(brush_preview::IntegerSquareRoot(-5), 0);
}

TEST(BrushPreview, RadiusZeroIsOnePixelAtFullDensity)
{
    const SBitmap bitmap = Preview(0, 0, 200);
    EXPECT_EQ(Grey(bitmap, Cx, Cy), 55);
    EXPECT_EQ(NonWhiteCount(bitmap), 1);
}

TEST(BrushPreview, FullShapeIsAUniformDisc)
{
    const std::int32_t r = 10;
    const SBitmap bitmap = Preview(r, 100, 100);
    std::int32_t inside = 0;
    for (std::int32_t y = 0; y < bitmap.Height(); ++y)
        for (std::int32_t x = 0; x < bitmap.Width(); ++x) {
            const std::int32_t q = (x - Cx) * (x - Cx) + (y - Cy) * (y - Cy);
            EXPECT_EQ(Grey(bitmap, x, y), q <= r * r ? 155 : 255) << x << "," << y;
            inside += q <= r * r;
        }
    EXPECT_EQ(inside, 317);  // lattice points of a disc of radius 10
}

TEST(BrushPreview, ZeroShapeFadesLinearlyToTheRim)
{
    const SBitmap bitmap = Preview(20, 0, 255);
    EXPECT_EQ(Grey(bitmap, Cx, Cy), 0);  // b 0 is the core
    // Along the row through the centre the level is 255 * (21 - b) / 20, capped at 255.
    std::int32_t previous = -1;
    for (std::int32_t b = 1; b <= 20; ++b) {
        const std::int32_t level = 255 * (21 - b) / 20;
        const std::int32_t grey = level > 255 ? 0 : 255 - level;
        EXPECT_EQ(Grey(bitmap, Cx + b, Cy), grey) << b;
        EXPECT_EQ(Grey(bitmap, Cx - b, Cy), grey) << b;
        EXPECT_GE(grey, previous);
        previous = grey;
    }
    EXPECT_EQ(Grey(bitmap, Cx + 20, Cy), 255 - 12);  // the rim keeps a trace of density
    EXPECT_EQ(Grey(bitmap, Cx + 21, Cy), 255);
}

TEST(BrushPreview, HalfShapeKeepsTheCoreAndFadesBeyond)
{
    const SBitmap bitmap = Preview(10, 50, 200);
    for (std::int32_t b = 0; b <= 5; ++b)
        EXPECT_EQ(Grey(bitmap, Cx + b, Cy), 55) << b;
    EXPECT_EQ(Grey(bitmap, Cx + 6, Cy), 255 - 200 * 5 / 5);
    EXPECT_EQ(Grey(bitmap, Cx + 8, Cy), 255 - 200 * 3 / 5);
    EXPECT_EQ(Grey(bitmap, Cx + 10, Cy), 255 - 200 * 1 / 5);
}

TEST(BrushPreview, DensityZeroLeavesWhiteAndTheFormerDabIsCleared)
{
    SBitmap bitmap = Preview(30, 40, 255);
    EXPECT_GT(NonWhiteCount(bitmap), 0);
    brush_preview::Draw(bitmap, SBrushSettings{30, 40, 0});
    EXPECT_EQ(NonWhiteCount(bitmap), 0);
}

TEST(BrushPreview, LargeRadiiStayInsideTheBitmap)
{
    // Radius 200 covers the whole preview; the spin edit allows it before the track bar limits it.
    const SBitmap bitmap = Preview(200, 0, 255);
    EXPECT_EQ(NonWhiteCount(bitmap), brush_preview::Width * brush_preview::Height);
    EXPECT_EQ(Grey(bitmap, 0, 0), 255 - 255 * (200 - 108 + 1) / 200);  // corner: b = 108
    EXPECT_EQ(brush_preview::DabLevel({200, 0, 255}, 200), 1);
}

TEST(AboutText, NamesTheProgramAndEveryLibraryWithItsVersion)
{
    EXPECT_STREQ(about_text::Title(), "Huedrane ver1.4");
    const about_text::SLinkedVersions versions = about_text::LinkedVersions("6.4.2");
    EXPECT_FALSE(versions.png.empty());
    EXPECT_FALSE(versions.zlib.empty());
    EXPECT_NE(versions.jpeg.find("6."), std::string::npos);
    const std::string text = about_text::Notices(versions);
    for (const std::string& needle :
         {std::string("libpng ") + versions.png, std::string("zlib ") + versions.zlib, versions.jpeg,
          std::string("Qt 6.4.2"), std::string("libtiff"), std::string(about_text::Maker()),
          std::string("based in part on the work of the Independent JPEG Group"),
          std::string("GNU Lesser General Public License version 3"), std::string("download.qt.io"),
          std::string("Sam Leffler")})
        EXPECT_NE(text.find(needle), std::string::npos) << needle;
}

}  // namespace
