#include "SMessage.h"
#include "SPlatform.h"
#include "SScriptedPlatform.h"
#include "SStringUnion.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

using ulib::LanguageCode;
using ulib::SelectText;
using ulib::SString;
using ulib::UserLanguage;
namespace text = ulib::library_text;

namespace {

// Sets the locale variables for one test and restores them afterwards (nullptr unsets).
class LocaleEnvironment
{
public:
    LocaleEnvironment(const char* all, const char* messages, const char* lang)
    {
        Set("LC_ALL", all);
        Set("LC_MESSAGES", messages);
        Set("LANG", lang);
    }
    ~LocaleEnvironment()
    {
        for (const auto& [name, value] : saved_)
            value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }

private:
    void Set(const char* name, const char* value)
    {
        const char* before = std::getenv(name);
        saved_.emplace_back(name, before ? std::optional<std::string>(before) : std::nullopt);
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }

    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

const std::uint32_t ja = LanguageCode("ja");
const std::uint32_t en = LanguageCode("en");

}  // namespace

TEST(LanguageCode, PacksUpToFourLettersOrDigitsInSmallLetters)
{
    EXPECT_EQ(LanguageCode("ja"), std::uint32_t('j' | 'a' << 8));
    EXPECT_EQ(LanguageCode("JA"), ja);
    EXPECT_EQ(LanguageCode("j-a"), ja);        // other printable characters are skipped
    EXPECT_EQ(LanguageCode("j\ta"), LanguageCode("j"));  // a control byte ends the code
    EXPECT_EQ(LanguageCode("abcde"), LanguageCode("abcd"));
    EXPECT_EQ(LanguageCode("zh2"), std::uint32_t('z' | 'h' << 8 | '2' << 16));
    EXPECT_EQ(LanguageCode(""), 0u);
}

TEST(SelectText, PicksTheLanguageAndFallsBackToEnglish)
{
    EXPECT_EQ(SelectText(text::SaveChanges, ja), SString("内容が変更されています。変更を保存しますか？"));
    EXPECT_EQ(SelectText(text::SaveChanges, LanguageCode("kr")),
              SString("Data is modified. Do you save the changes?"));
    EXPECT_EQ(SelectText(text::SaveChanges, LanguageCode("JA")), SelectText(text::SaveChanges, ja));
    // No English segment to fall back on.
    EXPECT_EQ(SelectText("ja:日本語だけ\t", en), SString());
    EXPECT_EQ(SelectText("ja:日本語だけ\t", LanguageCode("kr")), SString());
    // A text without segments has nothing to select.
    EXPECT_EQ(SelectText("plain text", en), SString());
    EXPECT_EQ(SelectText("", ja), SString());
}

TEST(SelectText, MatchesWholeCodesOnly)
{
    const ulib::SStringUnion mixed = "jap:long\tj:short\tJA:capital\ten:english\tengl:four";
    EXPECT_EQ(SelectText(mixed, LanguageCode("jap")), SString("long"));
    EXPECT_EQ(SelectText(mixed, LanguageCode("j")), SString("short"));
    EXPECT_EQ(SelectText(mixed, ja), SString("capital"));
    EXPECT_EQ(SelectText(mixed, LanguageCode("japa")), SString("english"));
    // A segment code of more than four characters is no code at all, not its first four.
    EXPECT_EQ(SelectText("english:no\ten:yes\t", LanguageCode("engl")), SString("yes"));
}

TEST(SelectText, SegmentsEndAtControlBytesAndKeepLaterColons)
{
    EXPECT_EQ(SelectText("\t\ten:Time: 5\r\nja:時間\t", en), SString("Time: 5"));
    EXPECT_EQ(SelectText("\t\ten:Time: 5\r\nja:時間\t", ja), SString("時間"));
    EXPECT_EQ(SelectText("en:\tja:x", en), SString());
    // Some library texts end without a control byte.
    EXPECT_EQ(SelectText(text::ButtonInsert, ja), SString("挿入(&I)"));
    EXPECT_EQ(SelectText(text::ButtonDelete, en), SString("&Delete"));
}

TEST(UserLanguage, FollowsTheFirstLocaleVariableSet)
{
    {
        LocaleEnvironment locale(nullptr, nullptr, "ja_JP.UTF-8");
        EXPECT_EQ(UserLanguage(), ja);
        EXPECT_EQ(SelectText(text::FileList, 0), SString("ファイルの一覧"));
    }
    {
        LocaleEnvironment locale("ko_KR.UTF-8", "C", "ja_JP.UTF-8");
        EXPECT_EQ(UserLanguage(), LanguageCode("kr"));
        // Korean is missing from the text: English.
        EXPECT_EQ(SelectText(text::FileList, 0), SString("File List"));
    }
    {
        LocaleEnvironment locale("", "zh_CN.GB18030", "ja_JP");  // an empty variable does not count
        EXPECT_EQ(UserLanguage(), LanguageCode("ch"));
    }
    {
        LocaleEnvironment locale(nullptr, nullptr, "zh_TW.UTF-8");
        EXPECT_EQ(UserLanguage(), LanguageCode("tw"));
    }
    for (const char* other : {"zh_HK.UTF-8", "C", "de_DE", "jp", ""}) {
        LocaleEnvironment locale(nullptr, nullptr, other);
        EXPECT_EQ(UserLanguage(), en) << other;
    }
    LocaleEnvironment none(nullptr, nullptr, nullptr);
    EXPECT_EQ(UserLanguage(), en);
}

TEST(AskSaveChanges, AsksInTheUserLanguageAndMapsTheAnswers)
{
    ulib::test::SScriptedPlatform platform;
    ulib::test::ScopedPlatform installed(platform);
    LocaleEnvironment locale(nullptr, nullptr, "ja_JP.UTF-8");
    platform.QueueAnswers({ulib::SBoxAnswer::Yes, ulib::SBoxAnswer::No, ulib::SBoxAnswer::Cancel});

    EXPECT_EQ(ulib::AskSaveChanges(), 1);
    EXPECT_EQ(ulib::AskSaveChanges(), -1);
    EXPECT_EQ(ulib::AskSaveChanges(), 0);

    const ulib::SMessageBoxRequest box = platform.LastBox();
    EXPECT_EQ(box.text, "内容が変更されています。変更を保存しますか？");
    namespace style = ulib::box_style;
    EXPECT_EQ(box.style & (style::IconMask | style::ButtonMask), style::IconWarning | style::YesNoCancel);
}
