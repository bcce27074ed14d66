#include "SHuedraneUndoBuffer.h"
#include "SScriptedPlatform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

using ulib::SBitmap;
using ulib::SRect;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Layers of a small document with the undo buffer registered on them, the controller's way.
struct Layers
{
    static constexpr std::int32_t W = 8, H = 5;

    Layers()
    {
        trace.Create(W, H, 32);
        paint.Create(W, H, 32);
        extra.Create(W, H, 32);
        genga.Create(W, H, 24);
        undo.SetDocumentSize(W, H);
        for (std::int32_t y = 0; y < H; ++y)
            for (std::int32_t x = 0; x < W; ++x)
                paint.Row32(y)[x] = 0xFF000000u | std::uint32_t(x / 3 + 16 * y);
    }

    Bytes Pixels(const SBitmap& layer) const { return Bytes(layer.Block(), layer.Block() + layer.BlockSize()); }

    SBitmap trace, paint, extra, genga;
    SHuedraneUndoBuffer undo{trace, paint, extra};
};

std::int32_t IntAt(std::span<const std::uint8_t> bytes, std::size_t at)
{
    std::int32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

// A row segment record's data as RecordRow writes it.
Bytes Segment(std::int32_t y, std::int32_t x0, std::int32_t x1, std::vector<std::pair<std::uint16_t, std::uint32_t>> runs)
{
    Bytes data(12 + 6 * runs.size());
    std::memcpy(data.data(), &y, 4);
    std::memcpy(data.data() + 4, &x0, 4);
    std::memcpy(data.data() + 8, &x1, 4);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        std::memcpy(data.data() + 12 + 6 * i, &runs[i].first, 2);
        std::memcpy(data.data() + 14 + 6 * i, &runs[i].second, 4);
    }
    return data;
}

}  // namespace

TEST(SHuedraneUndoBuffer, ARowSegmentIsItsHeaderAndOneRunPerChangeOfValue)
{
    Layers l;
    const std::uint32_t a = 0xFF102030u, b = 0x80405060u;
    std::uint32_t* row = l.paint.Row32(2);
    row[1] = row[2] = a;
    row[3] = row[4] = row[5] = b;
    l.undo.BeginStep("paint");
    l.undo.RecordRow(l.paint, 2, 1, 6);

    const auto bytes = l.undo.StepBytes(0);
    ASSERT_EQ(bytes.size(), 36u);
    EXPECT_EQ(IntAt(bytes, 0), UndoPaint);
    EXPECT_EQ(IntAt(bytes, 4), 24);
    EXPECT_EQ(IntAt(bytes, 8), 2);   // y
    EXPECT_EQ(IntAt(bytes, 12), 1);  // x0
    EXPECT_EQ(IntAt(bytes, 16), 6);  // x1
    EXPECT_EQ(bytes[20] | bytes[21] << 8, 2);
    EXPECT_EQ(std::uint32_t(IntAt(bytes, 22)), a);
    EXPECT_EQ(bytes[26] | bytes[27] << 8, 3);
    EXPECT_EQ(std::uint32_t(IntAt(bytes, 28)), b);
    EXPECT_EQ(IntAt(bytes, 32), 24);
}

TEST(SHuedraneUndoBuffer, RecordRowClipsToTheLayerAndSkipsWhatItCannotHold)
{
    Layers l;
    l.undo.BeginStep("paint");
    l.undo.RecordRow(l.trace, 0, -5, 100);  // clipped to 0..8: one run of the blank row
    EXPECT_EQ(IntAt(l.undo.StepBytes(0), 0), UndoTrace);
    EXPECT_EQ(IntAt(l.undo.StepBytes(0), 12), 0);
    EXPECT_EQ(IntAt(l.undo.StepBytes(0), 16), Layers::W);
    const std::size_t once = l.undo.StepBytes(0).size();
    EXPECT_EQ(once, 12u + 12u + 6u);

    l.undo.RecordRow(l.trace, -1, 0, 8);
    l.undo.RecordRow(l.trace, Layers::H, 0, 8);
    l.undo.RecordRow(l.trace, 0, 8, 100);
    l.undo.RecordRow(l.trace, 0, 4, 4);
    l.undo.RecordRow(l.genga, 0, 0, 8);  // not one of the registered layers
    SBitmap stranger;
    stranger.Create(Layers::W, Layers::H, 32);
    l.undo.RecordRow(stranger, 0, 0, 8);
    l.extra.Create(Layers::W, Layers::H, 24);  // registered, but not 32-bit
    l.undo.RecordRow(l.extra, 0, 0, 8);
    l.undo.RecordRect(l.extra, l.extra.Bounds());
    EXPECT_EQ(l.undo.StepBytes(0).size(), once);

    l.undo.RecordRect(l.paint, SRect{6, -2, 20, 2});  // rows 0 and 1, columns 6..7
    EXPECT_EQ(l.undo.StepBytes(0).size(), once + 2 * 30);
}

