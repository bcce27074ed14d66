#include "CelFixture.h"
#include "FuzzSeeds.h"
#include "SDocumentFile.h"
#include "SDocumentRecords.h"
#include "SQuickPress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

using namespace ulib;

namespace {

// A cel as an import leaves it: genga held in stored form, paint and trace with content.
SCel ImportedCel(std::int32_t width, std::int32_t height)
{
    SCel cel = MakeCel(width, height);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            cel.genga.SetColor(x, y, SColor(std::uint8_t(x * 7), std::uint8_t(y * 5), 200));
            cel.paint.Row32(y)[x] = (x + y) % 5 == 0 ? cel_values::BorderBlack : 0xFF000000u | std::uint32_t(x * 40503u + y);
            if (x == y)
                cel.trace.Row32(y)[x] = 0x000000C0u;
        }
    cel.held.Clear();
    EXPECT_EQ(cel.held.Append(cel.genga), 0u);
    cel.ComposeAll();
    return cel;
}

class DocumentFile : public testing::Test
{
protected:
    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("huedrane-doc-" + std::to_string(::getpid()) + "-" + testing::UnitTest::GetInstance()->current_test_info()->name());
    SString path;

    void SetUp() override
    {
        std::filesystem::create_directories(folder);
        path = SString((folder / "cel.hdq").string());
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string FileBytes() const
    {
        std::ifstream in(path.Str(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void WriteBytes(const std::string& bytes) const
    {
        std::ofstream(path.Str(), std::ios::binary) << bytes;
    }
    SQuickPress Container() const
    {
        SQuickPress list;
        EXPECT_EQ(list.ReadFile(path), 0u);
        return list;
    }
};

void ExpectSameLayer(const SBitmap& a, const SBitmap& b, const char* what)
{
    ASSERT_EQ(a.Dimensions(), b.Dimensions()) << what;
    ASSERT_EQ(a.Format(), b.Format()) << what;
    for (std::int32_t y = 0; y < a.Height(); ++y)
        for (std::int32_t x = 0; x < a.Width(); ++x)
            ASSERT_EQ(a.GetColor(x, y), b.GetColor(x, y)) << what << " at " << x << "," << y;
}

TEST_F(DocumentFile, SavedCelOpensAgainWithEveryPart)
{
    SCel cel = ImportedCel(70, 65);
    cel.SetLayerVisible(LayerExtra, 1);
    cel.extra.Row32(3)[4] = 0x80102030u;
    cel.memo.Append(SString("原画の修正"));
    cel.memo.Append(SString(""));
    cel.memo.Append(SString("second"));
    cel.flag.Row(2)[69] = 2;
    cel.flag.Row(64)[0] = 1;
    cel.ComposeAll();
    ASSERT_EQ(SaveDocument(cel, path), 0u);

    SCel loaded;
    ASSERT_EQ(LoadDocument(loaded, path), 0u);
    ExpectSameLayer(loaded.genga, cel.genga, "genga");
    ExpectSameLayer(loaded.paint, cel.paint, "paint");
    ExpectSameLayer(loaded.trace, cel.trace, "trace");
    ExpectSameLayer(loaded.extra, cel.extra, "extra");
    ExpectSameLayer(loaded.flag, cel.flag, "flag");
    ExpectSameLayer(loaded.display, cel.display, "display");
    ASSERT_EQ(loaded.memo.Count(), 3);
    EXPECT_EQ(loaded.memo[0], SString("原画の修正"));
    EXPECT_EQ(loaded.memo[1], SString(""));
    EXPECT_EQ(loaded.memo[2], SString("second"));
    EXPECT_TRUE(loaded.held.Equals(Container()));
}

TEST_F(DocumentFile, RecordsAppearOnlyWhenTheyCarrySomething)
{
    SCel cel = ImportedCel(8, 4);
    ASSERT_EQ(SaveDocument(cel, path), 0u);
    SQuickPress list = Container();
    ASSERT_EQ(list.Count(), 4);  // genga, paint, trace, thumbnail
    EXPECT_EQ(list.width, 8);
    EXPECT_EQ(list.height, 4);
    EXPECT_EQ(list.format, 32);
    EXPECT_EQ(list[3].kind, document_kind::Thumbnail);
    EXPECT_EQ(list[3].format, 24);
    EXPECT_EQ(list[3].width, 128);
    EXPECT_EQ(list[3].height, 64);

    cel.flag.Row(0)[2] = 2;
    ASSERT_EQ(SaveDocument(cel, path), 0u);
    list = Container();
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list[4].kind, document_kind::FlagRuns);
}

TEST(DocumentRecords, MemoAndFlagRunBytesAreExact)
{
    SArray<SString> memo;
    memo.Append(SString("a"));
    memo.Append(SString("bc"));
    SError err = 0;
    const SBinary bytes = MemoToBytes(memo, err);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.Data()), bytes.Length()), "a\r\nbc\r\n");

