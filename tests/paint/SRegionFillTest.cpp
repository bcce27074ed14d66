#include "PaintFixture.h"
#include "SRegionFill.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <unordered_set>
#include <vector>

using namespace ulib;

namespace {

struct FillResult
{
    SRect changed;
    SError err = 0;
};

// What the paint tool does: one undo step, then the fill.
FillResult FillAt(PaintDesk& desk, SPoint at, bool fromTool = true)
{
    desk.undo.BeginStep("ペイント");
    SPaintContext context = desk.Context();
    FillResult result;
    result.changed = FillRegion(context, at, fromTool, result.err);
    return result;
}

FillResult FillAt(PaintDesk& desk, SPoint at, SColor colour)
{
    desk.tools.colourMode = SColourMode::Colour;
    desk.tools.currentColour = colour;
    return FillAt(desk, at);
}

TEST(RegionFill, StopsAtBordersAndSkipsCornerContact)
{
    PaintDesk desk({"#####",
                    "#..##",
                    "#.#.#",
                    "#####"});
    const FillResult r = FillAt(desk, {1, 1}, ArtColour('R'));
    EXPECT_EQ(r.err, 0u);
    EXPECT_EQ(PaintArt(desk.cel), Art({"#####",
                                       "#RR##",
                                       "#R#.#",
                                       "#####"}));
    EXPECT_EQ(r.changed, (SRect{1, 1, 3, 3}));
    EXPECT_EQ(desk.cel.display.Row32(2)[1], 0xFFFF0000u);  // recomposed
    EXPECT_EQ(desk.cel.display.Row32(2)[3], 0xFFFFFFFFu);  // the genga shows through
}

TEST(RegionFill, BorderClickOutsideAndHiddenLayerChangeNothing)
{
    const Art art = {"#r.",
                     "g.b",
                     ".#."};
    PaintDesk desk(art);
    desk.tools.currentColour = ArtColour('R');
    for (SPoint at : {SPoint{0, 0}, SPoint{1, 0}, SPoint{0, 1}, SPoint{2, 1}, SPoint{1, 2}, SPoint{-1, 1},
                      SPoint{3, 1}, SPoint{1, 3}}) {
        const FillResult r = FillAt(desk, at);
        EXPECT_EQ(r.err, 0u);
        EXPECT_TRUE(r.changed.IsEmpty());
    }
    desk.cel.visible[LayerPaint] = false;
    EXPECT_TRUE(FillAt(desk, {1, 1}).changed.IsEmpty());
    EXPECT_EQ(PaintArt(desk.cel), art);
    // Called by other operations the fill ignores the visibility.
    EXPECT_EQ(FillAt(desk, {1, 1}, false).changed, (SRect{1, 1, 2, 2}));
}

TEST(RegionFill, RepaintsTheWholeAreaWhateverItHoldsAndPassesOverOddValues)
{
    // Other paint colours inside the same borders are repainted; an alpha-0 value that is no border
    // joins the region but keeps its value.
    PaintDesk desk({"##########",
                    "#.GGH.#..#",
                    "#R.r..~..#",
                    "##########"});
    const FillResult r = FillAt(desk, {4, 1}, ArtColour('B'));
    EXPECT_EQ(PaintArt(desk.cel), Art({"##########",
                                       "#BBBBB#BB#",
                                       "#BBrBB~BB#",
                                       "##########"}));
    EXPECT_EQ(r.changed, (SRect{1, 1, 9, 3}));
}

TEST(RegionFill, FillsAroundAHoleAndLeavesTheHole)
{
    PaintDesk desk({"#########",
                    "#.......#",
                    "#.#####.#",
                    "#.#...#.#",
                    "#.#####.#",
                    "#.......#",
                    "#########"});
    FillAt(desk, {7, 5}, ArtColour('G'));
    EXPECT_EQ(PaintArt(desk.cel), Art({"#########",
                                       "#GGGGGGG#",
                                       "#G#####G#",
                                       "#G#...#G#",
                                       "#G#####G#",
                                       "#GGGGGGG#",
                                       "#########"}));
}

TEST(RegionFill, FollowsASpiralToItsEnd)
{
    PaintDesk desk({"###########",
                    "#.........#",
                    "#########.#",
                    "#.......#.#",
                    "#.#####.#.#",
                    "#.#...#.#.#",
                    "#.#.###.#.#",
                    "#.#.....#.#",
                    "#.#######.#",
                    "#.........#",
                    "###########"});
    const FillResult r = FillAt(desk, {5, 5}, ArtColour('Y'));
    EXPECT_EQ(r.err, 0u);
    EXPECT_EQ(r.changed, (SRect{1, 1, 10, 10}));
    EXPECT_EQ(PaintArt(desk.cel), Art({"###########",
                                       "#YYYYYYYYY#",
                                       "#########Y#",
                                       "#YYYYYYY#Y#",
                                       "#Y#####Y#Y#",
                                       "#Y#YYY#Y#Y#",
                                       "#Y#Y###Y#Y#",
                                       "#Y#YYYYY#Y#",
                                       "#Y#######Y#",
                                       "#YYYYYYYYY#",
                                       "###########"}));
}

TEST(RegionFill, EraserTransparentColourAndTextureModes)
{
    const Art art = {"#RRG#",
                     "#H.R#"};
    PaintDesk desk(art);
    desk.tools.colourMode = SColourMode::Texture;
    EXPECT_TRUE(FillAt(desk, {1, 0}).changed.IsEmpty());
    EXPECT_EQ(PaintArt(desk.cel), art);

    desk.tools.colourMode = SColourMode::Eraser;
    FillAt(desk, {1, 0});
    EXPECT_EQ(PaintArt(desk.cel), Art({"#...#", "#...#"}));

    FillAt(desk, {2, 1}, ArtColour('K'));
    FillAt(desk, {2, 1}, SColor(10, 20, 30, 255));
    EXPECT_EQ(PaintArt(desk.cel), Art({"#...#", "#...#"}));
}

TEST(RegionFill, BitmapModeRepeatsTheReferenceFromTheDocumentOrigin)
{
    PaintDesk desk({"#########",
                    "#.......#",
                    "#.......#",
                    "#...#...#",
                    "#.......#",
                    "#########"});
    desk.reference.Create(4, 4, 32);
    for (std::int32_t y = 0; y < 4; ++y)
        for (std::int32_t x = 0; x < 4; ++x)
            desk.reference.Row32(y)[x] = 0xFF000000u | std::uint32_t(16 * y + x);
    desk.tools.colourMode = SColourMode::Bitmap;
    FillAt(desk, {6, 4});
    for (std::int32_t y = 1; y < 5; ++y)
        for (std::int32_t x = 1; x < 8; ++x) {
            if (!(x == 4 && y == 3)) {
                EXPECT_EQ(desk.cel.paint.Row32(y)[x], 0xFF000000u | std::uint32_t(16 * (y % 4) + x % 4)) << x << "," << y;
            }
        }
    EXPECT_EQ(desk.cel.paint.Row32(3)[4], cel_values::BorderBlack);
}

// Pixels 4-connected to the seed through non-border values, found the plain way.
std::vector<bool> Reached(const SBitmap& paint, SPoint seed)
{
    const std::int32_t w = paint.Width(), h = paint.Height();
    auto border = [&](std::int32_t x, std::int32_t y) {
        const std::uint32_t v = paint.Row32(y)[x];
        return v == 0 || v == 0xFF || v == 0xFF00 || v == 0xFF0000;
    };
    std::vector<bool> in(std::size_t(w * h), false);
    if (border(seed.x, seed.y))
        return in;
    std::vector<SPoint> todo{seed};
    in[std::size_t(seed.y * w + seed.x)] = true;
    while (!todo.empty()) {
        const SPoint p = todo.back();
        todo.pop_back();
        for (SPoint q : {SPoint{p.x - 1, p.y}, SPoint{p.x + 1, p.y}, SPoint{p.x, p.y - 1}, SPoint{p.x, p.y + 1}}) {
            if (q.x < 0 || q.y < 0 || q.x >= w || q.y >= h || border(q.x, q.y) || in[std::size_t(q.y * w + q.x)])
                continue;
            in[std::size_t(q.y * w + q.x)] = true;
            todo.push_back(q);
        }
    }
    return in;
}

TEST(RegionFill, RandomCelsMatchAPlainFloodFillAndUndoAndRedoExactly)
{
    std::mt19937 rng(4242);
    const char glyphs[] = "#rgb....RGH~";
    for (int round = 0; round < 300; ++round) {
        const std::int32_t w = 1 + std::int32_t(rng() % 40), h = 1 + std::int32_t(rng() % 30);
        const unsigned borderShare = 20 + rng() % 30;
        Art art(std::size_t(h), std::string(std::size_t(w), '.'));
        for (std::string& row : art)
            for (char& c : row)
                c = rng() % 100 < borderShare ? glyphs[rng() % 4] : glyphs[4 + rng() % 8];
        PaintDesk desk(art);
        const SPoint seed{std::int32_t(rng() % w), std::int32_t(rng() % h)};
        const std::vector<bool> in = Reached(desk.cel.paint, seed);
        const FillResult r = FillAt(desk, seed, ArtColour('B'));
        ASSERT_EQ(r.err, 0u);

        Art expected = art;
        SRect box;
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x)
                if (in[std::size_t(y * w + x)]) {
                    box = box.Union({x, y, x + 1, y + 1});
                    if (expected[y][x] != '~')
                        expected[y][x] = 'B';
                }
        ASSERT_EQ(PaintArt(desk.cel), expected) << "round " << round << " seed " << seed.x << "," << seed.y;
        ASSERT_EQ(r.changed, box) << "round " << round;
        desk.undo.Undo();
        ASSERT_EQ(PaintArt(desk.cel), art) << "round " << round;
        desk.undo.Redo();
        ASSERT_EQ(PaintArt(desk.cel), expected) << "round " << round;
    }
}

