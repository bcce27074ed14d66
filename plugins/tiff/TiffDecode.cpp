// Decoding a TIFF picture into plug-in blocks. Three roads: rows read one at a time straight into
// the output (strips), tiles read into one tile buffer and spread over the output rows, and
// libtiff's RGBA reader for the layouts that have no row conversion here. Output rows are bottom-up,
// so stored row y lands in output row height - 1 - y.
#include "TiffDecode.h"

#include "TiffLayout.h"
#include "TiffMemoryStream.h"
#include "TiffRows.h"

#include <algorithm>
#include <memory>
#include <new>

namespace tiffplugin {

namespace {

// Buffers of our own (a row or a tile) are capped like libtiff's.
constexpr std::uint64_t MaxWorkBuffer = std::uint64_t(1) << 30;
// Rows between two progress reports when rows are read one at a time.
constexpr std::uint32_t ProgressBand = 64;

struct TiffCloser
{
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffPointer = std::unique_ptr<TIFF, TiffCloser>;

// Frees its block unless the block was handed on.
struct BlockOwner
{
    explicit BlockOwner(SpiHandle owned) : block(owned) {}
    BlockOwner(const BlockOwner&) = delete;
    BlockOwner& operator=(const BlockOwner&) = delete;
    ~BlockOwner() { SpiFree(block); }
    SpiHandle block;
    SpiHandle Release()
    {
        SpiHandle handed = block;
        block = nullptr;
        return handed;
    }
};

void Put16(std::uint8_t* at, std::uint32_t value)
{
    at[0] = std::uint8_t(value);
    at[1] = std::uint8_t(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value)
{
    Put16(at, value);
    Put16(at + 2, value >> 16);
}

constexpr std::uint32_t InfoHeaderSize = 40;
// A picture with alpha gets the V5 header, the standard way of saying that the fourth byte is alpha.
constexpr std::uint32_t AlphaHeaderSize = 124;
constexpr std::uint32_t BitFields = 3;
constexpr std::uint32_t SrgbColourSpace = 0x73524742;  // 'sRGB'
constexpr std::uint32_t IntentImages = 4;              // perceptual rendering

// The V5 header's fields past the 40 bytes: the B, G, R, A masks, the colour space and the intent
// (the calibration fields and the profile stay zero; the block arrives zeroed).
void PutAlphaFields(std::uint8_t* header)
{
    Put32(header + 40, 0x00FF0000);
    Put32(header + 44, 0x0000FF00);
    Put32(header + 48, 0x000000FF);
    Put32(header + 52, 0xFF000000);
    Put32(header + 56, SrgbColourSpace);
    Put32(header + 108, IntentImages);
}

// The packed BITMAPINFO, little-endian: the 40-byte header, or the V5 header for a picture with
// alpha, then paletteCount entries B, G, R, 0.
SpiHandle MakeInfo(const Layout& layout)
{
    const std::uint32_t headerSize = layout.alpha ? AlphaHeaderSize : InfoHeaderSize;
    SpiHandle block = SpiAlloc(headerSize + 4 * std::size_t(layout.paletteCount));
    if (!block)
        return nullptr;
    std::uint8_t* header = static_cast<std::uint8_t*>(SpiData(block));
    Put32(header + 0, headerSize);
    Put32(header + 4, layout.width);
    Put32(header + 8, layout.height);  // positive: rows bottom-up
    Put16(header + 12, 1);
    Put16(header + 14, layout.outputBits);
    Put32(header + 16, layout.alpha ? BitFields : 0);
    Put32(header + 20, std::uint32_t(layout.stride * layout.height));
    Put32(header + 24, std::uint32_t(layout.pixelsPerMetreX));
    Put32(header + 28, std::uint32_t(layout.pixelsPerMetreY));
    Put32(header + 32, layout.paletteCount);
    Put32(header + 36, 0);
    if (layout.alpha)
        PutAlphaFields(header);
    for (std::uint32_t i = 0; i < layout.paletteCount; ++i)
        Put32(header + headerSize + 4 * i, layout.palette[i]);
    return block;
}

class Progress
{
public:
    Progress(const DecodeRequest& request, std::uint32_t total) : request_(request), total_(total) {}
    // False when the progress function asks to stop.
    bool Report(std::uint32_t done) const
    {
        return !request_.progress || request_.progress(int(done), int(total_), request_.progressData) == 0;
    }

private:
    const DecodeRequest& request_;
    std::uint32_t total_;
};

std::uint8_t* OutputRow(const Layout& layout, std::uint8_t* pixels, std::uint32_t y)
{
    return pixels + (layout.height - 1 - y) * layout.stride;
}

// Strips: each row is decoded into its output row when the stored row fits there and converts in
// place, else into one scratch row.
int ReadStrips(TIFF* tiff, const Layout& layout, std::uint8_t* pixels, const Progress& progress)
{
    const std::uint64_t scanline = TIFFScanlineSize64(tiff);
    if (scanline == 0)
        return SPI_BAD_FORMAT;
    const bool direct = scanline <= layout.stride && ConvertsInPlace(layout);
    std::unique_ptr<std::uint8_t[]> scratch;
    if (!direct) {
        if (scanline > MaxWorkBuffer)
            return SPI_NO_MEMORY;
        scratch.reset(new (std::nothrow) std::uint8_t[std::size_t(scanline)]);
        if (!scratch)
            return SPI_NO_MEMORY;
    }
    for (std::uint32_t y = 0; y < layout.height; ++y) {
        std::uint8_t* row = OutputRow(layout, pixels, y);
        std::uint8_t* stored = direct ? row : scratch.get();
        if (TIFFReadScanline(tiff, stored, y, 0) < 0)
            return SPI_BAD_FORMAT;
        ConvertRow(layout, stored, row, layout.width);
        if (((y + 1) % ProgressBand == 0 || y + 1 == layout.height) && !progress.Report(y + 1))
            return SPI_ABORT;
    }
    return SPI_SUCCESS;
}

// Tiles: one row of tiles at a time, each tile decoded whole and its rows spread over the output.
int ReadTiles(TIFF* tiff, const Layout& layout, std::uint8_t* pixels, const Progress& progress)
{
    const std::uint64_t tileSize = TIFFTileSize64(tiff);
    const std::uint64_t tileRowSize = TIFFTileRowSize64(tiff);
    if (tileSize == 0 || tileRowSize == 0 || layout.tileHeight > tileSize / tileRowSize)
        return SPI_BAD_FORMAT;
    if (tileSize > MaxWorkBuffer)
        return SPI_NO_MEMORY;
    std::unique_ptr<std::uint8_t[]> tile(new (std::nothrow) std::uint8_t[std::size_t(tileSize)]);
    if (!tile)
        return SPI_NO_MEMORY;
    for (std::uint32_t top = 0; top < layout.height; top += std::min(layout.tileHeight, layout.height - top)) {
        const std::uint32_t rows = std::min(layout.tileHeight, layout.height - top);
        for (std::uint32_t left = 0; left < layout.width; left += layout.tileWidth) {
            const std::uint32_t columns = std::min(layout.tileWidth, layout.width - left);
            const tmsize_t read = TIFFReadEncodedTile(tiff, TIFFComputeTile(tiff, left, top, 0, 0), tile.get(), tmsize_t(tileSize));
            if (read < 0 || std::uint64_t(read) < tileRowSize * rows)
                return SPI_BAD_FORMAT;
            // Tile widths are whole bytes of output too: checked by ReadLayout for sub-byte samples.
            const std::uint64_t targetOffset = std::uint64_t(left) * layout.outputBits / 8;
            for (std::uint32_t r = 0; r < rows; ++r)
                ConvertRow(layout, tile.get() + r * tileRowSize, OutputRow(layout, pixels, top + r) + targetOffset, columns);
        }
        if (!progress.Report(top + rows))
            return SPI_ABORT;
    }
    return SPI_SUCCESS;
}

// Whether libtiff's reader fills a band of rows top-down in the picture (it then stores them
// bottom-up for us); pictures stored from the bottom come in the other order.
bool RgbaRowsFromTop(const TIFFRGBAImage& image)
{
    return image.orientation == ORIENTATION_TOPLEFT || image.orientation == ORIENTATION_TOPRIGHT ||
           image.orientation == ORIENTATION_LEFTTOP || image.orientation == ORIENTATION_RIGHTTOP;
}

// Everything else, through libtiff's RGBA reader. Bands are whole strips or tile rows, so that no
// strip is decoded twice. alpha is set when the reader takes an alpha sample; in the few layouts
// where it then drops it, every fourth byte is 255, which imports as an opaque picture.
int ReadRgba(TIFF* tiff, const Layout& layout, std::uint8_t* pixels, const Progress& progress, bool& alpha)
{
    char message[1024] = {};
    TIFFRGBAImage image;
    if (!TIFFRGBAImageBegin(&image, tiff, 1, message))
        return SPI_BAD_FORMAT;
    image.req_orientation = ORIENTATION_BOTLEFT;
    const bool fromTop = RgbaRowsFromTop(image);
    // libtiff premultiplies colour by unassociated alpha, except for grey pixels, which it passes
    // on as stored.
    const bool grey = image.photometric == PHOTOMETRIC_MINISBLACK || image.photometric == PHOTOMETRIC_MINISWHITE;
    const bool premultiplied = image.alpha == EXTRASAMPLE_ASSOCALPHA || (image.alpha == EXTRASAMPLE_UNASSALPHA && !grey);
    alpha = image.alpha == EXTRASAMPLE_ASSOCALPHA || image.alpha == EXTRASAMPLE_UNASSALPHA;
    const std::uint32_t unit = layout.tiled ? layout.tileHeight : layout.rowsPerStrip;
    const std::uint64_t units = (ProgressBand + unit - 1) / unit;
    const std::uint32_t band = std::uint32_t(std::min<std::uint64_t>(units * unit, layout.height));
    int result = SPI_SUCCESS;
    for (std::uint32_t top = 0; top < layout.height && result == SPI_SUCCESS; top += band) {
        const std::uint32_t rows = std::min(band, layout.height - top);
        const std::uint64_t firstRow = fromTop ? layout.height - top - rows : top;
        std::uint8_t* target = pixels + firstRow * layout.stride;
        image.row_offset = int(top);
        image.col_offset = 0;
        if (!TIFFRGBAImageGet(&image, reinterpret_cast<std::uint32_t*>(target), layout.width, rows)) {
            result = SPI_BAD_FORMAT;
            break;
        }
        RgbaRasterToBgra(target, std::uint64_t(layout.width) * rows, premultiplied);
        if (!progress.Report(top + rows))
            result = SPI_ABORT;
    }
    TIFFRGBAImageEnd(&image);
    return result;
}

}  // namespace

bool HasTiffSignature(const std::uint8_t* bytes)
{
    const bool little = bytes[0] == 'I' && bytes[1] == 'I' && bytes[3] == 0 && (bytes[2] == 42 || bytes[2] == 43);
    const bool big = bytes[0] == 'M' && bytes[1] == 'M' && bytes[2] == 0 && (bytes[3] == 42 || bytes[3] == 43);
    return little || big;
}

int DecodeTiff(const DecodeRequest& request, SpiHandle* info, SpiHandle* pixels)
{
    if (!info || !pixels)
        return SPI_OTHER_ERROR;
    *info = nullptr;
    *pixels = nullptr;
    if (!request.data || request.size < 8 || !HasTiffSignature(request.data))
        return SPI_NOT_SUPPORTED;
    MemoryStream stream{request.data, request.size, 0};
    TiffPointer tiff(OpenMemoryTiff(stream));
    if (!tiff)
        return SPI_BAD_FORMAT;
    std::unique_ptr<Layout> layout(new (std::nothrow) Layout);
    if (!layout)
        return SPI_NO_MEMORY;
    switch (ReadLayout(tiff.get(), request.maxPixels, *layout)) {
    case LayoutResult::Ok:
        break;
    case LayoutResult::Unsupported:
        return SPI_NOT_SUPPORTED;
    case LayoutResult::Broken:
        return SPI_BAD_FORMAT;
    case LayoutResult::TooLarge:
        return SPI_NO_MEMORY;
    }
    BlockOwner rows{SpiAlloc(std::size_t(layout->stride * layout->height))};
    if (!rows.block)
        return SPI_NO_MEMORY;
    const Progress progress(request, layout->height);
    if (!progress.Report(0))
        return SPI_ABORT;
    std::uint8_t* out = static_cast<std::uint8_t*>(SpiData(rows.block));
    const int result = layout->kind == RowKind::RgbaImage ? ReadRgba(tiff.get(), *layout, out, progress, layout->alpha)
                       : layout->tiled                   ? ReadTiles(tiff.get(), *layout, out, progress)
                                                         : ReadStrips(tiff.get(), *layout, out, progress);
    if (result != SPI_SUCCESS)
        return result;
    // Made last: libtiff's reader tells only while reading whether the picture has alpha.
    BlockOwner header{MakeInfo(*layout)};
    if (!header.block)
        return SPI_NO_MEMORY;
    *info = header.Release();
    *pixels = rows.Release();
    return SPI_SUCCESS;
}

}  // namespace tiffplugin
