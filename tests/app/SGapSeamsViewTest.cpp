// The controller's view of the openings the fill's gap size closes: found for the cel's borders
// at the tool state's size, kept current through edits, undo and size changes, empty while hidden.
#include "CarryCels.h"
#include "ControllerFolder.h"
#include "SDocumentFile.h"
#include "SHuedraneController.h"

#include <gtest/gtest.h>

using namespace ulib;
using namespace carry_cels;

namespace {

// Box 0's right side, 2 pixels wide at columns 58..59, opened over rows 28..30 into box 1's
// surroundings.
constexpr SRect Opening{58, 28, 60, 31};

class GapSeamsView : public ControllerFolder
{
protected:
    void SetUp() override
    {
        ControllerFolder::SetUp();
        SCel cel = Drawing({0, 0}, false);
        for (std::int32_t y = Opening.top; y < Opening.bottom; ++y)
            for (std::int32_t x = Opening.left; x < Opening.right; ++x)
                SetPixel(cel.paint, x, y, cel_values::Unpainted);
        Save(cel, In("c001.hdq"));
        ASSERT_EQ(c.OpenDocumentFile(SString(In("c001.hdq"))), 0u);
    }
    // Every seam lies in the opening or beside it.
    bool AllAtTheOpening()
    {
        for (const SRect& seam : c.GapSeams())
            if (!Opening.Inflate(3, 3).Contains({seam.left, seam.top}) || !Opening.Inflate(3, 3).Contains({seam.right - 1, seam.top}))
                return false;
        return true;
    }
};

TEST_F(GapSeamsView, ShowsTheOpeningsTheSizeClosesAndFollowsEdits)
{
    EXPECT_TRUE(c.GapSeams().empty());  // hidden
    c.SetFillGap(5);
    EXPECT_TRUE(c.GapSeams().empty());
    EXPECT_NE(c.ShowGapSeams(true) & main_refresh::Canvas, 0u);
    ASSERT_FALSE(c.GapSeams().empty());
    EXPECT_TRUE(AllAtTheOpening());

    // The paint tool fills box 0 without leaking; the borders and so the seams stay.
    c.MouseDown(ToolPaint, {20, 40});
    c.MouseUp();
    EXPECT_EQ(c.Cel().paint.Row32(40)[20], c.Tools().currentColour.Pixel());
    EXPECT_EQ(c.Cel().paint.Row32(29)[62], cel_values::Unpainted);
    EXPECT_FALSE(c.GapSeams().empty());

    // A boundary stroke across the opening closes it: no seam is left; undo brings it back.
    c.MouseDown(ToolBoundaryFix, {57, 26});
    c.MouseMove({57, 32});
    c.MouseUp();
    EXPECT_TRUE(c.GapSeams().empty());
    c.Undo();
    EXPECT_FALSE(c.GapSeams().empty());

    c.SetFillGap(2);  // narrower than the opening
    EXPECT_TRUE(c.GapSeams().empty());
    c.SetFillGap(5);
    EXPECT_FALSE(c.GapSeams().empty());
    c.ShowGapSeams(false);
    EXPECT_TRUE(c.GapSeams().empty());
}

}  // namespace
