// The palette box driven offscreen: ramps, bars and the ring through mouse events, the spin edits,
// the colour-mode swatch and its cycling, markers drawn and erased, and Update from outside.
#include "SHsv.h"
#include "SHuedraneController.h"
#include "SMainWindowRules.h"
#include "SPaletteDrawing.h"
#include "TFormPalette.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <vector>

using namespace ulib;

namespace {

constexpr QRgb White = 0xFFFFFFFFu;

QRgb Opaque(SColor colour)
{
    return qRgb(colour.r, colour.g, colour.b);
}

struct PaletteFixture : ::testing::Test
{
    SHuedraneController controller;
    TFormPalette form{controller, nullptr};
    std::vector<std::uint32_t> refreshes;

    PaletteFixture()
    {
        QObject::connect(&form, &TFormPalette::MainRefresh, [this](std::uint32_t parts) { refreshes.push_back(parts); });
    }

    QWidget* Box(const char* name) { return form.findChild<QWidget*>(name); }
    QSpinBox* Spin(const char* name) { return form.findChild<QSpinBox*>(name); }

    void Press(const char* name, int x, int y)
    {
        QWidget* box = Box(name);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, y), QPointF(box->mapToGlobal(QPoint(x, y))),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &press);
    }
    void Move(const char* name, int x, int y, Qt::MouseButtons buttons = Qt::LeftButton)
    {
        QWidget* box = Box(name);
        QMouseEvent move(QEvent::MouseMove, QPointF(x, y), QPointF(box->mapToGlobal(QPoint(x, y))), Qt::NoButton,
                         buttons, Qt::NoModifier);
        QApplication::sendEvent(box, &move);
    }
    QRgb Pixel(const char* name, int x, int y)
    {
        return Box(name)->grab().toImage().pixel(x, y) | 0xFF000000u;
    }
    void SetColour(SColor colour)
    {
        controller.SetCurrentColour(colour);
        form.Update();
    }
    const SColor& Colour() const { return controller.Tools().currentColour; }
};

}  // namespace

TEST_F(PaletteFixture, ControlsCarryTheirNamesTagsAndRanges)
{
    const char* names[] = {"PaintHue", "PaintSatulation", "PaintValue", "PaintRed", "PaintGreen", "PaintBlue", "PaintAlpha"};
    for (int tag = 0; tag < 7; ++tag) {
        ASSERT_NE(Box(names[tag]), nullptr) << names[tag];
        EXPECT_EQ(Box(names[tag])->property("tag").toInt(), tag);
    }
    EXPECT_EQ(Box("PaintHue")->size(), QSize(132, 132));
    EXPECT_EQ(Box("PaintSatulation")->size(), QSize(17, 128));
    EXPECT_EQ(Box("PaintAlpha")->size(), QSize(128, 17));
    EXPECT_EQ(Box("PaintSatulation")->parentWidget()->objectName(), "PanelSatulation");
    EXPECT_EQ(Box("PaintValue")->parentWidget()->objectName(), "PanelValue");
    EXPECT_EQ(Box("PaintRed")->parentWidget()->objectName(), "PanelRed");
    EXPECT_EQ(Spin("SpinRed")->maximum(), 255);
    EXPECT_EQ(Spin("SpinRed")->minimum(), 0);
    EXPECT_EQ(Spin("SpinAlpha")->minimum(), 1);
    EXPECT_EQ(Spin("SpinAlpha")->value(), 255);
    EXPECT_EQ(Spin("SpinBlue")->property("tag").toInt(), 5);
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("カラーパレット"));
}

TEST_F(PaletteFixture, AlphaRampEndsAtAlphaOneNeverZero)
{
    SetColour(SColor(10, 20, 30));
    Press("PaintAlpha", 127, 8);
    EXPECT_EQ(Colour(), SColor(10, 20, 30, 254));
    Move("PaintAlpha", 300, 8);  // dragged past the end: level 0 would be fully transparent
    EXPECT_EQ(Colour().t, 254);
    EXPECT_EQ(Spin("SpinAlpha")->value(), 1);
    Move("PaintAlpha", 0, 8);
    EXPECT_EQ(Colour().t, 0);
    // A move without the primary button held changes nothing.
    Move("PaintAlpha", 64, 8, Qt::NoButton);
    EXPECT_EQ(Colour().t, 0);
    EXPECT_EQ(Spin("SpinAlpha")->value(), 255);
}

