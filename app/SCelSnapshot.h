// A copy of what a document file stores of the working cel and can change while it is the working
// cel (the 32-bit layers, the flag layer, the memo), brought up to date a few rows at a time on the
// interface thread, so a recovery copy can be packed from it on a worker while painting goes on.
// The undo buffer tells it which rows change; a layer whose size or format changed is copied anew.
// The held genga record is not copied: it stays as loaded for as long as the cel is the working one.
#pragma once

#include "SCel.h"
#include "SError.h"
#include "SGeometry.h"
#include "SHuedraneUndoBuffer.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

class SCelSnapshot final : public SRowWatcher
{
public:
    enum class SProgress { Copying, Ready, Failed };

    // Everything is to be copied again (another cel, or the layers were replaced wholesale).
    void Invalidate();
    // Frees the copy; the next Update copies everything.
    void Release();
    // Copies changed rows of cel until the deadline (at least one row). Ready once the copy holds
    // exactly what the cel stores but its held record; Failed when a layer of the copy could not be
    // made ("memory").
    SProgress Update(const SCel& cel, std::chrono::steady_clock::time_point deadline);
    // The copy and the document size, valid after Update gave Ready and until the next Update.
    const SCel& Copy() const { return copy_; }
    ulib::SPoint Size() const { return size_; }

    void RowChanged(SUndoLayer layer, std::int32_t y) override;

private:
    // Trace, paint, extra, flag: the flag layer changes only with trace rows.
    static constexpr std::size_t LayerCount = 4;
    struct SStaleRows
    {
        std::vector<std::uint8_t> marked;  // one per row of the copy
        std::int32_t count = 0;
        std::int32_t next = 0;  // where the walk goes on
    };
    void Mark(std::size_t layer, std::int32_t y);
    // Makes the copy of a layer match the source's size and format, all rows stale (made tells);
    // false when it cannot be made.
    bool Match(const ulib::SBitmap& source, std::size_t layer, bool& made);
    ulib::SBitmap& CopyOf(std::size_t layer);

    SCel copy_;
    ulib::SPoint size_{};
    std::array<SStaleRows, LayerCount> stale_;
};
