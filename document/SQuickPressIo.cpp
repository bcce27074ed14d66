// The document file: an SQuickPress written out byte for byte. All integers little-endian.
//
// Header, 36 bytes:
//    0  8  magic 51 55 49 50 52 53 80 00 ("QUIPRS", 0x80, 0)
//    8  8  application tag (SetApplicationTag; "huedrane")
//   16  2  reserved 0        18  2  record count       20  2  reserved 0      22  2  version 0
//   24  2  width             26  2  height             28  2  |format|        30  2  1 if format < 0
//   32  4  offset of the first record from byte 36 (written 0)
//
// Record, one per layer, each directly after the previous one:
//    0  4  record size         4  4  kind
//    8  2  name length with its zero byte               10  2  count of 8-byte reserved items (0)
//   12  2  colour entries     14  2  tiles              16  4  extra length
//   20  2  originX (signed)   22  2  originY (signed)   24  2  width       26  2  height
//   28  2  |format|           30  2  1 if format < 0    32  4  bit 0: flags != 0
//   36     name bytes, zero byte; reserved items; colour entries (R, G, B, 255);
//          per tile: coded length n (4), left, top, right, bottom (4 each, signed), n coded bytes;
//          extra bytes; 4 zero bytes
#include "SQuickPress.h"

#include "SByteOrder.h"

#include <atomic>
#include <cstring>
#include <limits>
#include <new>

