// The carry's rules on small drawings of boxes: moved and changed drawings, what is left, the
// identity with hand clicks and undo, converted lines and the refused sources.
#include "PaintFixture.h"
#include "SCarry.h"
#include "SRegionFill.h"
#include "SRegionLabels.h"
#include "STools.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

using namespace ulib;

namespace {

constexpr std::int32_t W = 160, H = 120;
constexpr std::uint32_t Red = 0xFFFF0000u, Blue = 0xFF0000FFu, Green = 0xFF00FF00u, Yellow = 0xFFFFFF00u;

// A drawing: rectangles outlined by 3-pixel black borders, and straight 3-pixel lines, all moved
// by (dx, dy).
struct Drawing
{
    struct Box
    {
        std::int32_t x0, y0, x1, y1;
    };
    std::vector<Box> boxes;
    std::vector<Box> lines;  // filled rectangles: a line across something
};

SCel Draw(const Drawing& d, std::int32_t dx, std::int32_t dy)
{
    SCel cel;
    cel.display.Create(W, H, 32);
    cel.trace.Create(W, H, 32);
    cel.paint.Create(W, H, 32);
    cel.flag.Create(W, H, 8);
    cel.flag.ResetPixels();
    cel.trace.FillRect(SColor::FromPixel(cel_values::NoLine));
    cel.paint.FillRect(SColor::FromPixel(cel_values::Unpainted));
    auto border = [&](std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
        for (std::int32_t y = std::max(0, y0 + dy); y < std::min(H, y1 + dy); ++y)
            for (std::int32_t x = std::max(0, x0 + dx); x < std::min(W, x1 + dx); ++x) {
                cel.paint.Row32(y)[x] = cel_values::BorderBlack;
                cel.trace.Row32(y)[x] = cel_values::BlackLine(255);
            }
    };
    for (const Drawing::Box& b : d.boxes) {
        border(b.x0, b.y0, b.x1, b.y0 + 3);
        border(b.x0, b.y1 - 3, b.x1, b.y1);
        border(b.x0, b.y0, b.x0 + 3, b.y1);
        border(b.x1 - 3, b.y0, b.x1, b.y1);
    }
    for (const Drawing::Box& l : d.lines)
        border(l.x0, l.y0, l.x1, l.y1);
    cel.ComposeAll();
    return cel;
}

// Three boxes side by side inside a frame, the middle one wider.
Drawing Boxes()
{
    return {{{10, 10, 150, 110}, {20, 20, 60, 100}, {60, 20, 110, 100}, {110, 20, 140, 100}}, {}};
}

std::uint32_t At(const SCel& cel, std::int32_t x, std::int32_t y) { return cel.paint.Row32(y)[x]; }

// Paints the region at each point with its colour, as clicks of the paint tool do.
void Click(PaintDesk& desk, const std::vector<std::pair<SPoint, std::uint32_t>>& clicks)
{
    for (const auto& [at, colour] : clicks) {
        desk.tools.currentColour = SColor::FromPixel(colour);
        SPaintContext context = desk.Context();
        SStroke stroke;
        stroke.MouseDown(context, ToolPaint, at);
        stroke.MouseUp();
    }
}

// The source of the box drawing: frame blue, boxes red, green and yellow, background unpainted.
SCel PaintedBoxes(const Drawing& d)
{
    SCel cel = Draw(d, 0, 0);
    SHuedraneUndoBuffer undo(cel.trace, cel.paint, cel.extra);
    SToolState tools;
    const SBitmap none;
    SPaintContext context{cel, undo, tools, none};
    for (const auto& [at, colour] :
         std::vector<std::pair<SPoint, std::uint32_t>>{{{15, 15}, Blue}, {{40, 60}, Red}, {{85, 60}, Green}, {{125, 60}, Yellow}}) {
        tools.currentColour = SColor::FromPixel(colour);
        SError err = 0;
        FillRegion(context, at, false, err);
    }
    return cel;
}

SCarryReport CarryOnto(const std::vector<const SCel*>& sources, PaintDesk& desk)
{
    desk.undo.BeginStep(SString("carry"));
    SPaintContext context = desk.Context();
    SCarryReport report;
    EXPECT_EQ(CarryColours(sources, context, report), 0u);
    return report;
}

PaintDesk& DeskOf(std::unique_ptr<PaintDesk>& holder, const SCel& cel)
{
    holder = std::make_unique<PaintDesk>(Art{"."});
    holder->cel = cel;
    holder->undo.SetDocumentSize(W, H);
    return *holder;
}

}  // namespace

