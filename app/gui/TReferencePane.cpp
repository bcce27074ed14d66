// The reference pane: paint events draw the reference picture through one reused tile, mouse
// presses pick colours, drag the view or zoom it around the clicked picture point.
#include "TReferencePane.h"

#include "SCanvasTile.h"
#include "SHeldKeyFilter.h"
#include "STileDrawing.h"
#include "SHuedraneController.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

// The "PaintReference" widget: owns nothing, hands its events to the pane.
class TReferencePaint : public QWidget
{
public:
    explicit TReferencePaint(TReferencePane& pane) : pane_(pane)
    {
        setObjectName(QStringLiteral("PaintReference"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* event) override { pane_.PaintReferencePaint(event); }
    void mousePressEvent(QMouseEvent* event) override { pane_.PaintReferenceMouseDown(event); }
    void mouseMoveEvent(QMouseEvent* event) override { pane_.PaintReferenceMouseMove(event); }
    void mouseReleaseEvent(QMouseEvent* event) override { pane_.PaintReferenceMouseUp(event); }

private:
    TReferencePane& pane_;
};

TReferencePane::TReferencePane(SHuedraneController& controller, const SHeldKeys& keys, QWidget* parent)
    : QWidget(parent), controller_(controller), keys_(keys),
      tile_(canvas::TileSize, canvas::TileSize, QImage::Format_RGB32)
{
    setObjectName(QStringLiteral("PanelReference"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    toolSub_ = new QToolBar(this);
    toolSub_->setObjectName(QStringLiteral("ToolSub"));
    toolSub_->setMovable(false);
    layout->addWidget(toolSub_);

    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("ScrollReference"));
    scroll_->setWidgetResizable(false);
    paint_ = new TReferencePaint(*this);
    scroll_->setWidget(paint_);
    layout->addWidget(scroll_, 1);

    shownZoom_ = controller_.ReferenceZoom();
    ResizePaint();
}

TReferencePane::~TReferencePane() = default;

QWidget* TReferencePane::PaintReference() const
{
    return paint_;
}

ulib::SPoint TReferencePane::ToImage(QPoint panePosition) const
{
    const std::int32_t z = shownZoom_;
    return {canvas::ToDocument(panePosition.x(), z), canvas::ToDocument(panePosition.y(), z)};
}

QPoint TReferencePane::ToPane(ulib::SPoint imagePoint) const
{
    const std::int32_t z = shownZoom_;
    return {canvas::ToScreen(imagePoint.x, z), canvas::ToScreen(imagePoint.y, z)};
}

QPoint TReferencePane::ScrollPosition() const
{
    return {scroll_->horizontalScrollBar()->value(), scroll_->verticalScrollBar()->value()};
}

void TReferencePane::SetScrollPosition(QPoint position)
{
    suppressPaint_ = true;
    scroll_->horizontalScrollBar()->setValue(position.x());
    scroll_->verticalScrollBar()->setValue(position.y());
    suppressPaint_ = false;
}

void TReferencePane::ResizePaint()
{
    const std::int32_t z = std::clamp(controller_.ReferenceZoom(), canvas::MinZoom, canvas::MaxZoom);
    const ulib::SBitmap& picture = controller_.ReferenceImage();
    const QSize size(canvas::ToScreen(picture.Width(), z), canvas::ToScreen(picture.Height(), z));
    suppressPaint_ = true;
    paint_->setFixedSize(size);
    suppressPaint_ = false;
    shownZoom_ = z;
}

void TReferencePane::ImageChanged()
{
    const QSize view = scroll_->viewport()->size();
    const QPoint half(view.width() / 2, view.height() / 2);
    const bool wasEmpty = paint_->width() == 0 || paint_->height() == 0;
    // The picture point in the middle of the view, at the zoom the paint box was sized for.
    const QPoint middle = ScrollPosition() + half;
    const ulib::SPoint anchor{canvas::ToDocument(middle.x(), shownZoom_), canvas::ToDocument(middle.y(), shownZoom_)};
    ResizePaint();
    if (wasEmpty)
        SetScrollPosition({0, 0});
    else
        SetScrollPosition(ToPane(anchor) - half);
    paint_->update();
}

void TReferencePane::ZoomAt(std::int32_t step, ulib::SPoint anchor)
{
    const std::int32_t before = controller_.ReferenceZoom();
    const std::int32_t old = shownZoom_;
    const QPoint scroll = ScrollPosition();
    controller_.ZoomReference(step);
    if (controller_.ReferenceZoom() == before)
        return;  // already at the end of the range
    ResizePaint();
    const std::int32_t zoom = shownZoom_;
    const ulib::SPoint kept = canvas::ScrollKeepingPoint({scroll.x(), scroll.y()}, anchor, old, zoom);
    SetScrollPosition({kept.x, kept.y});
    paint_->update();
    emit ZoomChanged();
}

TReferencePane::SAction TReferencePane::ChooseAction(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) const
{
    const SHeldKeys keys = KeysAtMouse(keys_, modifiers);
    const bool shift = keys.shift, ctrl = keys.ctrl;
    const bool left = button == Qt::LeftButton, right = button == Qt::RightButton;
    if (shift && left)
        return SAction::Drag;
    if (ctrl && left)
        return SAction::ZoomIn;
    if (ctrl && right)
        return SAction::ZoomOut;
    if (keys.enter)
        return SAction::Pick;
    const std::int32_t tool = controller_.Window().toolMode;
    if (left && tool == ToolHand)
        return SAction::Drag;
    if (left && tool == ToolZoomIn)
        return SAction::ZoomIn;
    if ((left && tool == ToolZoomOut) || (right && (tool == ToolZoomIn || tool == ToolZoomOut)))
        return SAction::ZoomOut;
    return SAction::Pick;
}

void TReferencePane::Pick(QPoint panePosition)
{
    if (controller_.PickReferenceColour(ToImage(panePosition)))
        emit ColourPicked();
}

void TReferencePane::PaintReferenceMouseDown(QMouseEvent* event)
{
    if (action_ != SAction::None)
        return;  // a second button during a drag changes nothing
    const QPoint at = event->position().toPoint();
    action_ = ChooseAction(event->button(), event->modifiers());
    switch (action_) {
    case SAction::Drag:
        dragStartScreen_ = event->globalPosition().toPoint();
        dragStartScroll_ = ScrollPosition();
        break;
    case SAction::ZoomIn:
    case SAction::ZoomOut:
        ZoomAt(action_ == SAction::ZoomIn ? 1 : -1, ToImage(at));
        break;
    case SAction::Pick:
        Pick(at);
        break;
    case SAction::None:
        break;
    }
}

void TReferencePane::PaintReferenceMouseMove(QMouseEvent* event)
{
    if (action_ == SAction::Drag) {
        const QPoint pointer = event->globalPosition().toPoint();
        const ulib::SPoint scroll = canvas::DragScroll({dragStartScroll_.x(), dragStartScroll_.y()},
                                                       {dragStartScreen_.x(), dragStartScreen_.y()}, {pointer.x(), pointer.y()});
        SetScrollPosition({scroll.x, scroll.y});
    } else if (action_ == SAction::Pick) {
        Pick(event->position().toPoint());
    }
}

void TReferencePane::PaintReferenceMouseUp(QMouseEvent* event)
{
    // The action ends with the last button, whichever was pressed first.
    if (action_ == SAction::None || event->buttons() != Qt::NoButton)
        return;
    action_ = SAction::None;
    emit MouseReleased();
}

void TReferencePane::PaintReferencePaint(QPaintEvent* event)
{
    if (suppressPaint_)
        return;
    const ulib::SBitmap& picture = controller_.ReferenceImage();
    const std::int32_t z = shownZoom_;
    const ulib::SRect image = canvas::ScreenToDocumentRect(ToSRect(event->rect()), z, picture.Dimensions());
    if (image.IsEmpty())
        return;
    const QRect screen = ToQRect(canvas::DocumentToScreenRect(image, z)) & event->rect() & paint_->rect();

    QPainter painter(paint_);
    DrawThroughTile(painter, tile_, screen,
                    [&](const canvas::STileTarget& target) { canvas::FillPictureTile(picture, z, target); });
}
