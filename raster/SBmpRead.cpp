// The BMP reader: the headers, the bitmap format they call for, and the rows copied or decoded.
#include "SBitmapBlock.h"
#include "SBmpFile.h"
#include "SBmpRead.h"
#include "Sximage.h"

#include <algorithm>
#include <cstring>

namespace ulib {

namespace {

using namespace bmp;

// The reader steps over the 14-byte file header with this: "BM" and twelve bytes of any value.
constexpr std::string_view BmpFileHeader = "+B+M::::::::::::::::::::::::";

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

enum class Decoding { Copy, Fields, RunLengths };

// What the file's pixels become: the bitmap format and how the stored rows get there.
struct Plan
{
    std::int32_t format = 0;
    Decoding decoding = Decoding::Copy;
    Masks masks;
    bool alpha = false;  // the fourth byte of the 32-bit pixels is alpha
};

// The bitmap format whose pixels a bit-field file stores as they stand: 5-6-5 and 5-5-5 for 16 bits
// (formats 16 and 15), 8-8-8 for 32; 0 for any other layout.
std::int32_t PlainFormat(std::uint16_t bitCount, const Masks& m)
{
    if (bitCount == 16 && m.red == 0xF800 && m.green == 0x07E0 && m.blue == 0x001F)
        return 16;
    if (bitCount == 16 && m.red == 0x7C00 && m.green == 0x03E0 && m.blue == 0x001F)
        return 15;
    if (bitCount == 32 && m.red == 0x00FF0000 && m.green == 0x0000FF00 && m.blue == 0x000000FF)
        return 32;
    return 0;
}

// The plain layouts keep their stored pixels (an alpha mask of a 16-bit one is not read, so those
// files give the picture they always gave); any other layout is unpacked to 24 bits, or to 32 with
// alpha when the header has an alpha mask.
SError PlanBitFields(const BmpInfo& info, const std::uint8_t* infoAt, const std::uint8_t* end, Plan& plan)
{
    const std::size_t available = std::size_t(end - infoAt);
    if (available < InfoHeaderSize + BitFieldsMaskBytes ||
        (info.size >= AlphaMaskHeaderSize && available < AlphaMaskHeaderSize))
        return ErrorFromIdentifier("taillostdata");
    Masks& m = plan.masks;
    m.red = GetLE32(infoAt + InfoHeaderSize);
    m.green = GetLE32(infoAt + InfoHeaderSize + 4);
    m.blue = GetLE32(infoAt + InfoHeaderSize + 8);
    m.alpha = info.size >= AlphaMaskHeaderSize ? GetLE32(infoAt + InfoHeaderSize + 12) : 0;
    plan.format = PlainFormat(info.bitCount, m);
    if (plan.format != 0) {
        plan.alpha = plan.format == 32 && m.alpha == 0xFF000000;
        return 0;
    }
    if ((info.bitCount != 16 && info.bitCount != 32) || !AreUsableMasks(m, info.bitCount))
        return ErrorFromIdentifier("UnacceptableVersion");
    plan.format = m.alpha != 0 ? 32 : 24;
    plan.alpha = m.alpha != 0;
    plan.decoding = Decoding::Fields;
    return 0;
}

SError PlanFor(const BmpInfo& info, const std::uint8_t* infoAt, const std::uint8_t* end, Plan& plan)
{
    const SError unacceptable = ErrorFromIdentifier("UnacceptableVersion");
    if (info.size < InfoHeaderSize)
        return unacceptable;
    switch (info.compression) {
    case 0:
        // Uncompressed 16-bit pixels are 5-5-5 in every BMP; 5-6-5 needs masks (compression 3).
        plan.format = info.bitCount == 16 ? 15 : info.bitCount;
        return 0;
    case Rle8Compression:
    case Rle4Compression:
        if (info.bitCount != (info.compression == Rle8Compression ? 8 : 4))
            return unacceptable;
        plan.format = info.bitCount;
        plan.decoding = Decoding::RunLengths;
        return 0;
    case BitFieldsCompression:
        return PlanBitFields(info, infoAt, end, plan);
    default:
        return unacceptable;
    }
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

SError ReadBmp(SBitmap& bitmap, const std::uint8_t* begin, const std::uint8_t* end)
{
    if (begin == nullptr || end == nullptr || end < begin)
        return Refuse(bitmap, "InvalidArgument");
    const std::uint8_t* infoAt = MatchSignature(begin, end, BmpFileHeader);
    if (infoAt == nullptr || std::size_t(end - infoAt) < InfoHeaderSize)
        return Refuse(bitmap, "InvalidData");
    const BmpInfo info = ParseInfo(infoAt);
    Plan plan;
    if (const SError err = PlanFor(info, infoAt, end, plan)) {
        bitmap.Release();
        return err;
    }

    const bool topDown = info.height < 0;
    const std::int64_t height = topDown ? -std::int64_t(info.height) : info.height;
    if (!block::IsValidFormat(plan.format) || info.width < 0 || info.width > SBitmap::MaxSize ||
        height > SBitmap::MaxSize)
        return Refuse(bitmap, "memory_alloc");

    // Every size below is 64-bit and at most a few times 2^32, so none of the sums can overflow.
    // The masks follow a 40-byte header and lie inside the longer ones.
    const bool masksAfter = info.compression == BitFieldsCompression && info.size < InfoHeaderSize + BitFieldsMaskBytes;
    const std::uint64_t maskBytes = masksAfter ? BitFieldsMaskBytes : 0;
    const std::uint64_t size = std::uint64_t(end - begin);
    const std::uint64_t tableAt = FileHeaderSize + std::uint64_t(info.size) + maskBytes;
    const std::uint64_t entries = info.coloursUsed != 0 ? info.coloursUsed : block::PaletteEntries(plan.format);
    const std::uint64_t tableEnd = tableAt + entries * 4;
    if (tableEnd > size)
        return Refuse(bitmap, "taillostdata");
    // Writers may leave a gap after the colour table; the file header says where the rows start.
    // An offset that points back into the headers or past the data is not trusted.
    const std::uint64_t pixelOffset = GetLE32(begin + 10);
    const std::uint64_t pixelsAt = pixelOffset > tableEnd && pixelOffset < size ? pixelOffset : tableEnd;
    // Copied rows have the bitmap's stride (a 15-bit count is stored in 16 bits, like 5-5-5).
    const std::uint64_t fileStride = plan.decoding == Decoding::Copy
                                         ? block::ComputeLayout(info.width, std::int32_t(height), plan.format).stride
                                         : (std::uint64_t(info.width) * info.bitCount + 31) / 32 * 4;
    const std::uint64_t pixelBytes = plan.decoding == Decoding::RunLengths ? 0 : fileStride * std::uint64_t(height);
    if (pixelsAt + pixelBytes > size)
        return Refuse(bitmap, "taillostdata");
    // Run lengths have no size of their own: the whole stream is checked before anything is allocated.
    const bool fourBits = plan.format == 4;
    if (plan.decoding == Decoding::RunLengths) {
        const SError err = DecodeRunLengths(nullptr, info.width, std::int32_t(height), fourBits, begin + pixelsAt, end);
        if (err != 0) {
            bitmap.Release();
            return err;
        }
    }

    bitmap.Release();  // nothing of a previous picture (its colour table) may survive
    bitmap.Create(info.width, std::int32_t(height), plan.format);
    if (bitmap.Width() != info.width || bitmap.Height() != height || bitmap.Format() != plan.format)
        return Refuse(bitmap, "memory_alloc");
    bitmap.SetResolutionX(info.resolutionX);
    bitmap.SetResolutionY(info.resolutionY);
    bitmap.SetHasAlpha(plan.alpha);

    // The colour table lies directly before the pixel area. A table longer than the bitmap's is
    // stepped over; its first entries are kept.
    const std::uint64_t kept = std::min<std::uint64_t>(entries, std::uint64_t(bitmap.PaletteCount()));
    if (kept != 0)
        std::memcpy(bitmap.PixelArea() - bitmap.PaletteCount() * 4, begin + tableAt, std::size_t(kept) * 4);
    switch (plan.decoding) {
    case Decoding::Copy:
        if (pixelBytes != 0)
            std::memcpy(bitmap.PixelArea(), begin + pixelsAt, std::size_t(pixelBytes));
        break;
    case Decoding::Fields:
        UnpackFields(bitmap, begin + pixelsAt, std::size_t(fileStride), info.bitCount, plan.masks);
        break;
    case Decoding::RunLengths:
        DecodeRunLengths(&bitmap, info.width, std::int32_t(height), fourBits, begin + pixelsAt, end);
        break;
    }
    if (topDown)
        ReverseRows(bitmap);
    return 0;
}

}  // namespace ulib
