#include "ControllerEdits.h"
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
    EditOptions(saved, [&](SHuedraneOptions& o) {
        o.spiDirectory = "/opt/spi";
        o.importLevelEnabled = true;
        o.importLevelBlack = 10;
        o.importLevelWhite = 240;
        o.importGengaCompress = 2;
        o.importBinarize = true;
        o.importAntiHole = true;
        o.exportFormat = 2;
        o.export24Bit = true;
        o.exportTargetLayers = 3;
        o.exportMinimizeRate = 4;
        o.exportBlackTraceEnabled = true;
        o.exportBlackTraceColour = SColor(10, 20, 30, 55);
        o.exportGamutEnabled = true;
        o.exportGamutMin = 16;
        o.exportGamutMax = 235;
    });
    saved.SetColourMode(SColourMode::Bitmap);
    saved.SetCurrentColour(SColor(1, 2, 3, 100));
    saved.SetTracePen(4);
    saved.SetFillGap(17);
    saved.SetCheckOptions({40, true});
    saved.SetCheckBeforeExport(true);
    saved.SetUndoLimits(250, 512);
    saved.SetAutosaveLimits(0, 90);
    saved.SetBrush({42, 7, 128});
    EditWindow(saved, [&](SMainWindowState& w) {
        w.normalRect = {-8, 20, 1000, 700};
        w.hasNormalRect = true;
        w.toolMode = ToolKnife;
        w.splitBar = 0;
        w.toolBarVisible = false;
        w.subToolBarVisible = false;
        w.maximized = true;
        w.layout = "AAAA/w+=";
        w.language = "en";
    });
    saved.SetLayerSwitch(LayerUnder, true);
    saved.SetLayerSwitch(LayerPaint, false);
    saved.SetQuickColour(15, SColor(9, 8, 7, 200));
    saved.SetReferenceList(Paths("ref", 3));
    saved.SetHistory(Paths("h", 10));
    ASSERT_EQ(SaveSettings(saved), 0u);
    EXPECT_EQ(Stored(Main, ""), SString("Huedrane"));
    EXPECT_EQ(Stored(Main, "Version"), SString("1.4"));
    EXPECT_EQ(Stored(Main, "Layers"), SString("ETpGU"));
    EXPECT_EQ(Stored(Main, "ExportZoom"), SString("25%"));

    SHuedraneController loaded;
    LoadSettings(loaded);
    EXPECT_EQ(loaded.Options().spiDirectory, SString("/opt/spi"));
    EXPECT_TRUE(loaded.Options().importLevelEnabled);
    EXPECT_EQ(loaded.Options().importLevelBlack, 10);
    EXPECT_EQ(loaded.Options().importLevelWhite, 240);
    EXPECT_EQ(loaded.Options().importGengaCompress, 2);
    EXPECT_TRUE(loaded.Options().importBinarize);
    EXPECT_TRUE(loaded.Options().importAntiHole);
    EXPECT_EQ(loaded.Options().exportFormat, 2);
    EXPECT_TRUE(loaded.Options().export24Bit);
    EXPECT_EQ(loaded.Options().exportTargetLayers, 3);
    EXPECT_EQ(loaded.Options().exportMinimizeRate, 4);
    EXPECT_TRUE(loaded.Options().exportBlackTraceEnabled);
    EXPECT_EQ(loaded.Options().exportBlackTraceColour, SColor(10, 20, 30, 55));
    EXPECT_TRUE(loaded.Options().exportGamutEnabled);
    EXPECT_EQ(loaded.Options().exportGamutMin, 16);
    EXPECT_EQ(loaded.Options().exportGamutMax, 235);
    EXPECT_EQ(loaded.Tools().colourMode, SColourMode::Bitmap);
    EXPECT_EQ(loaded.Tools().currentColour, SColor(1, 2, 3, 100));
    EXPECT_EQ(loaded.Tools().tracePen, 4);
    EXPECT_EQ(loaded.Tools().fillGap, 17);
    EXPECT_EQ(loaded.CheckOptions().minSpeck, 40);
    EXPECT_TRUE(loaded.CheckOptions().includeEdge);
    EXPECT_TRUE(loaded.CheckBeforeExport());
    EXPECT_EQ(loaded.UndoSteps(), 250);
    EXPECT_EQ(loaded.UndoMegabytes(), 512);
    EXPECT_EQ(Stored(Main, "UndoMemory"), SString("512MB"));
    EXPECT_EQ(loaded.AutosaveSteps(), 0);
    EXPECT_EQ(loaded.AutosaveSeconds(), 90);
    EXPECT_EQ(loaded.Tools().brush.radius, 42);
    EXPECT_EQ(loaded.Tools().brush.shape, 7);
    EXPECT_EQ(loaded.Tools().brush.density, 128);
    EXPECT_TRUE(loaded.Window().hasNormalRect);
    EXPECT_EQ(loaded.Window().normalRect, (SRect{-8, 20, 1000, 700}));
    EXPECT_EQ(loaded.Window().toolMode, ToolKnife);
    EXPECT_EQ(loaded.Window().splitBar, 0);
    EXPECT_FALSE(loaded.Window().toolBarVisible);
    EXPECT_TRUE(loaded.Window().statusBarVisible);
    EXPECT_FALSE(loaded.Window().subToolBarVisible);
    EXPECT_TRUE(loaded.Window().maximized);
    EXPECT_EQ(loaded.Window().layout, SString("AAAA/w+="));
    EXPECT_EQ(loaded.Window().language, SString("en"));
    EXPECT_EQ(StoredLanguage(), SString("en"));
    EXPECT_EQ(loaded.Cel().visible, saved.Cel().visible);
    EXPECT_EQ(loaded.QuickPalette(), saved.QuickPalette());
    EXPECT_EQ(loaded.ReferenceList(), saved.ReferenceList());
    EXPECT_EQ(loaded.History(), saved.History());
}

