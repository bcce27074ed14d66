/* Files "CODE<n>": GetPicture returns n (a 1 x 1 picture for 0). Pattern and description texts
 * with blanks and without a terminating zero in the count test the program's trimming. */
#include "TestPlugin.h"

#include <stdlib.h>

static const char* const texts[] = {"00IN", "", "  *.cod ", "\tCoded pictures \r\n", "", "no pattern", NULL};

SPI_EXPORT int GetPluginInfo(int number, char* buffer, int length) { return AnswerInfo(texts, number, buffer, length); }

SPI_EXPORT int IsSupported(const char* fileName, const void* firstBytes)
{
    (void)fileName;
    return StartsWith(firstBytes, "CODE");
}

TEST_PLUGIN_PICTURE_INFO_UNUSED

SPI_EXPORT int GetPicture(const char* data, long length, unsigned flag, SpiHandle* info, SpiHandle* pixels,
                          SpiProgress progress, intptr_t progressData)
{
    (void)length, (void)flag, (void)progress, (void)progressData;
    int code = atoi(data + 4);
    if (code == 0)
        return MakePicture(1, 1, 3, 0, info, pixels);
    return code;
}
