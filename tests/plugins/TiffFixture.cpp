// The TIFF plug-in test helpers: loading, writing files with libtiff, and reading the blocks back.
#include "TiffFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <memory>
#include <tiffio.h>
#include <unistd.h>

LoadedPlugin::LoadedPlugin()
{
    library_ = ::dlopen(HUEDRANE_TIFF_SPI, RTLD_NOW | RTLD_LOCAL);
    if (!library_) {
        ADD_FAILURE() << "dlopen " << HUEDRANE_TIFF_SPI << ": " << ::dlerror();
        return;
    }
    getPluginInfo = reinterpret_cast<SpiGetPluginInfo>(::dlsym(library_, "GetPluginInfo"));
    isSupported = reinterpret_cast<SpiIsSupported>(::dlsym(library_, "IsSupported"));
    getPictureInfo = reinterpret_cast<SpiGetPictureInfo>(::dlsym(library_, "GetPictureInfo"));
    getPicture = reinterpret_cast<SpiGetPicture>(::dlsym(library_, "GetPicture"));
}

LoadedPlugin::~LoadedPlugin()
{
    if (library_)
        ::dlclose(library_);
}

std::string LoadedPlugin::Info(int number) const
{
    char buffer[256];
    std::memset(buffer, 'x', sizeof buffer);
    const int length = getPluginInfo(number, buffer, sizeof buffer);
    if (length < 0 || length >= int(sizeof buffer))
        return "<bad length " + std::to_string(length) + ">";
    return std::string(buffer, std::size_t(length));
}

namespace {

void WriteTiles(TIFF* tiff, const TiffRecipe& recipe, const Bytes& samples, std::size_t rowBytes)
{
    const std::size_t pixelBytes = std::size_t(recipe.bits) * recipe.samples / 8;
    Bytes tile(std::size_t(TIFFTileSize(tiff)));
    for (std::uint32_t top = 0; top < recipe.height; top += recipe.tileHeight)
        for (std::uint32_t left = 0; left < recipe.width; left += recipe.tileWidth) {
            std::fill(tile.begin(), tile.end(), 0xA5);  // beyond the picture: junk the reader must drop
            for (std::uint32_t r = 0; r < recipe.tileHeight && top + r < recipe.height; ++r) {
                const std::size_t columns = std::min(recipe.tileWidth, recipe.width - left);
                std::memcpy(tile.data() + r * recipe.tileWidth * pixelBytes,
                            samples.data() + (top + r) * rowBytes + left * pixelBytes, columns * pixelBytes);
            }
            ASSERT_GE(TIFFWriteTile(tiff, tile.data(), left, top, 0, 0), 0);
        }
}

void SetFields(TIFF* tiff, const TiffRecipe& recipe)
{
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, recipe.width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, recipe.height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, recipe.bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, recipe.samples);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, recipe.photometric);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, recipe.compression);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, recipe.orientation);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    if (!recipe.extraSamples.empty())
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, std::uint16_t(recipe.extraSamples.size()), recipe.extraSamples.data());
    if (!recipe.colourMap.empty()) {
        const std::size_t n = recipe.colourMap.size() / 3;
        TIFFSetField(tiff, TIFFTAG_COLORMAP, recipe.colourMap.data(), recipe.colourMap.data() + n, recipe.colourMap.data() + 2 * n);
    }
    if (recipe.resolution > 0) {
        TIFFSetField(tiff, TIFFTAG_XRESOLUTION, recipe.resolution);
        TIFFSetField(tiff, TIFFTAG_YRESOLUTION, recipe.resolution);
        TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, recipe.resolutionUnit);
    }
    if (recipe.compression == COMPRESSION_JPEG) {
        TIFFSetField(tiff, TIFFTAG_JPEGQUALITY, 95);
        if (recipe.jpegRgbInput)
            TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    }
    if (recipe.tileWidth) {
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, recipe.tileWidth);
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, recipe.tileHeight);
    } else {
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, recipe.rowsPerStrip ? recipe.rowsPerStrip : TIFFDefaultStripSize(tiff, 0));
    }
}

}  // namespace

TiffRecipe Recipe(std::uint32_t width, std::uint32_t height, std::uint16_t bits, std::uint16_t samples,
                  std::uint16_t photometric, std::uint16_t compression)
{
    TiffRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.bits = bits;
    recipe.samples = samples;
    recipe.photometric = photometric;
    recipe.compression = compression;
    recipe.rowsPerStrip = 3;
    return recipe;
}

