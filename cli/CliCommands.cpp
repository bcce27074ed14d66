// The converter's document commands, on the same core the painting window uses.
#include "CliCommands.h"

#include "CliOutput.h"
#include "SCel.h"
#include "SDocumentFile.h"
#include "SDocumentRecords.h"
#include "SQuickPress.h"
#include "SStoredText.h"
#include "Sxpng.h"

#include <map>
#include <string>

using namespace ulib;

SError RunInfo(const SCliArguments& args, std::ostream& out)
{
    SQuickPress list;
    if (SError err = list.ReadFile(SString(args.operands.at(0))))
        return err;

    out << "{\"width\":" << list.width << ",\"height\":" << list.height << ",\"format\":" << list.format
        << ",\"records\":[";
    SArray<SString> memo;
    bool flags = false;
    for (std::int32_t i = 0; i < list.Count(); ++i) {
        const SQuickPressLayer& r = list[i];
        out << (i ? "," : "") << "{\"kind\":" << r.kind << ",\"width\":" << r.width << ",\"height\":" << r.height
            << ",\"format\":" << r.format << ",\"tiles\":" << r.tiles.Count() << ",\"palette\":" << r.palette.Count()
            << ",\"extra\":" << r.extra.Length() << ",\"name\":";
        WriteJsonString(out, DecodeStoredText(r.name.View()));
        out << '}';
        if (r.kind == document_kind::Memo)
            BytesToMemo(r.extra, memo);
        flags |= r.kind == document_kind::FlagRuns;
    }
    out << "],\"memo\":[";
    for (std::int32_t i = 0; i < memo.Count(); ++i) {
        out << (i ? "," : "");
        WriteJsonString(out, memo[i].View());
    }
    out << "],\"flags\":" << (flags ? "true" : "false") << "}\n";
    return 0;
}

SError RunRender(const SCliArguments& args)
{
    static const std::map<std::string, int> layers = {
        {"under", LayerUnder}, {"genga", LayerGenga}, {"paint", LayerPaint}, {"trace", LayerTrace}, {"extra", LayerExtra}};
    SCel cel;
    cel.visible = {false, true, true, true, true};
    for (const std::string& name : args.hide)
        cel.visible[std::size_t(layers.at(name))] = false;
    cel.silhouette = args.silhouette;
    if (SError err = LoadDocument(cel, SString(args.operands.at(0))))
        return err;
    return WritePngFile(&cel.display, SString(args.output));
}

SError RunThumbnail(const SCliArguments& args)
{
    SQuickPress list;
    if (SError err = list.ReadFile(SString(args.operands.at(0))))
        return err;
    for (std::int32_t i = 0; i < list.Count(); ++i) {
        if (list[i].kind != document_kind::Thumbnail)
            continue;
        SBitmap thumbnail;
        if (SError err = list.DecodeLayer(i, thumbnail))
            return err;
        return WritePngFile(&thumbnail, SString(args.output));
    }
    return ErrorFromIdentifier("nodata");
}
