#include "SExportPasses.h"

#include "ExportFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

using namespace ulib;

namespace {

constexpr std::uint32_t Unpainted = 0x00FFFFFFu;
constexpr std::uint32_t Red = 0x00FF0000u;
constexpr std::uint32_t Black = 0x00000000u;
constexpr std::uint32_t White = 0xFFFFFFFFu;
constexpr std::uint32_t Paint = 0xFF3060C8u;

TEST(FillIsolatedGaps, ClosesLoneSpecksButNotPairsTwoApart)
{
    SBitmap paint = Image32(32, 32, Paint);
    paint.Row32(10)[10] = Unpainted;  // alone: closed
    paint.Row32(20)[10] = Unpainted;  // two apart on a row: each sees the other
    paint.Row32(20)[12] = Unpainted;
    paint.Row32(5)[29] = Unpainted;   // its partner at column 31 lies outside the counted columns
    paint.Row32(5)[31] = Unpainted;
    ASSERT_EQ(FillIsolatedGaps(paint), 0u);
    EXPECT_EQ(paint.Row32(10)[10], Red);
    EXPECT_EQ(paint.Row32(10)[11], Paint);  // only unpainted pixels of the block change
    EXPECT_EQ(paint.Row32(20)[10], Unpainted);
    EXPECT_EQ(paint.Row32(20)[12], Unpainted);
    EXPECT_EQ(paint.Row32(5)[29], Red);
    EXPECT_EQ(paint.Row32(5)[31], Unpainted);  // the scan never reaches the last two columns
}

TEST(FillIsolatedGaps, ChangesSeenByLaterPixelsAndSmallImagesKept)
{
    // The first speck's block takes in its diagonal neighbour; the third pixel, a probe of the
    // second, then finds it closed and is closed too.
    SBitmap paint = Image32(40, 40, Paint);
    paint.Row32(10)[10] = Unpainted;
    paint.Row32(11)[11] = Unpainted;
    paint.Row32(11)[13] = Unpainted;
    ASSERT_EQ(FillIsolatedGaps(paint), 0u);
    EXPECT_EQ(paint.Row32(10)[10], Red);
    EXPECT_EQ(paint.Row32(11)[11], Red);
    EXPECT_EQ(paint.Row32(11)[13], Red);

    SBitmap narrow = Image32(31, 40, Paint);
    narrow.Row32(10)[10] = Unpainted;
    ASSERT_EQ(FillIsolatedGaps(narrow), 0u);
    EXPECT_EQ(narrow.Row32(10)[10], Unpainted);

    SBitmap rgb;
    rgb.Create(40, 40, 24);
    EXPECT_EQ(FillIsolatedGaps(rgb), ErrorFromIdentifier("domain"));
}

TEST(PaintUnderLines, BorderTakesAverageOfNearestPaintAndSpreadsInScanOrder)
{
    SBitmap paint = Image32(6, 1, 0);
    const std::uint32_t a = 0xFF0000C8u, b = 0x80000064u;
    std::uint32_t* row = paint.Row32(0);
    row[0] = a;
    row[1] = Red;
    row[2] = Black;
    row[3] = b;
    row[4] = Red;
    row[5] = b;
    ASSERT_EQ(PaintUnderLines(paint), 0u);
    // (1): a alone at radius 1; (2): the new (1) and b; (4): b on both sides.
    const std::uint32_t mid = ((0xC8u + 0x64u) / 2) | ((0xFFu + 0x80u) / 2) << 24;
    EXPECT_EQ(Words(paint, 0), (std::vector<std::uint32_t>{a, a, mid, b, b, b}));
}

TEST(PaintUnderLines, WhitePixelsStopTheSearchCountedAgainAtEachRadius)
{
    // The first pixel of the scan, (0, 0), is red border with one opaque white beside it; paint lies
    // only at the given radius. Squares are cut at the image's edges.
    auto make = [](bool secondWhite, std::int32_t paintRadius) {
        SBitmap paint = Image32(5, 5, Black);
        for (std::int32_t y = 0; y < 5; ++y)
            for (std::int32_t x = 0; x < 5; ++x)
                if (std::max(x, y) == paintRadius)
                    paint.Row32(y)[x] = Paint;
        paint.Row32(0)[0] = Red;
        paint.Row32(0)[1] = White;
        if (secondWhite)
            paint.Row32(1)[0] = White;
        return paint;
    };
    SBitmap one = make(false, 2);
    ASSERT_EQ(PaintUnderLines(one), 0u);
    EXPECT_EQ(one.Row32(0)[0], Paint);

    SBitmap two = make(true, 2);
    ASSERT_EQ(PaintUnderLines(two), 0u);
    EXPECT_EQ(two.Row32(0)[0], Red);  // gave up: the result keeps the border

    // One white seen at radius 1 is seen again at radius 2: two in all, so paint at radius 3 is
    // never reached.
    SBitmap far = make(false, 3);
    ASSERT_EQ(PaintUnderLines(far), 0u);
    EXPECT_EQ(far.Row32(0)[0], Red);
    // Without the white the search goes on to radius 3.
    SBitmap reach = make(false, 3);
    reach.Row32(0)[1] = Black;
    ASSERT_EQ(PaintUnderLines(reach), 0u);
    EXPECT_EQ(reach.Row32(0)[0], Paint);

    SBitmap rgb;
    rgb.Create(4, 4, 24);
    EXPECT_EQ(PaintUnderLines(rgb), ErrorFromIdentifier("domain"));
}

TEST(ColourTraceLines, DensityBecomesAlphaAndColourLinesAreDropped)
{
    SBitmap trace = Image32(5, 1, 0);
    std::uint32_t* row = trace.Row32(0);
    row[0] = 0x000000FFu;  // black line, full density
    row[1] = 0x00FF0080u;  // black density 128 over red line data
    row[2] = 0x00FF0000u;  // red line only
    row[3] = 0x80123456u;  // already coloured: kept
    row[4] = 0x00FFFFFFu;  // no line (erased): stays empty, not a solid black line
    ASSERT_EQ(ColourTraceLines(trace, SColor(10, 20, 30, 99)), 0u);
    EXPECT_EQ(Words(trace, 0), (std::vector<std::uint32_t>{0xFF0A141Eu, 0x800A141Eu, 0u, 0x80123456u, 0u}));

    SBitmap rgb;
    rgb.Create(2, 2, 24);
    EXPECT_EQ(ColourTraceLines(rgb, SColor::Black), ErrorFromIdentifier("domain"));
}

TEST(KeyTransparency, TwoValuedAgainstTheKey)
{
    SBitmap source;
    source.Create(4, 1, 32);
    source.SetColor(0, 0, SColor(10, 20, 30, 200));   // mostly transparent: the key
    source.SetColor(1, 0, SColor(10, 20, 30, 100));   // mostly opaque: its own colour
    source.SetColor(2, 0, SColor(255, 255, 255, 0));  // the key itself: moved off it
    source.SetColor(3, 0, SColor(10, 20, 30, 191));
    SBitmap keyed = KeyTransparency(source, SColor::White, 32);
    ASSERT_EQ(keyed.Format(), 32);
    EXPECT_EQ(keyed.GetColor(0, 0), SColor::White);
    EXPECT_EQ(keyed.GetColor(1, 0), SColor(10, 20, 30, 0));
    EXPECT_EQ(keyed.GetColor(2, 0), SColor(254, 254, 254, 0));
    EXPECT_EQ(keyed.GetColor(3, 0), SColor(10, 20, 30, 0));

    // Steps toward the middle on each channel; a transparent key comes out transparent.
    SBitmap edge = Image32(2, 1, 0);
    edge.SetColor(0, 0, SColor(0, 128, 127, 255));
    edge.SetColor(1, 0, SColor(0, 128, 127, 0));
    SBitmap rgb = KeyTransparency(edge, SColor(0, 128, 127, 0), 24);
    ASSERT_EQ(rgb.Format(), 24);
    EXPECT_EQ(rgb.GetColor(0, 0), SColor(0, 128, 127));
    EXPECT_EQ(rgb.GetColor(1, 0), SColor(1, 127, 128));
    SBitmap keyedTransparent = KeyTransparency(edge, SColor(1, 2, 3, 255), 32);
    EXPECT_EQ(keyedTransparent.Row32(0)[0], 0x00010203u);
}

TEST(ExportPasses, StopWhenAborted)
{
    SAbort progress;
    progress.RequestAbort();
    const SError abort = ErrorFromIdentifier("abort");
    SBitmap paint = Image32(32, 32, Unpainted);
    paint.Row32(3)[3] = Red;
    EXPECT_EQ(FillIsolatedGaps(paint, &progress), abort);
    EXPECT_EQ(PaintUnderLines(paint, &progress), abort);
    EXPECT_EQ(paint.Row32(3)[3], Red);
    EXPECT_EQ(ColourTraceLines(paint, SColor::Black, &progress), abort);
}

}  // namespace
