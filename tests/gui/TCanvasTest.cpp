// The canvas drawn and driven offscreen: tile pixels at the zoom extremes, the checkerboard and
// blending, silhouette, tools through mouse events, hand scrolling and zoom anchoring.
#include "SCanvasTile.h"
#include "ControllerEdits.h"
#include "SHuedraneController.h"
#include "SMainWindowRules.h"
#include "TCanvas.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QScrollBar>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

using namespace ulib;

namespace {

constexpr std::uint32_t Light = 0xFFFFFFFFu;
constexpr std::uint32_t Dark = 0xFFE0E0E0u;

// A display buffer whose opaque pixels tell their own position: red x, green y, blue x / 256 + 16 y / 256.
SBitmap PositionDisplay(std::int32_t width, std::int32_t height)
{
    SBitmap display;
    display.Create(width, height, 32);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            display.Row32(y)[x] = 0xFF000000u | std::uint32_t(x % 256) << 16 | std::uint32_t(y % 256) << 8 |
                                  std::uint32_t(x / 256 + 16 * (y / 256));
    return display;
}

// An imported-looking cel: nothing traced, nothing painted, no genga.
void MakeBlankCel(SHuedraneController& c, std::int32_t width, std::int32_t height)
{
    SCel& cel = c.PaintContext().cel;
    cel.display.Create(width, height, 32);
    cel.paint.Create(width, height, 32);
    for (std::int32_t y = 0; y < height; ++y)
        std::fill_n(cel.paint.Row32(y), width, cel_values::Unpainted);
    cel.trace.Create(width, height, 32);
    cel.flag.Create(width, height, 8);
    cel.extra.Create(0, 0, 32);
    cel.visible[LayerGenga] = false;
    c.PaintContext().undo.Clear();
    c.PaintContext().undo.SetDocumentSize(width, height);
    cel.ComposeAll();
}

QImage Grab(TCanvas& canvas)
{
    return canvas.PaintMain()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

std::uint32_t At(const QImage& image, int x, int y)
{
    return image.pixel(x, y) | 0xFF000000u;
}

void Send(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void Click(QWidget* widget, QPoint at)
{
    Send(widget, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    Send(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

struct CanvasFixture : ::testing::Test
{
    SHuedraneController controller;
    SHeldKeys keys;
};

}  // namespace

TEST(CanvasZoom, ConvertsBothWaysWithArithmeticShiftsAndNamesEveryStep)
{
    EXPECT_EQ(canvas::ToDocument(5, 1), 2);
    EXPECT_EQ(canvas::ToDocument(5, -1), 10);
    EXPECT_EQ(canvas::ToDocument(-3, 1), -2);  // left of the canvas stays outside the document
    EXPECT_EQ(canvas::ToScreen(1600, -4), 100);
    EXPECT_EQ(canvas::ToScreen(3, 4), 48);
    const char* texts[] = {"6%", "12%", "25%", "50%", "100%", "200%", "400%", "800%", "1600%"};
    for (int z = -4; z <= 4; ++z)
        EXPECT_STREQ(canvas::ZoomText(z), texts[z + 4]);
    // A zoomed-out change of one document pixel still repaints the screen pixel that shows it
    // (screen pixel 1 shows document pixel 16; shifting the right edge down would give nothing).
    EXPECT_EQ(canvas::DocumentToScreenRect({16, 16, 17, 17}, -4), (SRect{1, 1, 2, 2}));
    EXPECT_EQ(canvas::ScreenToDocumentRect({0, 0, 10, 10}, 1, {100, 100}), (SRect{0, 0, 6, 6}));
    EXPECT_EQ(canvas::ScreenToDocumentRect({0, 0, 10, 10}, -2, {30, 100}), (SRect{0, 0, 30, 41}));
}

TEST(CanvasZoom, ZoomingKeepsTheAnchorAtItsPlaceInTheViewAndDraggingFollowsThePointer)
{
    for (std::int32_t from = canvas::MinZoom; from <= canvas::MaxZoom; ++from)
        for (std::int32_t to = canvas::MinZoom; to <= canvas::MaxZoom; ++to)
            for (const SPoint anchor : {SPoint{0, 0}, SPoint{640, 480}, SPoint{3999, 2999}}) {
                const SPoint scroll{canvas::ToScreen(anchor.x, from) - 150, canvas::ToScreen(anchor.y, from) - 90};
                const SPoint kept = canvas::ScrollKeepingPoint(scroll, anchor, from, to);
                EXPECT_EQ(canvas::ToScreen(anchor.x, to) - kept.x, 150) << from << " " << to;
                EXPECT_EQ(canvas::ToScreen(anchor.y, to) - kept.y, 90) << from << " " << to;
            }
    EXPECT_EQ(canvas::DragScroll({500, 400}, {100, 100}, {60, 130}), (SPoint{540, 370}));
}

TEST(CanvasZoom, ScreenPointStaysInPlaceToTheScreenPixelAndWheelTurnsAddUpToSteps)
{
    for (std::int32_t from = canvas::MinZoom; from <= canvas::MaxZoom; ++from)
        for (std::int32_t to = canvas::MinZoom; to <= canvas::MaxZoom; ++to)
            for (const SPoint screen : {SPoint{0, 0}, SPoint{1237, 905}, SPoint{3, 64000}}) {
                const SPoint scroll{screen.x - 150, screen.y - 90};
                const SPoint kept = canvas::ScrollKeepingScreenPoint(scroll, screen, from, to);
                // Zooming in the point maps exactly; zooming out it may round down by a pixel.
                const SPoint scaled = {to >= from ? screen.x << (to - from) : screen.x >> (from - to),
                                       to >= from ? screen.y << (to - from) : screen.y >> (from - to)};
                EXPECT_EQ(scaled.x - kept.x, 150) << from << " " << to;
                EXPECT_EQ(scaled.y - kept.y, 90) << from << " " << to;
                // The same document point, to within one screen pixel of the new zoom.
                EXPECT_LE(std::abs(canvas::ToDocument(scaled.x, to) - canvas::ToDocument(screen.x, from)),
                          std::max(1, canvas::ToDocument(1, to)))
                    << from << " " << to;
            }

    // Notches, fine-grained turns and a turn back.
    const struct { std::int32_t delta, steps, pending; } turns[] = {
        {120, 1, 0}, {-240, -2, 0}, {40, 0, 40}, {40, 0, 80}, {50, 1, 10}, {-30, 0, -30}, {-100, -1, -10}, {360, 3, 0},
    };
    std::int32_t pending = 0;
    for (const auto& turn : turns) {
        EXPECT_EQ(canvas::WheelSteps(pending, turn.delta), turn.steps) << turn.delta;
        EXPECT_EQ(pending, turn.pending) << turn.delta;
    }
}

TEST(CanvasTile, TakesEverySixteenthPixelAtTheSmallestZoom)
{
    const SBitmap display = PositionDisplay(1600, 1600);
    QImage tile(128, 128, QImage::Format_RGB32);
    tile.fill(0xFF123456u);
    canvas::STileTarget target{tile.bits(), int(tile.bytesPerLine()), {0, 0}};
    canvas::FillCanvasTile(display, -4, false, target);
    for (int sy = 0; sy < 100; sy += 11)
        for (int sx = 0; sx < 100; sx += 7)
            ASSERT_EQ(tile.pixel(sx, sy), display.Row32(sy * 16)[sx * 16]) << sx << "," << sy;
    // 1600 >> 4 = 100 screen pixels: the rest of the tile is not the document's and stays untouched.
    EXPECT_EQ(tile.pixel(100, 5), 0xFF123456u);
    EXPECT_EQ(tile.pixel(5, 127), 0xFF123456u);
}

TEST(CanvasTile, PartialTileKeepsCheckerboardAlignedWithItsNeighbours)
{
    SBitmap display;
    display.Create(300, 300, 32);  // all transparent
    QImage whole(128, 128, QImage::Format_RGB32), part(128, 128, QImage::Format_RGB32);
    canvas::FillCanvasTile(display, 0, false, {whole.bits(), int(whole.bytesPerLine()), {128, 128}});
    // The part from screen (133, 130), 20 x 9, written at the matching place of the tile.
    canvas::STileTarget target{part.bits() + 2 * part.bytesPerLine() + 5 * 4, int(part.bytesPerLine()), {133, 130}, 20, 9};
    canvas::FillCanvasTile(display, 0, false, target);
    for (int y = 2; y < 11; ++y)
        for (int x = 5; x < 25; ++x)
            ASSERT_EQ(part.pixel(x, y), whole.pixel(x, y)) << x << "," << y;
}

// The shortcuts of the fill (row copies when zoomed in, partial tiles, strided reads when zoomed out)
// must give what the plain rule gives: nearest pixel, over-blended onto the 4 x 4 checkerboard.
TEST(CanvasTile, MatchesThePlainRuleAtEveryZoomForMixedPixels)
{
    SBitmap display;
    display.Create(700, 600, 32);
    const std::uint32_t kinds[] = {0x00000000u, 0xFF3080C0u, 0x80FF0000u, 0x10204060u};
    for (std::int32_t y = 0; y < 600; ++y)
        for (std::int32_t x = 0; x < 700; ++x)
            display.Row32(y)[x] = kinds[(x * 7 + y * 3) / 5 % 4];
    auto expected = [&](int sx, int sy, int z) {
        const std::uint32_t p = display.Row32(canvas::ToDocument(sy, z))[canvas::ToDocument(sx, z)];
        const std::uint32_t a = p >> 24, back = ((sx ^ sy) & 4) ? 255 : 224;
        std::uint32_t out = 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8)
            out |= ((((p >> shift) & 0xFF) * a + back * (255 - a) + 127) / 255) << shift;
        return out;
    };
    QImage tile(128, 128, QImage::Format_RGB32);
    for (int z = -4; z <= 4; ++z) {
        const int ox = 129, oy = 131;  // a part of the tile at screen (128, 128), odd on purpose
        canvas::STileTarget target{tile.bits() + 3 * tile.bytesPerLine() + 1 * 4, int(tile.bytesPerLine()), {ox, oy}, 100, 90};
        tile.fill(0xFF123456u);
        canvas::FillCanvasTile(display, z, false, target);
        const int width = std::min(100, canvas::ToScreen(700, z) - ox), height = std::min(90, canvas::ToScreen(600, z) - oy);
        for (int y = 0; y < std::max(height, 0); ++y)
            for (int x = 0; x < std::max(width, 0); ++x)
                ASSERT_EQ(tile.pixel(x + 1, y + 3), expected(ox + x, oy + y, z)) << "z " << z << " at " << x << "," << y;
    }
}

TEST_F(CanvasFixture, DrawsEachDocumentPixelAsSixteenSquareAtTheLargestZoom)
{
    controller.PaintContext().cel.display = PositionDisplay(9, 10);
    controller.SetZoom(4);
    TCanvas canvas(controller, keys);
    EXPECT_EQ(canvas.PaintMain()->size(), QSize(144, 160));  // crosses into a second tile each way
    const QImage shot = Grab(canvas);
    for (int sy = 0; sy < 160; sy += 5)
        for (int sx = 0; sx < 144; sx += 3)
            ASSERT_EQ(At(shot, sx, sy), controller.Cel().display.Row32(sy >> 4)[sx >> 4]) << sx << "," << sy;
}

TEST_F(CanvasFixture, DrawsZoomedOutViewFromEverySixteenthPixel)
{
    controller.PaintContext().cel.display = PositionDisplay(1600, 1600);
    controller.SetZoom(-4);
    TCanvas canvas(controller, keys);
    ASSERT_EQ(canvas.PaintMain()->size(), QSize(100, 100));
    const QImage shot = Grab(canvas);
    for (int s = 0; s < 100; s += 9)
        ASSERT_EQ(At(shot, s, 99 - s), controller.Cel().display.Row32((99 - s) * 16)[s * 16]);
}

TEST_F(CanvasFixture, ShowsCheckerboardBehindTransparencyAndBlendsHalfAlpha)
{
    SBitmap& display = controller.PaintContext().cel.display;
    display.Create(16, 8, 32);
    for (int y = 0; y < 8; ++y)
        for (int x = 8; x < 16; ++x)
            display.Row32(y)[x] = 0x80000000u;  // black at alpha 128
    TCanvas canvas(controller, keys);
    const QImage shot = Grab(canvas);
    // 4 x 4 squares: dark where bit 2 of column and row agree, white where they differ.
    EXPECT_EQ(At(shot, 0, 0), Dark);
    EXPECT_EQ(At(shot, 3, 3), Dark);
    EXPECT_EQ(At(shot, 4, 0), Light);
    EXPECT_EQ(At(shot, 0, 4), Light);
    EXPECT_EQ(At(shot, 7, 7), Dark);
    // Half of the black shows over each square: 255 -> 127, 224 -> 112.
    EXPECT_EQ(At(shot, 8, 0), 0xFF707070u);
    EXPECT_EQ(At(shot, 12, 0), 0xFF7F7F7Fu);
}

TEST_F(CanvasFixture, SilhouetteShowsCoverageInBlackOnWhite)
{
    SBitmap display;
    display.Create(3, 1, 32);
    display.Row32(0)[0] = 0xFF3366CCu;  // opaque colour
    display.Row32(0)[1] = 0x00000000u;  // nothing
    display.Row32(0)[2] = 0x40FF0000u;  // alpha 64
    QImage tile(128, 128, QImage::Format_RGB32);
    canvas::FillCanvasTile(display, 0, true, {tile.bits(), int(tile.bytesPerLine()), {0, 0}});
    EXPECT_EQ(tile.pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(tile.pixel(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(tile.pixel(2, 0), 0xFFBFBFBFu);

    // Through the canvas: a painted pixel turns black, an unpainted one white, and back again.
    MakeBlankCel(controller, 8, 8);
    controller.PaintContext().cel.paint.Row32(2)[3] = 0xFF2040F0u;
    controller.PaintContext().cel.ComposeAll();
    TCanvas canvas(controller, keys);
    EXPECT_EQ(ToggleSilhouette(controller), main_refresh::Canvas | main_refresh::ViewMenu);
    canvas.DocumentReplaced();
    ASSERT_TRUE(controller.Cel().silhouette);
    QImage shot = Grab(canvas);
    EXPECT_EQ(At(shot, 3, 2), 0xFF000000u);
    EXPECT_EQ(At(shot, 5, 5), 0xFFFFFFFFu);
    ToggleSilhouette(controller);
    canvas.DocumentReplaced();
    shot = Grab(canvas);
    EXPECT_EQ(At(shot, 3, 2), 0xFF2040F0u);
}

TEST_F(CanvasFixture, ConvertsMousePositionsAtTheZoomStep)
{
    MakeBlankCel(controller, 64, 64);
    TCanvas canvas(controller, keys);
    controller.SetZoom(1);
    EXPECT_EQ(canvas.ToDocument(QPoint(5, 7)), (SPoint{2, 3}));
    controller.SetZoom(-1);
    EXPECT_EQ(canvas.ToDocument(QPoint(5, 7)), (SPoint{10, 14}));
    EXPECT_EQ(canvas.ToCanvas(SPoint{10, 14}), QPoint(5, 7));

    SPoint reported{-1, -1};
    bool over = true;
    QObject::connect(&canvas, &TCanvas::PointerMoved, [&](SPoint p, bool inside) { reported = p, over = inside; });
    Send(canvas.PaintMain(), QEvent::MouseMove, QPoint(5, 7), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(reported, (SPoint{10, 14}));
    EXPECT_TRUE(over);
    controller.SetZoom(1);
    Send(canvas.PaintMain(), QEvent::MouseMove, QPoint(200, 7), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(reported, (SPoint{100, 3}));
    EXPECT_FALSE(over);
    Send(canvas.PaintMain(), QEvent::MouseMove, QPoint(20, 7), Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(over);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(canvas.PaintMain(), &leave);
    EXPECT_FALSE(over);
}

TEST_F(CanvasFixture, BrushDabPaintsTheCelAndRepaintsOnlyItsRectangle)
{
    MakeBlankCel(controller, 200, 150);
    controller.SetZoom(1);
    EditWindow(controller, [&](SMainWindowState& w) { w.toolMode = ToolBrush; });
    controller.SetBrush({4, controller.Tools().brush.shape, controller.Tools().brush.density});
    controller.SetCurrentColour(SColor(10, 200, 30));
    controller.MarkSaved();
    TCanvas canvas(controller, keys);
    int edits = 0;
    QObject::connect(&canvas, &TCanvas::DocumentEdited, [&] { ++edits; });

    Send(canvas.PaintMain(), QEvent::MouseButtonPress, QPoint(101, 81), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(controller.Cel().display.Row32(40)[50], 0xFF0AC81Eu);
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(controller.State(), SDocumentState::Modified);
    const QRect dab = canvas.LastRepaintRect();
    EXPECT_TRUE(dab.contains(QPoint(101, 81)));
    EXPECT_LE(dab.width(), 2 * (2 * 4 + 2));  // radius 4 at zoom 1, not the whole canvas
    EXPECT_LE(dab.height(), 2 * (2 * 4 + 2));

    // The drag continues from the press and ends with the button.
    Send(canvas.PaintMain(), QEvent::MouseMove, QPoint(141, 81), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(controller.Cel().display.Row32(40)[70], 0xFF0AC81Eu);
    EXPECT_TRUE(canvas.LastRepaintRect().contains(QPoint(141, 81)));
    Send(canvas.PaintMain(), QEvent::MouseButtonRelease, QPoint(141, 81), Qt::LeftButton, Qt::NoButton);
    const std::uint32_t before = controller.Cel().display.Row32(40)[90];
    Send(canvas.PaintMain(), QEvent::MouseMove, QPoint(181, 81), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(controller.Cel().display.Row32(40)[90], before);

    const QImage shot = Grab(canvas);
    EXPECT_EQ(At(shot, 101, 81), 0xFF0AC81Eu);
    EXPECT_EQ(At(shot, 140, 80), 0xFF0AC81Eu);
}

// The hand tool's left drag and the middle button's drag with any tool move the view alike.
TEST_F(CanvasFixture, HandToolAndMiddleButtonScrollByTheDragDistance)
{
    const std::pair<STool, Qt::MouseButton> drags[] = {{ToolHand, Qt::LeftButton}, {ToolPaint, Qt::MiddleButton}};
    for (const auto& [tool, button] : drags) {
        MakeBlankCel(controller, 2000, 1500);
        EditWindow(controller, [&, tool = tool](SMainWindowState& w) { w.toolMode = tool; });
        TCanvas canvas(controller, keys);
        canvas.resize(300, 200);
        canvas.show();
        canvas.horizontalScrollBar()->setValue(500);
        canvas.verticalScrollBar()->setValue(400);
        QWidget* paint = canvas.PaintMain();
        Send(paint, QEvent::MouseButtonPress, QPoint(600, 500), button, button);
        // The canvas moves under the mouse while scrolling, so the drag is measured on the screen.
        const QPoint down = paint->mapToGlobal(QPoint(600, 500));
        const QPoint moved = down - QPoint(40, -30);
        QMouseEvent move(QEvent::MouseMove, QPointF(paint->mapFromGlobal(moved)), QPointF(moved), Qt::NoButton,
                         button, Qt::NoModifier);
        QApplication::sendEvent(paint, &move);
        EXPECT_EQ(canvas.horizontalScrollBar()->value(), 540) << tool;
        EXPECT_EQ(canvas.verticalScrollBar()->value(), 370) << tool;
        Send(paint, QEvent::MouseButtonRelease, paint->mapFromGlobal(moved), button, Qt::NoButton);
        EXPECT_EQ(controller.State(), SDocumentState::None) << tool;  // scrolling edits nothing
        EXPECT_EQ(controller.Cel().paint.Row32(500)[600], cel_values::Unpainted) << tool;
    }
}

TEST_F(CanvasFixture, ZoomToolKeepsTheClickedPointUnderTheMouse)
{
    MakeBlankCel(controller, 2000, 1500);
    EditWindow(controller, [&](SMainWindowState& w) { w.toolMode = ToolZoomIn; });
    TCanvas canvas(controller, keys);
    canvas.resize(400, 300);
    canvas.show();
    int zooms = 0;
    QObject::connect(&canvas, &TCanvas::ZoomChanged, [&] { ++zooms; });
    canvas.horizontalScrollBar()->setValue(200);
    canvas.verticalScrollBar()->setValue(100);
    QWidget* paint = canvas.PaintMain();
    const QPoint inView = QPoint(300, 250) - QPoint(200, 100);  // where the click is in the viewport

    Click(paint, QPoint(300, 250));
    EXPECT_EQ(controller.Zoom(), 1);
    EXPECT_EQ(paint->size(), QSize(4000, 3000));
    EXPECT_EQ(canvas.ToCanvas({300, 250}) - QPoint(canvas.horizontalScrollBar()->value(), canvas.verticalScrollBar()->value()),
              inView);

    EditWindow(controller, [&](SMainWindowState& w) { w.toolMode = ToolZoomOut; });
    Click(paint, QPoint(600, 500));
    EXPECT_EQ(controller.Zoom(), 0);
    EXPECT_EQ(canvas.ToCanvas({300, 250}) - QPoint(canvas.horizontalScrollBar()->value(), canvas.verticalScrollBar()->value()),
              inView);
    EXPECT_EQ(zooms, 2);

    // Steps beyond the range are ignored; the menu command clamps and resets.
    controller.SetZoom(-4);
    canvas.DocumentReplaced();
    Click(paint, QPoint(10, 10));
    EXPECT_EQ(controller.Zoom(), -4);
    canvas.ZoomClick(-1);
    EXPECT_EQ(controller.Zoom(), -4);
    canvas.ZoomClick(0);
    EXPECT_EQ(controller.Zoom(), 0);
    EXPECT_EQ(paint->size(), QSize(2000, 1500));
}

namespace {

void Wheel(QWidget* widget, QPoint at, QPoint angle, Qt::KeyboardModifiers modifiers, QPoint pixels = {})
{
    QWheelEvent event(QPointF(at), QPointF(widget->mapToGlobal(at)), pixels, angle, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

QPoint Scroll(const TCanvas& canvas)
{
    return {canvas.horizontalScrollBar()->value(), canvas.verticalScrollBar()->value()};
}

TEST_F(CanvasFixture, CtrlWheelAndPinchZoomAboutThePointerAndTheWheelScrolls)
{
    MakeBlankCel(controller, 2000, 1500);
    TCanvas canvas(controller, keys);
    canvas.resize(400, 300);
    canvas.show();
    int zooms = 0;
    QObject::connect(&canvas, &TCanvas::ZoomChanged, [&] { ++zooms; });
    canvas.horizontalScrollBar()->setValue(700);
    canvas.verticalScrollBar()->setValue(500);
    QWidget* paint = canvas.PaintMain();

    // Up through every step to the largest and down to the smallest, the pointer's point held.
    const QPoint pointer(913, 641);
    const QPoint inView = pointer - Scroll(canvas);
    const SPoint under = canvas.ToDocument(pointer);
    for (int step = 1; step <= 5; ++step) {
        Wheel(paint, canvas.ToCanvas(under) + QPoint(0, 0), QPoint(0, 120), Qt::ControlModifier);
        EXPECT_EQ(controller.Zoom(), std::min(step, canvas::MaxZoom));
        EXPECT_EQ(canvas.ToCanvas(under) - Scroll(canvas), inView) << step;
    }
    EXPECT_EQ(zooms, 4);
    EXPECT_EQ(paint->size(), QSize(32000, 24000));
    // Touchpad-sized turns: four thirds of a notch make one step.
    for (int part = 0; part < 4; ++part)
        Wheel(paint, canvas.ToCanvas(under), QPoint(0, -40), Qt::ControlModifier);
    EXPECT_EQ(controller.Zoom(), 3);
    EXPECT_EQ(canvas.ToCanvas(under) - Scroll(canvas), inView);

    // The plain wheel scrolls down, Shift scrolls sideways; neither zooms.
    const QPoint before = Scroll(canvas);
    Wheel(paint, QPoint(before.x() + 50, before.y() + 50), QPoint(0, -120), Qt::NoModifier);
    EXPECT_EQ(Scroll(canvas).x(), before.x());
    EXPECT_GT(Scroll(canvas).y(), before.y());
    const QPoint down = Scroll(canvas);
    Wheel(paint, QPoint(down.x() + 50, down.y() + 50), QPoint(0, -120), Qt::ShiftModifier);
    EXPECT_GT(Scroll(canvas).x(), down.x());
    EXPECT_EQ(Scroll(canvas).y(), down.y());
    Wheel(paint, QPoint(down.x() + 50, down.y() + 50), QPoint(), Qt::ShiftModifier, QPoint(0, 25));
    EXPECT_EQ(Scroll(canvas).x(), down.x() + 3 * canvas.horizontalScrollBar()->singleStep() - 25);
    EXPECT_EQ(controller.Zoom(), 3);

    // A pinch: a step once the fingers spread to twice the distance, about where they are.
    const QPoint fingers = canvas.ToCanvas(under);
    const QPoint fingersInView = fingers - Scroll(canvas);
    const auto pinch = [&](Qt::NativeGestureType type, double value) {
        QNativeGestureEvent event(type, QPointingDevice::primaryPointingDevice(), 2, QPointF(fingers),
                                  QPointF(fingers), QPointF(paint->mapToGlobal(fingers)), value, QPointF());
        QApplication::sendEvent(paint, &event);
    };
    pinch(Qt::BeginNativeGesture, 0);
    for (int i = 0; i < 7; ++i)
        pinch(Qt::ZoomNativeGesture, 0.1);
    EXPECT_EQ(controller.Zoom(), 3);  // 1.1 to the seventh is short of two
    pinch(Qt::ZoomNativeGesture, 0.1);
    EXPECT_EQ(controller.Zoom(), 4);
    EXPECT_EQ(canvas.ToCanvas(under) - Scroll(canvas), fingersInView);
    pinch(Qt::EndNativeGesture, 0);
}

}  // namespace
