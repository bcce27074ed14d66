// Document files: packing the cel into its container and unpacking it again.
#include "SDocumentFile.h"

#include "SDocumentRecords.h"
#include "SParallel.h"

#include <utility>

using namespace ulib;

namespace {

constexpr std::int32_t ThumbnailBox = 128;

// The image records a list holds: genga, paint and trace, and the extra layer when record 3 is
// an image.
std::int32_t ImageRecordCount(const SQuickPress& list)
{
    return list.Count() > 3 && list[3].kind == document_kind::Image ? 4 : 3;
}

SError CheckImageRecords(const SQuickPress& list)
{
    const SError data = ErrorFromIdentifier("data");
    if (list.Count() < 3 || list.format != 32)
        return data;
    for (std::int32_t i = 0; i < ImageRecordCount(list); ++i) {
        const SQuickPressLayer& r = list[i];
        if (r.width != list.width || r.height != list.height)
            return data;
        // Paint, trace and extra are read as 32-bit pixels: any other format would be misread.
        if (i > 0 && r.format != 32)
            return data;
    }
    return 0;
}

// Decodes the image records into the cel's layers, each on its own core.
SError DecodeImageRecords(SCel& cel)
{
    const SQuickPress& held = cel.held;
    const std::int32_t width = held.width, height = held.height;
    SError errors[4] = {};
    std::vector<std::function<void()>> tasks;
    tasks.emplace_back([&] { errors[1] = held.DecodeLayer(1, cel.paint); });
    tasks.emplace_back([&] { errors[2] = held.DecodeLayer(2, cel.trace); });
    tasks.emplace_back([&] {
        if (cel.visible[LayerGenga])
            errors[0] = held.DecodeLayer(0, cel.genga);
        else
            cel.genga.Create(0, 0, 24);
    });
    tasks.emplace_back([&] {
        if (ImageRecordCount(held) == 4) {
            errors[3] = held.DecodeLayer(3, cel.extra);
        } else if (cel.visible[LayerExtra]) {
            cel.extra.Create(width, height, 32);
            cel.extra.FillRect(SColor(255, 255, 255, 255));
        } else {
            cel.extra.Create(0, 0, 32);
        }
    });
    RunInParallel(tasks, std::int64_t(width) * height);
    SFirstError first;
    for (SError e : errors)
        first.Keep(e);
    return first.Value();
}

SError Unpack(SCel& cel, SQuickPress list)
{
    cel.memo.Clear();
    SError err = CheckImageRecords(list);
    if (!err) {
        cel.held = std::move(list);
        err = DecodeImageRecords(cel);
    }
    if (!err) {
        const SPoint size{cel.held.width, cel.held.height};
        cel.display.Create(size.x, size.y, 32);
        cel.flag.Create(size.x, size.y, 8);
        cel.flag.ResetPixels();
        for (const SBitmap* layer : {&cel.trace, &cel.paint, &cel.display, &cel.flag})
            if (layer->Dimensions() != size)
                err = ErrorFromIdentifier("memory");
    }
    if (err) {
        cel.ResetDocument();
        return err;
    }
    cel.ComposeAll();
    for (std::int32_t i = ImageRecordCount(cel.held); i < cel.held.Count(); ++i) {
        const SQuickPressLayer& r = cel.held[i];
        if (r.kind == document_kind::Memo)
            BytesToMemo(r.extra, cel.memo);
        else if (r.kind == document_kind::FlagRuns)
            ApplyFlagRuns(r.extra, cel.flag);
    }
    return 0;
}

}  // namespace

SError PackDocument(const SCel& cel, SQuickPress& list)
{
    return PackDocument(cel, cel.display.Dimensions(), list);
}

SError PackDocument(const SCel& cel, SPoint size, SQuickPress& list)
{
    const bool hasExtra = !cel.ExtraLayerIsEmpty();
    const bool hasMemo = cel.memo.Count() > 0;
    // The under layer's offset is never stored; a slot counted for it only ever holds the flags.
    const bool underSlot = cel.underOffset != SPoint{0, 0};
    list.Clear();
    if (list.SetCount(4 + hasExtra + hasMemo + underSlot))
        return ErrorFromIdentifier("memory");
    list.width = size.x;
    list.height = size.y;
    list.format = 32;

    SFirstError first;
    if (cel.held.Count() > 0)
        list[0].Assign(cel.held[0]);
    const std::int32_t thumbnailAt = 3 + hasExtra;
    SError errors[4] = {};
    const std::int64_t pixels = std::int64_t(list.width) * list.height;
    RunInParallel({
        [&] { errors[0] = list[1].Compress(cel.paint); },
        [&] { errors[1] = list[2].Compress(cel.trace); },
        [&] {
            if (hasExtra)
                errors[2] = list[3].Compress(cel.extra);
            errors[3] = list[thumbnailAt].Compress(MakeThumbnail(cel.trace, cel.paint, ThumbnailBox));
        },
    }, pixels);
    for (SError e : errors)
        first.Keep(e);
    list[thumbnailAt].kind = document_kind::Thumbnail;

    std::int32_t next = thumbnailAt + 1;
    SError recordError = 0;
    if (hasMemo) {
        list[next].kind = document_kind::Memo;
        list[next++].extra = MemoToBytes(cel.memo, recordError);
    }
    SBinary runs = FlagLayerToRuns(cel.flag, recordError);
    first.Keep(recordError);
    if (!runs.IsEmpty()) {
        if (next >= list.Count())
            first.Keep(list.SetCount(next + 1));
        if (next < list.Count()) {
            list[next].kind = document_kind::FlagRuns;
            list[next].extra = std::move(runs);
        }
    }
    return first.Value();
}

SError SaveDocument(const SCel& cel, const SString& path)
{
    if (path.IsEmpty())
        return ErrorFromIdentifier("filename_invalid");
    SQuickPress list;
    if (SError err = PackDocument(cel, list))
        return err;
    return list.WriteFile(path);
}

SError LoadDocument(SCel& cel, const SString& path)
{
    if (path.IsEmpty()) {
        cel.ResetDocument();
        return ErrorFromIdentifier("file_not_found");
    }
    SQuickPress list;
    if (SError err = list.ReadFile(path)) {
        cel.ResetDocument();
        return err;
    }
    return Unpack(cel, std::move(list));
}

SError UnpackDocument(SCel& cel, const SQuickPress& list)
{
    return Unpack(cel, list);
}
