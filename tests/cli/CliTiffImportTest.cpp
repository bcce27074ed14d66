// Scanner TIFFs through the converter with no configuration at all: a 1-bit min-is-white page, a
// 24-bit page and a page with a transparent background, imported in one batch on two workers,
// become documents whose trace layer holds the drawn square where it was drawn (not upside down).
#include "CliRunner.h"
#include "CliSettingsFolder.h"
#include "SCel.h"
#include "SDocumentFile.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace ulib;

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t Width = 40;
constexpr std::uint32_t Height = 30;

// The outline of a square in the picture's upper left part.
bool OnSquare(std::uint32_t x, std::uint32_t y)
{
    const bool inside = x >= 3 && x <= 20 && y >= 3 && y <= 12;
    return inside && (x == 3 || x == 20 || y == 3 || y == 12);
}

void Put16(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    bytes.push_back(std::uint8_t(value));
    bytes.push_back(std::uint8_t(value >> 8));
}

void Put32(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    Put16(bytes, value & 0xFFFF);
    Put16(bytes, value >> 16);
}

// An uncompressed little-endian TIFF of one strip. Tags are (tag, value) pairs written as LONGs;
// BitsPerSample goes as SHORTs after the directory when there are several samples. A fourth
// sample is unassociated alpha.
std::vector<std::uint8_t> Tiff(std::uint16_t bits, std::uint16_t samples, std::uint16_t photometric,
                               const std::vector<std::uint8_t>& strip)
{
    std::vector<std::array<std::uint32_t, 2>> tags = {{256, Width}, {257, Height}, {258, bits}, {259, 1}, {262, photometric},
                                                      {273, 0}, {277, samples}, {278, Height}, {279, std::uint32_t(strip.size())}};
    if (samples == 4)
        tags.push_back({338, 2});
    const std::uint32_t count = std::uint32_t(tags.size());
    const std::uint32_t extra = 8 + 2 + count * 12 + 4;  // the BitsPerSample values
    const std::uint32_t data = extra + 8;
    std::vector<std::uint8_t> bytes = {'I', 'I', 42, 0};
    Put32(bytes, 8);
    Put16(bytes, count);
    for (const auto& [tag, value] : tags) {
        Put16(bytes, tag);
        const bool external = tag == 258 && samples > 1;
        Put16(bytes, tag == 258 ? 3 : 4);
        Put32(bytes, external ? samples : 1);
        Put32(bytes, external ? extra : tag == 273 ? data : value);
    }
    Put32(bytes, 0);
    for (int i = 0; i < 4; ++i)
        Put16(bytes, bits);
    bytes.insert(bytes.end(), strip.begin(), strip.end());
    return bytes;
}

std::vector<std::uint8_t> BilevelPage()
{
    const std::uint32_t rowBytes = (Width + 7) / 8;
    std::vector<std::uint8_t> strip(rowBytes * Height, 0);
    for (std::uint32_t y = 0; y < Height; ++y)
        for (std::uint32_t x = 0; x < Width; ++x)
            if (OnSquare(x, y))
                strip[y * rowBytes + x / 8] |= std::uint8_t(0x80 >> x % 8);  // min-is-white: 1 is ink
    return Tiff(1, 1, 0, strip);
}

std::vector<std::uint8_t> ColourPage()
{
    std::vector<std::uint8_t> strip;
    for (std::uint32_t y = 0; y < Height; ++y)
        for (std::uint32_t x = 0; x < Width; ++x) {
            const std::uint8_t level = OnSquare(x, y) ? 25 : 250;
            strip.insert(strip.end(), {level, level, std::uint8_t(level - 5)});
        }
    return Tiff(8, 3, 2, strip);
}

// Line art from a drawing program: the square in near-black on a transparent background whose
// colour is black.
std::vector<std::uint8_t> TransparentPage()
{
    std::vector<std::uint8_t> strip;
    for (std::uint32_t y = 0; y < Height; ++y)
        for (std::uint32_t x = 0; x < Width; ++x) {
            const bool ink = OnSquare(x, y);
            strip.insert(strip.end(), {std::uint8_t(ink ? 25 : 0), std::uint8_t(ink ? 25 : 0), std::uint8_t(ink ? 20 : 0),
                                       std::uint8_t(ink ? 255 : 0)});
        }
    return Tiff(8, 4, 2, strip);
}

// An empty settings folder: no plug-in folder is registered anywhere.
class CliTiffImport : public CliSettingsFolder
{
protected:
    CliTiffImport() : CliSettingsFolder("huedrane-cli-tiff-") {}

    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        const std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }
};

TEST_F(CliTiffImport, ScannerPagesImportWithoutSetupTheRightWayUp)
{
    const std::string bilevel = Write("bilevel.tif", BilevelPage());
    const std::string colour = Write("colour.tiff", ColourPage());
    const std::string transparent = Write("transparent.tif", TransparentPage());  // on white paper
    const CliRun run = RunCli("import -j 2 " + bilevel + " " + colour + " " + transparent);
    ASSERT_EQ(run.status, 0) << run.out;
    for (const char* name : {"bilevel.hdq", "colour.hdq", "transparent.hdq"}) {
        SCel cel;
        ASSERT_EQ(LoadDocument(cel, SString((folder / name).string())), 0u) << name;
        ASSERT_EQ(cel.display.Dimensions(), (SPoint{std::int32_t(Width), std::int32_t(Height)})) << name;
        // The square's top edge became trace; the same place mirrored top to bottom stayed clear.
        EXPECT_NE(cel.trace.Row32(3)[10] & 0xFF, 0u) << name;
        EXPECT_EQ(cel.trace.Row32(Height - 1 - 3)[10] & 0xFF, 0u) << name;
        EXPECT_EQ(cel.trace.Row32(20)[30] & 0xFF, 0u) << name;
    }
}

TEST_F(CliTiffImport, ADamagedTiffFailsWithAnErrorAndLeavesNoDocument)
{
    std::vector<std::uint8_t> bytes = ColourPage();
    bytes.resize(bytes.size() / 2);  // the strip is cut in half
    const std::string cut = Write("cut.tif", bytes);
    const CliRun run = RunCli("import " + cut);
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_NE(run.out.find("(" + cut + ")"), std::string::npos) << run.out;
    // The plug-in knew the file: its verdict is reported, not "unsupported format".
    EXPECT_NE(run.out.find("bad_format"), std::string::npos) << run.out;
    EXPECT_FALSE(fs::exists(folder / "cut.hdq"));
}

}  // namespace
