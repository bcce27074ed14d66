// TFormBrush: the brush box. Three track bars with their spin edits edit the airbrush's radius,
// shape and density in the controller's tool state, and a preview shows one dab of the brush.
#pragma once

#include "TToolBox.h"

#include "SBitmap.h"
#include "SPaintContext.h"

#include <cstdint>

class QFrame;
class QLabel;
class QSlider;
class QSpinBox;
class SHuedraneController;

class TFormBrush : public TToolBox
{
    Q_OBJECT

public:
    TFormBrush(SHuedraneController& controller, QWidget* owner);

    // The preview as last drawn (24-bit, 205 x 77).
    const ulib::SBitmap& PreviewBitmap() const { return preview_; }

    QSlider* TrackRadius = nullptr;
    QSlider* TrackShape = nullptr;
    QSlider* TrackDensity = nullptr;
    QSpinBox* SpinRadius = nullptr;
    QSpinBox* SpinShape = nullptr;
    QSpinBox* SpinDensity = nullptr;
    QFrame* PanelPreview = nullptr;
    QLabel* PaintPreview = nullptr;

protected:
    void FormShow() override;

private:
    void TrackRadiusChange();
    void TrackShapeChange();
    void TrackDensityChange();
    void SpinRadiusChange();
    void SpinShapeChange();
    void SpinDensityChange();
    // One setting of the controller's brush, the others as they are.
    void SetBrushPart(std::int32_t SBrushSettings::*part, int value);
    // Draws the dab into the bitmap and the bitmap onto the paint box.
    void PaintPreviewPaint();

    SHuedraneController& controller_;
    ulib::SBitmap preview_;
};
