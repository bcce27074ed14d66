#include "SAbort.h"

#include <chrono>
#include <limits>
#include <new>

namespace ulib {

namespace {

// How long an operation waits for the lock before it gives up; the worker and the window both
// poll often, so a skipped step is soon repeated.
constexpr std::chrono::milliseconds LockWait{5};

// Fixed point with four bits of fraction.
constexpr std::int64_t Fixed(std::int32_t value)
{
    return std::int64_t(value) * 16;
}

// parentFrom + (p - localFrom) * (parentTo - parentFrom) / (localTo - localFrom), truncating, with
// localFrom != localTo. Worked in 128 bits and pinned to the 64-bit range, so no caller's numbers
// can overflow; for any sensible ranges the result is exact.
std::int64_t MapToParent(std::int64_t p, std::int64_t parentFrom, std::int64_t parentTo, std::int64_t localFrom,
                         std::int64_t localTo)
{
    __extension__ using Wide = __int128;
    const Wide mapped =
        Wide(parentFrom) + (Wide(p) - localFrom) * (Wide(parentTo) - parentFrom) / (Wide(localTo) - localFrom);
    constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t highest = std::numeric_limits<std::int64_t>::max();
    return mapped < lowest ? lowest : (mapped > highest ? highest : static_cast<std::int64_t>(mapped));
}

}  // namespace

std::unique_lock<std::timed_mutex> SAbort::TryLock() const
{
    return std::unique_lock<std::timed_mutex>(lock_, LockWait);
}

void SAbort::PushLocked(std::int32_t parentFrom, std::int32_t parentTo, std::int32_t localFrom, std::int32_t localTo)
{
    try {
        ranges_.push_back({Fixed(parentFrom), Fixed(parentTo), Fixed(localFrom), Fixed(localTo)});
    } catch (const std::bad_alloc&) {
        ranges_.clear();  // a range list that cannot grow starts again from the bounds
    }
    position_ = localFrom;
}

void SAbort::PopLocked()
{
    if (ranges_.empty())
        return;
    const Range& r = ranges_.back();
    std::int64_t p = Fixed(position_);
    if (r.localFrom == r.localTo || r.parentFrom == r.parentTo)
        p = r.localFrom;
    else
        p = MapToParent(p, r.parentFrom, r.parentTo, r.localFrom, r.localTo);
    position_ = static_cast<std::int32_t>(p >> 4);
    ranges_.pop_back();
    if (ranges_.empty())
        ranges_.shrink_to_fit();
}

void SAbort::PushRange(std::int32_t parentFrom, std::int32_t parentTo, std::int32_t localFrom, std::int32_t localTo)
{
    if (auto guard = TryLock())
        PushLocked(parentFrom, parentTo, localFrom, localTo);
}

void SAbort::PopRange()
{
    if (auto guard = TryLock())
        PopLocked();
}

void SAbort::ReplaceRange(std::int32_t parentFrom, std::int32_t parentTo, std::int32_t localFrom, std::int32_t localTo)
{
    if (auto guard = TryLock()) {
        PopLocked();
        PushLocked(parentFrom, parentTo, localFrom, localTo);
    }
}

bool SAbort::SetPosition(std::int32_t value)
{
    if (auto guard = TryLock())
        position_ = value;
    return IsAborted();
}

std::int32_t SAbort::Progress() const
{
    auto guard = TryLock();
    if (!guard)
        return 0;
    std::int64_t p = Fixed(position_);
    for (auto r = ranges_.rbegin(); r != ranges_.rend(); ++r) {
        if (r->localFrom != r->localTo)
            p = MapToParent(p, r->parentFrom, r->parentTo, r->localFrom, r->localTo);
        else
            p = r->localFrom;
    }
    if (maximum_ == minimum_)
        return maximum_;
    if (maximum_ < minimum_)
        return 0;
    p /= 16;
    if (p < minimum_)
        return minimum_;
    return p <= maximum_ ? static_cast<std::int32_t>(p) : maximum_;
}

std::int32_t SAbort::Minimum() const
{
    auto guard = TryLock();
    return guard ? minimum_ : 0;
}

std::int32_t SAbort::Maximum() const
{
    auto guard = TryLock();
    return guard ? maximum_ : 0;
}

void SAbort::SetBounds(std::int32_t minimum, std::int32_t maximum)
{
    if (auto guard = TryLock()) {
        minimum_ = minimum;
        maximum_ = maximum;
    }
}

}  // namespace ulib