TEST_F(PaletteFixture, GreyByRampKeepsTheHueButGreyBySpinResetsIt)
{
    SetColour(SColor(101, 200, 101));
    EXPECT_EQ(form.Hue(), 120);
    Press("PaintGreen", 77, 8);  // level 255 - 154 = 101
    EXPECT_EQ(Colour(), SColor(101, 101, 101));
    EXPECT_EQ(form.Hue(), 120);
    EXPECT_EQ(form.Saturation(), 0);
    EXPECT_EQ(form.Value(), 101);
    EXPECT_EQ(Spin("SpinGreen")->value(), 101);
    // The saturation bar shows the kept hue: its top strip is full green at value 101.
    EXPECT_EQ(Pixel("PaintSatulation", 3, 4), Opaque(HsvToColour(120, 255 - 4 * 2, 255, 101)));

    SetColour(SColor(101, 200, 101));
    Spin("SpinGreen")->setValue(101);
    EXPECT_EQ(Colour(), SColor(101, 101, 101));
    EXPECT_EQ(form.Hue(), 0);
}

TEST_F(PaletteFixture, CentreClickCyclesTheColourMode)
{
    Press("PaintHue", 64, 64);
    EXPECT_EQ(controller.Tools().colourMode, SColourMode::Eraser);
    Press("PaintHue", 70, 50);
    EXPECT_EQ(controller.Tools().colourMode, SColourMode::Bitmap);
    Press("PaintHue", 64, 64);
    EXPECT_EQ(controller.Tools().colourMode, SColourMode::Colour);
    controller.SetColourMode(SColourMode::Texture);
    Press("PaintHue", 64, 64);
    EXPECT_EQ(controller.Tools().colourMode, SColourMode::Colour);
    ASSERT_EQ(refreshes.size(), 4u);
    for (std::uint32_t parts : refreshes)
        EXPECT_EQ(parts, main_refresh::StatusBar | main_refresh::ToolMenu);
}

TEST_F(PaletteFixture, RingClicksPickTheHueAtTheirAngle)
{
    SetColour(SColor(255, 0, 0, 55));
    struct Case { int x, y, hue; };
    // The angle is a single-precision float: straight up comes out a hair short of 90 degrees.
    for (const Case c : {Case{0, 63, 0}, Case{63, 0, 89}, Case{126, 63, 180}, Case{63, 126, 270}}) {
        Press("PaintHue", c.x, c.y);
        EXPECT_EQ(form.Hue(), c.hue) << c.x << "," << c.y;
        EXPECT_EQ(Colour(), HsvToColour(c.hue, 255, 200, 255));
    }
    EXPECT_EQ(Colour(), SColor(127, 0, 255, 55));
    // The ring edit sets all four spins and recolours the bars.
    EXPECT_EQ(Spin("SpinRed")->value(), 127);
    EXPECT_EQ(Spin("SpinAlpha")->value(), 200);
    EXPECT_EQ(Pixel("PaintValue", 8, 3), Opaque(HsvToColour(270, 255, 255, 255 - 2 * 256 / 128)));
}