namespace ulib {

namespace {

constexpr std::uint8_t Magic[8] = {0x51, 0x55, 0x49, 0x50, 0x52, 0x53, 0x80, 0x00};
constexpr std::size_t RecordHeader = 36;
constexpr std::size_t TileHeader = 20;

constexpr std::uint64_t TagWord(std::string_view text)
{
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < 8 && i < text.size(); ++i)
        word |= std::uint64_t(std::uint8_t(text[i])) << (8 * i);
    return word;
}

// Set at start-up, read by any thread that reads or writes files.
std::atomic<std::uint64_t> applicationTag{TagWord("huedrane")};
std::atomic<bool> skipTagCheck{false};


// The 13 pixel format codes of SBitmap.
bool IsFormatCode(std::int32_t format)
{
    switch (format) {
    case -16: case -8: case -4: case -1: case 1: case 4: case 8: case 15: case 16: case 24: case 32: case 48: case 64:
        return true;
    default:
        return false;
    }
}

std::int32_t SignedFormat(std::uint32_t magnitude, std::uint32_t negative)
{
    return negative != 0 ? -std::int32_t(magnitude) : std::int32_t(magnitude);
}

bool FitsUnsigned16(std::int64_t v) { return v >= 0 && v <= 0xFFFF; }
bool FitsSigned16(std::int64_t v) { return v >= -0x8000 && v <= 0x7FFF; }

// Whether every field of the layer's record can hold its value.
bool RecordFits(const SQuickPressLayer& layer, std::size_t size)
{
    if (size > 0xFFFFFFFFu || std::size_t(layer.name.Length()) + 1 > 0xFFFF || layer.extra.Length() > 0xFFFFFFFFu)
        return false;
    if (!FitsSigned16(layer.originX) || !FitsSigned16(layer.originY) || !FitsUnsigned16(layer.width) ||
        !FitsUnsigned16(layer.height) || !FitsUnsigned16(std::int64_t(layer.format < 0 ? -std::int64_t(layer.format) : layer.format)))
        return false;
    return layer.palette.Count() <= 0xFFFF && layer.tiles.Count() <= 0xFFFF;
}

// Writes one record at p (size bytes, already known to lie inside the buffer).
void WriteRecord(const SQuickPressLayer& layer, std::uint8_t* p, std::size_t size)
{
    const std::size_t nameLength = std::size_t(layer.name.Length());
    PutLE32(p, std::uint32_t(size));
    PutLE32(p + 4, std::uint32_t(layer.kind));
    PutLE16(p + 8, std::uint32_t(nameLength + 1));
    PutLE16(p + 10, 0);
    PutLE16(p + 12, std::uint32_t(layer.palette.Count()));
    PutLE16(p + 14, std::uint32_t(layer.tiles.Count()));
    PutLE32(p + 16, std::uint32_t(layer.extra.Length()));
    PutLE16(p + 20, std::uint32_t(layer.originX));
    PutLE16(p + 22, std::uint32_t(layer.originY));
    PutLE16(p + 24, std::uint32_t(layer.width));
    PutLE16(p + 26, std::uint32_t(layer.height));
    PutLE16(p + 28, std::uint32_t(layer.format < 0 ? -layer.format : layer.format));
    PutLE16(p + 30, layer.format < 0 ? 1 : 0);
    PutLE32(p + 32, layer.flags != 0 ? 1 : 0);
    std::uint8_t* q = p + RecordHeader;
    std::memcpy(q, layer.name.CStr(), nameLength + 1);
    q += nameLength + 1;
    for (std::int32_t i = 0; i < layer.palette.Count(); ++i, q += 4) {
        const SColor c = layer.palette.Get(i);
        q[0] = c.r;
        q[1] = c.g;
        q[2] = c.b;
        q[3] = std::uint8_t(255 - c.t);
    }
    for (std::int32_t i = 0; i < layer.tiles.Count(); ++i) {
        const SRect& r = layer.tiles.Key(i);
        const SBinary& bytes = layer.tiles.Value(i);
        PutLE32(q, std::uint32_t(bytes.Length()));
        PutLE32(q + 4, std::uint32_t(r.left));
        PutLE32(q + 8, std::uint32_t(r.top));
        PutLE32(q + 12, std::uint32_t(r.right));
        PutLE32(q + 16, std::uint32_t(r.bottom));
        q += TileHeader;
        if (!bytes.IsEmpty())
            std::memcpy(q, bytes.Data(), bytes.Length());
        q += bytes.Length();
    }
    if (!layer.extra.IsEmpty())
        std::memcpy(q, layer.extra.Data(), layer.extra.Length());
    q += layer.extra.Length();
    PutLE32(q, 0);
}

// Reads the record at p into a cleared layer; `next` becomes the record's end. Every size from the
// file is compared with what is left before it is used, so no sum can overflow.
SError ReadRecord(SQuickPressLayer& layer, const std::uint8_t* p, const std::uint8_t* end, const std::uint8_t*& next)
{
    if (p == nullptr)
        return ErrorFromIdentifier("pointer");
    if (p == end)
        return ErrorFromIdentifier("nodata");
    const std::size_t left = std::size_t(end - p);
    if (left < RecordHeader || GetLE32(p) > left)
        return ErrorFromIdentifier("taillostdata");
    const std::size_t size = GetLE32(p);
    const std::uint8_t* recordEnd = p + size;

    layer.originX = std::int16_t(GetLE16(p + 20));
    layer.originY = std::int16_t(GetLE16(p + 22));
    layer.width = std::int32_t(GetLE16(p + 24));
    layer.height = std::int32_t(GetLE16(p + 26));
    layer.format = SignedFormat(GetLE16(p + 28), GetLE16(p + 30));
    if (!IsFormatCode(layer.format))
        return ErrorFromIdentifier("bad_format");
    layer.kind = std::int32_t(GetLE32(p + 4));
    layer.flags = std::int32_t(GetLE32(p + 32) & 1);

    const std::size_t nameLength = GetLE16(p + 8);
    const std::size_t reserved = GetLE16(p + 10);
    const std::size_t colours = GetLE16(p + 12);
    const std::size_t tileCount = GetLE16(p + 14);
    const std::size_t extraLength = GetLE32(p + 16);
    const std::size_t fixed = RecordHeader + nameLength + 8 * reserved + 4 * colours;
    if (fixed > size)
        return ErrorFromIdentifier("taillostdata");

    const char* name = reinterpret_cast<const char*>(p + RecordHeader);
    const void* zero = std::memchr(name, 0, nameLength);
    const std::size_t shown = zero != nullptr ? std::size_t(static_cast<const char*>(zero) - name) : nameLength;
    try {
        layer.name = SString(std::string_view(name, shown));
    } catch (const std::bad_alloc&) {
        return ErrorFromIdentifier("memory_alloc");
    }

    const std::uint8_t* q = p + RecordHeader + nameLength + 8 * reserved;
    SError err = 0;
    layer.palette.SetCount(std::int32_t(colours), err);  // "array_size" above 256
    if (err != 0)
        return err;
    for (std::size_t i = 0; i < colours; ++i, q += 4)
        layer.palette.Set(std::int32_t(i), SColor(q[0], q[1], q[2]));

    for (std::size_t i = 0; i < tileCount; ++i) {
        if (std::size_t(recordEnd - q) < TileHeader)
            return ErrorFromIdentifier("taillostdata");
        const std::size_t length = GetLE32(q);
        if (length > std::size_t(recordEnd - q) - TileHeader)
            return ErrorFromIdentifier("taillostdata");
        const SRect rect{std::int32_t(GetLE32(q + 4)), std::int32_t(GetLE32(q + 8)), std::int32_t(GetLE32(q + 12)),
                         std::int32_t(GetLE32(q + 16))};
        SBinary bytes;
        if (bytes.Assign(q + TileHeader, length) != 0 || layer.tiles.Append(rect, std::move(bytes)) != 0)
            return ErrorFromIdentifier("memory_alloc");
        q += TileHeader + length;
    }

    if (extraLength > std::size_t(recordEnd - q))
        return ErrorFromIdentifier("taillostdata");
    if (layer.extra.Assign(q, extraLength) != 0)
        return ErrorFromIdentifier("memory_alloc");
    next = recordEnd;
    return 0;
}

}  // namespace

