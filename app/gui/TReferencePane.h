// The reference pane "PanelReference" right of the canvas: the sub tool bar "ToolSub" (the main
// window puts the reference buttons on it) above the scroll box "ScrollReference", whose paint box
// "PaintReference" shows the controller's reference picture at the reference zoom. The mouse picks
// colours from the picture, drags the view or zooms it.
#pragma once

#include "SGeometry.h"
#include "STools.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

class QMouseEvent;
class QPaintEvent;
class QScrollArea;
class QToolBar;
class SHuedraneController;
class TReferencePaint;

class TReferencePane : public QWidget
{
    Q_OBJECT

public:
    // The held keys belong to the window's key filter and must outlive the pane.
    TReferencePane(SHuedraneController& controller, const SHeldKeys& keys, QWidget* parent = nullptr);
    ~TReferencePane() override;

    QToolBar* ToolSub() const { return toolSub_; }
    QScrollArea* ScrollReference() const { return scroll_; }
    QWidget* PaintReference() const;

    // The reference picture or the reference zoom changed: sizes the paint box to the picture at
    // the zoom and redraws it. The picture point at the middle of the view stays there; a picture
    // shown into an empty pane starts at its top-left corner.
    void ImageChanged();

    // Position conversions between the paint box and the picture at the reference zoom.
    ulib::SPoint ToImage(QPoint panePosition) const;
    QPoint ToPane(ulib::SPoint imagePoint) const;

signals:
    // A pick changed the current colour or the colour mode: status panel 0 and the palette box.
    void ColourPicked();
    // The button of a pick, drag or zoom was released: the Reference menu's enabling.
    void MouseReleased();
    // A click in the pane changed the reference zoom.
    void ZoomChanged();

private:
    friend class TReferencePaint;

    // What a press in the paint box does; chosen at the press and kept until the release.
    enum class SAction { None, Pick, Drag, ZoomIn, ZoomOut };

    SAction ChooseAction(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) const;
    void PaintReferencePaint(QPaintEvent* event);
    void PaintReferenceMouseDown(QMouseEvent* event);
    void PaintReferenceMouseMove(QMouseEvent* event);
    void PaintReferenceMouseUp(QMouseEvent* event);
    void Pick(QPoint panePosition);
    void ZoomAt(std::int32_t step, ulib::SPoint anchor);
    void ResizePaint();
    QPoint ScrollPosition() const;
    void SetScrollPosition(QPoint position);

    SHuedraneController& controller_;
    const SHeldKeys& keys_;
    QToolBar* toolSub_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    TReferencePaint* paint_ = nullptr;
    QImage tile_;                   // the one drawing tile
    std::int32_t shownZoom_ = 0;    // the zoom the paint box is sized for
    bool suppressPaint_ = false;    // set while the program resizes or scrolls the paint box
    SAction action_ = SAction::None;
    QPoint dragStartScreen_;        // drag: global mouse position at the press
    QPoint dragStartScroll_;        // drag: scroll position at the press
};
