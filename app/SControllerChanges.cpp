// The controller's plain state changes: view, tool state, quick palette, remembered settings and
// identity marks, each with the parts of the main window it leaves out of date.
#include "SHuedraneController.h"

#include "SGapFill.h"
#include "SGapSeams.h"
#include "SViewZoom.h"

#include <algorithm>
#include <utility>

using namespace ulib;
namespace refresh = main_refresh;

std::uint32_t SHuedraneController::SetZoom(std::int32_t zoom)
{
    if (zoom < canvas::MinZoom || zoom > canvas::MaxZoom || zoom == zoom_)
        return 0;
    zoom_ = zoom;
    return refresh::CanvasSize | refresh::Canvas | refresh::StatusBar | refresh::ViewMenu;
}

std::uint32_t SHuedraneController::SetSilhouette(bool on)
{
    cel_.silhouette = on;
    cel_.ComposeAll();
    return refresh::Canvas | refresh::ViewMenu;
}

std::uint32_t SHuedraneController::SetMemo(SArray<SString> memo)
{
    if (memo == cel_.memo)
        return 0;
    cel_.memo = std::move(memo);
    MarkModified();
    return refresh::Title | refresh::DocumentPanel;
}

std::uint32_t SHuedraneController::SetColourMode(SColourMode mode)
{
    tools_.colourMode = mode;
    // The palette box shows the mode in its centre and draws its markers only in colour mode.
    return refresh::ToolChange | refresh::PaletteBox;
}

std::uint32_t SHuedraneController::CycleColourMode()
{
    const SColourMode mode = tools_.colourMode;
    return SetColourMode(mode == SColourMode::Colour   ? SColourMode::Eraser
                         : mode == SColourMode::Eraser ? SColourMode::Bitmap
                                                       : SColourMode::Colour);
}

std::uint32_t SHuedraneController::SetCurrentColour(SColor colour)
{
    tools_.currentColour = colour;
    return refresh::StatusBar | refresh::PaletteBox;
}

std::uint32_t SHuedraneController::TakeColour(SColor colour)
{
    return SetCurrentColour(colour) | SetColourMode(SColourMode::Colour);
}

std::uint32_t SHuedraneController::SetTracePen(std::int32_t pen)
{
    if (pen < 0 || pen >= TracePenCount)
        return 0;
    tools_.tracePen = pen;
    return refresh::ToolChange;
}

std::uint32_t SHuedraneController::SetFillGap(std::int32_t gap)
{
    if (gap < 0 || gap > LargestFillGap)
        return 0;
    if (gap != tools_.fillGap)
        gapSeamsStale_ = true;
    tools_.fillGap = gap;
    return refresh::ToolChange | (gapSeamsShown_ ? refresh::Canvas : 0);
}

void SHuedraneController::SetUndoLimits(std::int32_t steps, std::int32_t megabytes)
{
    undoMegabytes_ = std::clamp(megabytes, LeastUndoMegabytes, MostUndoMegabytes);
    undo_.SetLimits(steps, std::size_t(undoMegabytes_) << 20);
}

std::uint32_t SHuedraneController::ShowGapSeams(bool shown)
{
    gapSeamsShown_ = shown;
    if (!shown) {
        gapSeams_ = {};  // showing them again finds them anew
        gapSeamsPrint_ = {};
    }
    gapSeamsStale_ = true;
    return refresh::Canvas | refresh::ViewMenu;
}

const std::vector<SRect>& SHuedraneController::GapSeams()
{
    if (!gapSeamsShown_ || !gapSeamsStale_)
        return gapSeams_;
    gapSeamsStale_ = false;
    // Most edits paint without moving a border: the seams found last still hold then.
    std::vector<std::uint64_t> print = BorderPrint(cel_.paint, cel_.display.Width(), cel_.display.Height());
    if (print == gapSeamsPrint_ && tools_.fillGap == gapSeamsGap_ && !print.empty())
        return gapSeams_;
    SError err = 0;  // a view without its seams is no failure; it tries again after the next edit
    gapSeams_ = FindGapSeams(cel_.paint, cel_.display.Width(), cel_.display.Height(), tools_.fillGap, err);
    gapSeamsPrint_ = err ? std::vector<std::uint64_t>{} : std::move(print);
    gapSeamsGap_ = tools_.fillGap;
    return gapSeams_;
}

std::uint32_t SHuedraneController::CycleTracePen()
{
    const std::int32_t pen = tools_.tracePen;
    return SetTracePen(pen < 0 || pen >= TracePenCount - 1 ? 0 : pen + 1);
}

void SHuedraneController::SetBrush(const SBrushSettings& brush)
{
    tools_.brush = brush;
}

void SHuedraneController::SetTools(const SToolState& tools)
{
    tools_ = tools;
    gapSeamsStale_ = true;
}

std::uint32_t SHuedraneController::SetQuickPalette(const std::array<SColor, 16>& palette)
{
    quickPalette_ = palette;
    return refresh::StatusBar;
}

std::uint32_t SHuedraneController::SetQuickColour(std::int32_t entry, SColor colour)
{
    if (entry < 0 || entry >= std::int32_t(quickPalette_.size()))
        return 0;
    quickPalette_[std::size_t(entry)] = colour;
    return refresh::StatusBar;
}

void SHuedraneController::SetOptions(const SHuedraneOptions& options)
{
    options_ = options;
}

void SHuedraneController::SetWindow(const SMainWindowState& window)
{
    window_ = window;
}

void SHuedraneController::SetHistory(const SArray<SString>& history)
{
    history_ = history;
    if (history_.Count() > HistoryLimit)
        history_.SetCount(HistoryLimit);
}

void SHuedraneController::SetReferenceIndex(std::int32_t index)
{
    referenceIndex_ = index;
}

std::uint32_t SHuedraneController::SetReferenceZoom(std::int32_t zoom)
{
    referenceZoom_ = std::clamp(zoom, canvas::MinZoom, canvas::MaxZoom);
    return refresh::ReferencePane | refresh::ReferenceMenu;
}

std::uint32_t SHuedraneController::SetReferenceImage(SBitmap picture)
{
    referenceImage_ = std::move(picture);
    return refresh::ReferencePane;
}

void SHuedraneController::MarkSaved()
{
    state_ = SDocumentState::Saved;
}
