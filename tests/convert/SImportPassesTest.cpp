#include "SImportPasses.h"

#include "ScanFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace ulib;
using namespace import_value;

namespace {

SBitmap Picture(std::int32_t w, std::int32_t h, SColor fill = SColor::White)
{
    SBitmap image;
    image.Create(w, h, 24);
    image.FillRect(fill);
    return image;
}

SBitmap Layer(std::int32_t w, std::int32_t h, std::uint32_t fill)
{
    SBitmap image;
    image.Create(w, h, 32);
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x)
            image.Row32(y)[x] = fill;
    return image;
}

std::uint32_t At(const SBitmap& layer, std::int32_t x, std::int32_t y) { return layer.Row32(y)[x]; }
void Put(SBitmap& layer, std::int32_t x, std::int32_t y, std::uint32_t v) { layer.Row32(y)[x] = v; }


std::uint32_t TraceOf(SColor centre, SColor neighbour = SColor::White)
{
    SBitmap genga = Picture(5, 5);
    genga.SetColor(2, 2, centre);
    genga.SetColor(3, 2, neighbour);
    SBitmap trace = Layer(5, 5, 0xDEADBEEF);
    EXPECT_EQ(ExtractTraceLines(genga, trace, nullptr), 0u);
    return At(trace, 2, 2);
}

TEST(ExtractTraceLines, ColourLineDensitiesAndKinds)
{
    EXPECT_EQ(TraceOf(SColor(200, 100, 100)), 193u << 16);                 // red pencil
    EXPECT_EQ(TraceOf(SColor(60, 60, 220)), 243u << 16 | BlueKind << 8);  // blue pencil
    EXPECT_EQ(TraceOf(SColor(255, 0, 0)), 255u << 16);                     // density limited to 255
    EXPECT_EQ(TraceOf(SColor(30, 60, 90)), 255u - 60);                      // dark: black line
    EXPECT_EQ(TraceOf(SColor(0, 0, 0)), 255u);
    EXPECT_EQ(TraceOf(SColor(60, 200, 60)), 0u);    // green
    EXPECT_EQ(TraceOf(SColor(250, 200, 40)), 0u);   // orange
    EXPECT_EQ(TraceOf(SColor::White), 0u);
    EXPECT_EQ(TraceOf(SColor(235, 230, 230)), 0u);  // light
    EXPECT_EQ(TraceOf(SColor(230, 200, 200)), 68u << 16);  // pale red: (255 - 200) * 5 / 4
}

TEST(ExtractTraceLines, LightGreyCountsOnlyBesideADarkPixel)
{
    const SColor grey(200, 200, 200);
    EXPECT_EQ(TraceOf(grey), 0u);
    EXPECT_EQ(TraceOf(grey, SColor(100, 100, 100)), 55u);
    // A red neighbour is below 192 in two channels only: not dark.
    EXPECT_EQ(TraceOf(grey, SColor(200, 100, 100)), 0u);

    // Neighbours across the picture's edge wrap around.
    SBitmap genga = Picture(4, 3);
    genga.SetColor(0, 1, grey);
    genga.SetColor(3, 1, SColor::Black);
    SBitmap trace = Layer(4, 3, 0);
    ASSERT_EQ(ExtractTraceLines(genga, trace, nullptr), 0u);
    EXPECT_EQ(At(trace, 0, 1), 55u);
}

TEST(ExtractTraceLines, RefusesWrongFormatsAndSizes)
{
    SBitmap genga = Picture(4, 4);
    SBitmap small = Layer(3, 4, 0);
    EXPECT_EQ(Id(ExtractTraceLines(genga, small, nullptr)), "domain");
    SBitmap trace24 = Picture(4, 4);
    EXPECT_EQ(Id(ExtractTraceLines(genga, trace24, nullptr)), "domain");
}

