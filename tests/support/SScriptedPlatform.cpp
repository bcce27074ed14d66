#include "SScriptedPlatform.h"

#include "SAbort.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace ulib::test {

void SScriptedPlatform::QueueAnswers(std::initializer_list<SBoxAnswer> answers)
{
    std::lock_guard guard(lock_);
    answers_.insert(answers_.end(), answers);
}

void SScriptedPlatform::SetHasOwner(bool hasOwner)
{
    std::lock_guard guard(lock_);
    hasOwner_ = hasOwner;
}

void SScriptedPlatform::SetDrawResult(SError result)
{
    std::lock_guard guard(lock_);
    drawResult_ = result;
}

std::vector<SMessageBoxRequest> SScriptedPlatform::Boxes() const
{
    std::lock_guard guard(lock_);
    return boxes_;
}

std::vector<SScriptedPlatform::DrawCall> SScriptedPlatform::Draws() const
{
    std::lock_guard guard(lock_);
    return draws_;
}

std::size_t SScriptedPlatform::BoxCount() const
{
    std::lock_guard guard(lock_);
    return boxes_.size();
}

SMessageBoxRequest SScriptedPlatform::LastBox() const
{
    std::lock_guard guard(lock_);
    return boxes_.empty() ? SMessageBoxRequest{} : boxes_.back();
}

std::size_t SScriptedPlatform::PendingAnswers() const
{
    std::lock_guard guard(lock_);
    return answers_.size();
}

void SScriptedPlatform::Clear()
{
    std::lock_guard guard(lock_);
    boxes_.clear();
    answers_.clear();
    draws_.clear();
    fileAnswers_.clear();
    folderAnswers_.clear();
    colourAnswers_.clear();
    listSteps_.clear();
    fileRequests_.clear();
    folderRequests_.clear();
    colourRequests_.clear();
    listRequests_.clear();
    helpCalls_.clear();
    waits_.clear();
    progressLines_.clear();
    starts_.clear();
}