// The walk as plainly as it can be written, to check the tables against where a full table stops
// the walk: the spans painted then depend on the exact order of visiting.
struct PlainFill
{
    PlainFill(SBitmap& layer, std::uint32_t paintValue) : paint(layer), value(paintValue) {}

    SBitmap& paint;
    std::uint32_t value;
    std::uint32_t first = 0, last = 0;
    std::unordered_set<std::uint32_t> processed, waiting;
    std::vector<std::uint32_t> stack;
    bool overflow = false, stackFilled = false;

    bool Border(std::int32_t x, std::int32_t y) const
    {
        const std::uint32_t v = paint.Row32(y)[x];
        return v == 0 || v == 0xFF || v == 0xFF00 || v == 0xFF0000;
    }
    static std::uint32_t Key(std::int32_t x, std::int32_t y) { return (std::uint32_t(x) << 16) + std::uint32_t(y) + 1; }

    bool Visit(std::int32_t x, std::int32_t y)
    {
        if (Border(x, y))
            return true;
        std::int32_t x0 = x, x1 = x + 1;
        while (x0 > 0 && !Border(x0 - 1, y))
            --x0;
        const std::uint32_t key = Key(x0, y);
        if (processed.count(key))
            return true;
        if (processed.size() == 32768)
            return false;
        processed.insert(key);
        first = first ? first : key;
        while (x1 < paint.Width() && !Border(x1, y))
            ++x1;
        for (std::int32_t i = x0; i < x1; ++i)
            if (paint.Row32(y)[i] >> 24 || paint.Row32(y)[i] == 0x00FFFFFFu)
                paint.Row32(y)[i] = value;
        for (std::int32_t ny : {y - 1, y + 1}) {
            if (ny < 0 || ny >= paint.Height())
                continue;
            std::int32_t c0 = x0;
            if (!Border(c0, ny))
                while (c0 > 0 && !Border(c0 - 1, ny))
                    --c0;
            for (std::int32_t c = c0; c < x1; ++c) {
                if (Border(c, ny) || (c != c0 && !Border(c - 1, ny)))
                    continue;
                const std::uint32_t k = Key(c, ny);
                if (k == last || k == first || waiting.count(k))
                    continue;
                if (stack.size() == 65536)
                    return !(stackFilled = true);
                stack.push_back(k);
                waiting.insert(k);
            }
        }
        last = key;
        return true;
    }

