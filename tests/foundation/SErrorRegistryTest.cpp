#include "SError.h"
#include "SErrorRegistry.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using ulib::ErrorFromIdentifier;
using ulib::RegisteredErrorDefinitions;
using ulib::SError;
using ulib::SErrorDefinition;
namespace defs = ulib::error_definitions;

namespace {

constexpr std::size_t StandardCount = 114;

std::vector<std::string> Identifiers()
{
    std::vector<std::string> words;
    for (const SErrorDefinition* d : RegisteredErrorDefinitions())
        words.push_back(d->Identifier());
    return words;
}

}  // namespace

TEST(ErrorRegistry, StandardDefinitionsAreNumberedFromTwoInRegistrationOrder)
{
    const auto all = RegisteredErrorDefinitions();
    ASSERT_GE(all.size(), StandardCount);
    for (std::size_t i = 0; i < StandardCount; ++i)
        EXPECT_EQ(all[i]->value, SError(i + 2)) << "entry " << i;

    const auto words = Identifiers();
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(words[i], "error");
    EXPECT_EQ(all[1]->Message(), "エラー1が発生しました。");
    EXPECT_EQ(all[5]->Message(), "エラー5が発生しました。");
    EXPECT_EQ(ErrorFromIdentifier("error"), 2u);

    // Spot checks through the table: an entry lost or added shifts everything after it.
    EXPECT_EQ(ErrorFromIdentifier("abort"), 10u);
    EXPECT_EQ(ErrorFromIdentifier("cancel"), 11u);
    EXPECT_EQ(ErrorFromIdentifier("array_size"), 71u);
    EXPECT_EQ(ErrorFromIdentifier("plugin"), 93u);
    EXPECT_EQ(ErrorFromIdentifier("InvalidArgument"), 98u);
    EXPECT_EQ(ErrorFromIdentifier("filename_invalid"), 105u);
    EXPECT_EQ(ErrorFromIdentifier("filedialog"), 106u);
    EXPECT_EQ(ErrorFromIdentifier("unexpected"), 111u);
    EXPECT_EQ(ErrorFromIdentifier("invalidpointer"), 112u);
    EXPECT_EQ(ErrorFromIdentifier("pngerror2"), 114u);
    EXPECT_EQ(defs::JpegError().value, 115u);
}

TEST(ErrorRegistry, ReservedEntriesHoldValuesButNoWords)
{
    const auto all = RegisteredErrorDefinitions();
    EXPECT_EQ(all[92]->Identifier(), "ole");
    EXPECT_EQ(all[93]->Identifier(), "ole");
    EXPECT_NE(all[92]->Message(), all[93]->Message());
    for (std::size_t i : {94u, 95u}) {
        EXPECT_TRUE(all[i]->Identifier().empty());
        EXPECT_TRUE(all[i]->Message().empty());
        EXPECT_EQ(ulib::RegisteredErrorMessage(all[i]->value), std::string());
    }
    // An empty word must not find the reserved entries.
    EXPECT_EQ(ErrorFromIdentifier(""), 1u);
    EXPECT_EQ(ErrorFromIdentifier(nullptr), 1u);
}

TEST(ErrorRegistry, LookupIsExactAndCaseSensitive)
{
    EXPECT_EQ(ErrorFromIdentifier("Cancel"), 1u);
    EXPECT_EQ(ErrorFromIdentifier("cancel "), 1u);
    EXPECT_EQ(ErrorFromIdentifier("cance"), 1u);
    EXPECT_EQ(ErrorFromIdentifier("internal_error"), 1u);  // raised by the containers, never registered
    EXPECT_EQ(ulib::RegisteredErrorMessage(ErrorFromIdentifier("EmptyData")), "データが含まれていません。");
    EXPECT_NE(ErrorFromIdentifier("EmptyData"), ErrorFromIdentifier("data_empty"));
}

