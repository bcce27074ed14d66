// The reference pane drawn and driven offscreen: the paint box's size, pictures of several formats
// through the tile (checkerboard, nearest pixel at both zoom ends), picking colours by click and
// drag, dragging the view, and zooming around the clicked point.
#include "SCanvasTile.h"
#include "ControllerEdits.h"
#include "SHuedraneController.h"
#include "TReferencePane.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

using namespace ulib;

namespace {

constexpr std::uint32_t Light = 0xFFFFFFFFu;
constexpr std::uint32_t Dark = 0xFFE0E0E0u;

// A picture whose pixels tell their own position: red x, green y, blue 7 (x + y), all opaque.
SColor PositionColour(std::int32_t x, std::int32_t y)
{
    return SColor(std::uint8_t(x), std::uint8_t(y), std::uint8_t(7 * (x + y)));
}

SBitmap PositionPicture(std::int32_t width, std::int32_t height, std::int32_t format)
{
    SBitmap picture;
    picture.Create(width, height, format);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            picture.SetColor(x, y, PositionColour(x, y));
    return picture;
}

// The plain rule: the nearest picture pixel, over-blended onto the 4 x 4 checkerboard.
std::uint32_t Expected(const SBitmap& picture, int sx, int sy, int zoom)
{
    const SColor c = picture.GetColor(canvas::ToDocument(sx, zoom), canvas::ToDocument(sy, zoom));
    const std::uint32_t a = 255u - c.t, back = ((sx ^ sy) & 4) ? 255 : 224;
    auto mix = [&](std::uint32_t v) { return (v * a + back * (255 - a) + 127) / 255; };
    return 0xFF000000u | mix(c.r) << 16 | mix(c.g) << 8 | mix(c.b);
}

std::uint32_t At(const QImage& image, int x, int y)
{
    return image.pixel(x, y) | 0xFF000000u;
}

void Send(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
          Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held, modifiers);
    QApplication::sendEvent(widget, &event);
}

void Click(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    Send(widget, QEvent::MouseButtonPress, at, button, button, modifiers);
    Send(widget, QEvent::MouseButtonRelease, at, button, Qt::NoButton, modifiers);
}

struct ReferencePaneFixture : ::testing::Test
{
    SHuedraneController controller;
    SHeldKeys keys;
    int picked = 0, released = 0, zoomed = 0;

    void Count(TReferencePane& pane)
    {
        QObject::connect(&pane, &TReferencePane::ColourPicked, [this] { ++picked; });
        QObject::connect(&pane, &TReferencePane::MouseReleased, [this] { ++released; });
        QObject::connect(&pane, &TReferencePane::ZoomChanged, [this] { ++zoomed; });
    }

    QImage Grab(TReferencePane& pane)
    {
        return pane.PaintReference()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    // Where the picture point sits in the visible part of the scroll box.
    QPoint InView(TReferencePane& pane, SPoint imagePoint)
    {
        const QScrollArea* scroll = pane.ScrollReference();
        return pane.ToPane(imagePoint) - QPoint(scroll->horizontalScrollBar()->value(), scroll->verticalScrollBar()->value());
    }
};

}  // namespace

TEST_F(ReferencePaneFixture, NamesItsControlsAndSizesThePaintBoxToPictureAndZoom)
{
    TReferencePane pane(controller, keys);
    EXPECT_EQ(pane.objectName(), "PanelReference");
    EXPECT_EQ(pane.findChild<QToolBar*>("ToolSub"), pane.ToolSub());
    EXPECT_EQ(pane.findChild<QScrollArea*>("ScrollReference"), pane.ScrollReference());
    EXPECT_EQ(pane.findChild<QWidget*>("PaintReference"), pane.PaintReference());
    EXPECT_TRUE(pane.ToolSub()->actions().isEmpty());  // the main window adds the buttons
    EXPECT_EQ(pane.PaintReference()->size(), QSize(0, 0));

    controller.SetReferenceImage(PositionPicture(403, 301, 24));
    pane.ImageChanged();
    EXPECT_EQ(pane.PaintReference()->size(), QSize(403, 301));
    controller.SetReferenceZoom(-4);
    pane.ImageChanged();
    EXPECT_EQ(pane.PaintReference()->size(), QSize(25, 18));
    controller.SetReferenceZoom(4);
    pane.ImageChanged();
    EXPECT_EQ(pane.PaintReference()->size(), QSize(6448, 4816));

    controller.SetReferenceImage({});
    pane.ImageChanged();
    EXPECT_EQ(pane.PaintReference()->size(), QSize(0, 0));
    EXPECT_TRUE(Grab(pane).isNull() || Grab(pane).size().isEmpty());
}

