// Reading, writing and removing the program's settings in the settings store.
#include "SHuedraneSettings.h"

#include "SAscii.h"
#include "SColourText.h"
#include "SGapSplit.h"
#include "SProgramPath.h"
#include "STools.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

using namespace ulib;

namespace {

constexpr char QuickPaletteKey[] = "HKEY_CURRENT_USER\\Software\\Vantrel\\Huedrane\\QuickPalette";
constexpr char ReferenceKey[] = "HKEY_CURRENT_USER\\Software\\Vantrel\\Huedrane\\Reference";
constexpr char HistoryKey[] = "HKEY_CURRENT_USER\\Software\\Vantrel\\Huedrane\\History";

constexpr std::int32_t ToolModeCount = 14;

// Layer letters as written, for layers 4 (extra) down to 0 (under).
constexpr char LayerLetters[] = "ETPGU";

std::int32_t Clamp(std::int64_t value, std::int32_t low, std::int32_t high)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, low, high));
}

// Adds a digit to a magnitude that saturates instead of overflowing.
std::int64_t AddDigit(std::int64_t magnitude, char digit)
{
    return std::min<std::int64_t>(magnitude * 10 + (digit - '0'), std::int64_t(INT_MAX) + 1);
}

// The decimal integer at the start of the text (after blanks, with an optional sign), 0 when there
// is none; held to the 32-bit range.
std::int32_t LeadingInteger(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && IsAsciiBlank(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        negative = text[at++] == '-';
    std::int64_t magnitude = 0;
    while (at < text.size() && IsAsciiDigit(text[at]))
        magnitude = AddDigit(magnitude, text[at++]);
    return Clamp(negative ? -magnitude : magnitude, INT_MIN, INT_MAX);
}

// Every run of decimal digits in the text, negative when a "-" stands right before it (so
// "(1,2)-(3,4)" gives 1, 2, 3, 4); at most `limit` of them.
std::vector<std::int32_t> Numbers(std::string_view text, std::size_t limit)
{
    std::vector<std::int32_t> numbers;
    std::size_t at = 0;
    while (at < text.size() && numbers.size() < limit) {
        if (!IsAsciiDigit(text[at])) {
            ++at;
            continue;
        }
        const bool negative = at > 0 && text[at - 1] == '-';
        std::int64_t magnitude = 0;
        while (at < text.size() && IsAsciiDigit(text[at]))
            magnitude = AddDigit(magnitude, text[at++]);
        numbers.push_back(Clamp(negative ? -magnitude : magnitude, INT_MIN, INT_MAX));
    }
    return numbers;
}

// A level pair ("ImportLevel", "ExportGamut"): "none" or low "/" high. Enabled when a number is
// present; low is held to 0..127, high to 128..255, each keeping its default when missing.
void ReadLevelPair(std::string_view text, bool& enabled, std::int32_t& low, std::int32_t& high)
{
    const std::vector<std::int32_t> numbers = Numbers(text, 2);
    enabled = !numbers.empty();
    if (!enabled)
        return;
    low = Clamp(numbers[0], 0, 127);
    high = numbers.size() > 1 ? Clamp(numbers[1], 128, 255) : 255;
}

SString LevelPairText(bool enabled, std::int32_t low, std::int32_t high)
{
    return enabled ? SString(std::to_string(low) + "/" + std::to_string(high)) : SString("none");
}

// "Image01", ... "Image99", "Image100": at least two digits, so lists of up to 99 entries keep the
// names they always had and longer ones do not repeat names.
SString NumberedName(std::string_view prefix, std::int32_t number)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d", static_cast<int>(number));
    return SString(std::string(prefix) + digits);
}

