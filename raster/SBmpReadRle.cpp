// Run-length BMP pixels (compression 1 for 8-bit, 2 for 4-bit pictures), decoded into index rows.
#include "SBmpRead.h"

namespace ulib::bmp {

namespace {

// Index i of a run: in 4-bit pictures each byte holds two, high nibble first.
std::uint8_t IndexAt(std::uint8_t byte, std::int64_t i, bool fourBits)
{
    if (!fourBits)
        return byte;
    return i % 2 == 0 ? std::uint8_t(byte >> 4) : std::uint8_t(byte & 0x0F);
}

void Put(SBitmap& bitmap, std::int64_t x, std::int64_t y, std::uint8_t index, bool fourBits)
{
    std::uint8_t* row = bitmap.PixelArea() + std::size_t(y) * std::size_t(bitmap.Stride());
    if (!fourBits) {
        row[x] = index;
        return;
    }
    const int shift = x % 2 == 0 ? 4 : 0;
    std::uint8_t& byte = row[x / 2];
    byte = std::uint8_t((byte & ~(0x0F << shift)) | index << shift);
}

}  // namespace

// Each code is two bytes: a count and a value. A count above 0 repeats the value's index (or its
// two nibbles, alternately). A count of 0 is an escape: 0 ends the row, 1 the picture, 2 moves the
// position right and on by as many columns and rows as the next two bytes say; 3 and more are that
// many indices taken as they stand, padded to an even number of bytes.
SError DecodeRunLengths(SBitmap* bitmap, std::int32_t width, std::int32_t height, bool fourBits,
                        const std::uint8_t* at, const std::uint8_t* end)
{
    const SError cut = ErrorFromIdentifier("taillostdata"), outside = ErrorFromIdentifier("data");
    std::int64_t x = 0, y = 0;  // y counts rows in the file's order
    while (true) {
        if (end - at < 2)
            return cut;
        const std::uint8_t count = at[0], value = at[1];
        at += 2;
        if (count != 0) {
            if (y >= height || count > width - x)
                return outside;
            for (std::int64_t i = 0; bitmap != nullptr && i < count; ++i)
                Put(*bitmap, x + i, y, IndexAt(value, i, fourBits), fourBits);
            x += count;
        } else if (value == 0) {
            x = 0;
            if (++y > height)
                return outside;
        } else if (value == 1) {
            return 0;
        } else if (value == 2) {
            if (end - at < 2)
                return cut;
            x += at[0];
            y += at[1];
            at += 2;
            if (x > width || y > height)
                return outside;
        } else {
            const std::int64_t bytes = fourBits ? (value + 1) / 2 : value;
            if (end - at < bytes + bytes % 2)
                return cut;
            if (y >= height || value > width - x)
                return outside;
            for (std::int64_t i = 0; bitmap != nullptr && i < value; ++i)
                Put(*bitmap, x + i, y, IndexAt(at[fourBits ? i / 2 : i], i, fourBits), fourBits);
            x += value;
            at += bytes + bytes % 2;
        }
    }
}

}  // namespace ulib::bmp
