// The controller's check view: findings of the open cel, found again after each edit, stepped
// through both ways with wrapping, and none while hidden.
#include "CarryCels.h"
#include "ControllerFolder.h"
#include "SCheckView.h"
#include "SDocumentFile.h"
#include "SHuedraneController.h"

#include <gtest/gtest.h>

using namespace ulib;
using namespace carry_cels;

namespace {

class CheckView : public ControllerFolder
{
protected:
    void SetUp() override
    {
        ControllerFolder::SetUp();
        Save(Drawing({0, 0}, false), In("c001.hdq"));  // seven boxes left unpainted
        ASSERT_EQ(c.OpenDocumentFile(SString(In("c001.hdq"))), 0u);
    }
};

TEST_F(CheckView, FindsTheUnpaintedBoxesAgainAfterEachEditAndStepsThroughThem)
{
    EXPECT_TRUE(c.CheckFindings().empty());  // hidden
    EXPECT_NE(c.ShowCheck(true) & main_refresh::Canvas, 0u);
    ASSERT_EQ(c.CheckFindings().size(), Boxes().size());
    EXPECT_EQ(CheckSummary(c.CheckFindings()), SString("チェック: 塗り残し 7、ゴミ 0、未変換の色トレス線 0"));
    for (const SFinding& f : c.CheckFindings())
        EXPECT_EQ(f.kind, SFindingKind::Unpainted);

    EXPECT_EQ(c.StepFinding(1), 0);
    EXPECT_EQ(c.StepFinding(1), 1);
    EXPECT_EQ(c.StepFinding(-1), 0);
    EXPECT_EQ(c.StepFinding(-1), 6);  // wraps to the last
    EXPECT_EQ(FindingText(c.CheckFindings(), 6).Str().rfind("チェック 7 / 7: 塗り残し ", 0), 0u);

    // A fill click paints the first box: it is checked again and its finding goes.
    const SRect first = c.CheckFindings().front().bounds;
    c.MouseDown(ToolPaint, {first.left, first.top});
    c.MouseUp();
    ASSERT_EQ(c.CheckFindings().size(), Boxes().size() - 1);
    EXPECT_EQ(c.CurrentFinding(), -1);
    c.Undo();
    EXPECT_EQ(c.CheckFindings().size(), Boxes().size());

    // Asked to, it lists the paper round the boxes too; the speck size is kept in its range.
    EXPECT_NE(c.SetCheckOptions({-5, true}) & main_refresh::Canvas, 0u);
    EXPECT_EQ(c.CheckOptions().minSpeck, 0);
    ASSERT_EQ(c.CheckFindings().size(), Boxes().size() + 1);
    EXPECT_EQ(c.CheckFindings().front().at, (SPoint{0, 0}));

    c.ShowCheck(false);
    EXPECT_TRUE(c.CheckFindings().empty());
    EXPECT_EQ(c.StepFinding(1), -1);
}

TEST_F(CheckView, AnExportAsksFirstWhenTheCheckFindsAnythingAndItIsAskedFor)
{
    const std::size_t boxes = seam.Boxes().size();
    seam.QueueFileCancel();
    EXPECT_EQ(c.Export(SString(), nullptr), 0u);  // off: straight to the dialog
    EXPECT_EQ(seam.Boxes().size(), boxes);
    const std::size_t dialogs = seam.FileRequests().size();

    c.SetCheckBeforeExport(true);
    seam.QueueAnswers({SBoxAnswer::No});
    EXPECT_EQ(c.Export(SString(), nullptr), 0u);
    EXPECT_EQ(seam.FileRequests().size(), dialogs);  // no dialog after No
    EXPECT_EQ(seam.LastBox().text.rfind("チェック: 塗り残し 7、ゴミ 0、未変換の色トレス線 0", 0), 0u);
    seam.QueueAnswers({SBoxAnswer::Yes});
    seam.QueueFileCancel();
    EXPECT_EQ(c.Export(SString(), nullptr), 0u);
    EXPECT_EQ(seam.FileRequests().size(), dialogs + 1);

    // Nothing found: no question.
    Save(Drawing({0, 0}, true), In("c002.hdq"));
    ASSERT_EQ(c.OpenDocumentFile(SString(In("c002.hdq"))), 0u);
    const std::size_t asked = seam.Boxes().size();
    seam.QueueFileCancel();
    EXPECT_EQ(c.Export(SString(), nullptr), 0u);
    EXPECT_EQ(seam.Boxes().size(), asked);
}

}  // namespace
