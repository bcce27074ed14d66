// SBitmap: the block's life cycle (create, copy, swap, release), its header fields, colour table,
// resolutions and drawing. Pixel accessors are in SBitmapPixels.cpp.
#include "SBitmap.h"

#include "SBitmapBlock.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace ulib {

namespace {

constexpr block::Layout EmptyLayout = block::ComputeLayout(0, 0, 24);

// The shared empty image: 0 by 0, format 24. It lives in read-only storage, so a stray write to it
// faults at once instead of corrupting every empty image.
alignas(16) constexpr std::array<std::uint8_t, EmptyLayout.total> EmptyBlock = [] {
    std::array<std::uint8_t, EmptyLayout.total> b{};
    block::WriteFrame(b.data(), EmptyLayout);
    return b;
}();

std::uint8_t* SharedEmpty() { return const_cast<std::uint8_t*>(EmptyBlock.data()); }

// Library memory is zero-filled.
std::uint8_t* AllocateBlock(std::uint64_t size)
{
    if (size > std::uint64_t(SIZE_MAX) || size > 0xFFFFFFFFu)
        return nullptr;
    return static_cast<std::uint8_t*>(std::calloc(std::size_t(size), 1));
}

// Grey formats index a table of greys: entry i is grey i scaled to the full range (0 and 255 for
// 2 entries, i * 17 for 16, i for 256), so grey pictures read as grey without a table of their own.
void WriteGreyRamp(std::uint8_t* table, std::uint32_t entries)
{
    const std::uint32_t scale = entries > 1 ? 255 / (entries - 1) : 0;
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::uint8_t grey = std::uint8_t(i * scale);
        PutLE32(table + std::size_t(i) * 4, SColor(grey, grey, grey).Value());
    }
}

}  // namespace

SBitmap::SBitmap() noexcept : block_(SharedEmpty()) {}

SBitmap::~SBitmap() { Release(); }

SBitmap::SBitmap(const SBitmap& other) : block_(SharedEmpty()) { *this = other; }

SBitmap& SBitmap::operator=(const SBitmap& other)
{
    if (&other == this)
        return *this;
    if (other.IsShared()) {
        Release();
        return *this;
    }
    std::size_t size = other.BlockSize();
    std::uint8_t* b = IsShared() ? nullptr : block_;
    if (b == nullptr || BlockSize() != size) {
        Release();
        b = AllocateBlock(size);
        if (b == nullptr)
            return *this;  // a failed copy leaves the target empty
    }
    std::memcpy(b, other.block_, size);
    block_ = b;
    ClearTemporary();
    return *this;
}

// A moved block has reached its owner, so it no longer counts as temporary: otherwise a later
// Assign from the receiving variable would give its picture away.
SBitmap::SBitmap(SBitmap&& other) noexcept : block_(std::exchange(other.block_, SharedEmpty())) { ClearTemporary(); }

SBitmap& SBitmap::operator=(SBitmap&& other) noexcept
{
    if (&other != this) {
        Release();
        block_ = std::exchange(other.block_, SharedEmpty());
        ClearTemporary();
    }
    return *this;
}

bool SBitmap::IsShared() const { return block_ == EmptyBlock.data(); }

std::uint32_t SBitmap::Word(std::size_t offset) const { return GetLE32(block_ + offset); }

void SBitmap::ClearTemporary()
{
    if (!IsShared())
        block_[block::TemporaryFlag] = 0;
}

