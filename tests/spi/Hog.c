/* Files "HOG<n>": GetPicture takes n MiB in one block and touches its last byte (a refused block
 * crashes it, as it would a careless plug-in), then gives a 1 x 1 picture. */
#include "TestPlugin.h"

#include <stdlib.h>

static const char* const texts[] = {"00IN", NULL};

SPI_EXPORT int GetPluginInfo(int number, char* buffer, int length) { return AnswerInfo(texts, number, buffer, length); }

SPI_EXPORT int IsSupported(const char* fileName, const void* firstBytes)
{
    (void)fileName;
    return StartsWith(firstBytes, "HOG");
}

TEST_PLUGIN_PICTURE_INFO_UNUSED

SPI_EXPORT int GetPicture(const char* data, long length, unsigned flag, SpiHandle* info, SpiHandle* pixels,
                          SpiProgress progress, intptr_t progressData)
{
    (void)length, (void)flag, (void)progress, (void)progressData;
    const size_t size = (size_t)atoi(data + 3) << 20;
    volatile char* block = (volatile char*)malloc(size);
    block[size - 1] = 1;
    free((void*)block);
    return MakePicture(1, 1, 4, 0, info, pixels);
}
