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
    documentDialog_.title.Clear();
    documentDialog_.filters.Clear();
    documentDialog_.filters.Append(SString(DocumentFilterText), SString(DocumentPattern));
    documentDialog_.multipleSelection = false;

    const SMap<SString, SString> pictures = GetPictureFilters(spi_);
    importDialog_.title = SString("ファイルのインポート");
    importDialog_.filters = pictures;
    importDialog_.multipleSelection = false;

    exportDialog_.title = SString("ファイルのエクスポート");
    exportDialog_.filters.Clear();
    exportDialog_.filters.Append(SString("ビットマップ(*.bmp)"), SString("*.bmp"));
    exportDialog_.filters.Append(SString("PNGイメージ(*.png)"), SString("*.png"));
    exportDialog_.filters.Append(SString("JPEGイメージ(*.jpg)"), SString("*.jpg;*.jpeg"));
    exportDialog_.multipleSelection = false;

    batchImportDialog_.title = SString("ファイルの一括インポート");
    batchImportDialog_.filters = pictures;
    batchImportDialog_.multipleSelection = true;

    batchExportDialog_.title = SString("ファイルの一括エクスポート");
    batchExportDialog_.filters.Clear();
    batchExportDialog_.filters.Append(SString(DocumentFilterText), SString(DocumentPattern));
    batchExportDialog_.multipleSelection = true;

    referenceDialog_.title = SString("参照画像の読み込み");
    referenceDialog_.filters = pictures;
    referenceDialog_.multipleSelection = true;

    underLayerDialog_.title = SString("下敷きレイヤーの読み込み");
    underLayerDialog_.filters = pictures;
    underLayerDialog_.multipleSelection = false;

    carryDialog_.title = SString("色を写すセルの選択");
    carryDialog_.filters = documentDialog_.filters;
    carryDialog_.multipleSelection = false;
}

SError SHuedraneController::AskToSave()
{
    if (state_ != SDocumentState::Modified)
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
    sourcePicture_.Clear();
    undo_.Clear();
    undo_.SetDocumentSize(0, 0);
    return 0;
}

SError SHuedraneController::Open(const SString& file)
{
    if (SError err = AskToSave())
        return err;
    SString chosen = file;
    if (chosen.IsEmpty()) {
        documentDialog_.SetFileName(path_);
        // An open dialog must not add an extension to a name typed without one.
        documentDialog_.defaultExtension.Clear();
        if (!documentDialog_.Open())
            return Cancelled();
        chosen = documentDialog_.FileName();
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
    if (state_ == SDocumentState::None)
        return Cancelled();
    SString target = path_;
    if (target.IsEmpty()) {
        documentDialog_.SetFileName(OfferedName(defaultFileName_));
        documentDialog_.defaultExtension = SString(DocumentExtension);
        if (!documentDialog_.Save())
            return Cancelled();
        target = documentDialog_.FileName();
    }
    return WriteDocumentTo(target, false);
}

SError SHuedraneController::SaveAs()
{
    if (state_ == SDocumentState::None)
        return Cancelled();
    documentDialog_.SetFileName(path_.IsEmpty() ? OfferedName(defaultFileName_) : path_);
    documentDialog_.defaultExtension = SString(DocumentExtension);
    if (!documentDialog_.Save())
        return Cancelled();
    return WriteDocumentTo(documentDialog_.FileName(), true);
}

SError SHuedraneController::QueryClose()
{
    return AskToSave();
}

void SHuedraneController::AddHistory(const SString& file)
{
    history_.Insert(0, file);
    if (history_.Count() > HistoryLimit)
        history_.SetCount(HistoryLimit);
}

SError SHuedraneController::WriteDocumentTo(const SString& file, bool chosen)
{
    if (SError err = SaveDocument(cel_, file))
        return err;
    state_ = SDocumentState::Saved;
    autosave_.Closed();
    if (chosen || file != path_) {
        TakePath(file);
        AddHistory(file);
    }
    return 0;
}

void SHuedraneController::TakePath(const SString& file)
{
    path_ = file;
    defaultFileName_.Clear();
    title_ = SString(Platform().DisplayName(file.Str())) + " - Huedrane";
}
