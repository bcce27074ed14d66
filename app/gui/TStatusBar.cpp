// The status bar's five panels: drawn from the controller's state on every paint, so a Refresh after
// any change is all the window has to do.
#include "TStatusBar.h"

#include "SCanvasTile.h"
#include "SHuedraneController.h"
#include "SMainWindowRules.h"
#include "SUiText.h"

#include <QEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int PalettePitch = 16;
constexpr int PaletteSwatchWidth = 12;
constexpr int PaletteInset = 2;

QColor ToQColor(const ulib::SColor& c)
{
    return QColor(c.r, c.g, c.b);
}

// The two 14 x 14 mode pictures, drawn once: an eraser block and a small landscape picture. Their
// background is transparent so the panel shows through.
const QImage& EraserBitmapMini()
{
    static const QImage image = [] {
        QImage out(14, 14, QImage::Format_ARGB32);
        out.fill(Qt::transparent);
        QPainter p(&out);
        p.setPen(Qt::black);
        p.setBrush(QColor(240, 240, 255));
        p.drawRect(1, 5, 11, 6);
        p.setBrush(QColor(80, 120, 220));
        p.drawRect(1, 5, 4, 6);
        return out;
    }();
    return image;
}

const QImage& GraphicsBitmapMini()
{
    static const QImage image = [] {
        QImage out(14, 14, QImage::Format_ARGB32);
        out.fill(Qt::transparent);
        QPainter p(&out);
        p.setPen(Qt::black);
        p.setBrush(QColor(160, 210, 255));
        p.drawRect(0, 1, 13, 11);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 160, 60));
        p.drawPolygon(QPolygon({QPoint(1, 12), QPoint(5, 6), QPoint(9, 12)}));
        p.setBrush(QColor(240, 200, 40));
        p.drawEllipse(8, 3, 3, 3);
        return out;
    }();
    return image;
}

}  // namespace

TStatusBar::TStatusBar(SHuedraneController& controller, const SHeldKeys& keys, QWidget* parent)
    : QStatusBar(parent), controller_(controller), keys_(keys)
{
    setObjectName(QStringLiteral("StatusBar"));
    setSizeGripEnabled(false);
    MeasurePositionPanel();
}

QSize TStatusBar::sizeHint() const
{
    int width = 0;
    for (int i = 0; i < PanelCount; ++i)
        width += PanelWidth(i);
    return QSize(width, std::max(fontMetrics().height() + 6, 19));
}

int TStatusBar::PanelWidth(int index) const
{
    return index == 2 ? positionWidth_ : PanelWidths[index];
}

void TStatusBar::MeasurePositionPanel()
{
    // A document side is stored in 16 bits; the text is drawn 4 pixels in with a margin after it.
    const int text = fontMetrics().horizontalAdvance(QStringLiteral("(65535,65535)"));
    positionWidth_ = std::max(PanelWidths[2], text + 10);
}

void TStatusBar::changeEvent(QEvent* event)
{
    // Measured once per font rather than on every paint: the bar repaints with each mouse move.
    if (event->type() == QEvent::FontChange)
        MeasurePositionPanel();
    QStatusBar::changeEvent(event);
}

QRect TStatusBar::PanelRect(int index) const
{
    if (index < 0 || index >= PanelCount)
        return {};
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += PanelWidth(i);
    return QRect(left, 0, PanelWidth(index), height());
}

QRect TStatusBar::MessageRect() const
{
    const int left = PanelRect(PanelCount - 1).right() + 1 + MessageInset;
    return QRect(left, 0, std::max(0, width() - left - MessageInset), height());
}

