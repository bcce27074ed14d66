#include "FuzzSeeds.h"
#include "SHuedraneSettings.h"
#include "SRegistry.h"
#include "SRegistryStore.h"
#include "SScriptedPlatform.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>

using namespace ulib;

namespace {

constexpr char Main[] = "HKCU\\Software\\Vantrel\\Huedrane";

// Gives each test a fresh, empty settings store, and keeps the process's current directory (loading
// settings changes it).
class Settings : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (const char* previous = std::getenv("HUEDRANE_CONFIG_HOME"))
            previous_ = previous;
        char name[] = "/tmp/huedrane-settings-XXXXXX";
        folder_ = mkdtemp(name);
        setenv("HUEDRANE_CONFIG_HOME", (folder_ / "store").c_str(), 1);
        cwd_ = std::filesystem::current_path();
    }
    void TearDown() override
    {
        std::filesystem::current_path(cwd_);
        if (previous_)
            setenv("HUEDRANE_CONFIG_HOME", previous_->c_str(), 1);
        else
            unsetenv("HUEDRANE_CONFIG_HOME");
        std::filesystem::remove_all(folder_);
    }

    static void Write(const char* key, std::initializer_list<std::pair<const char*, const char*>> pairs)
    {
        SRegistryValues values;
        for (const auto& [name, text] : pairs)
            values.Append(name, text);
        ASSERT_EQ(WriteRegistryValues(key, values), 0u);
    }
    static SString Stored(const char* key, const char* name)
    {
        SRegistryValues values;
        ReadRegistryValues(key, &values);
        return RegistryValue(values, name);
    }
    // Loads into a fresh controller after writing the main key's values.
    static std::unique_ptr<SHuedraneController> LoadedWith(
        std::initializer_list<std::pair<const char*, const char*>> pairs)
    {
        Write(Main, pairs);
        auto controller = std::make_unique<SHuedraneController>();
        LoadSettings(*controller);
        return controller;
    }

    std::filesystem::path folder_;
    std::filesystem::path cwd_;
    std::optional<std::string> previous_;
};

SArray<SString> Paths(const char* stem, int count)
{
    SArray<SString> list;
    for (int i = 1; i <= count; ++i)
        list.Append(SString(std::string("/cels/") + stem + std::to_string(i) + ".hdq"));
    return list;
}

