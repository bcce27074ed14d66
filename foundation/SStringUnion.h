// Multilingual texts: one string holding the same text in several languages as segments
// "code:text", each ended by a control byte (a TAB), such as "en:Cancel\tja:キャンセル\t".
// SelectText picks the segment of the user's language, falling back to English. The library's
// own multilingual texts live here too.
#pragma once

#include "SString.h"

#include <cstdint>
#include <string_view>

namespace ulib {

// A multilingual text as stored: segments of a language code (one to four letters or digits),
// ":", and the text up to the next control byte or the end.
using SStringUnion = std::string_view;

// Packs up to four characters of text into a language code, the first character in the lowest
// byte: digits and small letters are kept, capitals are made small, other printable characters
// are skipped; a control byte ends the scan. The unused bytes are 0 ("JA" and "ja" give the same).
std::uint32_t LanguageCode(std::string_view text);

// The user's language from the locale (the first non-empty of LC_ALL, LC_MESSAGES, LANG):
// "ja" for ja*, "ch" for zh_CN*, "kr" for ko*, "tw" for zh_TW*, "en" for anything else.
// Reads the environment on each call; safe from any thread that does not change it.
std::uint32_t UserLanguage();

// The text of the segment whose code is exactly languageCode (0: the run's language once it is
// chosen (SLanguage.h), else UserLanguage()), up to its control byte. Without such a segment the
// English one; empty when there is no English one either.
SString SelectText(SStringUnion text, std::uint32_t languageCode);

// The library's multilingual texts.
namespace library_text {
inline constexpr SStringUnion AllFiles = "en:All Files(*.*)\tja:すべてのファイル(*.*)\t";
inline constexpr SStringUnion SaveChanges =
    "en:Data is modified. Do you save the changes?\tja:内容が変更されています。変更を保存しますか？\t";
inline constexpr SStringUnion TooLargeFile =
    "en:Too large file is selected. Do you open it anyway?\tja:大きすぎるファイルですが、開きますか？\t";
inline constexpr SStringUnion TooManyFiles =
    "en:Too many files are selected. Do you open them anyway?\tja:ファイルが大量に選択されていますが、全部開きますか？\t";
inline constexpr SStringUnion BigFileIncluded =
    "en:Big file is included in the selection. Do you continue?\tja:大きすぎるファイルが含まれていますが、開きますか？\t";
inline constexpr SStringUnion FileList = "en:File List\tja:ファイルの一覧\t";
inline constexpr SStringUnion AppendToFileList = "en:Append To File List\tja:ファイルリストへの追加\t";
inline constexpr SStringUnion ButtonOk = "en:OK\tja:OK\t";
inline constexpr SStringUnion ButtonCancel = "en:Cancel\tja:キャンセル\t";
inline constexpr SStringUnion ButtonInsert = "en:&Insert\tja:挿入(&I)";
inline constexpr SStringUnion ButtonDelete = "en:&Delete\tja:削除(&D)";
}  // namespace library_text

}  // namespace ulib
