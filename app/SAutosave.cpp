#include "SAutosave.h"

#include "SDocumentFile.h"
#include "SQuickPress.h"
#include "SReplacingFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

using namespace ulib;

namespace {

// A name no other program's copy has: the process and the start's clock (process numbers come
// back after a restart).
std::string OwnCopyName()
{
    char name[64];
    std::snprintf(name, sizeof name, "%ld-%llx", long(::getpid()),
                  static_cast<unsigned long long>(std::chrono::system_clock::now().time_since_epoch().count()));
    return name;
}

// Makes the folder and the folders above it, private to the user.
SError MakeFolders(const std::string& folder)
{
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return ErrorFromSystemCode(errno);
        if (slash == std::string::npos)
            return 0;
    }
}

SError WriteInfo(const SString& file, const SRecoveryInfo& info)
{
    SReplacingFile out;
    if (SError err = out.Open(file, 0600))
        return err;
    const std::string text = RecoveryInfoText(info);
    std::FILE* stream = out.Stream();
    if (!stream || std::fwrite(text.data(), 1, text.size(), stream) != text.size()) {
        const int code = stream ? StreamWriteCode(stream) : ENOMEM;
        return ErrorFromSystemCode(code != 0 ? code : ENOSPC);
    }
    return out.Commit();
}

}  // namespace

SAutosave::SAutosave(SHuedraneUndoBuffer& undo) : undo_(undo)
{
    undo_.SetRowWatcher(&snapshot_);
}

SAutosave::~SAutosave()
{
    Wait();
    RemoveCopy();
    undo_.SetRowWatcher(nullptr);
}

void SAutosave::Start(const SString& folder)
{
    Closed();
    folder_ = folder;
    files_ = folder.IsEmpty() ? SRecoveryFileSet{} : RecoveryFiles(folder, OwnCopyName());
}

void SAutosave::SetLimits(std::int32_t steps, std::int32_t seconds)
{
    steps_ = std::clamp(steps, 0, MostSteps);
    seconds_ = std::clamp(seconds, 0, MostSeconds);
}

void SAutosave::Wait()
{
    if (writer_.joinable())
        writer_.join();
}

void SAutosave::RemoveCopy()
{
    if (!lock_.Locked())
        return;
    ::unlink(files_.document.CStr());
    ::unlink(files_.info.CStr());
    lock_.Remove();
}

void SAutosave::Closed()
{
    Wait();
    writing_ = false;
    written_ = false;
    RemoveCopy();
    snapshot_.Release();
    copying_ = false;
    firstUnwritten_.reset();
    notBefore_.reset();
    editsWritten_ = edits_;
    failureReported_ = false;
}

SError SAutosave::Adopt(const SRecoveryCopy& copy)
{
    if (folder_.IsEmpty())
        return ErrorFromIdentifier("object_disabled");
    if (SError err = MakeFolders(folder_.Str()))
        return err;
    if (SError err = lock_.Locked() ? 0 : lock_.Lock(files_.lock))
        return err;
    if (::rename(copy.files.document.CStr(), files_.document.CStr()) != 0 ||
        ::rename(copy.files.info.CStr(), files_.info.CStr()) != 0)
        return ErrorFromSystemCode(errno);
    editsWritten_ = edits_;
    return 0;
}

void SAutosave::Failed(SError err, STick& tick, Clock::time_point now)
{
    editsWritten_ = editsBeforeWrite_;
    // A full disk is not retried at every tick: the next try waits as long as the time trigger.
    notBefore_ = now + std::chrono::seconds(seconds_ > 0 ? seconds_ : DefaultSeconds);
    if (!failureReported_) {
        tick.failure = err;
        failureReported_ = true;
    }
}

void SAutosave::FinishWrite(STick& tick, Clock::time_point now)
{
    Wait();
    writing_ = false;
    written_ = false;
    if (writeResult_ != 0) {
        Failed(writeResult_, tick, now);
        return;
    }
    failureReported_ = false;
}

SError SAutosave::StartWrite(const SRecoveryInfo& identity, const SQuickPress& held)
{
    if (SError err = MakeFolders(folder_.Str()))
        return err;
    if (SError err = lock_.Locked() ? 0 : lock_.Lock(files_.lock))
        return err;
    SRecoveryInfo info = identity;
    info.savedAt = std::chrono::duration_cast<std::chrono::seconds>(
                       std::chrono::system_clock::now().time_since_epoch()).count();
    writing_ = true;
    writer_ = std::thread([this, info, &held] {
        SQuickPress list;
        SError err = PackDocument(snapshot_.Copy(), snapshot_.Size(), list);
        // Record 0 holds the genga as loaded; the copy has none, so its place is empty.
        if (err == 0 && held.Count() > 0)
            err = list[0].Assign(held[0]);
        if (err == 0)
            err = list.WriteFile(files_.document);
        if (err == 0)
            err = WriteInfo(files_.info, info);
        writeResult_ = err;
        written_.store(true, std::memory_order_release);
    });
    return 0;
}

SAutosave::STick SAutosave::Tick(const SCel& cel, const SRecoveryInfo& identity, bool modified, bool stroke,
                                 Clock::time_point now)
{
    STick tick;
    if (writing_) {
        if (!written_.load(std::memory_order_acquire))
            return tick;
        FinishWrite(tick, now);
    }
    const std::uint64_t unwritten = edits_ - editsWritten_;
    if (folder_.IsEmpty() || !modified || (steps_ == 0 && seconds_ == 0) || unwritten == 0) {
        copying_ = false;
        firstUnwritten_.reset();
        return tick;
    }
    if (!firstUnwritten_)
        firstUnwritten_ = now;
    const bool due = copying_ || (steps_ > 0 && unwritten >= std::uint64_t(steps_)) ||
                     (seconds_ > 0 && now - *firstUnwritten_ >= std::chrono::seconds(seconds_));
    if (!due || (notBefore_ && now < *notBefore_) || stroke) {
        tick.again = copying_;
        return tick;
    }
    notBefore_.reset();
    copying_ = true;
    switch (snapshot_.Update(cel, Clock::now() + TickBudget)) {
    case SCelSnapshot::SProgress::Copying:
        tick.again = true;
        return tick;
    case SCelSnapshot::SProgress::Failed:
        copying_ = false;
        editsBeforeWrite_ = editsWritten_;
        Failed(ErrorFromIdentifier("memory"), tick, now);
        return tick;
    case SCelSnapshot::SProgress::Ready:
        break;
    }
    copying_ = false;
    firstUnwritten_.reset();
    editsBeforeWrite_ = editsWritten_;
    editsWritten_ = edits_;
    if (SError err = StartWrite(identity, cel.held))
        Failed(err, tick, now);
    return tick;
}