TEST_F(Settings, EverythingSavedComesBack)
{
    SHuedraneController saved;
    saved.options.spiDirectory = "/opt/spi";
    saved.options.importLevelEnabled = true;
    saved.options.importLevelBlack = 10;
    saved.options.importLevelWhite = 240;
    saved.options.importGengaCompress = 2;
    saved.options.importBinarize = true;
    saved.options.importAntiHole = true;
    saved.options.exportFormat = 2;
    saved.options.export24Bit = true;
    saved.options.exportTargetLayers = 3;
    saved.options.exportMinimizeRate = 4;
    saved.options.exportBlackTraceEnabled = true;
    saved.options.exportBlackTraceColour = SColor(10, 20, 30, 55);
    saved.options.exportGamutEnabled = true;
    saved.options.exportGamutMin = 16;
    saved.options.exportGamutMax = 235;
    saved.tools.colourMode = SColourMode::Bitmap;
    saved.tools.currentColour = SColor(1, 2, 3, 100);
    saved.tools.tracePen = 4;
    saved.tools.brush = {42, 7, 128};
    saved.window.normalRect = {-8, 20, 1000, 700};
    saved.window.hasNormalRect = true;
    saved.window.toolMode = ToolKnife;
    saved.window.splitBar = 0;
    saved.window.toolBarVisible = false;
    saved.window.subToolBarVisible = false;
    saved.SetLayerSwitch(LayerUnder, true);
    saved.SetLayerSwitch(LayerPaint, false);
    saved.quickPalette[15] = SColor(9, 8, 7, 200);
    saved.referenceList = Paths("ref", 3);
    saved.history = Paths("h", 10);
    ASSERT_EQ(SaveSettings(saved), 0u);
    EXPECT_EQ(Stored(Main, ""), SString("Huedrane"));
    EXPECT_EQ(Stored(Main, "Version"), SString("1.4"));
    EXPECT_EQ(Stored(Main, "Layers"), SString("ETpGU"));
    EXPECT_EQ(Stored(Main, "ExportZoom"), SString("25%"));

    SHuedraneController loaded;
    LoadSettings(loaded);
    EXPECT_EQ(loaded.options.spiDirectory, SString("/opt/spi"));
    EXPECT_TRUE(loaded.options.importLevelEnabled);
    EXPECT_EQ(loaded.options.importLevelBlack, 10);
    EXPECT_EQ(loaded.options.importLevelWhite, 240);
    EXPECT_EQ(loaded.options.importGengaCompress, 2);
    EXPECT_TRUE(loaded.options.importBinarize);
    EXPECT_TRUE(loaded.options.importAntiHole);
    EXPECT_EQ(loaded.options.exportFormat, 2);
    EXPECT_TRUE(loaded.options.export24Bit);
    EXPECT_EQ(loaded.options.exportTargetLayers, 3);
    EXPECT_EQ(loaded.options.exportMinimizeRate, 4);
    EXPECT_TRUE(loaded.options.exportBlackTraceEnabled);
    EXPECT_EQ(loaded.options.exportBlackTraceColour, SColor(10, 20, 30, 55));
    EXPECT_TRUE(loaded.options.exportGamutEnabled);
    EXPECT_EQ(loaded.options.exportGamutMin, 16);
    EXPECT_EQ(loaded.options.exportGamutMax, 235);
    EXPECT_EQ(loaded.tools.colourMode, SColourMode::Bitmap);
    EXPECT_EQ(loaded.tools.currentColour, SColor(1, 2, 3, 100));
    EXPECT_EQ(loaded.tools.tracePen, 4);
    EXPECT_EQ(loaded.tools.brush.radius, 42);
    EXPECT_EQ(loaded.tools.brush.shape, 7);
    EXPECT_EQ(loaded.tools.brush.density, 128);
    EXPECT_TRUE(loaded.window.hasNormalRect);
    EXPECT_EQ(loaded.window.normalRect, (SRect{-8, 20, 1000, 700}));
    EXPECT_EQ(loaded.window.toolMode, ToolKnife);
    EXPECT_EQ(loaded.window.splitBar, 0);
    EXPECT_FALSE(loaded.window.toolBarVisible);
    EXPECT_TRUE(loaded.window.statusBarVisible);
    EXPECT_FALSE(loaded.window.subToolBarVisible);
    EXPECT_EQ(loaded.cel.visible, saved.cel.visible);
    EXPECT_EQ(loaded.quickPalette, saved.quickPalette);
    EXPECT_EQ(loaded.referenceList, saved.referenceList);
    EXPECT_EQ(loaded.history, saved.history);
}

TEST_F(Settings, AFirstStartKeepsTheDefaultsAndDisabledOptionsSaveAsNone)
{
    SHuedraneController loaded;
    LoadSettings(loaded);
    SHuedraneController defaults;
    EXPECT_EQ(loaded.tools.currentColour, defaults.tools.currentColour);
    EXPECT_EQ(loaded.window.toolMode, defaults.window.toolMode);
    EXPECT_FALSE(loaded.window.hasNormalRect);
    EXPECT_EQ(loaded.quickPalette, defaults.quickPalette);

    defaults.options.exportMinimizeRate = 0;
    defaults.tools.colourMode = SColourMode::Texture;
    defaults.window.toolMode = 99;
    ASSERT_EQ(SaveSettings(defaults), 0u);
    EXPECT_EQ(Stored(Main, "ImportLevel"), SString("none"));
    EXPECT_EQ(Stored(Main, "ExportBlackTrace"), SString("none"));
    EXPECT_EQ(Stored(Main, "ExportGamut"), SString("none"));
    EXPECT_EQ(Stored(Main, "ExportZoom"), SString("100%"));  // divisor 0: full size
    EXPECT_EQ(Stored(Main, "CurrentMode"), SString(""));
    EXPECT_EQ(Stored(Main, "ToolMode"), SString(""));
    EXPECT_EQ(Stored(Main, "Position"), SString(""));  // no rectangle remembered yet
    EXPECT_EQ(Stored(Main, "InstallDirectory").View().back(), '/');
}