// The per-format readers and the row copies when zoomed in must give what the plain rule gives.
TEST(PictureTile, MatchesThePlainRuleForEveryFormatAndZoom)
{
    SBitmap pictures[6];
    pictures[0] = PositionPicture(300, 280, 24);
    pictures[1] = PositionPicture(300, 280, 16);
    pictures[2].Create(300, 280, 8);
    for (int i = 0; i < 256; ++i)
        pictures[2].SetPaletteEntry(i, SColor(std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 3)));
    pictures[3].Create(300, 280, 32);
    pictures[4].Create(300, 280, -8);  // grey ramp as its table
    pictures[5].Create(300, 280, 4);
    for (int i = 0; i < 16; ++i)
        pictures[5].SetPaletteEntry(i, SColor(std::uint8_t(16 * i), 40, std::uint8_t(255 - 16 * i)));
    const std::uint32_t kinds[] = {0x00000000u, 0xFF3080C0u, 0x80FF0000u, 0x10204060u};
    for (std::int32_t y = 0; y < 280; ++y)
        for (std::int32_t x = 0; x < 300; ++x) {
            pictures[2].SetIndex(x, y, std::uint32_t(x * 5 + y) & 0xFF);
            pictures[3].Row32(y)[x] = kinds[(x * 7 + y * 3) / 5 % 4];
            pictures[4].SetIndex(x, y, std::uint32_t(x + 3 * y) & 0xFF);
            pictures[5].SetIndex(x, y, std::uint32_t(x ^ y) & 0x0F);
        }

    QImage tile(128, 128, QImage::Format_RGB32);
    for (const SBitmap& picture : pictures) {
        for (int z = -4; z <= 4; ++z) {
            const int ox = 129, oy = 131;  // part of the tile at screen (128, 128), odd on purpose
            canvas::STileTarget target{tile.bits() + 3 * tile.bytesPerLine() + 4, int(tile.bytesPerLine()), {ox, oy}, 100, 90};
            tile.fill(0xFF123456u);
            canvas::FillPictureTile(picture, z, target);
            const int width = std::min(100, canvas::ToScreen(300, z) - ox);
            const int height = std::min(90, canvas::ToScreen(280, z) - oy);
            for (int y = 0; y < 90; ++y)
                for (int x = 0; x < 100; ++x) {
                    // Beyond the picture's screen size the tile is left as it was.
                    const std::uint32_t want = x < width && y < height ? Expected(picture, ox + x, oy + y, z) : 0xFF123456u;
                    ASSERT_EQ(tile.pixel(x + 1, y + 3), want)
                        << "format " << picture.Format() << " z " << z << " at " << x << "," << y;
                }
        }
    }

    // Nothing to draw: the tile keeps its pixels.
    tile.fill(0xFF123456u);
    canvas::FillPictureTile(SBitmap(), 0, {tile.bits(), int(tile.bytesPerLine()), {0, 0}});
    EXPECT_EQ(tile.pixel(0, 0), 0xFF123456u);
}

TEST_F(ReferencePaneFixture, ShowsTheOpaquePictureNearestPixelAtBothZoomEnds)
{
    controller.SetReferenceImage(PositionPicture(70, 50, 24));
    controller.SetReferenceZoom(2);
    TReferencePane pane(controller, keys);
    ASSERT_EQ(pane.PaintReference()->size(), QSize(280, 200));  // crosses into further tiles
    QImage shot = Grab(pane);
    for (int sy = 0; sy < 200; sy += 3)
        for (int sx = 0; sx < 280; sx += 5)
            ASSERT_EQ(At(shot, sx, sy), PositionColour(sx >> 2, sy >> 2).Pixel()) << sx << "," << sy;

    controller.SetReferenceZoom(-2);
    pane.ImageChanged();
    ASSERT_EQ(pane.PaintReference()->size(), QSize(17, 12));
    shot = Grab(pane);
    for (int sy = 0; sy < 12; ++sy)
        for (int sx = 0; sx < 17; ++sx)
            ASSERT_EQ(At(shot, sx, sy), PositionColour(sx << 2, sy << 2).Pixel()) << sx << "," << sy;
}

