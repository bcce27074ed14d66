// The file mapper's modes and states, and the promise every writer keeps: the previous file stays
// whole until the new one is complete on disk, and no temporary file outlives the next save.
#include "PictureFixture.h"
#include "RasterFixture.h"
#include "SAbort.h"
#include "SErrorCause.h"
#include "SErrorRegistry.h"
#include "SFileMapper.h"
#include "SReplacingFile.h"
#include "Sximage.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <random>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ulib;

namespace {

// Lowers the soft file size limit for its lifetime.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

SBitmap Picture(std::int32_t width, std::int32_t height, std::uint8_t shade)
{
    SBitmap image = Made(width, height, 24);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            image.SetColor(x, y, SColor(std::uint8_t(x * 7 + shade), std::uint8_t(y * 3), shade));
    return image;
}

// Pseudo-random pixels, which no writer can compress much.
SBitmap Noise(std::int32_t width, std::int32_t height)
{
    std::mt19937 random(7);
    SBitmap image = Made(width, height, 24);
    for (std::size_t i = 0; i < image.PixelAreaSize(); ++i)
        image.PixelArea()[i] = std::uint8_t(random());
    return image;
}

struct Writer
{
    const char* name;
    std::function<SError(const SBitmap&, const SString&)> write;
    SError failure;  // what a file system failure gives
};

std::vector<Writer> Writers()
{
    return {
        {"bmp", [](const SBitmap& b, const SString& p) { return WriteBmpFile(b, p); }, Id("file_resize")},
        {"png", [](const SBitmap& b, const SString& p) { return WritePngFile(&b, p); },
         error_definitions::PngError().value},
        {"jpg", [](const SBitmap& b, const SString& p) { return WriteJpegFile(b, p); },
         error_definitions::JpegError().value},
    };
}

}  // namespace

TEST(FileMapper, ReadModeMapsTheWholeFile)
{
    ScratchFolder folder;
    WriteFileBytes(folder.Path("data"), {1, 2, 3, 4, 5});
    WriteFileBytes(folder.Path("empty"), {});

    SFileMapper mapper;
    EXPECT_EQ(mapper.Map(), Id("object_silent"));
    EXPECT_EQ(mapper.Resize(4), Id("object_silent"));
    ASSERT_EQ(mapper.OpenRead(folder.SPath("data")), 0u);
    EXPECT_EQ(mapper.CurrentMode(), SFileMapper::Read);
    ASSERT_EQ(mapper.Size(), 5u);
    EXPECT_EQ(mapper.Begin()[4], 5);
    EXPECT_EQ(mapper.Resize(10), Id("object_silent"));
    EXPECT_EQ(mapper.Open(SFileMapper::Read, folder.SPath("empty")), 0u);  // same mode: nothing done
    EXPECT_EQ(mapper.Size(), 5u);
    EXPECT_EQ(mapper.Close(), 0u);
    EXPECT_EQ(mapper.CurrentMode(), SFileMapper::Closed);
    EXPECT_EQ(mapper.Size(), 0u);

    ASSERT_EQ(mapper.OpenRead(folder.SPath("empty")), 0u);
    EXPECT_EQ(mapper.Begin(), mapper.End());
    mapper.Close();

    // System failures name the file and keep the "errno" identity.
    const SError missing = mapper.OpenRead(folder.SPath("missing"));
    EXPECT_EQ(ErrorIdentity(missing), ErrorFromSystemCode(ENOENT));
    EXPECT_EQ(ErrorText(missing), folder.Path("missing") + ": " + std::strerror(ENOENT));
    EXPECT_EQ(ErrorIdentifier(missing), "errno");
    EXPECT_EQ(ErrorIdentity(mapper.OpenRead(SString(folder.Path("")))), ErrorFromSystemCode(EISDIR));
    EXPECT_EQ(mapper.CurrentMode(), SFileMapper::Closed);
}

TEST(FileMapper, WriterAppearsOnlyWhenClosed)
{
    ScratchFolder folder;
    WriteFileBytes(folder.Path("target"), {9, 9, 9});
    SFileMapper mapper;
    ASSERT_EQ(mapper.OpenWrite(folder.SPath("target")), 0u);
    EXPECT_EQ(mapper.Size(), 0u);
    ASSERT_EQ(mapper.Resize(6), 0u);
    ASSERT_EQ(mapper.Size(), 6u);
    for (std::uint8_t* p = mapper.Begin(); p != mapper.End(); ++p)
        EXPECT_EQ(*p, 0);
    std::memset(mapper.Begin(), 0xAB, 6);
    ASSERT_EQ(mapper.Resize(2), 0u);  // shrinking and growing again brings back zeros only
    ASSERT_EQ(mapper.Resize(4), 0u);
    EXPECT_EQ(mapper.Begin()[1], 0xAB);
    EXPECT_EQ(mapper.Begin()[2], 0);
    EXPECT_EQ(ReadFileBytes(folder.Path("target")), (Bytes{9, 9, 9}));
    ASSERT_EQ(mapper.Close(), 0u);
    EXPECT_EQ(ReadFileBytes(folder.Path("target")), (Bytes{0xAB, 0xAB, 0, 0}));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"target"});
}