// Reads the numbered values prefix01, prefix02, ... (as many as the key holds values), each cleaned
// by `clean`; empty ones are skipped. False when the key cannot be read.
template <typename Clean>
bool ReadNumberedList(const char* key, std::string_view prefix, Clean clean, std::int32_t limit,
                      SArray<SString>* list)
{
    SRegistryValues values;
    if (ReadRegistryValues(key, &values))
        return false;
    list->Clear();
    for (std::int32_t n = 1; n <= values.Count() && list->Count() < limit; ++n) {
        const SString entry = clean(RegistryValue(values, NumberedName(prefix, n).View()).View());
        if (!entry.IsEmpty())
            list->Append(entry);
    }
    return true;
}

// Replaces the key's values with the list as prefix01, prefix02, ... A key not yet in the store has
// nothing to delete.
SError WriteNumberedList(const char* key, std::string_view prefix, const SArray<SString>& list)
{
    const SError deleted = DeleteRegistryValues(key);
    if (deleted && deleted != ErrorFromSystemCode(ENOENT))
        return deleted;
    SRegistryValues values;
    for (std::int32_t i = 0; i < list.Count(); ++i)
        if (const SError err = values.Append(NumberedName(prefix, i + 1), list[i]))
            return err;
    return WriteRegistryValues(key, values);
}

void ApplyCurrentMode(SToolState& tools, std::string_view text)
{
    const SString mode = TrimRegistryText(text);
    if (mode == SString("color"))
        tools.colourMode = SColourMode::Colour;
    else if (mode == SString("erase"))
        tools.colourMode = SColourMode::Eraser;
    else if (mode == SString("image"))
        tools.colourMode = SColourMode::Bitmap;
}

void ApplyToolMode(SMainWindowState& window, std::string_view text)
{
    const SString name = TrimRegistryText(text);
    for (std::int32_t tool = 1; tool <= ToolModeCount; ++tool)
        if (name.View() == ToolSettingsName(tool))
            window.toolMode = tool;
}

void ApplyExportFormat(SHuedraneOptions& options, std::string_view text)
{
    const SString format = TrimRegistryText(text);
    if (format == SString("bitmap") || format == SString("bmp"))
        options.exportFormat = 0;
    else if (format == SString("png"))
        options.exportFormat = 1;
    else if (format == SString("jpg"))
        options.exportFormat = 2;
}

void ApplyLayers(SHuedraneController& controller, std::string_view text)
{
    for (const char c : text) {
        for (std::int32_t i = 0; i < 5; ++i)
            if (UpperAscii(c) == LayerLetters[i])
                controller.SetLayerSwitch(4 - i, c == LayerLetters[i]);
    }
}

void ApplyFlags(SMainWindowState& window, std::string_view text)
{
    for (const char c : text) {
        bool* bar = UpperAscii(c) == 'T'   ? &window.toolBarVisible
                    : UpperAscii(c) == 'S' ? &window.statusBarVisible
                    : UpperAscii(c) == 'U' ? &window.subToolBarVisible
                                      : nullptr;
        if (bar)
            *bar = c == UpperAscii(c);
    }
}

// A stored box layout: base64 text of a sensible length. Anything else is left out and the boxes
// take their first layout; the window system checks the decoded bytes itself.
bool IsLayoutText(std::string_view text)
{
    constexpr std::size_t LongestLayout = 64 * 1024;
    return !text.empty() && text.size() <= LongestLayout && text.size() % 4 == 0 &&
           std::all_of(text.begin(), text.end(),
                       [](char c) { return IsAsciiDigit(c) || IsAsciiLetter(c) || c == '+' || c == '/' || c == '='; });
}

void ApplyBrush(SBrushSettings& brush, std::string_view text)
{
    const std::vector<std::int32_t> numbers = Numbers(text, 3);
    if (numbers.size() < 3)
        return;
    brush.radius = Clamp(numbers[0], 1, 100);
    brush.shape = Clamp(numbers[1], 0, 100);
    brush.density = Clamp(numbers[2], 0, 255);
}

void ApplyPosition(SMainWindowState& window, std::string_view text)
{
    std::vector<std::int32_t> numbers = Numbers(text, 4);
    numbers.resize(4, 0);
    window.normalRect = {numbers[0], numbers[1], numbers[2], numbers[3]};
    window.hasNormalRect = true;
}

