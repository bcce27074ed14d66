// Signature patterns, the BMP writer, and the readers that choose a format by signature.
#include "Sximage.h"

#include "SAscii.h"
#include "SBitmapBlock.h"
#include "SBmpFile.h"
#include "SFileMapper.h"
#include "Sxpng.h"

#include <cstring>

#include <sys/stat.h>

namespace ulib {

namespace {

using namespace bmp;

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

SError ReadImageBytes(SBitmap& bitmap, const std::uint8_t* begin, const std::uint8_t* end, const SRowsRead* rowsRead)
{
    if (begin == nullptr || end == nullptr || end < begin)
        return Refuse(bitmap, "InvalidArgument");
    if (HasSignature(begin, end, BmpSignature))
        return ReadBmp(bitmap, begin, end);
    if (HasSignature(begin, end, PngSignature))
        return ReadPngBytes(bitmap, begin, end, rowsRead);
    if (HasSignature(begin, end, JpegSignature))
        return ReadJpegBytes(bitmap, begin, end, rowsRead);
    return Refuse(bitmap, "UnacceptableFormat");
}

SError ReadImageFile(SBitmap* bitmap, const SString& path, const SPictureReader& fallback, SAbort* abort,
                     const SRowsRead* rowsRead)
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
    SError result = ReadImageBytes(*bitmap, file.Begin(), file.End(), rowsRead);
    // A read its listener stopped is not retried.
    if (result != 0 && fallback && !(rowsRead && result == ErrorFromIdentifier("abort"))) {
        bitmap->Release();
        const SError plugins = fallback(*bitmap, file.Begin(), file.End(), path, abort);
        // Without a built-in signature the plug-ins' answer is the only one that knows the file: a
        // damaged picture a plug-in recognised, or an abort, is not "unsupported format".
        const SError unacceptable = ErrorFromIdentifier("UnacceptableFormat");
        if (plugins == 0 || (result == unacceptable && plugins != unacceptable))
            result = plugins;
    }
    SError closed = file.Close();
    if (result == 0 && closed != 0) {
        result = closed;
        if (rowsRead)
            (*rowsRead)(*bitmap, -1);
    }
    if (result != 0)
        bitmap->Release();
    return result;
}

}  // namespace ulib
