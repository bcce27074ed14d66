// The gap-closing fill in the main window: the tool bar's size box and the View menu's view of the
// openings that size closes, drawn over the canvas.
#include "FormMainFixture.h"

#include "../app/CarryCels.h"
#include "SDocumentFile.h"

#include <QSpinBox>

#include <gtest/gtest.h>

using namespace ulib;

namespace {

// Box 0's right side opened over rows 28..30.
constexpr SRect Opening{58, 28, 60, 31};

class FormMainGap : public FormMainFixture
{
protected:
    void OpenCelWithAnOpening()
    {
        SCel cel = carry_cels::Drawing({0, 0}, false);
        for (std::int32_t y = Opening.top; y < Opening.bottom; ++y)
            for (std::int32_t x = Opening.left; x < Opening.right; ++x)
                SetPixel(cel.paint, x, y, cel_values::Unpainted);
        carry_cels::Save(cel, Path("c001.hdq").Str());
        OpenThroughMenu(Path("c001.hdq"));
    }
    std::pair<int, int> SeamPixels(const SRect& near) const { return CanvasPixels(0x00FFFFu, near); }
    QSpinBox* GapBox() const { return form_->findChild<QSpinBox*>("SpinFillGap"); }
};

TEST_F(FormMainGap, TheToolBarBoxSetsTheSizeAndTheViewMarksTheOpening)
{
    OpenCelWithAnOpening();
    ASSERT_NE(GapBox(), nullptr);
    EXPECT_EQ(GapBox()->value(), 0);
    GapBox()->setValue(5);
    EXPECT_EQ(c_.Tools().fillGap, 5);

    OpenMenu("MenuShowMain");
    EXPECT_FALSE(Item("MenuGapSeams")->isChecked());
    Item("MenuGapSeams")->trigger();
    EXPECT_TRUE(c_.GapSeamsShown());
    OpenMenu("MenuShowMain");
    EXPECT_TRUE(Item("MenuGapSeams")->isChecked());
    const auto [near, elsewhere] = SeamPixels(Opening.Inflate(4, 4));
    EXPECT_GT(near, 0);
    EXPECT_EQ(elsewhere, 0);

    // A size the controller takes from elsewhere (the options dialog, the settings) shows in the box.
    form_->Refresh(c_.SetFillGap(2));
    EXPECT_EQ(GapBox()->value(), 2);
    EXPECT_EQ(SeamPixels(Opening.Inflate(4, 4)), std::make_pair(0, 0));  // the opening is wider

    Item("MenuGapSeams")->trigger();
    EXPECT_FALSE(c_.GapSeamsShown());
}

}  // namespace