TEST(Carry, MovedDrawingsTakeTheirColoursAndTheBackgroundStaysAsInTheSource)
{
    const Drawing d = Boxes();
    const SCel source = PaintedBoxes(d);
    for (const SPoint move : {SPoint{0, 0}, SPoint{3, 2}, SPoint{-6, 4}, SPoint{9, -7}}) {
        std::unique_ptr<PaintDesk> holder;
        PaintDesk& desk = DeskOf(holder, Draw(d, move.x, move.y));
        const SCarryReport report = CarryOnto({&source}, desk);
        const std::string where = "moved by " + std::to_string(move.x) + "," + std::to_string(move.y);
        EXPECT_EQ(At(desk.cel, 40 + move.x, 60 + move.y), Red) << where;
        EXPECT_EQ(At(desk.cel, 85 + move.x, 60 + move.y), Green) << where;
        EXPECT_EQ(At(desk.cel, 125 + move.x, 60 + move.y), Yellow) << where;
        EXPECT_EQ(At(desk.cel, 15 + move.x, 15 + move.y), Blue) << where;
        EXPECT_EQ(At(desk.cel, 1, 1), cel_values::Unpainted) << where;
        EXPECT_EQ(report.painted, 4) << where;
        EXPECT_EQ(report.left, 0) << where;
    }
}

TEST(Carry, IsByteForByteTheHandClicksAndUndoesInOneStep)
{
    const Drawing d = Boxes();
    const SCel source = PaintedBoxes(d);
    const SCel target = Draw(d, 4, 3);
    std::unique_ptr<PaintDesk> carriedHolder, handHolder;
    PaintDesk& carried = DeskOf(carriedHolder, target);
    PaintDesk& hand = DeskOf(handHolder, target);

    SCarryPlan plan;
    ASSERT_EQ(PlanCarry(source, target, plan), 0u);
    const SCarryReport report = CarryOnto({&source}, carried);
    std::vector<std::pair<SPoint, std::uint32_t>> clicks;
    for (const SCarryFill& fill : plan.fills)
        clicks.push_back({fill.seed, fill.colour});
    Click(hand, clicks);

    EXPECT_EQ(PaintArt(carried.cel), PaintArt(hand.cel));
    for (std::int32_t y = 0; y < H; ++y)
        ASSERT_EQ(std::memcmp(carried.cel.paint.Row32(y), hand.cel.paint.Row32(y), std::size_t(W) * 4), 0) << "row " << y;
    EXPECT_EQ(report.changed.IsEmpty(), false);

    carried.undo.Undo();
    for (std::int32_t y = 0; y < H; ++y)
        ASSERT_EQ(std::memcmp(carried.cel.paint.Row32(y), target.paint.Row32(y), std::size_t(W) * 4), 0) << "row " << y;
    EXPECT_FALSE(carried.undo.CanUndo());
}

