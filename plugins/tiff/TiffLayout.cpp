// Choosing the output of a TIFF picture. The common scanner layouts (bilevel, grey, palette, RGB,
// RGB with alpha, stored top-down with interleaved samples) get a row conversion of their own;
// every other layout libtiff can render goes through its RGBA reader.
#include "TiffLayout.h"

#include <cmath>
#include <limits>

namespace tiffplugin {

namespace {

constexpr std::uint32_t Entry(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return std::uint32_t(blue) | std::uint32_t(green) << 8 | std::uint32_t(red) << 16;
}

std::uint8_t Reduce16(std::uint32_t value) { return std::uint8_t((value + 128) / 257); }

// Grey levels of a bits-deep sample, darkest first unless the picture stores white as 0.
void GreyPalette(Layout& layout, std::uint16_t bits, bool minIsWhite)
{
    const std::uint32_t levels = bits >= 8 ? 256 : 1u << bits;
    for (std::uint32_t i = 0; i < levels; ++i) {
        std::uint8_t grey = std::uint8_t(i * 255 / (levels - 1));
        if (minIsWhite)
            grey = std::uint8_t(255 - grey);
        layout.palette[i] = Entry(grey, grey, grey);
    }
}

// The colour map holds 16-bit intensities; some writers store 8-bit ones instead, which shows as
// no entry above 255 (the same test libtiff's own reader makes).
bool CopyColourMap(TIFF* tiff, Layout& layout, std::uint16_t bits)
{
    std::uint16_t* red = nullptr;
    std::uint16_t* green = nullptr;
    std::uint16_t* blue = nullptr;
    if (!TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue)
        return false;
    const std::uint32_t count = 1u << bits;
    bool eightBit = true;
    for (std::uint32_t i = 0; i < count; ++i)
        eightBit = eightBit && red[i] < 256 && green[i] < 256 && blue[i] < 256;
    for (std::uint32_t i = 0; i < count; ++i)
        layout.palette[i] = eightBit ? Entry(std::uint8_t(red[i]), std::uint8_t(green[i]), std::uint8_t(blue[i]))
                                     : Entry(Reduce16(red[i]), Reduce16(green[i]), Reduce16(blue[i]));
    return true;
}

std::int32_t PixelsPerMetre(float resolution, std::uint16_t unit)
{
    double perMetre = 0;
    if (unit == RESUNIT_INCH)
        perMetre = double(resolution) / 0.0254;
    else if (unit == RESUNIT_CENTIMETER)
        perMetre = double(resolution) * 100.0;
    if (!std::isfinite(perMetre) || perMetre <= 0 || perMetre > std::numeric_limits<std::int32_t>::max())
        return 0;
    return std::int32_t(std::lround(perMetre));
}

void ReadResolutions(TIFF* tiff, Layout& layout)
{
    float x = 0;
    float y = 0;
    std::uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &x))
        layout.pixelsPerMetreX = PixelsPerMetre(x, unit);
    if (TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &y))
        layout.pixelsPerMetreY = PixelsPerMetre(y, unit);
}

// Grey and palette pictures: one sample per pixel.
void ChooseSingleSample(TIFF* tiff, Layout& layout, std::uint16_t photometric, bool& broken)
{
    const std::uint16_t bits = layout.bitsPerSample;
    if (layout.samplesPerPixel != 1 || (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16))
        return;
    if (photometric == PHOTOMETRIC_PALETTE) {
        if (bits == 16)
            return;
        if (!CopyColourMap(tiff, layout, bits)) {
            broken = true;
            return;
        }
    } else {
        GreyPalette(layout, bits, photometric == PHOTOMETRIC_MINISWHITE);
    }
    layout.kind = bits == 1 || bits == 8 ? RowKind::Copy : bits == 16 ? RowKind::Grey16 : RowKind::Unpack;
    layout.outputBits = bits == 1 ? 1 : 8;
    layout.paletteCount = bits == 1 ? 2 : 256;
}

// Whether the first extra sample is alpha, and whether it is associated (colours premultiplied).
bool FirstExtraIsAlpha(TIFF* tiff, bool& associated)
{
    std::uint16_t extraCount = 0;
    std::uint16_t* extraTypes = nullptr;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extraTypes);
    if (extraCount == 0 || !extraTypes)
        return false;
    associated = extraTypes[0] == EXTRASAMPLE_ASSOCALPHA;
    return associated || extraTypes[0] == EXTRASAMPLE_UNASSALPHA;
}

// Grey with an alpha sample. libtiff's reader keeps the alpha of 8-bit samples only; both depths
// come here, 16-bit grey from its high byte as that reader takes it.
void ChooseGreyAlpha(TIFF* tiff, Layout& layout, std::uint16_t photometric)
{
    const std::uint16_t bits = layout.bitsPerSample;
    if (photometric == PHOTOMETRIC_PALETTE || layout.samplesPerPixel != 2 || (bits != 8 && bits != 16) ||
        !FirstExtraIsAlpha(tiff, layout.associatedAlpha))
        return;
    layout.kind = RowKind::GreyAlpha;
    layout.minIsWhite = photometric == PHOTOMETRIC_MINISWHITE;
    layout.alpha = true;
    layout.outputBits = 32;
}