void SetApplicationTag(std::string_view text, bool skipCheck)
{
    applicationTag.store(TagWord(text), std::memory_order_release);
    skipTagCheck.store(skipCheck, std::memory_order_release);
}

SError SQuickPress::WriteTo(std::uint8_t* begin, std::uint8_t* end) const
{
    if (begin == nullptr || end == nullptr || end < begin)
        return ErrorFromIdentifier("InvalidArgument");
    const std::size_t total = ByteSize();
    if (std::size_t(end - begin) < total)
        return ErrorFromIdentifier("insuf_buf");

    SError first = 0;
    const std::int32_t magnitude = format < 0 ? -format : format;
    if (!FitsUnsigned16(width) || !FitsUnsigned16(height) || !FitsUnsigned16(magnitude))
        first = ErrorFromIdentifier("data");
    std::memset(begin, 0, HeaderSize);
    std::memcpy(begin, Magic, sizeof Magic);
    const std::uint64_t tag = applicationTag.load(std::memory_order_acquire);
    for (int i = 0; i < 8; ++i)
        begin[8 + i] = std::uint8_t(tag >> (8 * i));
    PutLE16(begin + 18, std::uint32_t(Count()));
    PutLE16(begin + 24, std::uint32_t(width));
    PutLE16(begin + 26, std::uint32_t(height));
    PutLE16(begin + 28, std::uint32_t(magnitude));
    PutLE16(begin + 30, format < 0 ? 1 : 0);

    std::uint8_t* p = begin + HeaderSize;
    for (const SQuickPressLayer& layer : layers_) {
        const std::size_t size = layer.ByteSize();
        SError err = 0;
        if (size > std::size_t(end - p)) {
            err = ErrorFromIdentifier("pointer");
            std::memset(p, 0, std::size_t(end - p));
            p = end;
        } else {
            if (RecordFits(layer, size))
                WriteRecord(layer, p, size);
            else {
                std::memset(p, 0, size);
                err = ErrorFromIdentifier("data");
            }
            p += size;
        }
        if (first == 0)
            first = err;
    }
    std::memset(p, 0, std::size_t(end - p));
    return first;
}

SError SQuickPress::ReadFrom(const std::uint8_t* begin, const std::uint8_t* end)
{
    Clear();
    if (begin == nullptr || end == nullptr || end < begin)
        return ErrorFromIdentifier("InvalidArgument");
    if (begin == end)
        return ErrorFromIdentifier("EmptyData");
    const std::size_t size = std::size_t(end - begin);
    if (size < HeaderSize || std::memcmp(begin, Magic, sizeof Magic) != 0)
        return ErrorFromIdentifier("UnacceptableFormat");
    if (!skipTagCheck.load(std::memory_order_acquire)) {
        const std::uint64_t tag = applicationTag.load(std::memory_order_acquire);
        for (int i = 0; i < 8; ++i)
            if (begin[8 + i] != std::uint8_t(tag >> (8 * i)))
                return ErrorFromIdentifier("UnacceptableFormat");
    }
    if (GetLE16(begin + 22) != 0)
        return ErrorFromIdentifier("UnacceptableVersion");
    const std::int32_t fileFormat = SignedFormat(GetLE16(begin + 28), GetLE16(begin + 30));
    if (!IsFormatCode(fileFormat))
        return ErrorFromIdentifier("InvalidData");
    width = std::int32_t(GetLE16(begin + 24));
    height = std::int32_t(GetLE16(begin + 26));
    format = fileFormat;
    if (layers_.SetCount(std::int32_t(GetLE16(begin + 18))) != 0) {
        Clear();
        return ErrorFromIdentifier("memory");
    }

    // A first-record offset pointing past the end leaves nothing to read there.
    const std::size_t first = GetLE32(begin + 32);
    const std::uint8_t* p = first <= size - HeaderSize ? begin + HeaderSize + first : end;
    for (SQuickPressLayer& layer : layers_) {
        const std::uint8_t* next = nullptr;
        if (const SError err = ReadRecord(layer, p, end, next)) {
            Clear();
            return err;
        }
        p = next;
    }
    return 0;
}

}  // namespace ulib
