// Whole-layer fills, black-to-red conversion and the gundress fill.
#include "SWholeCel.h"

#include "SColourSource.h"
#include "SRegionFill.h"
#include "STraceRecolour.h"

using namespace ulib;

namespace {

void FillAllPaint(SPaintContext& c)
{
    SBitmap& paint = c.cel.paint;
    c.undo.RecordRect(paint, paint.Bounds());
    const SColourSource source(c.tools, c.reference);
    if (source.PaintsNothing())
        return;
    for (std::int32_t y = 0; y < paint.Height(); ++y)
        PaintSpan(paint, source, y, 0, paint.Width());
}

void FillAllTrace(SPaintContext& c)
{
    SBitmap& trace = c.cel.trace;
    c.undo.RecordRect(trace, trace.Bounds());
    for (std::int32_t y = 0; y < trace.Height(); ++y)
        RecolourTraceSpan(c.cel, c.tools, c.reference, y, 0, trace.Width());
}

void FillAllExtra(SPaintContext& c)
{
    SBitmap& extra = c.cel.extra;
    const SBitmap& display = c.cel.display;
    if (extra.IsEmpty()) {
        extra.Create(display.Width(), display.Height(), 32);
        extra.FillRect(SColor::FromPixel(cel_values::TransparentWhite));
    }
    c.undo.RecordRect(extra, extra.Bounds());

    SColor colour = c.tools.currentColour;
    if (c.tools.colourMode == SColourMode::Eraser || colour.t == 255)
        colour = SColor::FromPixel(cel_values::TransparentWhite);
    switch (c.tools.colourMode) {
    case SColourMode::Colour:
    case SColourMode::Eraser:
        extra.FillRect(colour);
        break;
    case SColourMode::Bitmap:
    case SColourMode::Texture:
        if (c.reference.IsEmpty()) {
            extra.FillRect(SColor(0, 0, 0, 255));
        } else if (c.tools.colourMode == SColourMode::Bitmap) {
            // Copies from the document origin until the layer is covered; the last ones are cut.
            for (std::int32_t y = 0; y < extra.Height(); y += c.reference.Height())
                for (std::int32_t x = 0; x < extra.Width(); x += c.reference.Width())
                    Blit(extra, c.reference, {x, y});
        }
        break;
    }
}

void AllBlackToRed(SPaintContext& c)
{
    SBitmap& trace = c.cel.trace;
    c.undo.RecordRect(trace, trace.Bounds());
    for (std::int32_t y = 0; y < trace.Height(); ++y) {
        std::uint32_t* row = trace.Row32(y);
        for (std::int32_t x = 0; x < trace.Width(); ++x) {
            const std::uint32_t v = row[x];
            // "No line" (what the eraser leaves) has a low byte too, but is no black line.
            // The density moves to the coloured line's byte; the colour code stays.
            if (!cel_values::IsConvertedLine(v) && cel_values::BlackDensity(v) != 0 && v != cel_values::NoLine)
                row[x] = cel_values::ColouredLine(cel_values::BlackDensity(v), cel_values::ColourCode(v));
        }
    }
}

void Gundress(SPaintContext& c)
{
    FillAllTrace(c);
    FillAllPaint(c);
    // The background around the figure becomes unpainted again.
    const SToolState kept = c.tools;
    c.tools.colourMode = SColourMode::Eraser;
    SError ignored = 0;
    FillRegion(c, {1, 1}, false, ignored);
    c.tools.colourMode = kept.colourMode;
    c.tools.currentColour = kept.currentColour;
}

}  // namespace

const char* WholeCelCaption(SWholeCelOperation operation)
{
    switch (operation) {
    case SWholeCelOperation::BlackToRed:
        return "一括色トレス線変換";
    case SWholeCelOperation::Gundress:
        return "ガンドレス塗り";
    default:
        return "塗りつぶし";
    }
}

void RunWholeCelOperation(SPaintContext& context, SWholeCelOperation operation)
{
    switch (operation) {
    case SWholeCelOperation::FillPaint:
        FillAllPaint(context);
        break;
    case SWholeCelOperation::FillTrace:
        FillAllTrace(context);
        break;
    case SWholeCelOperation::FillExtra:
        FillAllExtra(context);
        break;
    case SWholeCelOperation::FillBoth:
        FillAllTrace(context);
        FillAllPaint(context);
        break;
    case SWholeCelOperation::BlackToRed:
        AllBlackToRed(context);
        break;
    case SWholeCelOperation::Gundress:
        Gundress(context);
        break;
    }
    context.cel.ComposeAll();
}
