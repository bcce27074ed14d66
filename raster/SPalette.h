// A stand-alone colour table of 0..256 opaque entries: what SBitmap::GetPalette returns and what
// compressed layers carry. Moving hands the entries over; copying copies them.
#pragma once

#include "SColor.h"
#include "SError.h"

#include <cstdint>
#include <vector>

namespace ulib {

class SPalette
{
public:
    static constexpr std::int32_t MaxCount = 256;

    SPalette() = default;

    std::int32_t Count() const { return std::int32_t(entries_.size()); }
    bool IsEmpty() const { return entries_.empty(); }

    // Resizes to count entries; kept entries stay, new ones are 0. A count outside 0..256 empties
    // the palette and gives "array_size"; a failed allocation empties it and gives "memory_alloc".
    // err is 0 on success.
    void SetCount(std::int32_t count, SError& err);
    void Clear() { entries_.clear(); }

    // The index wraps modulo the count (negative ones too); an empty palette reads 0.
    SColor Get(std::int32_t index) const;
    // Stores B, G, R with T = 0 (entries are always opaque); nothing happens on an empty palette.
    void Set(std::int32_t index, SColor colour);

    // The entries in order; valid until the count changes.
    const SColor* Data() const { return entries_.data(); }

    bool operator==(const SPalette& other) const { return entries_ == other.entries_; }

private:
    std::int32_t Wrap(std::int32_t index) const;

    std::vector<SColor> entries_;
};

}  // namespace ulib
