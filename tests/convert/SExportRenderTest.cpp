#include "SExportRender.h"

#include "SAbort.h"
#include "SBitmap.h"
#include "SQuickPress.h"

#include "ExportFixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace ulib;

namespace {

// A document container of the genga (24-bit), paint and trace images, plus the extra layer when
// given; all must have the same size.
SQuickPress Document(const SBitmap& genga, const SBitmap& paint, const SBitmap& trace,
                                  const SBitmap* extra = nullptr)
{
    SQuickPress document;
    EXPECT_EQ(document.SetCount(extra != nullptr ? 4 : 3), 0u);
    document.width = paint.Width();
    document.height = paint.Height();
    document.format = 32;
    EXPECT_EQ(document[0].Compress(genga), 0u);
    EXPECT_EQ(document[1].Compress(paint), 0u);
    EXPECT_EQ(document[2].Compress(trace), 0u);
    if (extra != nullptr) {
        EXPECT_EQ(document[3].Compress(*extra), 0u);
    }
    return document;
}

// A white genga, unpainted paint and an empty trace layer.
SQuickPress BlankDocument(std::int32_t w, std::int32_t h)
{
    SBitmap genga;
    genga.Create(w, h, 24);
    return Document(genga, Image32(w, h, 0x00FFFFFFu), Image32(w, h, 0));
}

constexpr std::uint32_t TransparentWhite = 0x00FFFFFFu;

// A 6 x 4 document: genga grey, paint green at (1,1), a full black line at (2,1), an extra-layer
// pixel blue at (3,1).
struct LayeredDocument
{
    SBitmap genga, paint, trace, extra;
    SQuickPress document;

