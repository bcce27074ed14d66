// The canvas: paint events draw the display buffer through the one tile, mouse events go to the
// tools as document pixels; the hand and zoom tools, the wheel, a pinch and the middle button move
// the view.
#include "TCanvas.h"

#include "SCanvasTile.h"
#include "SHeldKeyFilter.h"
#include "SHuedraneController.h"
#include "SFindingDrawing.h"
#include "SGapSeamDrawing.h"
#include "SLeftRegionDrawing.h"
#include "STileDrawing.h"

#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

// The "PaintMain" widget: owns nothing, hands its events to the canvas.
class TCanvasPaint : public QWidget
{
public:
    explicit TCanvasPaint(TCanvas& canvas) : canvas_(canvas)
    {
        setObjectName(QStringLiteral("PaintMain"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent* event) override { canvas_.PaintMainPaint(event); }
    void mousePressEvent(QMouseEvent* event) override { canvas_.PaintMainMouseDown(event); }
    void mouseMoveEvent(QMouseEvent* event) override { canvas_.PaintMainMouseMove(event); }
    void mouseReleaseEvent(QMouseEvent* event) override { canvas_.PaintMainMouseUp(event); }
    // Only the pinch goes to the canvas here: other events also come while the canvas is torn down.
    bool event(QEvent* event) override
    {
        return (event->type() == QEvent::NativeGesture && canvas_.PinchEvent(event, this)) || QWidget::event(event);
    }
    void wheelEvent(QWheelEvent* event) override { canvas_.Wheel(event, this); }
    // Off the canvas the position panel shows nothing.
    void leaveEvent(QEvent*) override { emit canvas_.PointerMoved({}, false); }

private:
    TCanvas& canvas_;
};

namespace {

SMouseButton ButtonOf(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return SMouseButton::Left;
    case Qt::RightButton: return SMouseButton::Right;
    default: return SMouseButton::Other;
    }
}

// Keeps a document-space rectangle inside the document before it is mapped to the screen.
ulib::SRect Clip(const ulib::SRect& r, const ulib::SRect& bounds)
{
    return {std::max(r.left, bounds.left), std::max(r.top, bounds.top), std::min(r.right, bounds.right),
            std::min(r.bottom, bounds.bottom)};
}

}  // namespace

TCanvas::TCanvas(SHuedraneController& controller, const SHeldKeys& keys, QWidget* parent)
    : QScrollArea(parent), controller_(controller), keys_(keys),
      tile_(canvas::TileSize, canvas::TileSize, QImage::Format_RGB32)
{
    setObjectName(QStringLiteral("ScrollMain"));
    setWidgetResizable(false);
    paint_ = new TCanvasPaint(*this);
    setWidget(paint_);
    ResizeCanvas();
}

TCanvas::~TCanvas() = default;

QWidget* TCanvas::PaintMain() const
{
    return paint_;
}

void TCanvas::ResizeCanvas()
{
    const std::int32_t z = controller_.Zoom();
    const QSize size(canvas::ToScreen(controller_.Cel().display.Width(), z),
                     canvas::ToScreen(controller_.Cel().display.Height(), z));
    suppressPaint_ = true;
    paint_->setFixedSize(size);
    suppressPaint_ = false;
}

void TCanvas::ZoomClick(int tag)
{
    const int zoom = tag == 0 ? 0 : std::clamp(controller_.Zoom() + tag, canvas::MinZoom, canvas::MaxZoom);
    // The menu zoom keeps the document point at the middle of the view where it was.
    const QPoint middle(horizontalScrollBar()->value() + viewport()->width() / 2,
                        verticalScrollBar()->value() + viewport()->height() / 2);
    ZoomAt(zoom, ToDocument(middle));
}

bool TCanvas::ZoomAt(int zoom, ulib::SPoint anchor)
{
    if (zoom < canvas::MinZoom || zoom > canvas::MaxZoom)
        return false;
    const ulib::SPoint scroll{horizontalScrollBar()->value(), verticalScrollBar()->value()};
    ApplyZoom(zoom, canvas::ScrollKeepingPoint(scroll, anchor, controller_.Zoom(), zoom));
    return true;
}

void TCanvas::ZoomAroundPoint(int steps, QPoint canvasPosition)
{
    const std::int32_t old = controller_.Zoom();
    const std::int32_t zoom = std::clamp(old + steps, canvas::MinZoom, canvas::MaxZoom);
    if (zoom == old)
        return;
    const ulib::SPoint scroll{horizontalScrollBar()->value(), verticalScrollBar()->value()};
    ApplyZoom(zoom, canvas::ScrollKeepingScreenPoint(scroll, {canvasPosition.x(), canvasPosition.y()}, old, zoom));
}

void TCanvas::ApplyZoom(int zoom, ulib::SPoint scroll)
{
    const std::int32_t old = controller_.Zoom();
    controller_.SetZoom(zoom);
    ResizeCanvas();
    suppressPaint_ = true;
    horizontalScrollBar()->setValue(scroll.x);
    verticalScrollBar()->setValue(scroll.y);
    suppressPaint_ = false;
    RequestRepaint(paint_->rect());
    if (zoom != old)
        emit ZoomChanged();
}

void TCanvas::wheelEvent(QWheelEvent* event)
{
    Wheel(event, viewport());
}

void TCanvas::Wheel(QWheelEvent* event, QWidget* receiver)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers & Qt::ControlModifier) {
        if (const int steps = canvas::WheelSteps(wheelZoom_, event->angleDelta().y()))
            ZoomAroundPoint(steps, paint_->mapFrom(receiver, event->position().toPoint()));
        event->accept();
        return;
    }
    if (modifiers & Qt::ShiftModifier) {
        // A touchpad gives pixels; a wheel gives notches, each three lines of the scroll bar.
        const QPoint pixels = event->pixelDelta();
        const QPoint angle = event->angleDelta();
        const int delta = !pixels.isNull() ? (pixels.x() != 0 ? pixels.x() : pixels.y())
                                           : (angle.x() != 0 ? angle.x() : angle.y()) * 3 *
                                                 horizontalScrollBar()->singleStep() / canvas::WheelNotch;
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - delta);
        event->accept();
        return;
    }
    QScrollArea::wheelEvent(event);
}

