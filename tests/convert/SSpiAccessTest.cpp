// Picture plug-ins end to end: the helper program runs the test plug-ins of tests/spi, linked into
// a scratch folder per test so that their order is the test's choice.
#include "SSpiAccess.h"

#include "SRegistry.h"
#include "ScanFixture.h"
#include "SScriptedPlatform.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/wait.h>

using namespace ulib;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string ScratchName()
{
    std::string pattern = (fs::temp_directory_path() / "huedrane-spi-XXXXXX").string();
    return mkdtemp(pattern.data()) ? pattern : std::string();
}

// A test picture in the readers' format: "TPX", size, flags, then the pixels, one byte each.
Bytes Tpx(std::uint8_t width, std::uint8_t height, std::uint8_t flags = 0)
{
    Bytes bytes = {'T', 'P', 'X', width, height, flags};
    for (int i = 0; i < width * height; ++i)
        bytes.push_back(std::uint8_t(10 + i));
    return bytes;
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// The settings store in a folder of the test's own while it lives.
class ScopedConfigHome
{
public:
    explicit ScopedConfigHome(const std::string& folder)
    {
        const char* previous = std::getenv("HUEDRANE_CONFIG_HOME");
        had_ = previous != nullptr;
        saved_ = previous ? previous : "";
        fs::create_directories(folder);
        setenv("HUEDRANE_CONFIG_HOME", folder.c_str(), 1);
    }
    ~ScopedConfigHome()
    {
        if (had_)
            setenv("HUEDRANE_CONFIG_HOME", saved_.c_str(), 1);
        else
            unsetenv("HUEDRANE_CONFIG_HOME");
    }
    ScopedConfigHome(const ScopedConfigHome&) = delete;
    ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

private:
    bool had_ = false;
    std::string saved_;
};

class SpiAccess : public testing::Test
{
protected:
    SpiAccess() : folder_(ScratchName()), shown_(platform_)
    {
        spi_.hostPath = HUEDRANE_SPI_HOST;
        spi_.timeoutMilliseconds = 20000;
        // A plug-in that answers an abort always gets to answer it.
        spi_.abortGraceMilliseconds = 20000;
    }
    ~SpiAccess() override { fs::remove_all(folder_); }

    // The plug-in folder holds exactly these test plug-ins, found in this order.
    void Use(std::initializer_list<const char*> names)
    {
        const fs::path plugins = Populate(names);
        spi_.plugins.Clear();
        FindPlugins(spi_, SString(plugins.string()), SString());
        ASSERT_EQ(spi_.plugins.Count(), std::int32_t(names.size()));
    }

    fs::path Populate(std::initializer_list<const char*> names)
    {
        const fs::path plugins = fs::path(folder_) / "plugins";
        fs::remove_all(plugins);
        fs::create_directories(plugins);
        int order = 10;
        for (const char* name : names)
            fs::create_symlink(fs::path(HUEDRANE_TEST_SPI_FOLDER) / (std::string(name) + ".spi"),
                               plugins / (std::to_string(order++) + "-" + name + ".spi"));
        return plugins;
    }

    SError Read(const Bytes& bytes, const char* name = "picture.tpx", SAbort* abort = nullptr)
    {
        return ReadPictureWithPlugins(spi_, &bitmap_, bytes.data(), bytes.data() + bytes.size(), SString(name), abort);
    }

    std::string Write(const std::string& name, const Bytes& bytes)
    {
        const std::string path = folder_ + "/" + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }

    std::vector<std::string> BoxTexts() const
    {
        std::vector<std::string> texts;
        for (const SMessageBoxRequest& box : platform_.Boxes())
            texts.push_back(box.text);
        return texts;
    }

    std::string folder_;
    test::SScriptedPlatform platform_;
    test::ScopedPlatform shown_;
    SSpiAccess spi_;
    SBitmap bitmap_;
};

std::string CodeBox(int code) { return "SPIが次のエラーを返しました。エラーコード：" + std::to_string(code); }

TEST_F(SpiAccess, WithoutPluginsTheFilterListHoldsOnlyTheBuiltInTypes)
{
    {
        const ScopedConfigHome config(folder_ + "/config");
        FindPlugins(spi_, SString(), SString());
        EXPECT_EQ(spi_.plugins.Count(), 0);
        fs::create_directories(folder_ + "/empty");
        FindPlugins(spi_, SString(folder_ + "/empty"), SString());
        EXPECT_EQ(spi_.plugins.Count(), 0);
    }

    SMap<SString, SString> expected;
    expected.Append("対応している画像ファイル", "*.bmp;*.png;*.jpg;*.jpeg;");
    expected.Append("JPEGファイル(*.jpg)", "*.jpg;*.jpeg");
    expected.Append("PNGファイル(*.png)", "*.png");
    expected.Append("ビットマップファイル(*.bmp)", "*.bmp");
    EXPECT_TRUE(GetPictureFilters(spi_) == expected);
}

TEST_F(SpiAccess, TheRegisteredFolderServesWhenNoneIsConfigured)
{
    const ScopedConfigHome config(folder_ + "/config");
    // A path far longer than any string kept inline, with the blanks and line end that are trimmed.
    const std::string registered = Populate({"reader_b"}).string();
    SRegistryValues values;
    values.Append("Path", SString(" \t" + registered + "\r\n"));
    ASSERT_EQ(WriteRegistryValues("HKEY_CURRENT_USER\\Software\\Ornibek\\Susie\\Plug-in", values), 0u);
    EXPECT_EQ(PluginFolderFromRegistry().Str(), registered);

    FindPlugins(spi_, SString(), SString(folder_ + "/own"));
    ASSERT_EQ(spi_.plugins.Count(), 1);
    EXPECT_EQ(spi_.plugins[0].Str(), registered + "/10-reader_b.spi");
    ASSERT_EQ(Id(Read(Tpx(1, 1))), "");
    EXPECT_EQ(bitmap_.ResolutionX(), 1002);

    // A configured folder comes first.
    spi_.plugins.Clear();
    fs::create_directories(folder_ + "/configured");
    FindPlugins(spi_, SString(folder_ + "/configured"), SString(folder_ + "/own"));
    EXPECT_EQ(spi_.plugins.Count(), 0);
}

TEST_F(SpiAccess, FiltersComeFromPictureReadersOnlyInTheOrderFound)
{
    // reader_b repeats reader_a's description, which keeps its place with reader_b's pattern; the
    // archive's filter and the plug-ins without pairs add nothing; the coder's texts carry blanks
    // and a pair without a pattern.
    Use({"reader_a", "archive", "coder", "reader_b", "decliner", "incomplete", "crasher", "hanger"});
    SMap<SString, SString> expected;
    expected.Append("対応している画像ファイル", "*.bmp;*.png;*.jpg;*.jpeg;*.tpy;*.cod;*.tpz;*.dcl;");
    expected.Append("Test pictures", "*.tpy");
    expected.Append("Coded pictures", "*.cod");
    expected.Append("More test pictures", "*.tpz");
    expected.Append("Declined pictures", "*.dcl");
    expected.Append("JPEGファイル(*.jpg)", "*.jpg;*.jpeg");
    expected.Append("PNGファイル(*.png)", "*.png");
    expected.Append("ビットマップファイル(*.bmp)", "*.bmp");
    const SMap<SString, SString> filters = GetPictureFilters(spi_);
    ASSERT_EQ(filters.Count(), expected.Count());
    for (std::int32_t i = 0; i < expected.Count(); ++i) {
        EXPECT_EQ(filters.Key(i).Str(), expected.Key(i).Str());
        EXPECT_EQ(filters.Value(i).Str(), expected.Value(i).Str());
    }
}

TEST_F(SpiAccess, TheFirstSupportingPluginReadsThePicture)
{
    Use({"decliner", "reader_b", "reader_a"});
    SAbort progress;
    ASSERT_EQ(Id(Read(Tpx(3, 2), "picture.tpx", &progress)), "");
    EXPECT_EQ(bitmap_.ResolutionX(), 1002);  // reader_b's mark
    ASSERT_EQ(bitmap_.Dimensions(), (SPoint{3, 2}));
    EXPECT_EQ(bitmap_.Format(), 8);
    // Rows arrive last row first, as in the block.
    EXPECT_EQ(bitmap_.GetIndex(0, 1), 10u);
    EXPECT_EQ(bitmap_.GetIndex(2, 0), 15u);
    EXPECT_EQ(bitmap_.GetPaletteEntry(15), SColor(15, 15, 15));
    EXPECT_EQ(progress.Progress(), 100);

    Use({"reader_a", "reader_b"});
    ASSERT_EQ(Id(Read(Tpx(1, 1))), "");
    EXPECT_EQ(bitmap_.ResolutionX(), 1001);
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(SpiAccess, DeclinesAreOutweighedByAnyFailureAndTheLastFailureCounts)
{
    Use({"decliner", "coder", "decliner"});
    EXPECT_EQ(Id(Read(Text("CODE2"))), "wrong_format");
    EXPECT_TRUE(bitmap_.IsEmpty());
    EXPECT_EQ(Id(Read(Text("nothing"))), "UnacceptableFormat");

    // The incomplete plug-in claims every file but cannot be used.
    Use({"coder", "incomplete"});
    EXPECT_EQ(Id(Read(Text("CODE5"))), "plugin_invalid");
    Use({"incomplete", "coder"});
    EXPECT_EQ(Id(Read(Text("CODE5"))), "memory");
    Use({"archive"});
    EXPECT_EQ(Id(Read(Tpx(1, 1))), "plugin_invalid");
}

TEST_F(SpiAccess, EveryResultCodeIsShownAndMapped)
{
    Use({"coder"});
    const std::pair<int, const char*> codes[] = {{1, "abort"},        {2, "wrong_format"}, {3, "bad_format"},
                                                 {4, "memory_insuf"}, {5, "memory"},       {6, "file_open"},
                                                 {7, "plugin"}};
    for (const auto& [code, identifier] : codes) {
        platform_.Clear();
        EXPECT_EQ(Id(Read(Text("CODE" + std::to_string(code)))), identifier);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{CodeBox(code)});
    }
    platform_.Clear();
    EXPECT_EQ(Read(Text("CODE-9")), SError(1));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{CodeBox(-9)});
    platform_.Clear();
    EXPECT_EQ(Id(Read(Text("CODE0"))), "");
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(SpiAccess, ShortDataArriveAsTwoKilobytesWithAZeroTail)
{
    Use({"tail_checker"});
    Bytes file(100, 0x55);
    file[0] = 'T', file[1] = 'A', file[2] = 'I', file[3] = 'L', file[4] = 100;
    EXPECT_EQ(Id(Read(file)), "");
    EXPECT_EQ(bitmap_.ResolutionX(), 1006);
}

TEST_F(SpiAccess, BlocksSmallerThanClaimedAreRefused)
{
    Use({"liar"});
    const std::pair<const char*, const char*> cases[] = {{"LIE1", "unexpected"},
                                                         {"LIE2", "bad_format"},
                                                         {"LIE3", "unexpected"},
                                                         {"LIE4", "memory_alloc"},
                                                         {"LIE5", "bad_format"}};
    for (const auto& [file, identifier] : cases) {
        EXPECT_EQ(Id(Read(Text(file))), identifier) << file;
        EXPECT_TRUE(bitmap_.IsEmpty()) << file;
    }
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(SpiAccess, ACrashingPluginCostsOnlyItsOwnAttempt)
{
    Use({"crasher", "reader_a"});
    // A crash while asked about support: the next plug-in still reads the picture.
    EXPECT_EQ(Id(Read(Tpx(2, 2), "x.crash-support")), "");
    EXPECT_EQ(bitmap_.ResolutionX(), 1001);
    const Bytes picture = Tpx(2, 2);
    EXPECT_EQ(Id(TryPlugin(spi_, &bitmap_, picture.data(), picture.data() + picture.size(),
                           SString("x.crash-support"), spi_.plugins[0])),
              "plugin_exception");
    // A crash while reading: no result-code box, and the next plug-in and later reads work.
    EXPECT_EQ(Id(TryPlugin(spi_, &bitmap_, picture.data(), picture.data() + picture.size(), SString("x.crash-read"),
                           spi_.plugins[0])),
              "plugin_exception");
    EXPECT_TRUE(bitmap_.IsEmpty());
    EXPECT_EQ(Id(Read(picture, "x.crash-read")), "");
    EXPECT_TRUE(BoxTexts().empty());
    Use({"crasher"});
    EXPECT_EQ(Id(Read(picture, "x.crash-read")), "plugin_exception");
}

TEST_F(SpiAccess, AHangingPluginIsStoppedAfterTheTimeout)
{
    Use({"hanger", "reader_a"});
    spi_.timeoutMilliseconds = 300;
    // Only the silence limit can end this call: without it the test would not end.
    spi_.callLimitMilliseconds = 0;
    EXPECT_EQ(Id(Read(Text("HANG"))), "plugin_exception");
    // Killed and reaped: no child of ours is left, not even a zombie.
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    spi_.timeoutMilliseconds = 20000;
    EXPECT_EQ(Id(Read(Tpx(1, 1))), "");
}

TEST_F(SpiAccess, APluginThatReportsProgressForeverIsStoppedAtTheCallLimit)
{
    Use({"chatterer", "reader_a"});
    spi_.callLimitMilliseconds = 300;
    SAbort progress;
    EXPECT_EQ(Id(Read(Text("CHAT"), "picture.tpx", &progress)), "plugin_exception");
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    EXPECT_EQ(Id(Read(Tpx(1, 1))), "");
}

TEST_F(SpiAccess, AnAbortEndsAPluginThatNeverAnswersIt)
{
    // Without a silence limit only the abort can end these calls: the hanger never reports, the
    // chatterer never stops reporting and ignores the request.
    spi_.timeoutMilliseconds = 0;
    spi_.abortGraceMilliseconds = 100;
    for (const auto& [plugin, file] : {std::pair{"hanger", "HANG"}, std::pair{"chatterer", "CHAT"}}) {
        Use({plugin});
        SAbort progress;
        progress.RequestAbort();
        EXPECT_EQ(Id(Read(Text(file), "picture.tpx", &progress)), "abort") << plugin;
        EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << plugin;
    }
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(SpiAccess, APluginOverItsMemoryLimitFailsItsPictureAlone)
{
    Use({"hog", "reader_a"});
    // The default leaves room for far more than a large scan needs.
    EXPECT_EQ(Id(Read(Text("HOG512"))), "");
    EXPECT_EQ(bitmap_.ResolutionX(), 1004);
    spi_.memoryLimitBytes = 64 << 20;
    EXPECT_EQ(Id(Read(Text("HOG512"))), "plugin_exception");
    EXPECT_EQ(Id(Read(Text("HOG1"))), "");
    EXPECT_EQ(Id(Read(Tpx(1, 1))), "");
}

TEST_F(SpiAccess, OnlyThePluginsFirstLinesReachTheErrorStream)
{
    Use({"chatterer"});
    testing::internal::CaptureStderr();
    const std::string identifier = Id(Read(Text("TALK")));
    const std::string passed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(identifier, "plugin");
    std::string expected;
    for (int n = 1; n <= 4; ++n) {
        // The escape byte arrives as '?'; each line is cut to 200 bytes.
        std::string line = "line " + std::to_string(n) + " ?[31m";
        while (line.size() < 200)
            line += "chatter ";
        expected += "huedrane-spi-host: 10-chatterer.spi: " + line.substr(0, 200) + "\n";
    }
    EXPECT_EQ(passed, expected);
}

TEST_F(SpiAccess, AnAbortReachesThePluginThroughItsProgressCalls)
{
    Use({"reader_a", "reader_b"});
    SAbort progress;
    progress.RequestAbort();
    // Slow reading: the abort answer reaches the plug-in while rows remain. The search stops
    // there; the second reader is not asked.
    EXPECT_EQ(Id(Read(Tpx(4, 250, 1), "picture.tpx", &progress)), "abort");
    EXPECT_TRUE(bitmap_.IsEmpty());
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{CodeBox(1)});
}

TEST_F(SpiAccess, ArgumentsAreCheckedBeforeAnyPluginRuns)
{
    Use({"reader_a"});
    const Bytes bytes = Tpx(1, 1);
    const std::uint8_t* begin = bytes.data();
    const std::uint8_t* end = begin + bytes.size();
    EXPECT_EQ(Id(TryPlugin(spi_, nullptr, begin, end, SString(), spi_.plugins[0])), "pointer");
    EXPECT_EQ(Id(TryPlugin(spi_, &bitmap_, end, begin, SString(), spi_.plugins[0])), "pointer");
    EXPECT_EQ(Id(TryPlugin(spi_, &bitmap_, begin, begin, SString(), spi_.plugins[0])), "EmptyData");
    EXPECT_EQ(Id(TryPlugin(spi_, &bitmap_, begin, end, SString(), SString())), "plugin_n_def");
    EXPECT_EQ(Id(TryPlugin(spi_, &bitmap_, begin, end, SString(), SString(folder_ + "/none.spi"))),
              "plugin_not_found");
    EXPECT_EQ(Id(ReadPictureWithPlugins(spi_, nullptr, begin, end, SString())), "pointer");
    EXPECT_EQ(Id(ReadPictureWithPlugins(spi_, &bitmap_, begin, begin, SString())), "EmptyData");

    // Without its helper the program reports the system's reason and goes on.
    spi_.hostPath = SString(folder_ + "/no-helper");
    EXPECT_EQ(Id(Read(bytes)), "errno");
}

TEST_F(SpiAccess, FilesFallBackToThePlugins)
{
    Use({"reader_a"});
    const SString tpx(Write("picture.tpx", Tpx(2, 3)));
    EXPECT_EQ(Id(ReadImageFile(&bitmap_, tpx, PluginPictureReader(spi_))), "");
    EXPECT_EQ(bitmap_.Dimensions(), (SPoint{2, 3}));
    EXPECT_EQ(Id(ReadImageFile(&bitmap_, tpx)), "UnacceptableFormat");

    EXPECT_EQ(Id(ReadBmpOrPluginFile(spi_, tpx, &bitmap_)), "");
    EXPECT_EQ(bitmap_.ResolutionX(), 1001);
    SBitmap source;
    source.Create(5, 4, 24);
    source.FillRect(SColor(1, 2, 3));
    const SString bmp(folder_ + "/picture.bmp");
    ASSERT_EQ(WriteBmpFile(source, bmp), 0u);
    spi_.plugins.Clear();  // a BMP file needs no plug-in
    EXPECT_EQ(Id(ReadBmpOrPluginFile(spi_, bmp, &bitmap_)), "");
    EXPECT_EQ(bitmap_.GetColor(4, 3), SColor(1, 2, 3));

    EXPECT_EQ(Id(ReadBmpOrPluginFile(spi_, tpx, &bitmap_)), "UnacceptableFormat");
    EXPECT_TRUE(bitmap_.IsEmpty());
    EXPECT_EQ(Id(ReadBmpOrPluginFile(spi_, SString(folder_ + "/missing"), &bitmap_)), "file_not_found");
    EXPECT_EQ(Id(ReadBmpOrPluginFile(spi_, SString(folder_), &bitmap_)), "file_not_found");
    EXPECT_EQ(Id(ReadBmpOrPluginFile(spi_, SString(Write("empty", {})), &bitmap_)), "empty_file");
    EXPECT_EQ(Id(ReadBmpOrPluginFile(spi_, bmp, nullptr)), "pointer");
}

}  // namespace
