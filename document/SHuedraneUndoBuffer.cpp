#include "SHuedraneUndoBuffer.h"

#include "SByteOrder.h"
#include "SMessage.h"

#include <cstring>

using namespace ulib;

namespace {

constexpr std::size_t SegmentHeader = 12;  // y, x0, x1
constexpr std::size_t RunBytes = 6;        // 16-bit count, 32-bit value
constexpr std::uint32_t MaxRunCount = 0xFFFF;

void PutRun(std::uint8_t* at, std::uint32_t count, std::uint32_t value)
{
    PutLE16(at, count);
    PutLE32(at + 2, value);
}

std::uint32_t GetRunCount(const std::uint8_t* at) { return GetLE16(at); }
std::uint32_t GetRunValue(const std::uint8_t* at) { return GetLE32(at + 2); }

}  // namespace

SHuedraneUndoBuffer::SHuedraneUndoBuffer(SBitmap& trace, SBitmap& paint, SBitmap& extra)
    : trace_(trace), paint_(paint), extra_(extra)
{
    if (scratch_.Resize(ScratchBytes) != 0)
        Disable();
}

void SHuedraneUndoBuffer::SetDocumentSize(std::int32_t width, std::int32_t height)
{
    width_ = width;
    height_ = height;
}

std::int32_t SHuedraneUndoBuffer::IdOf(const SBitmap& layer) const
{
    if (&layer == &trace_)
        return UndoTrace;
    if (&layer == &paint_)
        return UndoPaint;
    if (&layer == &extra_)
        return UndoExtra;
    return 0;
}

SBitmap* SHuedraneUndoBuffer::LayerOf(std::int32_t id)
{
    switch (id) {
    case UndoTrace:
        return &trace_;
    case UndoPaint:
        return &paint_;
    case UndoExtra:
        return &extra_;
    default:
        return nullptr;
    }
}

void SHuedraneUndoBuffer::RecordRow(const SBitmap& layer, std::int32_t y, std::int32_t x0, std::int32_t x1)
{
    const std::int32_t id = IdOf(layer);
    if (id == 0 || layer.Format() != 32 || y < 0 || y >= layer.Height())
        return;
    if (watcher_)
        watcher_->RowChanged(SUndoLayer(id), y);
    if (!Enabled())
        return;
    if (x0 < 0)
        x0 = 0;
    if (x1 > layer.Width())
        x1 = layer.Width();
    if (x0 >= x1)
        return;

    std::uint8_t* const start = scratch_.Data();
    std::uint8_t* const limit = start + scratch_.Length();
    PutLE32(start, std::uint32_t(y));
    PutLE32(start + 4, std::uint32_t(x0));
    PutLE32(start + 8, std::uint32_t(x1));
    std::uint8_t* out = start + SegmentHeader;

    // One pass over the row: a run ends where the value changes or its 16-bit count is full.
    const std::uint32_t* row = layer.Row32(y);
    std::uint32_t value = row[x0];
    std::uint32_t count = 1;
    for (std::int32_t x = x0 + 1; x < x1; ++x) {
        const std::uint32_t pixel = row[x];
        if (pixel == value && count < MaxRunCount) {
            ++count;
            continue;
        }
        if (limit - out < std::ptrdiff_t(RunBytes))
            return;  // wider than any layer can be; nothing half-recorded
        PutRun(out, count, value);
        out += RunBytes;
        value = pixel;
        count = 1;
    }
    if (limit - out < std::ptrdiff_t(RunBytes))
        return;
    PutRun(out, count, value);
    out += RunBytes;

    Record(id, start, out);  // a failed record only loses the undo of this change
}

void SHuedraneUndoBuffer::RecordRect(const SBitmap& layer, const SRect& rect)
{
    // Rows outside the layer record nothing, so only the ones inside are visited.
    const std::int32_t top = rect.top < 0 ? 0 : rect.top;
    const std::int32_t bottom = rect.bottom > layer.Height() ? layer.Height() : rect.bottom;
    for (std::int32_t y = top; y < bottom; ++y)
        RecordRow(layer, y, rect.left, rect.right);
}

void SHuedraneUndoBuffer::Restore(std::int32_t id, const std::uint8_t* begin, const std::uint8_t* end)
{
    SBitmap* layer = LayerOf(id);
    if (!layer) {
        ShowPlainMessage("Command ID is not correct");
        return;
    }
    if (id == UndoExtra && extra_.Width() == 0 && extra_.Height() == 0)
        extra_.Create(width_, height_, extra_.Format(), true);

    if (layer->Format() != 32 || !begin || !end || end - begin < 16)
        return;
    const std::int32_t y = std::int32_t(GetLE32(begin));
    const std::int32_t x0 = std::int32_t(GetLE32(begin + 4));
    const std::int32_t x1 = std::int32_t(GetLE32(begin + 8));
    if (y < 0 || y >= layer->Height() || x0 < 0 || x1 > layer->Width() || x0 >= x1)
        return;

    // The runs must cover x0..x1-1 exactly and end with the data; anything else is not ours.
    const std::uint8_t* const runs = begin + SegmentHeader;
    const std::size_t length = std::size_t(end - runs);
    const std::uint32_t width = std::uint32_t(x1 - x0);
    std::uint32_t covered = 0;
    std::size_t pos = 0;
    while (covered < width) {
        if (length - pos < RunBytes)
            return;
        covered += GetRunCount(runs + pos);
        pos += RunBytes;
    }
    if (covered != width || pos != length)
        return;

    RecordRow(*layer, y, x0, x1);
    std::uint32_t* row = layer->Row32(y) + x0;
    for (pos = 0; pos < length; pos += RunBytes) {
        const std::uint32_t value = GetRunValue(runs + pos);
        for (std::uint32_t n = GetRunCount(runs + pos); n != 0; --n)
            *row++ = value;
    }
}
