// The line walk and the boundary fix and delete tools.
#include "SBoundary.h"

#include "SToolRows.h"

using namespace ulib;
using namespace tool_rows;

namespace {

// The value a deleted border pixel takes: unpainted, unless a neighbour inside the document is
// painted; the last painted one in the order left, below, right, above wins.
std::uint32_t FilledFromNeighbours(const SBitmap& paint, const SRect& area, SPoint at)
{
    const SPoint neighbours[4] = {{at.x - 1, at.y}, {at.x, at.y + 1}, {at.x + 1, at.y}, {at.x, at.y - 1}};
    std::uint32_t value = cel_values::Unpainted;
    for (const SPoint& n : neighbours) {
        if (!area.Contains(n))
            continue;
        const std::uint32_t v = paint.Row32(n.y)[n.x];
        if (cel_values::IsPainted(v))
            value = v;
    }
    return value;
}

}  // namespace

bool LineWalkStep(SPoint& p, SPoint q)
{
    if (p == q)
        return false;
    const std::int64_t dx = std::int64_t(q.x) - p.x;
    const std::int64_t dy = std::int64_t(q.y) - p.y;
    const bool moveX = dx != 0 && dy / dx >= -1 && dy / dx <= 1;
    const bool moveY = dy != 0 && dx / dy >= -1 && dx / dy <= 1;
    if (moveX)
        p.x += dx > 0 ? 1 : -1;
    if (moveY)
        p.y += dy > 0 ? 1 : -1;
    return true;
}

SRect BoundaryLine(SPaintContext& context, SBoundaryMode mode, SPoint p, SPoint q)
{
    SCel& cel = context.cel;
    SBitmap& paint = cel.paint;
    if (!cel.visible[LayerPaint])
        return {};
    const SRect area = LayerArea(cel, paint);
    SError err = 0;
    SPoint at = p;
    do {
        if (!area.Contains(at))
            continue;  // the walk goes on: the line may enter the document further along
        context.undo.RecordRow(paint, at.y, at.x, at.x + 1);
        std::uint32_t& pixel = paint.Row32(at.y)[at.x];
        if (mode == SBoundaryMode::Fix) {
            if (!cel_values::IsBorder(pixel))
                pixel = cel_values::BorderRed;
        } else if (cel_values::IsBlackOrRedBorder(pixel)) {
            pixel = FilledFromNeighbours(paint, area, at);
        }
        cel.ComposeRow(at.y, at.x, at.x + 1, err);
    } while (LineWalkStep(at, q));

    return ClipRect(std::min(p.x, q.x), std::min(p.y, q.y), std::int64_t(std::max(p.x, q.x)) + 1,
                    std::int64_t(std::max(p.y, q.y)) + 1, area);
}
