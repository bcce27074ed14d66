#include "SHuedraneController.h"

#include <gtest/gtest.h>

using namespace ulib;

namespace {

TEST(Controller, StartsWithAnEmptyUntitledCelAndTheDefaultTools)
{
    SHuedraneController c;
    EXPECT_EQ(c.state, SDocumentState::None);
    EXPECT_EQ(c.title, SString("無題 - Huedrane"));
    EXPECT_EQ(c.path.Length(), 0);
    for (const SBitmap* layer : {&c.cel.trace, &c.cel.paint, &c.cel.genga, &c.cel.extra, &c.cel.display, &c.cel.flag})
        EXPECT_TRUE(layer->IsEmpty());
    EXPECT_EQ(c.tools.colourMode, SColourMode::Colour);
    EXPECT_EQ(c.tools.currentColour, SColor(255, 192, 128));
    EXPECT_EQ(c.tools.tracePen, 2);
    EXPECT_EQ(c.tools.brush.radius, 16);
    EXPECT_EQ(c.tools.brush.shape, 0);
    EXPECT_EQ(c.tools.brush.density, 255);
    EXPECT_EQ(c.cel.visible, (std::array<bool, 5>{false, true, true, true, true}));

    const SColor expected[16] = {SColor::Black, SColor::Red,   SColor::Yellow, SColor::Green, SColor::Cyan,
                                 SColor::Blue,  SColor::Magenta, SColor::White, SColor::Black, SColor::Black,
                                 SColor::Black, SColor::Black, SColor::Black,  SColor::Black, SColor::Black,
                                 SColor::Black};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(c.quickPalette[i], expected[i]) << "slot " << i;
}

TEST(Controller, MarkModifiedOnlyMovesSavedToModified)
{
    SHuedraneController c;
    c.MarkModified();
    EXPECT_EQ(c.state, SDocumentState::None);
    c.state = SDocumentState::Saved;
    c.MarkModified();
    EXPECT_EQ(c.state, SDocumentState::Modified);
    c.MarkModified();
    EXPECT_EQ(c.state, SDocumentState::Modified);
}

TEST(Controller, ClearingALoadedCelEmptiesEveryLayerAndTheOffset)
{
    SHuedraneController c;
    for (SBitmap* layer : {&c.cel.trace, &c.cel.paint, &c.cel.extra, &c.cel.display})
        layer->Create(8, 8, 32);
    c.cel.genga.Create(8, 8, 24);
    c.cel.flag.Create(8, 8, 8);
    c.cel.underOffset = {5, -2};
    c.cel.memo.Append(SString("memo"));
    c.ClearCel();
    for (const SBitmap* layer : {&c.cel.trace, &c.cel.paint, &c.cel.genga, &c.cel.extra, &c.cel.display, &c.cel.flag})
        EXPECT_TRUE(layer->IsEmpty());
    EXPECT_EQ(c.cel.underOffset, (SPoint{0, 0}));
    EXPECT_EQ(c.cel.memo.Count(), 0);
}

TEST(Controller, ResetIdentityGivesTheUntitledDocument)
{
    SHuedraneController c;
    c.state = SDocumentState::Modified;
    c.path = SString("/tmp/cel.hdq");
    c.title = SString("cel.hdq - Huedrane");
    c.ResetIdentity();
    EXPECT_EQ(c.state, SDocumentState::None);
    EXPECT_EQ(c.path.Length(), 0);
    EXPECT_EQ(c.defaultFileName, SString("無題.hdq"));
    EXPECT_EQ(c.title, SString("無題 - Huedrane"));
}

}  // namespace