TEST(Carry, TheLargerPieceOfASplitKeepsTheColourWhileOtherPiecesNewShapesAndMixedMergesAreLeft)
{
    Drawing d = Boxes();
    const SCel source = PaintedBoxes(d);

    // A line across the wide green box: the larger piece stays green; the smaller one may be an
    // area the painted cel could not tell apart, and is left.
    Drawing split = d;
    split.lines.push_back({60, 70, 110, 73});
    // A closed box drawn inside the red one: nothing says its colour.
    Drawing island = d;
    island.boxes.push_back({28, 40, 52, 70});
    // The line between the red and the green box gone: red and green cannot both be right.
    Drawing merged = d;
    merged.boxes = {{10, 10, 150, 110}, {20, 20, 110, 100}, {110, 20, 140, 100}};

    struct Case
    {
        const char* what;
        Drawing drawing;
        std::vector<std::pair<SPoint, std::uint32_t>> expected;
    };
    const Case cases[] = {
        {"split", split, {{{85, 85}, cel_values::Unpainted}, {{85, 40}, Green}, {{40, 60}, Red}}},
        {"island", island, {{{40, 55}, cel_values::Unpainted}, {{24, 30}, Red}, {{85, 60}, Green}}},
        {"merged", merged, {{{40, 60}, cel_values::Unpainted}, {{125, 60}, Yellow}}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<PaintDesk> holder;
        PaintDesk& desk = DeskOf(holder, Draw(c.drawing, 0, 0));
        const SCarryReport report = CarryOnto({&source}, desk);
        for (const auto& [at, colour] : c.expected)
            EXPECT_EQ(At(desk.cel, at.x, at.y), colour) << c.what << " at " << at.x << "," << at.y;
        if (c.expected[0].second == cel_values::Unpainted) {
            ASSERT_FALSE(report.leftSeeds.empty()) << c.what;
            EXPECT_EQ(report.left, std::int32_t(report.leftBounds.size())) << c.what;
        }
    }
}

TEST(Carry, LeavesWhatCameInFromOutsideAndKeepsThePaintersOwnColours)
{
    const Drawing d = Boxes();
    const SCel source = PaintedBoxes(d);
    // Moved far right, a box comes in over the left edge that the source never showed there.
    Drawing wider = d;
    wider.boxes.push_back({-40, 30, 8, 90});
    std::unique_ptr<PaintDesk> holder;
    PaintDesk& desk = DeskOf(holder, Draw(wider, 0, 0));
    Click(desk, {{{85, 60}, Blue}});  // painted by hand before the carry
    const SCarryReport report = CarryOnto({&source}, desk);
    EXPECT_EQ(At(desk.cel, 2, 60), cel_values::Unpainted);
    EXPECT_EQ(At(desk.cel, 85, 60), Blue);
    EXPECT_EQ(At(desk.cel, 40, 60), Red);
    EXPECT_GE(report.left, 1);
}

TEST(Carry, ConvertsTheColourLinesTheSourceConvertedAndNeverBlackOnes)
{
    const Drawing d = Boxes();
    SCel source = PaintedBoxes(d);
    SCel target = Draw(d, 2, 1);
    // A red pencil line across the red box in both cels; the source's is converted to magenta.
    for (SCel* cel : {&source, &target}) {
        const std::int32_t shift = cel == &target ? 1 : 0;
        for (std::int32_t x = 25; x < 55; ++x)
            for (std::int32_t y = 50 + shift; y < 52 + shift; ++y)
                cel->trace.Row32(y)[x + 2 * shift] =
                    cel == &source ? cel_values::ConvertedLine(200, 0xFF00FF) : cel_values::ColouredLine(200, cel_values::CodeRed);
    }
    std::unique_ptr<PaintDesk> holder;
    PaintDesk& desk = DeskOf(holder, target);
    const SCarryReport report = CarryOnto({&source}, desk);
    EXPECT_EQ(report.lines, 60);
    EXPECT_EQ(desk.cel.trace.Row32(51)[40], cel_values::ConvertedLine(200, 0xFF00FF));
    EXPECT_EQ(desk.cel.flag.Row(51)[40] & 3u, cel_values::CodeRed);
    EXPECT_EQ(desk.cel.trace.Row32(12)[80], cel_values::BlackLine(255));
    desk.undo.Undo();
    EXPECT_EQ(desk.cel.trace.Row32(51)[40], cel_values::ColouredLine(200, cel_values::CodeRed));
}

TEST(Carry, RefusesSourcesOfAnotherSizeOrWithoutPaintAndChangesNothing)
{
    const Drawing d = Boxes();
    const SCel target = Draw(d, 0, 0);
    SCel smaller;
    smaller.paint.Create(W - 1, H, 32);
    const SCel unpainted = Draw(d, 0, 0);
    struct Case
    {
        const SCel* source;
        const char* error;
    };
    for (const Case& c : {Case{&smaller, "carry_size"}, Case{&unpainted, "carry_unpainted"}}) {
        std::unique_ptr<PaintDesk> holder;
        PaintDesk& desk = DeskOf(holder, target);
        desk.undo.BeginStep(SString("carry"));
        SPaintContext context = desk.Context();
        SCarryReport report;
        EXPECT_EQ(ErrorIdentifier(CarryColours({c.source}, context, report)), c.error);
        EXPECT_EQ(PaintArt(desk.cel), PaintArt(target));
        EXPECT_EQ(report.painted, 0);
        SCarryPlan plan;
        EXPECT_EQ(ErrorIdentifier(PlanCarry(*c.source, target, plan)), c.error);
        EXPECT_TRUE(plan.fills.empty());
    }
}

TEST(Carry, LaterSourcesFillWhatTheFirstLeftAndDisagreementsAreLeft)
{
    const Drawing d = Boxes();
    const SCel painted = PaintedBoxes(d);
    // The cel before: its red box left unpainted (so the painted cel must say), its green box blue
    // (so the two sources disagree there).
    SCel before = Draw(d, 2, 2);
    {
        std::unique_ptr<PaintDesk> holder;
        PaintDesk& desk = DeskOf(holder, before);
        Click(desk, {{{17, 17}, Blue}, {{87, 62}, Blue}, {{127, 62}, Yellow}});
        before = desk.cel;
    }
    std::unique_ptr<PaintDesk> holder;
    PaintDesk& desk = DeskOf(holder, Draw(d, 4, 3));
    const SCarryReport report = CarryOnto({&before, &painted}, desk);
    EXPECT_EQ(At(desk.cel, 44, 63), Red);                     // only the painted cel knew it
    EXPECT_EQ(At(desk.cel, 89, 63), cel_values::Unpainted);  // blue before, green when painted
    EXPECT_EQ(At(desk.cel, 129, 63), Yellow);
    EXPECT_EQ(report.left, 1);
    ASSERT_EQ(report.leftSeeds.size(), 1u);
    EXPECT_TRUE(report.leftBounds[0].Contains({89, 63}));
}

TEST(Carry, LeavesWhatABrushOrAPicturePaintedSinceNoFillRepaintsIt)
{
    const Drawing d = Boxes();
    SCel source = PaintedBoxes(d);
    for (std::int32_t y = 40; y < 60; ++y)  // a highlight brushed into the red box
        for (std::int32_t x = 30; x < 45; ++x)
            source.paint.Row32(y)[x] = Yellow;
    std::unique_ptr<PaintDesk> holder;
    PaintDesk& desk = DeskOf(holder, Draw(d, 2, 1));
    const SCarryReport report = CarryOnto({&source}, desk);
    EXPECT_EQ(At(desk.cel, 42, 61), cel_values::Unpainted);
    EXPECT_EQ(At(desk.cel, 87, 61), Green);
    EXPECT_EQ(report.left, 1);
}
