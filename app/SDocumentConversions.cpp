// The document commands that run conversions: import of a picture as the cel, export of the cel
// into a picture, and the batch conversions with their overwrite question.
#include "SHuedraneController.h"

#include "SConversionStarters.h"
#include "SDocumentFile.h"
#include "SExportRender.h"
#include "SGengaPicture.h"
#include "SLanguage.h"
#include "SMessage.h"
#include "SPlatform.h"
#include "TConvertThread.h"

#include <filesystem>
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

// Whether two names are one file: the same text, or links or other spellings of one existing file.
bool SamePicture(const SString& a, const SString& b)
{
    if (a.IsEmpty() || b.IsEmpty())
        return false;
    if (a == b)
        return true;
    struct stat first, second;
    return ::stat(a.CStr(), &first) == 0 && ::stat(b.CStr(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

// The picture a cel was imported from is the artist's own scan: replacing it needs a second yes.
bool ConfirmReplacingSource(const SString& target)
{
    const SString warning(FormatText("「%1」はこのセルの取り込み元の画像です。"
                                     "上書きすると元の画像は失われます。上書きしてよろしいですか？",
                                     {Platform().DisplayName(target.Str())}));
    return ShowMessageBox("warning", warning.CStr(), "Y2") == 1;
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
    const SString question(FormatText("%1など、%2個のファイルが上書きされます。処理を続けてよろしいですか？",
                                      {first.Str(), std::to_string(existing)}));
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
        if (!importDialog_.Open())
            return Cancelled();
        chosen = importDialog_.FileName();
    }
    if (chosen.IsEmpty())
        return ErrorFromIdentifier("file_not_found");

    // The picture is converted before anything of the working cel is touched: a picture that
    // cannot be read leaves the cel, its name and its undo steps as they were.
    SQuickPress document;
    if (SError err = RunImport(document, chosen, options_, spi_))
        return err;
    if (SError err = ReplaceCel([&](SCel& loaded) { return UnpackDocument(loaded, document); }))
        return err;
    // The cel has no file yet: it is untitled.
    ResetIdentity();
    state_ = SDocumentState::Saved;
    defaultFileName_ = TConvertThread::TargetPath(chosen, ".hdq");
    sourcePicture_ = chosen;
    return 0;
}

bool SHuedraneController::IsOwnScan(const SString& file) const
{
    if (SamePicture(file, sourcePicture_))
        return true;
    // A scan beside a document opened later: recognised by its pixels.
    return Exists(file) && PictureFileHoldsGenga(cel_.held, file);
}

SString SHuedraneController::ExportProposal(const char* extension) const
{
    const SString& base = path_.IsEmpty() ? defaultFileName_ : path_;
    if (base.IsEmpty())
        return {};
    const std::string dotted = std::string(".") + extension;
    const SString proposal = TConvertThread::TargetPath(base, dotted.c_str());
    if (!IsOwnScan(proposal))
        return proposal;
    // The scan keeps its name; the export is named after it.
    std::filesystem::path named(base.Str());
    named.replace_extension();
    named += "_export" + dotted;
    return SString(named.string());
}

SError SHuedraneController::Export(const SString& file, SString* chosen)
{
    if (chosen)
        chosen->Clear();
    SString target = file;
    if (target.IsEmpty()) {
        if (!ConfirmExportAfterCheck())
            return 0;
        const ExportChoice choice = ExportChoiceFor(options_.exportFormat);
        exportDialog_.filters.Clear();
        exportDialog_.filters.Append(SString(choice.description), SString(choice.pattern));
        exportDialog_.filterIndex = 0;
        exportDialog_.defaultExtension = SString(choice.extension);
        exportDialog_.SetFileName(ExportProposal(choice.extension));
        if (!exportDialog_.Save())
            return 0;
        target = exportDialog_.FileName();
        if (IsOwnScan(target) && !ConfirmReplacingSource(target))
            return 0;
    }
    if (chosen)
        *chosen = target;

    stroke_.MouseUp();
    SQuickPress document;
    if (SError err = PackDocument(cel_, document))
        return err;
    if (!cel_.under.IsEmpty())
        if (SError err = AppendUnderLayer(document, cel_.under, cel_.underOffset))
            return err;
    return RunExport(document, target, options_);
}

SError SHuedraneController::BatchImport(const SArray<SString>& files)
{
    if (!files.IsEmpty())
        return RunBatchImport(files, options_, spi_);
    if (!batchImportDialog_.Open())
        return 0;
    const SArray<SString> chosen = batchImportDialog_.fileNames;
    if (SError err = ConfirmOverwrite(chosen, ".hdq"))
        return err;
    return RunBatchImport(chosen, options_, spi_);
}

SError SHuedraneController::BatchExport(const SArray<SString>& files)
{
    if (!files.IsEmpty())
        return RunBatchExport(files, options_);
    batchExportDialog_.filters.Clear();
    batchExportDialog_.filters.Append(SString("Huedraneファイル(*.hdq)"), SString("*.hdq;*.hda"));
    batchExportDialog_.filterIndex = 0;
    if (!batchExportDialog_.Open())
        return 0;
    const SArray<SString> chosen = batchExportDialog_.fileNames;
    // JPEG has no batch target here: the worker refuses the batch, so nothing is asked first.
    const char* extension = options_.exportFormat == 0 ? ".bmp" : options_.exportFormat == 1 ? ".png" : nullptr;
    if (extension)
        if (SError err = ConfirmOverwrite(chosen, extension))
            return err;
    return RunBatchExport(chosen, options_);
}
