// The converter's edit command: a checked script run on the controller, then the cel saved.
#include "CliCommands.h"

#include "SColourText.h"
#include "SDocumentFile.h"
#include "SHuedraneController.h"
#include "Sximage.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <utility>

using namespace ulib;

namespace {

int Number(const std::string& word) { return std::atoi(word.c_str()); }

STool ToolNamed(const std::string& word)
{
    for (std::int32_t tool = ToolPaint; tool <= ToolKnife; ++tool)
        if (word == ToolSettingsName(tool))
            return STool(tool);
    return ToolNone;
}

SError RunCommand(SHuedraneController& c, const SScriptCommand& command)
{
    static const std::map<std::string, int> layers = {
        {"under", LayerUnder}, {"genga", LayerGenga}, {"paint", LayerPaint}, {"trace", LayerTrace}, {"extra", LayerExtra}};
    static const std::map<std::string, SWholeCelOperation> fills = {{"paint", SWholeCelOperation::FillPaint},
                                                                    {"trace", SWholeCelOperation::FillTrace},
                                                                    {"extra", SWholeCelOperation::FillExtra},
                                                                    {"both", SWholeCelOperation::FillBoth}};
    const std::string& w = command.word;
    const auto& a = command.args;
    if (w == "mode") {
        c.SetColourMode(a[0] == "colour" ? SColourMode::Colour : a[0] == "eraser" ? SColourMode::Eraser : SColourMode::Bitmap);
    } else if (w == "colour") {
        c.SetCurrentColour(TextToColour(command.rest));
    } else if (w == "reference") {
        SBitmap picture;
        const SError err = command.rest == "none" ? 0 : ReadImageFile(&picture, SString(command.rest));
        c.SetReferenceImage(std::move(picture));
        return err;
    } else if (w == "pen") {
        c.SetTracePen(Number(a[0]));
    } else if (w == "gap") {
        c.SetFillGap(Number(a[0]));
    } else if (IsBrushSetting(command)) {
        c.SetBrush({std::min(Number(a[0]), 100), Number(a[1]), Number(a[2])});
    } else if (w == "show" || w == "hide") {
        c.SetLayerSwitch(layers.at(a[0]), w == "show");
    } else if (w == "fillall") {
        c.RunWholeCel(fills.at(a[0]));
    } else if (w == "blacktored") {
        c.RunWholeCel(SWholeCelOperation::BlackToRed);
    } else if (w == "gundress") {
        c.RunWholeCel(SWholeCelOperation::Gundress);
    } else if (w == "undo") {
        c.Undo();
    } else if (w == "redo") {
        c.Redo();
    } else if (w == "memo") {
        SArray<SString> memo = c.Cel().memo;
        memo.Append(SString(command.rest));
        c.SetMemo(std::move(memo));
    } else {
        c.MouseDown(ToolNamed(w), {Number(a[0]), Number(a[1])});
        for (std::size_t i = 2; i + 1 < a.size(); i += 2)
            c.MouseMove({Number(a[i]), Number(a[i + 1])});
        c.MouseUp();
    }
    return 0;
}

}  // namespace

SError RunEdit(const SCliArguments& args, const std::vector<SScriptCommand>& script)
{
    SHuedraneController controller;
    if (SError err = controller.OpenDocumentFile(SString(args.operands.at(0))))
        return err;
    for (const SScriptCommand& command : script)
        if (SError err = RunCommand(controller, command))
            return err;
    return SaveDocument(controller.Cel(), SString(args.output));
}