TEST(FileMapper, DiscardedOrDestroyedWritersLeaveTheTargetAlone)
{
    ScratchFolder folder;
    WriteFileBytes(folder.Path("target"), {1});
    {
        SFileMapper mapper;
        ASSERT_EQ(mapper.OpenWrite(folder.SPath("target")), 0u);
        ASSERT_EQ(mapper.Resize(100), 0u);
    }
    SFileMapper mapper;
    ASSERT_EQ(mapper.OpenWrite(folder.SPath("target")), 0u);
    ASSERT_EQ(mapper.Resize(100), 0u);
    mapper.Discard();
    EXPECT_EQ(mapper.CurrentMode(), SFileMapper::Closed);
    EXPECT_EQ(ReadFileBytes(folder.Path("target")), Bytes{1});
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"target"});
}

TEST(AtomicSave, FileSizeLimitFailsEveryWriterAndKeepsTheOldFile)
{
    ScratchFolder folder;
    const SBitmap big = Noise(200, 200);  // 120 kB as BMP, tens of kB as PNG or JPEG
    for (const Writer& w : Writers()) {
        const std::string name = std::string("old.") + w.name;
        const Bytes old(3000, 0x5C);
        WriteFileBytes(folder.Path(name), old);
        SError err = 0;
        {
            FileSizeLimit limit(1024);
            err = w.write(big, folder.SPath(name));
        }
        // The identifier callers know, with the system's reason and the path as the text.
        EXPECT_EQ(ErrorIdentity(err), w.failure) << w.name;
        EXPECT_EQ(ErrorText(err), folder.Path(name) + ": " + std::strerror(EFBIG)) << w.name;
        EXPECT_EQ(ReadFileBytes(folder.Path(name)), old) << w.name;
    }
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"old.bmp", "old.jpg", "old.png"}));

    // The mapper itself: the failed Resize spoils the writer, and Close does not commit it.
    FileSizeLimit limit(1024);
    SFileMapper mapper;
    ASSERT_EQ(mapper.OpenWrite(folder.SPath("old.bmp")), 0u);
    EXPECT_EQ(ErrorIdentity(mapper.Resize(4096)), Id("file_resize"));
    EXPECT_EQ(ErrorIdentity(mapper.Resize(10)), Id("file_resize"));
    EXPECT_EQ(ErrorIdentity(mapper.Close()), Id("file_resize"));
    EXPECT_EQ(ReadFileBytes(folder.Path("old.bmp")).size(), 3000u);
}

TEST(AtomicSave, FailedRenameReportsAndLeavesNoTemporary)
{
    ScratchFolder folder;
    WriteFileBytes(folder.Path("target"), {1, 2});
    SFileMapper mapper;
    ASSERT_EQ(mapper.OpenWrite(folder.SPath("target")), 0u);
    ASSERT_EQ(mapper.Resize(8), 0u);
    // Someone replaces the target by a folder that is not empty while the save runs.
    ASSERT_EQ(unlink(folder.Path("target").c_str()), 0);
    ASSERT_EQ(mkdir(folder.Path("target").c_str(), 0755), 0);
    WriteFileBytes(folder.Path("target/inside"), {7});
    EXPECT_NE(mapper.Close(), 0u);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"target"});
    EXPECT_EQ(ReadFileBytes(folder.Path("target/inside")), Bytes{7});

    // The same through a stream.
    SReplacingFile file;
    WriteFileBytes(folder.Path("other"), {3});
    ASSERT_EQ(file.Open(folder.SPath("other")), 0u);
    ASSERT_EQ(std::fputs("new", file.Stream()), 1);
    ASSERT_EQ(unlink(folder.Path("other").c_str()), 0);
    ASSERT_EQ(mkdir(folder.Path("other").c_str(), 0755), 0);
    WriteFileBytes(folder.Path("other/inside"), {7});
    EXPECT_EQ(file.Commit(), ErrorFromSystemCode(EISDIR));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"other", "target"}));
}

TEST(AtomicSave, StaleTemporaryIsReplacedByTheNextSave)
{
    ScratchFolder folder;
    const SBitmap picture = Picture(20, 10, 50);
    for (const Writer& w : Writers()) {
        const std::string name = std::string("cel.") + w.name;
        const SString temporary = SReplacingFile::TemporaryPath(folder.SPath(name));
        EXPECT_EQ(temporary, folder.SPath("." + name + ".saving"));
        WriteFileBytes(temporary.Str(), Bytes(5000, 0xEE));  // left by a save that was killed
        ASSERT_EQ(w.write(picture, folder.SPath(name)), 0u) << w.name;
        SBitmap back;
        ASSERT_EQ(ReadImageFile(&back, folder.SPath(name)), 0u) << w.name;
        EXPECT_EQ(back.Dimensions(), picture.Dimensions());
    }
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"cel.bmp", "cel.jpg", "cel.png"}));
}

