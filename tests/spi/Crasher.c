/* Crashes, chosen by the file name: "*.crash-support" inside IsSupported (a write through a null
 * pointer), "*.crash-read" inside GetPicture (abort). Other files are declined. */
#include "TestPlugin.h"

#include <stdlib.h>

static const char* const texts[] = {"00IN", NULL};

static int EndsWith(const char* text, const char* tail)
{
    size_t n = strlen(text), m = strlen(tail);
    return n >= m && strcmp(text + n - m, tail) == 0;
}

SPI_EXPORT int GetPluginInfo(int number, char* buffer, int length) { return AnswerInfo(texts, number, buffer, length); }

SPI_EXPORT int IsSupported(const char* fileName, const void* firstBytes)
{
    (void)firstBytes;
    if (EndsWith(fileName, ".crash-support")) {
        volatile int* nowhere = NULL;
        *nowhere = 1;
    }
    return EndsWith(fileName, ".crash-read");
}

TEST_PLUGIN_PICTURE_INFO_UNUSED

SPI_EXPORT int GetPicture(const char* data, long length, unsigned flag, SpiHandle* info, SpiHandle* pixels,
                          SpiProgress progress, intptr_t progressData)
{
    (void)data, (void)length, (void)flag, (void)info, (void)pixels, (void)progress, (void)progressData;
    abort();
}
