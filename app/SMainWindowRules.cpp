// The main window's commands that need no window: layer toggles, tool state, the keyboard table,
// dropped files, the close query, the split bar, and what each command leaves to refresh.
#include "SMainWindowRules.h"

#include "SPlatform.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

using namespace ulib;
namespace refresh = main_refresh;

std::uint32_t ToggleLayer(SHuedraneController& c, std::int32_t tag)
{
    return c.ToggleLayer(tag);
}

std::uint32_t ToggleSilhouette(SHuedraneController& c)
{
    return c.SetSilhouette(!c.Cel().silhouette);
}

std::uint32_t StoreMemo(SHuedraneController& c, SArray<SString> memo)
{
    return c.SetMemo(std::move(memo));
}

std::uint32_t ToggleBar(SHuedraneController& c, std::int32_t bar)
{
    SMainWindowState window = c.Window();
    bool& visible = bar == 0 ? window.toolBarVisible : bar == 1 ? window.subToolBarVisible : window.statusBarVisible;
    visible = !visible;
    c.SetWindow(window);
    return refresh::ViewMenu;
}

std::uint32_t SelectColourMode(SHuedraneController& c, std::int32_t mode)
{
    if (mode < 1 || mode > 3)
        return 0;
    return c.SetColourMode(static_cast<SColourMode>(mode));
}

std::uint32_t SelectTracePen(SHuedraneController& c, std::int32_t pen)
{
    return c.SetTracePen(pen);
}

std::uint32_t SelectTool(SHuedraneController& c, std::int32_t tool)
{
    if (tool < ToolPaint || tool > ToolKnife)
        return 0;
    SMainWindowState window = c.Window();
    window.toolMode = tool;
    c.SetWindow(window);
    return refresh::ToolChange;
}

std::uint32_t TakeQuickColour(SHuedraneController& c, std::int32_t entry)
{
    if (entry < 0 || entry >= static_cast<std::int32_t>(c.QuickPalette().size()))
        return 0;
    return c.TakeColour(c.QuickPalette()[std::size_t(entry)]);
}

std::uint32_t ClickQuickColour(SHuedraneController& c, std::int32_t entry, bool store)
{
    if (store && c.Tools().colourMode == SColourMode::Colour)
        return c.SetQuickColour(entry, c.Tools().currentColour);
    return TakeQuickColour(c, entry);
}

std::uint32_t PressMainKey(SHuedraneController& c, char key)
{
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
    if (upper >= '1' && upper <= '9')
        return TakeQuickColour(c, upper - '1');
    if (upper == '0')
        return TakeQuickColour(c, 9);
    // Rows of the keyboard: the top letters continue the digits, the middle row picks pens,
    // the bottom row colour modes.
    static const char quick[] = "QWERTY";
    static const char pens[] = "ASDFG";
    static const char modes[] = "ZXC";
    if (upper == '\0')
        return 0;
    if (const char* at = std::strchr(quick, upper))
        return TakeQuickColour(c, 10 + std::int32_t(at - quick));
    if (const char* at = std::strchr(pens, upper))
        return SelectTracePen(c, std::int32_t(at - pens));
    if (const char* at = std::strchr(modes, upper))
        return SelectColourMode(c, 1 + std::int32_t(at - modes));
    return 0;
}

std::uint32_t RunWholeCelCommand(SHuedraneController& c, SWholeCelOperation operation)
{
    // A shortcut can fire while the menu last showed the item enabled; there is no cel to work on.
    if (c.State() == SDocumentState::None)
        return 0;
    c.RunWholeCel(operation);
    return CommandEffects(SMainCommand::WholeCel).refresh;
}

SError ImportCommand(SHuedraneController& c, const SString& file, bool ask)
{
    const SError err = c.Import(file, ask);
    if (err == 0)
        c.MarkModified();
    return err;
}

SError OpenHistoryEntry(SHuedraneController& c, std::int32_t tag)
{
    // Entry 0 is the current file; SArray would wrap an index past the end onto another entry.
    if (tag < 1 || tag >= c.History().Count())
        return 0;
    const SString file = c.History()[tag];  // Open puts it first, moving the list under a reference
    return c.Open(file);
}