TEST_F(PaletteFixture, MarkersAreWhiteInColourModeAndErasedOutsideIt)
{
    SetColour(SColor(255, 128, 0));  // hue 30, saturation 255, value 255
    // Ring marker at 210 degrees from radius 53: (int(64 - 45.9), int(64 - 26.5)).
    EXPECT_EQ(Pixel("PaintHue", 18, 37), White);
    EXPECT_EQ(Pixel("PaintSatulation", 8, 0), White);
    EXPECT_EQ(Pixel("PaintValue", 16, 0), White);
    EXPECT_EQ(Pixel("PaintRed", 0, 8), White);
    EXPECT_EQ(Pixel("PaintGreen", 64, 0), White);  // 128 - 128 * 128 / 255
    EXPECT_NE(Pixel("PaintGreen", 66, 8), White);
    EXPECT_EQ(Pixel("PaintBlue", 127, 16), White);
    EXPECT_EQ(Pixel("PaintAlpha", 0, 8), White);

    Press("PaintHue", 64, 64);  // eraser mode: no markers
    EXPECT_NE(Pixel("PaintHue", 18, 37), White);
    EXPECT_EQ(Pixel("PaintGreen", 64, 8), qRgb(0, 127, 0));
    EXPECT_EQ(Pixel("PaintSatulation", 8, 0), Opaque(HsvToColour(30, 255, 255, 255)));

    Press("PaintHue", 64, 64);
    Press("PaintHue", 64, 64);  // back to colour mode: all markers again
    EXPECT_EQ(Pixel("PaintHue", 18, 37), White);
    EXPECT_EQ(Pixel("PaintGreen", 64, 8), White);

    // A moved marker leaves the ramp as it was under the old place.
    Spin("SpinGreen")->setValue(255);
    EXPECT_EQ(Pixel("PaintGreen", 0, 8), White);
    EXPECT_EQ(Pixel("PaintGreen", 64, 8), qRgb(0, 127, 0));
}

TEST_F(PaletteFixture, DraggingInAnotherModeSwitchesToColourMode)
{
    controller.SetColourMode(SColourMode::Bitmap);
    SetColour(SColor(0, 0, 0));
    EXPECT_NE(Pixel("PaintRed", 127, 8), White);
    Press("PaintRed", 0, 8);
    EXPECT_EQ(controller.Tools().colourMode, SColourMode::Colour);
    EXPECT_EQ(Colour(), SColor(255, 0, 0));
    ASSERT_EQ(refreshes.size(), 1u);
    EXPECT_EQ(refreshes[0], main_refresh::StatusBar | main_refresh::ToolMenu);
    // Every marker came back, not only the edited one.
    EXPECT_EQ(Pixel("PaintRed", 0, 8), White);
    EXPECT_EQ(Pixel("PaintBlue", 127, 8), White);

    Move("PaintRed", 2, 8);
    ASSERT_EQ(refreshes.size(), 2u);
    EXPECT_EQ(refreshes[1], main_refresh::StatusBar);
    EXPECT_EQ(Colour(), SColor(251, 0, 0));
}

