#include "SBitmapPixmap.h"

#include <QImage>

using namespace ulib;

QPixmap ToPixmap(const SBitmap& picture)
{
    if (picture.IsEmpty())
        return {};
    QImage image(picture.Width(), picture.Height(), QImage::Format_RGB32);
    for (std::int32_t y = 0; y < picture.Height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (std::int32_t x = 0; x < picture.Width(); ++x) {
            const SColor c = picture.GetColor(x, y);
            row[x] = qRgb(c.r, c.g, c.b);
        }
    }
    return QPixmap::fromImage(image);
}
