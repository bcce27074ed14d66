// The carry over generated cuts whose every region's true colour is known.
#include "CarryEvaluation.h"

#include <gtest/gtest.h>

using namespace cut_sequence;

namespace {

SceneSize SmallScene()
{
    SceneSize size;
    size.width = 1200;
    size.height = 900;
    size.shapes = 220;
    size.minRadius = 6;
    size.spreadDivisor = 9;
    size.strokes = 90;
    return size;
}

}  // namespace

TEST(CarryEvaluation, NeighbouringCelsTakeTheirColoursWithoutWrongOnes)
{
    Figures total;
    for (std::uint32_t seed = 1; seed <= 4; ++seed) {
        const Scene scene = MakeScene(seed, SmallScene());
        const std::vector<Motion> motions = WalkMotions(seed * 7, 2, scene.width);
        const Renderer before(scene, motions[0]), after(scene, motions[1]);
        Cel first = before.Draw(ChooseChanges(scene, seed * 11));
        PaintAsPainter(scene, first);
        const SCel source = WorkingCel(first);
        const Cel second = after.Draw(ChooseChanges(scene, seed * 13));
        const Figures f = Score(scene, second, Carry({&source}, second), after, before);
        f.Print(("seed " + std::to_string(seed)).c_str());
        total.Add(f);
    }
    total.Print("all");
    EXPECT_LE(total.wrong * 100, total.regions * 2);
}