    SBitmap flag;
    flag.Create(3, 1, 8);
    flag.Row(0)[2] = 2;
    const SBinary runs = FlagLayerToRuns(flag, err);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(runs.Data()), runs.Length()),
              std::string("\x02\x00\x00\x00\x01\x00\x00\x02", 8));
    EXPECT_EQ(err, 0u);

    flag.Row(0)[2] = 4;  // only the low two bits count
    EXPECT_TRUE(FlagLayerToRuns(flag, err).IsEmpty());
}

TEST(DocumentRecords, MemoBreaksAndTheLastLine)
{
    SArray<SString> memo;
    BytesToMemo(SBinary("a\r\n\nb\r\fc\r\x00" "d", 11), memo);
    ASSERT_EQ(memo.Count(), 5);
    EXPECT_EQ(memo[0], SString("a"));
    EXPECT_EQ(memo[1], SString(""));
    EXPECT_EQ(memo[2], SString("b"));
    EXPECT_EQ(memo[3], SString("c"));
    EXPECT_EQ(memo[4], SString("d"));
    BytesToMemo(SBinary("x\r\n", 3), memo);
    EXPECT_EQ(memo.Count(), 1);
    BytesToMemo(SBinary("\x8C\xB4\x89\xE6", 4), memo);  // CP932 bytes read back as UTF-8
    EXPECT_EQ(memo[0], SString("原画"));
}

TEST(DocumentRecords, FlagRunsWrapRowsAndStopAtTheEnd)
{
    SBitmap flag;
    flag.Create(3, 2, 8);
    flag.Row(1)[2] = 0xFC;
    // A run of 5 with value 1 covers row 0 and two pixels of row 1; a run of 9 with value 3 is
    // cut off at the layer's end; the upper six bits of a byte are kept.
    ApplyFlagRuns(SBinary("\x05\x00\x00\x01\x09\x00\x00\x03", 8), flag);
    EXPECT_EQ(flag.Row(0)[0], 1);
    EXPECT_EQ(flag.Row(1)[1], 1);
    EXPECT_EQ(flag.Row(1)[2], 0xFF);
}

TEST_F(DocumentFile, LoadingReplacesTheMemoEvenWithoutAMemoRecord)
{
    SCel plain = ImportedCel(4, 4);
    ASSERT_EQ(SaveDocument(plain, path), 0u);
    SCel cel = ImportedCel(4, 4);
    cel.memo.Append(SString("left over"));
    ASSERT_EQ(LoadDocument(cel, path), 0u);
    EXPECT_EQ(cel.memo.Count(), 0);
}

TEST_F(DocumentFile, ExtraLayerWithoutARecordFollowsItsVisibility)
{
    ASSERT_EQ(SaveDocument(ImportedCel(5, 3), path), 0u);
    SCel shown;
    ASSERT_EQ(LoadDocument(shown, path), 0u);
    ASSERT_EQ(shown.extra.Dimensions(), (SPoint{5, 3}));
    EXPECT_EQ(shown.extra.Row32(2)[4], 0x00FFFFFFu);
    EXPECT_TRUE(shown.ExtraLayerIsEmpty());

    SCel hidden;
    hidden.visible[LayerExtra] = false;
    ASSERT_EQ(LoadDocument(hidden, path), 0u);
    EXPECT_TRUE(hidden.extra.IsEmpty());
}

TEST_F(DocumentFile, HiddenGengaIsDecodedFromTheHeldRecordWhenShown)
{
    SCel cel = ImportedCel(6, 6);
    ASSERT_EQ(SaveDocument(cel, path), 0u);
    SCel loaded;
    loaded.visible[LayerGenga] = false;
    ASSERT_EQ(LoadDocument(loaded, path), 0u);
    EXPECT_TRUE(loaded.genga.IsEmpty());
    EXPECT_TRUE(loaded.SetLayerVisible(LayerGenga, 1));
    ExpectSameLayer(loaded.genga, cel.genga, "genga");
    EXPECT_EQ(loaded.display.Row32(1)[0], cel.display.Row32(1)[0]);
}

