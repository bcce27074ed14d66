#include "TFormPalette.h"

#include "SHsv.h"
#include "SHuedraneController.h"
#include "SMainWindowRules.h"
#include "SPaletteDrawing.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace palette;

namespace {

QRgb Rgb(ulib::SColor colour)
{
    return qRgb(colour.r, colour.g, colour.b);
}

// The eraser shown in the centre in eraser mode (and for a fully transparent colour).
QImage EraserBitmap()
{
    QImage image(SwatchSize, SwatchSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(Qt::black);
    // A block seen from above and tilted: the rubber end, then the paper sleeve.
    p.setBrush(QColor(250, 190, 200));
    p.drawPolygon(QPolygon({QPoint(4, 20), QPoint(12, 12), QPoint(19, 19), QPoint(11, 27)}));
    p.setBrush(QColor(60, 110, 220));
    p.drawPolygon(QPolygon({QPoint(12, 12), QPoint(22, 2), QPoint(29, 9), QPoint(19, 19)}));
    p.drawLine(11, 27, 4, 20);
    p.drawLine(2, 29, 28, 29);
    return image;
}

// The picture shown in the centre in bitmap mode.
QImage GraphicsBitmap()
{
    QImage image(SwatchSize, SwatchSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 200, 250));
    p.drawRect(3, 6, 26, 20);
    p.setBrush(QColor(250, 210, 40));
    p.drawEllipse(QRect(20, 9, 6, 6));
    p.setBrush(QColor(60, 160, 70));
    p.drawPolygon(QPolygon({QPoint(3, 26), QPoint(12, 13), QPoint(18, 20), QPoint(22, 16), QPoint(29, 26)}));
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(2, 5, 27, 21);
    return image;
}

}  // namespace

// One owner-drawn box of the palette: the picture lives in `shown`, and `clean` keeps the same
// picture without the marker so that a marker can be erased by restoring what lay under it.
class TPaletteBox : public QWidget
{
public:
    TPaletteBox(TFormPalette& form, int index, const char* name, QSize size, QWidget* parent)
        : QWidget(parent), form_(form), index_(index)
    {
        setObjectName(QString::fromUtf8(name));
        setProperty("tag", index);
        setFixedSize(size);
        setCursor(Qt::CrossCursor);
        clean = QImage(size, QImage::Format_RGB32);
        shown = clean;
    }

    QImage clean;
    QImage shown;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).drawImage(0, 0, shown);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        const QPoint at = event->position().toPoint();
        form_.PaintRGBMouseDown(index_, at.x(), at.y(), event->buttons());
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        const QPoint at = event->position().toPoint();
        form_.PaintRGBMouseMove(index_, at.x(), at.y(), event->buttons());
    }

private:
    TFormPalette& form_;
    int index_;
};

TFormPalette::TFormPalette(SHuedraneController& controller, QWidget* owner)
    : TToolBox("FormPalette", "カラーパレット", owner), controller_(controller)
{
    markers_.fill(-1);

    auto panel = [this](const char* name) {
        auto* frame = new QFrame(this);
        frame->setObjectName(QString::fromUtf8(name));
        frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        return frame;
    };
    const QSize vertical(BarBreadth, BarLength), horizontal(BarLength, BarBreadth);

    boxes_[BoxHue] = new TPaletteBox(*this, BoxHue, "PaintHue", QSize(132, 132), this);
    QFrame* panelSaturation = panel("PanelSatulation");
    boxes_[BoxSaturation] = new TPaletteBox(*this, BoxSaturation, "PaintSatulation", vertical, panelSaturation);
    QFrame* panelValue = panel("PanelValue");
    boxes_[BoxValue] = new TPaletteBox(*this, BoxValue, "PaintValue", vertical, panelValue);
    for (QFrame* frame : {panelSaturation, panelValue}) {
        auto* layout = new QVBoxLayout(frame);
        layout->setContentsMargins(1, 1, 1, 1);
        layout->addWidget(frame == panelSaturation ? boxes_[BoxSaturation] : boxes_[BoxValue]);
    }

    // The four ramps share one panel, each with its spin edit beside it.
    QFrame* panelRed = panel("PanelRed");
    auto* ramps = new QGridLayout(panelRed);
    ramps->setContentsMargins(2, 2, 2, 2);
    const char* rampNames[] = {"PaintRed", "PaintGreen", "PaintBlue", "PaintAlpha"};
    const char* spinNames[] = {"SpinRed", "SpinGreen", "SpinBlue", "SpinAlpha"};
    for (int index = BoxRed; index <= BoxAlpha; ++index) {
        boxes_[index] = new TPaletteBox(*this, index, rampNames[index - BoxRed], horizontal, panelRed);
        auto* spin = new QSpinBox(panelRed);
        spin->setObjectName(QString::fromUtf8(spinNames[index - BoxRed]));
        spin->setProperty("tag", index);
        spin->setRange(index == BoxAlpha ? 1 : 0, 255);
        spin->setValue(index == BoxAlpha ? 255 : 0);
        spins_[index] = spin;
        connect(spin, &QSpinBox::valueChanged, this, [this, index] { SpinRGBChange(index); });
        ramps->addWidget(boxes_[index], index - BoxRed, 0, Qt::AlignVCenter);
        ramps->addWidget(spin, index - BoxRed, 1);
    }

    auto* top = new QHBoxLayout;
    top->addWidget(boxes_[BoxHue]);
    top->addWidget(panelSaturation);
    top->addWidget(panelValue);
    top->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(panelRed);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // At construction no marker is drawn and hue, saturation and value are 0.
    for (int index = 0; index < BoxCount; ++index) {
        RenderBox(index, boxes_[index]->clean);
        boxes_[index]->shown = boxes_[index]->clean;
    }
    DrawSwatch();
}

