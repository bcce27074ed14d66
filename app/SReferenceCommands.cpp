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

// The index as a position in a list of count entries: anything outside the list (a stale index
// after the list shrank, or an empty list) is the first position.
std::int32_t InList(std::int32_t index, std::int32_t count)
{
    return index >= 0 && index < count ? index : 0;
}

}  // namespace

SError SHuedraneController::LoadReference()
{
    if (referenceList_.IsEmpty()) {
        referenceImage_.Release();
        referenceIndex_ = 0;
        return ErrorFromIdentifier("object_disabled");
    }
    referenceIndex_ = InList(referenceIndex_, referenceList_.Count());
    // A failed read leaves the image empty, so a stale picture is never shown for this entry.
    return ReadImageFile(&referenceImage_, referenceList_[referenceIndex_], PluginPictureReader(spi_));
}

SError SHuedraneController::EditReferenceList()
{
    const SString before =
        referenceList_.IsEmpty() ? SString() : referenceList_[InList(referenceIndex_, referenceList_.Count())];

    SFileListDialog dialog;
    dialog.caption = SString(ListCaption);
    dialog.paths = referenceList_;
    dialog.filters = GetPictureFilters(spi_);
    if (!dialog.Execute())
        return 0;

    referenceList_ = dialog.paths;
    if (referenceList_.IsEmpty()) {
        referenceImage_.Release();
        referenceIndex_ = 0;
        return 0;
    }
    referenceIndex_ = InList(referenceIndex_, referenceList_.Count());
    if (referenceList_[referenceIndex_] != before)
        referenceIndex_ = std::max(referenceList_.IndexOf(before), 0);
    if (SError err = LoadReference()) {
        referenceImage_.Release();
        return err;
    }
    return 0;
}

SError SHuedraneController::AppendReferences()
{
    if (!referenceDialog_.Open())
        return 0;
    return PutReferences(referenceDialog_.fileNames);
}

SError SHuedraneController::PutReferences(const SArray<SString>& files)
{
    if (files.IsEmpty())
        return 0;
    referenceIndex_ = InList(referenceIndex_, referenceList_.Count());
    std::int32_t at = referenceIndex_;
    for (const SString& file : files) {
        if (SError err = referenceList_.Insert(at, file)) {
            // The list is full: what was inserted so far stays, the first of it current.
            if (at == referenceIndex_)
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
    if (referenceList_.IsEmpty())
        return;
    referenceList_.Delete(InList(referenceIndex_, referenceList_.Count()));
    // Entries that cannot be read are dropped until one loads; nothing is reported on the way.
    while (!referenceList_.IsEmpty()) {
        referenceIndex_ = InList(referenceIndex_, referenceList_.Count());
        if (LoadReference() == 0)
            return;
        referenceList_.Delete(referenceIndex_);
    }
    referenceIndex_ = 0;
    referenceImage_.Release();
}

SError SHuedraneController::MoveReference(std::int32_t n)
{
    if (referenceList_.IsEmpty()) {
        referenceImage_.Release();
        referenceIndex_ = 0;
        return ErrorFromIdentifier("object_disabled");
    }
    const std::int32_t count = referenceList_.Count();
    const std::int32_t moved = (InList(referenceIndex_, count) + n % count) % count;
    referenceIndex_ = moved < 0 ? moved + count : moved;
    if (SError err = LoadReference()) {
        // Shown here, before the entry goes, and not handed back: the window would show it twice.
        ReportError(err);
        RemoveReference();
    }
    return 0;
}

void SHuedraneController::ZoomReference(std::int32_t tag)
{
    SetReferenceZoom(tag == 0 ? 0 : referenceZoom_ + tag);
}

bool SHuedraneController::PickReferenceColour(SPoint imagePoint)
{
    if (!referenceImage_.Bounds().Contains(imagePoint))
        return false;
    const SColor pixel = referenceImage_.GetColor(imagePoint.x, imagePoint.y);
    if (pixel.t == 255)
        SetColourMode(SColourMode::Eraser);
    else
        TakeColour(pixel);
    return true;
}
