// The palette box's colour rules.
#include "SPaletteModel.h"

#include "SHsv.h"
#include "SHuedraneController.h"

using namespace ulib;
using namespace palette;

std::uint32_t SPaletteModel::EnterColourMode(SHuedraneController& controller)
{
    if (controller.Tools().colourMode == SColourMode::Colour)
        return 0;
    controller.SetColourMode(SColourMode::Colour);
    return main_refresh::ToolMenu;
}

std::uint32_t SPaletteModel::Pick(SHuedraneController& controller, int index, int level)
{
    const std::uint32_t refresh = main_refresh::StatusBar | EnterColourMode(controller);
    SColor colour = controller.Tools().currentColour;
    const int alpha = 255 - colour.t;
    switch (index) {
    case BoxHue:
        hue_ = level;
        colour = HsvToColour(hue_, saturation_, alpha, value_);
        break;
    case BoxSaturation:
        saturation_ = level;
        colour = HsvToColour(hue_, saturation_, alpha, value_);
        break;
    case BoxValue:
        value_ = level;
        colour = HsvToColour(hue_, saturation_, alpha, value_);
        break;
    case BoxRed:
        colour.r = std::uint8_t(level);
        break;
    case BoxGreen:
        colour.g = std::uint8_t(level);
        break;
    case BoxBlue:
        colour.b = std::uint8_t(level);
        break;
    default:
        colour.t = std::uint8_t(255 - level);
        break;
    }
    if (colour.t == 255)
        colour.t = 254;
    if (index >= BoxRed) {
        // A grey has no hue of its own: the box keeps the one it had.
        const SHsv hsv = ColourToHsv(colour);
        saturation_ = hsv.saturation;
        value_ = hsv.value;
        if (hsv.hue != 0)
            hue_ = hsv.hue;
    }
    controller.SetCurrentColour(colour);
    return refresh;
}

std::uint32_t SPaletteModel::Spin(SHuedraneController& controller, int index, int value)
{
    const std::uint32_t refresh = main_refresh::StatusBar | EnterColourMode(controller);
    SColor colour = controller.Tools().currentColour;
    const auto level = std::uint8_t(value);
    switch (index) {
    case BoxRed:
        colour.r = level;
        break;
    case BoxGreen:
        colour.g = level;
        break;
    case BoxBlue:
        colour.b = level;
        break;
    default:
        // The spin edit's range starts at 1, so this is never fully transparent.
        colour.t = std::uint8_t(255 - level);
        break;
    }
    if (index != BoxAlpha) {
        const SHsv hsv = ColourToHsv(colour);
        hue_ = hsv.hue;
        saturation_ = hsv.saturation;
        value_ = hsv.value;
    }
    controller.SetCurrentColour(colour);
    return refresh;
}

void SPaletteModel::Follow(SColor colour)
{
    const SHsv hsv = ColourToHsv(colour);
    saturation_ = hsv.saturation;
    value_ = hsv.value;
    if (hsv.saturation != 0)
        hue_ = hsv.hue;
}