Bytes WriteTiff(const TiffRecipe& recipe, const Bytes& samples)
{
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("huedrane-tiff-" + std::to_string(::getpid()) + ".tif");
    const std::string mode = std::string("w") + (recipe.bigEndian ? "b" : "l") + (recipe.bigTiff ? "8" : "");
    TIFF* tiff = TIFFOpen(path.c_str(), mode.c_str());
    if (!tiff) {
        ADD_FAILURE() << "TIFFOpen " << path;
        return {};
    }
    SetFields(tiff, recipe);
    const std::size_t rowBytes = (std::size_t(recipe.width) * recipe.bits * recipe.samples + 7) / 8;
    EXPECT_EQ(samples.size(), rowBytes * recipe.height) << "sample bytes of the layout";
    if (recipe.tileWidth) {
        WriteTiles(tiff, recipe, samples, rowBytes);
    } else {
        Bytes row(rowBytes);
        for (std::uint32_t y = 0; y < recipe.height; ++y) {
            std::memcpy(row.data(), samples.data() + y * rowBytes, rowBytes);
            EXPECT_EQ(TIFFWriteScanline(tiff, row.data(), y, 0), 1) << "row " << y;
        }
    }
    TIFFClose(tiff);
    Bytes bytes = ulib::test::ReadFileBytes(path);
    std::filesystem::remove(path);
    return bytes;
}

namespace {

std::uint32_t Get32(const std::uint8_t* at) { return at[0] | at[1] << 8 | at[2] << 16 | std::uint32_t(at[3]) << 24; }

}  // namespace

std::uint32_t Picture::Pixel(std::int32_t x, std::int32_t y) const
{
    const std::uint8_t* row = Row(y);
    switch (bits) {
    case 1:
        return row[x / 8] >> (7 - x % 8) & 1;
    case 8:
        return row[x];
    case 24:
        return std::uint32_t(row[3 * x + 2]) << 16 | row[3 * x + 1] << 8 | row[3 * x];
    default:
        return std::uint32_t(row[4 * x + 3]) << 24 | std::uint32_t(row[4 * x + 2]) << 16 | row[4 * x + 1] << 8 | row[4 * x];
    }
}

Picture Decode(const LoadedPlugin& plugin, const Bytes& bytes, SpiProgress progress, intptr_t data)
{
    Picture picture;
    auto exact = std::make_unique<char[]>(bytes.size() ? bytes.size() : 1);
    if (!bytes.empty())
        std::memcpy(exact.get(), bytes.data(), bytes.size());
    SpiHandle info = reinterpret_cast<SpiHandle>(1);  // must come back null on failure
    SpiHandle pixels = reinterpret_cast<SpiHandle>(1);
    picture.code = plugin.getPicture(exact.get(), long(bytes.size()), SPI_INPUT_MEMORY, &info, &pixels, progress, data);
    if (picture.code != SPI_SUCCESS) {
        EXPECT_EQ(info, nullptr);
        EXPECT_EQ(pixels, nullptr);
        return picture;
    }
    const auto* header = static_cast<const std::uint8_t*>(SpiData(info));
    const std::size_t headerSize = SpiSize(info) >= 40 ? Get32(header) : 0;
    if ((headerSize != 40 && headerSize != 124) || SpiSize(info) < headerSize) {
        ADD_FAILURE() << "information block of " << SpiSize(info) << " bytes";
        picture.code = -1;
    } else {
        // The V5 header says the fourth byte is alpha, and nothing else.
        picture.alpha = headerSize == 124;
        const std::uint32_t compression = Get32(header + 16);
        EXPECT_EQ(compression, picture.alpha ? 3u : 0u);
        if (picture.alpha) {
            EXPECT_EQ(header[14], 32);
            EXPECT_EQ(Get32(header + 40), 0x00FF0000u);
            EXPECT_EQ(Get32(header + 44), 0x0000FF00u);
            EXPECT_EQ(Get32(header + 48), 0x000000FFu);
            EXPECT_EQ(Get32(header + 52), 0xFF000000u);
        }
        picture.width = std::int32_t(Get32(header + 4));
        picture.height = std::int32_t(Get32(header + 8));
        picture.bits = header[14] | header[15] << 8;
        picture.pixelsPerMetreX = std::int32_t(Get32(header + 24));
        picture.pixelsPerMetreY = std::int32_t(Get32(header + 28));
        const std::size_t entries = picture.bits <= 8 ? std::size_t(1) << picture.bits : 0;
        EXPECT_EQ(SpiSize(info), headerSize + 4 * entries) << "colour table of " << entries;
        for (std::size_t i = 0; i < entries && headerSize + 4 * i + 4 <= SpiSize(info); ++i)
            picture.palette.push_back(Get32(header + headerSize + 4 * i));
        picture.stride = (std::size_t(picture.width) * std::size_t(picture.bits) + 31) / 32 * 4;
        const std::size_t area = picture.stride * std::size_t(picture.height);
        EXPECT_EQ(SpiSize(pixels), area);
        const auto* rows = static_cast<const std::uint8_t*>(SpiData(pixels));
        picture.pixels.assign(rows, rows + std::min(area, SpiSize(pixels)));
        picture.pixels.resize(area);
    }
    SpiFree(info);
    SpiFree(pixels);
    return picture;
}
