// Controller construction, document state, and the editing entry points the windows and the
// converter's scripts share.
#include "SHuedraneController.h"

#include "SDocumentFile.h"
#include "SLanguage.h"

#include <utility>

using namespace ulib;

namespace {
const char* const UntitledTitle = "無題 - Huedrane";
const char* const UntitledFileName = "無題.hdq";
}  // namespace

SHuedraneController::SHuedraneController() : title_(UntitledTitle)
{
    const SColor firstEight[8] = {SColor::Black, SColor::Red,  SColor::Yellow,  SColor::Green,
                                  SColor::Cyan,  SColor::Blue, SColor::Magenta, SColor::White};
    quickPalette_.fill(SColor::Black);
    for (int i = 0; i < 8; ++i)
        quickPalette_[i] = firstEight[i];
}

void SHuedraneController::MarkModified()
{
    if (state_ == SDocumentState::Saved)
        state_ = SDocumentState::Modified;
    autosave_.Changed();
}

void SHuedraneController::LayersChanged()
{
    leftRegions_.clear();
    leftIndex_ = -1;
    gapSeamsStale_ = true;
    checkStale_ = true;
}

void SHuedraneController::ClearCel()
{
    LayersChanged();
    autosave_.Closed();
    cel_.ResetDocument();
}

void SHuedraneController::ResetIdentity()
{
    state_ = SDocumentState::None;
    path_ = SString();
    defaultFileName_ = SString(UntitledFileName);
    title_ = SString(UntitledTitle);
}

SError SHuedraneController::ReplaceCel(const std::function<SError(SCel&)>& load)
{
    // The new layers are made in a cel of their own, with the working cel's view settings and
    // under layer (lent for the composition), so nothing of the working cel changes on a failure.
    SCel loaded;
    loaded.visible = cel_.visible;
    loaded.silhouette = cel_.silhouette;
    loaded.underOffset = cel_.underOffset;
    std::swap(loaded.under, cel_.under);
    const SError err = load(loaded);
    std::swap(loaded.under, cel_.under);
    if (err)
        return err;
    TakeCel(std::move(loaded));
    return 0;
}

void SHuedraneController::TakeCel(SCel cel)
{
    stroke_.MouseUp();
    undo_.Clear();
    LayersChanged();
    autosave_.Closed();
    // Member-wise, so the layer objects the undo buffer refers to stay the same objects.
    cel_ = std::move(cel);
    undo_.SetDocumentSize(cel_.display.Width(), cel_.display.Height());
}

SError SHuedraneController::OpenDocumentFile(const SString& file)
{
    if (SError err = ReplaceCel([&](SCel& loaded) { return LoadDocument(loaded, file); }))
        return err;
    state_ = SDocumentState::Saved;
    TakePath(file);
    sourcePicture_.Clear();
    return 0;
}

SRect SHuedraneController::MouseDown(STool tool, SPoint at)
{
    const bool checked = checkShown_ && !checkStale_;
    if (SStroke::ChangesLayers(tool)) {
        MarkModified();
        LayersChanged();
    }
    SPaintContext context = PaintContext();
    const SRect changed = stroke_.MouseDown(context, tool, at);
    // A fill moves no border: the check looks again only at what the fill reached.
    if (checked && tool == ToolPaint && checker_.RecheckPaint(cel_.paint, changed)) {
        checkStale_ = false;
        findingIndex_ = -1;
    }
    return changed;
}

SRect SHuedraneController::MouseMove(SPoint at)
{
    SPaintContext context = PaintContext();
    return stroke_.MouseMove(context, at);
}

void SHuedraneController::MouseUp()
{
    // The seams follow a stroke's borders once it ends, not at every move.
    if (SStroke::ChangesLayers(stroke_.ToolInEffect()))
        gapSeamsStale_ = true;
    if (SStroke::ChangesLayers(stroke_.ToolInEffect()) && stroke_.ToolInEffect() != ToolPaint)
        checkStale_ = true;
    stroke_.MouseUp();
}

SRect SHuedraneController::RunWholeCel(SWholeCelOperation operation)
{
    undo_.BeginStep(SString(WholeCelCaption(operation)));
    MarkModified();
    LayersChanged();
    SPaintContext context = PaintContext();
    RunWholeCelOperation(context, operation);
    return cel_.display.Bounds();
}

void SHuedraneController::Undo()
{
    undo_.SetDocumentSize(cel_.display.Width(), cel_.display.Height());
    undo_.Undo();
    autosave_.Changed();
    LayersChanged();
    cel_.ComposeAll();
}

void SHuedraneController::Redo()
{
    undo_.SetDocumentSize(cel_.display.Width(), cel_.display.Height());
    undo_.Redo();
    autosave_.Changed();
    LayersChanged();
    cel_.ComposeAll();
}

SString SHuedraneController::UndoMenuCaption() const
{
    return SString(undo_.CanUndo() ? FormatText("%1を元に戻す(&U)", {Translate(undo_.UndoCaption().Str().c_str())})
                                   : std::string(Translate("元に戻す(&U)")));
}

SString SHuedraneController::RedoMenuCaption() const
{
    return SString(undo_.CanRedo() ? FormatText("%1のやり直し(&R)", {Translate(undo_.RedoCaption().Str().c_str())})
                                   : std::string(Translate("やり直し(&R)")));
}

void SHuedraneController::ApplyOptions()
{
    FindPlugins(spi_, options_.spiDirectory);
}

void SHuedraneController::SetLayerSwitch(std::int32_t layer, bool on)
{
    cel_.SetLayerVisible(layer, on ? 1 : -1);
}

std::uint32_t SHuedraneController::ToggleLayer(std::int32_t layer)
{
    if (layer < LayerUnder || layer > LayerExtra)
        return 0;
    if (layer == LayerExtra && cel_.visible[LayerExtra]) {
        // Hiding keeps the extra layer whatever it holds (the cel would free an empty one), so
        // showing it again finds it as it was.
        cel_.visible[LayerExtra] = false;
        cel_.ComposeAll();
    } else {
        cel_.SetLayerVisible(layer, 0);
    }
    return main_refresh::Canvas | main_refresh::LayerMenu;
}

void SHuedraneController::SetReferenceList(const SArray<SString>& list)
{
    referenceList_ = list;
    referenceIndex_ = 0;
    // Start-up shows no message for a picture that has gone: the pane stays empty and the entry
    // stays listed until the reload or the list dialog deals with it.
    LoadReference();
}
