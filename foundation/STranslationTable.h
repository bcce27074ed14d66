// The English translations of the program's texts, generated at build time from
// i18n/huedrane_en.ts (i18n/ts_table.py): the finished messages of its one context, sorted by
// source text (byte order).
#pragma once

#include <span>

namespace ulib::translation {

struct SEntry
{
    const char* source;   // the Japanese text as written in the sources
    const char* english;
};

std::span<const SEntry> Entries();

}  // namespace ulib::translation
