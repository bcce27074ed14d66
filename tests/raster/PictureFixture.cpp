// Builders of picture bytes for the tests, straight over libpng and libjpeg so that they can make
// what the program's writers never do (grey + alpha, 16-bit channels, CMYK, progressive, ...).
#include "PictureFixture.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <jpeglib.h>

namespace {

void Put32(Bytes& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}
void Put16(Bytes& out, std::uint16_t v)
{
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

void AppendToBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// libpng leaves by longjmp: nothing with a destructor lives in this function.
bool EncodePng(const PngRecipe* recipe, Bytes* out, png_bytep* rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, AppendToBytes, nullptr);
    png_set_IHDR(png, info, recipe->width, recipe->height, recipe->depth, recipe->colourType,
                 recipe->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color palette[256];
    if (!recipe->paletteRgb.empty()) {
        int count = int(recipe->paletteRgb.size() / 3);
        for (int i = 0; i < count; ++i)
            palette[i] = {recipe->paletteRgb[std::size_t(i) * 3], recipe->paletteRgb[std::size_t(i) * 3 + 1],
                          recipe->paletteRgb[std::size_t(i) * 3 + 2]};
        png_set_PLTE(png, info, palette, count);
    }
    png_byte alphas[256];
    png_color_16 colour{};
    const std::vector<std::uint16_t>& transparent = recipe->transparent;
    if (recipe->colourType == PNG_COLOR_TYPE_PALETTE && !transparent.empty()) {
        for (std::size_t i = 0; i < transparent.size() && i < 256; ++i)
            alphas[i] = png_byte(transparent[i]);
        png_set_tRNS(png, info, alphas, int(std::min<std::size_t>(transparent.size(), 256)), nullptr);
    } else if (!transparent.empty()) {
        colour.gray = transparent[0];
        colour.red = transparent[0];
        colour.green = transparent.size() > 2 ? transparent[1] : 0;
        colour.blue = transparent.size() > 2 ? transparent[2] : 0;
        png_set_tRNS(png, info, nullptr, 0, &colour);
    }
    png_write_info(png, info);
    png_set_interlace_handling(png);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

Bytes MakeBmp(const BmpRecipe& recipe)
{
    const std::uint32_t maskEnd = 40 + std::uint32_t(recipe.masks.size()) * 4;
    const std::uint32_t headers = 14 + std::max<std::uint32_t>(recipe.infoSize, maskEnd);
    const std::uint32_t pixelAt = headers + std::uint32_t(recipe.table.size()) * 4 + recipe.gap;
    const std::uint32_t total = pixelAt + std::uint32_t(recipe.pixels.size());
    Bytes out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, total);
    Put32(out, 0);
    Put32(out, recipe.pixelOffsetGiven ? recipe.pixelOffset : pixelAt);
    Put32(out, recipe.infoSize);
    Put32(out, std::uint32_t(recipe.width));
    Put32(out, std::uint32_t(recipe.height));
    Put16(out, 1);
    Put16(out, recipe.bitCount);
    Put32(out, recipe.compression);
    Put32(out, 0);
    Put32(out, std::uint32_t(recipe.resolutionX));
    Put32(out, std::uint32_t(recipe.resolutionY));
    Put32(out, recipe.coloursUsed);
    Put32(out, 0);
    for (std::uint32_t mask : recipe.masks)
        Put32(out, mask);
    out.resize(std::max<std::size_t>(headers, out.size()), 0);  // the rest of a longer information header
    for (std::uint32_t entry : recipe.table)
        Put32(out, entry);
    out.insert(out.end(), recipe.gap, 0xEE);
    out.insert(out.end(), recipe.pixels.begin(), recipe.pixels.end());
    return out;
}

Bytes MakePng(const PngRecipe& recipe)
{
    std::vector<png_bytep> rows;
    for (const Bytes& row : recipe.rows)
        rows.push_back(const_cast<png_bytep>(row.data()));
    Bytes out;
    if (!EncodePng(&recipe, &out, rows.data()))
        throw std::runtime_error("libpng could not encode the test picture");
    return out;
}

Bytes MakeJpeg(const JpegRecipe& recipe)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);  // a failure ends the test program: the inputs are fixed
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = recipe.width;
    info.image_height = recipe.height;
    info.input_components = recipe.components;
    info.in_color_space = J_COLOR_SPACE(recipe.colourSpace);
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, recipe.quality, TRUE);
    if (recipe.progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    const std::size_t stride = std::size_t(recipe.width) * std::size_t(recipe.components);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(recipe.samples.data() + info.next_scanline * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

namespace {

Bytes Pattern(std::size_t size, std::uint32_t seed)
{
    Bytes out(size);
    for (std::size_t i = 0; i < size; ++i)
        out[i] = std::uint8_t((i * 37 + seed * 101 + (i >> 3) * 11) & 0xFF);
    return out;
}

std::vector<Bytes> PatternRows(std::uint32_t height, std::size_t rowBytes, std::uint32_t seed)
{
    std::vector<Bytes> rows;
    for (std::uint32_t y = 0; y < height; ++y)
        rows.push_back(Pattern(rowBytes, seed + y));
    return rows;
}

// A PNG of pattern samples, its rows as long as the colour type and depth need.
PngRecipe PatternPng(std::uint32_t width, std::uint32_t height, int colourType, int depth, std::uint32_t seed)
{
    const bool rgb = colourType == PNG_COLOR_TYPE_RGB || colourType == PNG_COLOR_TYPE_RGB_ALPHA;
    const std::uint32_t channels = (rgb ? 3u : 1u) + ((colourType & PNG_COLOR_MASK_ALPHA) != 0 ? 1u : 0u);
    PngRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.colourType = colourType;
    recipe.depth = depth;
    recipe.rows = PatternRows(height, (width * channels * std::uint32_t(depth) + 7) / 8, seed);
    return recipe;
}

}  // namespace

Seeds BmpSeeds()
{
    Seeds seeds;
    BmpRecipe pal8;
    pal8.width = 5;
    pal8.height = 3;
    pal8.bitCount = 8;
    pal8.coloursUsed = 4;
    pal8.table = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    pal8.pixels = {0, 1, 2, 3, 1, 0, 0, 0, 3, 2, 1, 0, 3, 0, 0, 0, 1, 1, 2, 2, 3, 0, 0, 0};
    pal8.resolutionX = pal8.resolutionY = 2835;
    seeds.emplace_back("pal8.bmp", MakeBmp(pal8));

    BmpRecipe bits;
    bits.width = 9;
    bits.height = -2;  // top-down
    bits.bitCount = 1;
    bits.table = {0x000000, 0xFFFFFF};
    bits.pixels = {0xA5, 0x80, 0, 0, 0x5A, 0x00, 0, 0};
    seeds.emplace_back("pal1_topdown.bmp", MakeBmp(bits));

    BmpRecipe gap;
    gap.width = 3;
    gap.height = 2;
    gap.bitCount = 4;
    gap.coloursUsed = 3;
    gap.table = {0x102030, 0x405060, 0x708090};
    gap.gap = 6;
    gap.pixels = {0x01, 0x20, 0, 0, 0x21, 0x00, 0, 0};
    seeds.emplace_back("pal4_gap.bmp", MakeBmp(gap));

    BmpRecipe rgb555;
    rgb555.width = 3;
    rgb555.height = 2;
    rgb555.bitCount = 16;
    rgb555.pixels = Pattern(16, 5);
    seeds.emplace_back("rgb555.bmp", MakeBmp(rgb555));

    BmpRecipe rgb;
    rgb.width = 3;
    rgb.height = 3;
    rgb.pixels = Pattern(36, 7);
    seeds.emplace_back("rgb24.bmp", MakeBmp(rgb));

    BmpRecipe bgra;
    bgra.width = 2;
    bgra.height = 2;
    bgra.bitCount = 32;
    bgra.infoSize = 124;  // a version 5 header, uncompressed
    bgra.pixels = Pattern(16, 9);
    seeds.emplace_back("bgra32_v5.bmp", MakeBmp(bgra));

    // Bit fields of layouts other than the plain ones, with an alpha mask in headers of each length.
    const struct
    {
        const char* name;
        std::uint16_t bits;
        std::uint32_t infoSize;
        std::vector<std::uint32_t> masks;
    } fields[] = {
        {"argb4444_v5.bmp", 16, 124, {0x0F00, 0x00F0, 0x000F, 0xF000}},
        {"rgba1010102_v4.bmp", 32, 108, {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000}},
        {"bgra32_alpha_v3.bmp", 32, 56, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}},
    };
    for (const auto& f : fields)
        seeds.emplace_back(f.name, MakeBmp({.width = 2, .height = 2, .bitCount = f.bits, .compression = 3,
                                            .infoSize = f.infoSize, .masks = f.masks,
                                            .pixels = Pattern(f.bits / 2u, 3)}));

    // Run lengths: a run, a literal stretch, the end of a row, a move, the picture ended early; and
    // 4-bit alternating indices in a top-down picture.
    const std::vector<std::uint32_t> table = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    seeds.emplace_back("rle8_delta.bmp", MakeBmp({.width = 6, .height = 4, .bitCount = 8, .compression = 1,
                                                  .coloursUsed = 4, .table = table,
                                                  .pixels = {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 2, 1, 2, 2, 0, 1}}));
    seeds.emplace_back("rle4_topdown.bmp", MakeBmp({.width = 7, .height = -2, .bitCount = 4, .compression = 2,
                                                    .coloursUsed = 4, .table = table,
                                                    .pixels = {7, 0x12, 0, 0, 0, 5, 0x01, 0x23, 0x10, 0, 0, 1}}));
    return seeds;
}

Seeds ImageSeeds()
{
    Seeds seeds;
    PngRecipe rgb;
    rgb.width = 4;
    rgb.height = 3;
    rgb.rows = PatternRows(3, 12, 1);
    seeds.emplace_back("rgb.png", MakePng(rgb));

    PngRecipe rgba;
    rgba.width = 5;
    rgba.height = 5;
    rgba.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    rgba.interlaced = true;
    rgba.rows = PatternRows(5, 20, 2);
    seeds.emplace_back("rgba_interlaced.png", MakePng(rgba));

    PngRecipe grey;
    grey.width = 6;
    grey.height = 2;
    grey.colourType = PNG_COLOR_TYPE_GRAY;
    grey.depth = 4;
    grey.rows = PatternRows(2, 3, 3);
    seeds.emplace_back("grey4.png", MakePng(grey));

    PngRecipe palette;
    palette.width = 9;
    palette.height = 2;
    palette.colourType = PNG_COLOR_TYPE_PALETTE;
    palette.depth = 1;
    palette.paletteRgb = {10, 20, 30, 200, 210, 220};
    palette.rows = {{0xA5, 0x80}, {0x5A, 0x00}};
    seeds.emplace_back("palette1.png", MakePng(palette));

    PngRecipe deep;
    deep.width = 2;
    deep.height = 2;
    deep.depth = 16;
    deep.rows = PatternRows(2, 12, 4);
    seeds.emplace_back("rgb16.png", MakePng(deep));

    seeds.emplace_back("grey16.png", MakePng(PatternPng(3, 2, PNG_COLOR_TYPE_GRAY, 16, 10)));
    PngRecipe grey2 = PatternPng(7, 2, PNG_COLOR_TYPE_GRAY, 2, 11);
    grey2.transparent = {1};
    seeds.emplace_back("grey2_trns.png", MakePng(grey2));
    PngRecipe greyAlpha = PatternPng(4, 3, PNG_COLOR_TYPE_GRAY_ALPHA, 8, 12);
    greyAlpha.interlaced = true;
    seeds.emplace_back("grey_alpha_interlaced.png", MakePng(greyAlpha));
    seeds.emplace_back("grey_alpha16.png", MakePng(PatternPng(4, 3, PNG_COLOR_TYPE_GRAY_ALPHA, 16, 13)));
    PngRecipe palette2 = PatternPng(5, 2, PNG_COLOR_TYPE_PALETTE, 2, 0);
    palette2.paletteRgb = {0, 0, 0, 90, 90, 90, 250, 0, 0, 255, 255, 255};
    palette2.rows = {{0x1B, 0x40}, {0xE4, 0x80}};  // every index the palette has
    seeds.emplace_back("palette2.png", MakePng(palette2));
    seeds.emplace_back("rgba16.png", MakePng(PatternPng(2, 2, PNG_COLOR_TYPE_RGB_ALPHA, 16, 14)));

    JpegRecipe colour;
    colour.width = 16;
    colour.height = 8;
    colour.samples = Pattern(16 * 8 * 3, 5);
    seeds.emplace_back("colour.jpg", MakeJpeg(colour));

    JpegRecipe greyJpeg;
    greyJpeg.width = 8;
    greyJpeg.height = 8;
    greyJpeg.components = 1;
    greyJpeg.colourSpace = JCS_GRAYSCALE;
    greyJpeg.progressive = true;
    greyJpeg.samples = Pattern(64, 6);
    seeds.emplace_back("grey_progressive.jpg", MakeJpeg(greyJpeg));

    for (auto& seed : BmpSeeds())
        if (seed.first == "pal8.bmp")
            seeds.push_back(seed);
    return seeds;
}
