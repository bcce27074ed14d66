// The status panels' texts and their click actions.
#include "SHuedraneController.h"
#include "TStatusBar.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include <utility>

#include <gtest/gtest.h>

using namespace ulib;

namespace {

struct StatusBarFixture : ::testing::Test
{
    SHuedraneController controller;
    SHeldKeys keys;
    TStatusBar bar{controller, keys};
    int colourSignals = 0;

    StatusBarFixture()
    {
        bar.resize(600, 22);
        QObject::connect(&bar, &TStatusBar::ColourChanged, [this] { ++colourSignals; });
    }

    // Clicks panel `index` at `offset` pixels from its left edge.
    void Click(int index, int offset = 5)
    {
        const QPoint at(bar.PanelRect(index).left() + offset, 10);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(bar.mapToGlobal(at)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&bar, &press);
    }
};

}  // namespace

TEST_F(StatusBarFixture, PanelsSitSideBySideAtTheirWidths)
{
    EXPECT_EQ(bar.PanelRect(0), QRect(0, 0, 128, 22));
    EXPECT_EQ(bar.PanelRect(1), QRect(128, 0, 264, 22));
    for (int i = 1; i < TStatusBar::PanelCount; ++i)
        EXPECT_EQ(bar.PanelRect(i).left(), bar.PanelRect(i - 1).right() + 1) << i;
    EXPECT_EQ(bar.PanelRect(4).width(), 50);
    // The position panel holds the largest coordinates whole, after its 4-pixel inset.
    bar.SetPosition({65534, 65534}, true);
    EXPECT_GT(bar.PanelRect(2).width() - 4, bar.fontMetrics().horizontalAdvance(bar.PanelText(2)));
}

TEST_F(StatusBarFixture, ShowsColourPositionAndZoomTexts)
{
    controller.SetCurrentColour(SColor(255, 192, 128));
    EXPECT_EQ(bar.PanelText(0), "(255,192,128)");
    controller.SetCurrentColour(SColor(1, 2, 3, 127));
    EXPECT_EQ(bar.PanelText(0), "(1,2,3) 128");  // a colour that is not opaque adds its alpha

    EXPECT_EQ(bar.PanelText(2), "");
    bar.SetPosition({12, 340}, true);
    EXPECT_EQ(bar.PanelText(2), "(12,340)");
    bar.SetPosition({-3, 340}, false);
    EXPECT_EQ(bar.PanelText(2), "");

    controller.SetZoom(-4);
    EXPECT_EQ(bar.PanelText(3), "6%");
    controller.SetZoom(4);
    EXPECT_EQ(bar.PanelText(3), "1600%");
    controller.SetZoom(0);
    EXPECT_EQ(bar.PanelText(3), "100%");
}

TEST_F(StatusBarFixture, ColourModePanelCyclesColourEraserBitmap)
{
    Click(0);
    EXPECT_EQ(controller.Tools().colourMode, SColourMode::Eraser);
    EXPECT_EQ(bar.PanelText(0), "消しゴム");
    Click(0);
    EXPECT_EQ(controller.Tools().colourMode, SColourMode::Bitmap);
    EXPECT_EQ(bar.PanelText(0), "ビットマップ");
    Click(0);
    EXPECT_EQ(controller.Tools().colourMode, SColourMode::Colour);
    EXPECT_EQ(colourSignals, 3);
    // Clicks elsewhere than panels 0, 1 and 4 change nothing.
    Click(2);
    Click(3);
    EXPECT_EQ(controller.Tools().colourMode, SColourMode::Colour);
    EXPECT_EQ(colourSignals, 3);
}

TEST_F(StatusBarFixture, QuickPaletteClickTakesOrStoresTheEntry)
{
    for (int k = 0; k < 16; ++k)
        controller.SetQuickColour(k, SColor(std::uint8_t(k * 10), 0, 0));
    controller.SetCurrentColour(SColor(7, 8, 9));

    // Space with colour mode: the current colour goes into entry 5 (offset 85 / 16).
    keys.space = true;
    Click(1, 85);
    EXPECT_EQ(controller.QuickPalette()[5], SColor(7, 8, 9));
    EXPECT_EQ(controller.Tools().currentColour, SColor(7, 8, 9));

    // Without Space the entry becomes the current colour, and the mode becomes colour.
    keys.space = false;
    controller.SetColourMode(SColourMode::Eraser);
    Click(1, 3 * 16 + 15);
    EXPECT_EQ(controller.Tools().currentColour, SColor(30, 0, 0));
    EXPECT_EQ(controller.Tools().colourMode, SColourMode::Colour);

    // Space in eraser mode takes the entry as well, storing nothing.
    keys.space = true;
    controller.SetColourMode(SColourMode::Eraser);
    Click(1, 0);
    EXPECT_EQ(controller.Tools().currentColour, SColor(0, 0, 0));
    EXPECT_EQ(controller.QuickPalette()[0], SColor(0, 0, 0));
    EXPECT_EQ(colourSignals, 3);

    // Past the sixteenth entry nothing happens.
    Click(1, 16 * 16 + 2);
    EXPECT_EQ(colourSignals, 3);
}

TEST_F(StatusBarFixture, PenPanelCyclesAndDrawsCurrentPenRed)
{
    int pens = 0;
    QObject::connect(&bar, &TStatusBar::PenChanged, [&] { ++pens; });
    controller.SetTracePen(2);
    Click(4);
    EXPECT_EQ(controller.Tools().tracePen, 3);
    Click(4);
    EXPECT_EQ(controller.Tools().tracePen, 4);
    Click(4);
    EXPECT_EQ(controller.Tools().tracePen, 0);
    EXPECT_EQ(pens, 3);

    const QImage shot = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect pen = bar.PanelRect(4);
    EXPECT_EQ(shot.pixel(pen.left() + 7, pen.bottom() - 4), 0xFFFF0000u);      // bar 0: the pen
    EXPECT_EQ(shot.pixel(pen.left() + 7, pen.bottom() - 4 - 3), 0xFF00A000u);  // bar 1: above it
}

TEST_F(StatusBarFixture, ColourPanelDrawsTheSwatchAlsoWhileAHintIsShown)
{
    bar.resize(900, 24);
    controller.SetCurrentColour(SColor(20, 40, 200));
    const QImage shot = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.pixel(5, 10), 0xFF1428C8u);
    // A hint is written after the panels and leaves them in view; the place is blank again after it.
    const auto inkInMessagePlace = [this] {
        const QImage grabbed = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect place = bar.MessageRect();
        int ink = 0;
        for (int y = place.top(); y <= place.bottom(); ++y)
            for (int x = place.left(); x <= place.right(); ++x)
                ink += qGray(grabbed.pixel(x, y)) < 128;
        return std::pair(grabbed.pixel(5, 10), ink);
    };
    ASSERT_GT(bar.MessageRect().width(), 200);
    EXPECT_EQ(inkInMessagePlace().second, 0);
    bar.showMessage(QStringLiteral("hint"));
    EXPECT_EQ(inkInMessagePlace().first, 0xFF1428C8u);
    EXPECT_GT(inkInMessagePlace().second, 0);
    bar.clearMessage();
    EXPECT_EQ(inkInMessagePlace().second, 0);
    EXPECT_EQ(shot.pixel(128 + 2 + 16 * 3 + 4, 10), 0xFF000000u | controller.QuickPalette()[3].r << 16 |
                                                        controller.QuickPalette()[3].g << 8 | controller.QuickPalette()[3].b);
}
