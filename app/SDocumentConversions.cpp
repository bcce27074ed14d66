// The document commands that run conversions: import of a picture as the cel, export of the cel
// into a picture, and the batch conversions with their overwrite question.
#include "SHuedraneController.h"

#include "SConversionStarters.h"
#include "SDocumentFile.h"
#include "SExportRender.h"
#include "SMessage.h"
#include "TConvertThread.h"

#include <string>
#include <sys/stat.h>

using namespace ulib;

namespace {

SError Cancelled()
{
    return ErrorFromIdentifier("cancel");
}

// The single filter the export dialog offers for an export format, and its extension.
struct ExportChoice
{
    const char* description;
    const char* pattern;
    const char* extension;  // without the dot
};

ExportChoice ExportChoiceFor(std::int32_t format)
{
    switch (format) {
    case 0:
        return {"ビットマップイメージ(*.bmp)", "*.bmp", "bmp"};
    case 2:
        return {"JPEGイメージ(*.jpg)", "*.jpg;*.jpeg", "jpg"};
    default:
        return {"PNGイメージ(*.png)", "*.png", "png"};
    }
}

bool Exists(const SString& path)
{
    struct stat status;
    return ::stat(path.CStr(), &status) == 0;
}

// Asks before a batch replaces files: every source's target (its name with extension) that exists
// already counts. Gives 0 when none exists or the user answered yes, else "cancel".
SError ConfirmOverwrite(const SArray<SString>& sources, const char* extension)
{
    SString first;
    std::int32_t existing = 0;
    for (const SString& source : sources) {
        const SString target = TConvertThread::TargetPath(source, extension);
        if (!Exists(target))
            continue;
        if (existing++ == 0)
            first = target;
    }
    if (existing == 0)
        return 0;
    const SString question = first + "など、" + std::to_string(existing) +
                             "個のファイルが上書きされます。処理を続けてよろしいですか？";
    return ShowMessageBox("question", question.CStr(), "y") == 1 ? 0 : Cancelled();
}

// The under layer as the export's kind-2001 record, appended after the document's records. The
// record is added by hand: SQuickPress::Append would take the list's size from the under layer.
SError AppendUnderLayer(SQuickPress& document, const SBitmap& under, SPoint offset)
{
    const std::int32_t index = document.Count();
    if (SError err = document.SetCount(index + 1))
        return err;
    SQuickPressLayer& record = document[index];
    if (SError err = record.Compress(under))
        return err;
    record.kind = ExportUnderLayerKind;
    record.originX = offset.x;
    record.originY = offset.y;
    return 0;
}

}  // namespace

SError SHuedraneController::Import(const SString& file, bool ask)
{
    if (ask)
        if (SError err = AskToSave())
            return err;
    SString chosen = file;
    if (chosen.IsEmpty()) {
        if (!importDialog.Open())
            return Cancelled();
        chosen = importDialog.FileName();
    }
    if (chosen.IsEmpty())
        return ErrorFromIdentifier("file_not_found");

    stroke_.MouseUp();
    SQuickPress document;
    SError err = RunImport(document, chosen, options, spi);
    if (!err)
        err = UnpackDocument(cel, document);
    if (err)
        ClearCel();
    undo.Clear();
    undo.SetDocumentSize(cel.display.Width(), cel.display.Height());

    // The cel has no file yet: it stays untitled whatever happened.
    ResetIdentity();
    if (err) {
        defaultFileName.Clear();
        return err;
    }
    state = SDocumentState::Saved;
    defaultFileName = TConvertThread::TargetPath(chosen, ".hdq");
    return 0;
}

SError SHuedraneController::Export(const SString& file, SString* chosen)
{
    if (chosen)
        chosen->Clear();
    SString target = file;
    if (target.IsEmpty()) {
        const ExportChoice choice = ExportChoiceFor(options.exportFormat);
        exportDialog.filters.Clear();
        exportDialog.filters.Append(SString(choice.description), SString(choice.pattern));
        exportDialog.filterIndex = 0;
        exportDialog.defaultExtension = SString(choice.extension);
        const SString& base = path.IsEmpty() ? defaultFileName : path;
        exportDialog.SetFileName(
            base.IsEmpty() ? SString() : TConvertThread::TargetPath(base, (std::string(".") + choice.extension).c_str()));
        if (!exportDialog.Save())
            return 0;
        target = exportDialog.FileName();
    }
    if (chosen)
        *chosen = target;

    stroke_.MouseUp();
    SQuickPress document;
    if (SError err = PackDocument(cel, document))
        return err;
    if (!cel.under.IsEmpty())
        if (SError err = AppendUnderLayer(document, cel.under, cel.underOffset))
            return err;
    return RunExport(document, target, options);
}

SError SHuedraneController::BatchImport(const SArray<SString>& files)
{
    if (!files.IsEmpty())
        return RunBatchImport(files, options, spi);
    if (!batchImportDialog.Open())
        return 0;
    const SArray<SString> chosen = batchImportDialog.fileNames;
    if (SError err = ConfirmOverwrite(chosen, ".hdq"))
        return err;
    return RunBatchImport(chosen, options, spi);
}

SError SHuedraneController::BatchExport(const SArray<SString>& files)
{
    if (!files.IsEmpty())
        return RunBatchExport(files, options);
    batchExportDialog.filters.Clear();
    batchExportDialog.filters.Append(SString("Huedraneファイル(*.hdq)"), SString("*.hdq;*.hda"));
    batchExportDialog.filterIndex = 0;
    if (!batchExportDialog.Open())
        return 0;
    const SArray<SString> chosen = batchExportDialog.fileNames;
    // JPEG has no batch target here: the worker refuses the batch, so nothing is asked first.
    const char* extension = options.exportFormat == 0 ? ".bmp" : options.exportFormat == 1 ? ".png" : nullptr;
    if (extension)
        if (SError err = ConfirmOverwrite(chosen, extension))
            return err;
    return RunBatchExport(chosen, options);
}
