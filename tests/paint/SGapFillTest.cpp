// The gap-closing fill: off it is the plain fill; on it stops at openings up to its size and not at
// wider ones, reaches into corners, leaves no seam once both sides are filled, and undoes in a step.
#include "PaintFixture.h"
#include "SGapFill.h"
#include "SRegionFill.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace ulib;

namespace {

constexpr std::int32_t W = 60, H = 40;

// A box outlined by a 3-pixel border (columns 10..49, rows 8..31), its right side opened over
// `opening` rows in the middle.
Art OpenBox(std::int32_t opening)
{
    Art art(std::size_t(H), std::string(std::size_t(W), '.'));
    for (std::int32_t y = 8; y < 32; ++y)
        for (std::int32_t x = 10; x < 50; ++x) {
            const bool side = x < 13 || x >= 47 || y < 11 || y >= 29;
            const bool opened = x >= 47 && y >= 20 - opening / 2 && y < 20 - opening / 2 + opening;
            if (side && !opened)
                art[std::size_t(y)][std::size_t(x)] = '#';
        }
    return art;
}

SRect Fill(PaintDesk& desk, SPoint at, std::int32_t gap, char colour)
{
    desk.undo.BeginStep(SString("paint"));
    desk.tools.currentColour = ArtColour(colour);
    SPaintContext context = desk.Context();
    SError err = 0;
    const SRect changed = FillRegionClosingGaps(context, at, gap, true, err);
    EXPECT_EQ(err, 0u);
    return changed;
}

std::int32_t Count(const Art& art, char c)
{
    std::int32_t n = 0;
    for (const std::string& row : art)
        n += std::int32_t(std::count(row.begin(), row.end(), c));
    return n;
}

}  // namespace

TEST(GapFill, OffItIsThePlainFillOnRandomCels)
{
    std::mt19937 rng(1808);
    for (int round = 0; round < 40; ++round) {
        Art art(24, std::string(32, '.'));
        for (std::string& row : art)
            for (char& c : row)
                c = rng() % 100 < 30 ? '#' : '.';
        PaintDesk plain(art), closing(art);
        const SPoint seed{std::int32_t(rng() % 32), std::int32_t(rng() % 24)};
        plain.undo.BeginStep(SString("paint"));
        plain.tools.currentColour = ArtColour('R');
        SPaintContext context = plain.Context();
        SError err = 0;
        const SRect want = FillRegion(context, seed, true, err);
        EXPECT_EQ(Fill(closing, seed, 0, 'R'), want) << "round " << round;
        EXPECT_EQ(PaintArt(closing.cel), PaintArt(plain.cel)) << "round " << round;
    }
}

TEST(GapFill, ClosesOpeningsUpToItsSizeAndNoWider)
{
    struct Case
    {
        std::int32_t gap, opening;
        bool leaks;
    };
    for (const Case c : {Case{3, 1, false}, Case{3, 3, false}, Case{3, 5, true}, Case{6, 6, false}, Case{6, 8, true},
                         Case{12, 12, false}, Case{12, 14, true}, Case{1, 3, true}}) {
        PaintDesk desk(OpenBox(c.opening));
        Fill(desk, {30, 20}, c.gap, 'R');
        const Art painted = PaintArt(desk.cel);
        const std::string what = "gap " + std::to_string(c.gap) + ", opening " + std::to_string(c.opening);
        EXPECT_EQ(painted[2][2] == 'R', c.leaks) << what;
        // The inside is reached whole, into its corners.
        for (const SPoint corner : {SPoint{13, 11}, SPoint{46, 11}, SPoint{13, 28}, SPoint{46, 28}})
            EXPECT_EQ(painted[std::size_t(corner.y)][std::size_t(corner.x)], 'R') << what;
    }
}

TEST(GapFill, BothSidesFilledLeaveNoSeamAndEachUndoesInOneStep)
{
    const Art art = OpenBox(4);
    PaintDesk desk(art);
    Fill(desk, {30, 20}, 6, 'R');
    const Art inside = PaintArt(desk.cel);
    EXPECT_EQ(inside[2][2], '.');
    Fill(desk, {2, 2}, 6, 'B');
    const Art both = PaintArt(desk.cel);
    EXPECT_EQ(Count(both, '.'), 0);
    // The opening went half to each side.
    EXPECT_EQ(both[20][47], 'R');
    EXPECT_EQ(both[20][49], 'B');
    desk.undo.Undo();
    EXPECT_EQ(PaintArt(desk.cel), inside);
    desk.undo.Undo();
    EXPECT_EQ(PaintArt(desk.cel), art);
}

TEST(GapFill, ARegionNarrowerThanTheSizeIsFilledWhole)
{
    // A corridor 3 pixels wide between two lines, open at both ends: no pixel of it is far from a
    // line, so there is nothing to split.
    Art art(9, std::string(30, '#'));
    for (std::int32_t y = 3; y < 6; ++y)
        for (std::int32_t x = 0; x < 30; ++x)
            art[std::size_t(y)][std::size_t(x)] = '.';
    PaintDesk desk(art);
    Fill(desk, {15, 4}, 8, 'G');
    EXPECT_EQ(Count(PaintArt(desk.cel), 'G'), 90);
}

// The eraser and the bitmap mode stop where the colour does: each changes the inside share alone,
// the bitmap repeated from the document's origin as the plain fill repeats it.
TEST(GapFill, EraserAndBitmapModesStopAtTheSameOpenings)
{
    Art red = OpenBox(3);
    for (std::string& row : red)
        for (char& c : row)
            c = c == '.' ? 'R' : c;
    PaintDesk eraser(red);
    eraser.tools.colourMode = SColourMode::Eraser;
    Fill(eraser, {30, 20}, 4, 'R');
    const Art erased = PaintArt(eraser.cel);
    EXPECT_EQ(erased[20][30], '.');
    EXPECT_EQ(erased[11][13], '.');
    EXPECT_EQ(erased[2][2], 'R');
    EXPECT_EQ(erased[20][52], 'R');

    PaintDesk bitmap(OpenBox(3));
    bitmap.reference.Create(4, 4, 32);
    for (std::int32_t y = 0; y < 4; ++y)
        for (std::int32_t x = 0; x < 4; ++x)
            bitmap.reference.Row32(y)[x] = 0xFF000000u | std::uint32_t(16 * y + x);
    bitmap.tools.colourMode = SColourMode::Bitmap;
    Fill(bitmap, {30, 20}, 4, 'R');
    for (const SPoint p : {SPoint{30, 20}, SPoint{13, 11}, SPoint{46, 28}})
        EXPECT_EQ(bitmap.cel.paint.Row32(p.y)[p.x], 0xFF000000u | std::uint32_t(16 * (p.y % 4) + p.x % 4));
    EXPECT_EQ(PaintArt(bitmap.cel)[2][2], '.');
    bitmap.undo.Undo();
    EXPECT_EQ(PaintArt(bitmap.cel), OpenBox(3));
}
