// Drawing a picture widget through one reused 128 x 128 tile: the canvas and the reference pane cut
// the rectangle to repaint into the tile grid, fill each part of a tile and copy it to the screen.
#pragma once

#include "SCanvasTile.h"
#include "SGeometry.h"

#include <QImage>
#include <QRect>

#include <functional>

class QPainter;

inline QRect ToQRect(const ulib::SRect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

inline ulib::SRect ToSRect(const QRect& r)
{
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

// Fills and copies the tiles covering `screen` (widget coordinates). `tile` is re-created only when
// it is not the 128 x 128 32-bit tile; `fill` receives the part of the tile to fill.
void DrawThroughTile(QPainter& painter, QImage& tile, const QRect& screen,
                     const std::function<void(const canvas::STileTarget&)>& fill);