TEST_F(Settings, AFirstStartKeepsTheDefaultsAndDisabledOptionsSaveAsNone)
{
    SHuedraneController loaded;
    LoadSettings(loaded);
    SHuedraneController defaults;
    EXPECT_EQ(loaded.Tools().currentColour, defaults.Tools().currentColour);
    EXPECT_EQ(loaded.Window().toolMode, defaults.Window().toolMode);
    EXPECT_FALSE(loaded.Window().hasNormalRect);
    EXPECT_EQ(loaded.QuickPalette(), defaults.QuickPalette());

    EditOptions(defaults, [&](SHuedraneOptions& o) { o.exportMinimizeRate = 0; });
    defaults.SetColourMode(SColourMode::Texture);
    EditWindow(defaults, [&](SMainWindowState& w) { w.toolMode = 99; });
    ASSERT_EQ(SaveSettings(defaults), 0u);
    EXPECT_EQ(Stored(Main, "ImportLevel"), SString("none"));
    EXPECT_EQ(Stored(Main, "ExportBlackTrace"), SString("none"));
    EXPECT_EQ(Stored(Main, "ExportGamut"), SString("none"));
    EXPECT_EQ(Stored(Main, "ExportZoom"), SString("100%"));  // divisor 0: full size
    EXPECT_EQ(Stored(Main, "FillGap"), SString("0"));
    EXPECT_EQ(Stored(Main, "CurrentMode"), SString(""));
    EXPECT_EQ(Stored(Main, "ToolMode"), SString(""));
    EXPECT_EQ(Stored(Main, "Position"), SString(""));  // no rectangle remembered yet
    EXPECT_EQ(Stored(Main, "InstallDirectory").View().back(), '/');
}

