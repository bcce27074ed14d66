// Pins the documents the import makes from every kind of picture file the program reads and writes
// itself, and from the shipped sample scan: new readers must not change a byte of them. Each
// document is identified by a hash of its file; a deliberate change of the import updates the table.
#include "ConversionFolder.h"

#include "SDocumentFile.h"
#include "Sxpng.h"

#include <cstdint>
#include <string>
#include <vector>

using namespace ulib;

namespace {

std::uint64_t Fnv1a(const std::string& bytes)
{
    std::uint64_t hash = 0xCBF29CE484222325u;
    for (const unsigned char byte : bytes)
        hash = (hash ^ byte) * 0x100000001B3u;
    return hash;
}

// A scan-like picture: noisy paper, a dark closed outline, a red and a blue pencil stroke.
SBitmap PinScan(std::int32_t format)
{
    constexpr std::int32_t W = 97, H = 61;
    SBitmap scan;
    scan.Create(W, H, format);
    if (format <= 8)
        for (std::int32_t i = 0; i < scan.PaletteCount(); ++i)
            scan.SetPaletteEntry(i, SColor(std::uint8_t(i * 255 / (scan.PaletteCount() - 1)),
                                           std::uint8_t(i * 255 / (scan.PaletteCount() - 1)),
                                           std::uint8_t(255 - i * 200 / (scan.PaletteCount() - 1))));
    std::uint32_t seed = 12345;
    for (std::int32_t y = 0; y < H; ++y)
        for (std::int32_t x = 0; x < W; ++x) {
            seed = seed * 1103515245u + 12345u;
            const auto paper = std::uint8_t(236 + (seed >> 16) % 18);
            const bool outline = (x >= 8 && x < 89 && y >= 6 && y < 55) && !(x >= 11 && x < 86 && y >= 9 && y < 52);
            SColor colour(paper, paper, std::uint8_t(paper - 4));
            if (outline)
                colour = SColor(35, 32, 30);
            else if (y == 30 && x > 20 && x < 70)
                colour = SColor(215, 55, 50);
            else if (x == 48 && y > 15 && y < 45)
                colour = SColor(60, 80, 210);
            if (format <= 8)
                scan.SetIndex(x, y, std::uint32_t(colour.g) * std::uint32_t(scan.PaletteCount() - 1) / 255);
            else
                scan.SetColor(x, y, colour);
        }
    return scan;
}

class ImportPin : public ConversionFolder
{
protected:
    std::uint64_t Imported(const SString& picture)
    {
        EXPECT_EQ(ImportImageFileToDocumentFile(picture, Path("pin.hdq"), SHuedraneOptions(), nullptr, nullptr), 0u)
            << picture.Str();
        return Fnv1a(Bytes("pin.hdq"));
    }
};

TEST_F(ImportPin, DocumentsFromThePicturesReadTodayStayByteIdentical)
{
    struct Case
    {
        const char* name;
        std::int32_t format;
        std::uint64_t hash;
    };
    const Case cases[] = {
        {"bmp1.bmp", 1, 0x00b3bf30bfb62580u},   {"bmp4.bmp", 4, 0x876012fbe2c8560au},
        {"bmp8.bmp", 8, 0x97879bc63131df9bu},   {"bmp15.bmp", 15, 0xa1df617230468be8u},
        {"bmp16.bmp", 16, 0x6f34c2795e2fc597u}, {"bmp24.bmp", 24, 0x3ab6956fb155db28u},
        {"bmp32.bmp", 32, 0x3ab6956fb155db28u}, {"png24.png", 24, 0x3ab6956fb155db28u},
        {"png32.png", 32, 0x3ab6956fb155db28u}, {"jpeg24.jpg", 24, 0x0711cd2739965971u},
    };
    for (const Case& c : cases) {
        SBitmap scan = PinScan(c.format);
        const std::string name = c.name;
        // An opaque PNG; the BMP keeps fourth bytes of 0, which a BMP without an alpha mask ignores.
        if (name == "png32.png")
            for (std::int32_t y = 0; y < scan.Height(); ++y)
                for (std::int32_t x = 0; x < scan.Width(); ++x)
                    scan.Row32(y)[x] |= 0xFF000000u;
        const SString file = Path(c.name);
        const SError written = name.ends_with(".bmp")   ? WriteBmpFile(scan, file)
                               : name.ends_with(".png") ? WritePngFile(&scan, file)
                                                        : WriteJpegFile(scan, file);
        ASSERT_EQ(written, 0u) << c.name;
        EXPECT_EQ(Imported(file), c.hash) << c.name << std::hex << " gives 0x" << Imported(file);
    }
    EXPECT_EQ(Imported(SString(HUEDRANE_SOURCE_DIR "/data/sample-scan.jpg")), 0xeb08f539fce6813au) << "sample scan";
}

}  // namespace
