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
