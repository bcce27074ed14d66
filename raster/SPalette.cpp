// Colour table entries with wrapping access.
#include "SPalette.h"

#include <new>

namespace ulib {

void SPalette::SetCount(std::int32_t count, SError& err)
{
    err = 0;
    if (count < 0 || count > MaxCount) {
        entries_.clear();
        entries_.shrink_to_fit();
        err = ErrorFromIdentifier("array_size");
        return;
    }
    try {
        entries_.resize(std::size_t(count));
    } catch (const std::bad_alloc&) {
        entries_.clear();
        entries_.shrink_to_fit();
        err = ErrorFromIdentifier("memory_alloc");
    }
}

std::int32_t SPalette::Wrap(std::int32_t index) const
{
    std::int32_t n = Count();
    std::int32_t m = index % n;
    return m < 0 ? m + n : m;
}

SColor SPalette::Get(std::int32_t index) const
{
    if (entries_.empty())
        return SColor();
    return entries_[std::size_t(Wrap(index))];
}

void SPalette::Set(std::int32_t index, SColor colour)
{
    if (entries_.empty())
        return;
    colour.t = 0;
    entries_[std::size_t(Wrap(index))] = colour;
}

}  // namespace ulib
