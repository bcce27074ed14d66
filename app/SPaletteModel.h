// The palette box's rules without the box: the hue, saturation and value it remembers (they
// survive colours that have no hue), and what a pick in a box or a spin edit does to the
// controller's colour and colour mode.
#pragma once

#include "SColor.h"

#include <cstdint>

class SHuedraneController;

namespace palette {

// The box indices, which are also the paint boxes' and spin edits' tags.
enum BoxIndex : int { BoxHue = 0, BoxSaturation = 1, BoxValue = 2, BoxRed = 3, BoxGreen = 4, BoxBlue = 5, BoxAlpha = 6 };
inline constexpr int BoxCount = 7;

}  // namespace palette

class SPaletteModel
{
public:
    int Hue() const { return hue_; }
    int Saturation() const { return saturation_; }
    int Value() const { return value_; }

    // A level picked with the button held in box index: the hue for the ring, 0..255 along a bar
    // or ramp. Outside colour mode the mode becomes colour first. Hue, saturation and value set the
    // colour from the remembered three (keeping its alpha); a channel sets itself and the three
    // follow it, a grey keeping the remembered hue. The colour never becomes fully transparent
    // (255 is 254). Returns the main_refresh bits.
    std::uint32_t Pick(SHuedraneController& controller, int index, int level);
    // A spin edit's value for red, green, blue or alpha (as opacity, 1..255) in colour mode (the
    // mode becomes colour first); a colour channel sets the three from the colour. Returns the
    // main_refresh bits.
    std::uint32_t Spin(SHuedraneController& controller, int index, int value);
    // The colour changed elsewhere: saturation and value follow it, and the hue unless it is a grey.
    void Follow(ulib::SColor colour);

private:
    // Colour mode for an edit; the refresh bits that switching needed, else 0.
    static std::uint32_t EnterColourMode(SHuedraneController& controller);

    int hue_ = 0;
    int saturation_ = 0;
    int value_ = 0;
};
