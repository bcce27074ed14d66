// The one application controller of the running program, reached by every window. The entry
// creates it before the windows and destroys it after the message loop has ended.
#pragma once

class SHuedraneController;

// The controller in use; nullptr before the entry installs one and after it is gone.
SHuedraneController* GlobalController();
// Installs the controller (not owned); nullptr when it is destroyed.
void SetGlobalController(SHuedraneController* controller);
