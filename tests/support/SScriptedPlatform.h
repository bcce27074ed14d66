// A platform seam for tests: it records every box, drawing, dialog, help request, conversion wait,
// progress line and started instance, and answers boxes and dialogs from queues the test fills, so
// code that asks the user runs headless and its questions can be checked. ScopedPlatform installs a seam for one test and puts the previous one back.
#pragma once

#include "SPlatform.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace ulib::test {

class SScriptedPlatform : public SPlatform
{
public:
    struct DrawCall
    {
        SDrawSurface* surface = nullptr;
        SPoint at;
        SPixelView pixels;
        SRect source;
    };

    // One answer of a file dialog. An OK whose paths the request's acceptance callback refuses
    // makes the dialog take the next queued answer, as a user would try again.
    struct FileAnswer
    {
        SDialogResult result = SDialogResult::Ok;
        std::vector<std::string> paths;
        std::int32_t filterIndex = 0;  // 0: the request's index (1 when it asked for the first)
        bool readOnlyTicked = false;
    };

    // What the user does in the file list dialog, step by step.
    struct ListStep
    {
        enum class Action { Insert, Delete, Ok, Cancel };
        Action action = Action::Ok;
        std::vector<std::size_t> selected;  // Delete: the selected rows (indexes at that moment)
    };

    struct HelpCall
    {
        std::string path;
        std::int32_t context = 0;
    };

    // One conversion wait: the box's first lines and what its gauge showed.
    struct WaitCall
    {
        std::string message;
        std::string fileLine;
        bool hadProgress = false;  // an SAbort was attached
        // The gauge's readings while waiting, each differing from the one before: the first as
        // the wait began, the last after the conversion had finished.
        std::vector<std::int32_t> gauge;
    };

    // One pair of progress lines from a worker, with the gauge at that moment (-1 when no wait
    // was in progress).
    struct ProgressLine
    {
        std::string message;
        std::string fileLine;
        std::int32_t progress = -1;
    };

    struct StartCall
    {
        std::string program;
        std::string argument;
    };

    // Answers for the next boxes, in order; with the queue empty a box answers Ok.
    void QueueAnswers(std::initializer_list<SBoxAnswer> answers);
    // Whether boxes get an owner window (default: none).
    void SetHasOwner(bool hasOwner);
    // What DrawPixels returns (default 0).
    void SetDrawResult(SError result);

    // Answers for the next file dialogs; with the queue empty a file dialog is cancelled.
    void QueueFileAnswer(FileAnswer answer);
    void QueueFileChoice(std::vector<std::string> paths) { QueueFileAnswer({SDialogResult::Ok, std::move(paths)}); }
    void QueueFileCancel() { QueueFileAnswer({SDialogResult::Cancel, {}}); }
    void QueueFileFailure() { QueueFileAnswer({SDialogResult::Failed, {}}); }
    // Answers for the next folder dialogs (cancelled when none is left).
    void QueueFolderAnswer(SDialogResult result, std::string folder = {});
    // Answers for the next colour dialogs (cancelled when none is left); without custom colours
    // the request's come back unchanged.
    void QueueColourAnswer(SDialogResult result, SColor colour = {},
                           std::optional<std::array<SColor, 16>> customColours = std::nullopt);
    // The steps of the next file list dialog; it is cancelled when the steps run out without
    // Ok or Cancel, or when no steps are queued.
    void QueueFileListSteps(std::vector<ListStep> steps);
    // The display name of a path (default: the seam's default).
    void SetDisplayName(const std::string& path, const std::string& name);
    // What OpenHelp returns (default true), and paths it refuses whatever the default.
    void SetHelpResult(bool opens);
    void RefuseHelp(const std::string& path);
    // Presses the progress box's abort button in every following conversion: as its wait begins
    // (atLine 0), or when the worker hands over its atLine-th pair of lines (counted per wait).
    // A negative atLine stops pressing it.
    void AbortConversions(std::int32_t atLine = 0);
    // What StartInstance returns (default true).
    void SetStartResult(bool starts);

