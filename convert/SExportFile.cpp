#include "SExportFile.h"

#include "SErrorCause.h"
#include "SExportRender.h"
#include "SGengaPicture.h"
#include "SReplacingFile.h"
#include "Sximage.h"
#include "Sxpng.h"

using namespace ulib;

namespace {

bool Aborted(SAbort* progress)
{
    return progress != nullptr && progress->IsAborted();
}

void Push(SAbort* progress, std::int32_t from, std::int32_t to)
{
    if (progress != nullptr)
        progress->PushRange(from, to, 0, 100);
}

void Replace(SAbort* progress, std::int32_t from, std::int32_t to)
{
    if (progress != nullptr)
        progress->ReplaceRange(from, to, 0, 100);
}

void Pop(SAbort* progress)
{
    if (progress != nullptr)
        progress->PopRange();
}

// Ends the innermost range at its end; true when abort was requested.
bool Finish(SAbort* progress)
{
    return progress != nullptr && progress->SetPosition(100);
}

bool KnownFormat(std::int32_t format)
{
    return format >= 0 && format <= 2;
}

SError WritePictureFile(const SBitmap& picture, std::int32_t format, const SString& path)
{
    switch (format) {
    case 0:
        return WriteBmpFile(picture, path);
    case 1:
        return WritePngFile(&picture, path);
    case 2:
        return WriteJpegFile(picture, path);
    default:
        return ErrorFromIdentifier("domain");
    }
}

// A stop request that arrives while the picture is encoded still keeps the previous file.
SError WritePicture(const SBitmap& picture, std::int32_t format, const SString& path, const SAbort* progress)
{
    const SCommitAbortScope scope(progress);
    return scope.Result(WritePictureFile(picture, format, path));
}

// A document as export expects it: genga, paint and trace records of the document's size, the
// document, paint and trace 32-bit.
bool IsExportableDocument(const SQuickPress& document)
{
    if (document.Count() < 3 || document.format != 32)
        return false;
    for (std::int32_t i = 0; i < 3; ++i)
        if (document[i].width != document.width || document[i].height != document.height)
            return false;
    return document[1].format == 32 && document[2].format == 32;
}

}  // namespace

SError ExportDocumentFile(const SQuickPress& document, const SHuedraneOptions& options, SAbort* progress,
                          const SString& path)
{
    // An unknown format would render for nothing and report success without a file.
    if (!KnownFormat(options.exportFormat))
        return ErrorFromIdentifier("domain");
    SBitmap picture;
    Push(progress, 0, 90);
    SError err = RenderExportImage(&picture, document, &options, progress);
    if (err == 0 && Aborted(progress))
        err = ErrorFromIdentifier("abort");
    Replace(progress, 90, 100);
    if (err == 0)
        err = WritePicture(picture, options.exportFormat, path, progress);
    if (err == 0)
        Finish(progress);
    Pop(progress);
    return err;
}

SError ExportDocumentFileToImageFile(const SString& documentPath, const SString& picturePath,
                                     const SHuedraneOptions& options, SAbort* progress, bool keepScan)
{
    if (Aborted(progress))
        return ErrorFromIdentifier("abort");
    if (!KnownFormat(options.exportFormat))
        return ErrorFromIdentifier("domain");
    SQuickPress document;
    SBitmap picture;
    Push(progress, 0, 10);
    SError err = document.ReadFile(documentPath);
    if (err == 0 && Aborted(progress))
        err = ErrorFromIdentifier("abort");
    if (err == 0 && !IsExportableDocument(document))
        err = ErrorFromIdentifier("data");
    if (err == 0 && keepScan && PictureFileHoldsGenga(document, picturePath))
        err = ErrorWithPath(ErrorFromIdentifier("genga_overwrite"), picturePath.Str());
    Replace(progress, 10, 90);
    if (err == 0)
        err = RenderExportImage(&picture, document, &options, progress);
    if (err == 0 && Aborted(progress))
        err = ErrorFromIdentifier("abort");
    Replace(progress, 90, 100);
    if (err == 0)
        err = WritePicture(picture, options.exportFormat, picturePath, progress);
    if (err == 0)
        Finish(progress);  // the picture is in place: a later stop request cannot undo it
    Pop(progress);
    return err;
}