TEST(RemoveTraceSpecks, IsolatedSpecksGo)
{
    SBitmap trace = Layer(7, 7, 0);
    Put(trace, 2, 2, 200);                 // lone black speck
    Put(trace, 4, 4, 0x00800000);         // lone colour speck
    ASSERT_EQ(RemoveTraceSpecks(trace, nullptr), 0u);
    EXPECT_EQ(At(trace, 2, 2), 0u);
    EXPECT_EQ(At(trace, 4, 4), 0u);

    // A faint black pixel beside colour becomes full red line.
    trace = Layer(7, 7, 0);
    Put(trace, 3, 3, 100);
    Put(trace, 4, 3, 0x00400000 | 31);
    ASSERT_EQ(RemoveTraceSpecks(trace, nullptr), 0u);
    EXPECT_EQ(At(trace, 3, 3), FullRedLine);

    // A black pixel with a neighbour of density 32 stays.
    trace = Layer(7, 7, 0);
    Put(trace, 3, 3, 100);
    Put(trace, 3, 4, 32);
    ASSERT_EQ(RemoveTraceSpecks(trace, nullptr), 0u);
    EXPECT_EQ(At(trace, 3, 3), 100u);
}

TEST(RemoveTraceSpecks, OuterFrameNeverChanges)
{
    SBitmap trace = Layer(6, 5, 0);
    for (std::int32_t x = 0; x < 6; x += 2) {
        Put(trace, x, 0, 90);
        Put(trace, x, 4, 0x00900000);
    }
    Put(trace, 0, 2, 90);
    Put(trace, 5, 2, 0x00900000);
    const SBitmap before = trace;
    ASSERT_EQ(RemoveTraceSpecks(trace, nullptr), 0u);
    for (std::int32_t y = 0; y < 5; ++y)
        for (std::int32_t x = 0; x < 6; ++x)
            EXPECT_EQ(At(trace, x, y), At(before, x, y)) << x << "," << y;

    SBitmap genga = Picture(4, 4);
    EXPECT_EQ(Id(RemoveTraceSpecks(genga, nullptr)), "domain");
}

TEST(BinarizeTrace, ThresholdAt64)
{
    SBitmap trace = Layer(4, 1, 0);
    Put(trace, 0, 0, 63 | 64u << 16);
    Put(trace, 1, 0, 64 | 63u << 16 | BlueKind << 8);
    Put(trace, 2, 0, 0x01000005);  // byte 3 set: left alone
    ASSERT_EQ(BinarizeTrace(trace, nullptr), 0u);
    EXPECT_EQ(At(trace, 0, 0), 255u << 16);
    EXPECT_EQ(At(trace, 1, 0), 255u | BlueKind << 8);
    EXPECT_EQ(At(trace, 2, 0), 0x01000005u);
    EXPECT_EQ(At(trace, 3, 0), 0u);
}

TEST(ConvolveImage, AntiHoleWeightsAndEdges)
{
    SBitmap genga = Picture(5, 5);
    genga.SetColor(2, 2, SColor::Black);
    const SBitmap whole = ConvolveImage(genga, SAntiHoleFilter());
    EXPECT_EQ(whole.GetColor(2, 2), SColor(170, 170, 170));  // 20 * 255 / 30
    EXPECT_EQ(whole.GetColor(2, 1), SColor(229, 229, 229));  // 27 * 255 / 30
    EXPECT_EQ(whole.GetColor(1, 1), SColor(238, 238, 238));  // 28 * 255 / 30
    EXPECT_EQ(whole.GetColor(0, 0), SColor(153, 153, 153));  // taps outside skipped: 18 * 255 / 30
    EXPECT_EQ(genga.GetColor(2, 2), SColor::Black);          // the source is not touched

    const SRect inner{1, 1, 4, 4};
    const SBitmap framed = ConvolveImage(genga, SAntiHoleFilter(), &inner);
    EXPECT_EQ(framed.GetColor(0, 0), SColor::White);
    EXPECT_EQ(framed.GetColor(2, 2), SColor(170, 170, 170));

    // Per channel, on 32-bit images too (the fourth byte kept).
    SBitmap rgba;
    rgba.Create(3, 3, 32);
    for (std::int32_t y = 0; y < 3; ++y)
        for (std::int32_t x = 0; x < 3; ++x)
            rgba.Row32(y)[x] = 0x80000000 | (x == 1 && y == 1 ? 0x00FF0000 : 0);
    const SBitmap filtered = ConvolveImage(rgba, SAntiHoleFilter());
    EXPECT_EQ(filtered.Row32(1)[1], 0x80550000u);  // 10 * 255 / 30 in red only
}

