// Signature patterns, the BMP reader and writer, and ReadImageFile's choice of reader and failures.
#include "PictureFixture.h"
#include "RasterFixture.h"
#include "SErrorCause.h"
#include "Sximage.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

using namespace ulib;

namespace {

const std::uint8_t* At(const Bytes& bytes) { return bytes.data(); }
const std::uint8_t* End(const Bytes& bytes) { return bytes.data() + bytes.size(); }

bool Matches(const std::string& data, std::string_view pattern)
{
    auto* p = reinterpret_cast<const std::uint8_t*>(data.data());
    return HasSignature(p, p + data.size(), pattern);
}

// A bitmap that is clearly not empty, so a test sees whether a failed read emptied it.
SBitmap Occupied()
{
    SBitmap image = Made(3, 3, 8);
    image.SetPaletteEntry(1, SColor::Red);
    return image;
}

SError ReadBmpBytes(SBitmap& image, const Bytes& bytes) { return ReadBmp(image, At(bytes), End(bytes)); }

BmpRecipe Rgb24(std::int32_t width, std::int32_t height)
{
    BmpRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    std::size_t stride = (std::size_t(width) * 3 + 3) / 4 * 4;
    for (std::size_t i = 0; i < stride * std::size_t(height < 0 ? -height : height); ++i)
        recipe.pixels.push_back(std::uint8_t(i * 7 + 1));
    return recipe;
}

std::uint32_t Word(const Bytes& bytes, std::size_t at)
{
    std::uint32_t v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

}  // namespace

TEST(Signature, PairsOfEveryKind)
{
    EXPECT_TRUE(Matches("BM", "+B+M"));
    EXPECT_TRUE(Matches("\x89PNG\r\n", "89+P+N+G"));
    EXPECT_TRUE(Matches("\xFF\xD8\xFF", "FFd8"));  // hexadecimal digits in either case
    EXPECT_TRUE(Matches("\xAB", "aB"));
    EXPECT_TRUE(Matches("BMxyz", "+B+M::::"));
    EXPECT_FALSE(Matches("BMx", "+B+M::::"));  // the data end before the pattern
    EXPECT_TRUE(Matches(std::string("\0\a\b\t\n\v\f\r\x18\x1B \x7F", 12), "/z/a/b/t/n/v/f/r/c/e/s/d"));
    EXPECT_TRUE(Matches(" ", "/S"));  // escape letters in either case
    EXPECT_TRUE(Matches("", ""));
    EXPECT_TRUE(Matches("anything", ""));

    // Pairs that are not valid fail the whole test, even when the data would match otherwise.
    EXPECT_FALSE(Matches("A", "0x41"));  // x is no hexadecimal digit
    EXPECT_FALSE(Matches("\x41", "4"));  // odd length
    EXPECT_FALSE(Matches("+", "++"));    // + before something that is not a letter or digit
    EXPECT_FALSE(Matches("a", ":a"));
    EXPECT_FALSE(Matches("\x07", "/q"));
    EXPECT_FALSE(Matches("G", "GG"));

    const std::uint8_t data[] = {'B', 'M', 1};
    EXPECT_EQ(MatchSignature(data, data + 3, "+B+M"), data + 2);
    EXPECT_EQ(MatchSignature(data, data + 3, ""), data);
    EXPECT_EQ(MatchSignature(nullptr, nullptr, ""), nullptr);
    EXPECT_EQ(MatchSignature(data + 3, data, ""), nullptr);  // reversed range
}

TEST(ReadBmp, FailureTableEmptiesTheBitmap)
{
    struct Case
    {
        const char* what;
        Bytes bytes;
        const char* error;
    };
    BmpRecipe info30 = Rgb24(1, 1);
    info30.infoSize = 30;
    BmpRecipe compressed = Rgb24(1, 1);
    compressed.compression = 1;
    BmpRecipe twoBit = Rgb24(4, 1);
    twoBit.bitCount = 2;
    BmpRecipe shortTable = Rgb24(1, 1);
    shortTable.bitCount = 8;
    shortTable.coloursUsed = 300;  // more entries than the data hold
    BmpRecipe huge = Rgb24(1, 1);
    huge.width = 12001;
    BmpRecipe tallTopDown = Rgb24(1, 1);
    tallTopDown.height = -12001;
    BmpRecipe negativeWidth = Rgb24(1, 1);
    negativeWidth.width = -4;
    Bytes cutPixels = MakeBmp(Rgb24(3, 3));
    cutPixels.pop_back();
    Bytes noHeader = MakeBmp(Rgb24(1, 1));
    noHeader[1] = 'X';
    Bytes shortInfo = MakeBmp(Rgb24(1, 1));
    shortInfo.resize(14 + 39);

    std::vector<Case> cases = {
        {"no BM", noHeader, "InvalidData"},
        {"39 bytes after the file header", shortInfo, "InvalidData"},
        {"empty data", Bytes{}, "InvalidData"},
        {"information header of 30 bytes", MakeBmp(info30), "UnacceptableVersion"},
        {"run-length compressed", MakeBmp(compressed), "UnacceptableVersion"},
        {"2 bits per pixel", MakeBmp(twoBit), "memory_alloc"},
        {"12001 wide", MakeBmp(huge), "memory_alloc"},
        {"12001 high, top-down", MakeBmp(tallTopDown), "memory_alloc"},
        {"negative width", MakeBmp(negativeWidth), "memory_alloc"},
        {"colour table cut short", MakeBmp(shortTable), "taillostdata"},
        {"pixels cut short", cutPixels, "taillostdata"},
    };
    for (const Case& c : cases) {
        SBitmap image = Occupied();
        std::uint8_t none = 0;
        SError err = c.bytes.empty() ? ReadBmp(image, &none, &none) : ReadBmpBytes(image, c.bytes);
        EXPECT_EQ(err, Id(c.error)) << c.what;
        EXPECT_TRUE(image.IsPristine()) << c.what;
    }

    SBitmap image = Occupied();
    Bytes good = MakeBmp(Rgb24(1, 1));
    EXPECT_EQ(ReadBmp(image, nullptr, nullptr), Id("InvalidArgument"));
    EXPECT_TRUE(image.IsPristine());
    image = Occupied();
    EXPECT_EQ(ReadBmp(image, End(good), At(good)), Id("InvalidArgument"));
    EXPECT_TRUE(image.IsPristine());
}

TEST(ReadBmp, PaletteFileKeepsTableIndicesAndResolutions)
{
    BmpRecipe recipe;
    recipe.width = 3;
    recipe.height = 2;
    recipe.bitCount = 8;
    recipe.coloursUsed = 3;
    recipe.resolutionX = 3780;
    recipe.resolutionY = -1;
    recipe.table = {0x00112233, 0x00445566, 0xAA778899};  // the reserved byte is copied as it stands
    recipe.pixels = {2, 1, 0, 0, 0, 1, 2, 0};              // bottom row first
    SBitmap image = Made(3, 2, 8);
    image.SetPaletteEntry(200, SColor::Red);  // a previous picture's table must not survive
    ASSERT_EQ(ReadBmpBytes(image, MakeBmp(recipe)), 0u);
    EXPECT_EQ(image.Format(), 8);
    EXPECT_EQ(image.ResolutionX(), 3780);
    EXPECT_EQ(image.ResolutionY(), -1);
    EXPECT_EQ(image.GetIndex(0, 0), 0u);
    EXPECT_EQ(image.GetIndex(2, 0), 2u);
    EXPECT_EQ(image.GetIndex(0, 1), 2u);
    EXPECT_EQ(image.GetColor(1, 0), SColor(0x44, 0x55, 0x66));
    const std::uint8_t* table = image.PixelArea() - 256 * 4;
    EXPECT_EQ(table[11], 0xAA);
    EXPECT_EQ(image.GetPaletteEntry(3), SColor());
    EXPECT_EQ(image.GetPaletteEntry(200), SColor());
}

TEST(ReadBmp, TopDownFileEqualsTheBottomUpOne)
{
    BmpRecipe bottomUp;
    bottomUp.width = 9;
    bottomUp.height = 3;
    bottomUp.bitCount = 1;
    bottomUp.table = {0x000000, 0xFFFFFF};
    bottomUp.pixels = {0x80, 0x00, 0, 0, 0x40, 0x80, 0, 0, 0xFF, 0x80, 0, 0};
    BmpRecipe topDown = bottomUp;
    topDown.height = -3;
    topDown.pixels = {0xFF, 0x80, 0, 0, 0x40, 0x80, 0, 0, 0x80, 0x00, 0, 0};

    SBitmap a, b;
    ASSERT_EQ(ReadBmpBytes(a, MakeBmp(bottomUp)), 0u);
    ASSERT_EQ(ReadBmpBytes(b, MakeBmp(topDown)), 0u);
    ASSERT_EQ(a.BlockSize(), b.BlockSize());
    EXPECT_EQ(std::memcmp(a.Block(), b.Block(), a.BlockSize()), 0);
    EXPECT_EQ(a.GetColor(0, 0), SColor::White);  // the top row is all set
    EXPECT_EQ(a.GetColor(1, 2), SColor::Black);
    EXPECT_EQ(a.GetColor(8, 1), SColor::White);
}

TEST(ReadBmp, PixelOffsetIsFollowedOnlyWhenItPointsPastTheTableInsideTheFile)
{
    BmpRecipe gap = Rgb24(2, 2);
    gap.bitCount = 8;
    gap.coloursUsed = 2;
    gap.table = {0x000000, 0xFFFFFF};
    gap.pixels = {1, 0, 0, 0, 0, 1, 0, 0};
    gap.gap = 10;
    SBitmap image;
    ASSERT_EQ(ReadBmpBytes(image, MakeBmp(gap)), 0u);
    EXPECT_EQ(image.GetIndex(0, 1), 1u);
    EXPECT_EQ(image.GetIndex(1, 0), 1u);
    EXPECT_EQ(image.GetIndex(0, 0), 0u);

    // An offset into the headers, or past the end, is not trusted: the rows follow the table.
    BmpRecipe direct = gap;
    direct.gap = 0;
    for (std::uint32_t offset : {0u, 20u, 5000u}) {
        direct.pixelOffsetGiven = true;
        direct.pixelOffset = offset;
        ASSERT_EQ(ReadBmpBytes(image, MakeBmp(direct)), 0u) << offset;
        EXPECT_EQ(image.GetIndex(0, 1), 1u) << offset;
    }

    // Following the offset, the rows must be there in full.
    Bytes cut = MakeBmp(gap);
    cut.resize(cut.size() - 1);
    EXPECT_EQ(ReadBmpBytes(image, cut), Id("taillostdata"));
}

TEST(ReadBmp, SixteenBitFilesAreFiveFiveFive)
{
    BmpRecipe recipe;
    recipe.width = 2;
    recipe.height = 1;
    recipe.bitCount = 16;
    recipe.pixels = {0x00, 0x7C, 0xE0, 0x03};  // pure red, pure green in 5-5-5
    SBitmap image;
    ASSERT_EQ(ReadBmpBytes(image, MakeBmp(recipe)), 0u);
    EXPECT_EQ(image.Format(), 15);
    EXPECT_EQ(image.GetColor(0, 0), SColor(248, 0, 0));
    EXPECT_EQ(image.GetColor(1, 0), SColor(0, 248, 0));
}

TEST(ReadBmp, LongTablesAndLongHeadersAreSteppedOver)
{
    BmpRecipe recipe = Rgb24(1, 1);
    recipe.coloursUsed = 2;  // a table in a 24-bit file
    recipe.table = {0x123456, 0x654321};
    recipe.infoSize = 124;
    recipe.pixels = {10, 20, 30, 0};
    SBitmap image;
    ASSERT_EQ(ReadBmpBytes(image, MakeBmp(recipe)), 0u);
    EXPECT_EQ(image.GetColor(0, 0), SColor(30, 20, 10));

    BmpRecipe four;
    four.width = 1;
    four.height = 1;
    four.bitCount = 4;
    four.coloursUsed = 20;  // only the first 16 reach the bitmap
    for (std::uint32_t i = 0; i < 20; ++i)
        four.table.push_back(i * 0x010101);
    four.pixels = {0xF0, 0, 0, 0};
    ASSERT_EQ(ReadBmpBytes(image, MakeBmp(four)), 0u);
    EXPECT_EQ(image.GetColor(0, 0), SColor(15, 15, 15));
}

TEST(ReadBmp, HostileSizesFailWithoutOverflowOrAllocation)
{
    BmpRecipe recipe = Rgb24(1, 1);
    recipe.coloursUsed = 0xFFFFFFFF;  // 4 x count overflows 32 bits
    SBitmap image;
    EXPECT_EQ(ReadBmpBytes(image, MakeBmp(recipe)), Id("taillostdata"));

    BmpRecipe hugeInfo = Rgb24(1, 1);
    Bytes bytes = MakeBmp(hugeInfo);
    std::uint32_t size = 0xFFFFFFF0;  // the table would start past 4 GiB
    std::memcpy(bytes.data() + 14, &size, 4);
    EXPECT_EQ(ReadBmpBytes(image, bytes), Id("taillostdata"));

    // The largest picture the bitmap takes, with a few bytes of pixels: refused before allocating.
    BmpRecipe big = Rgb24(1, 1);
    big.width = 12000;
    big.height = -12000;
    big.bitCount = 32;
    EXPECT_EQ(ReadBmpBytes(image, MakeBmp(big)), Id("taillostdata"));
    EXPECT_TRUE(image.IsPristine());

    BmpRecipe lowest = Rgb24(1, 1);
    lowest.height = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(ReadBmpBytes(image, MakeBmp(lowest)), Id("memory_alloc"));
}

TEST(WriteBmpFile, RoundTripsEveryFormatItCanWrite)
{
    ScratchFolder folder;
    for (std::int32_t format : {1, 4, 8, -1, -4, -8, 15, 24, 32}) {
        SBitmap image = Made(7, 3, format);
        image.SetResolutionX(2835);
        image.SetResolutionY(1000);
        for (std::int32_t i = 0; i < image.PaletteCount(); ++i)
            image.SetPaletteEntry(i, SColor(std::uint8_t(i * 3), std::uint8_t(i), 7));
        for (std::int32_t y = 0; y < 3; ++y)
            for (std::int32_t x = 0; x < 7; ++x) {
                image.SetIndex(x, y, std::uint32_t(x + y * 7));
                image.SetColor(x, y, SColor(std::uint8_t(x * 30), std::uint8_t(y * 80), 200, std::uint8_t(x * 10)));
            }
        if (format == 1 || format == -1)
            image.Row(1)[0] = 0x5A;

        const std::string name = "f" + std::to_string(format) + ".bmp";
        ASSERT_EQ(WriteBmpFile(image, folder.SPath(name)), 0u) << format;
        Bytes file = ReadFileBytes(folder.Path(name));
        const std::size_t masks = format == 15 ? 12 : 0;  // the bitmap's own header carries them
        ASSERT_EQ(file.size(), image.DibSize(true) - masks) << format;
        EXPECT_EQ(Word(file, 2), file.size());
        EXPECT_EQ(Word(file, 10), file.size() - image.PixelAreaSize());
        EXPECT_EQ(Word(file, 14), 40u) << format;  // no masks for 5-5-5
        EXPECT_EQ(Word(file, 30), 0u) << format;   // uncompressed

        SBitmap back;
        ASSERT_EQ(ReadBmpBytes(back, file), 0u) << format;
        EXPECT_EQ(back.Format(), format < 0 ? -format : format);  // grey files come back as palettes
        EXPECT_EQ(back.Dimensions(), image.Dimensions());
        EXPECT_EQ(back.ResolutionX(), 2835);
        EXPECT_EQ(back.ResolutionY(), 1000);
        EXPECT_EQ(back.GetPalette(), image.GetPalette()) << format;
        ASSERT_EQ(back.PixelAreaSize(), image.PixelAreaSize());
        EXPECT_EQ(std::memcmp(back.PixelArea(), image.PixelArea(), image.PixelAreaSize()), 0) << format;
    }
    EXPECT_EQ(folder.Names().size(), 9u);  // no temporary file left behind
}

// Whatever a writer accepts, the readers give back: every pixel's colour for the lossless formats,
// each within the codec's error for JPEG.
TEST(WriteBmpFile, EveryPictureTheWritersAcceptReadsBackToItsPixels)
{
    ScratchFolder folder;
    struct Writer
    {
        const char* extension;
        std::vector<std::int32_t> formats;
        std::function<SError(const SBitmap&, const SString&)> write;
        int tolerance;
    };
    const Writer writers[] = {
        {"bmp", {-16, -8, -4, -1, 1, 4, 8, 15, 16, 24, 32, 48, 64}, [](const SBitmap& b, const SString& p) { return WriteBmpFile(b, p); }, 0},
        {"png", {24, 32}, [](const SBitmap& b, const SString& p) { return WritePngFile(&b, p); }, 0},
        {"jpg", {24}, [](const SBitmap& b, const SString& p) { return WriteJpegFile(b, p); }, 12},
    };
    std::mt19937 random(11);
    for (const Writer& w : writers)
        for (std::int32_t format : w.formats) {
            // Blocks of 16 x 16 flat colours (JPEG's colour blocks) keep its error small and still
            // vary every channel.
            SBitmap image = Made(48, 32, format);
            for (std::int32_t i = 0; i < image.PaletteCount(); ++i)
                image.SetPaletteEntry(i, SColor(std::uint8_t(random()), std::uint8_t(random()), std::uint8_t(random())));
            std::vector<std::uint32_t> blocks(6);
            for (std::uint32_t& b : blocks)
                b = std::uint32_t(random());
            for (std::int32_t y = 0; y < 32; ++y)
                for (std::int32_t x = 0; x < 48; ++x) {
                    const std::uint32_t v = blocks[std::size_t(y / 16 * 3 + x / 16)];
                    image.SetIndex(x, y, v);
                    image.SetColor(x, y, SColor(std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)));
                }
            const std::string label = std::string(w.extension) + " " + std::to_string(format);
            const SString path = folder.SPath("f" + std::to_string(format) + "." + w.extension);
            ASSERT_EQ(w.write(image, path), 0u) << label;
            SBitmap back;
            ASSERT_EQ(ReadImageFile(&back, path), 0u) << label;
            ASSERT_EQ(back.Dimensions(), image.Dimensions()) << label;
            int worst = 0;
            for (std::int32_t y = 0; y < 32; ++y)
                for (std::int32_t x = 0; x < 48; ++x) {
                    // A lossy codec rings at the blocks' edges: its error is measured inside them.
                    const bool nearEdge = x % 16 < 4 || x % 16 > 11 || y % 16 < 4 || y % 16 > 11;
                    if (w.tolerance != 0 && nearEdge)
                        continue;
                    const SColor a = image.GetColor(x, y), b = back.GetColor(x, y);
                    worst = std::max({worst, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
                    if (w.tolerance == 0 && back.Format() == 32) {
                        EXPECT_EQ(a.t, b.t) << label << " at " << x << "," << y;
                    }
                }
            EXPECT_LE(worst, w.tolerance) << label;
        }
}

TEST(WriteBmpFile, FiveSixFiveAndTwoPlaneFormatsGiveStandardFiles)
{
    ScratchFolder folder;
    SBitmap rgb565 = Made(2, 1, 16);
    rgb565.SetColor(0, 0, SColor::Green);
    ASSERT_EQ(WriteBmpFile(rgb565, folder.SPath("565.bmp")), 0u);
    Bytes file = ReadFileBytes(folder.Path("565.bmp"));
    ASSERT_EQ(file.size(), 14u + 52 + 4);
    EXPECT_EQ(Word(file, 14), 40u);
    EXPECT_EQ(Word(file, 30), 3u);  // bit fields: the masks that follow are to be used
    EXPECT_EQ(Word(file, 54), 0xF800u);
    EXPECT_EQ(Word(file, 10), 66u);
    EXPECT_EQ(file[66] | file[67] << 8, 0x07E0);

    // The information header of a two-plane bitmap describes its first plane's leading bytes.
    SBitmap wide = Made(3, 2, 64);
    wide.SetColor(2, 1, SColor(1, 2, 3, 4));
    ASSERT_EQ(WriteBmpFile(wide, folder.SPath("64.bmp")), 0u);
    SBitmap back;
    ASSERT_EQ(ReadBmpBytes(back, ReadFileBytes(folder.Path("64.bmp"))), 0u);
    EXPECT_EQ(back.Format(), 32);
    EXPECT_EQ(back.GetColor(2, 1), SColor(1, 2, 3, 4));
    EXPECT_EQ(back.GetColor(0, 0), SColor(0, 0, 0, 255));

    SBitmap grey16 = Made(5, 1, -16);
    grey16.PixelAddress(4, 0)[0] = 77;
    ASSERT_EQ(WriteBmpFile(grey16, folder.SPath("g16.bmp")), 0u);
    ASSERT_EQ(ReadBmpBytes(back, ReadFileBytes(folder.Path("g16.bmp"))), 0u);
    EXPECT_EQ(back.Format(), 8);
    EXPECT_EQ(back.GetIndex(4, 0), 77u);
    EXPECT_EQ(back.GetColor(4, 0), SColor(77, 77, 77));
}

TEST(GreyFormats, StartWithAGreyRamp)
{
    EXPECT_EQ(Made(1, 1, -1).GetPaletteEntry(1), SColor::White);
    EXPECT_EQ(Made(1, 1, -4).GetPaletteEntry(3), SColor(51, 51, 51));
    EXPECT_EQ(Made(1, 1, -4).GetPaletteEntry(15), SColor::White);
    EXPECT_EQ(Made(1, 1, -8).GetPaletteEntry(200), SColor(200, 200, 200));
    EXPECT_EQ(Made(1, 1, -16).GetPaletteEntry(255), SColor::White);
    EXPECT_EQ(Made(1, 1, 8).GetPaletteEntry(200), SColor());  // palette formats stay zero

    // With keep, the old table overrides the ramp as far as it reaches.
    SBitmap image = Made(2, 2, -1);
    image.SetPaletteEntry(0, SColor::Red);
    image.Create(3, 3, -4, true);
    EXPECT_EQ(image.GetPaletteEntry(0), SColor::Red);
    EXPECT_EQ(image.GetPaletteEntry(1), SColor::White);
    EXPECT_EQ(image.GetPaletteEntry(2), SColor(34, 34, 34));
}

TEST(ReadImageFile, ChoosesTheReaderBySignatureNotByName)
{
    ScratchFolder folder;
    BmpRecipe recipe = Rgb24(2, 1);
    WriteFileBytes(folder.Path("picture.png"), MakeBmp(recipe));
    SBitmap image;
    ASSERT_EQ(ReadImageFile(&image, folder.SPath("picture.png")), 0u);
    EXPECT_EQ(image.Format(), 24);
    EXPECT_EQ(image.Width(), 2);

    EXPECT_EQ(ReadImageBytes(image, nullptr, nullptr), Id("InvalidArgument"));
    EXPECT_TRUE(image.IsPristine());
}

TEST(ReadImageFile, FailureTableEmptiesTheBitmap)
{
    ScratchFolder folder;
    WriteFileBytes(folder.Path("empty.bmp"), {});
    WriteFileBytes(folder.Path("text.txt"), {'h', 'e', 'l', 'l', 'o'});
    WriteFileBytes(folder.Path("broken.bmp"), {'B', 'M', 0x89, 'P', 'N', 'G'});
    ASSERT_EQ(mkdir(folder.Path("folder").c_str(), 0755), 0);
    ASSERT_EQ(mkfifo(folder.Path("fifo").c_str(), 0644), 0);

    struct Case
    {
        std::string name;
        SError error;
    };
    std::vector<Case> cases = {
        {"missing", Id("file_not_found")},
        {"folder", Id("file_not_found")},
        {"", Id("file_not_found")},
        {"fifo", Id("file_open")},  // exists, but cannot be mapped
        {"empty.bmp", Id("empty_file")},
        {"text.txt", Id("UnacceptableFormat")},
        {"broken.bmp", Id("InvalidData")},  // the BMP reader's error; not retried as PNG
    };
    for (const Case& c : cases) {
        SBitmap image = Occupied();
        SString path = c.name.empty() ? SString() : folder.SPath(c.name);
        EXPECT_EQ(ReadImageFile(&image, path), c.error) << c.name;
        EXPECT_TRUE(image.IsPristine()) << c.name;
    }
    EXPECT_EQ(ReadImageFile(nullptr, folder.SPath("text.txt")), Id("pointer"));

    if (geteuid() != 0) {  // the superuser reads any file
        WriteFileBytes(folder.Path("locked.bmp"), MakeBmp(Rgb24(1, 1)));
        ASSERT_EQ(chmod(folder.Path("locked.bmp").c_str(), 0), 0);
        SBitmap image = Occupied();
        EXPECT_EQ(ErrorIdentity(ReadImageFile(&image, folder.SPath("locked.bmp"))), ErrorFromSystemCode(EACCES));
        EXPECT_TRUE(image.IsPristine());
    }
}

TEST(ReadImageFile, FallbackReaderIsAskedOnlyAfterTheBuiltInOnesFail)
{
    ScratchFolder folder;
    WriteFileBytes(folder.Path("broken.bmp"), {'B', 'M', 1, 2, 3});
    WriteFileBytes(folder.Path("other.tif"), {'I', 'I', '*', 0});
    WriteFileBytes(folder.Path("good.bmp"), MakeBmp(Rgb24(1, 1)));
    WriteFileBytes(folder.Path("empty"), {});

    int calls = 0;
    std::size_t seen = 0;
    SString seenPath;
    SAbort progress;
    SAbort* seenAbort = nullptr;
    SPictureReader succeeds = [&](SBitmap& bitmap, const std::uint8_t* begin, const std::uint8_t* end,
                                  const SString& path, SAbort* abort) -> SError {
        ++calls;
        seen = std::size_t(end - begin);
        seenPath = path;
        seenAbort = abort;
        bitmap.Create(4, 4, 32);
        return 0;
    };
    SPictureReader fails = [&](SBitmap& bitmap, const std::uint8_t*, const std::uint8_t*, const SString&,
                               SAbort*) -> SError {
        ++calls;
        bitmap.Create(4, 4, 32);  // whatever it left is dropped
        return Id("plugin");
    };

    SBitmap image;
    EXPECT_EQ(ReadImageFile(&image, folder.SPath("other.tif"), succeeds, &progress), 0u);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen, 4u);
    EXPECT_EQ(seenPath, folder.SPath("other.tif"));
    EXPECT_EQ(seenAbort, &progress);
    EXPECT_EQ(image.Width(), 4);

    // A file with the BMP signature that the BMP reader refuses goes to the fallback, not to PNG or
    // JPEG; when the fallback fails too, the BMP reader's error stands.
    EXPECT_EQ(ReadImageFile(&image, folder.SPath("broken.bmp"), succeeds), 0u);
    EXPECT_EQ(seen, 5u);
    EXPECT_EQ(ReadImageFile(&image, folder.SPath("broken.bmp"), fails), Id("InvalidData"));
    EXPECT_TRUE(image.IsPristine());
    // Without a built-in signature the fallback's own failure is the answer (a damaged picture it
    // knows, an abort); only when it declines too is the format unsupported.
    EXPECT_EQ(ReadImageFile(&image, folder.SPath("other.tif"), fails), Id("plugin"));
    EXPECT_TRUE(image.IsPristine());
    SPictureReader declines = [](SBitmap&, const std::uint8_t*, const std::uint8_t*, const SString&,
                                 SAbort*) -> SError { return Id("UnacceptableFormat"); };
    EXPECT_EQ(ReadImageFile(&image, folder.SPath("other.tif"), declines), Id("UnacceptableFormat"));

    calls = 0;
    EXPECT_EQ(ReadImageFile(&image, folder.SPath("good.bmp"), fails), 0u);
    EXPECT_EQ(ReadImageFile(&image, folder.SPath("empty"), succeeds), Id("empty_file"));
    EXPECT_EQ(calls, 0);
}
