#include "CelFixture.h"

#include "SError.h"

#include <gtest/gtest.h>

using namespace ulib;

namespace {

constexpr std::uint32_t OpaqueWhite = 0xFFFFFFFFu;

TEST(CelCompose, UnpaintedPaintShowsGengaOrNothing)
{
    SCel cel = MakeCel(4, 3);
    EXPECT_EQ(Shown(cel, 1, 1), OpaqueWhite);
    cel.SetLayerVisible(LayerGenga, -1);
    EXPECT_EQ(Shown(cel, 1, 1), 0u);
}

TEST(CelCompose, BordersShowTheirLineColourEvenWithTraceHidden)
{
    SCel cel = MakeCel(4, 1);
    SetPixel(cel.paint, 0, 0, cel_values::BorderBlack);
    SetPixel(cel.paint, 1, 0, cel_values::BorderBlue);
    SetPixel(cel.paint, 2, 0, cel_values::BorderGreen);
    SetPixel(cel.paint, 3, 0, cel_values::BorderRed);
    cel.visible[LayerTrace] = false;
    cel.ComposeAll();
    const std::uint32_t* row = cel.display.Row32(0);
    EXPECT_EQ(row[0], 0xFF000000u);
    EXPECT_EQ(row[1], 0xFF0000FFu);
    EXPECT_EQ(row[2], 0xFF00FF00u);
    EXPECT_EQ(row[3], 0xFFFF0000u);
}

TEST(CelCompose, ConvertedLineOverItsBorderIsDarkenedAndFallsBackToTheBorderWhenHidden)
{
    SCel cel = MakeCel(2, 1);
    SetPixel(cel.paint, 0, 0, cel_values::BorderRed);
    SetPixel(cel.trace, 0, 0, 0xFFC86432u);  // converted line red 200, green 100, blue 50, full density
    EXPECT_EQ(Shown(cel, 0, 0), 0xFFB85432u);  // red 184, green 84, blue 50
    cel.visible[LayerTrace] = false;
    EXPECT_EQ(Shown(cel, 0, 0), 0xFFFF0000u);
}

TEST(CelCompose, TranslucentPaintAndLinesUseTheOverRule)
{
    SCel cel = MakeCel(3, 1);
    SetPixel(cel.paint, 0, 0, 0x80FF0000u);  // red at alpha 128 over white
    SetPixel(cel.trace, 1, 0, 0x00000080u);  // black line of density 128 over white
    SetPixel(cel.paint, 2, 0, 0xFF102030u);  // opaque paint replaces the genga
    cel.ComposeAll();
    const std::uint32_t* row = cel.display.Row32(0);
    EXPECT_EQ(row[0], 0xFFFF7F7Fu);
    EXPECT_EQ(row[1], 0xFF7F7F7Fu);
    EXPECT_EQ(row[2], 0xFF102030u);
}

TEST(CelCompose, ColouredLinesFollowTheirCodeAndVanishInSilhouette)
{
    SCel cel = MakeCel(4, 1);
    SetPixel(cel.trace, 0, 0, 0x00FF0000u);  // code 0: red
    SetPixel(cel.trace, 1, 0, 0x00FF0100u);  // code 1: blue
    SetPixel(cel.trace, 2, 0, 0x00FF0200u);  // code 2: green
    SetPixel(cel.trace, 3, 0, 0x000000FFu);  // black line
    cel.ComposeAll();
    const std::uint32_t* row = cel.display.Row32(0);
    EXPECT_EQ(row[0], 0xFFFF0000u);
    EXPECT_EQ(row[1], 0xFF0000FFu);
    EXPECT_EQ(row[2], 0xFF00FF00u);
    EXPECT_EQ(row[3], 0xFF000000u);

    cel.silhouette = true;  // genga hidden too: the coloured lines leave nothing behind
    cel.ComposeAll();
    EXPECT_EQ(row[0], 0u);
    EXPECT_EQ(row[1], 0u);
    EXPECT_EQ(row[3], 0xFF000000u);
}

TEST(CelCompose, UnderLayerSitsAtItsOffsetBelowTheGenga)
{
    SCel cel = MakeCel(4, 4);
    cel.visible[LayerUnder] = true;
    cel.visible[LayerGenga] = false;
    cel.under.Create(2, 2, 24);
    cel.under.FillRect(SColor(10, 20, 30));
    cel.underOffset = {1, 2};
    cel.ComposeAll();
    EXPECT_EQ(cel.display.Row32(2)[1], 0xFF0A141Eu);
    EXPECT_EQ(cel.display.Row32(3)[2], 0xFF0A141Eu);
    EXPECT_EQ(cel.display.Row32(1)[1], 0u);  // above the offset: nothing, no wrap-around
    EXPECT_EQ(cel.display.Row32(2)[3], 0u);  // right of the under layer

    cel.silhouette = true;
    EXPECT_EQ(Shown(cel, 1, 2), 0u);
    cel.silhouette = false;
    cel.visible[LayerGenga] = true;
    EXPECT_EQ(Shown(cel, 1, 2), OpaqueWhite);
}

TEST(CelCompose, UnderLayerOfAPaletteFormatGoesThroughItsColourTable)
{
    SCel cel = MakeCel(2, 1);
    cel.visible = {true, false, true, true, true};
    cel.under.Create(2, 1, 8);
    cel.under.SetPaletteEntry(3, SColor(1, 2, 3));
    cel.under.SetIndex(1, 0, 3);
    cel.ComposeAll();
    EXPECT_EQ(cel.display.Row32(0)[1], 0xFF010203u);
}

TEST(CelCompose, ExtraLayerReplacesBlendsOrLeaves)
{
    SCel cel = MakeCel(3, 1);
    cel.SetLayerVisible(LayerExtra, 1);
    SetPixel(cel.extra, 0, 0, 0xFF00FF00u);
    SetPixel(cel.extra, 1, 0, 0x80FF0000u);
    cel.ComposeAll();
    const std::uint32_t* row = cel.display.Row32(0);
    EXPECT_EQ(row[0], 0xFF00FF00u);
    EXPECT_EQ(row[1], 0xFFFF7F7Fu);
    EXPECT_EQ(row[2], OpaqueWhite);
}

TEST(CelCompose, RowOutsideTheDisplayIsADomainErrorAndColumnsAreClipped)
{
    SCel cel = MakeCel(4, 2);
    SError err = 0;
    cel.ComposeRow(2, 0, 4, err);
    EXPECT_EQ(err, ErrorFromIdentifier("domain"));
    err = 0;
    cel.ComposeRow(-1, 0, 4, err);
    EXPECT_EQ(err, ErrorFromIdentifier("domain"));

    err = 0;
    cel.display.Row32(0)[0] = 0x12345678u;
    cel.display.Row32(0)[3] = 0x12345678u;
    cel.ComposeRow(0, 1, 3, err);  // touches columns 1 and 2 only
    EXPECT_EQ(err, 0u);
    EXPECT_EQ(cel.display.Row32(0)[0], 0x12345678u);
    EXPECT_EQ(cel.display.Row32(0)[1], OpaqueWhite);
    EXPECT_EQ(cel.display.Row32(0)[3], 0x12345678u);
    cel.ComposeRow(0, -5, 99, err);
    EXPECT_EQ(err, 0u);
    EXPECT_EQ(cel.display.Row32(0)[3], OpaqueWhite);
}

}  // namespace
