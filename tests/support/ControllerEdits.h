// Test set-up through the controller's operations: part of its options or window state changed,
// the rest kept.
#pragma once

#include "SHuedraneController.h"

template <class Edit>
void EditOptions(SHuedraneController& controller, Edit edit)
{
    SHuedraneOptions options = controller.Options();
    edit(options);
    controller.SetOptions(options);
}

template <class Edit>
void EditWindow(SHuedraneController& controller, Edit edit)
{
    SMainWindowState window = controller.Window();
    edit(window);
    controller.SetWindow(window);
}
