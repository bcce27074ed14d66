/* Reads nothing: every file is declined. */
#include "TestPlugin.h"

static const char* const texts[] = {"00IN declining", "", "*.dcl", "Declined pictures", NULL};

SPI_EXPORT int GetPluginInfo(int number, char* buffer, int length) { return AnswerInfo(texts, number, buffer, length); }

SPI_EXPORT int IsSupported(const char* fileName, const void* firstBytes)
{
    (void)fileName, (void)firstBytes;
    return 0;
}

TEST_PLUGIN_PICTURE_INFO_UNUSED

SPI_EXPORT int GetPicture(const char* data, long length, unsigned flag, SpiHandle* info, SpiHandle* pixels,
                          SpiProgress progress, intptr_t progressData)
{
    (void)data, (void)length, (void)flag, (void)info, (void)pixels, (void)progress, (void)progressData;
    return SPI_NOT_SUPPORTED;
}
