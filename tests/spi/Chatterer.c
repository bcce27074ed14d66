/* Plug-ins that never stop talking. Files "CHAT": GetPicture reports progress forever and ignores
 * every request to stop. Files "TALK": GetPicture writes many long lines, control bytes among
 * them, to the error stream and then fails with code 7. */
#include "TestPlugin.h"

#include <stdio.h>
#include <unistd.h>

static const char* const texts[] = {"00IN", NULL};

SPI_EXPORT int GetPluginInfo(int number, char* buffer, int length) { return AnswerInfo(texts, number, buffer, length); }

SPI_EXPORT int IsSupported(const char* fileName, const void* firstBytes)
{
    (void)fileName;
    return StartsWith(firstBytes, "CHAT") || StartsWith(firstBytes, "TALK");
}

TEST_PLUGIN_PICTURE_INFO_UNUSED

SPI_EXPORT int GetPicture(const char* data, long length, unsigned flag, SpiHandle* info, SpiHandle* pixels,
                          SpiProgress progress, intptr_t progressData)
{
    (void)length, (void)flag, (void)info, (void)pixels;
    if (StartsWith(data, "TALK")) {
        for (int line = 1; line <= 1000; ++line) {
            fprintf(stderr, "line %d \x1b[31m", line);
            for (int i = 0; i < 50; ++i)
                fputs("chatter ", stderr);
            fputc('\n', stderr);
        }
        return SPI_OTHER_ERROR;
    }
    for (int done = 0;; done = (done + 1) % 100) {
        progress(done, 100, progressData);
        usleep(1000);
    }
}