SBoxAnswer SScriptedPlatform::ShowBox(const SMessageBoxRequest& request)
{
    std::lock_guard guard(lock_);
    boxes_.push_back(request);
    if (answers_.empty())
        return SBoxAnswer::Ok;
    const SBoxAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

bool SScriptedPlatform::HasOwnerWindow() const
{
    std::lock_guard guard(lock_);
    return hasOwner_;
}

SError SScriptedPlatform::DrawPixels(SDrawSurface* surface, SPoint at, const SPixelView& pixels, const SRect& source)
{
    std::lock_guard guard(lock_);
    draws_.push_back({surface, at, pixels, source});
    return drawResult_;
}

void SScriptedPlatform::QueueFileAnswer(FileAnswer answer)
{
    std::lock_guard guard(lock_);
    fileAnswers_.push_back(std::move(answer));
}

void SScriptedPlatform::QueueFolderAnswer(SDialogResult result, std::string folder)
{
    std::lock_guard guard(lock_);
    folderAnswers_.emplace_back(result, std::move(folder));
}

void SScriptedPlatform::QueueColourAnswer(SDialogResult result, SColor colour,
                                          std::optional<std::array<SColor, 16>> customColours)
{
    std::lock_guard guard(lock_);
    colourAnswers_.push_back({result, colour, customColours});
}

void SScriptedPlatform::QueueFileListSteps(std::vector<ListStep> steps)
{
    std::lock_guard guard(lock_);
    listSteps_.push_back(std::move(steps));
}

void SScriptedPlatform::SetDisplayName(const std::string& path, const std::string& name)
{
    std::lock_guard guard(lock_);
    displayNames_[path] = name;
}

void SScriptedPlatform::SetHelpResult(bool opens)
{
    std::lock_guard guard(lock_);
    helpResult_ = opens;
}

void SScriptedPlatform::RefuseHelp(const std::string& path)
{
    std::lock_guard guard(lock_);
    refusedHelp_.insert(path);
}

std::vector<SFileDialogRequest> SScriptedPlatform::FileRequests() const
{
    std::lock_guard guard(lock_);
    return fileRequests_;
}

std::vector<SFolderDialogRequest> SScriptedPlatform::FolderRequests() const
{
    std::lock_guard guard(lock_);
    return folderRequests_;
}

std::vector<SColourDialogRequest> SScriptedPlatform::ColourRequests() const
{
    std::lock_guard guard(lock_);
    return colourRequests_;
}

std::vector<SFileListDialogRequest> SScriptedPlatform::FileListRequests() const
{
    std::lock_guard guard(lock_);
    return listRequests_;
}

std::vector<SScriptedPlatform::HelpCall> SScriptedPlatform::HelpCalls() const
{
    std::lock_guard guard(lock_);
    return helpCalls_;
}

std::optional<SScriptedPlatform::FileAnswer> SScriptedPlatform::NextFileAnswer()
{
    std::lock_guard guard(lock_);
    if (fileAnswers_.empty())
        return std::nullopt;
    FileAnswer answer = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
    return answer;
}

std::optional<std::vector<SScriptedPlatform::ListStep>> SScriptedPlatform::NextListSteps()
{
    std::lock_guard guard(lock_);
    if (listSteps_.empty())
        return std::nullopt;
    std::vector<ListStep> steps = std::move(listSteps_.front());
    listSteps_.pop_front();
    return steps;
}

SFileDialogResponse SScriptedPlatform::FileDialog(const SFileDialogRequest& request)
{
    {
        std::lock_guard guard(lock_);
        fileRequests_.push_back(request);
        fileRequests_.back().accept = nullptr;
    }
    // Callbacks run without the lock: the guards show boxes through this seam.
    while (const std::optional<FileAnswer> answer = NextFileAnswer()) {
        if (answer->result == SDialogResult::Ok && request.accept && !request.accept(answer->paths))
            continue;
        SFileDialogResponse response;
        response.result = answer->result;
        if (answer->result == SDialogResult::Ok) {
            response.paths = answer->paths;
            response.filterIndex = answer->filterIndex ? answer->filterIndex : std::max(request.filterIndex, 1);
            response.readOnlyTicked = answer->readOnlyTicked;
        }
        return response;
    }
    return {};
}

SFolderDialogResponse SScriptedPlatform::FolderDialog(const SFolderDialogRequest& request)
{
    std::lock_guard guard(lock_);
    folderRequests_.push_back(request);
    if (folderAnswers_.empty())
        return {};
    SFolderDialogResponse response{folderAnswers_.front().first, folderAnswers_.front().second};
    folderAnswers_.pop_front();
    return response;
}

SColourDialogResponse SScriptedPlatform::ColourDialog(const SColourDialogRequest& request)
{
    std::lock_guard guard(lock_);
    colourRequests_.push_back(request);
    SColourDialogResponse response;
    response.colour = request.colour;
    response.customColours = request.customColours;
    if (colourAnswers_.empty())
        return response;
    const ColourAnswer answer = colourAnswers_.front();
    colourAnswers_.pop_front();
    response.result = answer.result;
    if (answer.result == SDialogResult::Ok)
        response.colour = answer.colour;
    if (answer.customColours)
        response.customColours = *answer.customColours;
    return response;
}

SFileListDialogResponse SScriptedPlatform::FileListDialog(const SFileListDialogRequest& request)
{
    {
        std::lock_guard guard(lock_);
        listRequests_.push_back(request);
        listRequests_.back().insert = nullptr;
    }
    const std::optional<std::vector<ListStep>> steps = NextListSteps();
    if (!steps)
        return {};
    std::vector<SFileListRow> rows = request.rows;
    for (const ListStep& step : *steps) {
        switch (step.action) {
        case ListStep::Action::Insert:
            if (request.insert)
                for (SFileListRow& row : request.insert())
                    rows.push_back(std::move(row));
            break;
        case ListStep::Action::Delete: {
            // Like the list view: every selected row goes, the last first so indexes hold.
            std::set<std::size_t> selected(step.selected.begin(), step.selected.end());
            for (auto it = selected.rbegin(); it != selected.rend(); ++it)
                if (*it < rows.size())
                    rows.erase(rows.begin() + std::ptrdiff_t(*it));
            break;
        }
        case ListStep::Action::Ok: {
            SFileListDialogResponse response{SDialogResult::Ok, {}};
            for (const SFileListRow& row : rows)
                response.paths.push_back(row.path);
            return response;
        }
        case ListStep::Action::Cancel:
            return {};
        }
    }
    return {};
}

std::string SScriptedPlatform::DisplayName(const std::string& path)
{
    {
        std::lock_guard guard(lock_);
        const auto found = displayNames_.find(path);
        if (found != displayNames_.end())
            return found->second;
    }
    return SPlatform::DisplayName(path);
}

bool SScriptedPlatform::OpenHelp(const std::string& path, std::int32_t context)
{
    std::lock_guard guard(lock_);
    helpCalls_.push_back({path, context});
    return helpResult_ && !refusedHelp_.contains(path);
}

}  // namespace ulib::test