TEST(AtomicSave, ReplacedFileKeepsItsPermissionsAndLinks)
{
    ScratchFolder folder;
    WriteFileBytes(folder.Path("real.bmp"), {1});
    ASSERT_EQ(chmod(folder.Path("real.bmp").c_str(), 0640), 0);
    ASSERT_EQ(symlink("real.bmp", folder.Path("link.bmp").c_str()), 0);
    ASSERT_EQ(WriteBmpFile(Picture(3, 3, 1), folder.SPath("link.bmp")), 0u);

    struct stat st;
    ASSERT_EQ(lstat(folder.Path("link.bmp").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(folder.Path("real.bmp").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadFileBytes(folder.Path("real.bmp")).size(), 14u + 40 + 12 * 3);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"link.bmp", "real.bmp"}));

    // A temporary name stays within the file name limit and distinct for long names.
    std::string longName(250, 'a');
    SString a = SReplacingFile::TemporaryPath(folder.SPath(longName + "1"));
    SString b = SReplacingFile::TemporaryPath(folder.SPath(longName + "2"));
    EXPECT_NE(a, b);
    EXPECT_LE(a.Length() - folder.Path("").size(), 255);
    ASSERT_EQ(WriteBmpFile(Picture(1, 1, 1), folder.SPath(longName + "1")), 0u);
}

TEST(AtomicSave, ReadOnlyTargetIsRefused)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser may write any file";
    ScratchFolder folder;
    WriteFileBytes(folder.Path("locked.bmp"), {1});
    ASSERT_EQ(chmod(folder.Path("locked.bmp").c_str(), 0444), 0);
    EXPECT_EQ(ErrorIdentity(WriteBmpFile(Picture(2, 2, 1), folder.SPath("locked.bmp"))), ErrorFromSystemCode(EACCES));
    EXPECT_EQ(ReadFileBytes(folder.Path("locked.bmp")), Bytes{1});
}

TEST(AtomicSave, WritersRefuseWhatTheReplacingFileRefuses)
{
    ScratchFolder folder;
    ASSERT_EQ(mkfifo(folder.Path("fifo").c_str(), 0600), 0);
    for (const Writer& w : Writers())
        EXPECT_EQ(ErrorIdentity(w.write(Picture(2, 2, 1), folder.SPath("fifo"))), Id("file_not_regular")) << w.name;
    struct stat st;
    ASSERT_EQ(stat(folder.Path("fifo").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"fifo"});
}

TEST(AtomicSave, ARaisedAbortKeepsThePreviousFileWhicheverWriterSaves)
{
    ScratchFolder folder;
    const SBitmap picture = Picture(3, 3, 1);
    SAbort abort;
    abort.RequestAbort();
    for (const Writer& w : Writers()) {
        const std::string name = std::string("cel.") + w.name;
        WriteFileBytes(folder.Path(name), {9});
        {
            // Writers report the refused commit as their own failure; the scope names the reason.
            const SCommitAbortScope scope(&abort);
            EXPECT_EQ(scope.Result(w.write(picture, folder.SPath(name))), Id("abort")) << w.name;
        }
        EXPECT_EQ(ReadFileBytes(folder.Path(name)), Bytes{9}) << w.name;
        EXPECT_EQ(w.write(picture, folder.SPath(name)), 0u) << w.name;
    }
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"cel.bmp", "cel.jpg", "cel.png"}));
}

// A process saving over and over is killed at random moments: the target is always one complete
// picture, and the next save clears whatever the killed one left.
TEST(AtomicSave, KilledSavesNeverLeaveAPartialFile)
{
    ScratchFolder folder;
    const SString target = folder.SPath("cel.bmp");
    const SBitmap pictures[2] = {Picture(300, 100, 10), Picture(100, 300, 90)};
    ASSERT_EQ(WriteBmpFile(pictures[0], target), 0u);
    const Bytes first = ReadFileBytes(target.Str());
    ASSERT_EQ(WriteBmpFile(pictures[1], target), 0u);
    const Bytes second = ReadFileBytes(target.Str());
    ASSERT_NE(first, second);

    std::mt19937 random(12345);
    int sawTemporary = 0;
    for (int round = 0; round < 200; ++round) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (unsigned i = 0;; ++i)
                if (WriteBmpFile(pictures[i % 2], target) != 0)
                    _exit(3);
        }
        usleep(useconds_t(random() % 20000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving process failed by itself";

        Bytes now = ReadFileBytes(target.Str());
        ASSERT_TRUE(now == first || now == second) << "round " << round << ": " << now.size() << " bytes";
        sawTemporary += folder.Names().size() > 1;
    }
    ASSERT_EQ(WriteBmpFile(pictures[0], target), 0u);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"cel.bmp"});
    RecordProperty("killed_with_temporary_left", sawTemporary);
}