void ApplyExportOptions(SHuedraneOptions& options, const SRegistryValues& values)
{
    if (const SString text = RegistryValue(values, "ExportFormat"); !text.IsEmpty())
        ApplyExportFormat(options, text.View());
    if (const SString text = RegistryValue(values, "ExportDepth"); !text.IsEmpty()) {
        const std::int32_t depth = LeadingInteger(text.View());
        if (depth == 24 || depth == 32)
            options.export24Bit = depth == 24;
    }
    if (const SString text = RegistryValue(values, "ExportTargetLayers"); !text.IsEmpty()) {
        const std::int32_t layers = LeadingInteger(text.View());
        options.exportTargetLayers = layers >= 0 && layers <= 5 ? layers : 0;
    }
    if (const SString text = RegistryValue(values, "ExportZoom"); !text.IsEmpty()) {
        const std::int32_t percent = LeadingInteger(text.View());
        const std::int32_t divisor = percent != 0 ? 100 / percent : -1;
        if (divisor >= 0 && divisor <= 8)
            options.exportMinimizeRate = divisor;
    }
    if (const SString text = RegistryValue(values, "ExportBlackTrace"); !text.IsEmpty()) {
        const SString trimmed = TrimRegistryText(text.View());
        const std::string_view view = trimmed.View();
        options.exportBlackTraceEnabled =
            std::any_of(view.begin(), view.end(), [](char c) { return IsAsciiDigit(c) || c == '#'; });
        if (options.exportBlackTraceEnabled)
            options.exportBlackTraceColour = TextToColour(view);
    }
    if (const SString text = RegistryValue(values, "ExportGamut"); !text.IsEmpty())
        ReadLevelPair(text.View(), options.exportGamutEnabled, options.exportGamutMin, options.exportGamutMax);
}

SRegistryValues MainValues(const SHuedraneController& controller)
{
    const SHuedraneOptions& options = controller.Options();
    const SToolState& tools = controller.Tools();
    const SMainWindowState& window = controller.Window();
    const auto number = [](std::int32_t n) { return SString(std::to_string(n)); };

    char cwd[PATH_MAX + 1];
    const SString currentDirectory = getcwd(cwd, sizeof cwd) ? SString(std::string(cwd) + "/") : SString();
    const SRect& r = window.normalRect;
    const SString position =
        window.hasNormalRect ? SString("(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
                                       std::to_string(r.right) + "," + std::to_string(r.bottom) + ")")
                             : SString();
    const char* const modes[] = {"", "color", "erase", "image"};
    const std::int32_t mode = static_cast<std::int32_t>(tools.colourMode);
    std::string layers;
    for (std::int32_t i = 0; i < 5; ++i)
        layers += controller.Cel().visible[std::size_t(4 - i)] ? LayerLetters[i] : char(LayerLetters[i] + 32);
    std::string flags = {window.toolBarVisible ? 'T' : 't', window.statusBarVisible ? 'S' : 's',
                         window.subToolBarVisible ? 'U' : 'u'};
    const char* const formats[] = {"bmp", "png", "jpg"};
    const std::int32_t rate = options.exportMinimizeRate;

    SRegistryValues values;
    const auto add = [&values](const char* name, SString text) { values.Append(SString(name), std::move(text)); };
    add("", "Huedrane");
    add("Version", "1.4");
    add("InstallDirectory", ProgramFolder());
    add("CurrentDirectory", currentDirectory);
    add("SpiDirectory", options.spiDirectory);
    add("Position", position);
    add("CurrentColor", ColourToText(tools.currentColour, ""));
    add("CurrentMode", mode >= 1 && mode <= 3 ? modes[mode] : "");
    add("TracePen", number(tools.tracePen + 1));
    add("Brush", SString(std::to_string(tools.brush.radius) + "/" + std::to_string(tools.brush.shape) + "/" +
                         std::to_string(tools.brush.density)));
    add("ToolMode", ToolSettingsName(window.toolMode));
    add("SplitBar", SString(std::to_string(window.splitBar) + "%"));
    add("Layers", SString(layers));
    add("Flags", SString(flags));
    add("ImportGengaCompress", number(options.importGengaCompress));
    add("ImportLevel", LevelPairText(options.importLevelEnabled, options.importLevelBlack, options.importLevelWhite));
    add("ImportBinarize", options.importBinarize ? "1" : "0");
    add("ImportAntiHole", options.importAntiHole ? "1" : "0");
    add("ExportFormat", options.exportFormat >= 0 && options.exportFormat <= 2 ? formats[options.exportFormat] : "");
    add("ExportDepth", options.export24Bit ? "24" : "32");
    add("ExportTargetLayers", number(options.exportTargetLayers));
    add("ExportZoom", SString(std::to_string(rate != 0 ? 100 / rate : 100) + "%"));
    add("ExportBlackTrace",
        options.exportBlackTraceEnabled ? ColourToText(options.exportBlackTraceColour, "") : SString("none"));
    add("ExportGamut", LevelPairText(options.exportGamutEnabled, options.exportGamutMin, options.exportGamutMax));
    add("FillGap", number(tools.fillGap));
    add("CheckMinSpeck", number(controller.CheckOptions().minSpeck));
    add("CheckIncludeEdge", controller.CheckOptions().includeEdge ? "1" : "0");
    add("CheckBeforeExport", controller.CheckBeforeExport() ? "1" : "0");
    add("Maximized", window.maximized ? "1" : "0");
    add("WindowLayout", window.layout);
    add("Language", window.language);
    add("UndoSteps", number(controller.UndoSteps()));
    add("UndoMemory", SString(std::to_string(controller.UndoMegabytes()) + "MB"));
    add("AutosaveSteps", number(controller.AutosaveSteps()));
    add("AutosaveSeconds", number(controller.AutosaveSeconds()));
    return values;
}

