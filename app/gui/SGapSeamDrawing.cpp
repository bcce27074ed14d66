#include "SGapSeamDrawing.h"

#include "SCanvasTile.h"
#include "STileDrawing.h"

#include <QPainter>

#include <algorithm>

namespace {

// A seam's screen rectangle, widened about its middle to three pixels where it is thinner.
QRect SeamOnScreen(const ulib::SRect& seam, std::int32_t zoom)
{
    constexpr int Thinnest = 3;
    QRect r = ToQRect(canvas::DocumentToScreenRect(seam, zoom));
    const int dw = std::max(0, Thinnest - r.width()), dh = std::max(0, Thinnest - r.height());
    return r.adjusted(-dw / 2, -dh / 2, dw - dw / 2, dh - dh / 2);
}

}  // namespace

void DrawGapSeams(QPainter& painter, const std::vector<ulib::SRect>& seams, const ulib::SRect& document,
                  std::int32_t zoom)
{
    // Cyan over a black edge: the carry's marks are magenta, and paint is flat colour, so a seam
    // stands out from both on any colour. The edges go first so that no edge covers a seam.
    std::vector<QRect> shown;
    for (const ulib::SRect& seam : seams)
        if (seam.Inflate(2, 2).Overlaps(document))
            shown.push_back(SeamOnScreen(seam, zoom));
    for (const QRect& r : shown)
        painter.fillRect(r.adjusted(-1, -1, 1, 1), Qt::black);
    for (const QRect& r : shown)
        painter.fillRect(r, QColor(0, 255, 255));
}
