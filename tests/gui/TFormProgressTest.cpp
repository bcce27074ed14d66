// The progress box on its own: its timer moves the gauge, its button aborts, it cannot be closed.
#include "TFormProgress.h"

#include "SAbort.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

TEST(TFormProgress, StaysOnTopWithItsCaptionAndTimer)
{
    TFormProgress box;
    EXPECT_EQ(box.windowTitle(), QString("Huedrane"));
    EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(box.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(box.TimerMain->interval(), 200);
    EXPECT_FALSE(box.TimerMain->isActive());

    box.show();
    EXPECT_TRUE(box.TimerMain->isActive());
    // Escape or the window manager's close must not hide it while a conversion runs.
    box.reject();
    EXPECT_TRUE(box.isVisible());
    box.hide();
    EXPECT_FALSE(box.TimerMain->isActive());
}

TEST(TFormProgress, GaugeFollowsTheAttachedAbortThroughBatchRanges)
{
    TFormProgress box;
    ulib::SAbort progress;
    box.show();
    box.Attach(&progress);
    EXPECT_EQ(box.GaugeMain->value(), 0);

    // The second file of three, halfway through.
    progress.PushRange(33, 66, 0, 100);
    progress.SetPosition(50);
    QEventLoop wait;
    QTimer::singleShot(250, &wait, &QEventLoop::quit);
    wait.exec();
    EXPECT_EQ(box.GaugeMain->value(), 49);

    // Shown again for the next conversion: the gauge starts from nothing.
    box.hide();
    box.Attach(nullptr);
    box.show();
    EXPECT_EQ(box.GaugeMain->value(), 0);
    box.hide();
}

TEST(TFormProgress, AbortButtonRaisesTheFlagOnlyWhenAttached)
{
    TFormProgress box;
    box.ButtonAbort->click();  // nothing attached: nothing to do

    ulib::SAbort progress;
    box.Attach(&progress);
    EXPECT_FALSE(progress.IsAborted());
    box.ButtonAbort->click();
    EXPECT_TRUE(progress.IsAborted());

    box.SetMessage("エクスポート処理中です", "picture.bmp");
    EXPECT_EQ(box.LabelMain->text(), QString("エクスポート処理中です"));
    EXPECT_EQ(box.LabelFileName->text(), QString("picture.bmp"));
}