// Empties a key of the association and deletes it, unless it holds subkeys of someone else's.
SError DeleteAssociationKey(const SString& path)
{
    SArray<SString> subkeys;
    if (const SError err = EnumerateRegistrySubkeys(path, &subkeys))
        return err;
    if (!subkeys.IsEmpty())
        return ErrorFromSystemCode(ENOTEMPTY);
    DeleteRegistryValues(path);
    return DeleteEmptyRegistryKey(path);
}

void RemoveAssociation(const SString& programPath)
{
    if (!RegistryKeyExists("HKCR\\.hdq") || !RegistryKeyExists("HKCR\\hdqfile"))
        return;
    SRegistryValues command;
    if (ReadRegistryValues("HKCR\\hdqfile\\Shell\\open\\command", &command) || command.IsEmpty())
        return;
    // Only an association that starts this very program file is ours to remove.
    if (!command.Key(0).IsEmpty() || command.Value(0).Str() != programPath.Str() + " \"%1\"")
        return;
    DeleteAssociationKey("HKCR\\hdqfile\\Shell\\open\\command");
    DeleteAssociationKey("HKCR\\hdqfile\\Shell\\open");
    if (DeleteAssociationKey("HKCR\\hdqfile\\Shell"))
        return;
    DeleteAssociationKey("HKCR\\hdqfile\\DefaultIcon");
    DeleteAssociationKey("HKCR\\hdqfile");
    DeleteAssociationKey("HKCR\\.hdq");
}

void RemoveUserSettings(const SString& software)
{
    // The program's own keys are emptied first: a key is deleted only when it holds nothing.
    const char* const own[] = {"Vantrel\\Huedrane\\History", "Vantrel\\Huedrane\\QuickPalette",
                               "Vantrel\\Huedrane\\Reference", "Vantrel\\Huedrane"};
    for (const char* key : own)
        DeleteRegistryValues(software + key);
    for (const char* key : own)
        DeleteEmptyRegistryKey(software + key);
    // Other programs of the same maker may keep their settings beside ours.
    DeleteEmptyRegistryKey(software + "Vantrel");
}

}  // namespace