    void Run(SPoint seed)
    {
        overflow = !Visit(seed.x, seed.y);
        while (!stack.empty()) {
            const std::uint32_t k = stack.back();
            stack.pop_back();
            waiting.erase(k);
            overflow |= !Visit(std::int32_t((k - 1) >> 16), std::int32_t((k - 1) & 0xFFFF));
        }
    }
};

TEST(RegionFill, OverflowingWalksPaintWhatThePlainKeyArraysPaint)
{
    std::mt19937 rng(77);
    for (int round = 0; round < 3; ++round) {
        // Random borders just under the share at which open pixels stop forming one big region:
        // tens of thousands of spans, most of them in one region.
        const std::int32_t size = 520;
        Art art(std::size_t(size), std::string(std::size_t(size), '.'));
        for (std::string& row : art)
            for (char& c : row)
                c = rng() % 100 < 33 ? '#' : "..RG"[rng() % 4];
        PaintDesk desk(art);
        SPoint seed{std::int32_t(rng() % size), std::int32_t(rng() % size)};
        while (art[seed.y][seed.x] == '#')
            seed.x = (seed.x + 1) % size;
        SBitmap expected = desk.cel.paint;
        PlainFill plain(expected, ArtValue('B'));
        plain.Run(seed);
        const FillResult r = FillAt(desk, seed, ArtColour('B'));
        EXPECT_TRUE(plain.overflow);
        EXPECT_EQ(ErrorIdentifier(r.err), "buf_overflow") << "round " << round;
        for (std::int32_t y = 0; y < size; ++y)
            ASSERT_EQ(0, std::memcmp(expected.Row32(y), desk.cel.paint.Row32(y), std::size_t(size) * 4))
                << "round " << round << " row " << y;
    }
}

