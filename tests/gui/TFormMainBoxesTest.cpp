// The main window with its companions: the View menu's items and tool buttons toggling the tool
// boxes, the Reference menu driving the pane, the Layer menu's under layer, and the colour picked
// in the pane reaching the palette box.
#include "FormMainFixture.h"

#include "SHuedraneSettings.h"
#include "Sximage.h"
#include "TFormBrush.h"
#include "TFormChart.h"
#include "TFormMemo.h"
#include "TFormPalette.h"
#include "TReferencePane.h"

#include <QApplication>
#include <QDockWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSpinBox>
#include <QToolBar>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace ulib;

namespace {

class FormMainBoxes : public FormMainFixture
{
protected:
    // A 24-bit bitmap file of one colour.
    std::string WritePicture(const std::string& name, std::int32_t width, std::int32_t height, SColor colour)
    {
        SBitmap picture;
        picture.Create(width, height, 24);
        picture.FillRect(colour);
        const std::string path = (folder_ / name).string();
        EXPECT_EQ(WriteBmpFile(picture, SString(path)), 0u);
        return path;
    }
};

TEST_F(FormMainBoxes, ViewItemsAndButtonsToggleTheBoxesAndShowTheirState)
{
    form_->show();
    const std::pair<const char*, QWidget*> boxes[] = {
        {"PaletteBox", form_->Palette()},
        {"ChartBox", form_->Chart()},
        {"AirbrushBox", form_->Brush()},
        {"Memo", form_->Memo()},
    };
    for (const auto& [name, box] : boxes) {
        const std::string item = std::string("Menu") + name, button = std::string("Tool") + name;
        ASSERT_NE(box, nullptr) << name;
        EXPECT_FALSE(box->isVisible()) << name;
        Item(item.c_str())->trigger();
        EXPECT_TRUE(box->isVisible()) << name;
        EXPECT_TRUE(Item(item.c_str())->isChecked()) << name;
        EXPECT_TRUE(Item(button.c_str())->isChecked()) << name;
        Item(button.c_str())->trigger();
        EXPECT_FALSE(box->isVisible()) << name;
        EXPECT_FALSE(Item(item.c_str())->isChecked()) << name;
        EXPECT_FALSE(Item(button.c_str())->isChecked()) << name;
    }
}

TEST_F(FormMainBoxes, BoxesDockOnTheRightFirstAndOpenWhereTheyWereLastTime)
{
    form_->resize(1000, 700);
    form_->show();
    QApplication::processEvents();
    auto dockOf = [](QWidget* box) { return qobject_cast<QDockWidget*>(box->parentWidget()); };
    for (QWidget* box : {static_cast<QWidget*>(form_->Palette()), static_cast<QWidget*>(form_->Chart()),
                         static_cast<QWidget*>(form_->Brush()), static_cast<QWidget*>(form_->Memo())}) {
        ASSERT_NE(dockOf(box), nullptr) << box->objectName().toStdString();
        EXPECT_EQ(form_->dockWidgetArea(dockOf(box)), Qt::RightDockWidgetArea);
        EXPECT_FALSE(dockOf(box)->isFloating());
    }

    // The palette shown docked on the left, the chart floating at a place of its own.
    Item("MenuPaletteBox")->trigger();
    form_->addDockWidget(Qt::LeftDockWidgetArea, dockOf(form_->Palette()));
    Item("MenuChartBox")->trigger();
    QDockWidget* chart = dockOf(form_->Chart());
    chart->setFloating(true);
    chart->setGeometry(240, 180, 300, 320);
    QApplication::processEvents();
    const QRect chartPlace = chart->geometry();
    ASSERT_TRUE(form_->close());
    ASSERT_EQ(SaveSettings(c_), 0u);

    // The next run: a new controller and window read the settings.
    SHuedraneController next;
    TFormMain again(next, keys_, SString("/usr/bin/huedrane-test"));
    again.ShowAsLastTime();
    QApplication::processEvents();
    EXPECT_TRUE(again.Palette()->isVisible());
    EXPECT_EQ(again.dockWidgetArea(dockOf(again.Palette())), Qt::LeftDockWidgetArea);
    EXPECT_TRUE(again.Action("MenuPaletteBox")->isChecked());
    EXPECT_TRUE(again.Action("ToolPaletteBox")->isChecked());
    EXPECT_TRUE(again.Chart()->isVisible());
    EXPECT_TRUE(dockOf(again.Chart())->isFloating());
    EXPECT_EQ(dockOf(again.Chart())->geometry(), chartPlace);
    EXPECT_FALSE(again.Brush()->isVisible());
    EXPECT_FALSE(again.Memo()->isVisible());
    again.close();
}

TEST_F(FormMainBoxes, UnderLayerLoadsAndDestroysThroughTheLayerMenu)
{
    OpenMenu("MenuLayerMain");
    EXPECT_FALSE(Item("MenuUnderLayer")->isEnabled());
    EXPECT_FALSE(Item("MenuDestroyUnderLayer")->isEnabled());

    seam_.QueueFileChoice({WritePicture("under.bmp", 30, 20, SColor(10, 20, 30, 0))});
    Item("MenuLoadUnderLayer")->trigger();
    EXPECT_EQ(seam_.BoxCount(), 0u);
    EXPECT_EQ(c_.Cel().under.Width(), 30);
    EXPECT_TRUE(c_.Cel().visible[LayerUnder]);
    EXPECT_TRUE(Item("MenuUnderLayer")->isEnabled());
    EXPECT_TRUE(Item("MenuUnderLayer")->isChecked());
    EXPECT_TRUE(Item("MenuDestroyUnderLayer")->isEnabled());

    // Cancelling the dialog is no error; an unreadable picture is.
    seam_.QueueFileCancel();
    Item("MenuLoadUnderLayer")->trigger();
    EXPECT_EQ(seam_.BoxCount(), 0u);
    EXPECT_EQ(c_.Cel().under.Width(), 30);

    Item("MenuDestroyUnderLayer")->trigger();
    EXPECT_TRUE(c_.Cel().under.IsEmpty());
    EXPECT_FALSE(Item("MenuUnderLayer")->isEnabled());
    EXPECT_FALSE(Item("MenuUnderLayer")->isChecked());
    EXPECT_FALSE(Item("MenuDestroyUnderLayer")->isEnabled());

    const std::string broken = (folder_ / "broken.bmp").string();
    std::FILE* file = std::fopen(broken.c_str(), "wb");
    std::fputs("BM not a picture", file);
    std::fclose(file);
    seam_.QueueFileChoice({broken});
    Item("MenuLoadUnderLayer")->trigger();
    EXPECT_EQ(seam_.BoxCount(), 1u);
    EXPECT_TRUE(c_.Cel().under.IsEmpty());
}

TEST_F(FormMainBoxes, ReferenceMenuFillsThePaneAndMovesThroughTheList)
{
    const std::string first = WritePicture("first.bmp", 40, 30, SColor(0, 0, 255, 0));
    const std::string second = WritePicture("second.bmp", 16, 8, SColor(0, 255, 0, 0));
    OpenMenu("MenuReferenceMain");
    EXPECT_FALSE(Item("MenuReferenceNext")->isEnabled());
    EXPECT_FALSE(Item("ToolDeleteReference")->isEnabled());

    seam_.QueueFileChoice({first, second});
    Item("ToolAppendReference")->trigger();
    ASSERT_EQ(c_.ReferenceList().Count(), 2);
    EXPECT_EQ(c_.ReferenceIndex(), 0);
    EXPECT_EQ(form_->Reference()->PaintReference()->size(), QSize(40, 30));
    EXPECT_TRUE(Item("MenuReferenceNext")->isEnabled());
    EXPECT_TRUE(Item("ToolReferencePrev")->isEnabled());

    Item("MenuReferenceNext")->trigger();
    EXPECT_EQ(c_.ReferenceIndex(), 1);
    EXPECT_EQ(form_->Reference()->PaintReference()->size(), QSize(16, 8));
    Item("ToolReferenceZoomIn")->trigger();
    EXPECT_EQ(c_.ReferenceZoom(), 1);
    EXPECT_EQ(form_->Reference()->PaintReference()->size(), QSize(32, 16));
    EXPECT_TRUE(Item("MenuReferenceZoomReset")->isEnabled());
    Item("MenuReferenceZoomReset")->trigger();
    EXPECT_EQ(c_.ReferenceZoom(), 0);

    // The sub tool bar item shows and hides the pane's tool bar.
    const bool shown = c_.Window().subToolBarVisible;
    Item("MenuSubToolBar")->trigger();
    EXPECT_EQ(form_->Reference()->ToolSub()->isVisibleTo(form_.get()), !shown);
    EXPECT_EQ(seam_.BoxCount(), 0u);
}

TEST_F(FormMainBoxes, CancelledExportToReferenceSaysNothingAndKeepsTheList)
{
    seam_.QueueFileChoice({WritePicture("first.bmp", 40, 30, SColor(0, 0, 255, 0))});
    Item("MenuAppendReference")->trigger();
    ASSERT_EQ(c_.ReferenceList().Count(), 1);
    seam_.QueueFileCancel();
    Item("MenuExportToReference")->trigger();
    EXPECT_EQ(seam_.BoxCount(), 0u);
    EXPECT_EQ(c_.ReferenceList().Count(), 1);
    EXPECT_FALSE(c_.ReferenceImage().IsEmpty());
}

TEST_F(FormMainBoxes, ColourPickedInThePaneReachesThePaletteBox)
{
    seam_.QueueFileChoice({WritePicture("first.bmp", 40, 30, SColor(30, 60, 90, 0))});
    Item("MenuAppendReference")->trigger();
    Item("MenuPaletteBox")->trigger();
    QWidget* paint = form_->Reference()->PaintReference();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), paint->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(paint, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), paint->mapToGlobal(QPointF(5, 5)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(paint, &release);
    EXPECT_EQ(c_.Tools().currentColour, SColor(30, 60, 90, 0));
    auto* red = form_->Palette()->findChild<QSpinBox*>("SpinRed");
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(red->value(), 30);
}

TEST_F(FormMainBoxes, ColourModeKeysRedrawThePaletteBoxCentre)
{
    form_->show();
    Item("MenuPaletteBox")->trigger();
    QWidget* hue = form_->Palette()->findChild<QWidget*>("PaintHue");
    ASSERT_NE(hue, nullptr);
    const QImage colourMode = hue->grab().toImage();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier);
    QApplication::sendEvent(form_.get(), &press);
    EXPECT_EQ(c_.Tools().colourMode, SColourMode::Eraser);
    EXPECT_NE(hue->grab().toImage(), colourMode);
    QKeyEvent back(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier);
    QApplication::sendEvent(form_.get(), &back);
    EXPECT_EQ(hue->grab().toImage(), colourMode);
}

}  // namespace
