#include "SBoundary.h"
#include "ToolFixture.h"

#include <vector>

using namespace ulib;

namespace {

std::vector<SPoint> Walk(SPoint p, SPoint q)
{
    std::vector<SPoint> points{p};
    while (LineWalkStep(p, q))
        points.push_back(p);
    return points;
}

// The value boundary delete gives the middle pixel of a 3 x 3 art.
char DeletedMiddle(const Art& art)
{
    PaintDesk desk(art);
    Drag(desk, ToolBoundaryDelete, {{1, 1}});
    return PaintArt(desk.cel)[1][1];
}

}  // namespace

TEST(LineWalk, StepsAlongTheSteeperAxisAndDiagonallyNearTheDiagonal)
{
    EXPECT_EQ(Walk({0, 0}, {5, 2}), (std::vector<SPoint>{{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}, {5, 2}}));
    EXPECT_EQ(Walk({0, 0}, {-2, -5}), (std::vector<SPoint>{{0, 0}, {0, -1}, {0, -2}, {-1, -3}, {-1, -4}, {-2, -5}}));
    EXPECT_EQ(Walk({3, 3}, {3, 3}), (std::vector<SPoint>{{3, 3}}));
    EXPECT_EQ(Walk({0, 0}, {-3, 0}), (std::vector<SPoint>{{0, 0}, {-1, 0}, {-2, 0}, {-3, 0}}));
    // Far-apart ends do not overflow the differences.
    SPoint p{INT32_MIN, 0};
    EXPECT_TRUE(LineWalkStep(p, {INT32_MAX, 1}));
    EXPECT_EQ(p, (SPoint{INT32_MIN + 1, 0}));
}

TEST(BoundaryFix, DrawsRedBordersAlongTheDragAndKeepsBorders)
{
    PaintDesk desk({"RRRRR",
                    "..#b.",
                    "....."});
    EXPECT_EQ(Drag(desk, ToolBoundaryFix, {{0, 1}, {4, 1}}), (SRect{0, 1, 5, 2}));
    EXPECT_EQ(PaintArt(desk.cel), Art({"RRRRR", "rr#br", "....."}));
    EXPECT_EQ(desk.undo.UndoCaption(), SString("修正"));
    EXPECT_TRUE(DisplayIsFresh(desk.cel));

    // From outside the document in: only the pixels inside change; the rectangle is clipped.
    EXPECT_EQ(Drag(desk, ToolBoundaryFix, {{-3, 0}, {1, 0}}), (SRect{0, 0, 2, 1}));
    EXPECT_EQ(PaintArt(desk.cel), Art({"rrRRR", "rr#br", "....."}));

    desk.cel.visible[LayerPaint] = false;
    EXPECT_TRUE(Drag(desk, ToolBoundaryFix, {{0, 2}, {4, 2}}).IsEmpty());
    EXPECT_EQ(PaintArt(desk.cel)[2], ".....");
}

TEST(BoundaryDelete, TakesTheLastPaintedNeighbourLeftBelowRightAbove)
{
    EXPECT_EQ(DeletedMiddle({".B.", "R#.", ".G."}), 'B');
    EXPECT_EQ(DeletedMiddle({"...", "R#.", ".G."}), 'G');
    EXPECT_EQ(DeletedMiddle({"...", "R#C", "..."}), 'C');
    EXPECT_EQ(DeletedMiddle({".g.", "R#r", ".#."}), 'R');  // borders have alpha 0
    EXPECT_EQ(DeletedMiddle({".#.", "#r#", ".#."}), '.');
    EXPECT_EQ(DeletedMiddle({".H.", "R#.", "..."}), 'H');  // any alpha counts
    // Only black and red borders are deleted.
    EXPECT_EQ(DeletedMiddle({"...", "RbG", "..."}), 'b');
    EXPECT_EQ(DeletedMiddle({"...", "RgG", "..."}), 'g');
    EXPECT_EQ(DeletedMiddle({"...", "RYG", "..."}), 'Y');
}

TEST(BoundaryDelete, LooksOnlyAtNeighboursInsideTheDocument)
{
    PaintDesk desk({"#.R"});
    Drag(desk, ToolBoundaryDelete, {{0, 0}});
    EXPECT_EQ(PaintArt(desk.cel), Art({"..R"}));
}

TEST(Knife, CarvesAChannelOfTheStartColourWalledByRedBorders)
{
    PaintDesk desk({".......",
                    ".GGGBB.",
                    ".GGGBB.",
                    ".GGGBB.",
                    "......."});
    EXPECT_TRUE(Drag(desk, ToolKnife, {{2, 2}}).IsEmpty());  // the press only remembers the point
    EXPECT_EQ(desk.undo.UndoCaption(), SString("切れ込みツール"));

    EXPECT_EQ(Drag(desk, ToolKnife, {{2, 2}, {5, 2}}), (SRect{1, 1, 7, 4}));
    EXPECT_EQ(PaintArt(desk.cel), Art({".......",
                                       ".GGrrr.",
                                       ".GGGGGr",
                                       ".GGrrr.",
                                       "......."}));
    EXPECT_TRUE(DisplayIsFresh(desk.cel));
}

TEST(Knife, StartingOnABorderCutsUnpaintedAndWallsStopAtTheEdge)
{
    PaintDesk desk({"#GGG",
                    "GGGG",
                    "GGGG"});
    // Diagonal from the border corner: every step walls its four neighbours.
    EXPECT_EQ(Drag(desk, ToolKnife, {{0, 0}, {2, 2}}), (SRect{0, 0, 4, 3}));
    EXPECT_EQ(PaintArt(desk.cel), Art({".rGG",
                                       "r.rG",
                                       "Gr.r"}));
}
