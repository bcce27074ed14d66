// Random editing sessions on random cels: undoing every step gives back the cel as it was, byte
// for byte, and redoing every step gives back the edited cel.
#include "RandomEdits.h"
#include "SHuedraneController.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <string>
#include <vector>

using namespace ulib;
using namespace random_edits;

namespace {

std::vector<std::uint32_t> Pixels(const SBitmap& layer)
{
    std::vector<std::uint32_t> pixels;
    for (std::int32_t y = 0; y < layer.Height(); ++y)
        pixels.insert(pixels.end(), layer.Row32(y), layer.Row32(y) + layer.Width());
    return pixels;
}

TEST(ControllerUndo, UndoingEverythingRestoresTheCelAndRedoingRestoresTheEdits)
{
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 random(seed);
        SHuedraneController c;
        MakeRandomCel(c, random);
        const auto trace = Pixels(c.PaintContext().cel.trace), paint = Pixels(c.Cel().paint);

        const int steps = 1 + int(random() % 10);
        for (int i = 0; i < steps; ++i)
            RandomStep(c, random);
        const auto editedTrace = Pixels(c.PaintContext().cel.trace), editedPaint = Pixels(c.PaintContext().cel.paint), editedExtra = Pixels(c.Cel().extra);

        for (int i = 0; i < steps; ++i) {
            ASSERT_TRUE(c.UndoBuffer().CanUndo()) << "seed " << seed;
            c.Undo();
        }
        EXPECT_FALSE(c.UndoBuffer().CanUndo());
        ASSERT_EQ(Pixels(c.Cel().trace), trace) << "seed " << seed;
        ASSERT_EQ(Pixels(c.Cel().paint), paint) << "seed " << seed;
        EXPECT_TRUE(c.Cel().ExtraLayerIsEmpty()) << "seed " << seed;

        for (int i = 0; i < steps; ++i)
            c.Redo();
        EXPECT_FALSE(c.UndoBuffer().CanRedo());
        ASSERT_EQ(Pixels(c.Cel().trace), editedTrace) << "seed " << seed;
        ASSERT_EQ(Pixels(c.Cel().paint), editedPaint) << "seed " << seed;
        if (!editedExtra.empty()) {
            ASSERT_EQ(Pixels(c.Cel().extra), editedExtra) << "seed " << seed;
        }
    }
}

TEST(ControllerUndo, TheEleventhStepDropsTheFirst)
{
    std::mt19937 random(99);
    SHuedraneController c;
    MakeRandomCel(c, random);
    c.SetColourMode(SColourMode::Colour);
    c.SetCurrentColour(SColor(1, 2, 3));
    c.MouseDown(ToolPaint, {5, 5});  // the step that will be dropped
    c.MouseUp();
    const auto afterFirst = Pixels(c.Cel().paint);
    for (int i = 0; i < 10; ++i) {
        c.SetCurrentColour(SColor(std::uint8_t(10 + i), 0, 0));
        c.MouseDown(ToolPaint, {16, 5});
        c.MouseUp();
    }
    for (int i = 0; i < 10; ++i)
        c.Undo();
    EXPECT_FALSE(c.UndoBuffer().CanUndo());
    EXPECT_EQ(Pixels(c.Cel().paint), afterFirst);  // the first fill stays: it can no longer be undone
    EXPECT_EQ(c.Cel().paint.Row32(5)[5], 0xFF010203u);
}

TEST(ControllerUndo, EditMenuCaptionsFollowTheSteps)
{
    std::mt19937 random(5);
    SHuedraneController c;
    MakeRandomCel(c, random);
    EXPECT_EQ(c.UndoMenuCaption(), SString("元に戻す(&U)"));
    c.MouseDown(ToolBrush, {20, 20});
    c.MouseUp();
    EXPECT_EQ(c.UndoMenuCaption(), SString("ブラシを元に戻す(&U)"));
    c.Undo();
    EXPECT_EQ(c.RedoMenuCaption(), SString("ブラシのやり直し(&R)"));
    EXPECT_EQ(c.UndoMenuCaption(), SString("元に戻す(&U)"));
    c.RunWholeCel(SWholeCelOperation::Gundress);
    EXPECT_EQ(c.UndoMenuCaption(), SString("ガンドレス塗りを元に戻す(&U)"));
    EXPECT_EQ(c.RedoMenuCaption(), SString("やり直し(&R)"));
}

}  // namespace