void SBitmap::Create(std::int32_t width, std::int32_t height, std::int32_t format, bool keep)
{
    if (!IsShared() && width == Width() && height == Height() && format == Format())
        return;
    if (width < 0 || width > MaxSize || height < 0 || height > MaxSize || !block::IsValidFormat(format)) {
        Release();
        return;
    }
    block::Layout l = block::ComputeLayout(width, height, format);

    std::uint8_t* old = nullptr;
    if (keep && !IsShared())
        old = block_;  // stays alive until its tag, resolutions and colour table are copied
    else
        Release();
    block_ = SharedEmpty();

    std::uint8_t* b = AllocateBlock(l.total);
    if (b == nullptr) {
        std::free(old);
        return;
    }
    block::WriteFrame(b, l);
    if (std::uint8_t fill = FreshFill(format))  // the block arrives zeroed, the other formats' fill
        std::memset(b + l.pixels, fill, std::size_t(l.mask - l.pixels));
    if (format < 0)
        WriteGreyRamp(b + l.colourTable, l.entries);

    if (old != nullptr) {
        std::memcpy(b + block::Tag, old + block::Tag, 4);
        const std::uint8_t* oldInfo = old + GetLE32(old + block::InfoOffset);
        std::memcpy(b + l.info + block::InfoResolutionX, oldInfo + block::InfoResolutionX, 8);
        std::uint32_t oldEntries = GetLE32(old + block::Entries);
        std::uint32_t n = oldEntries < l.entries ? oldEntries : l.entries;
        std::memcpy(b + l.colourTable, old + GetLE32(old + block::ColourTableOffset), std::size_t(n) * 4);
        std::free(old);
    }
    block_ = b;
}

std::uint8_t SBitmap::FreshFill(std::int32_t format)
{
    return format == 15 || format == 16 || format == 24 || format == 48 ? 0xFF : 0x00;
}

void SBitmap::ResetPixels()
{
    if (IsShared())
        return;
    const std::uint32_t from = Word(block::PixelOffset);
    std::memset(block_ + from, FreshFill(Format()), Word(block::MaskOffset) - from);  // pixel area and second plane
}

void SBitmap::Release()
{
    if (!IsShared())
        std::free(block_);
    block_ = SharedEmpty();
}

void SBitmap::Assign(SBitmap& source)
{
    if (&source == this)
        return;
    if (!source.IsShared() && source.block_[block::TemporaryFlag] != 0) {
        Swap(source);
        return;
    }
    *this = source;
}

void SBitmap::Swap(SBitmap& other) noexcept
{
    std::swap(block_, other.block_);
    ClearTemporary();
    other.ClearTemporary();
}

void SBitmap::MarkTemporary()
{
    if (!IsShared())
        block_[block::TemporaryFlag] = 1;
}

std::int32_t SBitmap::Width() const { return std::int32_t(Word(block::Width)); }
std::int32_t SBitmap::Height() const { return std::int32_t(Word(block::Height)); }
std::int32_t SBitmap::Format() const { return std::int32_t(Word(block::Format)); }
std::int32_t SBitmap::Stride() const { return std::int32_t(Word(block::Stride)); }
std::int32_t SBitmap::PaletteCount() const { return std::int32_t(Word(block::Entries)); }
std::uint32_t SBitmap::Tag() const { return Word(block::Tag); }
bool SBitmap::HasAlpha() const { return block_[block::AlphaFlag] != 0; }

void SBitmap::SetHasAlpha(bool alpha)
{
    if (!IsShared())
        block_[block::AlphaFlag] = alpha ? 1 : 0;
}
std::size_t SBitmap::BlockSize() const { return Word(block::TotalSize); }

std::uint8_t* SBitmap::PixelAddress(std::int32_t x, std::int32_t y)
{
    return block_ + Word(block::PixelOffset) + block::SignedWord(block_ + Word(block::RowTableOffset) + std::size_t(y) * 4) +
           Word(Word(block::ColumnTableOffset) + std::size_t(x) * 4);
}

const std::uint8_t* SBitmap::PixelAddress(std::int32_t x, std::int32_t y) const
{
    return const_cast<SBitmap*>(this)->PixelAddress(x, y);
}

SColor SBitmap::GetPaletteEntry(std::int32_t index) const
{
    std::int32_t n = PaletteCount();
    if (n == 0)
        return SColor();
    std::int32_t i = index % n;
    if (i < 0)
        i += n;
    return SColor::FromValue(Word(Word(block::ColourTableOffset) + std::size_t(i) * 4));
}

void SBitmap::SetPaletteEntry(std::int32_t index, SColor colour)
{
    std::int32_t n = PaletteCount();
    if (n == 0)
        return;
    std::int32_t i = index % n;
    if (i < 0)
        i += n;
    colour.t = 0;  // the fourth byte of a table entry is reserved
    PutLE32(block_ + Word(block::ColourTableOffset) + std::size_t(i) * 4, colour.Value());
}