    // Copies of what was recorded so far.
    std::vector<SMessageBoxRequest> Boxes() const;
    std::vector<DrawCall> Draws() const;
    // Dialog requests as made, without their callbacks.
    std::vector<SFileDialogRequest> FileRequests() const;
    std::vector<SFolderDialogRequest> FolderRequests() const;
    std::vector<SColourDialogRequest> ColourRequests() const;
    std::vector<SFileListDialogRequest> FileListRequests() const;
    std::vector<HelpCall> HelpCalls() const;
    std::vector<WaitCall> Waits() const;
    std::vector<ProgressLine> ProgressLines() const;
    std::vector<StartCall> Starts() const;
    std::size_t BoxCount() const;
    // The last box; a default request when none was shown.
    SMessageBoxRequest LastBox() const;
    std::size_t PendingAnswers() const;
    void Clear();

    SBoxAnswer ShowBox(const SMessageBoxRequest& request) override;
    bool HasOwnerWindow() const override;
    SError DrawPixels(SDrawSurface* surface, SPoint at, const SPixelView& pixels, const SRect& source) override;
    SFileDialogResponse FileDialog(const SFileDialogRequest& request) override;
    SFolderDialogResponse FolderDialog(const SFolderDialogRequest& request) override;
    SColourDialogResponse ColourDialog(const SColourDialogRequest& request) override;
    SFileListDialogResponse FileListDialog(const SFileListDialogRequest& request) override;
    std::string DisplayName(const std::string& path) override;
    bool OpenHelp(const std::string& path, std::int32_t context) override;
    // Polls request.finished every 0.2 ms, recording the gauge.
    void WaitForConversion(const SConversionWait& request) override;
    // Holds the worker until the starter's wait has begun (at most a second), so every line
    // has its gauge reading and an abort requested at the wait's start comes first.
    void SetProgressLines(const std::string& message, const std::string& fileLine) override;
    bool StartInstance(const std::string& program, const std::string& argument) override;

private:
    struct ColourAnswer
    {
        SDialogResult result;
        SColor colour;
        std::optional<std::array<SColor, 16>> customColours;
    };

    std::optional<FileAnswer> NextFileAnswer();
    std::optional<std::vector<ListStep>> NextListSteps();

    // Code under test may ask from a worker thread. The lock is never held while a request's
    // callback runs: callbacks show boxes and open further dialogs.
    mutable std::mutex lock_;
    std::vector<SMessageBoxRequest> boxes_;
    std::deque<SBoxAnswer> answers_;
    std::vector<DrawCall> draws_;
    bool hasOwner_ = false;
    SError drawResult_ = 0;
    std::deque<FileAnswer> fileAnswers_;
    std::deque<std::pair<SDialogResult, std::string>> folderAnswers_;
    std::deque<ColourAnswer> colourAnswers_;
    std::deque<std::vector<ListStep>> listSteps_;
    std::vector<SFileDialogRequest> fileRequests_;
    std::vector<SFolderDialogRequest> folderRequests_;
    std::vector<SColourDialogRequest> colourRequests_;
    std::vector<SFileListDialogRequest> listRequests_;
    std::vector<HelpCall> helpCalls_;
    std::map<std::string, std::string> displayNames_;
    std::set<std::string> refusedHelp_;
    bool helpResult_ = true;

    // The conversion being waited for (null between waits); lines wait on waitBegun_ for it.
    SAbort* waiting_ = nullptr;
    bool inWait_ = false;
    std::condition_variable waitBegun_;
    std::int32_t abortAtLine_ = -1;
    std::int32_t linesThisWait_ = 0;
    std::vector<WaitCall> waits_;
    std::vector<ProgressLine> progressLines_;
    std::vector<StartCall> starts_;
    bool startResult_ = true;
};

using ulib::ScopedPlatform;

}  // namespace ulib::test
