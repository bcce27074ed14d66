// The global controller pointer.
#include "SGlobalController.h"

namespace {
SHuedraneController* TheController = nullptr;
}

SHuedraneController* GlobalController()
{
    return TheController;
}

void SetGlobalController(SHuedraneController* controller)
{
    TheController = controller;
}
