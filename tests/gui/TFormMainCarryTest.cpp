// The colour carry in the main window: its Edit menu items, the carry from the previous cel with its
// counts in the status bar and its marks on the canvas, the steps through the regions it left, and
// failures in the error box.
#include "FormMainFixture.h"

#include "../app/CarryCels.h"
#include "ControllerEdits.h"
#include "SHuedraneController.h"
#include "TCanvas.h"
#include "TStatusBar.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <set>

using namespace ulib;
using namespace carry_cels;

namespace {

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

class FormMainCarry : public FormMainFixture
{
protected:
    // c001 painted, c002 to paint, opened through the Open item.
    void OpenTarget()
    {
        Save(Source(), Path("c001.hdq").Str());
        Save(Target(), Path("c002.hdq").Str());
        seam_.QueueFileChoice({Path("c002.hdq").Str()});
        Item("MenuOpen")->trigger();
        ASSERT_EQ(c_.Path(), Path("c002.hdq"));
    }
    // The canvas pixels inside a document rectangle (at actual size) that show the marks' magenta.
    int MarkedPixels(const SRect& document) const
    {
        const QImage shot = form_->Canvas()->PaintMain()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int marked = 0;
        for (int y = document.top; y < document.bottom; ++y)
            for (int x = document.left; x < document.right; ++x)
                marked += (shot.pixel(x, y) | 0xFF000000u) == 0xFFFF00FFu;
        return marked;
    }
    QString StatusMessage() const { return form_->StatusPanels()->currentMessage(); }
};

// The first new box, as the target shows it.
SRect LeftBox()
{
    return NewBoxes[0].Offset(Shift.x, Shift.y).Deflate(2, 2);
}

TEST_F(FormMainCarry, EditItemsHaveCaptionsFreeKeysAndHintsAndNeedACel)
{
    struct Row { const char* name; const char* caption; const char* shortcut; const char* hint; };
    const Row rows[] = {
        {"MenuCarryPrevious", "前のセルから色を写す(&C)", "Ctrl+Shift+V", "同じフォルダの前のセルの色を、現在の画像に写します。"},
        {"MenuCarryFrom", "色を写すセルを選ぶ(&S)...", "", "選んだセルの色を、現在の画像に写します。"},
        {"MenuNextLeftRegion", "次の塗り残しへ(&L)", "Ctrl+L", "色を写せずに残した次の領域を表示します。"},
    };
    const QList<QAction*> edit = form_->Menu("MenuEditMain")->actions();
    for (const Row& row : rows) {
        QAction* action = Item(row.name);
        ASSERT_NE(action, nullptr);
        EXPECT_TRUE(edit.contains(action)) << row.name;
        EXPECT_EQ(action->text(), Text(row.caption)) << row.name;
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(row.shortcut))) << row.name;
        EXPECT_EQ(action->statusTip(), Text(row.hint)) << row.name;
    }
    // No key is taken twice in the whole window.
    std::set<QString> keys;
    for (QAction* action : form_->findChildren<QAction*>())
        if (!action->shortcut().isEmpty()) {
            EXPECT_TRUE(keys.insert(action->shortcut().toString()).second) << action->shortcut().toString().toStdString();
        }

    OpenMenu("MenuEditMain");
    for (const Row& row : rows)
        EXPECT_FALSE(Item(row.name)->isEnabled()) << row.name;
    OpenTarget();
    EXPECT_TRUE(Item("MenuCarryPrevious")->isEnabled());
    EXPECT_TRUE(Item("MenuCarryFrom")->isEnabled());
    EXPECT_FALSE(Item("MenuNextLeftRegion")->isEnabled());
}

