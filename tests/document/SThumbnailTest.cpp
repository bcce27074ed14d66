#include "CelFixture.h"

#include <gtest/gtest.h>

using namespace ulib;

namespace {

TEST(Thumbnail, LongerSideBecomesTheBox)
{
    SCel wide = MakeCel(300, 150);
    SBitmap t = MakeThumbnail(wide.trace, wide.paint, 128);
    EXPECT_EQ(t.Dimensions(), (SPoint{128, 64}));
    EXPECT_EQ(t.Format(), 24);

    SCel tall = MakeCel(150, 300);
    EXPECT_EQ(MakeThumbnail(tall.trace, tall.paint, 128).Dimensions(), (SPoint{64, 128}));

    SCel thin = MakeCel(1000, 2);  // 128 * 2 / 1000 rounds to nothing
    EXPECT_TRUE(MakeThumbnail(thin.trace, thin.paint, 128).IsEmpty());
}

TEST(Thumbnail, EmptyDocumentGivesAnEmptyThumbnail)
{
    SCel cel;
    EXPECT_TRUE(MakeThumbnail(cel.trace, cel.paint, 128).IsEmpty());
}

TEST(Thumbnail, FlattensTraceOverPaintOverWhite)
{
    // 256 x 128 gives a 128 x 64 thumbnail: each thumbnail pixel samples one 2 x 2 block.
    SCel cel = MakeCel(256, 128);
    auto fillBlock = [](SBitmap& layer, std::int32_t tx, std::int32_t ty, std::uint32_t v) {
        for (std::int32_t y = 2 * ty; y < 2 * ty + 2; ++y)
            for (std::int32_t x = 2 * tx; x < 2 * tx + 2; ++x)
                layer.Row32(y)[x] = v;
    };
    fillBlock(cel.paint, 1, 0, cel_values::BorderBlack);
    fillBlock(cel.paint, 2, 0, cel_values::BorderRed);
    fillBlock(cel.paint, 3, 0, cel_values::BorderBlue);  // a blue border shows nothing: white
    fillBlock(cel.paint, 4, 0, 0xFF102030u);
    fillBlock(cel.paint, 5, 0, 0x80FF0000u);
    fillBlock(cel.trace, 6, 0, 0x000000FFu);
    fillBlock(cel.trace, 7, 0, 0x00FF0100u);  // coloured lines always show red here
    fillBlock(cel.trace, 8, 0, 0xFF405060u);
    cel.paint.Row32(0)[18] = cel_values::BorderBlack;  // one of four samples black: a quarter grey

    SBitmap t = MakeThumbnail(cel.trace, cel.paint, 128);
    EXPECT_EQ(t.GetColor(0, 0), SColor::White);
    EXPECT_EQ(t.GetColor(1, 0), SColor::Black);
    EXPECT_EQ(t.GetColor(2, 0), SColor::Red);
    EXPECT_EQ(t.GetColor(3, 0), SColor::White);
    EXPECT_EQ(t.GetColor(4, 0), SColor(0x10, 0x20, 0x30));
    EXPECT_EQ(t.GetColor(5, 0), SColor(255, 127, 127));
    EXPECT_EQ(t.GetColor(6, 0), SColor::Black);
    EXPECT_EQ(t.GetColor(7, 0), SColor::Red);
    EXPECT_EQ(t.GetColor(8, 0), SColor(0x40, 0x50, 0x60));
    EXPECT_EQ(t.GetColor(9, 0), SColor(191, 191, 191));
}

}  // namespace
