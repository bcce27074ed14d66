// Drawing a device-independent bitmap onto the painter of an SDrawSurface. The pixels are
// read row by row into an opaque 32-bit image; the fourth byte of 32-bit pixels is not alpha
// here (the core keeps transparency there), so it is ignored, as a screen blit would.
#include "SQtPlatform.h"

#include <QImage>
#include <QPainter>

#include <array>
#include <bit>
#include <cstring>

using namespace ulib;

namespace {

std::uint32_t Dword(const std::uint8_t* at)
{
    return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 | std::uint32_t(at[3]) << 24;
}

constexpr std::uint32_t kBitFields = 3;

// One channel of a masked pixel scaled to 0..255.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = std::countr_zero(mask);
    std::uint32_t top = mask >> shift;
    return (((pixel & mask) >> shift) * 255 + top / 2) / top;
}

struct PixelFormat
{
    int bits = 0;
    std::uint32_t red = 0, green = 0, blue = 0;  // channel masks (16 and 32 bits)
    std::array<QRgb, 256> table{};               // colour table (1, 4 and 8 bits)
};

bool ReadFormat(const SPixelView& view, PixelFormat& format)
{
    if (view.infoHeader == nullptr || view.pixels == nullptr)
        return false;
    const std::uint8_t* info = view.infoHeader;
    std::uint32_t headerSize = Dword(info);
    std::uint32_t compression = Dword(info + 16);
    format.bits = view.bitCount;
    switch (view.bitCount) {
    case 1:
    case 4:
    case 8: {
        std::uint32_t used = Dword(info + 32);
        std::uint32_t entries = 1u << view.bitCount;
        if (used != 0 && used < entries)
            entries = used;
        // Missing entries stay black rather than being read past the table.
        const std::uint8_t* table = info + headerSize;
        for (std::uint32_t i = 0; i < entries; ++i)
            format.table[i] = qRgb(table[i * 4 + 2], table[i * 4 + 1], table[i * 4]);
        for (std::uint32_t i = entries; i < 256; ++i)
            format.table[i] = qRgb(0, 0, 0);
        return true;
    }
    case 16:
    case 32:
        if (compression == kBitFields) {
            format.red = Dword(info + 40);
            format.green = Dword(info + 44);
            format.blue = Dword(info + 48);
        } else if (view.bitCount == 16) {
            format.red = 0x7C00, format.green = 0x03E0, format.blue = 0x001F;
        } else {
            format.red = 0xFF0000, format.green = 0x00FF00, format.blue = 0x0000FF;
        }
        return true;
    case 24: return true;
    default: return false;
    }
}

QRgb PixelAt(const PixelFormat& format, const std::uint8_t* row, std::int32_t x)
{
    switch (format.bits) {
    case 1: return format.table[(row[x >> 3] >> (7 - (x & 7))) & 1];
    case 4: return format.table[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF];
    case 8: return format.table[row[x]];
    case 24: {
        const std::uint8_t* p = row + std::size_t(x) * 3;
        return qRgb(p[2], p[1], p[0]);
    }
    case 16: {
        const std::uint8_t* p = row + std::size_t(x) * 2;
        std::uint32_t v = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8;
        return qRgb(int(Channel(v, format.red)), int(Channel(v, format.green)), int(Channel(v, format.blue)));
    }
    default: {
        std::uint32_t v = Dword(row + std::size_t(x) * 4);
        return qRgb(int(Channel(v, format.red)), int(Channel(v, format.green)), int(Channel(v, format.blue)));
    }
    }
}

}  // namespace

SError SQtPlatform::DrawPixels(SDrawSurface* surface, SPoint at, const SPixelView& pixels, const SRect& source)
{
    // Drawing happens on whatever thread owns the painter (a widget's paint handler, or a worker
    // painting an image), so this call is not moved to the interface thread.
    PixelFormat format;
    if (surface == nullptr || surface->painter == nullptr || !ReadFormat(pixels, format))
        return ErrorFromIdentifier("device");
    SRect part = source.Intersect({0, 0, pixels.width, pixels.height});
    if (part.IsEmpty())
        return 0;

    QImage image(part.Width(), part.Height(), QImage::Format_RGB32);
    if (image.isNull())
        return ErrorFromIdentifier("memory_alloc");
    for (std::int32_t y = part.top; y < part.bottom; ++y) {
        // Rows are stored last image row first.
        const std::uint8_t* row = pixels.pixels + std::size_t(pixels.height - 1 - y) * std::size_t(pixels.stride);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y - part.top));
        for (std::int32_t x = part.left; x < part.right; ++x)
            out[x - part.left] = PixelAt(format, row, x);
    }
    surface->painter->drawImage(QPoint(at.x, at.y), image);
    return 0;
}
