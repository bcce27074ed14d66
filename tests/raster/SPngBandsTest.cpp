// The PNG encoder's files: libpng reads back exactly the pixels written, for any size and both
// formats, whether the rows were filtered and deflated in bands on several cores or on one; and the
// files stay about the size libpng's own writer makes.
#include "SPngBands.h"

#include "SParallel.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

#include <png.h>

#include <cstring>
#include <random>
#include <vector>

using namespace ulib;

namespace {

// Paper with noise and lines, as scans and rendered cels are; alpha varies in 32 bits.
SBitmap Picture(std::mt19937& random, std::int32_t w, std::int32_t h, std::int32_t format)
{
    SBitmap picture;
    picture.Create(w, h, format);
    for (std::int32_t y = 0; y < h; ++y) {
        std::uint8_t* p = picture.Row(y);
        for (std::int32_t x = 0; x < w; ++x, p += format / 8) {
            const bool line = x % 37 < 2 || (x + y) % 53 < 3;
            const auto paper = std::uint8_t(238 + random() % 18);
            p[0] = line ? 30 : paper;
            p[1] = line ? std::uint8_t(20 + x % 7) : paper;
            p[2] = line ? std::uint8_t(200 * (y % 2)) : std::uint8_t(paper - 3);
            if (format == 32)
                p[3] = line ? 255 : std::uint8_t(random() % 4 == 0 ? random() : 255);
        }
    }
    return picture;
}

bool SamePixels(const SBitmap& a, const SBitmap& b)
{
    if (a.Dimensions() != b.Dimensions() || a.Format() != b.Format())
        return false;
    for (std::int32_t y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.Row(y), b.Row(y), std::size_t(a.Width()) * std::size_t(a.Format() / 8)) != 0)
            return false;
    return true;
}

TEST(PngBands, LibpngReadsBackEveryPixelInBandsOrNot)
{
    std::mt19937 random(5);
    const std::pair<std::int32_t, std::int32_t> sizes[] = {{1, 1}, {3, 1}, {1, 300}, {2, 2}, {257, 700}, {640, 129}};
    for (const std::int32_t format : {24, 32})
        for (const auto& [w, h] : sizes) {
            const SBitmap picture = Picture(random, w, h, format);
            std::vector<std::uint8_t> banded, serial;
            ASSERT_EQ(EncodePngBands(picture, banded), 0u);
            {
                const SSerialScope one;
                ASSERT_EQ(EncodePngBands(picture, serial), 0u);
            }
            for (const std::vector<std::uint8_t>* file : {&banded, &serial}) {
                SBitmap back;
                ASSERT_EQ(ReadPngBytes(back, file->data(), file->data() + file->size()), 0u) << w << "x" << h;
                EXPECT_TRUE(SamePixels(back, picture)) << format << " bits, " << w << "x" << h;
            }
            // A band deflated on its own loses only the history at its first rows.
            EXPECT_LE(double(banded.size()), double(serial.size()) * 1.02 + 64) << w << "x" << h;
        }
}

TEST(PngBands, FilesAreAboutTheSizeLibpngWrites)
{
    std::mt19937 random(9);
    for (const std::int32_t format : {24, 32}) {
        const SBitmap picture = Picture(random, 1200, 900, format);
        std::vector<std::uint8_t> ours;
        ASSERT_EQ(EncodePngBands(picture, ours), 0u);
        // libpng's simplified writer at its defaults, from the same samples.
        const std::int32_t channels = format / 8;
        std::vector<std::uint8_t> samples(std::size_t(1200) * 900 * std::size_t(channels));
        for (std::int32_t y = 0; y < 900; ++y)
            for (std::int32_t x = 0; x < 1200; ++x)
                for (std::int32_t c = 0; c < channels; ++c)
                    samples[(std::size_t(y) * 1200 + std::size_t(x)) * std::size_t(channels) + std::size_t(c)] =
                        picture.Row(y)[x * channels + (c < 3 ? 2 - c : 3)];
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = 1200;
        image.height = 900;
        image.format = format == 32 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
        png_alloc_size_t size = 0;
        ASSERT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, samples.data(), 0, nullptr));
        std::vector<std::uint8_t> theirs(size);
        ASSERT_TRUE(png_image_write_to_memory(&image, theirs.data(), &size, 0, samples.data(), 0, nullptr));
        EXPECT_LE(double(ours.size()), double(size) * 1.03) << format << " bits: " << ours.size() << " vs " << size;
    }
}

TEST(PngBands, RefusesWhatIsNoRgbPicture)
{
    std::vector<std::uint8_t> file = {1, 2, 3};
    SBitmap grey;
    grey.Create(4, 4, 8);
    EXPECT_NE(EncodePngBands(grey, file), 0u);
    EXPECT_TRUE(file.empty());
    EXPECT_NE(EncodePngBands(SBitmap(), file), 0u);
}

}  // namespace