TEST_F(Settings, NumbersAreClampedOrIgnored)
{
    auto c = LoadedWith({{"Brush", "20/50"}, {"TracePen", "6"}, {"SplitBar", "101%"},
                                        {"ExportDepth", "16"}, {"ExportZoom", "10%"}, {"ExportTargetLayers", "6"}});
    SHuedraneController defaults;
    EXPECT_EQ(c->tools.brush.radius, defaults.tools.brush.radius);
    EXPECT_EQ(c->tools.brush.shape, defaults.tools.brush.shape);
    EXPECT_EQ(c->tools.tracePen, defaults.tools.tracePen);
    EXPECT_EQ(c->window.splitBar, defaults.window.splitBar);
    EXPECT_EQ(c->options.export24Bit, defaults.options.export24Bit);
    EXPECT_EQ(c->options.exportMinimizeRate, defaults.options.exportMinimizeRate);
    EXPECT_EQ(c->options.exportTargetLayers, 0);

    c = LoadedWith({{"Brush", "500/-3/999"}, {"TracePen", " 1"}, {"SplitBar", "0"}, {"ImportLevel", "200/100"},
                    {"ExportGamut", "-5"}, {"ExportZoom", "33%"}, {"Position", "(5,6)"}});
    EXPECT_EQ(c->tools.brush.radius, 100);
    EXPECT_EQ(c->tools.brush.shape, 0);
    EXPECT_EQ(c->tools.brush.density, 255);
    EXPECT_EQ(c->tools.tracePen, 0);
    EXPECT_EQ(c->window.splitBar, 0);
    EXPECT_TRUE(c->options.importLevelEnabled);
    EXPECT_EQ(c->options.importLevelBlack, 127);
    EXPECT_EQ(c->options.importLevelWhite, 128);
    EXPECT_TRUE(c->options.exportGamutEnabled);
    EXPECT_EQ(c->options.exportGamutMin, 0);
    EXPECT_EQ(c->options.exportGamutMax, 255);
    EXPECT_EQ(c->options.exportMinimizeRate, 3);
    EXPECT_EQ(c->window.normalRect, (SRect{5, 6, 0, 0}));

    for (const auto& [zoom, divisor] : {std::pair{"50%", 2}, {"100%", 1}, {"800%", 0}, {"12%", 8}})
        EXPECT_EQ(LoadedWith({{"ExportZoom", zoom}})->options.exportMinimizeRate, divisor) << zoom;

    c = LoadedWith({{"ImportLevel", "none"}, {"ExportBlackTrace", " \x01red"}, {"ExportFormat", " bitmap"}});
    EXPECT_FALSE(c->options.importLevelEnabled);
    EXPECT_FALSE(c->options.exportBlackTraceEnabled);
    EXPECT_EQ(c->options.exportFormat, 0);
    c = LoadedWith({{"ExportBlackTrace", "\t#FF000080"}, {"ExportFormat", "gif"}});
    EXPECT_TRUE(c->options.exportBlackTraceEnabled);
    EXPECT_EQ(c->options.exportBlackTraceColour, SColor(255, 0, 0, 127));
    EXPECT_EQ(c->options.exportFormat, SHuedraneController().options.exportFormat);  // "gif" leaves it
}

TEST_F(Settings, LettersSwitchLayersAndBars)
{
    auto c = LoadedWith({{"Layers", "eTPGu"}, {"Flags", "tSx"}});
    EXPECT_EQ(c->cel.visible, (std::array<bool, 5>{false, true, true, true, false}));
    EXPECT_FALSE(c->window.toolBarVisible);
    EXPECT_TRUE(c->window.statusBarVisible);
    EXPECT_TRUE(c->window.subToolBarVisible);
    c = LoadedWith({{"Layers", "uE"}, {"Flags", "U"}, {"CurrentMode", " erase\r\n"}, {"ToolMode", "liquid"}});
    EXPECT_EQ(c->cel.visible, (std::array<bool, 5>{false, true, true, true, true}));
    EXPECT_EQ(c->tools.colourMode, SColourMode::Eraser);
    EXPECT_EQ(c->window.toolMode, ToolBlackToRed);
}

