// A platform seam for tests: it records every box and drawing request and answers boxes from a
// queue the test fills, so code that asks the user runs headless and its questions can be checked.
// ScopedPlatform installs a seam for one test and puts the previous one back.
#pragma once

#include "SPlatform.h"

#include <cstddef>
#include <deque>
#include <initializer_list>
#include <mutex>
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

    // Answers for the next boxes, in order; with the queue empty a box answers Ok.
    void QueueAnswers(std::initializer_list<SBoxAnswer> answers);
    // Whether boxes get an owner window (default: none).
    void SetHasOwner(bool hasOwner);
    // What DrawPixels returns (default 0).
    void SetDrawResult(SError result);

    // Copies of what was recorded so far.
    std::vector<SMessageBoxRequest> Boxes() const;
    std::vector<DrawCall> Draws() const;
    std::size_t BoxCount() const;
    // The last box; a default request when none was shown.
    SMessageBoxRequest LastBox() const;
    std::size_t PendingAnswers() const;
    void Clear();

    SBoxAnswer ShowBox(const SMessageBoxRequest& request) override;
    bool HasOwnerWindow() const override;
    SError DrawPixels(SDrawSurface* surface, SPoint at, const SPixelView& pixels, const SRect& source) override;

private:
    // Code under test may ask from a worker thread.
    mutable std::mutex lock_;
    std::vector<SMessageBoxRequest> boxes_;
    std::deque<SBoxAnswer> answers_;
    std::vector<DrawCall> draws_;
    bool hasOwner_ = false;
    SError drawResult_ = 0;
};

// Installs a seam for its lifetime and restores whichever was installed before.
class ScopedPlatform
{
public:
    explicit ScopedPlatform(SPlatform& platform) : previous_(ReplacePlatform(&platform)) {}
    ~ScopedPlatform() { SetPlatform(previous_); }
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;

private:
    SPlatform* previous_;
};

}  // namespace ulib::test
