// PNG and JPEG reading and writing: formats chosen per file kind, refusals, channel order, and the
// failure table's errors with an emptied bitmap.
#include "PictureFixture.h"
#include "RasterFixture.h"
#include "SErrorCause.h"
#include "SErrorRegistry.h"
#include "Sximage.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <sys/stat.h>

using namespace ulib;

namespace {

SError PngError() { return error_definitions::PngError().value; }
SError PngError2() { return error_definitions::PngError2().value; }
SError JpegError() { return error_definitions::JpegError().value; }

SError ReadBytes(SBitmap& image, const Bytes& bytes)
{
    return ReadImageBytes(image, bytes.data(), bytes.data() + bytes.size());
}

SBitmap Occupied()
{
    SBitmap image = Made(3, 3, 32);
    image.FillRect(SColor::Red);
    return image;
}

PngRecipe GreyPng(int depth, std::vector<Bytes> rows, std::uint32_t width)
{
    PngRecipe recipe;
    recipe.width = width;
    recipe.height = std::uint32_t(rows.size());
    recipe.colourType = PNG_COLOR_TYPE_GRAY;
    recipe.depth = depth;
    recipe.rows = std::move(rows);
    return recipe;
}

// The PNG with the size in its header changed (and the header's checksum made to hold again).
Bytes Resized(Bytes png, std::uint32_t width, std::uint32_t height)
{
    for (int i = 0; i < 4; ++i) {
        png[16 + std::size_t(i)] = std::uint8_t(width >> (24 - 8 * i));
        png[20 + std::size_t(i)] = std::uint8_t(height >> (24 - 8 * i));
    }
    const std::uint32_t crc = std::uint32_t(crc32(0, png.data() + 12, 17));  // type and fields
    for (int i = 0; i < 4; ++i)
        png[29 + std::size_t(i)] = std::uint8_t(crc >> (24 - 8 * i));
    return png;
}

// A picture of flat 8 x 8 blocks, so that JPEG keeps each block's colour closely.
SBitmap Blocks(std::int32_t format, const std::vector<SColor>& colours)
{
    SBitmap image = Made(8 * std::int32_t(colours.size()), 8, format);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        SRect block{std::int32_t(i) * 8, 0, std::int32_t(i + 1) * 8, 8};
        image.FillRect(colours[i], &block);
    }
    return image;
}

int Distance(SColor a, SColor b)
{
    return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

bool HasMarker(const Bytes& bytes, std::uint8_t marker)
{
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == marker)
            return true;
    return false;
}

}  // namespace

TEST(ReadPng, ColourTypesChooseTheFormat)
{
    PngRecipe rgb;
    rgb.width = 2;
    rgb.height = 1;
    rgb.rows = {{255, 0, 0, 1, 2, 3}};
    SBitmap image;
    ASSERT_EQ(ReadBytes(image, MakePng(rgb)), 0u);
    EXPECT_EQ(image.Format(), 24);
    EXPECT_EQ(image.GetColor(0, 0), SColor::Red);  // arrives in the bitmap's blue, green, red order
    EXPECT_EQ(image.GetColor(1, 0), SColor(1, 2, 3));

    PngRecipe rgba = rgb;
    rgba.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    rgba.rows = {{0, 0, 255, 255, 10, 20, 30, 0}};
    ASSERT_EQ(ReadBytes(image, MakePng(rgba)), 0u);
    EXPECT_EQ(image.Format(), 32);
    EXPECT_EQ(image.GetColor(0, 0), SColor::Blue);
    EXPECT_EQ(image.GetColor(1, 0), SColor(10, 20, 30, 255));

    // 16-bit channels keep their high bytes.
    PngRecipe deep = rgb;
    deep.depth = 16;
    deep.rows = {{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xFF, 0xFF, 0, 0, 0x80, 0x01}};
    ASSERT_EQ(ReadBytes(image, MakePng(deep)), 0u);
    EXPECT_EQ(image.Format(), 24);
    EXPECT_EQ(image.GetColor(0, 0), SColor(0x12, 0x56, 0x9A));
    EXPECT_EQ(image.GetColor(1, 0), SColor(0xFF, 0, 0x80));

    // Interlaced files give the same picture.
    PngRecipe plain;
    plain.width = 9;
    plain.height = 9;
    for (std::uint32_t y = 0; y < 9; ++y) {
        Bytes row;
        for (std::uint32_t x = 0; x < 27; ++x)
            row.push_back(std::uint8_t(x * 9 + y * 17));
        plain.rows.push_back(row);
    }
    PngRecipe interlaced = plain;
    interlaced.interlaced = true;
    SBitmap other;
    ASSERT_EQ(ReadBytes(image, MakePng(plain)), 0u);
    ASSERT_EQ(ReadBytes(other, MakePng(interlaced)), 0u);
    EXPECT_EQ(std::memcmp(image.PixelArea(), other.PixelArea(), image.PixelAreaSize()), 0);
}

