/* Lacks GetPictureInfo, which every reader must export, so it is never used for reading. */
#include "TestPlugin.h"

static const char* const texts[] = {"00IN", NULL};

SPI_EXPORT int GetPluginInfo(int number, char* buffer, int length) { return AnswerInfo(texts, number, buffer, length); }

SPI_EXPORT int IsSupported(const char* fileName, const void* firstBytes)
{
    (void)fileName, (void)firstBytes;
    return 1;
}

SPI_EXPORT int GetPicture(const char* data, long length, unsigned flag, SpiHandle* info, SpiHandle* pixels,
                          SpiProgress progress, intptr_t progressData)
{
    (void)data, (void)length, (void)flag, (void)progress, (void)progressData;
    return MakePicture(1, 1, 7, 0, info, pixels);
}
