// The brush box (track bars and spin edits kept in step with the controller, the dab preview) and
// the two inactive boxes' layout.
#include "TFormBrush.h"
#include "TFormTexture.h"
#include "TFormToolbox.h"

#include "SBrushPreview.h"
#include "SHuedraneController.h"

#include <QAction>
#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

constexpr int Cx = brush_preview::Width / 2;
constexpr int Cy = brush_preview::Height / 2;

int PreviewGrey(const TFormBrush& box, int x, int y)
{
    return box.PreviewBitmap().GetColor(x, y).r;
}

class TFormBrushTest : public ::testing::Test
{
protected:
    SHuedraneController c_;
    QAction menu_{"MenuAirbrushBox"};
    QAction tool_{"ToolAirbrushBox"};
};

TEST_F(TFormBrushTest, ControlsHaveTheirRangesAndThePreviewItsSize)
{
    TFormBrush box(c_, nullptr);
    EXPECT_EQ(box.objectName(), QString("FormBrush"));
    EXPECT_EQ(box.windowTitle(), QString::fromUtf8("ブラシボックス"));
    const struct { QSlider* track; int max; int tick; QSpinBox* spin; int spinMax; } rows[] = {
        {box.TrackRadius, 100, 10, box.SpinRadius, 200},
        {box.TrackShape, 100, 10, box.SpinShape, 100},
        {box.TrackDensity, 255, 16, box.SpinDensity, 255}};
    for (const auto& row : rows) {
        EXPECT_EQ(row.track->minimum(), 0);
        EXPECT_EQ(row.track->maximum(), row.max);
        EXPECT_EQ(row.track->tickInterval(), row.tick);
        EXPECT_EQ(row.spin->minimum(), 0);
        EXPECT_EQ(row.spin->maximum(), row.spinMax);
    }
    EXPECT_EQ(box.findChild<QLabel*>("PaintPreview"), box.PaintPreview);
    EXPECT_EQ(box.PaintPreview->parentWidget(), box.PanelPreview);
    EXPECT_EQ(box.PaintPreview->size(), QSize(205, 77));
    EXPECT_EQ(box.PreviewBitmap().Width(), 205);
    EXPECT_EQ(box.PreviewBitmap().Height(), 77);
    EXPECT_EQ(box.PreviewBitmap().Format(), 24);
}

TEST_F(TFormBrushTest, ShowTakesTheControllerSettingsAndPressesItsToggles)
{
    c_.SetBrush({40, 30, 128});
    TFormBrush box(c_, nullptr);
    box.SetToggles(&menu_, &tool_);
    box.show();
    EXPECT_TRUE(menu_.isChecked());
    EXPECT_TRUE(tool_.isChecked());
    EXPECT_EQ(box.TrackRadius->value(), 40);
    EXPECT_EQ(box.SpinRadius->value(), 40);
    EXPECT_EQ(box.TrackShape->value(), 30);
    EXPECT_EQ(box.SpinShape->value(), 30);
    EXPECT_EQ(box.TrackDensity->value(), 128);
    EXPECT_EQ(box.SpinDensity->value(), 128);
    EXPECT_EQ(c_.Tools().brush.radius, 40);
    EXPECT_EQ(c_.Tools().brush.shape, 30);
    EXPECT_EQ(c_.Tools().brush.density, 128);
    EXPECT_EQ(PreviewGrey(box, Cx, Cy), 255 - 128);
    box.hide();
    EXPECT_FALSE(menu_.isChecked());
    EXPECT_FALSE(tool_.isChecked());

    // Settings changed elsewhere (a loaded setting) are shown the next time.
    c_.SetBrush({5, 100, 10});
    box.show();
    EXPECT_EQ(box.SpinRadius->value(), 5);
    EXPECT_EQ(box.TrackShape->value(), 100);
    EXPECT_EQ(box.SpinDensity->value(), 10);
    EXPECT_EQ(PreviewGrey(box, Cx + 5, Cy), 245);
    EXPECT_EQ(PreviewGrey(box, Cx + 6, Cy), 255);
    box.hide();
}

