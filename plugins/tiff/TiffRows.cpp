// The row loops. Each works on whole rows with no call per pixel, so a large 8-bit or 24-bit scan
// costs little more than libtiff's decoding of it.
#include "TiffRows.h"

#include <cstring>
#include <utility>

namespace tiffplugin {

namespace {

std::uint16_t Sample16(const std::uint8_t* at)
{
    std::uint16_t value;
    std::memcpy(&value, at, sizeof value);  // libtiff has already put the samples in host order
    return value;
}

std::uint8_t Reduce16(std::uint32_t value) { return std::uint8_t((value + 128) / 257); }

// A premultiplied colour made straight, rounded to the nearest level. Put back over white paper as
// (s*a + 255*(255-a) + 127) / 255, it gives exactly c + 255 - a, the premultiplied colour's own
// rule, for every c <= a: s*a differs from 255*c by at most a/2 <= 127 either way, which the
// division by 255 rounds away. Colours above their alpha (not premultiplied data) become 255.
std::uint8_t Unassociate(std::uint32_t colour, std::uint32_t alpha)
{
    if (alpha == 0)
        return 0;
    const std::uint32_t value = (colour * 255 + alpha / 2) / alpha;
    return std::uint8_t(value > 255 ? 255 : value);
}

void CopyBits(const Layout& layout, const std::uint8_t* source, std::uint8_t* target, std::uint32_t count)
{
    const std::uint64_t bits = std::uint64_t(count) * layout.outputBits;
    const std::size_t bytes = std::size_t((bits + 7) / 8);
    if (source != target)
        std::memmove(target, source, bytes);
    if (bits % 8 != 0)
        target[bytes - 1] &= std::uint8_t(0xFF00 >> (bits % 8));
}

void Unpack(const Layout& layout, const std::uint8_t* source, std::uint8_t* target, std::uint32_t count)
{
    const unsigned bits = layout.bitsPerSample;
    const unsigned perByte = 8 / bits;
    const unsigned mask = (1u << bits) - 1;
    for (std::uint32_t x = 0; x < count; ++x) {
        const unsigned shift = 8 - bits * (x % perByte + 1);
        target[x] = std::uint8_t(source[x / perByte] >> shift & mask);
    }
}

void Grey16(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count)
{
    for (std::uint32_t x = 0; x < count; ++x)
        target[x] = Reduce16(Sample16(source + 2 * std::size_t(x)));
}

void Rgb8(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count, unsigned step)
{
    if (source == target && step == 3) {
        // The common case, read straight into the output row: only red and blue change places.
        for (std::uint32_t x = 0; x < count; ++x, target += 3)
            std::swap(target[0], target[2]);
        return;
    }
    for (std::uint32_t x = 0; x < count; ++x, source += step, target += 3) {
        const std::uint8_t red = source[0];
        const std::uint8_t green = source[1];
        const std::uint8_t blue = source[2];
        target[0] = blue;
        target[1] = green;
        target[2] = red;
    }
}

void Rgb16(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count, unsigned step)
{
    for (std::uint32_t x = 0; x < count; ++x, source += step, target += 3) {
        const std::uint8_t red = Reduce16(Sample16(source));
        const std::uint8_t green = Reduce16(Sample16(source + 2));
        target[0] = Reduce16(Sample16(source + 4));
        target[1] = green;
        target[2] = red;
    }
}

// One RGBA row; Sample reads one 8- or 16-bit sample as an 8-bit value (sample index 0..3).
template <typename Sample>
void Rgba(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count, unsigned step, bool associated,
          Sample sample)
{
    for (std::uint32_t x = 0; x < count; ++x, source += step, target += 4) {
        std::uint8_t red = sample(source, 0);
        std::uint8_t green = sample(source, 1);
        std::uint8_t blue = sample(source, 2);
        const std::uint8_t alpha = sample(source, 3);
        if (associated) {
            red = Unassociate(red, alpha);
            green = Unassociate(green, alpha);
            blue = Unassociate(blue, alpha);
        }
        target[0] = blue;
        target[1] = green;
        target[2] = red;
        target[3] = alpha;
    }
}

std::uint8_t Sample8(const std::uint8_t* pixel, int index) { return pixel[index]; }
std::uint8_t Sample16To8(const std::uint8_t* pixel, int index) { return Reduce16(Sample16(pixel + 2 * index)); }
std::uint8_t HighByte16(const std::uint8_t* pixel, int index) { return std::uint8_t(Sample16(pixel + 2 * index) >> 8); }

// One grey and alpha row, as libtiff's reader renders 8-bit ones: grey inverted first when white is
// 0, then made straight.
template <typename Sample>
void GreyAlpha(const Layout& layout, const std::uint8_t* source, std::uint8_t* target, std::uint32_t count, unsigned step,
               Sample sample)
{
    for (std::uint32_t x = 0; x < count; ++x, source += step, target += 4) {
        std::uint8_t grey = sample(source, 0);
        const std::uint8_t alpha = sample(source, 1);
        if (layout.minIsWhite)
            grey = std::uint8_t(255 - grey);
        if (layout.associatedAlpha)
            grey = Unassociate(grey, alpha);
        target[0] = target[1] = target[2] = grey;
        target[3] = alpha;
    }
}

}  // namespace

bool ConvertsInPlace(const Layout& layout)
{
    // Grey and alpha doubles in size.
    return layout.kind == RowKind::Copy ||
           (layout.bitsPerSample == 8 && layout.kind != RowKind::Unpack && layout.kind != RowKind::GreyAlpha);
}

void ConvertRow(const Layout& layout, const std::uint8_t* source, std::uint8_t* target, std::uint32_t count)
{
    const unsigned step = unsigned(layout.samplesPerPixel) * layout.bitsPerSample / 8;
    switch (layout.kind) {
    case RowKind::Copy:
        CopyBits(layout, source, target, count);
        break;
    case RowKind::Unpack:
        Unpack(layout, source, target, count);
        break;
    case RowKind::Grey16:
        Grey16(source, target, count);
        break;
    case RowKind::Rgb8:
        Rgb8(source, target, count, step);
        break;
    case RowKind::Rgb16:
        Rgb16(source, target, count, step);
        break;
    case RowKind::Rgba8:
        Rgba(source, target, count, step, layout.associatedAlpha, Sample8);
        break;
    case RowKind::Rgba16:
        Rgba(source, target, count, step, layout.associatedAlpha, Sample16To8);
        break;
    case RowKind::GreyAlpha:
        if (layout.bitsPerSample == 8)
            GreyAlpha(layout, source, target, count, step, Sample8);
        else
            GreyAlpha(layout, source, target, count, step, HighByte16);
        break;
    case RowKind::RgbaImage:
        break;
    }
}

void RgbaRasterToBgra(std::uint8_t* pixels, std::uint64_t count, bool premultiplied)
{
    for (std::uint64_t i = 0; i < count; ++i, pixels += 4) {
        std::uint8_t red = pixels[0];
        std::uint8_t blue = pixels[2];
        if (premultiplied) {
            const std::uint8_t alpha = pixels[3];
            red = Unassociate(red, alpha);
            pixels[1] = Unassociate(pixels[1], alpha);
            blue = Unassociate(blue, alpha);
        }
        pixels[0] = blue;
        pixels[2] = red;
    }
}

}  // namespace tiffplugin