namespace ulib::test {

void SScriptedPlatform::AbortConversions(std::int32_t atLine)
{
    std::lock_guard guard(lock_);
    abortAtLine_ = atLine;
}

void SScriptedPlatform::SetStartResult(bool starts)
{
    std::lock_guard guard(lock_);
    startResult_ = starts;
}

std::vector<SScriptedPlatform::WaitCall> SScriptedPlatform::Waits() const
{
    std::lock_guard guard(lock_);
    return waits_;
}

std::vector<SScriptedPlatform::ProgressLine> SScriptedPlatform::ProgressLines() const
{
    std::lock_guard guard(lock_);
    return progressLines_;
}

std::vector<SScriptedPlatform::StartCall> SScriptedPlatform::Starts() const
{
    std::lock_guard guard(lock_);
    return starts_;
}

void SScriptedPlatform::WaitForConversion(const SConversionWait& request)
{
    std::size_t index = 0;
    {
        std::lock_guard guard(lock_);
        index = waits_.size();
        waits_.push_back({request.message, request.fileLine, request.progress != nullptr, {}});
        if (request.progress && abortAtLine_ == 0)
            request.progress->RequestAbort();
        waiting_ = request.progress;
        inWait_ = true;
        linesThisWait_ = 0;
    }
    waitBegun_.notify_all();

    const auto read = [&] {
        if (!request.progress)
            return;
        const std::int32_t value = request.progress->Progress();
        std::lock_guard guard(lock_);
        if (index >= waits_.size())
            return;  // cleared meanwhile
        std::vector<std::int32_t>& gauge = waits_[index].gauge;
        if (gauge.empty() || gauge.back() != value)
            gauge.push_back(value);
    };
    read();
    while (request.finished && !request.finished()) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        read();
    }
    read();

    std::lock_guard guard(lock_);
    waiting_ = nullptr;
    inWait_ = false;
}

void SScriptedPlatform::SetProgressLines(const std::string& message, const std::string& fileLine)
{
    std::unique_lock guard(lock_);
    waitBegun_.wait_for(guard, std::chrono::seconds(1), [this] { return inWait_; });
    ProgressLine line{message, fileLine, -1};
    if (inWait_ && waiting_) {
        if (++linesThisWait_ == abortAtLine_)
            waiting_->RequestAbort();
        line.progress = waiting_->Progress();
    }
    progressLines_.push_back(std::move(line));
}

bool SScriptedPlatform::StartInstance(const std::string& program, const std::string& argument)
{
    std::lock_guard guard(lock_);
    starts_.push_back({program, argument});
    return startResult_;
}

}  // namespace ulib::test