TEST_F(PaletteFixture, SwatchShowsTheColourOrTheModeBitmap)
{
    SetColour(SColor(10, 200, 30));
    EXPECT_EQ(Pixel("PaintHue", 64, 64), qRgb(10, 200, 30));
    EXPECT_EQ(Pixel("PaintHue", 48, 79), White);  // a corner outside the splash
    Spin("SpinBlue")->setValue(99);
    EXPECT_EQ(Pixel("PaintHue", 64, 64), qRgb(10, 200, 99));

    controller.SetCurrentColour(SColor(10, 200, 99, 255));  // fully transparent: the eraser instead
    form.Update();
    EXPECT_NE(Pixel("PaintHue", 64, 64), qRgb(10, 200, 99));
    const QImage transparent = Box("PaintHue")->grab().toImage().copy(48, 48, 32, 32);

    controller.SetColourMode(SColourMode::Eraser);
    form.Update();
    EXPECT_EQ(Box("PaintHue")->grab().toImage().copy(48, 48, 32, 32), transparent);
    controller.SetColourMode(SColourMode::Bitmap);
    form.Update();
    EXPECT_NE(Box("PaintHue")->grab().toImage().copy(48, 48, 32, 32), transparent);
    controller.SetColourMode(SColourMode::Texture);
    form.Update();
    const QImage blank = Box("PaintHue")->grab().toImage().copy(48, 48, 32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(blank.pixel(x, y) | 0xFF000000u, White);
}

TEST_F(PaletteFixture, UpdateShowsAColourSetElsewhereWithoutChangingIt)
{
    SetColour(SColor(1, 2, 3, 55));
    EXPECT_EQ(Spin("SpinRed")->value(), 1);
    EXPECT_EQ(Spin("SpinGreen")->value(), 2);
    EXPECT_EQ(Spin("SpinBlue")->value(), 3);
    EXPECT_EQ(Spin("SpinAlpha")->value(), 200);
    EXPECT_EQ(Colour(), SColor(1, 2, 3, 55));
    EXPECT_TRUE(refreshes.empty());

    // The hue stays through a grey, the mode and a fully transparent colour stay as they are.
    SetColour(SColor(0, 200, 0));
    controller.SetColourMode(SColourMode::Eraser);
    SetColour(SColor(70, 70, 70, 255));
    EXPECT_EQ(Colour(), SColor(70, 70, 70, 255));
    EXPECT_EQ(controller.Tools().colourMode, SColourMode::Eraser);
    EXPECT_EQ(form.Hue(), 120);
    EXPECT_EQ(Spin("SpinRed")->value(), 70);
    EXPECT_EQ(Spin("SpinAlpha")->value(), 1);
    EXPECT_TRUE(refreshes.empty());

    // Showing the box reads the colour too.
    controller.SetCurrentColour(SColor(9, 8, 7));
    form.show();
    EXPECT_EQ(Spin("SpinRed")->value(), 9);
    form.hide();
}

TEST_F(PaletteFixture, SpinEditsWriteTheirChannelAndRefresh)
{
    SetColour(SColor(0, 0, 0));
    controller.SetColourMode(SColourMode::Eraser);
    Spin("SpinAlpha")->setValue(100);
    EXPECT_EQ(Colour(), SColor(0, 0, 0, 155));
    EXPECT_EQ(controller.Tools().colourMode, SColourMode::Colour);
    Spin("SpinRed")->setValue(240);
    EXPECT_EQ(Colour(), SColor(240, 0, 0, 155));
    EXPECT_EQ(form.Saturation(), 255);
    EXPECT_EQ(form.Value(), 240);
    ASSERT_EQ(refreshes.size(), 2u);
    EXPECT_EQ(refreshes[0], main_refresh::StatusBar | main_refresh::ToolMenu);
    EXPECT_EQ(refreshes[1], main_refresh::StatusBar);
}

TEST(PaletteDrawing, LevelsMarkersAndRingGeometry)
{
    using namespace palette;
    EXPECT_EQ(LevelAt(BoxSaturation, 99, 0), 255);
    EXPECT_EQ(LevelAt(BoxSaturation, 0, 127), 1);
    EXPECT_EQ(LevelAt(BoxValue, 0, -5), 255);
    EXPECT_EQ(LevelAt(BoxRed, 128, 0), 0);
    EXPECT_EQ(MarkerPosition(255), 0);
    EXPECT_EQ(MarkerPosition(0), 127);
    EXPECT_EQ(MarkerPosition(1), 127);
    EXPECT_EQ(MarkerPosition(128), 64);
    EXPECT_TRUE(InCentre(64, 25));
    EXPECT_FALSE(InCentre(64, 24));
    EXPECT_EQ(HueAt(63, 63), 180);
    EXPECT_EQ(RingPixel(0, 63).part, SRingPart::Highlight);  // e = 3969
    EXPECT_EQ(RingPixel(1, 63).part, SRingPart::Ring);
    EXPECT_EQ(RingPixel(1, 63).hue, 0);
    EXPECT_EQ(RingPixel(63, 1).hue, 90);
    EXPECT_EQ(RingPixel(125, 63).hue, 180);
    EXPECT_EQ(RingPixel(63, 125).hue, 270);
    EXPECT_EQ(RingPixel(63, 12).part, SRingPart::Shadow);  // e = 2601
    EXPECT_EQ(RingPixel(63, 15).part, SRingPart::Nothing);    // e = 2304
    EXPECT_EQ(RingPixel(63, 16).part, SRingPart::Highlight);  // e = 2209
    EXPECT_EQ(RingPixel(64, 64).part, SRingPart::Nothing);
    const std::vector<SPixel> ring = MarkerPixels(BoxHue, 0);  // theta 180 degrees: leftwards
    EXPECT_EQ(ring.front(), (SPixel{11, 64}));
    EXPECT_EQ(ring.back(), (SPixel{1, 64}));
    EXPECT_EQ(ring.size(), 11u);
}