void ClearHistory(SHuedraneController& c)
{
    c.SetHistory({});
}

std::uint32_t DropFiles(SHuedraneController& c, const SArray<SString>& files, const SString& programPath)
{
    // A drop of something that is no local file arrives as an empty name; opening that would
    // bring up the document dialog.
    SArray<SString> named;
    for (const SString& file : files)
        if (!file.IsEmpty())
            named.Append(file);
    if (named.IsEmpty())
        return 0;
    ReportFailure(c.OpenOrImport(named[0]), false);

    bool allStarted = true;
    for (std::int32_t i = 1; i < named.Count(); ++i)
        allStarted = Platform().StartInstance(programPath.Str(), named[i].Str()) && allStarted;
    if (!allStarted)
        ReportError(ErrorFromIdentifier("file_open"));
    return CommandEffects(SMainCommand::DropFiles).refresh;
}

bool QueryCloseWindow(SHuedraneController& c)
{
    const SError err = c.QueryClose();
    if (err == 0)
        return true;
    ReportFailure(err, false);
    return false;
}

void MoveSplitBar(SHuedraneController& c, std::int32_t leftEdge, std::int32_t clientWidth)
{
    if (clientWidth <= 0)
        return;
    const std::int64_t percent = std::int64_t(leftEdge) * 100 / clientWidth;
    SMainWindowState window = c.Window();
    window.splitBar = static_cast<std::int32_t>(percent < 0 ? 0 : percent > 100 ? 100 : percent);
    c.SetWindow(window);
}

std::int32_t ReferencePaneWidth(SHuedraneController& c, std::int32_t clientWidth)
{
    SMainWindowState window = c.Window();
    window.splitBar = std::clamp(window.splitBar, 10, 100);
    c.SetWindow(window);
    const std::int64_t width = std::int64_t(clientWidth) * (100 - window.splitBar) / 100;
    return width < 10 ? 2 : static_cast<std::int32_t>(width);
}

std::int32_t ShownReferencePaneWidth(SHuedraneController& c, std::int32_t clientWidth)
{
    return c.ReferenceList().IsEmpty() ? 0 : ReferencePaneWidth(c, clientWidth);
}

void KeepWindowLayout(SHuedraneController& c, SString layout, bool maximized)
{
    SMainWindowState window = c.Window();
    window.layout = std::move(layout);
    window.maximized = maximized;
    c.SetWindow(window);
}

SString WindowCaption(const SHuedraneController& c)
{
    return c.State() == SDocumentState::Modified ? SString("*" + c.Title().Str()) : c.Title();
}

void KeepNormalRect(SHuedraneController& c, const SRect& normal)
{
    if (normal.IsEmpty())
        return;
    SMainWindowState window = c.Window();
    window.normalRect = normal;
    window.hasNormalRect = true;
    c.SetWindow(window);
}

SCommandEffects CommandEffects(SMainCommand command)
{
    const std::uint32_t fileEdit = refresh::FileMenu | refresh::EditMenu;
    switch (command) {
    case SMainCommand::Clear:
    case SMainCommand::PreviousFile:
    case SMainCommand::NextFile:
    case SMainCommand::DropFiles:
        return {refresh::NewDocument, false, false};
    case SMainCommand::Open:
    case SMainCommand::Import:
    case SMainCommand::OpenHistory:
        return {refresh::NewDocument, true, false};
    case SMainCommand::Save:
        return {refresh::Title | fileEdit, false, false};
    case SMainCommand::SaveAs:
        return {refresh::Title | fileEdit, true, false};
    case SMainCommand::Export:
        return {fileEdit, true, false};
    case SMainCommand::BatchImport:
    case SMainCommand::BatchExport:
        return {fileEdit, true, true};
    case SMainCommand::ExportToReference:
        return {fileEdit | refresh::ReferencePane | refresh::ReferenceMenu, true, false};
    case SMainCommand::Undo:
    case SMainCommand::Redo:
    case SMainCommand::WholeCel:
    case SMainCommand::CarryFromPrevious:
        return {refresh::Canvas | refresh::EditMenu, false, false};
    case SMainCommand::CarryFrom:
        return {refresh::Canvas | refresh::EditMenu, true, false};
    }
    return {};
}
