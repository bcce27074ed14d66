/* Reads the test format: "TPX", width, height, flags, then width x height bytes of 8-bit pixels,
 * last row first. Flags bit 0 makes the reading slow (a pause before each row) so an abort can
 * arrive while it runs. Progress is reported before each row and once at the end. */
#include "TestPlugin.h"

#include <time.h>

#ifndef READER_MARK
#define READER_MARK 1
#endif

/* The second build shares the first one's description, so its pattern takes that entry's place. */
#if READER_MARK == 1
static const char* const texts[] = {"00IN test reader", "", "*.tpx", "Test pictures", NULL};
#else
static const char* const texts[] = {"00IN test reader", "", "*.tpy", "Test pictures", "*.tpz", "More test pictures", NULL};
#endif

SPI_EXPORT int GetPluginInfo(int number, char* buffer, int length) { return AnswerInfo(texts, number, buffer, length); }

SPI_EXPORT int IsSupported(const char* fileName, const void* firstBytes)
{
    (void)fileName;
    return StartsWith(firstBytes, "TPX");
}

TEST_PLUGIN_PICTURE_INFO_UNUSED

SPI_EXPORT int GetPicture(const char* data, long length, unsigned flag, SpiHandle* info, SpiHandle* pixels,
                          SpiProgress progress, intptr_t progressData)
{
    const unsigned char* bytes = (const unsigned char*)data;
    if (flag != SPI_INPUT_MEMORY || length < 6 || !StartsWith(data, "TPX"))
        return SPI_NOT_SUPPORTED;
    int width = bytes[3], height = bytes[4], slow = bytes[5] & 1;
    if (length < 6 + (long)width * height)
        return SPI_BAD_FORMAT;
    int code = MakePicture(width, height, READER_MARK, 0, info, pixels);
    if (code != SPI_SUCCESS)
        return code;
    size_t stride = ((size_t)width + 3) & ~(size_t)3;
    unsigned char* out = (unsigned char*)SpiData(*pixels);
    for (int y = 0; y < height; ++y) {
        if (progress(y, height, progressData)) {
            SpiFree(*info);
            SpiFree(*pixels);
            *info = *pixels = NULL;
            return SPI_ABORT;
        }
        if (slow) {
            struct timespec pause = {0, 20 * 1000 * 1000};
            nanosleep(&pause, NULL);
        }
        memcpy(out + stride * (size_t)y, bytes + 6 + (size_t)width * (size_t)y, (size_t)width);
    }
    progress(height, height, progressData);
    return SPI_SUCCESS;
}