TEST_F(Settings, NumbersAreClampedOrIgnored)
{
    auto c = LoadedWith({{"Brush", "20/50"}, {"TracePen", "6"}, {"SplitBar", "101%"}, {"FillGap", "33"}, {"CheckMinSpeck", "-4"},
                                        {"ExportDepth", "16"}, {"ExportZoom", "10%"}, {"ExportTargetLayers", "6"}});
    SHuedraneController defaults;
    EXPECT_EQ(c->Tools().brush.radius, defaults.Tools().brush.radius);
    EXPECT_EQ(c->Tools().brush.shape, defaults.Tools().brush.shape);
    EXPECT_EQ(c->Tools().tracePen, defaults.Tools().tracePen);
    EXPECT_EQ(c->Tools().fillGap, 0);
    EXPECT_EQ(c->CheckOptions().minSpeck, DefaultMinSpeck);
    EXPECT_EQ(c->Window().splitBar, defaults.Window().splitBar);
    EXPECT_EQ(c->Options().export24Bit, defaults.Options().export24Bit);
    EXPECT_EQ(c->Options().exportMinimizeRate, defaults.Options().exportMinimizeRate);
    EXPECT_EQ(c->Options().exportTargetLayers, 0);

    c = LoadedWith({{"Brush", "500/-3/999"}, {"TracePen", " 1"}, {"SplitBar", "0"}, {"ImportLevel", "200/100"},
                    {"ExportGamut", "-5"}, {"ExportZoom", "33%"}, {"Position", "(5,6)"}});
    EXPECT_EQ(c->Tools().brush.radius, 100);
    EXPECT_EQ(c->Tools().brush.shape, 0);
    EXPECT_EQ(c->Tools().brush.density, 255);
    EXPECT_EQ(c->Tools().tracePen, 0);
    EXPECT_EQ(c->Window().splitBar, 0);
    EXPECT_TRUE(c->Options().importLevelEnabled);
    EXPECT_EQ(c->Options().importLevelBlack, 127);
    EXPECT_EQ(c->Options().importLevelWhite, 128);
    EXPECT_TRUE(c->Options().exportGamutEnabled);
    EXPECT_EQ(c->Options().exportGamutMin, 0);
    EXPECT_EQ(c->Options().exportGamutMax, 255);
    EXPECT_EQ(c->Options().exportMinimizeRate, 3);
    EXPECT_EQ(c->Window().normalRect, (SRect{5, 6, 0, 0}));

    for (const auto& [zoom, divisor] : {std::pair{"50%", 2}, {"100%", 1}, {"800%", 0}, {"12%", 8}})
        EXPECT_EQ(LoadedWith({{"ExportZoom", zoom}})->Options().exportMinimizeRate, divisor) << zoom;

    c = LoadedWith({{"ImportLevel", "none"}, {"ExportBlackTrace", " \x01red"}, {"ExportFormat", " bitmap"}});
    EXPECT_FALSE(c->Options().importLevelEnabled);
    EXPECT_FALSE(c->Options().exportBlackTraceEnabled);
    EXPECT_EQ(c->Options().exportFormat, 0);
    c = LoadedWith({{"ExportBlackTrace", "\t#FF000080"}, {"ExportFormat", "gif"}});
    EXPECT_TRUE(c->Options().exportBlackTraceEnabled);
    EXPECT_EQ(c->Options().exportBlackTraceColour, SColor(255, 0, 0, 127));
    EXPECT_EQ(c->Options().exportFormat, SHuedraneController().Options().exportFormat);  // "gif" leaves it

    // A layout that is no base64 text of a sensible length is left out: the boxes take their first places.
    for (const std::string& layout : {std::string("AAA"), std::string("AA A"), std::string("AAA@"),
                                      std::string(64 * 1024 + 4, 'A')})
        EXPECT_TRUE(LoadedWith({{"WindowLayout", layout.c_str()}})->Window().layout.IsEmpty()) << layout.size();
    // Undo depth and memory are held to their ranges; a first start keeps ten steps in 1 GB.
    c = LoadedWith({{"UndoSteps", "5"}, {"UndoMemory", "999999MB"}});
    EXPECT_EQ(c->UndoSteps(), 10);
    EXPECT_EQ(c->UndoMegabytes(), SHuedraneController::MostUndoMegabytes);
    c = LoadedWith({{"UndoSteps", "100000"}, {"UndoMemory", "1"}});
    EXPECT_EQ(c->UndoSteps(), 1000);
    EXPECT_EQ(c->UndoMegabytes(), SHuedraneController::LeastUndoMegabytes);
    EXPECT_EQ(SHuedraneController().UndoSteps(), 10);
    EXPECT_EQ(SHuedraneController().UndoMegabytes(), 1024);
    // Autosave: held to its ranges; what is no number keeps the default instead of turning it off.
    c = LoadedWith({{"AutosaveSteps", "5000"}, {"AutosaveSeconds", "abc"}});
    EXPECT_EQ(c->AutosaveSteps(), SAutosave::MostSteps);
    EXPECT_EQ(c->AutosaveSeconds(), SAutosave::DefaultSeconds);
    c = LoadedWith({{"AutosaveSteps", "-3"}, {"AutosaveSeconds", "0"}});
    EXPECT_EQ(c->AutosaveSteps(), SAutosave::DefaultSteps);
    EXPECT_EQ(c->AutosaveSeconds(), 0);

    // A language the program has no texts for means the locale's.
    EXPECT_TRUE(LoadedWith({{"Language", "fr"}})->Window().language.IsEmpty());
}