QString TStatusBar::PanelText(int index) const
{
    const SToolState& tools = controller_.Tools();
    switch (index) {
    case 0:
        switch (tools.colourMode) {
        case SColourMode::Colour: {
            const ulib::SColor& c = tools.currentColour;
            QString text = QStringLiteral("(%1,%2,%3)").arg(c.r).arg(c.g).arg(c.b);
            if (c.t != 0)
                text += QStringLiteral(" %1").arg(255 - c.t);
            return text;
        }
        case SColourMode::Eraser: return UiText("消しゴム");
        case SColourMode::Bitmap: return UiText("ビットマップ");
        default: return {};
        }
    case 2:
        return positionShown_ ? QStringLiteral("(%1,%2)").arg(position_.x).arg(position_.y) : QString();
    case 3:
        return QString::fromLatin1(canvas::ZoomText(controller_.Zoom()));
    default:
        return {};
    }
}

void TStatusBar::SetPosition(ulib::SPoint documentPoint, bool over)
{
    if (positionShown_ == over && (!over || position_ == documentPoint))
        return;
    position_ = documentPoint;
    positionShown_ = over;
    update(PanelRect(2));
}

void TStatusBar::Refresh()
{
    update();
}

void TStatusBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    // Hints and reports have their own place after the panels, so the colour and zoom stay in view.
    if (const QString message = currentMessage(); !message.isEmpty()) {
        const QRect place = MessageRect();
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(place, Qt::AlignLeft | Qt::AlignVCenter,
                   fontMetrics().elidedText(message, Qt::ElideRight, place.width()));
    }
    const SToolState& tools = controller_.Tools();
    for (int i = 0; i < PanelCount; ++i) {
        const QRect r = PanelRect(i);
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setPen(palette().color(QPalette::WindowText));
        const int h = r.height();
        switch (i) {
        case 0: {
            if (tools.colourMode == SColourMode::Colour) {
                p.fillRect(QRect(r.left() + 2, r.top() + 2, h - 4, h - 4), ToQColor(tools.currentColour));
            } else if (tools.colourMode == SColourMode::Eraser || tools.colourMode == SColourMode::Bitmap) {
                const QImage& mini =
                    tools.colourMode == SColourMode::Eraser ? EraserBitmapMini() : GraphicsBitmapMini();
                p.drawImage(QPoint(r.left() + 2, r.top() + (h - mini.height()) / 2), mini);
            }
            p.drawText(r.adjusted(h, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, PanelText(0));
            break;
        }
        case 1:
            for (int k = 0; k < int(controller_.QuickPalette().size()); ++k)
                p.fillRect(QRect(r.left() + PaletteInset + k * PalettePitch, r.top() + 2, PaletteSwatchWidth, h - 4),
                           ToQColor(controller_.QuickPalette()[std::size_t(k)]));
            break;
        case 2:
        case 3:
            p.drawText(r.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, PanelText(i));
            break;
        case 4:
            // Five bars stacked upwards, red up to the current pen, green above it.
            for (int k = 0; k < TracePenCount; ++k) {
                const QColor colour = k <= tools.tracePen ? QColor(255, 0, 0) : QColor(0, 160, 0);
                p.fillRect(QRect(r.left() + 6, r.bottom() - 4 - k * 3, 10 + k * 6, 2), colour);
            }
            break;
        default:
            break;
        }
    }
}

void TStatusBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    if (PanelRect(0).contains(at))
        ClickColourMode();
    else if (PanelRect(1).contains(at))
        ClickQuickPalette(at.x() - PanelRect(1).left());
    else if (PanelRect(4).contains(at))
        ClickPen();
}

void TStatusBar::ClickColourMode()
{
    controller_.CycleColourMode();
    update();
    emit ColourChanged();
}

void TStatusBar::ClickQuickPalette(int offset)
{
    const int entry = offset / PalettePitch;
    if (offset < 0 || entry >= int(controller_.QuickPalette().size()))
        return;
    ClickQuickColour(controller_, entry, keys_.space);
    update();
    emit ColourChanged();
}

void TStatusBar::ClickPen()
{
    controller_.CycleTracePen();
    update(PanelRect(4));
    emit PenChanged();
}
