#include "TFormBrush.h"

#include "SBrushPreview.h"
#include "SHuedraneController.h"
#include "SUiText.h"

#include <QFrame>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSlider* MakeTrack(QWidget* parent, const char* name, int maximum, int tick)
{
    auto* track = new QSlider(Qt::Horizontal, parent);
    track->setObjectName(name);
    track->setRange(0, maximum);
    track->setTickInterval(tick);
    track->setTickPosition(QSlider::TicksBelow);
    track->setPageStep(tick);
    return track;
}

QSpinBox* MakeSpin(QWidget* parent, const char* name, int maximum)
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(0, maximum);
    return spin;
}

// The 24-bit preview as a Qt image, pixel by pixel (it is small and redrawn only on changes).
QImage ToImage(const ulib::SBitmap& bitmap)
{
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
    for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (std::int32_t x = 0; x < bitmap.Width(); ++x) {
            const ulib::SColor c = bitmap.GetColor(x, y);
            row[x] = qRgb(c.r, c.g, c.b);
        }
    }
    return image;
}

}  // namespace

TFormBrush::TFormBrush(SHuedraneController& controller, QWidget* owner)
    : TToolBox("FormBrush", "ブラシボックス", owner), controller_(controller)
{
    preview_.Create(brush_preview::Width, brush_preview::Height, 24);

    TrackRadius = MakeTrack(this, "TrackRadius", 100, 10);
    TrackShape = MakeTrack(this, "TrackShape", 100, 10);
    TrackDensity = MakeTrack(this, "TrackDensity", 255, 16);
    SpinRadius = MakeSpin(this, "SpinRadius", 200);
    SpinShape = MakeSpin(this, "SpinShape", 100);
    SpinDensity = MakeSpin(this, "SpinDensity", 255);

    PanelPreview = new QFrame(this);
    PanelPreview->setObjectName("PanelPreview");
    PanelPreview->setFrameShape(QFrame::StyledPanel);
    PanelPreview->setFrameShadow(QFrame::Sunken);
    PaintPreview = new QLabel(PanelPreview);
    PaintPreview->setObjectName("PaintPreview");
    PaintPreview->setFixedSize(brush_preview::Width, brush_preview::Height);
    auto* panelLayout = new QVBoxLayout(PanelPreview);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    panelLayout->addWidget(PaintPreview);

    auto* grid = new QGridLayout(this);
    const struct { const char* caption; QSlider* track; QSpinBox* spin; } rows[] = {
        {"半径", TrackRadius, SpinRadius}, {"形状", TrackShape, SpinShape}, {"濃度", TrackDensity, SpinDensity}};
    int row = 0;
    for (const auto& r : rows) {
        grid->addWidget(new QLabel(UiText(r.caption), this), row, 0);
        grid->addWidget(r.track, row, 1);
        grid->addWidget(r.spin, row, 2);
        ++row;
    }
    grid->addWidget(PanelPreview, row, 0, 1, 3, Qt::AlignHCenter);

    connect(TrackRadius, &QSlider::valueChanged, this, [this] { TrackRadiusChange(); });
    connect(TrackShape, &QSlider::valueChanged, this, [this] { TrackShapeChange(); });
    connect(TrackDensity, &QSlider::valueChanged, this, [this] { TrackDensityChange(); });
    connect(SpinRadius, &QSpinBox::valueChanged, this, [this] { SpinRadiusChange(); });
    connect(SpinShape, &QSpinBox::valueChanged, this, [this] { SpinShapeChange(); });
    connect(SpinDensity, &QSpinBox::valueChanged, this, [this] { SpinDensityChange(); });

    PaintPreviewPaint();
}

void TFormBrush::FormShow()
{
    const SBrushSettings brush = controller_.Tools().brush;
    // Each setter's change handler copies the value on, so the spin edits are set from the copy.
    TrackRadius->setValue(brush.radius);
    TrackShape->setValue(brush.shape);
    TrackDensity->setValue(brush.density);
    SpinRadius->setValue(brush.radius);
    SpinShape->setValue(brush.shape);
    SpinDensity->setValue(brush.density);
    PaintPreviewPaint();
}

void TFormBrush::TrackRadiusChange()
{
    SetBrushPart(&SBrushSettings::radius, TrackRadius->value());
    SpinRadius->setValue(TrackRadius->value());
    PaintPreviewPaint();
}

void TFormBrush::TrackShapeChange()
{
    SetBrushPart(&SBrushSettings::shape, TrackShape->value());
    SpinShape->setValue(TrackShape->value());
    PaintPreviewPaint();
}

void TFormBrush::TrackDensityChange()
{
    SetBrushPart(&SBrushSettings::density, TrackDensity->value());
    SpinDensity->setValue(TrackDensity->value());
    PaintPreviewPaint();
}

void TFormBrush::SpinRadiusChange()
{
    const int value = SpinRadius->value();
    SetBrushPart(&SBrushSettings::radius, value);
    TrackRadius->setValue(value);
    // The track bar stops at 100. When it already stood there it reports no change, so its
    // handler is run here to write the limit back into the spin edit and the controller.
    if (TrackRadius->value() != value)
        TrackRadiusChange();
    PaintPreviewPaint();
}

void TFormBrush::SpinShapeChange()
{
    SetBrushPart(&SBrushSettings::shape, SpinShape->value());
    TrackShape->setValue(SpinShape->value());
    PaintPreviewPaint();
}

void TFormBrush::SpinDensityChange()
{
    SetBrushPart(&SBrushSettings::density, SpinDensity->value());
    TrackDensity->setValue(SpinDensity->value());
    PaintPreviewPaint();
}

void TFormBrush::SetBrushPart(std::int32_t SBrushSettings::*part, int value)
{
    SBrushSettings brush = controller_.Tools().brush;
    brush.*part = value;
    controller_.SetBrush(brush);
}

void TFormBrush::PaintPreviewPaint()
{
    brush_preview::Draw(preview_, controller_.Tools().brush);
    PaintPreview->setPixmap(QPixmap::fromImage(ToImage(preview_)));
}