TEST(ReadPng, GreyPicturesReadAsGrey)
{
    SBitmap image;
    ASSERT_EQ(ReadBytes(image, MakePng(GreyPng(8, {{0, 100, 255}}, 3))), 0u);
    EXPECT_EQ(image.Format(), -8);
    EXPECT_EQ(image.GetColor(1, 0), SColor(100, 100, 100));
    EXPECT_EQ(image.GetColor(2, 0), SColor::White);

    ASSERT_EQ(ReadBytes(image, MakePng(GreyPng(4, {{0x3F, 0x80}}, 3))), 0u);
    EXPECT_EQ(image.Format(), -4);
    EXPECT_EQ(image.GetColor(0, 0), SColor(51, 51, 51));
    EXPECT_EQ(image.GetColor(1, 0), SColor::White);
    EXPECT_EQ(image.GetColor(2, 0), SColor(136, 136, 136));

    ASSERT_EQ(ReadBytes(image, MakePng(GreyPng(1, {{0x40}}, 2))), 0u);
    EXPECT_EQ(image.Format(), -1);
    EXPECT_EQ(image.GetColor(0, 0), SColor::Black);
    EXPECT_EQ(image.GetColor(1, 0), SColor::White);
}

TEST(ReadPng, PaletteEntriesBeyondTheFilesAreBlack)
{
    PngRecipe recipe;
    recipe.width = 3;
    recipe.height = 1;
    recipe.colourType = PNG_COLOR_TYPE_PALETTE;
    recipe.depth = 4;
    recipe.paletteRgb = {10, 20, 30, 40, 50, 60};
    recipe.rows = {{0x01, 0x20}};
    SBitmap image = Made(3, 1, 4);
    image.SetPaletteEntry(5, SColor::Red);
    ASSERT_EQ(ReadBytes(image, MakePng(recipe)), 0u);
    EXPECT_EQ(image.Format(), 4);
    EXPECT_EQ(image.GetIndex(1, 0), 1u);
    EXPECT_EQ(image.GetColor(1, 0), SColor(40, 50, 60));
    EXPECT_EQ(image.GetColor(0, 0), SColor(10, 20, 30));
    EXPECT_EQ(image.GetIndex(2, 0), 2u);
    EXPECT_EQ(image.GetColor(2, 0), SColor::Black);
    EXPECT_EQ(image.GetPaletteEntry(5), SColor::Black);
}

TEST(ReadPng, FailureTableEmptiesTheBitmap)
{
    PngRecipe greyAlpha;
    greyAlpha.width = 1;
    greyAlpha.height = 1;
    greyAlpha.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    greyAlpha.rows = {{1, 2}};
    PngRecipe palette2 = greyAlpha;
    palette2.colourType = PNG_COLOR_TYPE_PALETTE;
    palette2.depth = 2;
    palette2.paletteRgb = {1, 2, 3};
    palette2.rows = {{0}};
    PngRecipe wide;
    wide.width = 12001;
    wide.height = 1;
    wide.colourType = PNG_COLOR_TYPE_GRAY;
    wide.rows = {Bytes(12001, 7)};
    Bytes cut = MakePng(GreyPng(8, {{1, 2, 3}}, 3));
    cut.resize(cut.size() - 20);  // inside the image data
    Bytes bad = MakePng(GreyPng(8, {{1, 2, 3}}, 3));
    bad[20] ^= 1;  // the header's checksum no longer holds

    struct Case
    {
        const char* what;
        Bytes bytes;
        SError error;
    };
    std::vector<Case> cases = {
        {"12001 wide", MakePng(wide), Id("memory_alloc")},
        {"grey + alpha claiming 60000 x 60000", Resized(MakePng(greyAlpha), 60000, 60000), Id("memory_alloc")},
        {"palette claiming 1 x 12001", Resized(MakePng(palette2), 1, 12001), Id("memory_alloc")},
        {"grey claiming the largest width", Resized(MakePng(GreyPng(16, {{0, 0}}, 1)), 0x7FFFFFFF, 1),
         Id("memory_alloc")},
        {"cut short", cut, PngError()},
        {"damaged header", bad, PngError()},
        {"signature only", Bytes{0x89, 'P', 'N', 'G'}, PngError()},
    };
    for (const Case& c : cases) {
        SBitmap image = Occupied();
        EXPECT_EQ(ReadBytes(image, c.bytes), c.error) << c.what;
        EXPECT_TRUE(image.IsPristine()) << c.what;
    }
}

