/* An archive plug-in: it claims every file, but its version says it is not a picture reader, so
 * the program must neither call it for pictures nor show its filter. */
#include "TestPlugin.h"

static const char* const texts[] = {"00AM archive", "", "*.lzh", "Archives", NULL};

SPI_EXPORT int GetPluginInfo(int number, char* buffer, int length) { return AnswerInfo(texts, number, buffer, length); }

SPI_EXPORT int IsSupported(const char* fileName, const void* firstBytes)
{
    (void)fileName, (void)firstBytes;
    return 1;
}

TEST_PLUGIN_PICTURE_INFO_UNUSED

SPI_EXPORT int GetPicture(const char* data, long length, unsigned flag, SpiHandle* info, SpiHandle* pixels,
                          SpiProgress progress, intptr_t progressData)
{
    (void)data, (void)length, (void)flag, (void)progress, (void)progressData;
    return MakePicture(1, 1, 4, 0, info, pixels);
}