TEST_F(ReferencePaneFixture, ShowsCheckerboardBehindTransparentPixels)
{
    SBitmap picture;
    picture.Create(16, 8, 32);  // all transparent
    for (int y = 0; y < 8; ++y) {
        picture.Row32(y)[8] = 0xFF2040F0u;   // opaque
        for (int x = 12; x < 16; ++x)
            picture.Row32(y)[x] = 0x80000000u;  // black at alpha 128
    }
    controller.SetReferenceImage(std::move(picture));
    TReferencePane pane(controller, keys);
    const QImage shot = Grab(pane);
    EXPECT_EQ(At(shot, 0, 0), Dark);
    EXPECT_EQ(At(shot, 4, 0), Light);
    EXPECT_EQ(At(shot, 4, 4), Dark);
    EXPECT_EQ(At(shot, 8, 5), 0xFF2040F0u);
    EXPECT_EQ(At(shot, 12, 0), 0xFF7F7F7Fu);  // half of the white square
    EXPECT_EQ(At(shot, 12, 4), 0xFF707070u);  // half of the grey one
}

TEST_F(ReferencePaneFixture, ClickAndDragPickColoursUntilTheButtonIsReleased)
{
    SBitmap picture;
    picture.Create(20, 20, 32);  // transparent but for two pixels
    picture.Row32(2)[3] = 0xFF102030u;
    picture.Row32(2)[6] = 0x80405060u;
    controller.SetReferenceImage(std::move(picture));
    controller.SetReferenceZoom(1);
    controller.SetColourMode(SColourMode::Bitmap);
    TReferencePane pane(controller, keys);
    Count(pane);
    QWidget* paint = pane.PaintReference();

    Click(paint, QPoint(7, 5));  // picture (3, 2)
    EXPECT_EQ(controller.Tools().colourMode, SColourMode::Colour);
    EXPECT_EQ(controller.Tools().currentColour, SColor(0x10, 0x20, 0x30));
    EXPECT_EQ(picked, 1);
    EXPECT_EQ(released, 1);

    Click(paint, QPoint(21, 21));  // a fully transparent pixel: the eraser
    EXPECT_EQ(controller.Tools().colourMode, SColourMode::Eraser);
    EXPECT_EQ(picked, 2);

    // With the button held every move picks again; the colour keeps its transparency.
    Send(paint, QEvent::MouseButtonPress, QPoint(7, 4), Qt::LeftButton, Qt::LeftButton);
    Send(paint, QEvent::MouseMove, QPoint(13, 4), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(controller.Tools().colourMode, SColourMode::Colour);
    EXPECT_EQ(controller.Tools().currentColour, SColor(0x40, 0x50, 0x60, 127));
    EXPECT_EQ(picked, 4);
    Send(paint, QEvent::MouseMove, QPoint(60, 4), Qt::NoButton, Qt::LeftButton);  // beyond the picture
    EXPECT_EQ(picked, 4);
    EXPECT_EQ(released, 2);
    Send(paint, QEvent::MouseButtonRelease, QPoint(60, 4), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(released, 3);
    Send(paint, QEvent::MouseMove, QPoint(7, 5), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(controller.Tools().currentColour, SColor(0x40, 0x50, 0x60, 127));  // no pick without a button
    EXPECT_EQ(picked, 4);

    // The hand tool drags only with the left button; the right one picks.
    EditWindow(controller, [&](SMainWindowState& w) { w.toolMode = ToolHand; });
    Click(paint, QPoint(7, 5), Qt::RightButton);
    EXPECT_EQ(controller.Tools().currentColour, SColor(0x10, 0x20, 0x30));
    // Enter held picks even with a zoom tool selected.
    EditWindow(controller, [&](SMainWindowState& w) { w.toolMode = ToolZoomIn; });
    keys.enter = true;
    Click(paint, QPoint(21, 21));
    EXPECT_EQ(controller.Tools().colourMode, SColourMode::Eraser);
    EXPECT_EQ(controller.ReferenceZoom(), 1);
    EXPECT_EQ(zoomed, 0);
}

TEST_F(ReferencePaneFixture, ShiftDragAndTheHandToolScrollByTheDragDistance)
{
    controller.SetReferenceImage(PositionPicture(2000, 1500, 24));
    TReferencePane pane(controller, keys);
    Count(pane);
    pane.resize(300, 250);
    pane.show();
    QScrollArea* scroll = pane.ScrollReference();
    QWidget* paint = pane.PaintReference();
    const SColor before = controller.Tools().currentColour;

    auto drag = [&](QPoint from, QPoint by, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        scroll->horizontalScrollBar()->setValue(500);
        scroll->verticalScrollBar()->setValue(400);
        Send(paint, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, modifiers);
        // The paint box moves under the mouse while scrolling, so the drag is measured on the screen.
        const QPoint moved = paint->mapToGlobal(from) + by;
        QMouseEvent move(QEvent::MouseMove, QPointF(paint->mapFromGlobal(moved)), QPointF(moved), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(paint, &move);
        const QPoint result(scroll->horizontalScrollBar()->value(), scroll->verticalScrollBar()->value());
        Send(paint, QEvent::MouseButtonRelease, paint->mapFromGlobal(moved), Qt::LeftButton, Qt::NoButton);
        return result;
    };

    EXPECT_EQ(drag({600, 500}, {-40, 30}, Qt::ShiftModifier), QPoint(540, 370));
    EditWindow(controller, [&](SMainWindowState& w) { w.toolMode = ToolHand; });
    EXPECT_EQ(drag({600, 500}, {25, -10}), QPoint(475, 410));
    EXPECT_EQ(controller.Tools().currentColour, before);  // dragging picks nothing
    EXPECT_EQ(picked, 0);
    EXPECT_EQ(released, 2);
}

TEST_F(ReferencePaneFixture, ZoomClicksKeepTheClickedPointUnderTheMouse)
{
    controller.SetReferenceImage(PositionPicture(1000, 800, 24));
    TReferencePane pane(controller, keys);
    Count(pane);
    pane.resize(400, 300);
    pane.show();
    QScrollArea* scroll = pane.ScrollReference();
    QWidget* paint = pane.PaintReference();
    scroll->horizontalScrollBar()->setValue(200);
    scroll->verticalScrollBar()->setValue(100);
    const QPoint inView = InView(pane, {300, 250});

    Click(paint, QPoint(300, 250), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(controller.ReferenceZoom(), 1);
    EXPECT_EQ(paint->size(), QSize(2000, 1600));
    EXPECT_EQ(InView(pane, {300, 250}), inView);
    Click(paint, QPoint(600, 500), Qt::RightButton, Qt::ControlModifier);
    EXPECT_EQ(controller.ReferenceZoom(), 0);
    EXPECT_EQ(InView(pane, {300, 250}), inView);
    Click(paint, QPoint(300, 250), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(controller.ReferenceZoom(), 1);
    EXPECT_EQ(InView(pane, {300, 250}), inView);
    EXPECT_EQ(zoomed, 3);
    EXPECT_EQ(released, 3);
    EXPECT_EQ(picked, 0);

    // The zoom tools: the zoom-out tool with the left button, either of them with the right.
    EditWindow(controller, [&](SMainWindowState& w) { w.toolMode = ToolZoomOut; });
    Click(paint, QPoint(600, 500));
    EXPECT_EQ(controller.ReferenceZoom(), 0);
    EditWindow(controller, [&](SMainWindowState& w) { w.toolMode = ToolZoomIn; });
    const QPoint lowerInView = InView(pane, {300, 180});  // zoomed out the view must not pass the top
    Click(paint, QPoint(300, 180), Qt::RightButton);
    EXPECT_EQ(controller.ReferenceZoom(), -1);
    EXPECT_EQ(paint->size(), QSize(500, 400));
    EXPECT_EQ(InView(pane, {300, 180}), lowerInView);
    EXPECT_EQ(zoomed, 5);

    // At the end of the range a zoom click changes nothing and tells nobody.
    controller.SetReferenceZoom(4);
    pane.ImageChanged();
    Click(paint, QPoint(10, 10), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(controller.ReferenceZoom(), 4);
    EXPECT_EQ(zoomed, 5);
    EXPECT_EQ(released, 6);
}

TEST_F(ReferencePaneFixture, ImageChangedKeepsTheMiddleOfTheView)
{
    controller.SetReferenceImage(PositionPicture(1000, 800, 24));
    TReferencePane pane(controller, keys);
    pane.resize(400, 300);
    pane.show();
    QScrollArea* scroll = pane.ScrollReference();
    scroll->horizontalScrollBar()->setValue(300);
    scroll->verticalScrollBar()->setValue(200);
    const QSize view = scroll->viewport()->size();
    const QPoint middle(view.width() / 2, view.height() / 2);
    const SPoint centre = pane.ToImage(QPoint(300, 200) + middle);

    controller.SetReferenceZoom(2);
    pane.ImageChanged();
    EXPECT_EQ(pane.ToImage(QPoint(scroll->horizontalScrollBar()->value(), scroll->verticalScrollBar()->value()) + middle),
              centre);
    controller.SetReferenceZoom(0);
    pane.ImageChanged();
    EXPECT_EQ(scroll->horizontalScrollBar()->value(), 300);
    EXPECT_EQ(scroll->verticalScrollBar()->value(), 200);

    // A picture arriving in an empty pane shows from its top-left corner.
    controller.SetReferenceImage({});
    pane.ImageChanged();
    controller.SetReferenceImage(PositionPicture(1000, 800, 24));
    pane.ImageChanged();
    EXPECT_EQ(scroll->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(scroll->verticalScrollBar()->value(), 0);
}
