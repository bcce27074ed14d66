// The import passes and the layer coding that run in bands on several cores give, byte for byte,
// what one thread gives, for random scans of any size and every import option.
#include "SImportConvert.h"

#include "SParallel.h"
#include "SQuickPress.h"
#include "Sximage.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace ulib;

namespace {

// Paper with noise, dark and light-grey lines, coloured pencil strokes and flecks.
SBitmap RandomScan(std::mt19937& random, std::int32_t w, std::int32_t h)
{
    SBitmap scan;
    scan.Create(w, h, 24);
    const SColor inks[] = {SColor(30, 28, 25), SColor(200, 200, 200), SColor(215, 55, 50), SColor(60, 80, 210),
                           SColor(70, 190, 60), SColor(240, 180, 40), SColor(180, 170, 175)};
    const std::int32_t every = 5 + std::int32_t(random() % 20);
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x) {
            const auto paper = std::uint8_t(232 + random() % 24);
            SColor colour(paper, paper, std::uint8_t(paper - random() % 6));
            if (x % every == 0 || (x + 2 * y) % (3 * every) < 2 || random() % 97 == 0)
                colour = inks[random() % 7];
            scan.SetColor(x, y, colour);
        }
    return scan;
}

std::vector<std::uint8_t> Bytes(const SQuickPress& document)
{
    std::vector<std::uint8_t> bytes(document.ByteSize());
    EXPECT_EQ(document.WriteTo(bytes.data(), bytes.data() + bytes.size()), 0u);
    return bytes;
}

TEST(ImportBands, EveryOptionGivesTheOneThreadDocument)
{
    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "one core: every pass runs in one band";
    std::mt19937 random(2026);
    const std::pair<std::int32_t, std::int32_t> sizes[] = {{300, 257}, {129, 600}, {517, 130}, {64, 64}};
    for (const auto& [w, h] : sizes)
        for (int variant = 0; variant < 4; ++variant) {
            const SBitmap scan = RandomScan(random, w, h);
            SHuedraneOptions options;
            options.importLevelEnabled = variant & 1;
            options.importLevelBlack = 20;
            options.importLevelWhite = 230;
            options.importBinarize = variant == 1;
            options.importAntiHole = variant & 2;
            options.importGengaCompress = variant % 3;
            SQuickPress banded, serial;
            ASSERT_EQ(ConvertImageToDocument(scan, &banded, options, nullptr), 0u);
            {
                const SSerialScope one;
                ASSERT_EQ(ConvertImageToDocument(scan, &serial, options, nullptr), 0u);
            }
            ASSERT_EQ(Bytes(banded), Bytes(serial)) << w << "x" << h << " variant " << variant;
        }
}

TEST(ImportBands, LayersCodedInBandsAreTheOneThreadBytesAndDecodeBack)
{
    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "one core: a layer is coded in one band";
    std::mt19937 random(7);
    for (const std::int32_t format : {32, 24}) {
        SBitmap layer;
        layer.Create(700, 901, format);
        for (std::int32_t y = 0; y < layer.Height(); ++y)
            for (std::int32_t x = 0; x < layer.Width(); ++x)
                layer.SetColor(x, y, (x / 9 + y / 7) % 3 == 0 ? SColor(std::uint8_t(random()), std::uint8_t(random()), 9)
                                                              : SColor(200, 100, 50));
        SQuickPressLayer banded, serial;
        ASSERT_EQ(banded.Compress(layer), 0u);
        {
            const SSerialScope one;
            ASSERT_EQ(serial.Compress(layer), 0u);
        }
        ASSERT_EQ(banded.tiles.Count(), serial.tiles.Count());
        for (std::int32_t i = 0; i < banded.tiles.Count(); ++i) {
            ASSERT_EQ(banded.tiles.Key(i), serial.tiles.Key(i)) << i;
            ASSERT_TRUE(banded.tiles.Value(i) == serial.tiles.Value(i)) << "tile " << i;
        }
        SBitmap back;
        ASSERT_EQ(banded.Decode(back), 0u);
        for (std::int32_t y = 0; y < layer.Height(); y += 13)
            for (std::int32_t x = 0; x < layer.Width(); x += 11)
                ASSERT_EQ(back.GetColor(x, y), layer.GetColor(x, y)) << x << "," << y;
    }
}

TEST(ImportBands, TileRowsTakenAsRowsArriveGiveTheCompressBytes)
{
    std::mt19937 random(3);
    SBitmap picture = RandomScan(random, 333, 301);
    SQuickPressLayer whole, arrived;
    ASSERT_EQ(whole.Compress(picture), 0u);
    STileCoding coding(picture);
    EXPECT_FALSE(coding.WorkRow(63));  // no tile row lies within the first 63 rows
    // Two threads take rows as a reader would tell them, 16 at a time, and finish together.
    std::thread other([&] {
        for (std::int32_t rows = 16; rows <= picture.Height() + 15; rows += 16)
            while (coding.WorkRow(rows)) {
            }
    });
    for (std::int32_t rows = 64; rows < picture.Height(); rows += 64)
        coding.WorkRow(rows);
    other.join();
    ASSERT_EQ(coding.Finish(arrived), 0u);
    EXPECT_TRUE(arrived.Equals(whole));
}

// Scan files imported while they are read (rows extracted and classified, and the genga coded, as
// they arrive, for the options that allow it) give the document of their picture converted after
// reading, with every option that changes what can be done early.
TEST(ImportBands, FilesConvertedWhileReadGiveTheDocumentOfTheirPicture)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("huedrane-import-bands-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::mt19937 random(19);
    const std::pair<std::int32_t, std::int32_t> sizes[] = {{600, 515}, {64, 64}, {130, 17}, {90, 2}};
    for (const auto& [w, h] : sizes)
        for (const char* extension : {".png", ".jpg"}) {
            const SBitmap scan = RandomScan(random, w, h);
            const SString path((folder / (std::string("scan") + extension)).string());
            ASSERT_EQ(std::string(extension) == ".png" ? WritePngFile(&scan, path) : WriteJpegFile(scan, path), 0u);
            SBitmap picture;
            ASSERT_EQ(ReadImageFile(&picture, path), 0u);
            for (int variant = 0; variant < 4; ++variant) {
                SHuedraneOptions options;
                options.importGengaCompress = variant == 1 ? 1 : 0;
                options.importLevelEnabled = variant == 2;
                options.importLevelBlack = 10;
                options.importAntiHole = variant == 3;
                SQuickPress expected, read, serial;
                ASSERT_EQ(ConvertImageToDocument(picture, &expected, options, nullptr), 0u);
                ASSERT_EQ(ImportImageFile(&read, options, nullptr, nullptr, path), 0u);
                {
                    const SSerialScope one;
                    ASSERT_EQ(ImportImageFile(&serial, options, nullptr, nullptr, path), 0u);
                }
                EXPECT_EQ(Bytes(read), Bytes(expected)) << w << "x" << h << extension << " variant " << variant;
                EXPECT_EQ(Bytes(serial), Bytes(expected)) << w << "x" << h << extension << " variant " << variant;
            }
        }
    std::filesystem::remove_all(folder);
}

}  // namespace
