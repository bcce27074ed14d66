// What a save may replace, and the stop request's last look before the rename: a raised abort keeps
// the previous file.
#include "FuzzSeeds.h"
#include "SAbort.h"
#include "SErrorCause.h"
#include "SReplacingFile.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

#include <sys/stat.h>
#include <unistd.h>

using namespace ulib;
using ulib::test::Bytes;
using ulib::test::ReadFileBytes;
using ulib::test::WriteFileBytes;

namespace {

SError Id(const char* identifier) { return ErrorFromIdentifier(identifier); }

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

    // Opening refuses the same, and the node stays what it was.
    SReplacingFile file;
    EXPECT_EQ(ErrorIdentity(file.Open(folder.SPath("to-fifo"))), Id("file_not_regular"));
    EXPECT_EQ(ErrorIdentity(file.Open(folder.SPath("fifo"))), Id("file_not_regular"));
    struct stat st;
    ASSERT_EQ(::stat(folder.Path("fifo").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"dangling", "fifo", "plain", "to-fifo", "to-plain"}));
}

TEST(ReplacingFile, ARaisedAbortKeepsThePreviousFileAtTheCommit)
{
    ScratchFolder folder;
    WriteFileBytes(folder.Path("cel.bmp"), {9});
    SAbort abort;
    {
        const SCommitAbortScope scope(&abort);
        SReplacingFile file;
        ASSERT_EQ(file.Open(folder.SPath("cel.bmp")), 0u);
        ASSERT_EQ(std::fputs("new", file.Stream()), 1);
        abort.RequestAbort();  // while the bytes are being written
        EXPECT_EQ(file.Commit(), Id("abort"));
        // A writer passes the refused commit on as its own failure; the scope names the reason.
        EXPECT_EQ(scope.Result(ErrorFromSystemCode(EIO)), Id("abort"));
    }
    EXPECT_EQ(ReadFileBytes(folder.Path("cel.bmp")), Bytes{9});
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"cel.bmp"}));

    // Outside the scope, or with a scope of no abort, the same save goes through.
    const SCommitAbortScope none(nullptr);
    SReplacingFile file;
    ASSERT_EQ(file.Open(folder.SPath("cel.bmp")), 0u);
    ASSERT_EQ(std::fputs("new", file.Stream()), 1);
    EXPECT_EQ(file.Commit(), 0u);
    EXPECT_EQ(ReadFileBytes(folder.Path("cel.bmp")), (Bytes{'n', 'e', 'w'}));
}

}  // namespace
