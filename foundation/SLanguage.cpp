#include "SLanguage.h"

#include "STranslationTable.h"
#include "SStringUnion.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

namespace ulib {

namespace {

// Set once at start, before other threads run; read by any thread afterwards.
std::atomic<int> chosen{-1};

bool Named(std::string_view text, SLanguage& language)
{
    if (text == "ja")
        language = SLanguage::Japanese;
    else if (text == "en")
        language = SLanguage::English;
    else
        return false;
    return true;
}

}  // namespace

SLanguage ChooseLanguage(std::string_view stored)
{
    SLanguage language = SLanguage::Japanese;
    if (const char* forced = std::getenv("HUEDRANE_LANGUAGE"); forced && Named(forced, language))
        return language;
    if (Named(stored, language))
        return language;
    return UserLanguage() == LanguageCode("ja") ? SLanguage::Japanese : SLanguage::English;
}

SLanguage CurrentLanguage()
{
    return chosen.load(std::memory_order_relaxed) == int(SLanguage::English) ? SLanguage::English
                                                                             : SLanguage::Japanese;
}

bool LanguageChosen()
{
    return chosen.load(std::memory_order_relaxed) >= 0;
}

void SetLanguage(SLanguage language)
{
    chosen.store(int(language), std::memory_order_relaxed);
}

void ClearLanguage()
{
    chosen.store(-1, std::memory_order_relaxed);
}

const char* Translate(const char* japanese)
{
    if (CurrentLanguage() == SLanguage::Japanese || japanese == nullptr)
        return japanese;
    const std::span<const translation::SEntry> table = translation::Entries();
    const auto found = std::lower_bound(
        table.begin(), table.end(), japanese,
        [](const translation::SEntry& entry, const char* source) { return std::strcmp(entry.source, source) < 0; });
    return found != table.end() && std::strcmp(found->source, japanese) == 0 ? found->english : japanese;
}

std::string FormatText(const char* japanese, std::initializer_list<std::string_view> arguments)
{
    const std::string_view text = Translate(japanese);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t number = i + 1 < text.size() && text[i] == '%' ? std::size_t(text[i + 1] - '1') : 9;
        if (number < arguments.size()) {
            out += arguments.begin()[number];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace ulib
