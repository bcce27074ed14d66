// The palette box: edits the current painting colour through a hue ring with saturation and value
// bars, red, green, blue and alpha ramps and spin edits, and shows the colour mode in the ring's
// centre (a click there cycles it). Every change goes at once into the controller's current colour.
#pragma once

#include "TToolBox.h"

#include "SPaletteModel.h"

#include <array>
#include <cstdint>

class QImage;
class QSpinBox;
class SHuedraneController;
class TPaletteBox;

class TFormPalette : public TToolBox
{
    Q_OBJECT

public:
    TFormPalette(SHuedraneController& controller, QWidget* owner);

    // Re-reads the current colour; the main window calls it whenever the colour changes elsewhere.
    // Never changes the colour, the colour mode or (for greys) the box's hue.
    void Update();

    // The box's own hue, saturation and value, which survive colours that have no hue.
    int Hue() const { return model_.Hue(); }
    int Saturation() const { return model_.Saturation(); }
    int Value() const { return model_.Value(); }

protected:
    void FormShow() override { Update(); }
    void changeEvent(QEvent* event) override;

private:
    friend class TPaletteBox;

    // Handlers; `index` is the tag of the paint box or spin edit (palette::BoxIndex).
    void PaintRGBMouseDown(int index, int x, int y, Qt::MouseButtons buttons);
    void PaintRGBMouseMove(int index, int x, int y, Qt::MouseButtons buttons);
    void SpinRGBChange(int index);

    // Redraws a box from the state and, in colour mode, its marker.
    void PaintRgbPaint(int index);
    void RenderBox(int index, QImage& image) const;
    void DrawSwatch();
    // Marker at the box's current value (erasing any old one first); nothing outside colour mode.
    void DrawMarker(int index);
    void EraseMarker(int index);
    void DrawAllMarkers();
    void EraseAllMarkers();
    int MarkerValue(int index) const;
    bool InColourMode() const;
    // Sets the spin edits without their change handler acting (all four, or only one channel's).
    void SetSpins(int onlyIndex = -1);

    SHuedraneController& controller_;
    SPaletteModel model_;
    std::array<int, 7> markers_;  // value each box's marker is drawn at, -1 for none
    bool updating_ = false;
    std::array<TPaletteBox*, 7> boxes_{};
    std::array<QSpinBox*, 7> spins_{};  // 3..6 only
};
