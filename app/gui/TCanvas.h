// The main window's drawing surface: the scroll box "ScrollMain" holding the canvas "PaintMain" that
// shows the controller's display buffer at the zoom step, hands mouse drags to the tools and scrolls
// or zooms for the hand and zoom tools, the wheel (Ctrl zooms about the pointer, Shift scrolls
// sideways), a touchpad pinch and a middle-button drag. Everything it draws goes through one reused
// 128 x 128 tile.
#pragma once

#include "SGeometry.h"
#include "STools.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QScrollArea>

class SHuedraneController;
class TCanvasPaint;

class TCanvas : public QScrollArea
{
    Q_OBJECT

public:
    // The held keys belong to the window's key filter and must outlive the canvas.
    TCanvas(SHuedraneController& controller, const SHeldKeys& keys, QWidget* parent = nullptr);
    ~TCanvas() override;

    // The canvas widget ("PaintMain") inside the scroll box.
    QWidget* PaintMain() const;

    // Zoom commands: tag +1 or -1 steps, 0 returns to actual size; the result is clamped to -4..4.
    void ZoomClick(int tag);
    // Sets the zoom step (clamped) keeping the document point `anchor` under the screen position
    // it had; resizes the canvas and redraws. Returns false when the step was out of range.
    bool ZoomAt(int zoom, ulib::SPoint anchor);
    // Zooms by `steps`, held to the zoom range, keeping the canvas position (at the current zoom)
    // at its place in the view: the wheel's and the pinch's zoom about the pointer.
    void ZoomAroundPoint(int steps, QPoint canvasPosition);

    // The document was replaced, resized or recomposed as a whole (open, import, undo, layer
    // switches): resizes the canvas to the document at the zoom step and redraws everything.
    void DocumentReplaced();
    // Redraws the document rectangle (right and bottom exclusive; clipped to the document).
    void RedrawDocument(const ulib::SRect& rect);
    // Scrolls so that the document point is as near the middle of the view as the canvas allows,
    // and redraws.
    void CentreOn(ulib::SPoint documentPoint);

    // Position conversions between the canvas widget and the document at the zoom step.
    ulib::SPoint ToDocument(QPoint canvasPosition) const;
    QPoint ToCanvas(ulib::SPoint documentPoint) const;

    // The canvas-widget rectangle last handed to the repaint queue (for tests and measurements).
    QRect LastRepaintRect() const { return lastRepaint_; }

signals:
    // A tool changed layers: the document is modified and the Edit menu needs refreshing.
    void DocumentEdited();
    // The zoom step changed: the View menu and status panel 3.
    void ZoomChanged();
    // The current colour or colour mode changed (the spuit): status panel 0 and the palette box.
    void ColourChanged();
    // The mouse moved over the canvas: status panel 2; `over` is false outside the document.
    void PointerMoved(ulib::SPoint documentPoint, bool over);

protected:
    void wheelEvent(QWheelEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    friend class TCanvasPaint;

    // Sets the zoom step and the scroll position together, then redraws.
    void ApplyZoom(int zoom, ulib::SPoint scroll);
    // A wheel turn over the canvas or the view round it (positions relative to `receiver`).
    void Wheel(QWheelEvent* event, QWidget* receiver);
    // A touchpad pinch over the canvas (positions relative to `receiver`); true when the event was one.
    bool PinchEvent(QEvent* event, QWidget* receiver);
    void StartViewDrag(QMouseEvent* event);

    void PaintMainPaint(QPaintEvent* event);
    void PaintMainMouseDown(QMouseEvent* event);
    void PaintMainMouseMove(QMouseEvent* event);
    void PaintMainMouseUp(QMouseEvent* event);
    void ResizeCanvas();
    void RequestRepaint(const QRect& canvasRect);

    SHuedraneController& controller_;
    const SHeldKeys& keys_;
    TCanvasPaint* paint_ = nullptr;
    QImage tile_;                    // the one drawing tile, re-created only if it ever differs
    bool suppressPaint_ = false;     // set while the program resizes or scrolls the canvas
    STool dragTool_ = ToolNone;      // the tool of the drag in progress
    QPoint dragStartScreen_;         // hand tool: global mouse position at mouse down
    QPoint dragStartScroll_;         // hand tool: scroll position at mouse down
    QRect lastRepaint_;
    std::int32_t wheelZoom_ = 0;     // a wheel turn short of a zoom step, kept for the next turn
    double pinchScale_ = 1.0;        // the pinch's scale since its last zoom step
};
