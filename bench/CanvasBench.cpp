// The canvas on a 4000 x 3000 cel, through the real widget on the offscreen platform: repainting a
// full 1920 x 1080 view at each zoom step, a Ctrl+wheel zoom step through to the repainted view, a
// brush dab of radius 16 from the mouse move to the repainted canvas, and a paint-tool click
// filling the background through to the repainted view; and the reference pane repainting a
// 1000 x 800 view of a 4000 x 3000 picture.
#include "BenchLayers.h"
#include "SHuedraneController.h"
#include "TCanvas.h"
#include "TReferencePane.h"

#include <QApplication>
#include <QImage>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QWheelEvent>

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace ulib;

namespace {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "huedrane_bench";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Like the scene, never destroyed: its destructor would tear down windows after Qt's own
    // statics are gone.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

struct Scene
{
    SHuedraneController controller;
    SHeldKeys keys;
    TCanvas* canvas = nullptr;

    Scene()
    {
        App();
        controller.TakeCel(bench_layers::SceneCel());
        canvas = new TCanvas(controller, keys);
        canvas->resize(1920 + 2 * canvas->frameWidth(), 1080 + 2 * canvas->frameWidth());
        canvas->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        canvas->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        canvas->show();
    }
    ~Scene() { delete canvas; }

    // Paints a part of the canvas now through its paint event, into a screen-sized surface.
    void Repaint(const QRect& rect)
    {
        canvas->PaintMain()->render(&screen, QPoint(), QRegion(rect), QWidget::RenderFlags());
    }
    void RepaintView()
    {
        const QRect visible(canvas->horizontalScrollBar()->value(), canvas->verticalScrollBar()->value(),
                            canvas->viewport()->width(), canvas->viewport()->height());
        Repaint(visible & canvas->PaintMain()->rect());
    }

