// What a save may replace, and the stop request's last look before the rename: a raised abort keeps
// the previous file whichever writer was saving.
#include "PictureFixture.h"
#include "SAbort.h"
#include "SErrorCause.h"
#include "SReplacingFile.h"
#include "Sximage.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

#include <sys/stat.h>
#include <unistd.h>

using namespace ulib;

namespace {

SBitmap Picture(std::int32_t side)
{
    SBitmap picture;
    picture.Create(side, side, 24);
    return picture;
}

TEST(ReplacingFile, OnlyRegularFilesAndNewNamesMayBeReplaced)
{
    ScratchFolder folder;
    WriteFileBytes(folder.Path("plain"), {1, 2, 3});
    ASSERT_EQ(::mkfifo(folder.Path("fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink(folder.Path("plain").c_str(), folder.Path("to-plain").c_str()), 0);
    ASSERT_EQ(::symlink(folder.Path("fifo").c_str(), folder.Path("to-fifo").c_str()), 0);
    ASSERT_EQ(::symlink(folder.Path("nowhere").c_str(), folder.Path("dangling").c_str()), 0);

    for (const char* name : {"plain", "to-plain", "dangling", "new"})
        EXPECT_EQ(SReplacingFile::CheckTarget(folder.SPath(name)), 0u) << name;
    EXPECT_EQ(ErrorIdentity(SReplacingFile::CheckTarget(folder.SPath("fifo"))), Id("file_not_regular"));
    EXPECT_EQ(ErrorIdentity(SReplacingFile::CheckTarget(folder.SPath("to-fifo"))), Id("file_not_regular"));
    // The refused target is named.
    const SError device = SReplacingFile::CheckTarget(SString("/dev/null"));
    EXPECT_EQ(ErrorIdentifier(device), "file_not_regular");
    EXPECT_EQ(ErrorText(device), "/dev/null: " + ErrorText(Id("file_not_regular")));
    EXPECT_EQ(ErrorIdentity(SReplacingFile::CheckTarget(folder.SPath(""))), ErrorFromSystemCode(EISDIR));
    EXPECT_EQ(ErrorIdentity(SReplacingFile::CheckTarget(SString())), ErrorFromSystemCode(ENOENT));

    // The writers refuse the same, and the node stays what it was.
    SReplacingFile file;
    EXPECT_EQ(ErrorIdentity(file.Open(folder.SPath("to-fifo"))), Id("file_not_regular"));
    EXPECT_EQ(ErrorIdentity(WriteBmpFile(Picture(2), folder.SPath("fifo"))), Id("file_not_regular"));
    const SBitmap picture = Picture(2);
    EXPECT_EQ(ErrorIdentity(WritePngFile(&picture, folder.SPath("fifo"))), Id("file_not_regular"));
    struct stat st;
    ASSERT_EQ(::stat(folder.Path("fifo").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"dangling", "fifo", "plain", "to-fifo", "to-plain"}));
}

TEST(ReplacingFile, ARaisedAbortKeepsThePreviousFileAtTheCommit)
{
    ScratchFolder folder;
    const SBitmap picture = Picture(3);
    WriteFileBytes(folder.Path("cel.bmp"), {9});
    WriteFileBytes(folder.Path("cel.png"), {9});
    SAbort abort;
    {
        const SCommitAbortScope scope(&abort);
        SReplacingFile file;
        ASSERT_EQ(file.Open(folder.SPath("cel.bmp")), 0u);
        ASSERT_EQ(std::fputs("new", file.Stream()), 1);
        abort.RequestAbort();  // while the bytes are being written
        EXPECT_EQ(file.Commit(), Id("abort"));
        // Writers report the refused commit as their own failure; the scope names the reason.
        EXPECT_EQ(scope.Result(WriteBmpFile(picture, folder.SPath("cel.bmp"))), Id("abort"));
        EXPECT_EQ(scope.Result(WritePngFile(&picture, folder.SPath("cel.png"))), Id("abort"));
    }
    EXPECT_EQ(ReadFileBytes(folder.Path("cel.bmp")), Bytes{9});
    EXPECT_EQ(ReadFileBytes(folder.Path("cel.png")), Bytes{9});
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"cel.bmp", "cel.png"}));

    // Outside the scope, or with a scope of no abort, the same save goes through.
    EXPECT_EQ(WriteBmpFile(picture, folder.SPath("cel.bmp")), 0u);
    const SCommitAbortScope none(nullptr);
    EXPECT_EQ(WritePngFile(&picture, folder.SPath("cel.png")), 0u);
    EXPECT_NE(ReadFileBytes(folder.Path("cel.png")), Bytes{9});
}

}  // namespace