TEST_F(DocumentFile, BadFilesLeaveAnEmptyDocument)
{
    SCel good = ImportedCel(64, 64);
    ASSERT_EQ(SaveDocument(good, path), 0u);
    const std::string bytes = FileBytes();

    auto expectRefused = [&](const std::string& content, const char* identifier) {
        WriteBytes(content);
        SCel cel = ImportedCel(3, 3);
        cel.memo.Append(SString("x"));
        EXPECT_EQ(LoadDocument(cel, path), ErrorFromIdentifier(identifier)) << identifier;
        EXPECT_TRUE(cel.paint.IsEmpty() && cel.trace.IsEmpty() && cel.display.IsEmpty() && cel.genga.IsEmpty());
        EXPECT_EQ(cel.memo.Count(), 0);
        EXPECT_EQ(cel.held.Count(), 0);
    };
    expectRefused(bytes.substr(0, bytes.size() / 2), "taillostdata");
    expectRefused("", "EmptyData");
    std::string otherTag = bytes;
    otherTag.replace(8, 8, "otherapp");
    expectRefused(otherTag, "UnacceptableFormat");

    SCel cel;
    EXPECT_EQ(LoadDocument(cel, SString("")), ErrorFromIdentifier("file_not_found"));
    EXPECT_EQ(SaveDocument(good, SString("")), ErrorFromIdentifier("filename_invalid"));
}

TEST(DocumentUnpack, RefusesMissingMisSizedAndNon32BitRecords)
{
    SCel source = ImportedCel(4, 4);
    SQuickPress list;
    ASSERT_EQ(PackDocument(source, list), 0u);

    auto expectData = [](const SQuickPress& candidate, const char* why) {
        SCel cel = ImportedCel(2, 2);
        EXPECT_EQ(UnpackDocument(cel, candidate), ErrorFromIdentifier("data")) << why;
        EXPECT_TRUE(cel.paint.IsEmpty()) << why;
    };
    SQuickPress two = list;
    two.SetCount(2);
    expectData(two, "two records");

    SQuickPress small = list;
    SBitmap other;
    other.Create(3, 4, 32);
    small[2].Compress(other);
    expectData(small, "trace of another size");

    SQuickPress wrongFormat = list;
    SBitmap rgb;
    rgb.Create(4, 4, 24);
    wrongFormat[1].Compress(rgb);
    expectData(wrongFormat, "24-bit paint");

    SQuickPress notThirtyTwo = list;
    notThirtyTwo.format = 24;
    expectData(notThirtyTwo, "header format");

    SCel cel;
    EXPECT_EQ(UnpackDocument(cel, list), 0u);
    ExpectSameLayer(cel.paint, source.paint, "paint");
}

}  // namespace

namespace {

// Small documents exercising every record kind, as the load fuzzer's seeds.
TEST(DocumentSeeds, FuzzCorpusHoldsPackedDocuments)
{
    ulib::test::Seeds seeds;
    auto add = [&](const std::string& name, const SCel& cel) {
        SQuickPress list;
        ASSERT_EQ(PackDocument(cel, list), 0u);
        ulib::test::Bytes bytes(list.ByteSize());
        ASSERT_EQ(list.WriteTo(bytes.data(), bytes.data() + bytes.size()), 0u);
        seeds.emplace_back(name, std::move(bytes));
    };
    add("plain.hdq", ImportedCel(9, 7));
    SCel full = ImportedCel(66, 3);
    full.SetLayerVisible(LayerExtra, 1);
    full.extra.Row32(1)[65] = 0x40FF00FFu;
    full.memo.Append(SString("メモ"));
    full.flag.Row(2)[1] = 3;
    add("every-record.hdq", full);

    ulib::test::WriteSeedsWhenAsked("FuzzLoadDocument", seeds);
    for (const auto& [name, bytes] : seeds) {
        EXPECT_EQ(ulib::test::ReadFileBytes(ulib::test::FuzzCorpusFolder("FuzzLoadDocument") / name), bytes)
            << name << " (HUEDRANE_WRITE_SEEDS=1 writes it)";
        SQuickPress list;
        ASSERT_EQ(list.ReadFrom(bytes.data(), bytes.data() + bytes.size()), 0u);
        SCel cel;
        EXPECT_EQ(UnpackDocument(cel, list), 0u) << name;
    }
}

}  // namespace
