// The import and export options record, shared read-only by the conversions and owned by the
// controller. Field order is the record's; the dialog and the settings store follow it.
#pragma once

#include "SColor.h"
#include "SString.h"

#include <cstdint>

struct SHuedraneOptions
{
    ulib::SString spiDirectory;  // picture plug-in folder; empty searches automatically
    bool importLevelEnabled = false;
    std::int32_t importLevelWhite = 255;
    std::int32_t importLevelBlack = 0;
    std::int32_t importGengaCompress = 0;  // 0 normal, 1 lossy, 2 genga left out
    std::int32_t exportFormat = 1;         // 0 BMP, 1 PNG, 2 JPEG
    bool export24Bit = false;
    std::int32_t exportTargetLayers = 0;   // 0..5
    std::int32_t exportMinimizeRate = 1;   // reduction divisor; 0 and 1 are full size
    bool exportBlackTraceEnabled = false;
    ulib::SColor exportBlackTraceColour = ulib::SColor::Black;
    bool exportGamutEnabled = false;
    std::int32_t exportGamutMax = 255;
    std::int32_t exportGamutMin = 0;
    bool exportBinarizeOutline = false;    // not saved: lasts until the program ends
    ulib::SColor exportBackgroundColour = ulib::SColor::White;  // not saved
    bool importBinarize = false;
    bool importAntiHole = false;
};