TEST_F(TFormBrushTest, TrackBarsAndSpinEditsFollowEachOtherAndRedrawThePreview)
{
    TFormBrush box(c_, nullptr);
    box.show();
    box.TrackDensity->setValue(200);
    EXPECT_EQ(box.SpinDensity->value(), 200);
    EXPECT_EQ(c_.Tools().brush.density, 200);
    EXPECT_EQ(PreviewGrey(box, Cx, Cy), 55);

    box.SpinShape->setValue(75);
    EXPECT_EQ(box.TrackShape->value(), 75);
    EXPECT_EQ(c_.Tools().brush.shape, 75);

    box.SpinDensity->setValue(0);
    EXPECT_EQ(box.TrackDensity->value(), 0);
    EXPECT_EQ(PreviewGrey(box, Cx, Cy), 255);

    box.TrackRadius->setValue(0);
    box.SpinDensity->setValue(255);
    EXPECT_EQ(PreviewGrey(box, Cx, Cy), 0);
    EXPECT_EQ(PreviewGrey(box, Cx + 1, Cy), 255);

    // The paint box shows the bitmap.
    const QImage shown = box.PaintPreview->pixmap().toImage();
    ASSERT_EQ(shown.size(), QSize(205, 77));
    EXPECT_EQ(qRed(shown.pixel(Cx, Cy)), 0);
    EXPECT_EQ(qRed(shown.pixel(Cx + 1, Cy)), 255);
    box.hide();
}

TEST_F(TFormBrushTest, RadiusTypedAboveOneHundredIsLimitedByTheTrackBar)
{
    TFormBrush box(c_, nullptr);
    box.show();
    box.SpinRadius->setValue(50);
    box.SpinRadius->setValue(150);
    EXPECT_EQ(box.TrackRadius->value(), 100);
    EXPECT_EQ(box.SpinRadius->value(), 100);
    EXPECT_EQ(c_.Tools().brush.radius, 100);

    // With the track bar already at its end it reports no change; the limit still comes back.
    box.SpinRadius->setValue(180);
    EXPECT_EQ(box.TrackRadius->value(), 100);
    EXPECT_EQ(box.SpinRadius->value(), 100);
    EXPECT_EQ(c_.Tools().brush.radius, 100);
    box.hide();
}

TEST(TFormInactiveBoxes, TextureAndToolBoxAreLaidOut)
{
    TFormTexture texture(nullptr);
    EXPECT_EQ(texture.windowTitle(), QString::fromUtf8("テクスチャー"));
    ASSERT_NE(texture.findChild<QListWidget*>("ListView"), nullptr);
    auto* grid = texture.findChild<QTableWidget*>("GridTextrue");
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->columnCount(), 2);
    EXPECT_NE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(texture.PaintPreview->parentWidget(), texture.PanelPreview);

    TFormToolbox toolbox(nullptr);
    EXPECT_EQ(toolbox.windowTitle(), QString::fromUtf8("ツール"));
    EXPECT_TRUE(toolbox.GroupTool->exclusive());
    EXPECT_EQ(toolbox.GroupTool->buttons().size(), 7 + TFormToolbox::SpareToolCount);
    EXPECT_EQ(toolbox.GroupColourMode->buttons().size(), 3);
    // One choice per group: pressing another tool releases the first.
    toolbox.SpeedTrace->click();
    EXPECT_TRUE(toolbox.SpeedTrace->isChecked());
    EXPECT_FALSE(toolbox.SpeedPaint->isChecked());
    EXPECT_TRUE(toolbox.SpeedColour->isChecked());
    auto* blender = toolbox.findChild<QSlider*>("TrackBlender");
    ASSERT_NE(blender, nullptr);
    EXPECT_EQ(blender->orientation(), Qt::Vertical);
    EXPECT_EQ(blender->maximum(), 255);
    for (const char* name : {"PanelBlender1", "PanelBlender2", "PanelBlender3"}) {
        auto* panel = toolbox.findChild<QFrame*>(name);
        ASSERT_NE(panel, nullptr) << name;
        EXPECT_EQ(panel->palette().color(QPalette::Window), QColor(Qt::white));
    }
}

}  // namespace
