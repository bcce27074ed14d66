// The cel's undo buffer: run-length coded row segments of the trace (id 1), paint (id 2) and extra
// (id 3) layers. Every operation records each row segment before changing it. A segment's data:
// y, x0, x1 (32-bit each, x1 exclusive), then runs from x0 on: a 16-bit count and the 32-bit pixel
// value it repeats.
#pragma once

#include "SBitmap.h"
#include "SRecovery.h"

#include <cstddef>
#include <cstdint>

enum SUndoLayer : std::int32_t { UndoTrace = 1, UndoPaint = 2, UndoExtra = 3 };

// Told of every row the buffer records before a change, and of every row it restores, whether or
// not the step could be kept: what copies the layers row by row learns from it what to copy again.
class SRowWatcher
{
public:
    virtual void RowChanged(SUndoLayer layer, std::int32_t y) = 0;

protected:
    ~SRowWatcher() = default;
};

class SHuedraneUndoBuffer : public ulib::SRecovery
{
public:
    // The three layers are the cel's own variables; they must outlive the buffer.
    SHuedraneUndoBuffer(ulib::SBitmap& trace, ulib::SBitmap& paint, ulib::SBitmap& extra);

    // The size an extra layer dropped since is re-created at when a step that painted it is undone.
    void SetDocumentSize(std::int32_t width, std::int32_t height);
    // The watcher (null: none) must outlive the buffer or be taken away first.
    void SetRowWatcher(SRowWatcher* watcher) { watcher_ = watcher; }

    // Records pixels x0..x1-1 (clipped to the layer) of row y of a registered 32-bit layer in the
    // step opened last; anything else records nothing. Record errors are not passed on.
    void RecordRow(const ulib::SBitmap& layer, std::int32_t y, std::int32_t x0, std::int32_t x1);
    // RecordRow for every row of the rectangle (right and bottom exclusive).
    void RecordRect(const ulib::SBitmap& layer, const ulib::SRect& rect);

    // Bytes of the scratch buffer: one row segment header (y, x0, x1) and at most 16384 runs.
    static constexpr std::size_t ScratchBytes = 12 + 16384 * 6;

protected:
    // Swaps a recorded row segment with the layer's pixels, recording them first. An id outside
    // 1..3 is reported with a plain message; a segment that does not fit the layer, or whose runs
    // do not cover exactly x0..x1-1 with the bytes given, is ignored.
    void Restore(std::int32_t id, const std::uint8_t* begin, const std::uint8_t* end) override;

private:
    std::int32_t IdOf(const ulib::SBitmap& layer) const;
    ulib::SBitmap* LayerOf(std::int32_t id);

    ulib::SBitmap& trace_;
    ulib::SBitmap& paint_;
    ulib::SBitmap& extra_;
    ulib::SBinary scratch_;
    SRowWatcher* watcher_ = nullptr;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};