bool TCanvas::viewportEvent(QEvent* event)
{
    return PinchEvent(event, viewport()) || QScrollArea::viewportEvent(event);
}

bool TCanvas::PinchEvent(QEvent* event, QWidget* receiver)
{
    if (event->type() != QEvent::NativeGesture)
        return false;
    auto* gesture = static_cast<QNativeGestureEvent*>(event);
    switch (gesture->gestureType()) {
    case Qt::BeginNativeGesture:
        pinchScale_ = 1.0;
        break;
    case Qt::ZoomNativeGesture: {
        // Each zoom step doubles or halves the view: a step once the fingers have done as much.
        pinchScale_ *= 1.0 + gesture->value();
        const int steps = pinchScale_ >= 2.0 ? 1 : pinchScale_ <= 0.5 ? -1 : 0;
        if (steps != 0) {
            pinchScale_ = 1.0;
            ZoomAroundPoint(steps, paint_->mapFrom(receiver, gesture->position().toPoint()));
        }
        break;
    }
    default:
        break;
    }
    event->accept();
    return true;
}

void TCanvas::StartViewDrag(QMouseEvent* event)
{
    dragTool_ = ToolHand;
    dragStartScreen_ = event->globalPosition().toPoint();
    dragStartScroll_ = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void TCanvas::DocumentReplaced()
{
    ResizeCanvas();
    RequestRepaint(paint_->rect());
}

void TCanvas::RedrawDocument(const ulib::SRect& rect)
{
    const ulib::SRect inside = Clip(rect, controller_.Cel().display.Bounds());
    if (inside.IsEmpty())
        return;
    RequestRepaint(ToQRect(canvas::DocumentToScreenRect(inside, controller_.Zoom())));
}

void TCanvas::CentreOn(ulib::SPoint documentPoint)
{
    const QPoint at = ToCanvas(documentPoint);
    horizontalScrollBar()->setValue(at.x() - viewport()->width() / 2);
    verticalScrollBar()->setValue(at.y() - viewport()->height() / 2);
    RequestRepaint(paint_->rect());
}

ulib::SPoint TCanvas::ToDocument(QPoint canvasPosition) const
{
    return {canvas::ToDocument(canvasPosition.x(), controller_.Zoom()), canvas::ToDocument(canvasPosition.y(), controller_.Zoom())};
}

QPoint TCanvas::ToCanvas(ulib::SPoint documentPoint) const
{
    return {canvas::ToScreen(documentPoint.x, controller_.Zoom()), canvas::ToScreen(documentPoint.y, controller_.Zoom())};
}

void TCanvas::RequestRepaint(const QRect& canvasRect)
{
    lastRepaint_ = canvasRect & paint_->rect();
    if (!lastRepaint_.isEmpty())
        paint_->update(lastRepaint_);
}

void TCanvas::PaintMainPaint(QPaintEvent* event)
{
    if (suppressPaint_)
        return;
    const ulib::SBitmap& display = controller_.Cel().display;
    const std::int32_t z = controller_.Zoom();
    const ulib::SRect document = canvas::ScreenToDocumentRect(ToSRect(event->rect()), z, display.Dimensions());
    if (document.IsEmpty())
        return;
    const QRect screen = ToQRect(canvas::DocumentToScreenRect(document, z)) & paint_->rect();

    QPainter painter(paint_);
    DrawThroughTile(painter, tile_, screen, [&](const canvas::STileTarget& target) {
        canvas::FillCanvasTile(display, z, controller_.Cel().silhouette, target);
    });
    DrawLeftRegions(painter, controller_.LeftRegions(), controller_.CurrentLeftRegion(), document, z);
    DrawGapSeams(painter, controller_.GapSeams(), document, z);
    DrawFindings(painter, controller_.CheckFindings(), controller_.CurrentFinding(), document, z, controller_.Cel().paint,
                 controller_.Cel().trace);
}

void TCanvas::PaintMainMouseDown(QMouseEvent* event)
{
    if (dragTool_ != ToolNone)
        return;  // a second button during a drag changes nothing
    // The middle button drags the view whatever the tool.
    if (event->button() == Qt::MiddleButton) {
        StartViewDrag(event);
        return;
    }
    const STool tool = ChooseTool(KeysAtMouse(keys_, event->modifiers()), ButtonOf(event->button()), controller_.Window().toolMode);
    const ulib::SPoint at = ToDocument(event->position().toPoint());
    switch (tool) {
    case ToolNone:
        return;
    case ToolHand:
        StartViewDrag(event);
        return;
    case ToolZoomIn:
    case ToolZoomOut:
        ZoomAt(controller_.Zoom() + (tool == ToolZoomIn ? 1 : -1), at);
        return;
    default:
        break;
    }
    dragTool_ = tool;
    const bool marked = !controller_.LeftRegions().empty();
    RedrawDocument(controller_.MouseDown(tool, at));
    // An edit drops the marks of the last carry's left regions, wherever they are drawn.
    if (marked && controller_.LeftRegions().empty())
        RequestRepaint(paint_->rect());
    if (SStroke::ChangesLayers(tool))
        emit DocumentEdited();
    if (tool == ToolSpuit)
        emit ColourChanged();
}

void TCanvas::PaintMainMouseMove(QMouseEvent* event)
{
    const ulib::SPoint at = ToDocument(event->position().toPoint());
    emit PointerMoved(at, controller_.Cel().display.Bounds().Contains(at));
    if (dragTool_ == ToolHand) {
        const QPoint pointer = event->globalPosition().toPoint();
        const ulib::SPoint scroll = canvas::DragScroll({dragStartScroll_.x(), dragStartScroll_.y()},
                                                       {dragStartScreen_.x(), dragStartScreen_.y()}, {pointer.x(), pointer.y()});
        horizontalScrollBar()->setValue(scroll.x);
        verticalScrollBar()->setValue(scroll.y);
    } else if (dragTool_ != ToolNone) {
        RedrawDocument(controller_.MouseMove(at));
        if (dragTool_ == ToolSpuit)
            emit ColourChanged();
    }
}

void TCanvas::PaintMainMouseUp(QMouseEvent* event)
{
    // The drag ends with the last button, whichever was pressed first.
    if (dragTool_ == ToolNone || event->buttons() != Qt::NoButton)
        return;
    if (dragTool_ != ToolHand) {
        controller_.MouseUp();
        // The gap seams and the check's findings are found again for the layers the stroke left.
        if (controller_.GapSeamsShown() || controller_.CheckShown())
            RequestRepaint(paint_->rect());
    }
    dragTool_ = ToolNone;
}