    QImage screen{1920, 1080, QImage::Format_RGB32};
};

Scene& TheScene()
{
    // Kept to the end of the process: a widget destroyed among the static destructors would run
    // after Qt's own lazily made statics are gone.
    static Scene* scene = new Scene;
    return *scene;
}

void CanvasViewRepaint(benchmark::State& state)
{
    Scene& s = TheScene();
    s.controller.SetZoom(0);
    s.canvas->ZoomAt(std::int32_t(state.range(0)), {bench_layers::Width / 2, bench_layers::Height / 2});
    for (auto _ : state)
        s.RepaintView();
    state.counters["view_px"] = double(s.canvas->viewport()->width()) * s.canvas->viewport()->height();
}
BENCHMARK(CanvasViewRepaint)->DenseRange(-4, 4)->Unit(benchmark::kMillisecond);

// A Ctrl+wheel notch over the middle of the view, from the wheel event to the repainted view: the
// zoom step about the pointer (the canvas resized and scrolled) and the whole view drawn again.
// Argument: the zoom the notch starts from; it zooms in, and out again on the way back.
void CanvasWheelZoomStep(benchmark::State& state)
{
    Scene& s = TheScene();
    const std::int32_t from = std::int32_t(state.range(0));
    s.canvas->ZoomAt(from, {bench_layers::Width / 2, bench_layers::Height / 2});
    QWidget* paint = s.canvas->PaintMain();
    std::int64_t zooms = 0;
    const QMetaObject::Connection counting = QObject::connect(s.canvas, &TCanvas::ZoomChanged, [&] { ++zooms; });
    bool in = true;
    for (auto _ : state) {
        const QPoint pointer = paint->mapFrom(s.canvas->viewport(), QPoint(960, 540));
        QWheelEvent wheel(QPointF(pointer), QPointF(paint->mapToGlobal(pointer)), QPoint(), QPoint(0, in ? 120 : -120),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(paint, &wheel);
        s.RepaintView();
        in = !in;
    }
    QObject::disconnect(counting);
    if (zooms != std::int64_t(state.iterations()))
        state.SkipWithError("the wheel did not zoom at every notch");
}
BENCHMARK(CanvasWheelZoomStep)->DenseRange(-4, 3)->Unit(benchmark::kMillisecond);

// A mouse move of a brush drag: the dab, its recomposition, and repainting its rectangle.
void CanvasBrushDabMove(benchmark::State& state)
{
    Scene& s = TheScene();
    s.canvas->ZoomAt(0, {bench_layers::Width / 2, bench_layers::Height / 2});
    s.controller.SetColourMode(SColourMode::Colour);
    s.controller.SetBrush({16, 30, 200});
    const QPoint origin(s.canvas->horizontalScrollBar()->value(), s.canvas->verticalScrollBar()->value());
    std::int32_t step = 0;
    for (auto _ : state) {
        const SPoint at{origin.x() + 200 + step % 1500, origin.y() + 300 + (step / 1500) % 500};
        if (step % 100 == 0) {
            state.PauseTiming();
            s.controller.MouseUp();
            s.controller.PaintContext().undo.Clear();
            s.controller.MouseDown(ToolBrush, at);
            state.ResumeTiming();
        }
        s.canvas->RedrawDocument(s.controller.MouseMove(at));
        s.Repaint(s.canvas->LastRepaintRect());
        step += 3;
    }
    s.controller.MouseUp();
    s.controller.PaintContext().undo.Clear();
}
BENCHMARK(CanvasBrushDabMove)->Unit(benchmark::kMillisecond);

// A paint-tool click on the background region, through to the repainted view.
void CanvasFillClick(benchmark::State& state)
{
    Scene& s = TheScene();
    s.canvas->ZoomAt(-1, {bench_layers::Width / 2, bench_layers::Height / 2});
    std::uint8_t shade = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.controller.PaintContext().undo.Clear();
        s.controller.SetCurrentColour(SColor(shade, 128, std::uint8_t(255 - shade)));
        shade = std::uint8_t(shade + 17);
        state.ResumeTiming();
        s.canvas->RedrawDocument(s.controller.MouseDown(ToolPaint, {2, 2}));
        s.controller.MouseUp();
        s.RepaintView();
    }
    s.controller.PaintContext().undo.Clear();
}
BENCHMARK(CanvasFillClick)->Unit(benchmark::kMillisecond)->Iterations(10);

// The reference pane at zoom 0 repainting its whole 1000 x 800 view: the scan as a 24-bit picture
// (argument 24) and the paint layer as a 32-bit one with transparent parts (argument 32).
void ReferencePaneRepaint(benchmark::State& state)
{
    App();
    SHuedraneController controller;
    SHeldKeys keys;
    controller.SetReferenceImage(state.range(0) == 24 ? bench_layers::ScanLayer() : bench_layers::PaintLayer());
    TReferencePane pane(controller, keys);
    QScrollArea* scroll = pane.ScrollReference();
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int frame = 2 * scroll->frameWidth();
    pane.resize(1000 + frame, 800 + frame + pane.ToolSub()->sizeHint().height());
    pane.show();
    const QRect view(QPoint(), scroll->viewport()->size());
    QImage screen(view.size(), QImage::Format_RGB32);
    QWidget* paint = pane.PaintReference();

    // Checked once: opaque pixels show as they are, others over the checkerboard.
    paint->render(&screen, QPoint(), QRegion(view), QWidget::RenderFlags());
    const SBitmap& picture = controller.ReferenceImage();
    for (int y = 0; y < view.height(); y += 37)
        for (int x = 0; x < view.width(); x += 41) {
            const SColor c = picture.GetColor(x, y);
            const std::uint32_t checker = ((x ^ y) & 4) != 0 ? 0xFFFFFFFFu : 0xFFE0E0E0u;
            const std::uint32_t shown = screen.pixel(x, y) | 0xFF000000u;
            if ((c.t == 0 && shown != c.Pixel()) || (c.t == 255 && shown != checker)) {
                state.SkipWithError("the pane does not show the picture");
                return;
            }
        }
    for (auto _ : state)
        paint->render(&screen, QPoint(), QRegion(view), QWidget::RenderFlags());
    state.counters["view_px"] = double(view.width()) * view.height();
}
BENCHMARK(ReferencePaneRepaint)->Arg(24)->Arg(32)->Unit(benchmark::kMillisecond);

}  // namespace