TEST_F(Settings, TransparentColoursAreMadeVisible)
{
    Write("HKCU\\Software\\Vantrel\\Huedrane\\QuickPalette", {{"Picker01", "(1,2,3,0)"}, {"Picker16", "#10203040"}});
    const auto c = LoadedWith({{"CurrentColor", "(10,20,30,0)"}});
    EXPECT_EQ(c->tools.currentColour, SColor(10, 20, 30, 0));
    EXPECT_EQ(c->quickPalette[0], SColor(1, 2, 3, 254));
    EXPECT_EQ(c->quickPalette[1], SColor::Red);  // a missing value leaves its slot
    EXPECT_EQ(c->quickPalette[15], SColor(0x10, 0x20, 0x30, 255 - 0x40));
}

TEST_F(Settings, ListsComeBackWholeAndInOrder)
{
    SHuedraneController saved;
    saved.referenceList = Paths("ref", 150);
    saved.history = Paths("h", 3);
    ASSERT_EQ(SaveSettings(saved), 0u);
    const char* const reference = "HKCU\\Software\\Vantrel\\Huedrane\\Reference";
    EXPECT_EQ(Stored(reference, "Image01"), SString("/cels/ref1.hdq"));
    EXPECT_EQ(Stored(reference, "Image99"), SString("/cels/ref99.hdq"));
    EXPECT_EQ(Stored(reference, "Image100"), SString("/cels/ref100.hdq"));
    EXPECT_TRUE(Stored(reference, "Image00").IsEmpty());
    SHuedraneController loaded;
    LoadSettings(loaded);
    EXPECT_EQ(loaded.referenceList, saved.referenceList);
    EXPECT_EQ(loaded.history, saved.history);

    // A shorter list replaces the longer one entirely; blank and control bytes are cleaned on reading.
    saved.referenceList = {"  /a.png\t", "   "};
    saved.history = {"/x\r.hdq"};
    ASSERT_EQ(SaveSettings(saved), 0u);
    LoadSettings(loaded);
    EXPECT_EQ(loaded.referenceList, (SArray<SString>{"/a.png"}));
    EXPECT_EQ(loaded.history, (SArray<SString>{"/x.hdq"}));
}

TEST_F(Settings, TheCurrentDirectoryIsRememberedAndRestored)
{
    std::filesystem::create_directories(folder_ / "work");
    std::filesystem::current_path(folder_ / "work");
    SHuedraneController c;
    ASSERT_EQ(SaveSettings(c), 0u);
    EXPECT_EQ(Stored(Main, "CurrentDirectory"), SString(std::filesystem::current_path().string() + "/"));
    std::filesystem::current_path(folder_);
    LoadSettings(c);
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(folder_ / "work"));
    // A folder that has gone away leaves the current one.
    Write(Main, {{"CurrentDirectory", "/no/such/folder/"}});
    LoadSettings(c);
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(folder_ / "work"));
}

TEST_F(Settings, ADamagedStoreKeepsTheDefaultsAndTheNextSaveRepairsIt)
{
    std::filesystem::create_directories(folder_ / "store");
    const std::filesystem::path file = folder_ / "store" / "HKEY_CURRENT_USER.reg";
    const std::string damaged = "; Huedrane settings store 1\n[Software\\Vantrel\\Huedrane]\n\"Brush\"=\"5/5/5\"\n"
                                "\"TracePen\"=\"\\x3";
    ulib::test::WriteFileBytes(file, ulib::test::Bytes(damaged.begin(), damaged.end()));
    SHuedraneController c;
    LoadSettings(c);
    EXPECT_EQ(c.tools.brush.radius, 5);
    EXPECT_EQ(c.tools.tracePen, SHuedraneController().tools.tracePen);

    std::filesystem::resize_file(file, MaxStoreFileBytes + 1);
    SHuedraneController fresh;
    LoadSettings(fresh);
    EXPECT_EQ(fresh.tools.brush.radius, SHuedraneController().tools.brush.radius);
    fresh.tools.brush.radius = 77;
    ASSERT_EQ(SaveSettings(fresh), 0u);
    SHuedraneController again;
    LoadSettings(again);
    EXPECT_EQ(again.tools.brush.radius, 77);
}