SString SpiDirectorySetting(const SRegistryValues& values) { return RegistryValue(values, "SpiDirectory"); }

SString StoredLanguage()
{
    SRegistryValues values;
    if (ReadRegistryValues(SettingsKey, &values))
        return {};
    return RegistryValue(values, "Language");
}

SString StoredSpiDirectory()
{
    SRegistryValues values;
    if (ReadRegistryValues(SettingsKey, &values))
        return {};
    return SpiDirectorySetting(values);
}

void ApplyMainSettings(SHuedraneController& controller, const SRegistryValues& values)
{
    SHuedraneOptions options = controller.Options();
    SToolState tools = controller.Tools();
    SMainWindowState window = controller.Window();
    const auto value = [&values](const char* name) { return RegistryValue(values, name); };

    if (const SString text = SpiDirectorySetting(values); !text.IsEmpty())
        options.spiDirectory = text;
    if (const SString text = value("Position"); !text.IsEmpty())
        ApplyPosition(window, text.View());
    if (const SString text = value("CurrentColor"); !text.IsEmpty()) {
        tools.currentColour = TextToColour(text.View());
        if (tools.currentColour.t == 255)
            tools.currentColour.t = 0;
    }
    if (const SString text = value("CurrentMode"); !text.IsEmpty())
        ApplyCurrentMode(tools, text.View());
    if (const SString text = value("TracePen"); !text.IsEmpty()) {
        const std::int32_t pen = LeadingInteger(text.View());
        if (pen >= 1 && pen <= 5)
            tools.tracePen = pen - 1;
    }
    if (const SString text = value("Brush"); !text.IsEmpty())
        ApplyBrush(tools.brush, text.View());
    SCheckOptions check = controller.CheckOptions();
    if (const SString text = value("CheckMinSpeck"); !text.IsEmpty()) {
        const std::int32_t size = LeadingInteger(text.View());
        if (size >= 0 && size <= LargestMinSpeck)
            check.minSpeck = size;
    }
    if (const SString text = value("CheckIncludeEdge"); !text.IsEmpty())
        check.includeEdge = text.View() == "1";
    controller.SetCheckOptions(check);
    // The undo depth and its memory: out-of-range values are held to the ranges, a missing one keeps
    // the default.
    std::int32_t undoSteps = controller.UndoSteps(), undoMegabytes = controller.UndoMegabytes();
    if (const SString text = value("UndoSteps"); !text.IsEmpty())
        undoSteps = LeadingInteger(text.View());
    if (const SString text = value("UndoMemory"); !text.IsEmpty())
        undoMegabytes = LeadingInteger(text.View());
    controller.SetUndoLimits(undoSteps, undoMegabytes);
    // Autosave's triggers: a value that is no number keeps the default (0 would turn it off).
    std::int32_t autosaveSteps = controller.AutosaveSteps(), autosaveSeconds = controller.AutosaveSeconds();
    if (const SString text = value("AutosaveSteps"); !text.IsEmpty() && IsAsciiDigit(text.View()[0]))
        autosaveSteps = LeadingInteger(text.View());
    if (const SString text = value("AutosaveSeconds"); !text.IsEmpty() && IsAsciiDigit(text.View()[0]))
        autosaveSeconds = LeadingInteger(text.View());
    controller.SetAutosaveLimits(autosaveSteps, autosaveSeconds);
    if (const SString text = value("CheckBeforeExport"); !text.IsEmpty())
        controller.SetCheckBeforeExport(text.View() == "1");
    if (const SString text = value("FillGap"); !text.IsEmpty()) {
        const std::int32_t gap = LeadingInteger(text.View());
        if (gap >= 0 && gap <= LargestFillGap)
            tools.fillGap = gap;
    }
    if (const SString text = value("ToolMode"); !text.IsEmpty())
        ApplyToolMode(window, text.View());
    if (const SString text = value("Maximized"); !text.IsEmpty())
        window.maximized = text.View() == "1";
    if (const SString text = value("WindowLayout"); IsLayoutText(text.View()))
        window.layout = text;
    if (const SString text = value("Language"); text.View() == "ja" || text.View() == "en")
        window.language = text;
    if (const SString text = value("SplitBar"); !text.IsEmpty()) {
        const std::int32_t split = LeadingInteger(text.View());
        if (split >= 0 && split <= 100)
            window.splitBar = split;
    }
    if (const SString text = value("Layers"); !text.IsEmpty())
        ApplyLayers(controller, text.View());
    if (const SString text = value("Flags"); !text.IsEmpty())
        ApplyFlags(window, text.View());
    if (const SString text = value("ImportGengaCompress"); !text.IsEmpty())
        options.importGengaCompress = LeadingInteger(text.View());
    if (const SString text = value("ImportLevel"); !text.IsEmpty())
        ReadLevelPair(text.View(), options.importLevelEnabled, options.importLevelBlack, options.importLevelWhite);
    if (const SString text = value("ImportBinarize"); !text.IsEmpty())
        options.importBinarize = LeadingInteger(text.View()) != 0;
    if (const SString text = value("ImportAntiHole"); !text.IsEmpty())
        options.importAntiHole = LeadingInteger(text.View()) != 0;
    ApplyExportOptions(options, values);
    controller.SetOptions(options);
    controller.SetTools(tools);
    controller.SetWindow(window);
}

