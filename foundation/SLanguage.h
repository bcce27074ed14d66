// The language of the program's own texts: Japanese (the texts as written in the sources) or
// English (their translations, read from the translation table built from i18n/huedrane_en.ts).
// The program and the converter choose it once at start; until then texts stay Japanese.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace ulib {

enum class SLanguage { Japanese, English };

// The choice for a run: HUEDRANE_LANGUAGE ("ja" or "en") when set; else the stored choice
// ("ja", "en"; anything else means none); else Japanese when the user's locale is Japanese
// (UserLanguage), English otherwise.
SLanguage ChooseLanguage(std::string_view stored);

// The language of this run's texts; Japanese until SetLanguage is called.
SLanguage CurrentLanguage();
// True once SetLanguage was called: the library's multilingual texts then follow it too.
bool LanguageChosen();
void SetLanguage(SLanguage language);
// Back to no choice: Japanese texts, the library's texts following the locale again.
void ClearLanguage();

// The one context of the translation file: every Japanese text of the program has one English
// translation wherever it is shown.
inline constexpr char TranslationContext[] = "huedrane";

// A text of the program in the run's language: the Japanese source itself, or its English
// translation (the source again when the table has none).
const char* Translate(const char* japanese);
// Translate, then %1 ... %9 replaced by the arguments of those numbers (a translation may put them
// in another order); "%" before anything else stays as it is.
std::string FormatText(const char* japanese, std::initializer_list<std::string_view> arguments);

}  // namespace ulib