// RGB pictures, with alpha when the first extra sample says so.
void ChooseRgb(TIFF* tiff, Layout& layout)
{
    const std::uint16_t bits = layout.bitsPerSample;
    if (layout.samplesPerPixel < 3 || (bits != 8 && bits != 16))
        return;
    std::uint16_t extraCount = 0;
    std::uint16_t* extraTypes = nullptr;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extraTypes);
    bool alpha = false;
    if (layout.samplesPerPixel > 3 && extraCount > 0 && extraTypes) {
        alpha = extraTypes[0] == EXTRASAMPLE_ASSOCALPHA || extraTypes[0] == EXTRASAMPLE_UNASSALPHA;
        layout.associatedAlpha = extraTypes[0] == EXTRASAMPLE_ASSOCALPHA;
    } else if (layout.samplesPerPixel == 4 && extraCount == 0) {
        // Four samples without the tag: taken as premultiplied alpha, as libtiff's reader does.
        alpha = true;
        layout.associatedAlpha = true;
    }
    if (alpha)
        layout.kind = bits == 8 ? RowKind::Rgba8 : RowKind::Rgba16;
    else
        layout.kind = bits == 8 ? RowKind::Rgb8 : RowKind::Rgb16;
    layout.outputBits = alpha ? 32 : 24;
    layout.alpha = alpha;
}

// Whether the rows of this picture can be converted on their own: unsigned samples, top-down rows
// from the left, interleaved samples, and tiles that start on whole bytes.
bool RowsConvertible(TIFF* tiff, const Layout& layout)
{
    std::uint16_t sampleFormat = SAMPLEFORMAT_UINT;
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &sampleFormat);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &orientation);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    if (sampleFormat != SAMPLEFORMAT_UINT || orientation != ORIENTATION_TOPLEFT || layout.samplesPerPixel > 8)
        return false;
    if (planar != PLANARCONFIG_CONTIG && layout.samplesPerPixel > 1)
        return false;
    return !layout.tiled || (std::uint64_t(layout.tileWidth) * layout.bitsPerSample) % 8 == 0;
}

LayoutResult ReadGeometry(TIFF* tiff, std::uint64_t maxPixels, Layout& layout)
{
    if (!TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &layout.width) || !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &layout.height))
        return LayoutResult::Broken;
    if (layout.width == 0 || layout.height == 0)
        return LayoutResult::Broken;
    if (std::uint64_t(layout.width) * layout.height > maxPixels)
        return LayoutResult::TooLarge;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &layout.bitsPerSample);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &layout.samplesPerPixel);
    layout.tiled = TIFFIsTiled(tiff) != 0;
    if (layout.tiled) {
        if (!TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &layout.tileWidth) ||
            !TIFFGetField(tiff, TIFFTAG_TILELENGTH, &layout.tileHeight) || layout.tileWidth == 0 || layout.tileHeight == 0)
            return LayoutResult::Broken;
    } else {
        std::uint32_t rows = 0;
        TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rows);
        layout.rowsPerStrip = rows == 0 || rows > layout.height ? layout.height : rows;
    }
    return LayoutResult::Ok;
}

}  // namespace

LayoutResult ReadLayout(TIFF* tiff, std::uint64_t maxPixels, Layout& layout)
{
    layout = Layout();
    const LayoutResult geometry = ReadGeometry(tiff, maxPixels, layout);
    if (geometry != LayoutResult::Ok)
        return geometry;
    ReadResolutions(tiff, layout);

    std::uint16_t photometric = 0;
    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric))
        photometric = layout.samplesPerPixel >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISWHITE;
    bool broken = false;
    if (RowsConvertible(tiff, layout)) {
        if (photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK ||
            photometric == PHOTOMETRIC_PALETTE) {
            if (layout.samplesPerPixel == 2)
                ChooseGreyAlpha(tiff, layout, photometric);
            else
                ChooseSingleSample(tiff, layout, photometric, broken);
        } else if (photometric == PHOTOMETRIC_RGB) {
            ChooseRgb(tiff, layout);
        } else if (photometric == PHOTOMETRIC_YCBCR && compression == COMPRESSION_JPEG && layout.samplesPerPixel == 3 &&
                   layout.bitsPerSample == 8 && TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB)) {
            // The JPEG codec converts to RGB itself, upsampling the colour as it goes.
            ChooseRgb(tiff, layout);
        }
    }
    if (broken)
        return LayoutResult::Broken;
    if (layout.kind == RowKind::RgbaImage) {
        char message[1024] = {};
        if (!TIFFRGBAImageOK(tiff, message))
            return LayoutResult::Unsupported;
        layout.outputBits = 32;
        layout.paletteCount = 0;
    }
    layout.stride = (std::uint64_t(layout.width) * layout.outputBits + 31) / 32 * 4;
    return LayoutResult::Ok;
}

}  // namespace tiffplugin
