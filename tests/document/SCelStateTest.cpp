#include "CelFixture.h"

#include <gtest/gtest.h>

using namespace ulib;

namespace {

TEST(CelState, ResetLeavesEveryLayerEmptyInItsFormat)
{
    SCel cel = MakeCel(5, 5);
    cel.memo.Append(SString("line"));
    cel.underOffset = {3, 4};
    cel.ResetDocument();
    for (const SBitmap* layer : {&cel.trace, &cel.paint, &cel.extra, &cel.display})
        EXPECT_EQ(layer->Format(), 32);
    EXPECT_EQ(cel.genga.Format(), 24);
    EXPECT_EQ(cel.flag.Format(), 8);
    for (const SBitmap* layer : {&cel.trace, &cel.paint, &cel.extra, &cel.display, &cel.genga, &cel.flag})
        EXPECT_EQ(layer->Dimensions(), (SPoint{0, 0}));
    EXPECT_EQ(cel.memo.Count(), 0);
    EXPECT_EQ(cel.underOffset, (SPoint{0, 0}));
}

TEST(CelState, ExtraLayerEmptinessLooksAtAlphaOnly)
{
    SCel cel = MakeCel(3, 2);
    EXPECT_TRUE(cel.ExtraLayerIsEmpty());
    cel.extra.Create(3, 2, 32);
    cel.extra.FillRect(SColor::FromPixel(0x00FFFFFFu));  // white with alpha 0 is still empty
    EXPECT_TRUE(cel.ExtraLayerIsEmpty());
    cel.extra.Row32(1)[2] = 0x01000000u;
    EXPECT_FALSE(cel.ExtraLayerIsEmpty());
    cel.extra.Create(3, 2, 24);  // a layer in another format always counts as painted
    EXPECT_FALSE(cel.ExtraLayerIsEmpty());
}

TEST(CelState, ShowingAndHidingTheExtraLayerCreatesAndFreesIt)
{
    SCel cel = MakeCel(6, 4);
    cel.SetLayerVisible(LayerExtra, -1);
    EXPECT_FALSE(cel.SetLayerVisible(LayerExtra, -1));
    EXPECT_TRUE(cel.SetLayerVisible(LayerExtra, 1));
    EXPECT_EQ(cel.extra.Dimensions(), (SPoint{6, 4}));
    EXPECT_EQ(cel.extra.Row32(3)[5], 0u);

    EXPECT_FALSE(cel.SetLayerVisible(LayerExtra, 0));  // toggles off; empty, so freed
    EXPECT_TRUE(cel.extra.IsEmpty());

    cel.SetLayerVisible(LayerExtra, 0);
    cel.extra.Row32(0)[0] = 0xFF123456u;
    cel.SetLayerVisible(LayerExtra, -1);  // painted: kept while hidden
    EXPECT_EQ(cel.extra.Row32(0)[0], 0xFF123456u);
}

TEST(CelState, HidingTheGengaFreesItAndRecomposes)
{
    SCel cel = MakeCel(2, 2);
    cel.ComposeAll();
    EXPECT_FALSE(cel.SetLayerVisible(LayerGenga, -1));
    EXPECT_TRUE(cel.genga.IsEmpty());
    EXPECT_EQ(cel.display.Row32(0)[0], 0u);
}

TEST(CelState, LayerNumbersOutsideTheFiveDoNothing)
{
    SCel cel = MakeCel(2, 2);
    EXPECT_FALSE(cel.SetLayerVisible(5, 1));
    EXPECT_FALSE(cel.SetLayerVisible(-1, 1));
    EXPECT_TRUE(cel.SetLayerVisible(LayerPaint, 5));
    EXPECT_TRUE(cel.SetLayerVisible(LayerUnder, 0));
}

}  // namespace
