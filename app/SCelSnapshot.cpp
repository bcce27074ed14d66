#include "SCelSnapshot.h"

#include <cstring>

using namespace ulib;

namespace {

const SBitmap& SourceOf(const SCel& cel, std::size_t layer)
{
    const SBitmap* const layers[] = {&cel.trace, &cel.paint, &cel.extra, &cel.flag};
    return *layers[layer];
}

std::size_t RowBytes(const SBitmap& layer)
{
    return (std::size_t(layer.Width()) * std::size_t(layer.Format()) + 7) / 8;
}

// Rows copied between two looks at the clock.
constexpr std::int32_t RowsPerLook = 16;

}  // namespace

SBitmap& SCelSnapshot::CopyOf(std::size_t layer)
{
    SBitmap* const layers[] = {&copy_.trace, &copy_.paint, &copy_.extra, &copy_.flag};
    return *layers[layer];
}

void SCelSnapshot::Invalidate()
{
    for (SStaleRows& rows : stale_) {
        std::fill(rows.marked.begin(), rows.marked.end(), std::uint8_t(1));
        rows.count = std::int32_t(rows.marked.size());
    }
}

void SCelSnapshot::Release()
{
    copy_.ResetDocument();
    for (SStaleRows& rows : stale_)
        rows = SStaleRows{};
}

void SCelSnapshot::Mark(std::size_t layer, std::int32_t y)
{
    SStaleRows& rows = stale_[layer];
    // A row beyond the copy belongs to a layer that changed size: Match copies it all anyway.
    if (y < 0 || std::size_t(y) >= rows.marked.size() || rows.marked[std::size_t(y)])
        return;
    rows.marked[std::size_t(y)] = 1;
    ++rows.count;
}

void SCelSnapshot::RowChanged(SUndoLayer layer, std::int32_t y)
{
    switch (layer) {
    case UndoTrace:
        Mark(0, y);
        Mark(3, y);
        break;
    case UndoPaint:
        Mark(1, y);
        break;
    case UndoExtra:
        Mark(2, y);
        break;
    }
}

bool SCelSnapshot::Match(const SBitmap& source, std::size_t layer, bool& made)
{
    made = false;
    SBitmap& copy = CopyOf(layer);
    SStaleRows& rows = stale_[layer];
    if (copy.Dimensions() == source.Dimensions() && copy.Format() == source.Format() &&
        rows.marked.size() == std::size_t(source.Height()))
        return true;
    copy.Create(source.Width(), source.Height(), source.Format());
    if (copy.Dimensions() != source.Dimensions())
        return false;
    copy.SetResolutionX(source.ResolutionX());
    copy.SetResolutionY(source.ResolutionY());
    copy.SetHasAlpha(source.HasAlpha());
    rows.marked.assign(std::size_t(source.Height()), 1);
    rows.count = source.Height();
    rows.next = 0;
    made = true;
    return true;
}

SCelSnapshot::SProgress SCelSnapshot::Update(const SCel& cel, std::chrono::steady_clock::time_point deadline)
{
    std::int32_t sinceLook = 0;
    for (std::size_t layer = 0; layer < LayerCount; ++layer) {
        const SBitmap& source = SourceOf(cel, layer);
        bool made = false;
        if (!Match(source, layer, made)) {
            Release();
            return SProgress::Failed;
        }
        // A layer of the copy was allocated: its rows wait for the next tick if that took the time.
        if (made && std::chrono::steady_clock::now() >= deadline)
            return SProgress::Copying;
        SBitmap& copy = CopyOf(layer);
        SStaleRows& rows = stale_[layer];
        const std::size_t bytes = RowBytes(source);
        const std::int32_t height = source.Height();
        // The walk goes round from where the last one stopped, so rows marked behind it are met too.
        for (std::int32_t visited = 0; rows.count > 0 && visited < height; ++visited) {
            const std::int32_t y = rows.next;
            rows.next = y + 1 == height ? 0 : y + 1;
            if (!rows.marked[std::size_t(y)])
                continue;
            std::memcpy(copy.Row(y), source.Row(y), bytes);
            rows.marked[std::size_t(y)] = 0;
            --rows.count;
            if (++sinceLook == RowsPerLook) {
                sinceLook = 0;
                if (std::chrono::steady_clock::now() >= deadline)
                    return SProgress::Copying;
            }
        }
    }
    copy_.memo = cel.memo;
    copy_.underOffset = cel.underOffset;
    size_ = cel.display.Dimensions();
    return SProgress::Ready;
}