TEST_F(FormMainCarry, CarryFromThePreviousCelPaintsCountsAndMarksWhatItLeftUntilUndo)
{
    OpenTarget();
    EXPECT_EQ(MarkedPixels(LeftBox()), 0);

    Item("MenuCarryPrevious")->trigger();
    EXPECT_TRUE(seam_.Boxes().empty());
    for (std::size_t i = 0; i < Boxes().size(); ++i)
        EXPECT_EQ(c_.Cel().paint.Row32(InsideBox(i).y)[InsideBox(i).x], Boxes()[i].colour) << i;
    EXPECT_EQ(StatusMessage(), Text("色を写しました: 7 領域を塗り、2 領域を残しました"));
    EXPECT_EQ(Item("MenuUndo")->text(), Text("色を写すを元に戻す(&U)"));
    EXPECT_TRUE(Item("MenuNextLeftRegion")->isEnabled());
    // The left region is hatched; a painted one is not.
    EXPECT_GT(MarkedPixels(LeftBox()), LeftBox().Width() * LeftBox().Height() / 20);
    const SRect green = Boxes()[1].rect.Offset(Shift.x, Shift.y).Deflate(2, 2);
    EXPECT_EQ(MarkedPixels(green), 0);

    Item("MenuUndo")->trigger();
    EXPECT_EQ(MarkedPixels(LeftBox()), 0);
    EXPECT_FALSE(Item("MenuNextLeftRegion")->isEnabled());
}

TEST_F(FormMainCarry, NextLeftRegionCentresTheViewOnEachInTurnAndAClickDropsTheMarks)
{
    form_->resize(800, 600);
    form_->show();
    QApplication::processEvents();
    OpenTarget();
    Item("MenuCarryPrevious")->trigger();
    TCanvas* canvas = form_->Canvas();
    canvas->ZoomAt(4, {0, 0});

    for (std::size_t step = 0; step < 3; ++step) {
        Item("MenuNextLeftRegion")->trigger();
        const std::size_t index = step % NewBoxes.size();
        EXPECT_EQ(c_.CurrentLeftRegion(), std::int32_t(index));
        EXPECT_EQ(StatusMessage(), Text(index == 0 ? "塗り残し 1 / 2" : "塗り残し 2 / 2"));
        const SRect& bounds = c_.LeftRegions()[index].bounds;
        const QPoint centre = canvas->ToCanvas({(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2});
        const QPoint middle(canvas->horizontalScrollBar()->value() + canvas->viewport()->width() / 2,
                            canvas->verticalScrollBar()->value() + canvas->viewport()->height() / 2);
        EXPECT_LE((centre - middle).manhattanLength(), 2) << step;
    }

    // A click of the paint tool is an edit: the marks go, and the whole canvas is redrawn without them.
    EditWindow(c_, [](SMainWindowState& w) { w.toolMode = ToolPaint; });
    QWidget* paint = canvas->PaintMain();
    const QPoint at = canvas->ToCanvas(InsideBox(1));
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(at), QPointF(paint->mapToGlobal(at)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(paint, &event);
    }
    EXPECT_TRUE(c_.LeftRegions().empty());
    EXPECT_EQ(canvas->LastRepaintRect(), paint->rect());
    EXPECT_FALSE(Item("MenuNextLeftRegion")->isEnabled());
    form_->hide();
}

TEST_F(FormMainCarry, FailuresShowTheErrorAndLeaveTheCel)
{
    OpenTarget();
    // The first cel of the folder has none before it.
    seam_.QueueFileChoice({Path("c001.hdq").Str()});
    Item("MenuOpen")->trigger();
    const std::uint32_t before = c_.Cel().paint.Row32(InsideBox(0).y)[InsideBox(0).x];
    Item("MenuCarryPrevious")->trigger();
    ASSERT_EQ(seam_.Boxes().size(), 1u);
    EXPECT_EQ(seam_.LastBox().text, ErrorText(ErrorFromIdentifier("carry_no_previous")));
    EXPECT_EQ(c_.Cel().paint.Row32(InsideBox(0).y)[InsideBox(0).x], before);
    EXPECT_FALSE(Item("MenuUndo")->isEnabled());
    EXPECT_TRUE(StatusMessage().isEmpty());

    // A source of another size, chosen in the dialog.
    Save(Drawing({0, 0}, true, {}, Width, Height + 4), Path("tall.hdq").Str());
    seam_.QueueFileChoice({Path("tall.hdq").Str()});
    Item("MenuCarryFrom")->trigger();
    ASSERT_EQ(seam_.Boxes().size(), 2u);
    EXPECT_EQ(seam_.LastBox().text, ErrorText(ErrorFromIdentifier("carry_size")));
    EXPECT_FALSE(Item("MenuUndo")->isEnabled());
    EXPECT_EQ(c_.State(), SDocumentState::Saved);
}

}  // namespace