// A bar along the top row with `teeth` one-pixel columns hanging from it, `rows` deep: every tooth
// pixel is a span of its own, so the region holds 1 + teeth * rows spans.
Art Comb(std::int32_t teeth, std::int32_t rows)
{
    Art art(1, std::string(std::size_t(2 * teeth - 1), '.'));
    std::string tooth;
    for (std::int32_t i = 0; i < teeth; ++i)
        tooth += i ? "#." : ".";
    art.insert(art.end(), std::size_t(rows), tooth);
    return art;
}

std::int32_t RunsOf(const Art& art, char c)
{
    std::int32_t runs = 0;
    for (const std::string& row : art)
        for (std::size_t x = 0; x < row.size(); ++x)
            runs += row[x] == c && (x == 0 || row[x - 1] != c);
    return runs;
}

TEST(RegionFill, PaintsExactly32768SpansThenReportsOverflow)
{
    // 1 + 151 * 217 = 32768 spans: the whole region fits.
    Art art = Comb(151, 217);
    {
        PaintDesk desk(art);
        const FillResult r = FillAt(desk, {0, 0}, ArtColour('B'));
        EXPECT_EQ(r.err, 0u);
        EXPECT_EQ(RunsOf(PaintArt(desk.cel), '.'), 0);
    }
    // One more span, on a row above the bar: it is offered first and so, last in first out, visited
    // last, when the processed list is full. Everything else stays painted and undo restores it.
    Art more = art;
    more.insert(more.begin(), std::string(art[0].size() - 1, '#') + ".");
    PaintDesk desk(more);
    const FillResult r = FillAt(desk, {0, 1}, ArtColour('B'));
    EXPECT_EQ(ErrorIdentifier(r.err), "buf_overflow");
    const Art after = PaintArt(desk.cel);
    EXPECT_EQ(RunsOf(after, 'B'), FillProcessedCapacity);
    EXPECT_EQ(after[0].back(), '.');
    EXPECT_EQ(r.changed, (SRect{0, 1, std::int32_t(art[0].size()), std::int32_t(more.size())}));
    desk.undo.Undo();
    EXPECT_EQ(PaintArt(desk.cel), more);
}

TEST(RegionFill, TooManyPendingSpansReportOverflowAndUndoStillRestores)
{
    // Bars joined by rows of 301 one-pixel teeth: each bar offers the whole next row of teeth while
    // only one tooth per row is visited before the next bar, so the pending stack grows by 300 a
    // bar and passes 65536 near the 218th.
    const Art comb = Comb(301, 1);
    Art art;
    for (int level = 0; level < 230; ++level)
        art.insert(art.end(), comb.begin(), comb.end());
    art.push_back(comb[0]);
    PaintDesk desk(art);
    SBitmap expected = desk.cel.paint;
    PlainFill plain(expected, ArtValue('G'));
    plain.Run({5, 0});
    const FillResult r = FillAt(desk, {5, 0}, ArtColour('G'));
    EXPECT_EQ(ErrorIdentifier(r.err), "buf_overflow");
    EXPECT_TRUE(plain.stackFilled);
    for (std::int32_t y = 0; y < expected.Height(); ++y)
        ASSERT_EQ(0, std::memcmp(expected.Row32(y), desk.cel.paint.Row32(y), std::size_t(expected.Width()) * 4)) << y;
    desk.undo.Undo();
    EXPECT_EQ(PaintArt(desk.cel), art);
}

TEST(RegionFill, AbortRaisedBeforehandPaintsNothingAndSaysSo)
{
    const Art art = {"#....#",
                     "#.##.#"};
    PaintDesk desk(art);
    desk.tools.colourMode = SColourMode::Colour;
    desk.tools.currentColour = ArtColour('R');
    desk.undo.BeginStep("ペイント");
    SPaintContext context = desk.Context();
    SAbort abort;
    abort.RequestAbort();
    SError err = 0;
    EXPECT_TRUE(FillRegion(context, {2, 0}, true, err, &abort).IsEmpty());
    EXPECT_EQ(ErrorIdentifier(err), "abort");
    EXPECT_EQ(PaintArt(desk.cel), art);
}

}  // namespace