    LayeredDocument()
    {
        genga.Create(6, 4, 24);
        genga.FillRect(SColor(128, 128, 128));
        paint = Image32(6, 4, 0x00FFFFFFu);
        paint.Row32(1)[1] = 0xFF00FF00u;
        trace = Image32(6, 4, 0);
        trace.Row32(1)[2] = 0x000000FFu;
        extra = Image32(6, 4, 0);
        extra.Row32(1)[3] = 0xFF0000FFu;
        document = Document(genga, paint, trace, &extra);
    }
};

SError Render(SBitmap& out, const SQuickPress& document, const SHuedraneOptions& options)
{
    return RenderExportImage(&out, document, &options);
}

TEST(RenderExportImage, UnpaintedDocumentGivesLinesOnTransparentWhiteOrOnWhite)
{
    SQuickPress document = BlankDocument(8, 8);
    SBitmap trace = Image32(8, 8, 0);
    trace.Row32(1)[1] = 0x000000FFu;
    trace.Row32(1)[2] = 0x00000080u;
    ASSERT_EQ(document[2].Compress(trace), 0u);

    SHuedraneOptions options;
    SBitmap out;
    ASSERT_EQ(Render(out, document, options), 0u);
    ASSERT_EQ(out.Format(), 32);
    ASSERT_EQ(out.Dimensions(), (SPoint{8, 8}));
    EXPECT_EQ(out.Row32(1)[1], 0xFF000000u);
    EXPECT_EQ(out.Row32(1)[2] >> 24, 0x80u);
    EXPECT_EQ(out.Row32(1)[2] & 0xFFFFFFu, 0u);
    EXPECT_EQ(Words(out, 0), std::vector<std::uint32_t>(8, TransparentWhite));

    options.export24Bit = true;
    ASSERT_EQ(Render(out, document, options), 0u);
    ASSERT_EQ(out.Format(), 24);
    SBitmap expected;
    expected.Create(1, 1, 24);
    expected.BlendColor(0, 0, SColor(0, 0, 0, 255 - 0x80));
    EXPECT_EQ(out.GetColor(1, 1), SColor::Black);
    EXPECT_EQ(out.GetColor(2, 1), expected.GetColor(0, 0));
    EXPECT_EQ(out.GetColor(0, 0), SColor::White);

    options.export24Bit = false;
    options.exportBlackTraceEnabled = true;
    options.exportBlackTraceColour = SColor(200, 10, 20, 255);  // its transparency is not used
    ASSERT_EQ(Render(out, document, options), 0u);
    EXPECT_EQ(out.GetColor(1, 1), SColor(200, 10, 20, 0));
}

TEST(RenderExportImage, ColourLineBetweenPaintedAreasTakesTheirAverage)
{
    SBitmap genga;
    genga.Create(5, 1, 24);
    SBitmap paint = Image32(5, 1, 0);
    std::uint32_t* row = paint.Row32(0);
    row[0] = row[1] = 0xFF0000C8u;
    row[2] = 0x00FF0000u;  // red border under the colour line
    row[3] = row[4] = 0xFF000064u;
    SBitmap trace = Image32(5, 1, 0);
    trace.Row32(0)[2] = 0x00FF0000u;  // red line data, no black density
    SHuedraneOptions options;
    SBitmap out;
    ASSERT_EQ(Render(out, Document(genga, paint, trace), options), 0u);
    EXPECT_EQ(Words(out, 0), (std::vector<std::uint32_t>{0xFF0000C8u, 0xFF0000C8u, 0xFF000096u, 0xFF000064u,
                                                         0xFF000064u}));
}

TEST(RenderExportImage, TargetLayersChooseWhatIsRendered)
{
    LayeredDocument cel;
    SHuedraneOptions options;
    SBitmap out;
    auto at = [&](std::int32_t x) { return out.Row32(1)[x]; };

    options.exportTargetLayers = 0;
    ASSERT_EQ(Render(out, cel.document, options), 0u);
    EXPECT_EQ(at(1), 0xFF00FF00u);
    EXPECT_EQ(at(2), 0xFF000000u);
    EXPECT_EQ(at(3), 0xFF0000FFu);
    EXPECT_EQ(at(0), TransparentWhite);

    options.exportTargetLayers = 3;
    ASSERT_EQ(Render(out, cel.document, options), 0u);
    EXPECT_EQ(at(1), 0xFF00FF00u);
    EXPECT_EQ(at(2), TransparentWhite);
    EXPECT_EQ(at(3), TransparentWhite);

    options.exportTargetLayers = 4;
    ASSERT_EQ(Render(out, cel.document, options), 0u);
    EXPECT_EQ(at(1), TransparentWhite);
    EXPECT_EQ(at(2), 0xFF000000u);
    EXPECT_EQ(at(3), TransparentWhite);

    options.exportTargetLayers = 5;
    ASSERT_EQ(Render(out, cel.document, options), 0u);
    EXPECT_EQ(at(1), TransparentWhite);
    EXPECT_EQ(at(2), TransparentWhite);
    EXPECT_EQ(at(3), 0xFF0000FFu);

    // The genga alone, as the genga record decodes.
    options.exportTargetLayers = 2;
    ASSERT_EQ(Render(out, cel.document, options), 0u);
    ASSERT_EQ(out.Format(), 24);
    EXPECT_EQ(out.GetColor(1, 1), SColor(128, 128, 128));
    EXPECT_EQ(out.GetColor(2, 1), SColor(128, 128, 128));
}

TEST(RenderExportImage, UnderLayerIsCompositedAtTheDocumentSizeAndDepth)
{
    LayeredDocument cel;
    // A 2 x 2 under-layer picture at (0, 1), stored 32-bit, behind the cel.
    SBitmap under = Image32(2, 2, 0xFFFF0000u);
    ASSERT_EQ(cel.document.SetCount(5), 0u);
    ASSERT_EQ(cel.document[4].Compress(under), 0u);
    cel.document[4].kind = ExportUnderLayerKind;
    cel.document[4].originY = 1;

    SHuedraneOptions options;
    options.exportTargetLayers = 1;
    SBitmap out;
    ASSERT_EQ(Render(out, cel.document, options), 0u);
    ASSERT_EQ(out.Dimensions(), (SPoint{6, 4}));
    ASSERT_EQ(out.Format(), 32);
    EXPECT_EQ(out.Row32(1)[0], 0xFFFF0000u);  // under layer
    EXPECT_EQ(out.Row32(1)[1], 0xFF00FF00u);  // paint over it
    EXPECT_EQ(out.Row32(2)[1], 0xFFFF0000u);
    EXPECT_EQ(out.Row32(0)[0], TransparentWhite);
    EXPECT_EQ(out.Row32(3)[0], TransparentWhite);
    EXPECT_EQ(out.Row32(1)[2], 0xFF000000u);

    options.export24Bit = true;
    ASSERT_EQ(Render(out, cel.document, options), 0u);
    ASSERT_EQ(out.Format(), 24);
    EXPECT_EQ(out.GetColor(0, 1), SColor(255, 0, 0));
    EXPECT_EQ(out.GetColor(0, 0), SColor::White);

    // Without an under-layer record target 1 renders as target 0.
    ASSERT_EQ(cel.document.SetCount(4), 0u);
    ASSERT_EQ(Render(out, cel.document, options), 0u);
    EXPECT_EQ(out.GetColor(0, 1), SColor::White);
}

TEST(RenderExportImage, GamutMapsTheRangeButNotTransparentBlack)
{
    SBitmap rgb;
    rgb.Create(2, 1, 24);
    rgb.SetColor(0, 0, SColor(0, 0, 0));
    rgb.SetColor(1, 0, SColor(255, 128, 255));
    LimitExportGamut(rgb, 16, 235);
    EXPECT_EQ(rgb.GetColor(0, 0), SColor(16, 16, 16));
    EXPECT_EQ(rgb.GetColor(1, 0), SColor(235, 16 + 220 * 128 / 256, 235));

    SBitmap argb = Image32(3, 1, 0);
    argb.Row32(0)[1] = 0x80FF0000u;
    argb.Row32(0)[2] = 0x01000000u;
    LimitExportGamut(argb, 16, 235);
    EXPECT_EQ(Words(argb, 0), (std::vector<std::uint32_t>{0u, 0x80EB1010u, 0x01101010u}));

    // Out-of-range bounds are limited: max 300 -> 255, min -5 -> 0: nothing to do.
    LimitExportGamut(argb, -5, 300);
    EXPECT_EQ(argb.Row32(0)[1], 0x80EB1010u);
    // max 100 -> 128.
    SBitmap low = Image32(1, 1, 0xFFFFFFFFu);
    LimitExportGamut(low, 0, 100);
    EXPECT_EQ(low.Row32(0)[0], 0xFF808080u);

    // Through the render: the transparent background is not transparent black, so it maps too, and
    // the last rule makes it transparent white again.
    SHuedraneOptions options;
    options.exportGamutEnabled = true;
    options.exportGamutMin = 16;
    options.exportGamutMax = 235;
    LayeredDocument cel;
    SBitmap out;
    ASSERT_EQ(Render(out, cel.document, options), 0u);
    EXPECT_EQ(out.Row32(1)[2], 0xFF101010u);
    EXPECT_EQ(out.Row32(0)[0], TransparentWhite);
}

TEST(RenderExportImage, ReductionDividesTheSizeAndRefusesZero)
{
    SHuedraneOptions options;
    options.exportMinimizeRate = 3;
    SBitmap out;
    ASSERT_EQ(Render(out, BlankDocument(1000, 700), options), 0u);
    EXPECT_EQ(out.Dimensions(), (SPoint{333, 233}));
    // The fully transparent picture stays transparent white.
    EXPECT_EQ(out.Row32(100)[100], TransparentWhite);

    options.exportMinimizeRate = 9;
    SQuickPress small = BlankDocument(8, 20);
    EXPECT_EQ(Render(out, small, options), ErrorFromIdentifier("domain"));
    EXPECT_TRUE(out.IsEmpty());
    options.exportMinimizeRate = -2;
    EXPECT_EQ(Render(out, small, options), ErrorFromIdentifier("domain"));

    options.exportMinimizeRate = 0;
    ASSERT_EQ(Render(out, small, options), 0u);
    EXPECT_EQ(out.Dimensions(), (SPoint{8, 20}));
    options.exportMinimizeRate = 8;
    ASSERT_EQ(Render(out, small, options), 0u);
    EXPECT_EQ(out.Dimensions(), (SPoint{1, 2}));
}

TEST(RenderExportImage, OutlineBinarisationKeysAgainstTheBackground)
{
    LayeredDocument cel;
    SHuedraneOptions options;
    options.exportBinarizeOutline = true;
    options.exportBackgroundColour = SColor(0, 0, 255);
    SBitmap out;
    ASSERT_EQ(Render(out, cel.document, options), 0u);
    ASSERT_EQ(out.Format(), 32);
    EXPECT_EQ(out.GetColor(0, 0), SColor(0, 0, 255, 0));  // transparent -> background
    EXPECT_EQ(out.GetColor(3, 1), SColor(1, 1, 254, 0));  // the background colour itself -> moved
    EXPECT_EQ(out.GetColor(1, 1), SColor(0, 255, 0, 0));

    // The output is made 32-bit for the keying and then given the chosen 24 bits.
    options.export24Bit = true;
    ASSERT_EQ(Render(out, cel.document, options), 0u);
    ASSERT_EQ(out.Format(), 24);
    EXPECT_EQ(out.GetColor(0, 0), SColor(0, 0, 255));
}

TEST(RenderExportImage, RefusalsReleaseTheOutput)
{
    LayeredDocument cel;
    SHuedraneOptions options;
    EXPECT_EQ(RenderExportImage(nullptr, cel.document, &options), ErrorFromIdentifier("pointer"));
    SBitmap out = Image32(2, 2, 0);
    EXPECT_EQ(RenderExportImage(&out, cel.document, nullptr), ErrorFromIdentifier("pointer"));
    EXPECT_TRUE(out.IsEmpty());

    LayeredDocument two;
    ASSERT_EQ(two.document.SetCount(2), 0u);
    EXPECT_EQ(Render(out, two.document, options), ErrorFromIdentifier("data"));

    // A paint record of another size than the document.
    SQuickPress odd = BlankDocument(6, 4);
    ASSERT_EQ(odd[1].Compress(Image32(3, 3, 0)), 0u);
    EXPECT_EQ(Render(out, odd, options), ErrorFromIdentifier("data"));
    EXPECT_TRUE(out.IsEmpty());

    SAbort progress;
    progress.RequestAbort();
    out = Image32(2, 2, 0);
    EXPECT_EQ(RenderExportImage(&out, cel.document, &options, &progress), ErrorFromIdentifier("abort"));
    EXPECT_TRUE(out.IsEmpty());
}

TEST(RenderExportImage, ProgressEndsInTheCallersRange)
{
    LayeredDocument cel;
    SHuedraneOptions options;
    SAbort progress;
    progress.PushRange(0, 50, 0, 100);
    SBitmap out;
    ASSERT_EQ(RenderExportImage(&out, cel.document, &options, &progress), 0u);
    EXPECT_EQ(progress.Progress(), 50);
}

}  // namespace
