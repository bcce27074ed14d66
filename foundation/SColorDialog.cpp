#include "SColorDialog.h"

#include "SPlatform.h"

namespace ulib {

bool SColorDialog::Execute()
{
    SColourDialogRequest request;
    request.caption = caption.Str();
    request.colour = colour;
    request.customColours = customColours;
    request.owner = owner;

    const SColourDialogResponse response = Platform().ColourDialog(request);
    if (response.result == SDialogResult::Failed)
        return false;
    customColours = response.customColours;
    if (response.result != SDialogResult::Ok)
        return false;
    colour = response.colour;
    return true;
}

}  // namespace ulib
