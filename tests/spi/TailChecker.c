/* Files "TAIL" followed by their own length n (one byte) and non-zero filler up to n bytes: reads
 * a 1 x 1 picture when both calls received exactly 2048 bytes whose part after n is zero, else
 * gives "broken file". */
#include "TestPlugin.h"

static const char* const texts[] = {"00IN", NULL};

static int HasZeroTail(const unsigned char* bytes, long length)
{
    if (length != 2048)
        return 0;
    for (long i = 0; i < length; ++i)
        if ((i < bytes[4]) != (bytes[i] != 0))
            return 0;
    return 1;
}

SPI_EXPORT int GetPluginInfo(int number, char* buffer, int length) { return AnswerInfo(texts, number, buffer, length); }

SPI_EXPORT int IsSupported(const char* fileName, const void* firstBytes)
{
    (void)fileName;
    return StartsWith(firstBytes, "TAIL") && HasZeroTail((const unsigned char*)firstBytes, 2048);
}

TEST_PLUGIN_PICTURE_INFO_UNUSED

SPI_EXPORT int GetPicture(const char* data, long length, unsigned flag, SpiHandle* info, SpiHandle* pixels,
                          SpiProgress progress, intptr_t progressData)
{
    (void)flag, (void)progress, (void)progressData;
    if (!HasZeroTail((const unsigned char*)data, length))
        return SPI_BAD_FORMAT;
    return MakePicture(1, 1, 6, 0, info, pixels);
}
