// What the main window keeps of its own and the settings store remembers: where it stands, the
// selected tool, the split between canvas and reference pane, and which bars show. The controller
// holds it so that the settings and the window logic stay free of any window system.
#pragma once

#include "SGeometry.h"
#include "STools.h"

#include <cstdint>

struct SMainWindowState
{
    ulib::SRect normalRect;          // the window's restored rectangle
    bool hasNormalRect = false;      // a remembered rectangle to apply
    std::int32_t toolMode = ToolPaint;
    std::int32_t splitBar = 50;      // the split bar's left edge in percent of the client width
    bool toolBarVisible = true;
    bool statusBarVisible = true;
    bool subToolBarVisible = true;
};
