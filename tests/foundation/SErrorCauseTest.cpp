// Cause values: the identity callers compare and scripts read, the path and the system's reason as
// the text, and the ring that forgets the oldest.
#include "SErrorCause.h"
#include "SErrorRegistry.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

using namespace ulib;

TEST(ErrorCause, KeepsTheIdentityAndShowsThePathAndReason)
{
    struct Case
    {
        SError identity;
        std::int32_t code;
        const char* path;
        std::string identifier;
        std::string text;
    };
    const Case cases[] = {
        {ErrorFromIdentifier("file_resize"), ENOSPC, "/cels/a.hdq", "file_resize",
         std::string("/cels/a.hdq: ") + std::strerror(ENOSPC)},
        {error_definitions::PngError().value, EROFS, "/mnt/ro/a.png", "pngerror",
         std::string("/mnt/ro/a.png: ") + std::strerror(EROFS)},
        {0, EACCES, "/home/a.hdq", "errno", std::string("/home/a.hdq: ") + std::strerror(EACCES)},
        {0, EIO, "", "errno", std::strerror(EIO)},
    };
    for (const Case& c : cases) {
        const SError error = ErrorWithSystemCause(c.identity, c.code, c.path);
        EXPECT_EQ(ErrorIdentifier(error), c.identifier) << c.path;
        EXPECT_EQ(ErrorText(error), c.text) << c.path;
        EXPECT_EQ(SystemCodeOf(error), c.code) << c.path;
        EXPECT_EQ(ErrorIdentity(error), c.identity != 0 ? c.identity : ErrorFromSystemCode(c.code)) << c.path;
    }
    // Nothing explained: the identity itself. A cause of a cause keeps the first identity.
    const SError png = error_definitions::PngError().value;
    EXPECT_EQ(ErrorWithSystemCause(png, 0, "/a.png"), png);
    EXPECT_EQ(ErrorIdentity(ErrorWithSystemCause(ErrorWithSystemCause(png, ENOSPC, "/a"), EIO, "/b")), png);
    // A detail adds a line to the message and keeps the identity.
    const SError help = ErrorFromIdentifier("help");
    const SError detailed = ErrorWithDetail(help, "/doc/index.html");
    EXPECT_EQ(ErrorIdentifier(detailed), "help");
    EXPECT_EQ(ErrorText(detailed), ErrorText(help) + "\n/doc/index.html");
    EXPECT_EQ(SystemCodeOf(detailed), 0);
    EXPECT_EQ(ErrorWithDetail(help, ""), help);
    // A path alone goes before the identity's own message.
    const SError notRegular = ErrorWithPath(help, "/dev/null");
    EXPECT_EQ(ErrorText(notRegular), "/dev/null: " + ErrorText(help));
    EXPECT_EQ(ErrorIdentity(notRegular), help);
    // A lower layer's failure is explained only when the system gave a reason; its own failures
    // (and success) pass through as they are.
    EXPECT_EQ(ErrorText(ExplainFailure(png, ErrorFromSystemCode(EROFS), "/a.png")), std::string("/a.png: ") + std::strerror(EROFS));
    EXPECT_EQ(ErrorIdentity(ExplainFailure(png, ErrorFromSystemCode(EROFS), "/a.png")), png);
    EXPECT_EQ(ExplainFailure(png, notRegular, "/a.png"), notRegular);
    EXPECT_EQ(ExplainFailure(png, ErrorFromIdentifier("abort"), "/a.png"), ErrorFromIdentifier("abort"));
    EXPECT_EQ(ExplainFailure(0, 0, "/a.png"), 0u);
    // Values that are not causes pass through.
    EXPECT_EQ(ErrorIdentity(png), png);
    EXPECT_EQ(SystemCodeOf(png), 0);
    EXPECT_EQ(SystemCodeOf(ErrorFromSystemCode(ENOENT)), ENOENT);
}

TEST(ErrorCause, ForgetsTheOldestOnceTheRingIsFull)
{
    const SError old = ErrorWithSystemCause(0, ENOSPC, "/old");
    SError recent = 0;
    for (int i = 0; i < 256; ++i)
        recent = ErrorWithSystemCause(0, EIO, "/recent");
    EXPECT_EQ(ErrorText(recent), std::string("/recent: ") + std::strerror(EIO));
    EXPECT_EQ(ErrorText(old), "Error");
    EXPECT_EQ(ErrorIdentifier(old), "");
    EXPECT_NE(ErrorIdentity(old), ErrorFromSystemCode(ENOSPC));
}
