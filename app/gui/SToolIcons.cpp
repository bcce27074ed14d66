// The button-to-picture table of the tool bars.
#include "SToolIcons.h"

namespace {

struct SToolIconEntry
{
    std::string_view button;
    const char* theme;  // freedesktop standard icon name; "" where none fits
    const char* file;   // our own drawing in :/icons/tools/, without ".svg"
};

// Each layer, colour mode and box has a drawing of its own: no standard theme name says "trace
// lines" or "colour chart", and a generic one would make those buttons look alike.
constexpr SToolIconEntry kIcons[] = {
    {"ToolNew", "document-new", "page-new"},
    {"ToolOpen", "document-open", "folder-open"},
    {"ToolSave", "document-save", "disk"},
    {"ToolSaveAs", "document-save-as", "disk-pen"},
    {"ToolImport", "", "picture-import"},
    {"ToolExport", "", "picture-export"},
    {"ToolPrevFile", "go-previous", "arrow-left"},
    {"ToolNextFile", "go-next", "arrow-right"},
    {"ToolUndo", "edit-undo", "undo"},
    {"ToolRepeat", "edit-redo", "redo"},
    {"ToolColorModeColor", "", "paint-bucket"},
    {"ToolColorModeEraser", "", "eraser"},
    {"ToolColorModeBitmap", "", "pattern-fill"},
    {"ToolColorModeTexture", "", "texture"},
    {"ToolTraceLayer", "", "trace-lines"},
    {"ToolPaintLayer", "", "paint-areas"},
    {"ToolGengaLayer", "", "sketch"},
    {"ToolExtraLayer", "", "extra-sheet"},
    {"ToolSilhouette", "", "silhouette"},
    {"ToolZoomIn", "zoom-in", "magnifier-plus"},
    {"ToolZoomOut", "zoom-out", "magnifier-minus"},
    {"ToolPaletteBox", "", "palette"},
    {"ToolChartBox", "", "colour-chart"},
    {"ToolAirbrushBox", "", "brush"},
    {"ToolTextureBox", "", "texture"},
    {"ToolToolBox", "", "toolbox"},
    {"ToolMemo", "", "memo"},
    {"ToolHelp", "help-contents", "help"},
    {"ToolAppendReference", "list-add", "picture-add"},
    {"ToolDeleteReference", "list-remove", "picture-remove"},
    {"ToolReferencePrev", "go-previous", "arrow-left"},
    {"ToolReferenceNext", "go-next", "arrow-right"},
    {"ToolReferenceUpdate", "view-refresh", "refresh"},
    {"ToolReferenceZoomIn", "zoom-in", "magnifier-plus"},
    {"ToolReferenceZoomOut", "zoom-out", "magnifier-minus"},
};

const SToolIconEntry* Find(std::string_view buttonName)
{
    for (const SToolIconEntry& entry : kIcons)
        if (entry.button == buttonName)
            return &entry;
    return nullptr;
}

}  // namespace

QString ToolIconFile(std::string_view buttonName)
{
    const SToolIconEntry* entry = Find(buttonName);
    return entry ? QStringLiteral(":/icons/tools/%1.svg").arg(QLatin1String(entry->file)) : QString();
}

QIcon ToolIcon(std::string_view buttonName)
{
    const SToolIconEntry* entry = Find(buttonName);
    if (!entry)
        return QIcon();
    // An SVG file goes through Qt's SVG icon engine, so it is drawn afresh at every size and scale.
    QIcon own(ToolIconFile(buttonName));
    return *entry->theme ? QIcon::fromTheme(QLatin1String(entry->theme), own) : own;
}
