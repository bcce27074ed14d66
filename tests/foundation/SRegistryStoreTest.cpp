#include "FuzzSeeds.h"
#include "SRegistryStore.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

using namespace ulib;

namespace {

SStoreFile Parsed(std::string_view bytes)
{
    SStoreFile store;
    EXPECT_EQ(ParseStoreFile(bytes, &store), 0u);
    return store;
}

// "path: name=text; name=text" per key, for comparing whole stores at a glance.
std::vector<std::string> Dump(const SStoreFile& store)
{
    std::vector<std::string> lines;
    for (const SStoreKey& key : store.keys) {
        std::string line = "[" + key.path + "]";
        for (const auto& [name, text] : key.values)
            line += " " + name + "=" + text;
        lines.push_back(line);
    }
    return lines;
}

SStoreFile Sample()
{
    SStoreFile store;
    store.keys.push_back({"Software", {}});
    store.keys.push_back({"Software\\Vantrel\\Huedrane",
                          {{"", "Huedrane"}, {"Position", "(10,20)-(810,620)"}, {"CurrentColor", "(255,0,0)"}}});
    store.keys.push_back({"Software\\Vantrel\\Huedrane\\History", {{"History01", "/home/a/セル 1.hdq"}}});
    store.keys.push_back({"Software\\Vantrel\\Huedrane\\Reference", {}});
    return store;
}

TEST(RegistryStoreFormat, WritesReadableLinesAndReadsThemBack)
{
    const std::string text = FormatStoreFile(Sample());
    EXPECT_EQ(text,
              "; Huedrane settings store 1\n"
              "\n[Software]\n"
              "\n[Software\\Vantrel\\Huedrane]\n"
              "\"\"=\"Huedrane\"\n"
              "\"Position\"=\"(10,20)-(810,620)\"\n"
              "\"CurrentColor\"=\"(255,0,0)\"\n"
              "\n[Software\\Vantrel\\Huedrane\\History]\n"
              "\"History01\"=\"/home/a/セル 1.hdq\"\n"
              "\n[Software\\Vantrel\\Huedrane\\Reference]\n");
    EXPECT_EQ(Dump(Parsed(text)), Dump(Sample()));
}

TEST(RegistryStoreFormat, AnyBytesInNamesTextsAndKeysSurvive)
{
    std::string every;
    for (int byte = 0; byte < 256; ++byte)
        every += char(byte);
    SStoreFile store;
    store.keys.push_back({"a%b]c[\x01\xFF" "d\\ゼ\x7F", {{every, every}, {"\"quoted\"", "back\\slash\r\n\t"}}});
    store.keys.push_back({"", {{"at the root", "\xE3\x81"}}});  // a cut UTF-8 sequence
    const std::string text = FormatStoreFile(store);
    // One line per value: no raw line break, CR or control byte reaches the file.
    for (const char c : text)
        EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\n') << int(c);
    EXPECT_EQ(Dump(Parsed(text)), Dump(store));
}

TEST(RegistryStoreParse, GarbledLinesAreSkippedAndTheRestIsKept)
{
    const SStoreFile store = Parsed(
        "\"orphan\"=\"before any section\"\r\n"
        "[Software\\A]\r\n"
        "  \"good\" = \"1\"  \r\n"
        "\"bad escape\"=\"\\q\"\n"
        "\"unterminated\"=\"abc\n"
        "\"trailing\"=\"x\" junk\n"
        "no quotes at all\n"
        "# comment\n"
        "; comment\n"
        "[%ZZ broken header]\n"
        "\"lost\"=\"belongs to the broken section\"\n"
        "[software\\a]\n"
        "\"good\"=\"second text of a repeated name\"\n"
        "\"more\"=\"2\"\n"
        "[Software\\\\B\\]\n"
        "[no closing bracket\n");
    EXPECT_EQ(Dump(store), (std::vector<std::string>{"[Software\\A] good=1 more=2", "[Software\\B]"}));
}

TEST(RegistryStoreParse, KeysExistThroughTheirSectionsOrTheirSubkeys)
{
    const SStoreFile store = Parsed("[A\\B\\C]\n[a\\D]\n[X]\n");
    EXPECT_TRUE(StoreKeyExists(store, ""));
    EXPECT_TRUE(StoreKeyExists(store, "a"));
    EXPECT_TRUE(StoreKeyExists(store, "A\\b"));
    EXPECT_FALSE(StoreKeyExists(store, "A\\B\\C\\D"));
    EXPECT_FALSE(StoreKeyExists(store, "A\\"));
    EXPECT_FALSE(StoreKeyExists(store, "AB"));
    EXPECT_EQ(FindStoreKey(store, "a"), -1);
    EXPECT_EQ(StoreSubkeys(store, ""), (std::vector<std::string>{"A", "X"}));
    EXPECT_EQ(StoreSubkeys(store, "A"), (std::vector<std::string>{"B", "D"}));
    EXPECT_TRUE(StoreSubkeys(store, "X").empty());
}

TEST(RegistryStoreParse, PathsAreNormalisedAndBounded)
{
    std::string path;
    EXPECT_TRUE(NormaliseStorePath("\\\\a\\\\b\\", &path));
    EXPECT_EQ(path, "a\\b");
    EXPECT_TRUE(NormaliseStorePath(std::string(255, 'n'), &path));
    EXPECT_FALSE(NormaliseStorePath(std::string(256, 'n'), &path));
    std::string deep;
    for (int i = 0; i < 300; ++i)
        deep += "abcd\\";
    EXPECT_FALSE(NormaliseStorePath(deep, &path));
}

TEST(RegistryStoreParse, OversizedInputIsRefusedAndEveryCutOrFlipIsSafe)
{
    SStoreFile store;
    store.keys.push_back({"kept", {}});
    EXPECT_EQ(ParseStoreFile(std::string(MaxStoreFileBytes + 1, '\n'), &store), ErrorFromSystemCode(EFBIG));
    EXPECT_TRUE(store.keys.empty());

    // Whatever a damaged file gives, writing it out and reading it again gives the same store.
    const std::string text = FormatStoreFile(Sample());
    const auto check = [](const std::string& bytes) {
        const SStoreFile once = Parsed(bytes);
        EXPECT_EQ(Dump(Parsed(FormatStoreFile(once))), Dump(once));
    };
    for (std::size_t length = 0; length <= text.size(); ++length)
        check(text.substr(0, length));
    for (std::size_t at = 0; at < text.size(); ++at)
        for (int bit = 0; bit < 8; ++bit) {
            std::string flipped = text;
            flipped[at] = char(flipped[at] ^ (1 << bit));
            check(flipped);
        }
}

// The store fuzzer starts from files the writer makes, and from a damaged one.
TEST(RegistryStoreSeeds, FuzzCorpusHoldsWrittenStores)
{
    SStoreFile odd;
    odd.keys.push_back({"Key%\x01", {{"\"", "\\\xFF\n"}, {"", ""}}});
    const std::string damaged = "; x\r\n[A]\r\n\"a\"=\"\\x4\"\n[%4]\n\"b\"=\"c\"\"\n";
    ulib::test::Seeds seeds;
    for (const auto& [name, text] : {std::pair<std::string, std::string>{"settings.reg", FormatStoreFile(Sample())},
                                     {"escapes.reg", FormatStoreFile(odd)},
                                     {"damaged.reg", damaged}})
        seeds.emplace_back(name, ulib::test::Bytes(text.begin(), text.end()));
    ulib::test::WriteSeedsWhenAsked("FuzzRegistryStore", seeds);
    for (const auto& [name, bytes] : seeds)
        EXPECT_EQ(ulib::test::ReadFileBytes(ulib::test::FuzzCorpusFolder("FuzzRegistryStore") / name), bytes)
            << name << " (HUEDRANE_WRITE_SEEDS=1 writes it)";
}

}  // namespace