bool TFormPalette::InColourMode() const
{
    return controller_.Tools().colourMode == SColourMode::Colour;
}

int TFormPalette::MarkerValue(int index) const
{
    const ulib::SColor colour = controller_.Tools().currentColour;
    switch (index) {
    case BoxHue:
        return model_.Hue();
    case BoxSaturation:
        return model_.Saturation();
    case BoxValue:
        return model_.Value();
    case BoxRed:
        return colour.r;
    case BoxGreen:
        return colour.g;
    case BoxBlue:
        return colour.b;
    default:
        return 255 - colour.t;
    }
}

void TFormPalette::RenderBox(int index, QImage& image) const
{
    if (index != BoxHue) {
        for (int at = 0; at < BarLength; at += 2) {
            const QRgb fill = Rgb(BarColour(index, at, model_.Hue(), model_.Saturation(), model_.Value()));
            for (int along = at; along < at + 2; ++along)
                for (int across = 0; across < BarBreadth; ++across) {
                    if (index == BoxSaturation || index == BoxValue)
                        image.setPixel(across, along, fill);
                    else
                        image.setPixel(along, across, fill);
                }
        }
        return;
    }

    const QPalette& colours = palette();
    image.fill(colours.color(QPalette::Window));
    const QRgb highlight = colours.color(QPalette::Light).rgb();
    const QRgb shadow = colours.color(QPalette::Dark).rgb();
    for (int y = 0; y < RingArea; ++y)
        for (int x = 0; x < RingArea; ++x) {
            const SRingPixel pixel = RingPixel(x, y);
            switch (pixel.part) {
            case SRingPart::Highlight:
                image.setPixel(x, y, highlight);
                break;
            case SRingPart::Ring:
                image.setPixel(x, y, Rgb(ulib::HsvToColour(pixel.hue, 255, 255, 255)));
                break;
            case SRingPart::Shadow:
                image.setPixel(x, y, shadow);
                break;
            case SRingPart::Nothing:
                break;
            }
        }
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRect(17, 17, 111 - 17, 111 - 17));
}

void TFormPalette::DrawSwatch()
{
    // Mode 1 with a visible colour shows a splash of it; a fully transparent colour and mode 2 the
    // eraser, mode 3 the picture, mode 4 nothing.
    QImage swatch(SwatchSize, SwatchSize, QImage::Format_RGB32);
    swatch.fill(Qt::white);
    const ulib::SColor colour = controller_.Tools().currentColour;
    const SColourMode mode = controller_.Tools().colourMode;
    if (mode == SColourMode::Colour && colour.t != 255) {
        for (int y = 0; y < SwatchSize; ++y)
            for (int x = 0; x < SwatchSize; ++x)
                if (SplashRow(y) >> x & 1)
                    swatch.setPixel(x, y, Rgb(colour));
    } else if (mode == SColourMode::Colour || mode == SColourMode::Eraser) {
        swatch = EraserBitmap();
    } else if (mode == SColourMode::Bitmap) {
        swatch = GraphicsBitmap();
    }
    // The ring marker never reaches the centre, so the swatch goes straight into both pictures.
    TPaletteBox* box = boxes_[BoxHue];
    for (QImage* image : {&box->clean, &box->shown}) {
        QPainter p(image);
        p.drawImage(SwatchLeft, SwatchTop, swatch);
    }
    box->update();
}

void TFormPalette::EraseMarker(int index)
{
    TPaletteBox* box = boxes_[std::size_t(index)];
    if (markers_[std::size_t(index)] < 0)
        return;
    for (const SPixel pixel : MarkerPixels(index, markers_[std::size_t(index)]))
        if (box->shown.rect().contains(pixel.x, pixel.y))
            box->shown.setPixel(pixel.x, pixel.y, box->clean.pixel(pixel.x, pixel.y));
    markers_[std::size_t(index)] = -1;
    box->update();
}