void LoadSettings(SHuedraneController& controller)
{
    SRegistryValues values;
    if (ReadRegistryValues(SettingsKey, &values)) {
        controller.ApplyOptions();
        return;
    }
    if (const SString folder = RegistryValue(values, "CurrentDirectory");
        !folder.IsEmpty() && folder.Length() < PATH_MAX)
        (void)chdir(folder.CStr());  // a folder that has gone away leaves the current one
    ApplyMainSettings(controller, values);

    SRegistryValues palette;
    if (!ReadRegistryValues(QuickPaletteKey, &palette)) {
        for (std::int32_t slot = 0; slot < 16; ++slot) {
            const SString text = RegistryValue(palette, NumberedName("Picker", slot + 1).View());
            if (text.IsEmpty())
                continue;
            SColor colour = TextToColour(text.View());
            if (colour.t == 255)
                colour.t = 254;
            controller.SetQuickColour(slot, colour);
        }
    }
    controller.ApplyOptions();

    SArray<SString> list;
    if (ReadNumberedList(ReferenceKey, "Image", TrimRegistryText, SArray<SString>::MaxCount, &list))
        controller.SetReferenceList(list);
    // A history longer than the program keeps (a file edited by hand) is cut to its newest entries.
    if (ReadNumberedList(HistoryKey, "History", RemoveControlBytes, SHuedraneController::HistoryLimit, &list))
        controller.SetHistory(list);
}

SError SaveSettings(SHuedraneController& controller)
{
    SError err = WriteRegistryValues(SettingsKey, MainValues(controller));
    if (!err) {
        SRegistryValues palette;
        for (std::int32_t slot = 0; slot < 16; ++slot)
            palette.Append(NumberedName("Picker", slot + 1), ColourToText(controller.QuickPalette()[std::size_t(slot)], ""));
        err = WriteRegistryValues(QuickPaletteKey, palette);
    }
    if (!err)
        err = WriteNumberedList(ReferenceKey, "Image", controller.ReferenceList());
    if (!err)
        err = WriteNumberedList(HistoryKey, "History", controller.History());
    if (err)
        ReportError(err);
    return err;
}

void RemoveInstallation(const SString& programPath)
{
    RemoveUserSettings("HKEY_CURRENT_USER\\Software\\");
    SArray<SString> users;
    if (!EnumerateRegistrySubkeys("HKEY_USERS\\", &users))
        for (const SString& user : users)
            RemoveUserSettings(SString("HKEY_USERS\\") + user.View() + "\\Software\\");
    RemoveAssociation(programPath);
}
