// Signature patterns, the BMP reader and writer, and the readers that choose a format by signature.
#include "Sximage.h"

#include "SAscii.h"
#include "SBitmapBlock.h"
#include "SFileMapper.h"
#include "Sxpng.h"

#include <algorithm>
#include <cstring>

#include <sys/stat.h>

namespace ulib {

namespace {

// The BMP reader steps over the 14-byte file header with this: "BM" and twelve bytes of any value.
constexpr std::string_view BmpFileHeader = "+B+M::::::::::::::::::::::::";

constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t InfoHeaderSize = 40;
// Compression 3: the pixels are unpacked through three channel masks (red, green, blue).
constexpr std::uint32_t BitFieldsCompression = 3;
constexpr std::size_t BitFieldsMaskBytes = 12;

bool IsLetterOrDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The byte a '/' escape stands for, or -1.
int EscapedByte(char letter)
{
    static constexpr std::string_view letters = "zabtnvfrcesd";
    static constexpr std::uint8_t bytes[] = {0x00, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x18, 0x1B, 0x20, 0x7F};
    char lower = letter >= 'A' && letter <= 'Z' ? char(letter - 'A' + 'a') : letter;
    std::size_t i = letters.find(lower);
    return i == std::string_view::npos ? -1 : bytes[i];
}

constexpr int AnyByte = 256;

// The byte one pattern pair matches (AnyByte for "::"), or -1 for a pair that is not valid.
int PairValue(char first, char second)
{
    if (first == '+')
        return IsLetterOrDigit(second) ? static_cast<unsigned char>(second) : -1;
    if (first == ':')
        return second == ':' ? AnyByte : -1;
    if (first == '/')
        return EscapedByte(second);
    int high = HexDigitValue(first), low = HexDigitValue(second);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}


SError Refuse(SBitmap& bitmap, const char* identifier)
{
    bitmap.Release();
    return ErrorFromIdentifier(identifier);
}

// The fields of the BITMAPINFOHEADER that the reader uses.
struct BmpInfo
{
    std::uint32_t size;
    std::int32_t width;
    std::int32_t height;
    std::uint16_t bitCount;
    std::uint32_t compression;
    std::int32_t resolutionX;
    std::int32_t resolutionY;
    std::uint32_t coloursUsed;
};

BmpInfo ParseInfo(const std::uint8_t* p)
{
    BmpInfo info;
    info.size = GetLE32(p);
    info.width = std::int32_t(GetLE32(p + 4));
    info.height = std::int32_t(GetLE32(p + 8));
    info.bitCount = GetLE16(p + 14);
    info.compression = GetLE32(p + 16);
    info.resolutionX = std::int32_t(GetLE32(p + 24));
    info.resolutionY = std::int32_t(GetLE32(p + 28));
    info.coloursUsed = GetLE32(p + 32);
    return info;
}

// The bitmap format of a bit-field BMP (compression 3) whose channel masks are one of the plain
// layouts: 5-6-5 and 5-5-5 for 16 bits (formats 16 and 15), 8-8-8 for 32; 0 for any other.
std::int32_t BitFieldsFormat(std::uint16_t bitCount, const std::uint8_t* masks)
{
    const std::uint32_t red = GetLE32(masks), green = GetLE32(masks + 4), blue = GetLE32(masks + 8);
    if (bitCount == 16 && red == 0xF800 && green == 0x07E0 && blue == 0x001F)
        return 16;
    if (bitCount == 16 && red == 0x7C00 && green == 0x03E0 && blue == 0x001F)
        return 15;
    if (bitCount == 32 && red == 0x00FF0000 && green == 0x0000FF00 && blue == 0x000000FF)
        return 32;
    return 0;
}

void ReverseRows(SBitmap& bitmap)
{
    std::size_t stride = std::size_t(bitmap.Stride());
    std::uint8_t* area = bitmap.PixelArea();
    for (std::int32_t top = 0, bottom = bitmap.Height() - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(area + std::size_t(top) * stride, area + std::size_t(top + 1) * stride,
                         area + std::size_t(bottom) * stride);
}

}  // namespace

const std::uint8_t* MatchSignature(const std::uint8_t* begin, const std::uint8_t* end, std::string_view pattern)
{
    if (begin == nullptr || end == nullptr || end < begin || pattern.size() % 2 != 0)
        return nullptr;
    const std::uint8_t* at = begin;
    for (std::size_t i = 0; i < pattern.size(); i += 2) {
        int value = PairValue(pattern[i], pattern[i + 1]);
        if (value < 0 || at == end)
            return nullptr;
        if (value != AnyByte && *at != value)
            return nullptr;
        ++at;
    }
    return at;
}

bool HasSignature(const std::uint8_t* begin, const std::uint8_t* end, std::string_view pattern)
{
    return MatchSignature(begin, end, pattern) != nullptr;
}

// BMP file layout (little-endian):
//   0  "BM" | u32 file size | u16 0 | u16 0 | u32 pixel offset          file header, 14 bytes
//  14  BITMAPINFOHEADER: u32 size | i32 width | i32 height (negative: top-down) | u16 planes |
//      u16 bit count | u32 compression | u32 image size | i32 x and y pixels per metre |
//      u32 colours used | u32 colours important                         40 bytes or more
//      colour table: 4 bytes per entry (B, G, R, 0), at 14 + information header size
//      pixel rows, bottom-up unless the height is negative, each padded to 4 bytes
SError ReadBmp(SBitmap& bitmap, const std::uint8_t* begin, const std::uint8_t* end)
{
    if (begin == nullptr || end == nullptr || end < begin)
        return Refuse(bitmap, "InvalidArgument");
    const std::uint8_t* infoAt = MatchSignature(begin, end, BmpFileHeader);
    if (infoAt == nullptr || std::size_t(end - infoAt) < InfoHeaderSize)
        return Refuse(bitmap, "InvalidData");
    const BmpInfo info = ParseInfo(infoAt);
    if (info.size < InfoHeaderSize || (info.compression != 0 && info.compression != BitFieldsCompression))
        return Refuse(bitmap, "UnacceptableVersion");

    const bool topDown = info.height < 0;
    const std::int64_t height = topDown ? -std::int64_t(info.height) : info.height;
    // Uncompressed 16-bit pixels are 5-5-5 in every BMP; 5-6-5 needs masks (compression 3). The
    // masks follow a 40-byte header and lie inside the longer ones.
    std::int32_t format = info.bitCount == 16 ? 15 : info.bitCount;
    std::uint64_t maskBytes = 0;
    if (info.compression == BitFieldsCompression) {
        if (std::size_t(end - infoAt) < InfoHeaderSize + BitFieldsMaskBytes)
            return Refuse(bitmap, "taillostdata");
        format = BitFieldsFormat(info.bitCount, infoAt + InfoHeaderSize);
        if (format == 0)
            return Refuse(bitmap, "UnacceptableVersion");
        maskBytes = info.size < InfoHeaderSize + BitFieldsMaskBytes ? BitFieldsMaskBytes : 0;
    }
    if (!block::IsValidFormat(format) || info.width < 0 || info.width > SBitmap::MaxSize || height > SBitmap::MaxSize)
        return Refuse(bitmap, "memory_alloc");

    // Every size below is 64-bit and at most a few times 2^32, so none of the sums can overflow.
    const block::Layout layout = block::ComputeLayout(info.width, std::int32_t(height), format);
    const std::uint64_t size = std::uint64_t(end - begin);
    const std::uint64_t tableAt = FileHeaderSize + std::uint64_t(info.size) + maskBytes;
    const std::uint64_t entries = info.coloursUsed != 0 ? info.coloursUsed : layout.entries;
    const std::uint64_t tableEnd = tableAt + entries * 4;
    if (tableEnd > size)
        return Refuse(bitmap, "taillostdata");
    // Writers may leave a gap after the colour table; the file header says where the rows start.
    // An offset that points back into the headers or past the data is not trusted.
    const std::uint64_t pixelOffset = GetLE32(begin + 10);
    const std::uint64_t pixelsAt = pixelOffset > tableEnd && pixelOffset < size ? pixelOffset : tableEnd;
    const std::uint64_t pixelBytes = std::uint64_t(layout.stride) * std::uint64_t(height);
    if (pixelsAt + pixelBytes > size)
        return Refuse(bitmap, "taillostdata");

    bitmap.Release();  // nothing of a previous picture (its colour table) may survive
    bitmap.Create(info.width, std::int32_t(height), format);
    if (bitmap.Width() != info.width || bitmap.Height() != height || bitmap.Format() != format)
        return Refuse(bitmap, "memory_alloc");
    bitmap.SetResolutionX(info.resolutionX);
    bitmap.SetResolutionY(info.resolutionY);

    // The colour table lies directly before the pixel area. A table longer than the bitmap's is
    // stepped over; its first entries are kept.
    const std::uint64_t kept = std::min<std::uint64_t>(entries, std::uint64_t(bitmap.PaletteCount()));
    if (kept != 0)
        std::memcpy(bitmap.PixelArea() - bitmap.PaletteCount() * 4, begin + tableAt, std::size_t(kept) * 4);
    if (pixelBytes != 0)
        std::memcpy(bitmap.PixelArea(), begin + pixelsAt, std::size_t(pixelBytes));
    if (topDown)
        ReverseRows(bitmap);
    return 0;
}

SError WriteBmpFile(const SBitmap& bitmap, const SString& path)
{
    const std::int32_t format = bitmap.Format();
    // Format 15 is what a plain 16-bit file holds, so it needs no masks; 5-6-5 does, and a file
    // giving masks must say so in its compression field or other readers take it for 5-5-5.
    const std::size_t infoBytes = InfoHeaderSize + (format == 16 ? BitFieldsMaskBytes : 0);
    const std::size_t tableBytes = std::size_t(bitmap.PaletteCount()) * 4;
    const std::uint32_t bits = block::DescribedBits(format);
    const std::size_t fileStride = (std::size_t(bitmap.Width()) * bits + 31) / 32 * 4;
    const std::size_t pixelBytes = fileStride * std::size_t(bitmap.Height());
    const std::size_t total = FileHeaderSize + infoBytes + tableBytes + pixelBytes;

    SFileMapper file;
    if (SError err = file.OpenWrite(path))
        return err;
    if (SError err = file.Resize(total))
        return err;  // the writer discards the temporary file
    if (file.Size() != total)
        return ErrorFromIdentifier("file_resize");

    std::uint8_t* out = file.Begin();
    out[0] = 'B';
    out[1] = 'M';
    PutLE32(out + 2, std::uint32_t(total));
    PutLE32(out + 6, 0);
    PutLE32(out + 10, std::uint32_t(total - pixelBytes));
    out += FileHeaderSize;
    std::memcpy(out, bitmap.InfoHeader(), InfoHeaderSize);
    if (format == 15 || format == 16)
        PutLE16(out + block::InfoBitCount, 16);
    if (format == 16) {
        PutLE32(out + 16, BitFieldsCompression);
        std::memcpy(out + InfoHeaderSize, bitmap.InfoHeader() + InfoHeaderSize, BitFieldsMaskBytes);
    }
    out += infoBytes;
    if (tableBytes != 0)
        std::memcpy(out, bitmap.PixelArea() - tableBytes, tableBytes);
    out += tableBytes;

    if (!block::HasSecondPlane(format)) {
        if (pixelBytes != 0)
            std::memcpy(out, bitmap.PixelArea(), pixelBytes);
    } else {
        // The information header describes the first bytes of each stored pixel; pack them.
        const std::size_t step = bits / 8, storedStep = step * 2, stride = std::size_t(bitmap.Stride());
        for (std::int32_t row = 0; row < bitmap.Height(); ++row) {
            const std::uint8_t* from = bitmap.PixelArea() + std::size_t(row) * stride;
            std::uint8_t* to = out + std::size_t(row) * fileStride;
            for (std::int32_t x = 0; x < bitmap.Width(); ++x)
                std::memcpy(to + std::size_t(x) * step, from + std::size_t(x) * storedStep, step);
        }
    }
    return file.Close();
}

SError ReadImageBytes(SBitmap& bitmap, const std::uint8_t* begin, const std::uint8_t* end)
{
    if (begin == nullptr || end == nullptr || end < begin)
        return Refuse(bitmap, "InvalidArgument");
    if (HasSignature(begin, end, BmpSignature))
        return ReadBmp(bitmap, begin, end);
    if (HasSignature(begin, end, PngSignature))
        return ReadPngBytes(bitmap, begin, end);
    if (HasSignature(begin, end, JpegSignature))
        return ReadJpegBytes(bitmap, begin, end);
    return Refuse(bitmap, "UnacceptableFormat");
}

SError ReadImageFile(SBitmap* bitmap, const SString& path, const SPictureReader& fallback, SAbort* abort)
{
    if (bitmap == nullptr)
        return ErrorFromIdentifier("pointer");
    struct stat st;
    if (path.IsEmpty() || stat(path.CStr(), &st) != 0 || S_ISDIR(st.st_mode))
        return Refuse(*bitmap, "file_not_found");

    SFileMapper file;
    if (SError err = file.OpenRead(path)) {
        bitmap->Release();
        return err;
    }
    if (file.Size() == 0) {
        file.Close();
        return Refuse(*bitmap, "empty_file");
    }
    // A file that carries a built-in signature goes to that reader only: a broken BMP is not
    // retried as PNG or JPEG.
    SError result = ReadImageBytes(*bitmap, file.Begin(), file.End());
    if (result != 0 && fallback) {
        bitmap->Release();
        const SError plugins = fallback(*bitmap, file.Begin(), file.End(), path, abort);
        // Without a built-in signature the plug-ins' answer is the only one that knows the file: a
        // damaged picture a plug-in recognised, or an abort, is not "unsupported format".
        const SError unacceptable = ErrorFromIdentifier("UnacceptableFormat");
        if (plugins == 0 || (result == unacceptable && plugins != unacceptable))
            result = plugins;
    }
    SError closed = file.Close();
    if (result == 0)
        result = closed;
    if (result != 0)
        bitmap->Release();
    return result;
}

}  // namespace ulib