class NoTaps : public SImageRankFanctor
{
};

class LargeWeight : public SImageRankFanctor
{
public:
    std::int32_t TapCount() const override { return 1; }
    void FillTaps(SImageRankTap* taps, std::int32_t& bias, std::int32_t& divisor) const override
    {
        taps[0] = {0, 0, 1000};  // limited to 256
        bias = 0;
        divisor = 1000;
    }
};

class Difference : public SImageRankFanctor
{
public:
    std::int32_t TapCount() const override { return 2; }
    void FillTaps(SImageRankTap* taps, std::int32_t& bias, std::int32_t& divisor) const override
    {
        taps[0] = {0, 0, 1};
        taps[1] = {1, 0, -1};
        bias = 7;
        divisor = 0;  // counts as 1
    }
};

TEST(ConvolveImage, KernelLimits)
{
    SBitmap genga = Picture(3, 1, SColor(1, 2, 3));
    EXPECT_EQ(ConvolveImage(genga, NoTaps()).GetColor(1, 0), SColor(1, 2, 3));

    SBitmap full = Picture(1, 1, SColor(255, 0, 100));
    EXPECT_EQ(ConvolveImage(full, LargeWeight()).GetColor(0, 0), SColor(65, 0, 25));

    SBitmap ramp = Picture(3, 1, SColor(0, 0, 0));
    ramp.SetColor(1, 0, SColor(9, 9, 9));
    ramp.SetColor(2, 0, SColor(20, 20, 20));
    const SBitmap d = ConvolveImage(ramp, Difference());
    EXPECT_EQ(d.GetColor(0, 0), SColor(0, 0, 0));     // 7 - 9 clamps to 0
    EXPECT_EQ(d.GetColor(1, 0), SColor(0, 0, 0));     // 7 + 9 - 20
    EXPECT_EQ(d.GetColor(2, 0), SColor(27, 27, 27));  // the tap past the edge is skipped
}

TEST(ClassifyPaintBorders, Rules)
{
    struct Case
    {
        SColor colour;
        std::uint32_t value;
    } cases[] = {
        {SColor(50, 120, 50), Unpainted},     // green
        {SColor(200, 150, 50), Unpainted},    // orange
        {SColor(100, 100, 140), RedBorder},   // blue line
        {SColor(180, 100, 100), RedBorder},   // red line
        {SColor(100, 100, 100), BlackBorder},
        {SColor(191, 191, 191), BlackBorder},
        {SColor(192, 191, 191), Unpainted},
        {SColor::White, Unpainted},
    };
    SBitmap source = Picture(8, 1);
    for (std::int32_t i = 0; i < 8; ++i)
        source.SetColor(i, 0, cases[i].colour);
    SBitmap paint = Layer(8, 1, 0x12345678);
    ASSERT_EQ(ClassifyPaintBorders(source, paint, nullptr), 0u);
    for (std::int32_t i = 0; i < 8; ++i)
        EXPECT_EQ(At(paint, i, 0), cases[i].value) << i;
}

TEST(SmoothPaintBorders, ChangesNothing)
{
    SBitmap paint = Layer(6, 6, Unpainted);
    Put(paint, 2, 2, BlackBorder);
    Put(paint, 3, 2, RedBorder);
    const SBitmap before = paint;
    ASSERT_EQ(SmoothPaintBorders(paint, nullptr), 0u);
    EXPECT_EQ(std::memcmp(paint.PixelArea(), before.PixelArea(), paint.PixelAreaSize()), 0);
}

