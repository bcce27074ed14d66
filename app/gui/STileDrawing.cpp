#include "STileDrawing.h"

#include <QPainter>

void DrawThroughTile(QPainter& painter, QImage& tile, const QRect& screen,
                     const std::function<void(const canvas::STileTarget&)>& fill)
{
    if (tile.size() != QSize(canvas::TileSize, canvas::TileSize) || tile.format() != QImage::Format_RGB32)
        tile = QImage(canvas::TileSize, canvas::TileSize, QImage::Format_RGB32);
    const int mask = ~(canvas::TileSize - 1);
    for (int ty = screen.top() & mask; ty <= screen.bottom(); ty += canvas::TileSize) {
        for (int tx = screen.left() & mask; tx <= screen.right(); tx += canvas::TileSize) {
            // Only the part of the tile inside the requested rectangle is filled and copied.
            const QRect part = QRect(tx, ty, canvas::TileSize, canvas::TileSize) & screen;
            const QPoint inTile = part.topLeft() - QPoint(tx, ty);
            canvas::STileTarget target;
            target.stride = int(tile.bytesPerLine());
            target.bits = tile.bits() + inTile.y() * target.stride + inTile.x() * 4;
            target.origin = {part.left(), part.top()};
            target.width = part.width();
            target.height = part.height();
            fill(target);
            painter.drawImage(part.topLeft(), tile, QRect(inTile, part.size()));
        }
    }
}
