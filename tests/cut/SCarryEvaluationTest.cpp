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
    EXPECT_GE(total.paintedRight * 1000, total.painted * 995);
}

// Each kind of movement at the limit a cut's neighbouring cels reach, alone, with no line changed.
TEST(CarryEvaluation, EachMovementAtItsLimitIsFollowed)
{
    struct Case
    {
        const char* what;
        Motion motion;
    };
    const double pi = 3.14159265358979;
    Motion shifted, turnedLeft, turnedRight, shrunk, grown, warped;
    shifted.dx = 0.08 * 1200;
    shifted.dy = -0.04 * 1200;
    turnedLeft.angle = 6 * pi / 180;
    turnedRight.angle = -6 * pi / 180;
    shrunk.scale = 0.93;
    grown.scale = 1.07;
    warped.warp = 0.008 * 1200;
    warped.wave[0] = warped.wave[3] = 1.5;
    const Case cases[] = {{"shifted", shifted}, {"turned left", turnedLeft}, {"turned right", turnedRight},
                          {"shrunk", shrunk},   {"grown", grown},           {"warped", warped}};
    const Scene scene = MakeScene(5, SmallScene());
    const Renderer still(scene, Motion{});
    Cel first = still.Draw({});
    PaintAsPainter(scene, first);
    const SCel source = WorkingCel(first);
    for (const Case& c : cases) {
        const Renderer moved(scene, c.motion);
        const Figures f = Score(scene, moved.Draw({}), Carry({&source}, moved.Draw({})), moved, still);
        f.Print(c.what);
        EXPECT_GE(f.right * 100, f.regions * 95) << c.what;
        // Wrong ones are specks of a pixel or two under the lines, whose truth is a matter of rounding.
        EXPECT_LE(f.wrong * 200, f.regions * 3) << c.what;
        EXPECT_GE(f.linesRight * 100, f.lines * 90) << c.what;
    }
}