TEST(ExtendPaintNotches, NotchGrowsOnePixelPerPass)
{
    SBitmap paint = Layer(11, 11, BlackBorder);
    Put(paint, 5, 1, Unpainted);
    Put(paint, 5, 0, Unpainted);
    ASSERT_EQ(ExtendPaintNotches(paint, nullptr), 0u);
    EXPECT_EQ(At(paint, 5, 2), Unpainted);
    EXPECT_EQ(At(paint, 5, 3), BlackBorder);
    ASSERT_EQ(ExtendPaintNotches(paint, nullptr), 0u);
    EXPECT_EQ(At(paint, 5, 3), Unpainted);
    EXPECT_EQ(At(paint, 5, 4), BlackBorder);
    EXPECT_EQ(At(paint, 4, 3), BlackBorder);

    // A notch from the side, in red border.
    paint = Layer(11, 11, RedBorder);
    Put(paint, 9, 5, Unpainted);
    ASSERT_EQ(ExtendPaintNotches(paint, nullptr), 0u);
    EXPECT_EQ(At(paint, 8, 5), Unpainted);
}

TEST(ExtendPaintNotches, KeepsATwoPixelFrameAndLeavesNoMarkers)
{
    // A notch only in the outermost row cannot start growing: centres begin at row 3.
    SBitmap paint = Layer(9, 9, BlackBorder);
    Put(paint, 4, 0, Unpainted);
    const SBitmap before = paint;
    ASSERT_EQ(ExtendPaintNotches(paint, nullptr), 0u);
    EXPECT_EQ(std::memcmp(paint.PixelArea(), before.PixelArea(), paint.PixelAreaSize()), 0);

    // Markers already in the layer count as closed and end unpainted.
    paint = Layer(9, 9, BlackBorder);
    Put(paint, 4, 4, Marker);
    ASSERT_EQ(ExtendPaintNotches(paint, nullptr), 0u);
    EXPECT_EQ(At(paint, 4, 4), Unpainted);
    EXPECT_EQ(At(paint, 4, 3), BlackBorder);

    SBitmap genga = Picture(9, 9);
    EXPECT_EQ(Id(ExtendPaintNotches(genga, nullptr)), "domain");
}

TEST(ThinPaintLines, IsolatedDotsAndSolidAreas)
{
    SBitmap paint = Layer(12, 12, Unpainted);
    Put(paint, 3, 3, BlackBorder);  // alone within its 5 x 5 window: removed
    Put(paint, 8, 3, BlackBorder);  // two dots two apart keep each other
    Put(paint, 10, 3, RedBorder);
    Put(paint, 1, 8, BlackBorder);  // inside the two-pixel frame: untouched
    ASSERT_EQ(ThinPaintLines(paint, nullptr), 0u);
    EXPECT_EQ(At(paint, 3, 3), Unpainted);
    EXPECT_EQ(At(paint, 8, 3), BlackBorder);
    EXPECT_EQ(At(paint, 10, 3), RedBorder);
    EXPECT_EQ(At(paint, 1, 8), BlackBorder);

    // All closed: every pattern is 255, nothing changes.
    paint = Layer(8, 8, BlackBorder);
    ASSERT_EQ(ThinPaintLines(paint, nullptr), 0u);
    for (std::int32_t y = 0; y < 8; ++y)
        for (std::int32_t x = 0; x < 8; ++x)
            EXPECT_EQ(At(paint, x, y), BlackBorder);
}

TEST(ThinPaintLines, CornerOfABlockIsCut)
{
    // The top-left corner of a solid block (pattern 208: right, below, below-right) goes in the
    // first pass; a marker is closed for the pixels after it.
    SBitmap paint = Layer(12, 12, Unpainted);
    for (std::int32_t y = 4; y < 12; ++y)
        for (std::int32_t x = 4; x < 12; ++x)
            Put(paint, x, y, BlackBorder);
    ASSERT_EQ(ThinPaintLines(paint, nullptr), 0u);
    EXPECT_EQ(At(paint, 4, 4), Unpainted);
    EXPECT_EQ(At(paint, 7, 7), BlackBorder);
    for (std::int32_t y = 0; y < 12; ++y)
        for (std::int32_t x = 0; x < 12; ++x)
            EXPECT_NE(At(paint, x, y), Marker);

    SBitmap genga = Picture(9, 9);
    EXPECT_EQ(Id(ThinPaintLines(genga, nullptr)), "domain");
}

