// The seams of a whole paint layer across the openings a gap size closes, and the print of its
// borders that tells whether seams found before still hold.
#include "PaintFixture.h"
#include "SGapSeams.h"

#include <gtest/gtest.h>

using namespace ulib;

namespace {

// Two boxes side by side, 12 pixels wide inside, parted by a wall two pixels thick with an opening
// of `opening` rows in its middle.
SCel Boxes(std::int32_t opening)
{
    Art art(20, std::string(32, '.'));
    for (std::int32_t y = 0; y < 20; ++y)
        for (std::int32_t x = 0; x < 32; ++x) {
            const bool wall = y < 2 || y >= 18 || x < 2 || x >= 30 || (x >= 15 && x < 17);
            const bool opened = x >= 15 && x < 17 && y >= 10 - opening / 2 && y < 10 - opening / 2 + opening;
            art[std::size_t(y)][std::size_t(x)] = wall && !opened ? '#' : '.';
        }
    return CelFromArt(art);
}

std::vector<SRect> Seams(SCel& cel, std::int32_t gap)
{
    SError err = 0;
    std::vector<SRect> seams = FindGapSeams(cel.paint, cel.paint.Width(), cel.paint.Height(), gap, err);
    EXPECT_EQ(err, 0u);
    return seams;
}

}  // namespace

TEST(GapSeams, MarkTheOpeningsTheSizeClosesAndNoOther)
{
    SCel cel = Boxes(3);
    EXPECT_TRUE(Seams(cel, 0).empty());
    EXPECT_TRUE(Seams(cel, 2).empty());  // narrower than the opening
    const std::vector<SRect> seams = Seams(cel, 4);
    ASSERT_FALSE(seams.empty());
    for (const SRect& seam : seams) {
        EXPECT_EQ(seam.Height(), 1);
        EXPECT_TRUE((SRect{13, 7, 19, 13}).Contains({seam.left, seam.top})) << seam.left << "," << seam.top;
        EXPECT_LE(seam.right, 19);
    }
    SCel closed = Boxes(0);
    EXPECT_TRUE(Seams(closed, 4).empty());
}

TEST(GapSeams, ThePrintFollowsTheBordersAlone)
{
    SCel cel = Boxes(3);
    const std::vector<std::uint64_t> before = BorderPrint(cel.paint, 32, 20);
    ASSERT_EQ(before.size(), 20u);
    cel.paint.Row32(5)[5] = ArtValue('R');  // paint: the borders stay
    EXPECT_EQ(BorderPrint(cel.paint, 32, 20), before);
    for (const auto& [x, y] : {std::pair{15, 10}, std::pair{5, 5}, std::pair{29, 19}}) {
        SCel moved = Boxes(3);
        moved.paint.Row32(y)[x] = moved.paint.Row32(y)[x] == ArtValue('#') ? ArtValue('.') : ArtValue('#');
        EXPECT_NE(BorderPrint(moved.paint, 32, 20), before) << x << "," << y;
    }
    EXPECT_NE(BorderPrint(cel.paint, 31, 20), before);  // another part of the layer
    SBitmap eight;
    eight.Create(32, 20, 8);
    EXPECT_TRUE(BorderPrint(eight, 32, 20).empty());
}
