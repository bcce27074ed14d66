// Controller construction, document state, and the editing entry points the windows and the
// converter's scripts share.
#include "SHuedraneController.h"

#include "SDocumentFile.h"

#include <utility>

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

SError SHuedraneController::ReplaceCel(const std::function<SError(SCel&)>& load)
{
    // The new layers are made in a cel of their own, with the working cel's view settings and
    // under layer (lent for the composition), so nothing of the working cel changes on a failure.
    SCel loaded;
    loaded.visible = cel.visible;
    loaded.silhouette = cel.silhouette;
    loaded.underOffset = cel.underOffset;
    std::swap(loaded.under, cel.under);
    const SError err = load(loaded);
    std::swap(loaded.under, cel.under);
    if (err)
        return err;
    stroke_.MouseUp();
    undo.Clear();
    // Member-wise, so the layer objects the undo buffer refers to stay the same objects.
    cel = std::move(loaded);
    undo.SetDocumentSize(cel.display.Width(), cel.display.Height());
    return 0;
}

SError SHuedraneController::OpenDocumentFile(const SString& file)
{
    if (SError err = ReplaceCel([&](SCel& loaded) { return LoadDocument(loaded, file); }))
        return err;
    state = SDocumentState::Saved;
    TakePath(file);
    sourcePicture.Clear();
    return 0;
}

SRect SHuedraneController::MouseDown(STool tool, SPoint at)
{
    if (SStroke::ChangesLayers(tool))
        MarkModified();
    SPaintContext context = PaintContext();
    return stroke_.MouseDown(context, tool, at);
}

SRect SHuedraneController::MouseMove(SPoint at)
{
    SPaintContext context = PaintContext();
    return stroke_.MouseMove(context, at);
}

void SHuedraneController::MouseUp()
{
    stroke_.MouseUp();
}

SRect SHuedraneController::RunWholeCel(SWholeCelOperation operation)
{
    undo.BeginStep(SString(WholeCelCaption(operation)));
    MarkModified();
    SPaintContext context = PaintContext();
    RunWholeCelOperation(context, operation);
    return cel.display.Bounds();
}

void SHuedraneController::Undo()
{
    undo.SetDocumentSize(cel.display.Width(), cel.display.Height());
    undo.Undo();
    cel.ComposeAll();
}

void SHuedraneController::Redo()
{
    undo.SetDocumentSize(cel.display.Width(), cel.display.Height());
    undo.Redo();
    cel.ComposeAll();
}

SString SHuedraneController::UndoMenuCaption() const
{
    return undo.CanUndo() ? undo.UndoCaption() + "を元に戻す(&U)" : SString("元に戻す(&U)");
}

SString SHuedraneController::RedoMenuCaption() const
{
    return undo.CanRedo() ? undo.RedoCaption() + "のやり直し(&R)" : SString("やり直し(&R)");
}

void SHuedraneController::ApplyOptions()
{
    FindPlugins(spi, options.spiDirectory);
}

void SHuedraneController::SetLayerSwitch(std::int32_t layer, bool on)
{
    cel.SetLayerVisible(layer, on ? 1 : -1);
}

void SHuedraneController::SetReferenceList(const SArray<SString>& list)
{
    referenceList = list;
    referenceIndex = 0;
    // Start-up shows no message for a picture that has gone: the pane stays empty and the entry
    // stays listed until the reload or the list dialog deals with it.
    LoadReference();
}