SPalette SBitmap::GetPalette() const
{
    SPalette palette;
    SError err = 0;
    palette.SetCount(PaletteCount(), err);
    for (std::int32_t i = 0; i < palette.Count(); ++i)
        palette.Set(i, GetPaletteEntry(i));
    return palette;
}

std::int32_t SBitmap::ResolutionX() const { return std::int32_t(Word(Word(block::InfoOffset) + block::InfoResolutionX)); }
std::int32_t SBitmap::ResolutionY() const { return std::int32_t(Word(Word(block::InfoOffset) + block::InfoResolutionY)); }

void SBitmap::SetResolutionX(std::int32_t ppm)
{
    if (IsShared())
        Create(0, 0, 24);
    if (!IsShared())
        PutLE32(block_ + Word(block::InfoOffset) + block::InfoResolutionX, std::uint32_t(ppm));
}

void SBitmap::SetResolutionY(std::int32_t ppm)
{
    if (IsShared())
        Create(0, 0, 24);
    if (!IsShared())
        PutLE32(block_ + Word(block::InfoOffset) + block::InfoResolutionY, std::uint32_t(ppm));
}

bool SBitmap::IsPristine() const
{
    return Width() == 0 && Height() == 0 && Format() == 24 && Tag() == 0 && ResolutionX() == 0 && ResolutionY() == 0;
}

std::size_t SBitmap::DibSize(bool withFileHeader) const
{
    return std::size_t(Word(block::PlaneOffset) - Word(block::InfoOffset)) + (withFileHeader ? 14 : 0);
}

const std::uint8_t* SBitmap::InfoHeader() const { return block_ + Word(block::InfoOffset); }
const std::uint8_t* SBitmap::PixelArea() const { return block_ + Word(block::PixelOffset); }
std::uint8_t* SBitmap::PixelArea() { return block_ + Word(block::PixelOffset); }
std::size_t SBitmap::PixelAreaSize() const { return std::size_t(Word(block::PlaneOffset) - Word(block::PixelOffset)); }

SError SBitmap::Draw(SDrawSurface* surface, std::int32_t x, std::int32_t y, const SRect* source) const
{
    if (IsEmpty())
        return 0;
    SRect part = Bounds();
    SPoint at{x, y};
    if (source != nullptr) {
        part = source->Intersect(Bounds());
        if (part.IsEmpty())
            return 0;
        at.x = std::int32_t(std::int64_t(x) + part.left - source->left);
        at.y = std::int32_t(std::int64_t(y) + part.top - source->top);
    }

    SPixelView view;
    view.infoHeader = InfoHeader();
    view.pixels = PixelArea();
    view.width = Width();
    view.height = Height();
    view.stride = Stride();
    view.bitCount = std::int32_t(block::DescribedBits(Format()));

    // The two-plane formats describe themselves with half their stored bits; hand over rows packed
    // the way the information header describes them (the first bytes of every pixel).
    std::vector<std::uint8_t> packed;
    if (block::HasSecondPlane(Format())) {
        std::size_t step = std::size_t(view.bitCount) / 8;
        std::size_t storedStep = step * 2;
        std::size_t packedStride = (std::size_t(view.width) * view.bitCount + 31) / 32 * 4;
        try {
            packed.assign(packedStride * std::size_t(view.height), 0);
        } catch (const std::bad_alloc&) {
            return ErrorFromIdentifier("memory_alloc");
        }
        for (std::int32_t row = 0; row < view.height; ++row) {
            const std::uint8_t* from = view.pixels + std::size_t(row) * std::size_t(view.stride);
            std::uint8_t* to = packed.data() + std::size_t(row) * packedStride;
            for (std::int32_t i = 0; i < view.width; ++i)
                std::memcpy(to + std::size_t(i) * step, from + std::size_t(i) * storedStep, step);
        }
        view.pixels = packed.data();
        view.stride = std::int32_t(packedStride);
    }
    return Platform().DrawPixels(surface, at, view, part);
}

}  // namespace ulib
