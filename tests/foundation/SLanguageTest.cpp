// The run's language: how it is chosen (environment, stored option, locale), the English table
// built from the translation file, and the texts that follow the choice.
#include "SError.h"
#include "SErrorRegistry.h"
#include "SLanguage.h"
#include "STranslationTable.h"
#include "SStringUnion.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using namespace ulib;

namespace {

// Sets environment variables for a scope (nullptr removes one) and puts them back after it.
class Environment
{
public:
    Environment(std::initializer_list<std::pair<const char*, const char*>> values)
    {
        for (const auto& [name, value] : values) {
            const char* before = std::getenv(name);
            saved_.emplace_back(name, before ? std::optional<std::string>(before) : std::nullopt);
            value ? ::setenv(name, value, 1) : ::unsetenv(name);
        }
    }
    ~Environment()
    {
        for (const auto& [name, value] : saved_)
            value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

// Runs the test's body in a language and goes back to no choice, as every other test expects.
class ScopedLanguage
{
public:
    explicit ScopedLanguage(SLanguage language) { SetLanguage(language); }
    ~ScopedLanguage() { ClearLanguage(); }
};

TEST(Language, TheEnvironmentThenTheStoredChoiceThenTheLocaleDecide)
{
    const struct {
        const char* forced;
        const char* stored;
        const char* locale;
        SLanguage chosen;
    } cases[] = {
        {nullptr, "", "ja_JP.UTF-8", SLanguage::Japanese},
        {nullptr, "", "de_DE.UTF-8", SLanguage::English},
        {nullptr, "", nullptr, SLanguage::English},
        {nullptr, "", "zh_TW.UTF-8", SLanguage::English},  // no texts of its own: English
        {nullptr, "en", "ja_JP.UTF-8", SLanguage::English},
        {nullptr, "ja", "C", SLanguage::Japanese},
        {nullptr, "fr", "ja_JP", SLanguage::Japanese},  // an unknown choice means the locale's
        {"en", "ja", "ja_JP", SLanguage::English},
        {"ja", "en", "C", SLanguage::Japanese},
        {"EN", "ja", "C", SLanguage::Japanese},  // the variable's values are exact
    };
    for (const auto& c : cases) {
        const Environment environment({{"HUEDRANE_LANGUAGE", c.forced}, {"LC_ALL", nullptr},
                                       {"LC_MESSAGES", nullptr}, {"LANG", c.locale}});
        EXPECT_EQ(ChooseLanguage(c.stored), c.chosen)
            << (c.forced ? c.forced : "-") << " " << c.stored << " " << (c.locale ? c.locale : "-");
    }
}

TEST(Language, TheTableIsSortedAndEveryEntryIsFoundInAnEnglishRun)
{
    const std::span<const translation::SEntry> table = translation::Entries();
    ASSERT_GT(table.size(), 400u);
    for (std::size_t i = 1; i < table.size(); ++i)
        ASSERT_LT(std::strcmp(table[i - 1].source, table[i].source), 0) << table[i].source;

    EXPECT_STREQ(Translate("ファイル(&F)"), "ファイル(&F)");  // Japanese: the text itself
    const ScopedLanguage english(SLanguage::English);
    for (const translation::SEntry& entry : table)
        ASSERT_STREQ(Translate(entry.source), entry.english);
    EXPECT_STREQ(Translate("ファイル(&F)"), "&File");
    // A text the table lacks, and no text, come back as they are.
    EXPECT_STREQ(Translate("表にない文"), "表にない文");
    EXPECT_EQ(Translate(nullptr), nullptr);
}

TEST(Language, FormattedTextsPlaceTheirArgumentsInEitherLanguage)
{
    EXPECT_EQ(FormatText("塗り残し %1 / %2", {"3", "51"}), "塗り残し 3 / 51");
    EXPECT_EQ(FormatText("%1を元に戻す(&U)", {"塗りつぶし"}), "塗りつぶしを元に戻す(&U)");
    // Numbers without an argument, a lone "%" and "%%" stay as written.
    EXPECT_EQ(FormatText("%2 と 100% と %", {"a"}), "%2 と 100% と %");
    const ScopedLanguage english(SLanguage::English);
    EXPECT_EQ(FormatText("%1を元に戻す(&U)", {"Fill"}), "&Undo Fill");
    EXPECT_EQ(FormatText("色を写しました: %1 領域を塗り、%2 領域を残しました", {"2380", "51"}),
              "Colours carried: 2380 regions painted, 51 left");
}

TEST(Language, ErrorMessagesAndTheLibrarysTextsFollowTheChosenLanguage)
{
    const Environment locale({{"LC_ALL", nullptr}, {"LC_MESSAGES", nullptr}, {"LANG", "ja_JP.UTF-8"}});
    const SError notFound = ErrorFromIdentifier("file_not_found");
    EXPECT_EQ(ErrorText(notFound), "ファイルが見つかりませんでした。");
    EXPECT_EQ(SelectText(library_text::ButtonCancel, 0), SString("キャンセル"));
    const ScopedLanguage english(SLanguage::English);
    EXPECT_EQ(ErrorText(notFound), "The file was not found.");
    EXPECT_EQ(ErrorIdentifier(notFound), "file_not_found");  // identifiers never change
    EXPECT_EQ(SelectText(library_text::ButtonCancel, 0), SString("Cancel"));
}

}  // namespace
