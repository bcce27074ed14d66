#include "SFindingDrawing.h"

#include "SCanvasTile.h"
#include "SCelValues.h"
#include "STileDrawing.h"

#include <QBrush>
#include <QPainter>
#include <QPen>

#include <algorithm>

namespace {

// Orange hatching and a dashed frame over a white one: the carry's marks are magenta and the gap
// seams cyan, and paint is flat colour, so none of them can be taken for another.
const QColor MarkColour(255, 128, 0);

// Whether a pixel of the finding's box is one of the finding's own.
bool Marked(const SFinding& f, const ulib::SBitmap& paint, const ulib::SBitmap& trace, std::int32_t x, std::int32_t y,
            std::uint32_t speckColour)
{
    switch (f.kind) {
    case SFindingKind::Unpainted:
        return paint.Row32(y)[x] == cel_values::Unpainted;
    case SFindingKind::Speck:
        return paint.Row32(y)[x] == speckColour;
    case SFindingKind::Line:
        return trace.Width() > x && trace.Height() > y && cel_values::IsUnconvertedColourLine(trace.Row32(y)[x]) &&
               cel_values::ColourCode(trace.Row32(y)[x]) == f.code;
    }
    return false;
}

// Hatches the finding's pixels inside `document`, a row's run at a time.
void HatchPixels(QPainter& painter, const SFinding& f, const ulib::SRect& document, std::int32_t zoom,
                 const ulib::SBitmap& paint, const ulib::SBitmap& trace, const QBrush& hatch)
{
    const ulib::SRect part = f.bounds.Intersect(document).Intersect(paint.Bounds());
    if (part.IsEmpty())
        return;
    const std::uint32_t speckColour = paint.Row32(f.at.y)[f.at.x];
    for (std::int32_t y = part.top; y < part.bottom; ++y)
        for (std::int32_t x = part.left; x < part.right;) {
            if (!Marked(f, paint, trace, x, y, speckColour)) {
                ++x;
                continue;
            }
            const std::int32_t from = x;
            while (x < part.right && Marked(f, paint, trace, x, y, speckColour))
                ++x;
            painter.fillRect(ToQRect(canvas::DocumentToScreenRect({from, y, x, y + 1}, zoom)), hatch);
        }
}

}  // namespace

void DrawFindings(QPainter& painter, const std::vector<SFinding>& findings, std::int32_t current,
                  const ulib::SRect& document, std::int32_t zoom, const ulib::SBitmap& paint, const ulib::SBitmap& trace)
{
    if (findings.empty())
        return;
    painter.save();
    const QBrush hatch(MarkColour, Qt::FDiagPattern);
    for (const SFinding& f : findings)
        if (f.bounds.Inflate(3, 3).Overlaps(document))
            HatchPixels(painter, f, document, zoom, paint, trace, hatch);
    // The frames sit just outside the boxes, so that even a finding of one pixel shows at every zoom
    // step; they are few and drawn whole, the painter clipping them to the repainted part.
    painter.setBrush(Qt::NoBrush);
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const bool stressed = std::int32_t(i) == current;
        const QRect frame = ToQRect(canvas::DocumentToScreenRect(findings[i].bounds, zoom)).adjusted(-3, -3, 2, 2);
        painter.setPen(QPen(Qt::white, stressed ? 5 : 3));
        painter.drawRect(frame);
        painter.setPen(QPen(MarkColour, stressed ? 3 : 1, Qt::DashLine));
        painter.drawRect(frame);
    }
    painter.restore();
}