TEST_F(Settings, AFailedSaveIsReportedAndStops)
{
    // The store's folder cannot be made under a plain file.
    ulib::test::WriteFileBytes(folder_ / "file", {});
    setenv("HUEDRANE_CONFIG_HOME", (folder_ / "file" / "store").c_str(), 1);
    ulib::test::SScriptedPlatform platform;
    ulib::test::ScopedPlatform installed(platform);
    SHuedraneController c;
    EXPECT_EQ(SaveSettings(c), ErrorFromSystemCode(ENOTDIR));
    EXPECT_EQ(platform.BoxCount(), 1u);
    EXPECT_EQ(platform.LastBox().text, ErrorText(ErrorFromSystemCode(ENOTDIR)));
}

TEST_F(Settings, RemovalEmptiesOurKeysAndLeavesOtherProgramsSettings)
{
    SHuedraneController c;
    c.referenceList = Paths("ref", 2);
    c.history = Paths("h", 2);
    ASSERT_EQ(SaveSettings(c), 0u);
    Write("HKCU\\Software\\Vantrel\\Other", {{"Keep", "me"}});
    Write("HKU\\S-1-5-21\\Software\\Vantrel\\Huedrane\\History", {{"History01", "/x.hdq"}});
    Write("HKU\\S-1-5-21\\Software\\Vantrel\\Huedrane", {{"Version", "1.4"}});

    RemoveInstallation("/usr/bin/huedrane");
    EXPECT_FALSE(RegistryKeyExists("HKCU\\Software\\Vantrel\\Huedrane"));
    EXPECT_EQ(Stored("HKCU\\Software\\Vantrel\\Other", "Keep"), SString("me"));
    EXPECT_FALSE(RegistryKeyExists("HKU\\S-1-5-21\\Software\\Vantrel"));
    EXPECT_TRUE(RegistryKeyExists("HKU\\S-1-5-21\\Software"));

    RemoveInstallation("/usr/bin/huedrane");  // nothing left to remove: harmless
    EXPECT_TRUE(RegistryKeyExists("HKCU\\Software\\Vantrel\\Other"));
}

TEST_F(Settings, TheFileAssociationGoesOnlyWhenItStartsThisProgram)
{
    const auto associate = [](const char* command) {
        Write("HKCR\\.hdq", {{"", "hdqfile"}});
        Write("HKCR\\hdqfile", {{"", "Huedrane cel"}});
        Write("HKCR\\hdqfile\\DefaultIcon", {{"", "/usr/bin/huedrane,0"}});
        Write("HKCR\\hdqfile\\Shell\\open\\command", {{"", command}});
    };
    for (const char* other : {"\"/usr/bin/huedrane\" \"%1\"", "/usr/bin/huedrane %1", "/usr/bin/huedrane \"%1\" ",
                              "/usr/local/bin/huedrane \"%1\""}) {
        associate(other);
        RemoveInstallation("/usr/bin/huedrane");
        EXPECT_EQ(Stored("HKCR\\hdqfile\\Shell\\open\\command", ""), SString(other)) << other;
        EXPECT_TRUE(RegistryKeyExists("HKCR\\.hdq")) << other;
    }
    // The command must be the key's first value, the default one.
    DeleteRegistryValues("HKCR\\hdqfile\\Shell\\open\\command");
    Write("HKCR\\hdqfile\\Shell\\open\\command", {{"first", "x"}, {"", "/usr/bin/huedrane \"%1\""}});
    RemoveInstallation("/usr/bin/huedrane");
    EXPECT_TRUE(RegistryKeyExists("HKCR\\hdqfile\\Shell\\open\\command"));

    DeleteRegistryValues("HKCR\\hdqfile\\Shell\\open\\command");
    associate("/usr/bin/huedrane \"%1\"");
    Write("HKCR\\Unrelated", {{"", "stays"}});
    RemoveInstallation("/usr/bin/huedrane");
    for (const char* key : {"HKCR\\.hdq", "HKCR\\hdqfile", "HKCR\\hdqfile\\Shell", "HKCR\\hdqfile\\DefaultIcon"})
        EXPECT_FALSE(RegistryKeyExists(key)) << key;
    EXPECT_EQ(Stored("HKCR\\Unrelated", ""), SString("stays"));
}

}  // namespace
