// What the main window keeps of its own and the settings store remembers: where it stands, the
// selected tool, the split between canvas and reference pane, and which bars show. The controller
// holds it so that the settings and the window logic stay free of any window system.
#pragma once

#include "SGeometry.h"
#include "SString.h"
#include "STools.h"

#include <cstdint>

struct SMainWindowState
{
    ulib::SRect normalRect;          // the window's restored rectangle
    bool hasNormalRect = false;      // a remembered rectangle to apply
    bool maximized = false;          // the window was maximised when it last closed
    // Where the tool boxes stand (docked side, floating place, size, shown or not), in the window
    // system's own encoding as base64 text; empty for the first layout.
    ulib::SString layout;
    // The language chosen in the options: "ja", "en", or empty for the user's locale. It takes
    // effect at the next start (SLanguage.h).
    ulib::SString language;
    std::int32_t toolMode = ToolPaint;
    std::int32_t splitBar = 50;      // the split bar's left edge in percent of the client width
    bool toolBarVisible = true;
    bool statusBarVisible = true;
    bool subToolBarVisible = true;
};
