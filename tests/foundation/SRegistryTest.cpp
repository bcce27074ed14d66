#include "FuzzSeeds.h"
#include "SRegistry.h"
#include "SRegistryStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace ulib;

namespace {

// Points the store at a fresh folder for one test and puts the previous setting back.
class ScopedStoreFolder
{
public:
    ScopedStoreFolder()
    {
        if (const char* previous = std::getenv("HUEDRANE_CONFIG_HOME"))
            previous_ = previous;
        char name[] = "/tmp/huedrane-registry-XXXXXX";
        folder_ = mkdtemp(name);
        setenv("HUEDRANE_CONFIG_HOME", (folder_ / "store").c_str(), 1);
    }
    ~ScopedStoreFolder()
    {
        if (previous_)
            setenv("HUEDRANE_CONFIG_HOME", previous_->c_str(), 1);
        else
            unsetenv("HUEDRANE_CONFIG_HOME");
        std::filesystem::remove_all(folder_);
    }
    std::filesystem::path Store() const { return folder_ / "store"; }
    std::filesystem::path File(const char* root) const { return Store() / (std::string(root) + ".reg"); }

private:
    std::filesystem::path folder_;
    std::optional<std::string> previous_;
};

SRegistryValues Pairs(std::initializer_list<std::pair<const char*, const char*>> pairs)
{
    SRegistryValues values;
    for (const auto& [name, text] : pairs)
        values.Append(name, text);
    return values;
}

SRegistryValues Read(const char* path)
{
    SRegistryValues values;
    EXPECT_EQ(ReadRegistryValues(path, &values), 0u) << path;
    return values;
}

std::vector<std::string> Subkeys(const char* path)
{
    SArray<SString> names;
    EXPECT_EQ(EnumerateRegistrySubkeys(path, &names), 0u) << path;
    std::vector<std::string> list;
    for (const SString& name : names)
        list.push_back(name.Str());
    return list;
}

void WriteText(const std::filesystem::path& file, const std::string& text)
{
    std::filesystem::create_directories(file.parent_path());
    ulib::test::WriteFileBytes(file, ulib::test::Bytes(text.begin(), text.end()));
}

TEST(RegistryPath, RootNamesRawRootsAndMalformedPaths)
{
    const auto parse = [](const char* path, std::uint32_t* root, SString* subkey) {
        return ParseRegistryPath(path, root, subkey);
    };
    std::uint32_t root = 0;
    SString subkey;
    for (const char* path : {"HKCU\\Software\\X", "hkcu\\Software\\X", "HKEY_CURRENT_USER\\Software\\X",
                             "Hkey_Current_User\\Software\\X", "#80000001\\Software\\X", "#80000001\\Software\\X"}) {
        root = 0;
        EXPECT_EQ(parse(path, &root, &subkey), 0u) << path;
        EXPECT_EQ(root, 0x80000001u) << path;
        EXPECT_EQ(subkey, SString("Software\\X")) << path;
    }
    EXPECT_EQ(parse("HKU", &root, &subkey), 0u);
    EXPECT_EQ(root, 0x80000003u);
    EXPECT_TRUE(subkey.IsEmpty());
    EXPECT_EQ(parse("#1f\\", &root, &subkey), 0u);
    EXPECT_EQ(root, 0x1Fu);

    const SError malformed = ErrorFromIdentifier("registry");
    for (const char* path : {"", "HKXX\\Software", "Software\\X", "HKUSERS\\X", "#80000001", "#\\X",
                             "#800000011\\X", "#8000000G\\X", "\\HKCU\\X"})
        EXPECT_EQ(parse(path, &root, &subkey), malformed) << path;
    EXPECT_EQ(parse("HKCU\\X", nullptr, &subkey), ErrorFromIdentifier("pointer"));

    ScopedStoreFolder store;
    SRegistryKey key;
    EXPECT_EQ(OpenRegistryKey("#7FFFFFFF\\X", registry_access::QueryValue, true, &key), ErrorFromSystemCode(EBADF));
    EXPECT_FALSE(key.open);
    EXPECT_EQ(OpenRegistryKey("HKCU\\X", registry_access::QueryValue, false, nullptr), ErrorFromIdentifier("pointer"));
}

TEST(Registry, SpellingsOfARootReachTheSameFileAndKeyNamesIgnoreCase)
{
    ScopedStoreFolder store;
    ASSERT_EQ(WriteRegistryValues("hkcu\\Software\\Vantrel\\Huedrane", Pairs({{"Version", "1.4"}})), 0u);
    EXPECT_EQ(RegistryValue(Read("HKCU\\Software\\Vantrel\\Huedrane"), "Version"), SString("1.4"));
    EXPECT_EQ(RegistryValue(Read("#80000001\\SOFTWARE\\vantrel\\HUEDRANE"), "Version"), SString("1.4"));
    EXPECT_EQ(RegistryValue(Read("HKEY_CURRENT_USER\\Software\\\\Vantrel\\Huedrane\\"), "Version"), SString("1.4"));
    // Value names are exact.
    EXPECT_TRUE(RegistryValue(Read("HKCU\\Software\\Vantrel\\Huedrane"), "version").IsEmpty());
    EXPECT_TRUE(std::filesystem::exists(store.File("HKEY_CURRENT_USER")));
    EXPECT_FALSE(std::filesystem::exists(store.File("HKEY_USERS")));
    EXPECT_EQ(std::filesystem::status(store.Store()).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
}

TEST(Registry, WritesOverwriteInPlaceAppendNewNamesAndAnEmptyMapWritesNothing)
{
    ScopedStoreFolder store;
    EXPECT_EQ(WriteRegistryValues("HKCU\\K", {}), 0u);
    EXPECT_FALSE(std::filesystem::exists(store.Store()));
    EXPECT_FALSE(RegistryKeyExists("HKCU\\K"));

    ASSERT_EQ(WriteRegistryValues("HKCU\\K", Pairs({{"", "default"}, {"b", "1"}, {"a", "2"}})), 0u);
    ASSERT_EQ(WriteRegistryValues("HKCU\\k", Pairs({{"a", "3"}, {"c", "4"}, {"B", "5"}})), 0u);
    EXPECT_EQ(Read("HKCU\\K"), Pairs({{"", "default"}, {"b", "1"}, {"a", "3"}, {"c", "4"}, {"B", "5"}}));

    // What a later process reads is the file: the text is there, readable.
    const auto bytes = ulib::test::ReadFileBytes(store.File("HKEY_CURRENT_USER"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "; Huedrane settings store 1\n\n[K]\n\"\"=\"default\"\n\"b\"=\"1\"\n\"a\"=\"3\"\n\"c\"=\"4\"\n\"B\"=\"5\"\n");
}

TEST(Registry, MissingKeysAndReadErrorsLeaveAnEmptyMap)
{
    ScopedStoreFolder store;
    SRegistryValues values = Pairs({{"stale", "x"}});
    EXPECT_EQ(ReadRegistryValues("HKCU\\Nothing", &values), ErrorFromSystemCode(ENOENT));
    EXPECT_TRUE(values.IsEmpty());
    values = Pairs({{"stale", "x"}});
    EXPECT_EQ(ReadRegistryValues("NOROOT\\X", &values), ErrorFromIdentifier("registry"));
    EXPECT_TRUE(values.IsEmpty());
    // The root exists even before anything is written.
    EXPECT_TRUE(RegistryKeyExists("HKCU\\"));
    EXPECT_EQ(Read("HKLM\\"), SRegistryValues{});
    EXPECT_EQ(DeleteRegistryValues("HKCU\\Nothing"), ErrorFromSystemCode(ENOENT));
}

TEST(Registry, KeysEnumerateDeleteOnlyWhenEmptyAndParentsOutliveChildren)
{
    ScopedStoreFolder store;
    SRegistryKey key;
    ASSERT_EQ(OpenRegistryKey("HKCU\\Software\\Vantrel\\Huedrane\\History", registry_access::SetValue, true, &key), 0u);
    EXPECT_TRUE(key.open);
    EXPECT_EQ(key.subkey, SString("Software\\Vantrel\\Huedrane\\History"));
    EXPECT_EQ(CloseRegistryKey(&key), 0u);
    EXPECT_FALSE(key.open);
    ASSERT_EQ(WriteRegistryValues("HKCU\\Software\\Vantrel\\Other", Pairs({{"x", "1"}})), 0u);
    ASSERT_EQ(WriteRegistryValues("HKCU\\Software\\Vantrel\\Huedrane\\Reference", Pairs({{"Image01", "/a"}})), 0u);

    EXPECT_EQ(Subkeys("HKCU\\"), (std::vector<std::string>{"Software"}));
    EXPECT_EQ(Subkeys("HKCU\\software\\VANTREL"), (std::vector<std::string>{"Huedrane", "Other"}));
    EXPECT_EQ(Subkeys("HKCU\\Software\\Vantrel\\Huedrane"), (std::vector<std::string>{"History", "Reference"}));

    const SError notEmpty = ErrorFromSystemCode(ENOTEMPTY);
    EXPECT_EQ(DeleteEmptyRegistryKey("HKCU\\Software\\Vantrel\\Huedrane"), notEmpty);  // subkeys
    EXPECT_EQ(DeleteEmptyRegistryKey("HKCU\\Software\\Vantrel\\Huedrane\\Reference"), notEmpty);  // a value
    EXPECT_EQ(DeleteRegistryValues("HKCU\\Software\\Vantrel\\Huedrane\\Reference"), 0u);
    EXPECT_TRUE(RegistryKeyExists("HKCU\\Software\\Vantrel\\Huedrane\\Reference"));
    EXPECT_EQ(DeleteEmptyRegistryKey("HKCU\\Software\\Vantrel\\Huedrane\\Reference"), 0u);
    EXPECT_EQ(DeleteEmptyRegistryKey("HKCU\\Software\\Vantrel\\Huedrane\\History"), 0u);
    EXPECT_EQ(DeleteEmptyRegistryKey("HKCU\\Software\\Vantrel\\Huedrane\\History"), ErrorFromSystemCode(ENOENT));
    EXPECT_TRUE(RegistryKeyExists("HKCU\\Software\\Vantrel\\Huedrane"));
    EXPECT_TRUE(Subkeys("HKCU\\Software\\Vantrel\\Huedrane").empty());
    EXPECT_EQ(DeleteEmptyRegistryKey("HKCU\\Software\\Vantrel\\Huedrane"), 0u);
    EXPECT_EQ(Subkeys("HKCU\\Software\\Vantrel"), (std::vector<std::string>{"Other"}));
    EXPECT_NE(DeleteEmptyRegistryKey("HKCU\\"), 0u);

    // A key known only as the parent of another (a file written by hand) stays when its child goes.
    WriteText(store.File("HKEY_USERS"), "[S-1\\Software\\Vantrel]\n");
    EXPECT_EQ(Subkeys("HKU\\"), (std::vector<std::string>{"S-1"}));
    EXPECT_EQ(DeleteEmptyRegistryKey("HKU\\S-1\\Software\\Vantrel"), 0u);
    EXPECT_TRUE(RegistryKeyExists("HKU\\S-1\\Software"));
}

TEST(Registry, DamagedStoreFilesNeverCrashAndTheNextWriteIsClean)
{
    ScopedStoreFolder store;
    // A file cut in the middle of a line keeps everything before the cut.
    WriteText(store.File("HKEY_CURRENT_USER"), "; Huedrane settings store 1\n[A]\n\"x\"=\"1\"\n\"y\"=\"2");
    EXPECT_EQ(Read("HKCU\\A"), Pairs({{"x", "1"}}));
    // Binary garbage reads as an empty store; writing replaces it with a clean file.
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += char((i * 7919) & 0xFF);
    WriteText(store.File("HKEY_CURRENT_USER"), garbage);
    EXPECT_FALSE(RegistryKeyExists("HKCU\\A"));
    ASSERT_EQ(WriteRegistryValues("HKCU\\A", Pairs({{"x", "1"}})), 0u);
    const auto bytes = ulib::test::ReadFileBytes(store.File("HKEY_CURRENT_USER"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()).rfind("; Huedrane settings store 1\n", 0), 0u);

    // A file too large to be ours is refused; a write keeps it aside and starts again.
    std::filesystem::resize_file(store.File("HKEY_CURRENT_USER"), MaxStoreFileBytes + 1);
    SRegistryValues values;
    EXPECT_EQ(ReadRegistryValues("HKCU\\A", &values), ErrorFromSystemCode(EFBIG));
    ASSERT_EQ(WriteRegistryValues("HKCU\\B", Pairs({{"y", "2"}})), 0u);
    EXPECT_EQ(Read("HKCU\\B"), Pairs({{"y", "2"}}));
    EXPECT_EQ(std::filesystem::file_size(store.Store() / "HKEY_CURRENT_USER.reg.refused"), MaxStoreFileBytes + 1);

    // A folder in the file's place is an error, not an empty store that a write would lose.
    std::filesystem::remove(store.File("HKEY_LOCAL_MACHINE"));
    std::filesystem::create_directories(store.File("HKEY_LOCAL_MACHINE"));
    EXPECT_NE(ReadRegistryValues("HKLM\\", &values), 0u);
    EXPECT_NE(WriteRegistryValues("HKLM\\A", Pairs({{"y", "2"}})), 0u);
    // No temporary file is left behind, not even one of a writer killed before its rename.
    WriteText(store.Store() / "HKEY_CURRENT_USER.reg.tmp-99999", "; half written");
    ASSERT_EQ(WriteRegistryValues("HKCU\\B", Pairs({{"z", "3"}})), 0u);
    for (const auto& entry : std::filesystem::directory_iterator(store.Store()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();
}

TEST(Registry, StoreFilesArePrivateAndRewritesKeepModeLinkAndNoTemporary)
{
    ScopedStoreFolder store;
    const auto mode = [](const std::filesystem::path& file) {
        struct stat info {};
        EXPECT_EQ(stat(file.c_str(), &info), 0) << file;
        return info.st_mode & 07777;
    };
    const std::filesystem::path file = store.File("HKEY_CURRENT_USER");
    const mode_t savedMask = umask(022);
    const SError first = WriteRegistryValues("HKCU\\A", Pairs({{"x", "1"}}));
    umask(savedMask);
    ASSERT_EQ(first, 0u);
    EXPECT_EQ(mode(file), 0600u);
    // A writer killed before its rename left its temporary; the next write takes it over.
    WriteText(store.Store() / ".HKEY_CURRENT_USER.reg.saving", "; half written");
    ASSERT_EQ(WriteRegistryValues("HKCU\\A", Pairs({{"x", "2"}})), 0u);
    EXPECT_EQ(mode(file), 0600u);
    ASSERT_EQ(chmod(file.c_str(), 0640), 0);
    ASSERT_EQ(WriteRegistryValues("HKCU\\A", Pairs({{"x", "3"}})), 0u);
    EXPECT_EQ(mode(file), 0640u);
    EXPECT_EQ(Read("HKCU\\A"), Pairs({{"x", "3"}}));

    // A store file kept elsewhere behind a link is written through, and the link stays.
    const std::filesystem::path elsewhere = store.Store().parent_path() / "kept.reg";
    std::filesystem::rename(file, elsewhere);
    std::filesystem::create_symlink(elsewhere, file);
    ASSERT_EQ(WriteRegistryValues("HKCU\\A", Pairs({{"x", "4"}})), 0u);
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    EXPECT_EQ(Read("HKCU\\A"), Pairs({{"x", "4"}}));

    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(store.Store()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".lock", "HKEY_CURRENT_USER.reg"}));
}

// Run only as a child of the test below: writes its own numbered values one call at a time.
TEST(RegistryChild, WritesItsValues)
{
    const char* tag = std::getenv("HUEDRANE_REGISTRY_WRITER");
    if (!tag)
        GTEST_SKIP() << "started by Registry.TwoProcessesWritingAtOnceLoseNothing";
    for (int i = 0; i < 40; ++i)
        ASSERT_EQ(WriteRegistryValues("HKCU\\Software\\Shared",
                                      Pairs({{(std::string(tag) + std::to_string(i)).c_str(), "v"}})), 0u);
}

TEST(Registry, TwoProcessesWritingAtOnceLoseNothing)
{
    ScopedStoreFolder store;
    // Every write is a read-modify-write of the whole file: without the lock, one writer's file
    // would replace the other's and values would go missing.
    const auto start = [](const char* tag) {
        std::string filter = "--gtest_filter=RegistryChild.WritesItsValues";
        std::string env = std::string("HUEDRANE_REGISTRY_WRITER=") + tag;
        std::vector<std::string> environment;
        for (char** e = environ; *e; ++e)
            environment.emplace_back(*e);
        environment.push_back(env);
        std::vector<char*> envp;
        for (std::string& e : environment)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        char program[] = "/proc/self/exe";
        char* argv[] = {program, filter.data(), nullptr};
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, program, nullptr, nullptr, argv, envp.data()), 0);
        return pid;
    };
    const pid_t first = start("a"), second = start("b");
    for (const pid_t pid : {first, second}) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const SRegistryValues values = Read("HKCU\\Software\\Shared");
    EXPECT_EQ(values.Count(), 80);
    for (const char* tag : {"a", "b"})
        for (int i = 0; i < 40; ++i)
            EXPECT_EQ(RegistryValue(values, std::string(tag) + std::to_string(i)), SString("v")) << tag << i;
}

TEST(RegistryText, LookupsAreExactAndTrimmingDropsLeadingBlanksAndControlBytes)
{
    const SRegistryValues values = Pairs({{"Name", "first"}, {"Name", "second"}, {"name", "other"}});
    EXPECT_EQ(RegistryValue(values, "Name"), SString("first"));
    EXPECT_TRUE(RegistryValue(values, "NAME").IsEmpty());
    EXPECT_EQ(TrimRegistryText(" \t\x01 png\r\n"), SString("png"));
    EXPECT_EQ(TrimRegistryText("  a b\tc "), SString("a bc "));
}

TEST(RegistryFolder, OwnVariableThenXdgThenHome)
{
    ScopedStoreFolder store;
    EXPECT_EQ(RegistryStoreFolder(), SString(store.Store().string() + "/"));
    unsetenv("HUEDRANE_CONFIG_HOME");
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const std::optional<std::string> savedXdg = xdg ? std::optional<std::string>(xdg) : std::nullopt;
    setenv("XDG_CONFIG_HOME", "/x/config", 1);
    EXPECT_EQ(RegistryStoreFolder(), SString("/x/config/huedrane/"));
    setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
    if (const char* home = std::getenv("HOME")) {
        EXPECT_EQ(RegistryStoreFolder(), SString(std::string(home) + "/.config/huedrane/"));
    }
    if (savedXdg)
        setenv("XDG_CONFIG_HOME", savedXdg->c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