TEST_F(Settings, LettersSwitchLayersAndBars)
{
    auto c = LoadedWith({{"Layers", "eTPGu"}, {"Flags", "tSx"}});
    EXPECT_EQ(c->Cel().visible, (std::array<bool, 5>{false, true, true, true, false}));
    EXPECT_FALSE(c->Window().toolBarVisible);
    EXPECT_TRUE(c->Window().statusBarVisible);
    EXPECT_TRUE(c->Window().subToolBarVisible);
    c = LoadedWith({{"Layers", "uE"}, {"Flags", "U"}, {"CurrentMode", " erase\r\n"}, {"ToolMode", "liquid"}});
    EXPECT_EQ(c->Cel().visible, (std::array<bool, 5>{false, true, true, true, true}));
    EXPECT_EQ(c->Tools().colourMode, SColourMode::Eraser);
    EXPECT_EQ(c->Window().toolMode, ToolBlackToRed);
}

TEST_F(Settings, TransparentColoursAreMadeVisible)
{
    Write("HKCU\\Software\\Vantrel\\Huedrane\\QuickPalette", {{"Picker01", "(1,2,3,0)"}, {"Picker16", "#10203040"}});
    const auto c = LoadedWith({{"CurrentColor", "(10,20,30,0)"}});
    EXPECT_EQ(c->Tools().currentColour, SColor(10, 20, 30, 0));
    EXPECT_EQ(c->QuickPalette()[0], SColor(1, 2, 3, 254));
    EXPECT_EQ(c->QuickPalette()[1], SColor::Red);  // a missing value leaves its slot
    EXPECT_EQ(c->QuickPalette()[15], SColor(0x10, 0x20, 0x30, 255 - 0x40));
}

TEST_F(Settings, ListsComeBackWholeAndInOrder)
{
    SHuedraneController saved;
    saved.SetReferenceList(Paths("ref", 150));
    saved.SetHistory(Paths("h", 3));
    ASSERT_EQ(SaveSettings(saved), 0u);
    const char* const reference = "HKCU\\Software\\Vantrel\\Huedrane\\Reference";
    EXPECT_EQ(Stored(reference, "Image01"), SString("/cels/ref1.hdq"));
    EXPECT_EQ(Stored(reference, "Image99"), SString("/cels/ref99.hdq"));
    EXPECT_EQ(Stored(reference, "Image100"), SString("/cels/ref100.hdq"));
    EXPECT_TRUE(Stored(reference, "Image00").IsEmpty());
    SHuedraneController loaded;
    LoadSettings(loaded);
    EXPECT_EQ(loaded.ReferenceList(), saved.ReferenceList());
    EXPECT_EQ(loaded.History(), saved.History());

    // A shorter list replaces the longer one entirely; blank and control bytes are cleaned on reading.
    saved.SetReferenceList({"  /a.png\t", "   "});
    saved.SetHistory({"/x\r.hdq"});
    ASSERT_EQ(SaveSettings(saved), 0u);
    LoadSettings(loaded);
    EXPECT_EQ(loaded.ReferenceList(), (SArray<SString>{"/a.png"}));
    EXPECT_EQ(loaded.History(), (SArray<SString>{"/x.hdq"}));
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
    EXPECT_EQ(c.Tools().brush.radius, 5);
    EXPECT_EQ(c.Tools().tracePen, SHuedraneController().Tools().tracePen);

    std::filesystem::resize_file(file, MaxStoreFileBytes + 1);
    SHuedraneController fresh;
    LoadSettings(fresh);
    EXPECT_EQ(fresh.Tools().brush.radius, SHuedraneController().Tools().brush.radius);
    fresh.SetBrush({77, fresh.Tools().brush.shape, fresh.Tools().brush.density});
    ASSERT_EQ(SaveSettings(fresh), 0u);
    SHuedraneController again;
    LoadSettings(again);
    EXPECT_EQ(again.Tools().brush.radius, 77);
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
    c.SetReferenceList(Paths("ref", 2));
    c.SetHistory(Paths("h", 2));
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
