// The knife: a channel of the start pixel's colour along the drag, walled by red borders.
#include "SBoundary.h"

#include "SToolRows.h"

using namespace ulib;
using namespace tool_rows;

SRect KnifeCut(SPaintContext& context, SPoint p, SPoint q)
{
    SCel& cel = context.cel;
    SBitmap& paint = cel.paint;
    if (!cel.visible[LayerPaint])
        return {};
    const SRect area = LayerArea(cel, paint);
    // Every pixel the cut writes lies on the walk or beside it, so within this rectangle.
    const SRect rect = ClipRect(std::int64_t(std::min(p.x, q.x)) - 1, std::int64_t(std::min(p.y, q.y)) - 1,
                                std::int64_t(std::max(p.x, q.x)) + 2, std::int64_t(std::max(p.y, q.y)) + 2, area);
    context.undo.RecordRect(paint, rect);

    std::uint32_t cut = cel_values::Unpainted;
    if (area.Contains(p) && cel_values::IsPainted(paint.Row32(p.y)[p.x]))
        cut = paint.Row32(p.y)[p.x];

    auto set = [&](std::int64_t x, std::int64_t y, std::uint32_t v) {
        if (Inside(area, x, y))
            paint.Row32(std::int32_t(y))[x] = v;
    };
    for (SPoint at = p; LineWalkStep(at, q);) {
        set(at.x, std::int64_t(at.y) - 1, cel_values::BorderRed);
        set(at.x, std::int64_t(at.y) + 1, cel_values::BorderRed);
        set(std::int64_t(at.x) - 1, at.y, cel_values::BorderRed);
        set(std::int64_t(at.x) + 1, at.y, cel_values::BorderRed);
    }
    SPoint at = p;
    do
        set(at.x, at.y, cut);
    while (LineWalkStep(at, q));

    ComposeRect(cel, rect);
    return rect;
}
