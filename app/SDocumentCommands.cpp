// The document commands that read and write document files: the file dialogs' set-up, the save
// question, clear, open, save, save as, closing, and the file history.
#include "SHuedraneController.h"

#include "SDocumentFile.h"
#include "SMessage.h"
#include "SPlatform.h"
#include "TConvertThread.h"

using namespace ulib;

namespace {

const char* const DocumentFilterText = "Huedrane(*.hdq)";
const char* const DocumentPattern = "*.hdq;*.hda";
const char* const DocumentExtension = "hdq";

SError Cancelled()
{
    return ErrorFromIdentifier("cancel");
}

// The name the document dialog offers for a cel without a path.
SString OfferedName(const SString& defaultFileName)
{
    return defaultFileName.IsEmpty() ? SString() : TConvertThread::TargetPath(defaultFileName, ".hdq");
}

}  // namespace

void SHuedraneController::SetUpFileDialogs()
{
    documentDialog.title.Clear();
    documentDialog.filters.Clear();
    documentDialog.filters.Append(SString(DocumentFilterText), SString(DocumentPattern));
    documentDialog.multipleSelection = false;

    const SMap<SString, SString> pictures = GetPictureFilters(spi);
    importDialog.title = SString("ファイルのインポート");
    importDialog.filters = pictures;
    importDialog.multipleSelection = false;

    exportDialog.title = SString("ファイルのエクスポート");
    exportDialog.filters.Clear();
    exportDialog.filters.Append(SString("ビットマップ(*.bmp)"), SString("*.bmp"));
    exportDialog.filters.Append(SString("PNGイメージ(*.png)"), SString("*.png"));
    exportDialog.filters.Append(SString("JPEGイメージ(*.jpg)"), SString("*.jpg;*.jpeg"));
    exportDialog.multipleSelection = false;

    batchImportDialog.title = SString("ファイルの一括インポート");
    batchImportDialog.filters = pictures;
    batchImportDialog.multipleSelection = true;

    batchExportDialog.title = SString("ファイルの一括エクスポート");
    batchExportDialog.filters.Clear();
    batchExportDialog.filters.Append(SString(DocumentFilterText), SString(DocumentPattern));
    batchExportDialog.multipleSelection = true;

    referenceDialog.title = SString("参照画像の読み込み");
    referenceDialog.filters = pictures;
    referenceDialog.multipleSelection = true;

    underLayerDialog.title = SString("下敷きレイヤーの読み込み");
    underLayerDialog.filters = pictures;
    underLayerDialog.multipleSelection = false;
}

SError SHuedraneController::AskToSave()
{
    if (state != SDocumentState::Modified)
        return 0;
    const int answer = AskSaveChanges();
    if (answer == 0)
        return Cancelled();
    if (answer < 0)
        return 0;
    return Save();
}

SError SHuedraneController::Clear()
{
    if (SError err = AskToSave())
        return err;
    stroke_.MouseUp();
    ClearCel();
    ResetIdentity();
    sourcePicture.Clear();
    undo.Clear();
    undo.SetDocumentSize(0, 0);
    return 0;
}

SError SHuedraneController::Open(const SString& file)
{
    if (SError err = AskToSave())
        return err;
    SString chosen = file;
    if (chosen.IsEmpty()) {
        documentDialog.SetFileName(path);
        // An open dialog must not add an extension to a name typed without one.
        documentDialog.defaultExtension.Clear();
        if (!documentDialog.Open())
            return Cancelled();
        chosen = documentDialog.FileName();
    }
    if (SError err = OpenDocumentFile(chosen))
        return err;
    AddHistory(chosen);
    return 0;
}

SError SHuedraneController::OpenOrImport(const SString& file)
{
    if (SError err = AskToSave())
        return err;
    SError err = OpenDocumentFile(file);
    if (err == 0) {
        AddHistory(file);
        return 0;
    }
    if (err == Cancelled() || err == ErrorFromIdentifier("abort"))
        return err;
    err = Import(file, false);
    if (err == 0)
        MarkModified();
    return err;
}

SError SHuedraneController::Save()
{
    if (state == SDocumentState::None)
        return Cancelled();
    SString target = path;
    if (target.IsEmpty()) {
        documentDialog.SetFileName(OfferedName(defaultFileName));
        documentDialog.defaultExtension = SString(DocumentExtension);
        if (!documentDialog.Save())
            return Cancelled();
        target = documentDialog.FileName();
    }
    return WriteDocumentTo(target, false);
}

SError SHuedraneController::SaveAs()
{
    if (state == SDocumentState::None)
        return Cancelled();
    documentDialog.SetFileName(path.IsEmpty() ? OfferedName(defaultFileName) : path);
    documentDialog.defaultExtension = SString(DocumentExtension);
    if (!documentDialog.Save())
        return Cancelled();
    return WriteDocumentTo(documentDialog.FileName(), true);
}

SError SHuedraneController::QueryClose()
{
    return AskToSave();
}

void SHuedraneController::AddHistory(const SString& file)
{
    history.Insert(0, file);
    if (history.Count() > HistoryLimit)
        history.SetCount(HistoryLimit);
}

SError SHuedraneController::WriteDocumentTo(const SString& file, bool chosen)
{
    if (SError err = SaveDocument(cel, file))
        return err;
    state = SDocumentState::Saved;
    if (chosen || file != path) {
        TakePath(file);
        AddHistory(file);
    }
    return 0;
}

void SHuedraneController::TakePath(const SString& file)
{
    path = file;
    defaultFileName.Clear();
    title = SString(Platform().DisplayName(file.Str())) + " - Huedrane";
}