TEST(FlattenNearWhite, OnlyNearWhiteWithNearWhiteNeighbours)
{
    SBitmap genga = Picture(6, 5, SColor(240, 240, 240));
    genga.SetColor(2, 2, SColor(250, 251, 252));
    genga.SetColor(3, 2, SColor(250, 250, 250));
    genga.SetColor(3, 1, SColor(239, 255, 255));  // a neighbour below 240
    genga.SetColor(0, 2, SColor(250, 250, 250));  // frame
    ASSERT_EQ(FlattenNearWhite(genga, nullptr), 0u);
    EXPECT_EQ(genga.GetColor(2, 2), SColor::White);
    EXPECT_EQ(genga.GetColor(3, 2), SColor(250, 250, 250));
    EXPECT_EQ(genga.GetColor(0, 2), SColor(250, 250, 250));
    EXPECT_EQ(genga.GetColor(1, 1), SColor(240, 240, 240));

    SBitmap grey;
    grey.Create(4, 4, 8);
    EXPECT_EQ(Id(FlattenNearWhite(grey, nullptr)), "domain");
}

TEST(InputLevel, Tables)
{
    std::uint8_t table[256];
    MakeLevelTable(64, 191, table);
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[64], 0);
    EXPECT_EQ(table[65], 2);
    EXPECT_EQ(table[128], 128);
    EXPECT_EQ(table[191], 254);
    EXPECT_EQ(table[255], 254);

    MakeLevelTable(-64, 319, table);  // the dialog's widest range
    EXPECT_EQ(table[0], 256 * 64 / 384);
    EXPECT_EQ(table[255], 256 * 319 / 384);

    for (auto [black, white] : {std::pair{0, 255}, std::pair{100, 100}, std::pair{101, 100}}) {
        MakeLevelTable(black, white, table);
        for (std::int32_t v = 0; v < 256; ++v)
            ASSERT_EQ(table[v], v) << black << "/" << white;
    }
}

TEST(InputLevel, AppliesToBlueGreenRed)
{
    SBitmap genga = Picture(2, 1, SColor(128, 64, 200));
    ASSERT_EQ(ApplyInputLevel(genga, 64, 191, nullptr), 0u);
    EXPECT_EQ(genga.GetColor(1, 0), SColor(128, 0, 254));
    SBitmap same = Picture(2, 1, SColor(128, 64, 200));
    ASSERT_EQ(ApplyInputLevel(same, 0, 255, nullptr), 0u);
    ASSERT_EQ(ApplyInputLevel(same, 128, 127, nullptr), 0u);
    EXPECT_EQ(same.GetColor(0, 0), SColor(128, 64, 200));
}

TEST(ImportPasses, StopOnAbort)
{
    SAbort abort;
    abort.RequestAbort();
    SBitmap genga = Picture(8, 8, SColor(100, 100, 100));
    SBitmap trace = Layer(8, 8, 0);
    EXPECT_EQ(Id(ExtractTraceLines(genga, trace, &abort)), "abort");
    EXPECT_EQ(Id(RemoveTraceSpecks(trace, &abort)), "abort");
    EXPECT_EQ(Id(BinarizeTrace(trace, &abort)), "abort");
    EXPECT_EQ(Id(ApplyInputLevel(genga, 10, 200, &abort)), "abort");
    EXPECT_EQ(Id(FlattenNearWhite(genga, &abort)), "abort");
    SBitmap paint = Layer(8, 8, BlackBorder);
    EXPECT_EQ(Id(ClassifyPaintBorders(genga, paint, &abort)), "abort");
    EXPECT_EQ(Id(SmoothPaintBorders(paint, &abort)), "abort");
    Put(paint, 4, 4, Marker);
    EXPECT_EQ(Id(ExtendPaintNotches(paint, &abort)), "abort");
    EXPECT_EQ(At(paint, 4, 4), Unpainted);  // markers never stay
    EXPECT_EQ(Id(ThinPaintLines(paint, &abort)), "abort");
}

}  // namespace
