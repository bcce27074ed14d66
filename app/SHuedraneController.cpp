// Controller construction and the document-state operations every command shares.
#include "SHuedraneController.h"

using namespace ulib;

namespace {
const char* const UntitledTitle = "無題 - Huedrane";
const char* const UntitledFileName = "無題.hdq";
}  // namespace

SHuedraneController::SHuedraneController() : title(UntitledTitle)
{
    const SColor firstEight[8] = {SColor::Black, SColor::Red,  SColor::Yellow,  SColor::Green,
                                  SColor::Cyan,  SColor::Blue, SColor::Magenta, SColor::White};
    quickPalette.fill(SColor::Black);
    for (int i = 0; i < 8; ++i)
        quickPalette[i] = firstEight[i];
}

void SHuedraneController::MarkModified()
{
    if (state == SDocumentState::Saved)
        state = SDocumentState::Modified;
}

void SHuedraneController::ClearCel()
{
    cel.ResetDocument();
}

void SHuedraneController::ResetIdentity()
{
    state = SDocumentState::None;
    path = SString();
    defaultFileName = SString(UntitledFileName);
    title = SString(UntitledTitle);
}
