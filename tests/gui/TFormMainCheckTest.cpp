// The check view in the main window: its View menu items, the orange marks over the findings on the
// canvas, the count in the status bar, and the steps from finding to finding.
#include "FormMainFixture.h"

#include "../app/CarryCels.h"
#include "SDocumentFile.h"
#include "TStatusBar.h"

#include <gtest/gtest.h>

using namespace ulib;

namespace {

class FormMainCheck : public FormMainFixture
{
protected:
    // The drawing with every box painted but the first (whose inside is 12..57 x 12..47).
    void OpenCelWithOneBoxLeft()
    {
        SCel cel = carry_cels::Drawing({0, 0}, true);
        for (std::int32_t y = 12; y < 48; ++y)
            for (std::int32_t x = 12; x < 58; ++x)
                SetPixel(cel.paint, x, y, cel_values::Unpainted);
        carry_cels::Save(cel, Path("c001.hdq").Str());
        OpenThroughMenu(Path("c001.hdq"));
    }
    // The canvas pixels in the check marks' orange inside and outside a document rectangle.
    std::pair<int, int> Marked(const SRect& near) const { return CanvasPixels(0xFF8000u, near); }
    QString StatusMessage() const { return form_->StatusPanels()->currentMessage(); }
};

TEST_F(FormMainCheck, TheViewMarksTheAreaLeftCountsItAndFollowsTheFill)
{
    OpenCelWithOneBoxLeft();
    OpenMenu("MenuShowMain");
    EXPECT_FALSE(Item("MenuCheckView")->isChecked());
    EXPECT_FALSE(Item("MenuNextFinding")->isEnabled());
    Item("MenuCheckView")->trigger();
    OpenMenu("MenuShowMain");
    EXPECT_TRUE(Item("MenuCheckView")->isChecked());
    EXPECT_TRUE(Item("MenuNextFinding")->isEnabled());
    EXPECT_EQ(StatusMessage(), QString::fromUtf8("チェック: 塗り残し 1、ゴミ 0、未変換の色トレス線 0"));
    const auto [inside, outside] = Marked({8, 8, 62, 52});
    EXPECT_GT(inside, 100);
    EXPECT_EQ(outside, 0);

    Item("MenuNextFinding")->trigger();
    EXPECT_EQ(c_.CurrentFinding(), 0);
    EXPECT_TRUE(StatusMessage().startsWith(QString::fromUtf8("チェック 1 / 1: 塗り残し 1656 ピクセル")));

    // Filling the box leaves nothing to mark.
    c_.MouseDown(ToolPaint, {20, 20});
    c_.MouseUp();
    form_->Refresh(main_refresh::Canvas);
    EXPECT_TRUE(c_.CheckFindings().empty());
    EXPECT_EQ(Marked({8, 8, 62, 52}), std::make_pair(0, 0));
    Item("MenuCheckView")->trigger();
    EXPECT_FALSE(c_.CheckShown());
}

}  // namespace