TEST(PngFiles, WriteAndReadBackExactly)
{
    ScratchFolder folder;
    for (std::int32_t format : {24, 32}) {
        SBitmap image = Made(5, 3, format);
        for (std::int32_t y = 0; y < 3; ++y)
            for (std::int32_t x = 0; x < 5; ++x)
                image.SetColor(x, y, SColor(std::uint8_t(x * 50), std::uint8_t(y * 100), 7, std::uint8_t(x * 60)));
        SString path = folder.SPath("p" + std::to_string(format) + ".png");
        ASSERT_EQ(WritePngFile(&image, path), 0u);
        SBitmap back = Occupied();
        ASSERT_EQ(ReadPngFile(&back, path), 0u);
        ASSERT_EQ(back.Format(), format);
        ASSERT_EQ(back.Dimensions(), image.Dimensions());
        EXPECT_EQ(std::memcmp(back.PixelArea(), image.PixelArea(), image.PixelAreaSize()), 0) << format;
    }
    EXPECT_EQ(folder.Names().size(), 2u);
}

TEST(PngFiles, FailureTable)
{
    ScratchFolder folder;
    SBitmap image = Made(2, 2, 24);
    SBitmap empty;
    EXPECT_EQ(WritePngFile(nullptr, folder.SPath("a.png")), Id("domain"));
    EXPECT_EQ(WritePngFile(&empty, folder.SPath("a.png")), Id("domain"));
    for (std::int32_t format : {-8, 1, 8, 15, 16, 48, 64}) {
        SBitmap other = Made(2, 2, format);
        EXPECT_EQ(WritePngFile(&other, folder.SPath("a.png")), PngError2()) << format;
    }
    ASSERT_EQ(mkdir(folder.Path("folder").c_str(), 0755), 0);
    // The writers' failures keep their identifier; the system's reason and the path are the text.
    const SError toFolder = WritePngFile(&image, folder.SPath("folder"));
    EXPECT_EQ(ErrorIdentity(toFolder), PngError());
    EXPECT_EQ(ErrorText(toFolder), folder.Path("folder") + ": " + std::strerror(EISDIR));
    const SError noFolder = WritePngFile(&image, folder.SPath("missing/a.png"));
    EXPECT_EQ(ErrorIdentifier(noFolder), "pngerror");
    EXPECT_EQ(ErrorText(noFolder), folder.Path("missing/a.png") + ": " + std::strerror(ENOENT));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"folder"});

    SBitmap read = Occupied();
    EXPECT_EQ(ReadPngFile(nullptr, folder.SPath("a.png")), Id("null_pointer"));
    EXPECT_EQ(ReadPngFile(&read, folder.SPath("a.png")), Id("file_open"));
    EXPECT_TRUE(read.IsPristine());
    WriteFileBytes(folder.Path("empty.png"), {});
    read = Occupied();
    EXPECT_EQ(ReadPngFile(&read, folder.SPath("empty.png")), PngError());
    EXPECT_TRUE(read.IsPristine());
}

TEST(JpegFiles, ColourRoundTripKeepsChannelOrder)
{
    ScratchFolder folder;
    std::vector<SColor> colours = {SColor::Red, SColor::Green, SColor::Blue, SColor(200, 120, 40), SColor::White};
    SBitmap image = Blocks(24, colours);
    ASSERT_EQ(WriteJpegFile(image, folder.SPath("c.jpg")), 0u);
    Bytes file = ReadFileBytes(folder.Path("c.jpg"));
    EXPECT_TRUE(HasMarker(file, 0xC0));   // baseline
    EXPECT_FALSE(HasMarker(file, 0xC2));  // not progressive

    SBitmap back = Occupied();
    ASSERT_EQ(ReadJpegFile(&back, folder.SPath("c.jpg")), 0u);
    ASSERT_EQ(back.Format(), 24);
    ASSERT_EQ(back.Dimensions(), image.Dimensions());
    for (std::size_t i = 0; i < colours.size(); ++i)
        EXPECT_LE(Distance(back.GetColor(std::int32_t(i) * 8 + 4, 4), colours[i]), 12) << i;
    EXPECT_EQ(folder.Names().size(), 1u);
}