TEST(ErrorRegistry, LaterNamesakesAreReachedOnlyThroughTheirObjects)
{
    EXPECT_EQ(defs::PngError().Identifier(), "pngerror");
    EXPECT_EQ(defs::JpegError().Identifier(), "pngerror");
    EXPECT_NE(defs::JpegError().value, defs::PngError().value);
    EXPECT_EQ(ErrorFromIdentifier("pngerror"), defs::PngError().value);
    EXPECT_EQ(defs::JpegError().Message(), "LIBJPEGモジュールがエラーを返しました。");
    EXPECT_EQ(defs::PngError().Message(), "LIBPNGモジュールがエラーを返しました。");

    const std::pair<const SErrorDefinition*, const char*> owned[] = {
        {&defs::FileDialog(), "filedialog"},           {&defs::PluginNotDefined(), "plugin_n_def"},
        {&defs::PluginNotFound(), "plugin_not_found"}, {&defs::PluginInvalid(), "plugin_invalid"},
        {&defs::PluginException(), "plugin_exception"}, {&defs::Unexpected(), "unexpected"},
        {&defs::InvalidPointer(), "invalidpointer"},   {&defs::PngError2(), "pngerror2"},
    };
    for (const auto& [definition, word] : owned) {
        EXPECT_EQ(definition->Identifier(), word);
        EXPECT_EQ(definition->value, ErrorFromIdentifier(word));
    }
}

TEST(ErrorRegistry, ShownMessagesMatchTheirWords)
{
    const std::pair<const char*, const char*> shown[] = {
        {"abort", "ユーザーにより、操作が中止されました。"},
        {"cancel", "操作がキャンセルされました。"},
        {"memory_alloc", "メモリの確保に失敗しました。"},
        {"file_not_found", "ファイルが見つかりませんでした。"},
        {"bad_format", "不正なファイルだったので読み込めませんでした。"},
        {"array_size", "配列変数のサイズが大きすぎるか小さすぎます。"},
        {"InvalidArgument", "プログラム内の関数に、誤った引数が渡されました。開発者にご連絡ください。"},
        {"InvalidData", "データが壊れているか、または誤りがあるため、読み込むことができません。"},
        {"filedialog", "ファイルのダイアログでエラーが発生しました。"},
        {"invalidpointer", "ポインタが不正です。"},
    };
    for (const auto& [word, message] : shown)
        EXPECT_EQ(ulib::RegisteredErrorMessage(ErrorFromIdentifier(word)), std::string(message)) << word;

    const std::string period = "。";
    for (const SErrorDefinition* d : RegisteredErrorDefinitions()) {
        if (d->Identifier().empty())
            continue;
        ASSERT_GE(d->Message().size(), period.size()) << d->Identifier();
        EXPECT_EQ(d->Message().substr(d->Message().size() - period.size()), period) << d->Identifier();
    }
}

TEST(ErrorRegistry, RegisteringAppendsAfterTheLastValue)
{
    const SError last = RegisteredErrorDefinitions().back()->value;
    {
        SErrorDefinition mine;
        ulib::RegisterErrorDefinition(mine, "test_only_word", "テスト用のエラーです。");
        EXPECT_EQ(mine.value, last + 1);
        EXPECT_EQ(ErrorFromIdentifier("test_only_word"), last + 1);

        ulib::RegisterErrorDefinition(mine, "other", "別");  // already registered: unchanged
        EXPECT_EQ(mine.value, last + 1);
        EXPECT_EQ(mine.Identifier(), "test_only_word");

        ulib::UnregisterErrorDefinition(mine);
        EXPECT_FALSE(mine.IsRegistered());
        EXPECT_EQ(mine.value, last + 1);
        EXPECT_EQ(ErrorFromIdentifier("test_only_word"), 1u);

        ulib::RegisterErrorDefinition(mine, "test_only_word", nullptr);
        EXPECT_EQ(mine.value, last + 1);  // the tail's value is given again
        EXPECT_TRUE(mine.Message().empty());
    }
    // Destroying a registered definition unlinks it.
    EXPECT_EQ(ErrorFromIdentifier("test_only_word"), 1u);
    EXPECT_EQ(RegisteredErrorDefinitions().back()->value, last);
}

TEST(ErrorRegistry, TextsLongerThanTheLimitAreNotCopied)
{
    const std::string longWord(65537, 'w');
    const std::string longestWord(65536, 'w');
    SErrorDefinition tooLong, longest;
    ulib::RegisterErrorDefinition(tooLong, longWord.c_str(), longWord.c_str());
    ulib::RegisterErrorDefinition(longest, longestWord.c_str(), "");
    EXPECT_TRUE(tooLong.Identifier().empty());
    EXPECT_TRUE(tooLong.Message().empty());
    EXPECT_EQ(longest.Identifier().size(), 65536u);
    EXPECT_EQ(ErrorFromIdentifier(longestWord.c_str()), longest.value);
    EXPECT_EQ(ErrorFromIdentifier(longWord.c_str()), 1u);
}
