// The controller's part of autosave and recovery: the ticks and opening a copy left by a crash.
#include "SHuedraneController.h"

#include "SDocumentFile.h"

using namespace ulib;

SAutosave::STick SHuedraneController::AutosaveTick(SAutosave::Clock::time_point now)
{
    const SRecoveryInfo identity{path_, path_.IsEmpty() ? defaultFileName_ : SString(), 0};
    return autosave_.Tick(cel_, identity, state_ == SDocumentState::Modified, stroke_.ToolInEffect() != ToolNone,
                          now);
}

SError SHuedraneController::OpenRecoveryCopy(SOrphanCopies& copies, std::size_t index)
{
    if (index >= copies.Copies().size())
        return ErrorFromIdentifier("domain");
    const SRecoveryCopy& copy = copies.Copies()[index];
    if (copy.damaged)
        return ErrorFromIdentifier("data");
    if (SError err = ReplaceCel([&](SCel& loaded) { return LoadDocument(loaded, copy.files.document); })) {
        copies.MarkDamaged(index);
        return err;
    }
    if (copy.info.path.IsEmpty()) {
        ResetIdentity();
        if (!copy.info.defaultName.IsEmpty())
            defaultFileName_ = copy.info.defaultName;
    } else {
        TakePath(copy.info.path);
    }
    state_ = SDocumentState::Modified;
    sourcePicture_.Clear();
    // A copy that stays where it is is still offered at the next start: no worse than before.
    (void)autosave_.Adopt(copies.Take(index));
    return 0;
}

bool SHuedraneController::IsRecoveryFile(const SString& file) const
{
    const std::string& folder = autosave_.Folder().Str();
    const std::string& path = file.Str();
    return !folder.empty() && path.size() > folder.size() + 5 && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == '/' && path.find('/', folder.size() + 1) == std::string::npos &&
           path.compare(path.size() - 4, 4, ".hdq") == 0;
}

SError SHuedraneController::OpenRecoveryFile(const SString& file)
{
    SOrphanCopies copies;
    if (SError err = copies.Find(autosave_.Folder(), 1))
        return err;
    for (std::size_t i = 0; i < copies.Copies().size(); ++i)
        if (copies.Copies()[i].files.document == file)
            return OpenRecoveryCopy(copies, i);
    return ErrorFromIdentifier("file_not_found");
}