TEST(SHuedraneUndoBuffer, UndoAndRedoRestoreLayersExactlyWhenRowsAreRecordedTwice)
{
    Layers l;
    const Bytes paintBefore = l.Pixels(l.paint);
    const Bytes traceBefore = l.Pixels(l.trace);

    l.undo.BeginStep("fill");
    l.undo.RecordRow(l.paint, 1, 0, 5);
    for (std::int32_t x = 0; x < 5; ++x)
        l.paint.Row32(1)[x] = 0xFF0000FFu;
    const SRect block{3, 0, 8, 3};
    l.undo.RecordRect(l.paint, block);  // overlaps the row changed above
    l.paint.FillRect(ulib::SColor::Green, &block);
    l.undo.RecordRow(l.trace, 4, 2, 3);
    l.trace.Row32(4)[2] = 0x000000FFu;
    const Bytes paintAfter = l.Pixels(l.paint);
    const Bytes traceAfter = l.Pixels(l.trace);

    l.undo.Undo();
    EXPECT_EQ(l.Pixels(l.paint), paintBefore);
    EXPECT_EQ(l.Pixels(l.trace), traceBefore);
    l.undo.Redo();
    EXPECT_EQ(l.Pixels(l.paint), paintAfter);
    EXPECT_EQ(l.Pixels(l.trace), traceAfter);
    l.undo.Undo();
    EXPECT_EQ(l.Pixels(l.paint), paintBefore);
}

TEST(SHuedraneUndoBuffer, AWholeRowOfDifferentPixelsAtTheLargestWidthComesBack)
{
    SBitmap trace, paint, extra;
    paint.Create(SBitmap::MaxSize, 1, 32);
    SHuedraneUndoBuffer undo(trace, paint, extra);
    std::uint32_t* row = paint.Row32(0);
    for (std::int32_t x = 0; x < SBitmap::MaxSize; ++x)
        row[x] = std::uint32_t(x) * 2654435761u;
    const std::vector<std::uint32_t> before(row, row + SBitmap::MaxSize);

    undo.BeginStep("all");
    undo.RecordRow(paint, 0, 0, SBitmap::MaxSize);
    EXPECT_EQ(undo.StepBytes(0).size(), 12u + 12u + 6u * SBitmap::MaxSize);
    paint.FillRect(ulib::SColor::Red);
    undo.Undo();
    EXPECT_EQ(std::vector<std::uint32_t>(row, row + SBitmap::MaxSize), before);
}

TEST(SHuedraneUndoBuffer, UndoingAfterTheExtraLayerWasDroppedRecreatesItAtDocumentSize)
{
    Layers l;
    for (std::int32_t x = 0; x < Layers::W; ++x)
        l.extra.Row32(3)[x] = 0x40112233u;
    l.undo.BeginStep("extra brush");
    l.undo.RecordRow(l.extra, 3, 2, 6);
    for (std::int32_t x = 2; x < 6; ++x)
        l.extra.Row32(3)[x] = 0xFF00FF00u;
    l.extra.Create(0, 0, 32);  // dropped, as an empty hidden extra layer is

    l.undo.Undo();
    ASSERT_EQ(l.extra.Dimensions(), (ulib::SPoint{Layers::W, Layers::H}));
    EXPECT_EQ(l.extra.Format(), 32);
    EXPECT_EQ(l.extra.Row32(3)[1], 0u);
    EXPECT_EQ(l.extra.Row32(3)[2], 0x40112233u);
    EXPECT_EQ(l.extra.Row32(3)[5], 0x40112233u);
    EXPECT_EQ(l.extra.Row32(3)[6], 0u);
}

TEST(SHuedraneUndoBuffer, RecordsThatDoNotFitTheLayerAreIgnoredAndAStrangeIdIsReported)
{
    ulib::test::SScriptedPlatform platform;
    ulib::test::ScopedPlatform installed{platform};
    Layers l;
    const Bytes before = l.Pixels(l.paint);
    const std::uint32_t v = 0xFFABCDEFu;

    const std::vector<Bytes> damaged = {
        Segment(1, 0, 4, {{3, v}}),          // runs cover too little
        Segment(1, 0, 4, {{3, v}, {2, v}}),  // runs cover too much
        Segment(1, 0, 4, {{4, v}, {0, v}}),  // bytes left over
        Segment(-1, 0, 4, {{4, v}}),
        Segment(Layers::H, 0, 4, {{4, v}}),
        Segment(1, -1, 3, {{4, v}}),
        Segment(1, 6, 10, {{4, v}}),
        Segment(1, 4, 4, {}),
        Segment(1, 5, 3, {{2, v}}),
    };
    l.undo.BeginStep("damaged");
    for (const Bytes& data : damaged)
        EXPECT_EQ(l.undo.Record(UndoPaint, data.data(), data.data() + data.size()), 0u);
    Bytes cut = Segment(1, 0, 4, {{1, v}, {3, v}});
    cut.pop_back();  // the last run's value is short by a byte
    l.undo.Record(UndoPaint, cut.data(), cut.data() + cut.size());
    l.undo.Record(UndoPaint, cut.data(), cut.data() + 15);
    const Bytes good = Segment(0, 0, 2, {{2, v}});
    l.undo.Record(9, good.data(), good.data() + good.size());
    l.undo.Record(UndoPaint, good.data(), good.data() + good.size());

    l.undo.Undo();
    EXPECT_EQ(platform.BoxCount(), 1u);
    EXPECT_EQ(platform.LastBox().text, "Command ID is not correct");
    EXPECT_EQ(l.paint.Row32(0)[1], v);  // the good record was restored
    l.paint.Row32(0)[0] = l.paint.Row32(0)[1] = 0xFF000000u;
    EXPECT_EQ(l.Pixels(l.paint), before);
    EXPECT_EQ(l.undo.StepBytes(0).size(), 12u + 12u + 6u);  // only the good record's reverse data
}
