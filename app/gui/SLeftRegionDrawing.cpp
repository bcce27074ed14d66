#include "SLeftRegionDrawing.h"

#include "SCanvasTile.h"
#include "STileDrawing.h"

#include <QBrush>
#include <QPainter>
#include <QPen>

namespace {

// Magenta hatching and a dashed frame over a white one: paint is flat colour, so neither can be
// taken for it, and the white keeps the frame visible on magenta paint.
const QColor MarkColour(255, 0, 255);

void DrawFrame(QPainter& painter, const QRect& frame, bool stressed)
{
    painter.setPen(QPen(Qt::white, stressed ? 5 : 3));
    painter.drawRect(frame);
    painter.setPen(QPen(MarkColour, stressed ? 3 : 1, Qt::DashLine));
    painter.drawRect(frame);
}

}  // namespace

void DrawLeftRegions(QPainter& painter, const std::vector<SLeftRegion>& regions, std::int32_t current,
                     const ulib::SRect& document, std::int32_t zoom)
{
    if (regions.empty())
        return;
    painter.save();
    const QBrush hatch(MarkColour, Qt::BDiagPattern);
    for (const SLeftRegion& region : regions) {
        if (!region.bounds.Overlaps(document))
            continue;
        for (const ulib::SRect& row : region.rows)
            if (row.Overlaps(document))
                painter.fillRect(ToQRect(canvas::DocumentToScreenRect(row, zoom)), hatch);
    }
    // The frames sit just outside the regions, so that even a region of one pixel shows at every
    // zoom step; they are few and drawn whole, the painter clipping them to the repainted part.
    painter.setBrush(Qt::NoBrush);
    for (std::size_t i = 0; i < regions.size(); ++i) {
        const QRect inside = ToQRect(canvas::DocumentToScreenRect(regions[i].bounds, zoom));
        DrawFrame(painter, inside.adjusted(-2, -2, 1, 1), std::int32_t(i) == current);
    }
    painter.restore();
}