void TFormPalette::DrawMarker(int index)
{
    EraseMarker(index);
    if (!InColourMode())
        return;
    TPaletteBox* box = boxes_[std::size_t(index)];
    const int value = MarkerValue(index);
    for (const SPixel pixel : MarkerPixels(index, value))
        if (box->shown.rect().contains(pixel.x, pixel.y))
            box->shown.setPixel(pixel.x, pixel.y, qRgb(255, 255, 255));
    markers_[std::size_t(index)] = value;
    box->update();
}

void TFormPalette::DrawAllMarkers()
{
    for (int index = 0; index < BoxCount; ++index)
        DrawMarker(index);
}

void TFormPalette::EraseAllMarkers()
{
    for (int index = 0; index < BoxCount; ++index)
        EraseMarker(index);
}

void TFormPalette::PaintRgbPaint(int index)
{
    EraseMarker(index);
    TPaletteBox* box = boxes_[std::size_t(index)];
    RenderBox(index, box->clean);
    box->shown = box->clean;
    if (index == BoxHue)
        DrawSwatch();
    DrawMarker(index);
    box->update();
}

void TFormPalette::changeEvent(QEvent* event)
{
    TToolBox::changeEvent(event);
    // The ring's edges are drawn in the system's button colours.
    if (event->type() == QEvent::PaletteChange && boxes_[BoxHue])
        PaintRgbPaint(BoxHue);
}

void TFormPalette::SetSpins(int onlyIndex)
{
    const ulib::SColor colour = controller_.Tools().currentColour;
    const int values[] = {colour.r, colour.g, colour.b, 255 - colour.t};
    const bool was = updating_;
    updating_ = true;
    for (int index = BoxRed; index <= BoxAlpha; ++index)
        if (onlyIndex < 0 || onlyIndex == index)
            spins_[std::size_t(index)]->setValue(values[index - BoxRed]);
    updating_ = was;
}

void TFormPalette::PaintRGBMouseDown(int index, int x, int y, Qt::MouseButtons buttons)
{
    if (index != BoxHue || !InCentre(x, y)) {
        PaintRGBMouseMove(index, x, y, buttons);
        return;
    }
    const std::uint32_t refresh = controller_.CycleColourMode();
    const SColourMode mode = controller_.Tools().colourMode;
    if (mode == SColourMode::Eraser)
        EraseAllMarkers();
    else if (mode == SColourMode::Colour)
        DrawAllMarkers();
    DrawSwatch();
    emit MainRefresh(refresh & ~main_refresh::PaletteBox);
}

void TFormPalette::PaintRGBMouseMove(int index, int x, int y, Qt::MouseButtons buttons)
{
    if (!(buttons & Qt::LeftButton))
        return;
    const int level = index == BoxHue ? HueAt(x, y) : LevelAt(index, x, y);
    const std::uint32_t refresh = model_.Pick(controller_, index, level);
    const bool switched = (refresh & main_refresh::ToolMenu) != 0;

    const bool channelEdit = index >= BoxRed;
    if (channelEdit) {
        PaintRgbPaint(BoxSaturation);
        PaintRgbPaint(BoxValue);
    }
    if (switched)
        DrawAllMarkers();
    else
        DrawMarker(index);
    if (channelEdit)
        DrawMarker(BoxHue);
    if (index == BoxHue || index == BoxValue)
        PaintRgbPaint(BoxSaturation);
    if (index == BoxHue || index == BoxSaturation)
        PaintRgbPaint(BoxValue);

    SetSpins(channelEdit ? index : -1);
    if (!channelEdit)
        for (int bar = BoxRed; bar <= BoxAlpha; ++bar)
            DrawMarker(bar);
    DrawSwatch();
    emit MainRefresh(refresh);
}

void TFormPalette::SpinRGBChange(int index)
{
    if (updating_)
        return;
    const std::uint32_t refresh = model_.Spin(controller_, index, spins_[std::size_t(index)]->value());
    if (refresh & main_refresh::ToolMenu)
        for (int other = 0; other < BoxCount; ++other)
            if (other != index)
                DrawMarker(other);
    DrawMarker(index);
    DrawSwatch();
    if (index != BoxAlpha) {
        PaintRgbPaint(BoxSaturation);
        PaintRgbPaint(BoxValue);
        DrawMarker(BoxHue);
    }
    emit MainRefresh(refresh);
}

void TFormPalette::Update()
{
    EraseAllMarkers();
    model_.Follow(controller_.Tools().currentColour);
    PaintRgbPaint(BoxSaturation);
    PaintRgbPaint(BoxValue);
    if (InColourMode())
        DrawAllMarkers();
    DrawSwatch();
    // The spin edits only show the colour here: letting their handler run would switch the colour
    // mode, reset the hue of a grey, and turn a fully transparent colour (which the alpha spin
    // cannot show) into alpha 1.
    SetSpins();
}