TEST(JpegFiles, TransparencyIsCompositedOntoWhite)
{
    ScratchFolder folder;
    // Black at half transparency, fully transparent red, opaque black, from a 32-bit bitmap.
    SBitmap image = Blocks(32, {SColor(0, 0, 0, 128), SColor(255, 0, 0, 255), SColor::Black});
    ASSERT_EQ(WriteJpegFile(image, folder.SPath("t.jpg")), 0u);
    SBitmap back;
    ASSERT_EQ(ReadJpegFile(&back, folder.SPath("t.jpg")), 0u);
    EXPECT_LE(Distance(back.GetColor(4, 4), SColor(128, 128, 128)), 8);
    EXPECT_LE(Distance(back.GetColor(12, 4), SColor::White), 6);
    EXPECT_LE(Distance(back.GetColor(20, 4), SColor::Black), 6);

    // Palette and grey bitmaps are written through their colours.
    SBitmap indexed = Made(8, 8, 8);
    indexed.SetPaletteEntry(0, SColor(0, 0, 200));
    ASSERT_EQ(WriteJpegFile(indexed, folder.SPath("i.jpg")), 0u);
    ASSERT_EQ(ReadJpegFile(&back, folder.SPath("i.jpg")), 0u);
    EXPECT_LE(Distance(back.GetColor(3, 3), SColor(0, 0, 200)), 8);
}

TEST(JpegFiles, GreyFilesReadAsGrey)
{
    JpegRecipe grey;
    grey.width = 16;
    grey.height = 8;
    grey.components = 1;
    grey.colourSpace = JCS_GRAYSCALE;
    grey.samples.assign(16 * 8, 90);
    std::fill(grey.samples.begin(), grey.samples.begin() + 8, 200);
    SBitmap image;
    ASSERT_EQ(ReadBytes(image, MakeJpeg(grey)), 0u);
    EXPECT_EQ(image.Format(), -8);
    EXPECT_LE(Distance(image.GetColor(12, 5), SColor(90, 90, 90)), 3);
}

TEST(JpegFiles, FailureTable)
{
    const SError readError = ReadJpegError();
    EXPECT_EQ(ErrorText(readError), "エラー1が発生しました。");
    EXPECT_EQ(RegisteredErrorMessage(JpegError()), "LIBJPEGモジュールがエラーを返しました。");

    JpegRecipe cmyk;
    cmyk.width = 8;
    cmyk.height = 8;
    cmyk.components = 4;
    cmyk.colourSpace = JCS_CMYK;
    cmyk.samples.assign(8 * 8 * 4, 30);
    JpegRecipe wide;
    wide.width = 12001;
    wide.height = 1;
    wide.components = 1;
    wide.colourSpace = JCS_GRAYSCALE;
    wide.samples.assign(12001, 128);
    Bytes colour = MakeJpeg({8, 8, 3, JCS_RGB, false, 80, Bytes(8 * 8 * 3, 60)});
    Bytes headerOnly(colour.begin(), colour.begin() + 20);

    struct Case
    {
        const char* what;
        Bytes bytes;
        SError error;
    };
    std::vector<Case> cases = {
        {"four components (CMYK)", MakeJpeg(cmyk), readError},
        {"12001 wide", MakeJpeg(wide), Id("memory_alloc")},
        {"cut inside the headers", headerOnly, readError},
        {"signature only", Bytes{0xFF, 0xD8}, readError},
    };
    for (const Case& c : cases) {
        SBitmap image = Occupied();
        EXPECT_EQ(ReadBytes(image, c.bytes), c.error) << c.what;
        EXPECT_TRUE(image.IsPristine()) << c.what;
    }

    ScratchFolder folder;
    SBitmap image = Occupied();
    EXPECT_EQ(ReadJpegFile(nullptr, folder.SPath("a.jpg")), Id("pointer"));
    EXPECT_EQ(ReadJpegFile(&image, SString()), 1u);
    EXPECT_EQ(ReadJpegFile(&image, folder.SPath("a.jpg")), Id("file_open"));
    EXPECT_TRUE(image.IsPristine());

    SBitmap empty;
    EXPECT_EQ(WriteJpegFile(empty, folder.SPath("a.jpg")), JpegError());
    EXPECT_EQ(WriteJpegFile(Made(0, 5, 24), folder.SPath("a.jpg")), JpegError());
    ASSERT_EQ(mkdir(folder.Path("folder").c_str(), 0755), 0);
    EXPECT_EQ(ErrorIdentity(WriteJpegFile(Made(2, 2, 24), folder.SPath("folder"))), JpegError());
    const SError noFolder = WriteJpegFile(Made(2, 2, 24), folder.SPath("missing/a.jpg"));
    EXPECT_EQ(ErrorIdentity(noFolder), JpegError());
    EXPECT_EQ(ErrorText(noFolder), folder.Path("missing/a.jpg") + ": " + std::strerror(ENOENT));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"folder"});
}
