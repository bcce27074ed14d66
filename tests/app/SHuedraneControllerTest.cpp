#include "SHuedraneController.h"

#include <gtest/gtest.h>

using namespace ulib;

namespace {

TEST(Controller, StartsWithAnEmptyUntitledCelAndTheDefaultTools)
{
    SHuedraneController c;
    EXPECT_EQ(c.State(), SDocumentState::None);
    EXPECT_EQ(c.Title(), SString("無題 - Huedrane"));
    EXPECT_EQ(c.Path().Length(), 0);
    for (const SBitmap* layer : {&c.Cel().trace, &c.Cel().paint, &c.Cel().genga, &c.Cel().extra, &c.Cel().display, &c.Cel().flag})
        EXPECT_TRUE(layer->IsEmpty());
    EXPECT_EQ(c.Tools().colourMode, SColourMode::Colour);
    EXPECT_EQ(c.Tools().currentColour, SColor(255, 192, 128));
    EXPECT_EQ(c.Tools().tracePen, 2);
    EXPECT_EQ(c.Tools().brush.radius, 16);
    EXPECT_EQ(c.Tools().brush.shape, 0);
    EXPECT_EQ(c.Tools().brush.density, 255);
    EXPECT_EQ(c.Cel().visible, (std::array<bool, 5>{false, true, true, true, true}));

    const SColor expected[16] = {SColor::Black, SColor::Red,   SColor::Yellow, SColor::Green, SColor::Cyan,
                                 SColor::Blue,  SColor::Magenta, SColor::White, SColor::Black, SColor::Black,
                                 SColor::Black, SColor::Black, SColor::Black,  SColor::Black, SColor::Black,
                                 SColor::Black};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(c.QuickPalette()[i], expected[i]) << "slot " << i;
}

TEST(Controller, MarkModifiedOnlyMovesSavedToModified)
{
    SHuedraneController c;
    c.MarkModified();
    EXPECT_EQ(c.State(), SDocumentState::None);
    c.MarkSaved();
    c.MarkModified();
    EXPECT_EQ(c.State(), SDocumentState::Modified);
    c.MarkModified();
    EXPECT_EQ(c.State(), SDocumentState::Modified);
}

TEST(Controller, ClearingALoadedCelEmptiesEveryLayerAndTheOffset)
{
    SHuedraneController c;
    SCel& cel = c.PaintContext().cel;
    for (SBitmap* layer : {&cel.trace, &cel.paint, &cel.extra, &cel.display})
        layer->Create(8, 8, 32);
    cel.genga.Create(8, 8, 24);
    cel.flag.Create(8, 8, 8);
    cel.underOffset = {5, -2};
    cel.memo.Append(SString("memo"));
    c.ClearCel();
    for (const SBitmap* layer : {&c.Cel().trace, &c.Cel().paint, &c.Cel().genga, &c.Cel().extra, &c.Cel().display, &c.Cel().flag})
        EXPECT_TRUE(layer->IsEmpty());
    EXPECT_EQ(c.Cel().underOffset, (SPoint{0, 0}));
    EXPECT_EQ(c.Cel().memo.Count(), 0);
}

TEST(Controller, ResetIdentityGivesTheUntitledDocument)
{
    SHuedraneController c;
    c.MarkSaved();
    c.MarkModified();
    c.TakePath(SString("/tmp/cel.hdq"));
    c.ResetIdentity();
    EXPECT_EQ(c.State(), SDocumentState::None);
    EXPECT_EQ(c.Path().Length(), 0);
    EXPECT_EQ(c.DefaultFileName(), SString("無題.hdq"));
    EXPECT_EQ(c.Title(), SString("無題 - Huedrane"));
}

}  // namespace
