#include "SScriptedPlatform.h"

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

}  // namespace ulib::test
