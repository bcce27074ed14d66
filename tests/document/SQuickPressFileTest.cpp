#include "SQuickPress.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

using namespace ulib;

namespace {

using Bytes = std::vector<std::uint8_t>;

class QuickPressFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("huedrane-quickpress-" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    SString Path(const char* name) const { return SString((folder_ / name).string()); }
    std::size_t FilesInFolder() const
    {
        return std::size_t(std::distance(std::filesystem::directory_iterator(folder_), std::filesystem::directory_iterator()));
    }

    std::filesystem::path folder_;
};

Bytes ReadFileBytes(const SString& path)
{
    std::ifstream in(path.Str(), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

SQuickPress SomeList()
{
    SQuickPress list;
    SBitmap image;
    image.Create(90, 40, 32);
    for (std::int32_t y = 0; y < 40; ++y)
        for (std::int32_t x = 0; x < 90; ++x)
            image.Row32(y)[x] = (x / 10 + y / 8) % 3 == 0 ? 0xFF336699u : 0x00FFFFFFu;
    list.Append(image);
    list.SetCount(2);
    list[1].kind = 3;
    return list;
}

TEST_F(QuickPressFiles, WriteFileAndReadFileRoundTrip)
{
    const SQuickPress list = SomeList();
    const SString path = Path("cel.hdq");
    ASSERT_EQ(list.WriteFile(path), 0u);

    Bytes expected(list.ByteSize());
    ASSERT_EQ(list.WriteTo(expected.data(), expected.data() + expected.size()), 0u);
    EXPECT_EQ(ReadFileBytes(path), expected);

    SQuickPress read;
    ASSERT_EQ(read.ReadFile(path), 0u);
    EXPECT_TRUE(read.Equals(list));
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(QuickPressFiles, AFailedWriteLeavesThePreviousFileWhole)
{
    const SString path = Path("cel.hdq");
    ASSERT_EQ(SomeList().WriteFile(path), 0u);
    const Bytes before = ReadFileBytes(path);

    SQuickPress bad = SomeList();
    bad[1].width = 70000;  // no field holds it
    EXPECT_EQ(bad.WriteFile(path), ErrorFromIdentifier("data"));
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(FilesInFolder(), 1u);  // no temporary file left behind

    EXPECT_NE(SomeList().WriteFile(Path("missing/cel.hdq")), 0u);
}

TEST_F(QuickPressFiles, AFailedReadLeavesTheListEmpty)
{
    SQuickPress list = SomeList();
    EXPECT_NE(list.ReadFile(Path("absent.hdq")), 0u);
    EXPECT_TRUE(list.Equals(SQuickPress()));

    // A file cut short inside a tile.
    const SString path = Path("cut.hdq");
    ASSERT_EQ(SomeList().WriteFile(path), 0u);
    std::filesystem::resize_file(path.Str(), 36 + 36 + 1 + 20 + 3);
    list = SomeList();
    EXPECT_EQ(list.ReadFile(path), ErrorFromIdentifier("taillostdata"));
    EXPECT_TRUE(list.Equals(SQuickPress()));

    std::filesystem::resize_file(path.Str(), 0);
    list = SomeList();
    EXPECT_EQ(list.ReadFile(path), ErrorFromIdentifier("EmptyData"));
    EXPECT_TRUE(list.Equals(SQuickPress()));
}

}  // namespace
