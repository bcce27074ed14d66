#include "SRegionFill.h"

#include "SNonBorderPixels.h"
#include "SRegionWalk.h"

#include <algorithm>

using namespace ulib;

namespace {

// Paints a span with the colour source, recording it in the open undo step first and recomposing it.
class PaintSink
{
public:
    PaintSink(SPaintContext& context, const SNonBorderPixels& layer)
        : context_(context), layer_(layer), source_(context.tools, context.reference)
    {
    }

    void operator()(std::int32_t y, std::int32_t xStart, std::int32_t xEnd)
    {
        context_.undo.RecordRow(context_.cel.paint, y, xStart, xEnd);
        if (source_.PaintsNothing())
            return;
        PaintRow(layer_.Row(y), source_, y, xStart, xEnd);
        SError ignored = 0;  // the row lies inside the display
        context_.cel.ComposeRow(y, xStart, xEnd, ignored);
        changed_ = changed_.Union({xStart, y, xEnd, y + 1});
    }

    SRect Changed() const { return changed_; }

private:
    SPaintContext& context_;
    const SNonBorderPixels& layer_;
    const SColourSource source_;
    SRect changed_;
};

}  // namespace

bool AttachFillInside(SPaintContext& context, SPoint seed, bool fromTool, SNonBorderPixels& inside, SError& err)
{
    err = 0;
    SCel& cel = context.cel;
    // The document is the display buffer's size; a paint layer that does not cover it is being rebuilt.
    const std::int32_t width = std::min(cel.display.Width(), cel.paint.Width());
    const std::int32_t height = std::min(cel.display.Height(), cel.paint.Height());
    if (seed.x < 0 || seed.y < 0 || seed.x >= width || seed.y >= height || cel.paint.Format() != 32)
        return false;
    if (fromTool && !cel.visible[LayerPaint])
        return false;
    if (!inside.Attach(cel.paint, width, height)) {
        err = ErrorFromIdentifier("memory_temp");
        return false;
    }
    return true;
}

SRect FillRegion(SPaintContext& context, SPoint seed, bool fromTool, SError& err, const SAbort* abort)
{
    SNonBorderPixels inside;
    if (!AttachFillInside(context, seed, fromTool, inside, err))
        return {};
    // Painting keeps every border where it was, as the walk requires of its sink.
    PaintSink sink(context, inside);
    err = WalkRegion(inside, sink, seed, abort);
    return sink.Changed();
}
