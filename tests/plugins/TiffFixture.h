// Helpers for the TIFF plug-in tests: the plug-in loaded with dlopen, TIFF files written by libtiff
// from a small description, and the picture the plug-in hands back, read as the program reads it.
#pragma once

#include "FuzzSeeds.h"
#include "SusiePlugin.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using ulib::test::Bytes;

// The built tiff.spi and its entry points; the library is closed again at the end.
class LoadedPlugin
{
public:
    LoadedPlugin();
    ~LoadedPlugin();
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    bool Loaded() const { return getPicture != nullptr; }
    std::string Info(int number) const;

    SpiGetPluginInfo getPluginInfo = nullptr;
    SpiIsSupported isSupported = nullptr;
    SpiGetPictureInfo getPictureInfo = nullptr;
    SpiGetPicture getPicture = nullptr;

private:
    void* library_ = nullptr;
};

// The fixture of the plug-in tests: every test starts with the plug-in loaded.
class LoadedPluginTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(plugin.Loaded()); }
    LoadedPlugin plugin;
};

// A TIFF to write. Samples are given row by row from the top, packed as stored (host byte order
// for 16-bit samples); the writer cuts them into strips or tiles.
struct TiffRecipe
{
    std::uint32_t width = 1;
    std::uint32_t height = 1;
    std::uint16_t bits = 8;
    std::uint16_t samples = 1;
    std::uint16_t photometric = 1;  // PHOTOMETRIC_MINISBLACK
    std::uint16_t compression = 1;  // COMPRESSION_NONE
    std::uint16_t orientation = 1;  // ORIENTATION_TOPLEFT
    std::uint32_t rowsPerStrip = 0;  // 0: libtiff's default
    std::uint32_t tileWidth = 0;     // non-zero: tiled
    std::uint32_t tileHeight = 0;
    std::vector<std::uint16_t> extraSamples;
    std::vector<std::uint16_t> colourMap;  // red, then green, then blue entries
    float resolution = 0;                  // both directions; 0: no tags
    std::uint16_t resolutionUnit = 2;      // RESUNIT_INCH
    bool bigEndian = false;
    bool bigTiff = false;
    bool jpegRgbInput = false;  // JPEG YCbCr: samples are RGB and libtiff converts
};

// A recipe of the given layout in strips of 3 rows, top-down, uncompressed unless told.
TiffRecipe Recipe(std::uint32_t width, std::uint32_t height, std::uint16_t bits, std::uint16_t samples,
                  std::uint16_t photometric, std::uint16_t compression = 1);

Bytes WriteTiff(const TiffRecipe& recipe, const Bytes& samples);

// What GetPicture gave: the code, the information header's fields, the colour table and rows.
struct Picture
{
    int code = -1;
    std::int32_t width = 0;
    std::int32_t height = 0;
    int bits = 0;
    std::int32_t pixelsPerMetreX = 0;
    std::int32_t pixelsPerMetreY = 0;
    bool alpha = false;                  // a V5 header: the fourth byte is straight alpha
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB
    Bytes pixels;                        // as returned: bottom-up, padded rows
    std::size_t stride = 0;

    // The bytes of picture row y counted from the top (the program's row y).
    const std::uint8_t* Row(std::int32_t y) const { return pixels.data() + (std::size_t(height) - 1 - std::size_t(y)) * stride; }
    // 1-bit and 8-bit: the index; 24-bit: 0xRRGGBB; 32-bit: 0xAARRGGBB.
    std::uint32_t Pixel(std::int32_t x, std::int32_t y) const;
};

// Calls GetPicture on exactly these bytes (a copy of its own size, so the sanitizers see any read
// past the end). A failed call must leave both handles null; a successful one checks the blocks'
// sizes against the header before reading them.
Picture Decode(const LoadedPlugin& plugin, const Bytes& bytes, SpiProgress progress = nullptr, intptr_t data = 0);
