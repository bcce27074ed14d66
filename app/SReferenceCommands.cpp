// The reference-image commands: the list of pictures beside the canvas, which of them is current
// and loaded, the pane's zoom step, and picking a colour from the loaded picture.
#include "SHuedraneController.h"

#include "SFileListDialog.h"
#include "SSpiAccess.h"
#include "Sximage.h"

#include <algorithm>

using namespace ulib;

namespace {

const char* const ListCaption = "参照画像の一覧";
constexpr std::int32_t ReferenceZoomLimit = 4;

// The index as a position in a list of count entries: anything outside the list (a stale index
// after the list shrank, or an empty list) is the first position.
std::int32_t InList(std::int32_t index, std::int32_t count)
{
    return index >= 0 && index < count ? index : 0;
}

}  // namespace

SError SHuedraneController::LoadReference()
{
    if (referenceList.IsEmpty()) {
        referenceImage.Release();
        referenceIndex = 0;
        return ErrorFromIdentifier("object_disabled");
    }
    referenceIndex = InList(referenceIndex, referenceList.Count());
    // A failed read leaves the image empty, so a stale picture is never shown for this entry.
    return ReadImageFile(&referenceImage, referenceList[referenceIndex], PluginPictureReader(spi));
}

SError SHuedraneController::EditReferenceList()
{
    const SString before =
        referenceList.IsEmpty() ? SString() : referenceList[InList(referenceIndex, referenceList.Count())];

    SFileListDialog dialog;
    dialog.caption = SString(ListCaption);
    dialog.paths = referenceList;
    dialog.filters = GetPictureFilters(spi);
    if (!dialog.Execute())
        return 0;

    referenceList = dialog.paths;
    if (referenceList.IsEmpty()) {
        referenceImage.Release();
        referenceIndex = 0;
        return 0;
    }
    referenceIndex = InList(referenceIndex, referenceList.Count());
    if (referenceList[referenceIndex] != before)
        referenceIndex = std::max(referenceList.IndexOf(before), 0);
    if (SError err = LoadReference()) {
        referenceImage.Release();
        return err;
    }
    return 0;
}

SError SHuedraneController::AppendReferences()
{
    if (!referenceDialog.Open())
        return 0;
    return PutReferences(referenceDialog.fileNames);
}

SError SHuedraneController::PutReferences(const SArray<SString>& files)
{
    if (files.IsEmpty())
        return 0;
    referenceIndex = InList(referenceIndex, referenceList.Count());
    std::int32_t at = referenceIndex;
    for (const SString& file : files) {
        if (SError err = referenceList.Insert(at, file)) {
            // The list is full: what was inserted so far stays, the first of it current.
            if (at == referenceIndex)
                return err;
            break;
        }
        ++at;
    }
    if (SError err = LoadReference()) {
        RemoveReference();
        return err;
    }
    return 0;
}

SError SHuedraneController::ExportToReference()
{
    SString exported;
    if (SError err = Export(SString(), &exported))
        return err;
    // A cancelled export dialog hands back no path: the user only pressed Cancel, so there is
    // nothing to add and nothing to report.
    if (exported.IsEmpty())
        return 0;
    return PutReferences({exported});
}

void SHuedraneController::RemoveReference()
{
    if (referenceList.IsEmpty())
        return;
    referenceList.Delete(InList(referenceIndex, referenceList.Count()));
    // Entries that cannot be read are dropped until one loads; nothing is reported on the way.
    while (!referenceList.IsEmpty()) {
        referenceIndex = InList(referenceIndex, referenceList.Count());
        if (LoadReference() == 0)
            return;
        referenceList.Delete(referenceIndex);
    }
    referenceIndex = 0;
    referenceImage.Release();
}

SError SHuedraneController::MoveReference(std::int32_t n)
{
    if (referenceList.IsEmpty()) {
        referenceImage.Release();
        referenceIndex = 0;
        return ErrorFromIdentifier("object_disabled");
    }
    const std::int32_t count = referenceList.Count();
    const std::int32_t moved = (InList(referenceIndex, count) + n % count) % count;
    referenceIndex = moved < 0 ? moved + count : moved;
    if (SError err = LoadReference()) {
        // Shown here, before the entry goes, and not handed back: the window would show it twice.
        ReportError(err);
        RemoveReference();
    }
    return 0;
}

void SHuedraneController::ZoomReference(std::int32_t tag)
{
    const std::int32_t step = tag == 0 ? 0 : referenceZoom + tag;
    referenceZoom = std::clamp(step, -ReferenceZoomLimit, ReferenceZoomLimit);
}

bool SHuedraneController::PickReferenceColour(SPoint imagePoint)
{
    if (!referenceImage.Bounds().Contains(imagePoint))
        return false;
    const SColor pixel = referenceImage.GetColor(imagePoint.x, imagePoint.y);
    if (pixel.t == 255) {
        tools.colourMode = SColourMode::Eraser;
    } else {
        tools.currentColour = pixel;
        tools.colourMode = SColourMode::Colour;
    }
    return true;
}
